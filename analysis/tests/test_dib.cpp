// Device-independent bitmaps: the captured OpenGL picture, BMP images
// written and read (file, archive, core headers), colour-table sizes,
// refused images, palettes, and the BMP file reader of the report pages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analysis/views/CSimpleDIB.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CMemoryDC.h"
#include "platform/tests/AllocationProbe.h"
#include "TestSupport.h"
#include "test_view_support.h"

using test_support::Bytes;

namespace {

DWORD dwordAt(const Bytes& b, std::size_t at) {
    return static_cast<DWORD>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<DWORD>(b[at + 3]) << 24));
}

// A 3 x 2 24-bit picture whose byte i of the rows is i (padding included).
void fillPattern(CSimpleDIB& dib) {
    for (int i = 0; i < dib.GetStorageWidth() * dib.height(); ++i) dib.bits()[i] = static_cast<BYTE>(i + 1);
}

Bytes saved(CSimpleDIB& dib) {
    CMemFile file;
    EXPECT_TRUE(dib.Save(&file));
    return file.GetBytes();
}

// Puts little-endian values at the end of a byte vector.
template <class T>
void put(Bytes& b, T v) {
    for (std::size_t i = 0; i < sizeof(T); ++i) b.push_back(static_cast<BYTE>(static_cast<std::uint64_t>(v) >> (8 * i)));
}

}  // namespace

TEST(DibCapture, ThreePixelRowsArePaddedToTwelveBytes) {
    SizedView v(3, 2);
    ASSERT_TRUE(v.view.makeCurrent());
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    BITMAPINFO* info = nullptr;
    BYTE* bits = v.view.ReadDIBitmap(&info);
    ASSERT_NE(bits, nullptr);
    ASSERT_NE(info, nullptr);
    const BITMAPINFOHEADER& h = info->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biSizeImage, 24u);
    EXPECT_EQ(h.biXPelsPerMeter, 2952);
    const Bytes row = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    EXPECT_EQ(Bytes(bits, bits + 12), row);
    EXPECT_EQ(Bytes(bits + 12, bits + 24), row);
    CBaseViewer::freeDIB(bits);
    CBaseViewer::freeDIB(info);

    // readDIB holds it for the report pages until printing ends.
    v.view.readDIB();
    ASSERT_NE(CBaseViewer::pBitmapInfo, nullptr);
    EXPECT_EQ(CBaseViewer::pBitmapBits[2], 255);
    v.view.OnEndPrinting(nullptr, nullptr);
    EXPECT_EQ(CBaseViewer::pBitmapInfo, nullptr);
    EXPECT_EQ(CBaseViewer::pBitmapBits, nullptr);
}

TEST(Dib, SaveWritesTheFileHeaderAllColourEntriesAndTheRows) {
    CSimpleDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 24));
    EXPECT_EQ(dib.GetStorageWidth(), 12);
    fillPattern(dib);
    const Bytes b = saved(dib);
    ASSERT_EQ(b.size(), 1102u);  // 14 + 1064 + 2 x 12
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(dwordAt(b, 2), 1102u);
    EXPECT_EQ(dwordAt(b, 6), 0u);
    EXPECT_EQ(dwordAt(b, 10), 1078u);
    EXPECT_EQ(dwordAt(b, 14), 40u);  // header size, width, height
    EXPECT_EQ(dwordAt(b, 18), 3u);
    EXPECT_EQ(dwordAt(b, 22), 2u);
    EXPECT_EQ(b[1078], 1);
    EXPECT_EQ(b[1101], 24);

    // Read back into a bitmap of the same size: the same pixels.
    CSimpleDIB copy;
    copy.Create(3, 2, 24);
    CMemFile file(b.data(), static_cast<UINT>(b.size()));
    EXPECT_TRUE(copy.Load(&file));
    EXPECT_TRUE(copy.loaded());
    EXPECT_EQ(std::memcmp(copy.bits(), dib.bits(), 24), 0);
}

TEST(Dib, ArchiveHoldsTheImageAndWhatFollowsIt) {
    CSimpleDIB dib;
    dib.Create(3, 2, 24);
    fillPattern(dib);
    const Bytes bytes = test_support::stored([&](CArchive& ar) {
        ar << 77;
        dib.Serialize(ar);
        ar << 1234;
    });
    ASSERT_EQ(bytes.size(), 4u + 1102u + 4u);
    test_support::loaded(bytes, [&](CArchive& ar) {
        int before = 0, after = 0;
        ar >> before;
        CSimpleDIB copy;
        copy.read(ar, 3, 2, 24);
        ar >> after;
        EXPECT_EQ(before, 77);
        EXPECT_EQ(after, 1234);
        EXPECT_EQ(std::memcmp(copy.bits(), dib.bits(), 24), 0);
    });
    // A reader that made no bitmap cannot take the image: the archive says so.
    test_support::loaded(bytes, [&](CArchive& ar) {
        int before = 0;
        ar >> before;
        CSimpleDIB empty;
        EXPECT_THROW(empty.Serialize(ar), CArchiveException);
    });
}

TEST(Dib, CoreHeaderReadsThreeByteColourEntries) {
    Bytes b;
    const DWORD offBits = 14 + 12 + 256 * 3;
    put<WORD>(b, 0x4D42);
    put<DWORD>(b, offBits + 8);
    put<DWORD>(b, 0);
    put<DWORD>(b, offBits);
    put<DWORD>(b, 12);
    put<WORD>(b, 2);
    put<WORD>(b, 2);
    put<WORD>(b, 1);
    put<WORD>(b, 8);
    for (int i = 0; i < 256; ++i) {  // blue, green, red
        b.push_back(static_cast<BYTE>(i));
        b.push_back(static_cast<BYTE>(255 - i));
        b.push_back(7);
    }
    for (BYTE p : {1, 2, 0, 0, 3, 4, 0, 0}) b.push_back(p);

    CSimpleDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    CMemFile file(b.data(), static_cast<UINT>(b.size()));
    ASSERT_TRUE(dib.Load(&file));
    const BITMAPINFO* info = dib.info();
    EXPECT_EQ(info->bmiHeader.biSize, 40u);
    EXPECT_EQ(info->bmiHeader.biBitCount, 8);
    const RGBQUAD& last = reinterpret_cast<const DibHeader*>(info)->colours[255];
    EXPECT_EQ(last.rgbBlue, 255);
    EXPECT_EQ(last.rgbGreen, 0);
    EXPECT_EQ(last.rgbRed, 7);
    EXPECT_EQ(last.rgbReserved, 0);
    EXPECT_EQ(Bytes(dib.bits(), dib.bits() + 8), Bytes({1, 2, 0, 0, 3, 4, 0, 0}));
}

TEST(Dib, ColourEntryCounts) {
    struct Case {
        WORD bits;
        DWORD used;
        int entries;
    };
    for (const Case& c : {Case{1, 5, 2}, Case{1, 0, 2}, Case{4, 0, 16}, Case{4, 3, 3}, Case{8, 0, 256},
                          Case{8, 300, 256}, Case{24, 0, 0}, Case{24, 7, 7}}) {
        DibHeader h{};
        h.header.biSize = 40;
        h.header.biBitCount = c.bits;
        h.header.biClrUsed = c.used;
        EXPECT_EQ(CSimpleDIB::NumDIBColorEntries(h.info()), c.entries) << c.bits << " bits, " << c.used << " used";
    }
    BITMAPCOREHEADER core;
    core.bcBitCount = 8;
    EXPECT_EQ(CSimpleDIB::NumDIBColorEntries(reinterpret_cast<const BITMAPINFO*>(&core)), 256);
    EXPECT_FALSE(CSimpleDIB::IsWinDIB(reinterpret_cast<const BITMAPINFOHEADER*>(&core)));
}

// Nothing is written past the bitmap made for an image: images of another
// size, a colour table over 256 entries or more pixel bytes than the rows
// hold are refused, and so is a file that is not "BM".
TEST(Dib, LoadRefusesImagesThatDoNotFit) {
    CSimpleDIB source;
    source.Create(3, 2, 24);
    fillPattern(source);
    const Bytes good = saved(source);
    struct Case {
        const char* name;
        std::size_t at;
        DWORD value;
        int size;
    };
    for (const Case& c : {Case{"type", 0, 0x4142, 2}, Case{"file size", 2, 1102 + 100, 4},
                          Case{"width", 18, 4, 4}, Case{"colours used", 46, 300, 4}, Case{"header size", 14, 64, 4},
                          Case{"file size below offset", 2, 1000, 4}}) {
        Bytes b = good;
        for (int i = 0; i < c.size; ++i) b[c.at + static_cast<std::size_t>(i)] = static_cast<BYTE>(c.value >> (8 * i));
        b.resize(b.size() + 200, 0xEE);
        CSimpleDIB dib;
        dib.Create(3, 2, 24);
        CMemFile file(b.data(), static_cast<UINT>(b.size()));
        EXPECT_FALSE(dib.Load(&file)) << c.name;
        EXPECT_FALSE(dib.loaded()) << c.name;
        EXPECT_EQ(dib.bits()[0], 0) << c.name;
    }
    Bytes shortFile = good;
    shortFile.resize(1090);
    CSimpleDIB dib;
    dib.Create(3, 2, 24);
    CMemFile file(shortFile.data(), static_cast<UINT>(shortFile.size()));
    EXPECT_FALSE(dib.Load(&file));
}

// A stored size whose rows the archive cannot hold is refused before the
// bitmap is made: 16384 x 16384 pixels of 32 bits would be 1 GiB of rows.
// The exact fit (3 x 2 x 24: 1078 + 24 bytes) still reads.
TEST(Dib, ArchiveReadRefusesASizeTheBytesLeftCannotHold) {
    struct Case {
        int width, height, bits;
        std::size_t bytesLeft;
        bool reads;
    };
    for (const Case& c : {Case{16384, 16384, 32, 2000, false}, Case{3, 2, 24, 1101, false},
                          Case{3, 2, 24, 1102, true}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ", " +
                     std::to_string(c.bytesLeft) + " bytes");
        CSimpleDIB source;
        source.Create(3, 2, 24);
        Bytes b = saved(source);
        b.resize(c.bytesLeft);
        test_support::loaded(b, [&](CArchive& ar) {
            CSimpleDIB dib;
            if (c.reads) {
                dib.read(ar, c.width, c.height, c.bits);
                EXPECT_TRUE(dib.loaded());
                return;
            }
            const auto usage = allocation_probe::measure([&] {
                try {
                    dib.read(ar, c.width, c.height, c.bits);
                    ADD_FAILURE() << "read";
                } catch (const CArchiveException& e) {
                    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
                }
            });
            if (usage.measured) {
                EXPECT_LT(usage.largestRequest, 1u << 20);
            }
            EXPECT_EQ(dib.bits(), nullptr);
        });
    }
}

TEST(Dib, PaletteOnlyForAnEightBitFormat) {
    CSimpleDIB trueColour;
    trueColour.Create(4, 4, 24);
    EXPECT_EQ(trueColour.initFormat(0, 56), 1);
    EXPECT_EQ(trueColour.CreatePalette(), 0);
    EXPECT_EQ(trueColour.GethDC()->GetCurrentPalette(), nullptr);

    PIXELFORMATDESCRIPTOR f;
    f.nSize = 40;
    f.nVersion = 1;
    f.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL | PFD_NEED_PALETTE;
    f.cColorBits = 8;
    f.cRedBits = 3;
    f.cGreenBits = 3;
    f.cGreenShift = 3;
    f.cBlueBits = 2;
    f.cBlueShift = 6;
    f.cDepthBits = 32;
    CSimpleDIB indexed;
    indexed.pixelFormats({f});
    indexed.Create(4, 4, 8);
    ASSERT_EQ(indexed.initFormat(0, 56), 1);
    const CPalette* palette = indexed.GethDC()->GetCurrentPalette();
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(palette->GetEntryCount(), 256);
    for (int i = 1; i <= 12; ++i) {
        const PALETTEENTRY& e = palette->entries()[static_cast<std::size_t>(CSimpleDIB::m_defaultOverride[i])];
        EXPECT_EQ(e, CSimpleDIB::m_defaultPalEntry[i]) << i;
    }
    EXPECT_EQ(palette->entries()[255], (PALETTEENTRY{255, 255, 255, 0}));
    EXPECT_EQ(palette->entries()[5], (PALETTEENTRY{ComponentFromIndex(5, 3, 0), 0, 0, 0}));

    // Into the bitmap's colour table.
    indexed.SetPalette();
    const CBitmap* bitmap = indexed.GethDC()->GetCurrentBitmap();
    EXPECT_EQ(bitmap->colorTable()[3].rgbRed, 128);
    EXPECT_EQ(bitmap->colorTable()[3].rgbBlue, 0);
}

TEST(Dib, CreateFromInfoCopiesThePixelsAndDrawCopiesThem) {
    const DibHeader h = dibHeader(2, 1, 24);
    BYTE rows[8] = {255, 0, 0, 0, 0, 255, 0, 0};  // blue, red
    CSimpleDIB dib;
    ASSERT_TRUE(dib.Create(h.info(), rows));
    rows[0] = 0;  // the picture is the object's own copy
    EXPECT_EQ(dib.bits()[0], 255);

    CMemoryDC target;
    CBitmap page;
    page.CreateDIBSection(4, 2, 24);
    target.SelectObject(&page);
    dib.Draw(&target, 1, 1);
    EXPECT_EQ(page.GetPixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(page.GetPixel(2, 1), RGB(255, 0, 0));
    EXPECT_EQ(page.GetPixel(0, 1), RGB(0, 0, 0));
}

TEST(Dib, ReportBitmapFilesPadRowsAndConvert) {
    // A 3 x 2 24-bit file whose header leaves the image size 0.
    Bytes b;
    put<WORD>(b, 0x4D42);
    put<DWORD>(b, 14 + 40 + 24);
    put<DWORD>(b, 0);
    put<DWORD>(b, 14 + 40);
    put<DWORD>(b, 40);
    put<DWORD>(b, 3);
    put<DWORD>(b, 2);
    put<WORD>(b, 1);
    put<WORD>(b, 24);
    for (int i = 0; i < 6; ++i) put<DWORD>(b, 0);
    for (int i = 0; i < 24; ++i) b.push_back(static_cast<BYTE>(i));
    const std::string path = ::testing::TempDir() + "report_picture.bmp";
    const auto write = [&](const Bytes& bytes) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    };
    write(b);
    BITMAPINFO* info = nullptr;
    BYTE* bits = CBaseViewer::LoadDIBitmap(path.c_str(), &info);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(Bytes(bits, bits + 24), Bytes(b.end() - 24, b.end()));  // both padded rows
    BYTE* swapped = CBaseViewer::ConvertRGB(info, bits);
    ASSERT_NE(swapped, nullptr);
    EXPECT_EQ(Bytes(swapped, swapped + 12), Bytes({2, 1, 0, 5, 4, 3, 8, 7, 6, 0, 0, 0}));
    CBaseViewer::freeDIB(swapped);
    info->bmiHeader.biBitCount = 8;  // not 24 bits: a blank copy
    swapped = CBaseViewer::ConvertRGB(info, bits);
    EXPECT_EQ(Bytes(swapped, swapped + 12), Bytes(12, 0));
    CBaseViewer::freeDIB(swapped);
    CBaseViewer::freeDIB(bits);
    CBaseViewer::freeDIB(info);

    Bytes notBm = b;
    notBm[1] = 'A';
    write(notBm);
    EXPECT_EQ(CBaseViewer::LoadDIBitmap(path.c_str(), &info), nullptr);
    Bytes truncated(b.begin(), b.end() - 5);
    write(truncated);
    EXPECT_EQ(CBaseViewer::LoadDIBitmap(path.c_str(), &info), nullptr);
    EXPECT_EQ(CBaseViewer::LoadDIBitmap((path + ".missing").c_str(), &info), nullptr);
    std::remove(path.c_str());
}

TEST(DibCapture, FirstUpdateOfAViewLetsGoOfAHeldPicture) {
    SizedView v(4, 4);
    ASSERT_TRUE(v.view.makeCurrent());
    v.view.readDIB();
    ASSERT_NE(CBaseViewer::pBitmapBits, nullptr);
    v.view.OnInitialUpdate();
    EXPECT_EQ(CBaseViewer::pBitmapInfo, nullptr);
    EXPECT_EQ(CBaseViewer::pBitmapBits, nullptr);  // freed too: the leak checker sees no block
}
