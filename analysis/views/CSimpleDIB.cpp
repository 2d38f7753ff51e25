// Device-independent bitmaps: creation, palettes, BMP images, archives.
#include "analysis/views/CSimpleDIB.h"

#include <algorithm>
#include <cstring>

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Exceptions.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CMemoryDC.h"
#include "platform/gl/Palette.h"

IMPLEMENT_SERIAL(CSimpleDIB, CObject, 1)

const BYTE CSimpleDIB::m_oneto8[2] = {0, 255};
const BYTE CSimpleDIB::m_twoto8[4] = {0, 85, 170, 255};
const BYTE CSimpleDIB::m_threeto8[8] = {0, 36, 73, 109, 146, 182, 219, 255};
const PALETTEENTRY CSimpleDIB::m_defaultPalEntry[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0}};
const int CSimpleDIB::m_defaultOverride[13] = {0, 3, 24, 27, 64, 67, 88, 173, 181, 236, 247, 164, 91};

namespace {

constexpr WORD kBmpType = 0x4D42;  // "BM"
constexpr DWORD kPixelOffset = 14 + 1064;
constexpr DWORD kPfdNeedSystemPalette = 0x00000100u;

// The memory DC's formats: those the off-screen renderer draws, which the
// device-context layer can draw on too.
std::vector<PIXELFORMATDESCRIPTOR> memoryFormats() {
    std::vector<PIXELFORMATDESCRIPTOR> formats = osmesaPixelFormats();
    for (PIXELFORMATDESCRIPTOR& f : formats) f.dwFlags |= PFD_SUPPORT_GDI;
    return formats;
}

}  // namespace

CSimpleDIB::CSimpleDIB() : m_formats{PixelDeviceKind::Memory, memoryFormats(), 0} {}

CSimpleDIB::~CSimpleDIB() { destroy(); }

void CSimpleDIB::destroy() {
    if (m_pDC != nullptr) {
        if (m_pOldBitmap != nullptr) m_pDC->SelectObject(m_pOldBitmap);
        if (m_pOldPalette != nullptr) m_pDC->SelectPalette(m_pOldPalette, FALSE);
    }
    delete m_pDC;
    delete m_pBitmap;
    delete m_pPalette;
    m_pDC = nullptr;
    m_pBitmap = m_pOldBitmap = nullptr;
    m_pPalette = m_pOldPalette = nullptr;
    m_pBits = nullptr;
    m_pInfo.reset();
    m_width = m_height = 0;
    m_formats.current = 0;
    m_bLoaded = false;
}

BOOL CSimpleDIB::Create(int width, int height, int bitsPerPixel) {
    destroy();
    m_bitsPerPixel = bitsPerPixel;
    m_pInfo = std::make_unique<DibHeader>(dibHeader(width, height, bitsPerPixel));
    m_pInfo->header.biSizeImage = 0;
    m_width = width;
    m_height = height;
    m_pDC = new CMemoryDC;
    auto bitmap = std::make_unique<CBitmap>();
    if (!bitmap->CreateDIBSection(width, height, bitsPerPixel)) return FALSE;
    m_pBitmap = bitmap.release();
    m_pBits = m_pBitmap->bits();
    m_pOldBitmap = m_pDC->SelectObject(m_pBitmap);
    return TRUE;
}

BOOL CSimpleDIB::Create(const BITMAPINFO* info, const BYTE* bits) {
    if (info == nullptr) return FALSE;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (!Create(h.biWidth, h.biHeight, h.biBitCount)) return FALSE;
    initFormat(0, 56);
    if (bits != nullptr) std::memcpy(m_pBits, bits, static_cast<std::size_t>(GetStorageWidth()) * m_height);
    return TRUE;
}

void CSimpleDIB::read(CArchive& ar, int width, int height, int bitsPerPixel) {
    // The stored image carries every row of the bitmap behind its headers:
    // a size the bytes left cannot hold is refused before the bitmap is made.
    if (width > 0 && height > 0 && bitsPerPixel > 0) {
        const ULONGLONG rowBytes = (static_cast<ULONGLONG>(bitsPerPixel) * static_cast<ULONGLONG>(width) + 31) / 32 * 4;
        const ULONGLONG left = ar.BytesLeft();
        if (left < kPixelOffset || rowBytes > (left - kPixelOffset) / static_cast<ULONGLONG>(height))
            AfxThrowArchiveException(CArchiveException::endOfFile);
    }
    Create(width, height, bitsPerPixel);
    initFormat(0, 56);
    Serialize(ar);
}

int CSimpleDIB::initFormat(int pixelType, DWORD flags) {
    if (m_pDC == nullptr) return 0;
    PIXELFORMATDESCRIPTOR request;
    request.nSize = 40;
    request.nVersion = 1;
    request.dwFlags = flags;
    request.iPixelType = static_cast<BYTE>(pixelType);
    const CBitmap* selected = m_pDC->GetCurrentBitmap();
    request.cColorBits = static_cast<BYTE>(selected != nullptr ? selected->bitsPerPixel() : 0);
    request.cDepthBits = 32;
    request.iLayerType = PFD_MAIN_PLANE;
    const int index = ChoosePixelFormat(&m_formats, &request);
    if (index == 0 || !SetPixelFormat(&m_formats, index, &request)) return 0;
    CreatePalette();
    return 1;
}

int CSimpleDIB::CreatePalette() {
    PIXELFORMATDESCRIPTOR f;
    if (m_pDC == nullptr || DescribePixelFormat(&m_formats, m_formats.current, &f) == 0 || m_formats.current == 0)
        return 0;
    const bool asks = (f.dwFlags & (PFD_NEED_PALETTE | kPfdNeedSystemPalette)) != 0;
    if (!asks && f.cColorBits != 8 && f.iPixelType != PFD_TYPE_COLORINDEX) return 0;
    std::vector<PALETTEENTRY> entries(256);
    if (f.iPixelType == PFD_TYPE_RGBA && f.cColorBits <= 8) {
        // The RGB palette of the format (with the system colours of a
        // 3-3-2 format), padded to 256 entries.
        PIXELFORMATDESCRIPTOR needing = f;
        needing.dwFlags |= PFD_NEED_PALETTE;
        const std::vector<PALETTEENTRY> rgb = CreateRGBPalette(needing);
        std::copy(rgb.begin(), rgb.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(rgb.size(), 256)),
                  entries.begin());
    }
    if (m_pPalette != nullptr && m_pDC->GetCurrentPalette() == m_pPalette) m_pDC->SelectPalette(m_pOldPalette, FALSE);
    delete m_pPalette;
    m_pPalette = new CPalette;
    m_pPalette->CreatePalette(entries);
    if (!m_bNoPaletteSelect) {
        m_pOldPalette = m_pDC->SelectPalette(m_pPalette, FALSE);
        m_pDC->RealizePalette();
    }
    return 1;
}

BYTE CSimpleDIB::ComponentFromIndex(int index, UINT bits, UINT shift) { return ::ComponentFromIndex(index, bits, shift); }

void CSimpleDIB::SetPalette(CPalette* palette) {
    if (palette == nullptr || m_pDC == nullptr) return;
    std::vector<RGBQUAD> quads;
    for (const PALETTEENTRY& e : palette->entries()) quads.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    m_pDC->SetDIBColorTable(0, static_cast<UINT>(quads.size()), quads.data());
}

void CSimpleDIB::SetPalette() { SetPalette(m_pPalette); }

void CSimpleDIB::Draw(CDC* dc, int x, int y) {
    if (m_pDC == nullptr || dc == nullptr) return;
    dc->BitBlt(x, y, m_width, m_height, m_pDC, 0, 0, SRCCOPY);
}

int CSimpleDIB::width() const { return m_pInfo ? m_pInfo->header.biWidth : 0; }

int CSimpleDIB::height() const { return m_pInfo ? m_pInfo->header.biHeight : 0; }

const BITMAPINFO* CSimpleDIB::info() const { return m_pInfo ? m_pInfo->info() : nullptr; }

int CSimpleDIB::GetStorageWidth() const {
    if (!m_pInfo) return 0;
    return static_cast<int>(dibRowBytes(m_pInfo->header.biWidth, m_pInfo->header.biBitCount));
}

BOOL CSimpleDIB::IsWinDIB(const BITMAPINFOHEADER* header) {
    return header != nullptr && header->biSize != sizeof(BITMAPCOREHEADER) ? TRUE : FALSE;
}

int CSimpleDIB::NumDIBColorEntries(const BITMAPINFO* info) {
    if (info == nullptr) return 0;
    const bool core = !IsWinDIB(&info->bmiHeader);
    const int bits = core ? reinterpret_cast<const BITMAPCOREHEADER*>(info)->bcBitCount : info->bmiHeader.biBitCount;
    int count = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    if (!core && info->bmiHeader.biClrUsed != 0) count = static_cast<int>(std::min<DWORD>(info->bmiHeader.biClrUsed, 0x7FFFFFFF));
    switch (bits) {
    case 1: return std::min(count, 2);
    case 4: return std::min(count, 16);
    case 8: return std::min(count, 256);
    default: return count;
    }
}

BOOL CSimpleDIB::Save(CFile* file) {
    if (file == nullptr || !m_pInfo) return FALSE;
    const std::size_t rowBytes = dibRowBytes(m_pInfo->header.biWidth, m_pInfo->header.biBitCount);
    const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(std::abs(m_pInfo->header.biHeight));
    BITMAPFILEHEADER fh;
    fh.bfType = kBmpType;
    fh.bfSize = static_cast<DWORD>(pixelBytes + kPixelOffset);
    fh.bfOffBits = kPixelOffset;
    try {
        file->Write(&fh, sizeof fh);
        file->Write(m_pInfo.get(), sizeof(DibHeader));
        if (pixelBytes > 0) {
            if (m_pBits == nullptr) return FALSE;
            file->Write(m_pBits, static_cast<UINT>(pixelBytes));
        }
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
}

namespace {

// Reads exactly count bytes; false on a short read or a file error.
bool readAll(CFile* file, void* buffer, UINT count) {
    try {
        return file->Read(buffer, count) == count;
    } catch (const CFileException&) {
        return false;
    }
}

bool seekTo(CFile* file, ULONGLONG position) {
    try {
        return file->Seek(static_cast<LONGLONG>(position), CFile::begin) == position;
    } catch (const CFileException&) {
        return false;
    }
}

}  // namespace

BOOL CSimpleDIB::Load(CFile* file) {
    if (file == nullptr || !m_pInfo) return FALSE;
    ULONGLONG start = 0;
    try {
        start = file->GetPosition();
    } catch (const CFileException&) {
        return FALSE;
    }
    BITMAPFILEHEADER fh;
    if (!readAll(file, &fh, sizeof fh) || fh.bfType != kBmpType) return FALSE;
    DibHeader image{};
    if (!readAll(file, &image.header, sizeof(BITMAPINFOHEADER))) return FALSE;
    const bool core = image.header.biSize == sizeof(BITMAPCOREHEADER);
    if (core) {
        BITMAPCOREHEADER ch;
        if (!seekTo(file, start + sizeof fh) || !readAll(file, &ch, sizeof ch)) return FALSE;
        image.header = BITMAPINFOHEADER{};
        image.header.biSize = sizeof(BITMAPINFOHEADER);
        image.header.biWidth = ch.bcWidth;
        image.header.biHeight = ch.bcHeight;
        image.header.biPlanes = ch.bcPlanes;
        image.header.biBitCount = ch.bcBitCount;
    } else if (image.header.biSize != sizeof(BITMAPINFOHEADER)) {
        return FALSE;
    }
    // The image must fit the bitmap made for it: its size and bit count,
    // at most 256 colour entries, and no more pixel bytes than its rows hold.
    const BITMAPINFOHEADER& made = m_pInfo->header;
    if (image.header.biWidth != made.biWidth || image.header.biHeight != made.biHeight ||
        image.header.biBitCount != made.biBitCount)
        return FALSE;
    const int colours = core ? NumDIBColorEntries(reinterpret_cast<const BITMAPINFO*>(&image))
                             : NumDIBColorEntries(image.info());
    if (colours < 0 || colours > 256) return FALSE;
    const std::size_t storage = dibRowBytes(made.biWidth, made.biBitCount) * static_cast<std::size_t>(std::abs(made.biHeight));
    if (fh.bfSize < fh.bfOffBits || fh.bfSize - fh.bfOffBits > storage) return FALSE;
    const UINT pixelBytes = fh.bfSize - fh.bfOffBits;
    if (pixelBytes > 0 && m_pBits == nullptr) return FALSE;

    if (core) {
        for (int i = 0; i < colours; ++i) {
            RGBTRIPLE t;
            if (!readAll(file, &t, sizeof t)) return FALSE;
            image.colours[i] = RGBQUAD{t.rgbtBlue, t.rgbtGreen, t.rgbtRed, 0};
        }
    } else if (colours > 0 && !readAll(file, image.colours, static_cast<UINT>(colours) * sizeof(RGBQUAD))) {
        return FALSE;
    }
    if (!seekTo(file, start + fh.bfOffBits)) return FALSE;
    if (pixelBytes > 0 && !readAll(file, m_pBits, pixelBytes)) return FALSE;
    *m_pInfo = image;
    if (m_pBitmap != nullptr) {
        std::vector<RGBQUAD>& table = m_pBitmap->colorTable();
        for (std::size_t i = 0; i < table.size() && i < 256; ++i) table[i] = image.colours[i];
    }
    m_bLoaded = true;
    return TRUE;
}

void CSimpleDIB::Serialize(CArchive& ar) {
    ar.Flush();
    if (ar.IsLoading()) {
        if (!Load(ar.GetFile())) AfxThrowArchiveException(CArchiveException::genericException);
    } else if (!Save(ar.GetFile())) {
        AfxThrowArchiveException(CArchiveException::genericException);
    }
}
