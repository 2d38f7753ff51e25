// Pixel-format tables: description, choice, scoring and setting.
#include "platform/gl/PixelFormat.h"

namespace {

PIXELFORMATDESCRIPTOR osmesaFormat(BYTE depthBits) {
    PIXELFORMATDESCRIPTOR f;
    f.nSize = 40;
    f.nVersion = 1;
    f.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT;
    f.iPixelType = PFD_TYPE_RGBA;
    f.cColorBits = 32;
    f.cRedBits = f.cGreenBits = f.cBlueBits = f.cAlphaBits = 8;
    f.cRedShift = 16;  // bytes blue, green, red, alpha: little-endian 0xAARRGGBB
    f.cGreenShift = 8;
    f.cBlueShift = 0;
    f.cAlphaShift = 24;
    f.cDepthBits = depthBits;
    f.iLayerType = PFD_MAIN_PLANE;
    return f;
}

int formatCount(const PixelFormatDevice* device) {
    return device == nullptr ? 0 : static_cast<int>(device->formats.size());
}

const PIXELFORMATDESCRIPTOR& formatAt(const PixelFormatDevice& device, int index) {
    return device.formats[static_cast<std::size_t>(index - 1)];
}

// How a format is rendered: by the card's own driver (ICD), by the generic
// implementation with the card's help (MCD), or in software alone.
enum class Rendering { Icd, Mcd, Software, Other };

Rendering rendering(const PIXELFORMATDESCRIPTOR& f) {
    const bool generic = (f.dwFlags & PFD_GENERIC_FORMAT) != 0;
    const bool helped = (f.dwFlags & PFD_GENERIC_ACCELERATED) != 0;
    if (!generic && !helped) return Rendering::Icd;
    if (generic && helped) return Rendering::Mcd;
    if (generic) return Rendering::Software;
    return Rendering::Other;
}

// The small bonus that separates a driver format from a helped one.
int driverBonus(Rendering r) {
    if (r == Rendering::Icd) return 66;
    if (r == Rendering::Mcd) return 64;
    return 0;
}

int accelerationScore(Rendering r, int request) {
    switch (request) {
        case -1:
            return 0x1000 + driverBonus(r);
        case 0:
            return r == Rendering::Software ? 0x1000 : driverBonus(r);
        case 1:
            return r == Rendering::Icd || r == Rendering::Mcd ? 0x1000 + driverBonus(r) : 0;
        default:
            return driverBonus(r);
    }
}

int formatScore(const PIXELFORMATDESCRIPTOR& f, int colour, int depth, int doubleBuffer, int acceleration) {
    const bool isDouble = (f.dwFlags & PFD_DOUBLEBUFFER) != 0;
    int score = 0;
    if ((f.dwFlags & PFD_SUPPORT_OPENGL) && (f.dwFlags & PFD_DRAW_TO_WINDOW)) score += 0x8000;
    if (depth == -1 || (depth > 0 && f.cDepthBits > 0)) score += 0x4000;
    if (doubleBuffer == -1 || (doubleBuffer == 1 && isDouble) || (doubleBuffer == 0 && !isDouble)) score += 0x2000;
    score += accelerationScore(rendering(f), acceleration);
    if (colour == -1 || colour == f.cColorBits) score += 0x800;
    if (f.cColorBits >= 16) score += f.cColorBits == 16 ? 40 : 32;
    if (depth == -1 || depth == f.cDepthBits) score += 0x400;
    if (f.cDepthBits >= 16) score += f.cDepthBits == 16 ? 20 : 16;
    if (f.iPixelType == PFD_TYPE_RGBA) score += 128;
    if (f.dwFlags & PFD_DRAW_TO_BITMAP) score += 1;
    return score;
}

DWORD drawTarget(PixelDeviceKind kind) {
    if (kind == PixelDeviceKind::Memory) return PFD_DRAW_TO_BITMAP;
    if (kind == PixelDeviceKind::Window) return PFD_DRAW_TO_WINDOW;
    return 0;
}

}  // namespace

const std::vector<PIXELFORMATDESCRIPTOR>& osmesaPixelFormats() {
    static const std::vector<PIXELFORMATDESCRIPTOR> formats = {osmesaFormat(24), osmesaFormat(16)};
    return formats;
}

int DescribePixelFormat(const PixelFormatDevice* device, int index, PIXELFORMATDESCRIPTOR* out) {
    const int n = formatCount(device);
    if (out != nullptr && index >= 1 && index <= n) *out = formatAt(*device, index);
    return n;
}

int ChoosePixelFormat(const PixelFormatDevice* device, const PIXELFORMATDESCRIPTOR* request) {
    if (request == nullptr) return 0;
    const DWORD needed = request->dwFlags & ~PFD_DOUBLEBUFFER;
    int best = 0;
    int bestScore = -1;
    for (int i = 1; i <= formatCount(device); ++i) {
        const PIXELFORMATDESCRIPTOR& f = formatAt(*device, i);
        if ((f.dwFlags & needed) != needed || f.iPixelType != request->iPixelType ||
            f.iLayerType != request->iLayerType)
            continue;
        const int score = (f.cColorBits == request->cColorBits ? 2 : 0) + (f.cDepthBits >= request->cDepthBits ? 1 : 0);
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

BOOL SetPixelFormat(PixelFormatDevice* device, int index, const PIXELFORMATDESCRIPTOR* /*request*/) {
    if (index < 1 || index > formatCount(device)) return FALSE;
    if (device->kind == PixelDeviceKind::Window && device->current != 0 && device->current != index) return FALSE;
    device->current = index;
    return TRUE;
}

int ChoosePixelFormatEx(const PixelFormatDevice* device, int* colourBits, int* depthBits, int* doubleBuffer,
                        int* accelerated) {
    const int colour = colourBits != nullptr ? *colourBits : -1;
    const int depth = depthBits != nullptr ? *depthBits : 16;
    const int wantDouble = doubleBuffer != nullptr ? *doubleBuffer : -1;
    const int acceleration = accelerated != nullptr ? *accelerated : 1;

    int best = 0;
    int bestScore = -1;
    for (int i = 1; i <= formatCount(device); ++i) {
        const int score = formatScore(formatAt(*device, i), colour, depth, wantDouble, acceleration);
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    if (best == 0) return 0;

    const PIXELFORMATDESCRIPTOR& f = formatAt(*device, best);
    if (colourBits != nullptr) *colourBits = f.cColorBits;
    if (depthBits != nullptr) *depthBits = f.cDepthBits;
    if (doubleBuffer != nullptr) *doubleBuffer = (f.dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0;
    if (accelerated != nullptr) *accelerated = rendering(f) == Rendering::Software ? 0 : 1;
    return best;
}

int InitBitmapPixelFormat(PixelFormatDevice* device, int colourBits, PIXELFORMATDESCRIPTOR* out) {
    if (device == nullptr) return 0;
    const DWORD target = drawTarget(device->kind);
    if (target == 0) return 0;
    PIXELFORMATDESCRIPTOR request;
    request.nSize = 40;
    request.nVersion = 1;
    request.dwFlags = PFD_SUPPORT_OPENGL | target;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = static_cast<BYTE>(colourBits);
    request.cDepthBits = 32;
    request.iLayerType = PFD_MAIN_PLANE;
    const int index = ChoosePixelFormat(device, &request);
    if (index == 0 || !SetPixelFormat(device, index, &request)) return 0;
    if (out != nullptr) DescribePixelFormat(device, index, out);
    return 1;
}

void SelectPixelFormat(PixelFormatDevice* device, PIXELFORMATDESCRIPTOR& out) {
    if (device == nullptr) return;
    const DWORD target = drawTarget(device->kind);
    if (target == 0) return;
    for (int i = 1; i <= formatCount(device); ++i) {
        const PIXELFORMATDESCRIPTOR& f = formatAt(*device, i);
        if ((f.dwFlags & target) && (f.dwFlags & PFD_SUPPORT_OPENGL) && f.iPixelType == PFD_TYPE_RGBA &&
            f.cDepthBits == 32 && f.iLayerType == PFD_MAIN_PLANE) {
            if (SetPixelFormat(device, i, &f)) out = f;
            return;
        }
    }
}
