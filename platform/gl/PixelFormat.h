// Pixel formats of a drawing device as plain data: a device is a table of
// the formats it offers plus the one set on it, and choosing, scoring and
// setting a format are pure functions over that table. The views describe
// their memory buffer (and the window, where one is asked about) this way;
// osmesaPixelFormats() lists what the off-screen contexts can render.
#pragma once

#include <vector>

#include "platform/core/Types.h"

// Format flags.
constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001u;
constexpr DWORD PFD_STEREO = 0x00000002u;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004u;
constexpr DWORD PFD_DRAW_TO_BITMAP = 0x00000008u;
constexpr DWORD PFD_SUPPORT_GDI = 0x00000010u;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020u;
constexpr DWORD PFD_GENERIC_FORMAT = 0x00000040u;
constexpr DWORD PFD_NEED_PALETTE = 0x00000080u;
constexpr DWORD PFD_GENERIC_ACCELERATED = 0x00001000u;

// Pixel types and layers.
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_TYPE_COLORINDEX = 1;
constexpr BYTE PFD_MAIN_PLANE = 0;

// One pixel format: what it draws to and how its pixels are made up.
struct PIXELFORMATDESCRIPTOR {
    WORD nSize = 0;            // 40 for a filled request
    WORD nVersion = 0;         // 1 for a filled request
    DWORD dwFlags = 0;         // PFD_* flags
    BYTE iPixelType = PFD_TYPE_RGBA;
    BYTE cColorBits = 0;
    BYTE cRedBits = 0;
    BYTE cRedShift = 0;
    BYTE cGreenBits = 0;
    BYTE cGreenShift = 0;
    BYTE cBlueBits = 0;
    BYTE cBlueShift = 0;
    BYTE cAlphaBits = 0;
    BYTE cAlphaShift = 0;
    BYTE cDepthBits = 0;
    BYTE cStencilBits = 0;
    BYTE iLayerType = PFD_MAIN_PLANE;
};

// What kind of device context a device stands for.
enum class PixelDeviceKind { Memory, Window, Other };

// A device context as far as pixel formats go: its kind, the formats it
// offers (format index i is formats[i - 1]) and the index set on it (0:
// none yet).
struct PixelFormatDevice {
    PixelDeviceKind kind = PixelDeviceKind::Memory;
    std::vector<PIXELFORMATDESCRIPTOR> formats;
    int current = 0;
};

// The formats the off-screen contexts render: 32-bit true colour with
// alpha (blue-green-red-alpha bytes) into memory, software rendered, with
// 24 (index 1) or 16 (index 2) depth bits. (The rendering library serves a
// request for more depth with 24 bits, so no deeper format is offered.)
const std::vector<PIXELFORMATDESCRIPTOR>& osmesaPixelFormats();

// Number of formats of the device; when 1 <= index <= that number and out
// is not null, *out receives that format. 0 for a null device.
int DescribePixelFormat(const PixelFormatDevice* device, int index, PIXELFORMATDESCRIPTOR* out);

// The index of the format that best fits the request, 0 when none fits. A
// format fits when it has every flag of the request (double buffering
// excepted), its pixel type and its layer. Among those the first wins that
// has the requested colour bits exactly, then the requested depth bits or
// more, in that order of weight.
int ChoosePixelFormat(const PixelFormatDevice* device, const PIXELFORMATDESCRIPTOR* request);

// Sets format index on the device. False for a null device or an index
// outside the table, and for a window that already has a different format
// (a window's format is set once).
BOOL SetPixelFormat(PixelFormatDevice* device, int index, const PIXELFORMATDESCRIPTOR* request);

// Scores every format of the device against the requests and returns the
// index of the first with the strictly highest score, 0 when the device has
// none. Requests (any may be null): colour bits (null or -1: any), depth
// bits (null: 16; -1: any), double buffering (null or -1: any; 0 single; 1
// double), acceleration (null: 1; -1: any; 0 software; 1 accelerated). Each
// non-null argument receives the winner's colour bits, depth bits, double
// buffer bit (0/1) and accelerated flag (1 unless a generic software
// format).
int ChoosePixelFormatEx(const PixelFormatDevice* device, int* colourBits, int* depthBits, int* doubleBuffer,
                        int* accelerated);

// Requests an RGBA, colourBits, 32-depth-bit main-plane format for a memory
// device (draw to bitmap) or a window (draw to window), chooses and sets it.
// 1 on success with *out (when not null) the chosen format's description; 0
// for a null device, any other kind of device, or when choosing or setting
// fails.
int InitBitmapPixelFormat(PixelFormatDevice* device, int colourBits, PIXELFORMATDESCRIPTOR* out);

// Sets the first format that draws to the device's kind (bitmap for memory,
// window for a window), supports OpenGL, is RGBA with 32 depth bits in the
// main plane; out receives it. Any other kind of device, or no such format:
// nothing is set and out is left alone.
void SelectPixelFormat(PixelFormatDevice* device, PIXELFORMATDESCRIPTOR& out);
