// A device-independent bitmap with a memory device context of its own, so
// that the picture can be drawn with the device-context layer, given a
// logical palette for 8-bit formats, written to and read from a BMP file
// image, and stored in an archive as such an image (the document keeps a
// picture of the section this way).
#pragma once

#include <memory>
#include <vector>

#include "platform/core/CObject.h"
#include "platform/gdi/Gdi.h"
#include "platform/gl/PixelFormat.h"

class CArchive;
class CDC;
class CFile;
struct DibHeader;

class CSimpleDIB : public CObject {
    DECLARE_SERIAL(CSimpleDIB)

public:
    // Empty: no DC, no bitmap, size 0 x 0, 24 bits per pixel.
    CSimpleDIB();
    // Releases the DC, the bitmap, the palette and the header block.
    ~CSimpleDIB() override;
    CSimpleDIB(const CSimpleDIB&) = delete;
    CSimpleDIB& operator=(const CSimpleDIB&) = delete;

    // A width x height bitmap of bitsPerPixel bits (bottom-up, zero-filled)
    // selected into a new memory DC; anything held before is released
    // first. FALSE when the size or bit count cannot be made (the object
    // then holds the header block alone).
    BOOL Create(int width, int height, int bitsPerPixel);
    // A bitmap of the info's width, height and bit count, initFormat(0, 56),
    // and a copy of the given pixel rows (the object owns its pixels).
    BOOL Create(const BITMAPINFO* info, const BYTE* bits);
    // Create, initFormat(0, 56), then the image from the archive. A size
    // whose rows the archive's bytes left cannot hold throws
    // CArchiveException::endOfFile before any bitmap is made.
    void read(CArchive& ar, int width, int height, int bitsPerPixel);
    // Sets an OpenGL pixel format (RGBA for type 0; the flags asked for; the
    // bitmap's colour bits; 32 depth bits) on the memory DC and makes the
    // palette: 1, or 0 when no format fits or it cannot be set.
    int initFormat(int pixelType, DWORD flags);
    // The logical palette of the DC's pixel format (selected and realised
    // unless kept out): 1, or 0 when the format needs none or there is no DC.
    int CreatePalette();
    // (index >> shift) masked to bits (1-3), spread over 0-255.
    static BYTE ComponentFromIndex(int index, UINT bits, UINT shift);
    // Copies the palette's entries into the bitmap's colour table.
    void SetPalette(CPalette* palette);
    void SetPalette();
    // Copies the picture to (x, y) of the DC; nothing without a memory DC.
    void Draw(CDC* dc, int x, int y);
    // Width and height from the header (0 when empty).
    int width() const;
    int height() const;
    int DibWidth() const { return width(); }
    int DibHeight() const { return height(); }
    // The memory DC, or null.
    CDC* GethDC() const { return m_pDC; }
    // Bytes per row: rows padded to 4 bytes.
    virtual int GetStorageWidth() const;
    int StorageWidth() const { return GetStorageWidth(); }
    // True unless the header is a 12-byte core header.
    static BOOL IsWinDIB(const BITMAPINFOHEADER* header);
    // The number of colour-table entries the header implies.
    static int NumDIBColorEntries(const BITMAPINFO* info);
    // Writes a BMP file image at the file's position; FALSE when a write fails.
    BOOL Save(CFile* file);
    // Reads a BMP file image from the file's position into the bitmap made
    // by Create. FALSE (the picture unchanged or partly read) for a file
    // that is not "BM", a header of another size, an image whose size, bit
    // count or colour table does not fit the bitmap, or a short read.
    BOOL Load(CFile* file);
    // The BMP image straight to or from the archive's file, after the
    // archive's buffer is flushed; a failure throws CArchiveException.
    void Serialize(CArchive& ar) override;
    // Releases everything; the object is empty again.
    void destroy();

    // The pixel rows (null when empty).
    BYTE* bits() const { return m_pBits; }
    // The header block (40-byte header and 256 colour entries), or null.
    const BITMAPINFO* info() const;
    // The bits per pixel asked for.
    int bitsPerPixel() const { return m_bitsPerPixel; }
    // True once an image has been read.
    bool loaded() const { return m_bLoaded; }
    // The pixel formats the memory DC offers (by default those of the
    // off-screen renderer, which also draws with the device-context layer).
    void pixelFormats(std::vector<PIXELFORMATDESCRIPTOR> formats) { m_formats.formats = std::move(formats); }
    // Keeps the palette out of the memory DC.
    bool m_bNoPaletteSelect = false;

    // Palette tables.
    static const BYTE m_oneto8[2];
    static const BYTE m_twoto8[4];
    static const BYTE m_threeto8[8];
    static const PALETTEENTRY m_defaultPalEntry[20];
    static const int m_defaultOverride[13];

private:
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 24;
    CDC* m_pDC = nullptr;
    std::unique_ptr<DibHeader> m_pInfo;
    CBitmap* m_pBitmap = nullptr;
    CBitmap* m_pOldBitmap = nullptr;
    CPalette* m_pPalette = nullptr;
    CPalette* m_pOldPalette = nullptr;
    BYTE* m_pBits = nullptr;
    bool m_bLoaded = false;
    PixelFormatDevice m_formats;
};
