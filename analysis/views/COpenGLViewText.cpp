// The OpenGL view: bitmap-font lists, flat labels, value markers, labelled
// arrows and the outline of a thick line.
#include <GL/osmesa.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "analysis/views/COpenGLView.h"
#include "platform/gl/GlyphFont.h"

namespace {

// The longest label the text operations draw.
constexpr int kLabelChars = 219;

// The 2-D pixel overlay of the text operations: the current colour saved,
// lighting, depth test, texturing, culling, texture generation and dither
// off (they stay off), flat shading, and both matrices pushed and set to
// window pixels; the destructor restores the colour and pops the matrices.
class PixelOverlay {
public:
    PixelOverlay(int width, int height) {
        glGetFloatv(GL_CURRENT_COLOR, m_colour);
        for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_CULL_FACE, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
                           GL_DITHER})
            glDisable(cap);
        glShadeModel(GL_FLAT);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        gluOrtho2D(0, width, 0, height);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
    }
    ~PixelOverlay() {
        glColor4fv(m_colour);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    PixelOverlay(const PixelOverlay&) = delete;
    PixelOverlay& operator=(const PixelOverlay&) = delete;

private:
    GLfloat m_colour[4] = {};
};

// The window position of a model point through the current matrices.
bool project(double x, double y, double z, double& wx, double& wy) {
    GLdouble model[16], proj[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wz = 0;
    return gluProject(x, y, z, model, proj, viewport, &wx, &wy, &wz) == GL_TRUE;
}

// A text's width and the height used to place it: tmHeight less the
// external leading, the descent and the internal leading.
struct TextBox {
    int cx = 0;
    int h = 0;
};

TextBox measure(const GlyphFont* font, const CStringA& text) {
    if (font == nullptr) return {};
    const TEXTMETRIC& tm = font->metrics();
    return {static_cast<int>(font->extent(text.GetString()).cx),
            static_cast<int>(tm.tmHeight - tm.tmExternalLeading - tm.tmDescent - tm.tmInternalLeading)};
}

// Moves the raster position by the placement's two letters.
void place(const char* placement, const TextBox& box, double& wx, double& wy) {
    if (placement == nullptr || placement[0] == '\0') return;
    if (placement[0] == 'c') wx -= box.cx / 2;
    else if (placement[0] == 'r') wx -= box.cx;
    if (placement[1] == 'c') wy -= box.h / 2;
    else if (placement[1] == 't') wy -= box.h;
}

CStringA cut(const CStringA& text) { return text.GetLength() > kLabelChars ? text.Left(kLabelChars) : text; }

}  // namespace

void COpenGLView::GLTextOut(UINT listBase, const char* text) {
    if (listBase == 0 || text == nullptr) {
        std::fputs("GLTextOut::invalid id or textstring\n", stderr);
        return;
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(listBase);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
    errCheck();
}

void COpenGLView::SetDefaultFonts(const wchar_t* unused, const wchar_t* face) { GenerateDefaultFonts(unused, face); }

void COpenGLView::GenerateDefaultFonts(const wchar_t* /*unused*/, const wchar_t* face) {
    if (m_DefaultFlatTextID != -1) return;
    m_DefaultFlatTextID = static_cast<int>(GenerateBitmapListForFont(face));
    m_GridLabelFontId = ensureCurrent() ? glGenLists(256) : 0;
    m_pGridLabelFont = CreateFontW(m_GridLabelFontId, -10);
    m_bFont = 1;
}

UINT COpenGLView::GenerateBitmapListForFont(const wchar_t* face) {
    CString text;
    if (!ensureCurrent()) {
        text.Format(L"GenerateBitmapList: id:%d\n", -1);
        message(text, L"");
        return 0;
    }
    const GLuint base = glGenLists(256);
    if (base == 0) {
        text.Format(L"GenerateBitmapList: id:%d\n", 0);
        message(text, L"");
        return 0;
    }
    std::shared_ptr<const GlyphFont> font;
    if (face != nullptr) {
        LOGFONT f;
        f.lfHeight = -8;
        f.lfWeight = FW_NORMAL;
        f.lfFaceName = face;
        font = GlyphFont::open(f);
    } else {
        font = GlyphFont::systemFont();
    }
    if (!font || !font->buildLists(base)) {
        text.Format(L"success:%d", font ? 1 : 0);
        message(text, L"");
        glDeleteLists(base, 256);
        return 0;
    }
    return base;
}

std::unique_ptr<CFont> COpenGLView::CreateFontW(UINT listBase, int height) {
    auto font = std::make_unique<CFont>();
    font->CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, L"Arial");
    if (listBase != 0 && ensureCurrent()) {
        if (const auto glyphs = GlyphFont::open(font->logFont())) glyphs->buildLists(listBase);
    }
    return font;
}

namespace {

// The font a label is measured in: the grid-label font for its lists, the
// system font (what the default lists hold) otherwise.
std::shared_ptr<const GlyphFont> measuringFont(const COpenGLView& view, int fontList) {
    if (view.m_pGridLabelFont && view.m_GridLabelFontId != 0 && fontList == static_cast<int>(view.m_GridLabelFontId))
        return GlyphFont::open(view.m_pGridLabelFont->logFont());
    return GlyphFont::systemFont();
}

// The lists a label draws with: the default ones for -1; 0 (refused by
// GLTextOut) for lists never built.
UINT listFor(const COpenGLView& view, int fontList) {
    const int id = fontList == -1 ? view.m_DefaultFlatTextID : fontList;
    return id > 0 ? static_cast<UINT>(id) : 0;
}

}  // namespace

CSize COpenGLView::textExtent(const CStringA& text, int fontList) const {
    const TextBox box = measure(measuringFont(*this, fontList).get(), cut(text));
    return CSize(box.cx, box.h);
}

void COpenGLView::text3D(double x, double y, double z, float r, float g, float b, const char* placement,
                         CStringA text, int fontList) {
    if (m_width == 0 || m_height == 0 || !ensureCurrent()) return;
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (mode == GL_SELECT) return;
    glFlush();
    glLoadName(0);
    double wx = 0, wy = 0;
    project(x, y, z, wx, wy);
    errCheck();
    const CStringA label = cut(text);
    place(placement, measure(measuringFont(*this, fontList).get(), label), wx, wy);
    {
        PixelOverlay overlay(m_width, m_height);
        glColor3d(r, g, b);
        glRasterPos2d(wx, wy);
        GLTextOut(listFor(*this, fontList), label);
    }
    errCheck();
}

void COpenGLView::text3DwithBackground(double x, double y, double z, float r, float g, float b,
                                       const char* placement, CStringA text, float backR, float backG, float backB,
                                       int fontList) {
    if (m_width == 0 || m_height == 0 || !ensureCurrent()) return;
    glFlush();
    double wx = 0, wy = 0;
    project(x, y, z, wx, wy);
    errCheck();
    const CStringA label = cut(text);
    const TextBox box = measure(measuringFont(*this, fontList).get(), label);
    place(placement, box, wx, wy);
    {
        PixelOverlay overlay(m_width, m_height);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glColor3f(backR, backG, backB);
        glRectd(wx - 1, wy - 5, wx + box.cx + 1, wy + box.h + 1);
        glColor3d(r, g, b);
        glRasterPos2d(wx, wy);
        GLTextOut(listFor(*this, fontList), label);
    }
    errCheck();
}

void COpenGLView::showValue(double x, double y, double z, float r, float g, float b, const char* placement,
                            CStringA text, float backR, float backG, float backB) {
    if (m_width == 0 || m_height == 0 || !ensureCurrent()) return;
    double wx = 0, wy = 0;
    project(x, y, z, wx, wy);
    errCheck();
    const CStringA label = cut(text);
    const TextBox box = measure(GlyphFont::systemFont().get(), label);
    {
        PixelOverlay overlay(m_width, m_height);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        const double d = m_height / 75;
        for (const auto& [width, shade] : {std::pair{4.0f, 0.0f}, std::pair{1.0f, 1.0f}}) {
            glLineWidth(width);
            glColor3f(shade, shade, shade);
            glBegin(GL_LINES);
            glVertex2d(wx - d, wy);
            glVertex2d(wx + d, wy);
            glVertex2d(wx, wy - d);
            glVertex2d(wx, wy + d);
            glEnd();
        }
        const bool left = placement != nullptr && std::strcmp(placement, "lr") == 0;
        const double tx = left ? wx - box.cx - 5 : wx + 5;
        const double ty = wy + 5;
        glColor3f(backR, backG, backB);
        glRectd(tx - 1, ty - 1, tx + box.cx + 1, ty + box.h + 1);
        glColor3d(r, g, b);
        glRasterPos2d(tx, ty);
        GLTextOut(listFor(*this, -1), label);
    }
    errCheck();
}

void COpenGLView::drawArrowWithLabel(double x, double y, double z, double angle, float length, float headLength,
                                     float headWidth, float r, float g, float b, CStringA label, bool doubleHead) {
    if (m_width == 0 || m_height == 0 || !ensureCurrent()) return;
    const double theta = angle * 3.141592653589793 / 180;
    const int L = static_cast<int>(m_width * 0.01 * length);
    const double hl = headLength * 0.01 * L;
    const double hw = headWidth * 0.01 * L;
    double px = 0, py = 0;
    project(x, y, z, px, py);
    errCheck();
    const double ux = std::cos(theta), uy = std::sin(theta);
    const double nx = -uy, ny = ux;
    const CStringA text = cut(label);
    const TextBox box = measure(GlyphFont::systemFont().get(), text);
    {
        PixelOverlay overlay(m_width, m_height);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glLineWidth(2);
        glColor3f(r, g, b);
        const double tx = px + L * ux, ty = py + L * uy;
        glBegin(GL_LINES);
        glVertex2d(px, py);
        glVertex2d(tx, ty);
        glEnd();
        // A head with its tip at (tipX, tipY) and its base at (baseX, baseY).
        const auto head = [&](double tipX, double tipY, double baseX, double baseY) {
            glBegin(GL_TRIANGLES);
            glVertex2d(tipX, tipY);
            glVertex2d(baseX + hw * nx, baseY + hw * ny);
            glVertex2d(baseX - hw * nx, baseY - hw * ny);
            glEnd();
        };
        const double bx = px + (L - hl) * ux, by = py + (L - hl) * uy;
        head(tx, ty, bx, by);
        if (doubleHead) head(bx, by, bx - hl * ux, by - hl * uy);
        glLineWidth(1);

        const double mx = px + 0.5 * L * ux, my = py + 0.5 * L * uy;
        const double lx = mx - box.cx / 2, ly = my - box.h / 2;
        glColor3f(0, 0, 0);
        glRectd(lx - 1, ly - 3, mx + box.cx / 2 + 1, my + box.h / 2 + 1);
        glColor3f(1, 1, 1);
        glRasterPos2d(lx, ly);
        GLTextOut(listFor(*this, -1), text);
    }
    errCheck();
}

void COpenGLView::number(Point<double>* p, const char* placement, double v) {
    if (p == nullptr) return;
    CStringA text;
    if (std::fabs(v) > 100000 || std::fabs(v) < 1e-5) text.Format("%3.2e", v);
    else text.Format("%5.3f", v);
    text3D(p->x, p->y, p->z, 0, 0, 0, placement, text, -1);
}

void COpenGLView::computeLinePolygon(const Point<double>* p1, const Point<double>* p2, Point<float>* out,
                                     double width) {
    if (p1 == nullptr || p2 == nullptr || out == nullptr) return;
    if ((*p2 - *p1).length() < 1e-5) return;
    const Point<float> a(static_cast<float>(p1->x), static_cast<float>(p1->y), static_cast<float>(p1->z));
    const Point<float> b(static_cast<float>(p2->x), static_cast<float>(p2->y), static_cast<float>(p2->z));
    Point<float> n = cross(b - a, Point<float>(0.0f, 0.0f, 1.0f));
    n.normalize();
    const Point<float> h = n * static_cast<float>(width / 2);
    out[0] = a - h;
    out[1] = b - h;
    out[2] = b + h;
    out[3] = a + h;
    out[4] = a - h;
}
