// The view base: capturing the OpenGL picture as a 24-bit bitmap, reading
// BMP files, and stretching the picture onto a page or into the embedded
// picture.
#include <GL/osmesa.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "analysis/model/Globals.h"
#include "analysis/views/CBaseViewer.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CMemoryDC.h"
#include "platform/gl/OpenGL.h"

namespace {

// The largest picture read from a file: 1 GiB of pixel rows.
constexpr std::size_t kMaxPictureBytes = std::size_t{1} << 30;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct BlockFree {
    void operator()(void* p) const { std::free(p); }
};

}  // namespace

void CBaseViewer::freeDIB(void* block) { std::free(block); }

void CBaseViewer::releasePicture() {
    freeDIB(pBitmapBits);
    freeDIB(pBitmapInfo);
    pBitmapBits = nullptr;
    pBitmapInfo = nullptr;
}

BYTE* CBaseViewer::ReadDIBitmap(BITMAPINFO** out) {
    if (out == nullptr || OSMesaGetCurrentContext() == nullptr) return nullptr;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int w = viewport[2], h = viewport[3];
    if (w <= 0 || h <= 0) return nullptr;
    const std::size_t row = dibRowBytes(w, 24);
    auto* info = static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFO)));
    if (info == nullptr) return nullptr;
    auto* bits = static_cast<BYTE*>(std::calloc(row, static_cast<std::size_t>(h)));
    if (bits == nullptr) {
        std::free(info);
        return nullptr;
    }
    glFinish();
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, bits);
    glPopClientAttrib();
    // Blue-green-red order, as a bitmap keeps its pixels.
    for (int y = 0; y < h; ++y) {
        BYTE* p = bits + static_cast<std::size_t>(y) * row;
        for (int x = 0; x < w; ++x, p += 3) std::swap(p[0], p[2]);
    }
    info->bmiHeader = dibHeader(w, h, 24).header;
    info->bmiHeader.biXPelsPerMeter = 2952;
    info->bmiHeader.biYPelsPerMeter = 2952;
    *out = info;
    return bits;
}

void CBaseViewer::readDIB() {
    releasePicture();
    BITMAPINFO* info = nullptr;
    pBitmapBits = ReadDIBitmap(&info);
    pBitmapInfo = pBitmapBits != nullptr ? info : nullptr;
}

BYTE* CBaseViewer::LoadDIBitmap(const char* fileName, BITMAPINFO** out) {
    if (fileName == nullptr || out == nullptr) return nullptr;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName, "rb"));
    if (!file) return nullptr;
    BITMAPFILEHEADER fh;
    if (std::fread(&fh, sizeof fh, 1, file.get()) != 1 || fh.bfType != 0x4D42) return nullptr;
    // The header block: a 40-byte header and at most 256 colour entries.
    if (fh.bfOffBits < 14 + sizeof(BITMAPINFOHEADER) || fh.bfOffBits > 14 + 1064) return nullptr;
    const std::size_t infoBytes = fh.bfOffBits - 14;
    std::unique_ptr<BITMAPINFO, BlockFree> info(
        static_cast<BITMAPINFO*>(std::calloc(1, std::max(infoBytes, sizeof(BITMAPINFO)))));
    if (!info || std::fread(info.get(), 1, infoBytes, file.get()) != infoBytes) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biBitCount == 0 ||
        h.biBitCount > 32)
        return nullptr;
    // Rows are padded to 4 bytes; a stated image size is read as stated, but
    // the buffer always holds at least the padded rows.
    const std::size_t rows = static_cast<std::size_t>(h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight);
    const std::size_t row = dibRowBytes(h.biWidth, h.biBitCount);
    if (row > kMaxPictureBytes / rows) return nullptr;
    const std::size_t padded = row * rows;
    const std::size_t toRead = h.biSizeImage != 0 ? h.biSizeImage : padded;
    if (toRead > kMaxPictureBytes) return nullptr;
    std::unique_ptr<BYTE, BlockFree> bits(static_cast<BYTE*>(std::calloc(1, std::max(toRead, padded))));
    if (!bits || std::fseek(file.get(), static_cast<long>(fh.bfOffBits), SEEK_SET) != 0 ||
        std::fread(bits.get(), 1, toRead, file.get()) != toRead)
        return nullptr;
    *out = info.release();
    return bits.release();
}

BYTE* CBaseViewer::ConvertRGB(BITMAPINFO* info, BYTE* bits) {
    if (info == nullptr || bits == nullptr) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0) return nullptr;
    const std::size_t rows = static_cast<std::size_t>(h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight);
    const std::size_t row = dibRowBytes(h.biWidth, 24);
    if (row > kMaxPictureBytes / rows) return nullptr;
    auto* copy = static_cast<BYTE*>(std::calloc(row, rows));
    if (copy == nullptr) return nullptr;
    if (h.biBitCount != 24 || h.biCompression != BI_RGB || h.biHeight <= 0) return copy;
    for (std::size_t y = 0; y < rows; ++y) {
        const BYTE* from = bits + y * row;
        BYTE* to = copy + y * row;
        for (int x = 0; x < h.biWidth; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return copy;
}

namespace {

// The picture's size in pixels; false for an empty one.
bool pictureSize(const BITMAPINFO* info, int& width, int& height) {
    if (info == nullptr) return false;
    width = info->bmiHeader.biWidth;
    height = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    return width > 0 && height > 0;
}

// Stretches the held picture onto the rectangle through whichever stretch
// the device has.
void stretchPicture(CDC* dc, int x, int y, int width, int height, const CRect& blitRect) {
    int w = 0, h = 0;
    if (!pictureSize(CBaseViewer::pBitmapInfo, w, h)) return;
    if (CBaseViewer::bStretchDIBits) {
        dc->StretchDIBits(x, y, width, height, 0, 0, w, h, CBaseViewer::pBitmapBits, CBaseViewer::pBitmapInfo,
                          DIB_RGB_COLORS, SRCCOPY);
    } else if (CBaseViewer::bStretchBlt) {
        CMemoryDC memory;
        CBitmap bitmap;
        if (!bitmap.CreateFromDIB(CBaseViewer::pBitmapInfo, CBaseViewer::pBitmapBits, DIB_RGB_COLORS)) return;
        memory.SelectObject(&bitmap);
        dc->StretchBlt(blitRect.left, blitRect.top, blitRect.Width(), blitRect.Height(), &memory, 0, 0, w, h,
                       SRCCOPY);
    }
}

}  // namespace

void CBaseViewer::splatImage(CDC* dc, double* y, double* nextY) {
    int w = 0, h = 0;
    if (dc == nullptr || y == nullptr || pBitmapBits == nullptr || !pictureSize(pBitmapInfo, w, h)) return;
    dc->SetMapMode(MM_TEXT);
    CDC* device = dc->attributeDC();
    const int pageWidth = device->GetDeviceCaps(HORZRES);
    const int pageHeight = device->GetDeviceCaps(VERTRES);
    dc->FillSolidRect(0, 0, pageWidth, pageHeight, RGB(255, 255, 255));
    m_yPixelsPerInch = device->GetDeviceCaps(LOGPIXELSY);
    // Fit the page width; a picture that would then be too tall fits the height.
    int width = pageWidth;
    int height = static_cast<int>(static_cast<double>(h) * pageWidth / w);
    if (height > pageHeight) {
        height = pageHeight;
        width = static_cast<int>(static_cast<double>(w) * pageHeight / h);
    }
    const int left = (pageWidth - width) / 2;
    const int top = static_cast<int>(*y * m_yPixelsPerInch);
    stretchPicture(dc, left, top, width, height, CRect(left, top, left + width, top + height));
    if (nextY != nullptr) *nextY = *y + (m_yPixelsPerInch > 0 ? static_cast<double>(height) / m_yPixelsPerInch : 0.0);
    dc->SetMapMode(MM_TWIPS);
}

void CBaseViewer::splatMetaFile(CDC* dc) {
    if (dc == nullptr || pBitmapBits == nullptr || pBitmapInfo == nullptr) return;
    dc->SetMapMode(MM_TEXT);
    const CBrush magenta(0xFF00FF);
    dc->FillRect(CRect(0, 0, gEmbedSizePixels.cx, gEmbedSizePixels.cy), &magenta);
    m_yPixelsPerInch = dc->GetDeviceCaps(LOGPIXELSY);
    const int caps = dc->attributeDC()->GetDeviceCaps(RASTERCAPS);
    if (caps & RC_STRETCHBLT) bStretchBlt = true;
    if (caps & RC_STRETCHDIB) bStretchDIBits = true;
    stretchPicture(dc, 0, 0, gEmbedSizePixels.cx, gEmbedSizePixels.cy, CRect(0, 0, m_width, m_height));
    dc->SetMapMode(MM_HIMETRIC);
}
