// Bitmap glyphs of a system font, rasterised with FreeType from the font
// file that fontconfig picks for a face name, weight and slant ("Arial"
// finds Liberation Sans), so that no display is needed. A font covers the
// bytes 0-255 read as Windows-1252 text, with the measures a device context
// reports for it, and turns its glyphs into 256 OpenGL bitmap display lists
// (what a view's flat text draws with).
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/core/CRect.h"
#include "platform/gdi/Gdi.h"
#include "platform/gl/OpenGL.h"

class GlyphFont {
public:
    // One glyph: a 1-bit image, rows bottom row first, each row (width + 7)
    // / 8 bytes, most significant bit leftmost. As glBitmap takes them, its
    // bottom-left pixel lies xOrigin pixels left of and yOrigin pixels below
    // the pen position on the baseline; the pen then moves advance pixels.
    struct Glyph {
        int width = 0;
        int height = 0;
        int xOrigin = 0;
        int yOrigin = 0;
        int advance = 0;
        std::vector<BYTE> rows;
        // True when pixel (x, y) is set, y counted from the bottom row.
        bool bit(int x, int y) const;
    };

    // The font that best matches the description, its height in pixels
    // (negative: character height; positive: cell height, character plus
    // internal leading; 0: 16-pixel cell); null when no font file is found
    // or cannot be read. An empty face name gives the system font.
    static std::shared_ptr<const GlyphFont> open(const LOGFONT& font);
    // The stock system font: a bold proportional sans serif in a 16-pixel cell.
    static std::shared_ptr<const GlyphFont> systemFont();

    // The font's measures in pixels.
    const TEXTMETRIC& metrics() const { return m_metrics; }
    // The width (sum of the advances) and the height (tmHeight) of the
    // Windows-1252 text.
    CSize extent(std::string_view text) const;
    // The glyph of a byte.
    const Glyph& glyph(unsigned char c) const { return m_glyphs[c]; }
    // The face family the file gives (e.g. "Liberation Sans").
    const std::string& family() const { return m_family; }

    // Compiles the glyphs of bytes 0-255 into the display lists base to
    // base + 255 of the current OpenGL context; false without a context or
    // base, or when OpenGL reports an error.
    bool buildLists(GLuint base) const;

private:
    GlyphFont() = default;
    std::array<Glyph, 256> m_glyphs;
    TEXTMETRIC m_metrics;
    std::string m_family;

    friend struct GlyphFontLoader;
};

// The Unicode code point of a Windows-1252 byte (0 for the five bytes it
// leaves undefined).
char32_t windows1252ToUnicode(unsigned char c);
