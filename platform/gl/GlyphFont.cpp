// Glyph bitmaps from FreeType, font files from fontconfig.
#include "platform/gl/GlyphFont.h"

#include <GL/osmesa.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace {

// Windows-1252 bytes 0x80-0x9F; the rest of the bytes are Latin-1.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The process's FreeType library, opened on first use.
FT_Library freetype()
{
    struct Library {
        FT_Library handle = nullptr;
        Library() { FT_Init_FreeType(&handle); }
        ~Library() { FT_Done_FreeType(handle); }
    };
    static Library library;
    return library.handle;
}

// The font file (path and face index) fontconfig matches to the request.
bool matchFont(const std::string& family, int weight, bool italic, std::string& path, int& index)
{
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : FW_NORMAL));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    if (match != nullptr) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            path = reinterpret_cast<const char*>(file);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
            found = true;
        }
        FcPatternDestroy(match);
    }
    return found;
}

// The face's ascent and descent in font units as Windows measures a cell:
// the OS/2 table's Windows values, else the horizontal header's.
std::pair<double, double> cellAscentDescent(FT_Face face)
{
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
        return {os2->usWinAscent, os2->usWinDescent};
    return {face->ascender, -face->descender};
}

}  // namespace

char32_t windows1252ToUnicode(unsigned char c)
{
    if (c >= 0x80 && c < 0xA0) return kCp1252High[c - 0x80];
    return c;
}

bool GlyphFont::Glyph::bit(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    const int stride = (width + 7) / 8;
    return (rows[static_cast<std::size_t>(y * stride + x / 8)] & (0x80 >> (x % 8))) != 0;
}

// Builds a GlyphFont from a FreeType face.
struct GlyphFontLoader {
    static std::shared_ptr<const GlyphFont> load(const LOGFONT& request)
    {
        const std::string family = request.lfFaceName.IsEmpty() ? std::string("Liberation Sans")
                                                                 : std::string(CStringA(request.lfFaceName));
        std::string path;
        int index = 0;
        if (freetype() == nullptr || !matchFont(family, request.lfWeight, request.lfItalic != 0, path, index))
            return nullptr;
        FT_Face face = nullptr;
        if (FT_New_Face(freetype(), path.c_str(), index, &face) != 0) return nullptr;
        std::shared_ptr<GlyphFont> font(new GlyphFont);
        const bool ok = fill(*font, face, request.lfHeight);
        FT_Done_Face(face);
        return ok ? font : nullptr;
    }

    static bool fill(GlyphFont& font, FT_Face face, LONG height)
    {
        if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return false;
        const auto [ascent, descent] = cellAscentDescent(face);
        const double upem = face->units_per_EM;
        if (height == 0) height = 16;
        // A negative height is the em (character) size; a positive one the cell.
        const double ppem = height < 0 ? -static_cast<double>(height) : height * upem / (ascent + descent);
        if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0) return false;

        TEXTMETRIC& tm = font.m_metrics;
        tm.tmAscent = static_cast<LONG>(std::lround(ascent * ppem / upem));
        tm.tmDescent = static_cast<LONG>(std::lround(descent * ppem / upem));
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - static_cast<LONG>(std::lround(ppem)));
        const double lineGap = face->height - (ascent + descent);
        tm.tmExternalLeading = std::max<LONG>(0, static_cast<LONG>(std::lround(lineGap * ppem / upem)));
        tm.tmWeight = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ? FW_BOLD : FW_NORMAL;
        tm.tmItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0 ? 1 : 0;
        font.m_family = face->family_name != nullptr ? face->family_name : "";

        long widthSum = 0;
        int counted = 0;
        for (int c = 0; c < 256; ++c) {
            GlyphFont::Glyph& g = font.m_glyphs[static_cast<std::size_t>(c)];
            const char32_t code = windows1252ToUnicode(static_cast<unsigned char>(c));
            // Control bytes and the bytes Windows-1252 leaves out draw nothing.
            if (code < 0x20 || code == 0x7F || code == 0) continue;
            if (FT_Get_Char_Index(face, code) == 0) continue;
            if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) continue;
            const FT_GlyphSlot slot = face->glyph;
            const FT_Bitmap& b = slot->bitmap;
            g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            g.width = static_cast<int>(b.width);
            g.height = static_cast<int>(b.rows);
            g.xOrigin = -slot->bitmap_left;
            g.yOrigin = g.height - slot->bitmap_top;
            const int stride = (g.width + 7) / 8;
            g.rows.assign(static_cast<std::size_t>(stride * g.height), 0);
            for (int r = 0; r < g.height; ++r) {
                // FreeType rows run top down; the glyph's bottom up.
                const int from = b.pitch >= 0 ? r : g.height - 1 - r;
                const unsigned char* src = b.buffer + static_cast<std::ptrdiff_t>(from) * std::abs(b.pitch);
                std::copy(src, src + stride, g.rows.begin() + static_cast<std::ptrdiff_t>((g.height - 1 - r) * stride));
            }
            tm.tmMaxCharWidth = std::max<LONG>(tm.tmMaxCharWidth, g.advance);
            if (c >= 'a' && c <= 'z') {
                widthSum += g.advance;
                ++counted;
            }
        }
        tm.tmAveCharWidth = counted > 0 ? static_cast<LONG>(widthSum / counted) : tm.tmMaxCharWidth;
        return true;
    }
};

std::shared_ptr<const GlyphFont> GlyphFont::open(const LOGFONT& font)
{
    using Key = std::tuple<std::wstring, LONG, LONG, BYTE>;
    static std::map<Key, std::shared_ptr<const GlyphFont>> cache;
    const Key key{std::wstring(font.lfFaceName.GetString()), font.lfHeight, font.lfWeight, font.lfItalic};
    const auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    std::shared_ptr<const GlyphFont> loaded = GlyphFontLoader::load(font);
    if (loaded) cache.emplace(key, loaded);
    return loaded;
}

std::shared_ptr<const GlyphFont> GlyphFont::systemFont()
{
    LOGFONT f;
    f.lfHeight = 16;
    f.lfWeight = FW_BOLD;
    f.lfFaceName = L"Liberation Sans";
    return open(f);
}

CSize GlyphFont::extent(std::string_view text) const
{
    LONG width = 0;
    for (const char c : text) width += m_glyphs[static_cast<unsigned char>(c)].advance;
    return CSize(width, m_metrics.tmHeight);
}

bool GlyphFont::buildLists(GLuint base) const
{
    if (base == 0 || OSMesaGetCurrentContext() == nullptr) return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    // An empty glyph (a space) still gets a bitmap pointer: the renderer
    // reports running out of memory for a null one in a display list.
    static const GLubyte kNoBits[1] = {0};
    for (int c = 0; c < 256; ++c) {
        const Glyph& g = m_glyphs[static_cast<std::size_t>(c)];
        glNewList(base + static_cast<GLuint>(c), GL_COMPILE);
        glBitmap(g.width, g.height, static_cast<GLfloat>(g.xOrigin), static_cast<GLfloat>(g.yOrigin),
                 static_cast<GLfloat>(g.advance), 0.0f, g.rows.empty() ? kNoBits : g.rows.data());
        glEndList();
    }
    glPopClientAttrib();
    return glGetError() == GL_NO_ERROR;
}
