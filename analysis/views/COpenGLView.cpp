// The OpenGL view: construction, the off-screen context and its buffer,
// sizing and copying the picture to the window.
#include "analysis/views/COpenGLView.h"

#include <new>
#include <stdexcept>

#include "platform/core/Hooks.h"

IMPLEMENT_DYNCREATE(COpenGLView, CBaseViewer)

namespace {

// The largest buffer side the renderer draws in full: its largest viewport
// and renderbuffer size. A larger window would show a clipped picture.
constexpr int kMaxBufferSide = 16384;

}  // namespace

COpenGLView::COpenGLView() : m_pixelFormats(osmesaPixelFormats()) { m_DefaultFlatTextID = -1; }

COpenGLView::~COpenGLView() {
    bindForDeletion();
    deleteRecords(m_displayList);
    deleteRecords(m_overlayList);
    m_pickList.RemoveAll();
    m_context.reset();
}

int COpenGLView::OnCreate() { return bitmapCreate(); }

int COpenGLView::bitmapCreate() {
    // The buffer is 32 bits per pixel whatever the display, so the window
    // needs neither a pixel format nor a palette of its own.
    if (m_pHost == nullptr) message(L"OnCreate - GetDC failed", L"GLDib");
    return 0;
}

void COpenGLView::OnSize(UINT type, int cx, int cy) {
    if (cx <= 0 || cy <= 0) return;
    OnSizeBitmap(type, cx, cy);
    fullView();
}

bool COpenGLView::OnSizeBitmap(UINT /*type*/, int cx, int cy) {
    const CRect client = clientRect();
    if (client.IsRectEmpty()) {
        if (m_pHost != nullptr) m_pHost->invalidate(false);
        return true;
    }
    if (m_context && m_context->isCurrent()) COffscreenContext::releaseCurrent();

    const int w = client.Width();
    const int h = client.Height();
    if (w > kMaxBufferSide || h > kMaxBufferSide) {
        bufferFailure(L"WM_SIZE - Create24bppDIBSection failed");
        return false;
    }
    PixelFormatDevice memory{PixelDeviceKind::Memory, m_pixelFormats, 0};
    PIXELFORMATDESCRIPTOR format;
    if (!InitBitmapPixelFormat(&memory, 32, &format)) {
        bufferFailure(L"WM_SIZE - InitPixelFormat failed");
        return false;
    }
    try {
        if (!m_context) {
            auto context = std::make_unique<COffscreenContext>(w, h, PixelOrder::BGRA, format.cDepthBits);
            if (!context->isValid()) {
                bufferFailure(L"WM_SIZE - wglCreateContext failed");
                return false;
            }
            m_context = std::move(context);
            m_DefaultFlatTextID = -1;  // the default fonts are built for the new context
        } else {
            m_context->resize(w, h);  // keeps the display lists
        }
    } catch (const std::bad_alloc&) {
        bufferFailure(L"WM_SIZE - Create24bppDIBSection failed");
        return false;
    }
    if (!m_context->makeCurrent()) {
        bufferFailure(L"WM_SIZE - wglMakeCurrent failed");
        return false;
    }

    // The font lists live in the context's display lists: built once per
    // context, carried over by a resize.
    if (m_DefaultFlatTextID == -1) SetDefaultFonts(L"Ariel", nullptr);

    m_width = cx;
    m_height = cy;
    if (cx > 0) m_ratio = static_cast<float>(cy) / static_cast<float>(cx);
    if (cy > 0) {
        glViewport(0, 0, cx, cy);
        glLoadIdentity();
        if (cx < m_clientRect.right || cy < m_clientRect.bottom) {
            if (m_pHost != nullptr) m_pHost->updateWindow();
        }
        m_clientRect.right = cx;
        m_clientRect.bottom = cy;
    }

    projection();
    cameraPosition();
    if (m_pHost != nullptr) m_pHost->invalidate(false);
    return true;
}

void COpenGLView::bufferFailure(const wchar_t* text) {
    message(text, L"GLDib");
    if (m_context) {
        if (m_context->isCurrent()) COffscreenContext::releaseCurrent();
        // An empty buffer cannot be bound: the view draws nothing, and its
        // display lists wait for a size that works.
        m_context->resize(0, 0);
    }
}

void COpenGLView::OnDestroy() { m_context.reset(); }

void COpenGLView::OnInitialUpdate() {
    if (m_initialised) return;
    if (ensureCurrent()) errCheck();
    m_initialised = 1;
    m_panning = 0;
    m_rubberBanding = 0;
    m_bDoubleBuffer = 1;
    OnUpdate(nullptr, 0, nullptr);
    // No picture is held from before (freed, not merely forgotten).
    releasePicture();
}

void COpenGLView::OnActivateView(BOOL activate) {
    if (activate) makeCurrent();
}

void COpenGLView::OnDraw(CDC* /*dc*/) { RenderScene(); }

BOOL COpenGLView::makeCurrent() { return ensureCurrent() ? TRUE : FALSE; }

void COpenGLView::setCurrentContext() {
    if (makeCurrent()) errCheck();
}

bool COpenGLView::ensureCurrent() {
    if (!m_context || m_context->width() <= 0 || m_context->height() <= 0) return false;
    return m_context->isCurrent() || m_context->makeCurrent();
}

void COpenGLView::bindForDeletion() {
    if (!ensureCurrent()) COffscreenContext::releaseCurrent();
}

void COpenGLView::errCheck() {
    if (glGetError() != GL_NO_ERROR) throw std::logic_error("OpenGL display failure");
}

void COpenGLView::background(float r, float g, float b) {
    m_background[0] = r / 255.0f;
    m_background[1] = g / 255.0f;
    m_background[2] = b / 255.0f;
}

void COpenGLView::resetBackgroundColor() {
    for (float& c : m_background) c = 214.0f / 255.0f;
}

void COpenGLView::bitmapRedraw(UINT mode, UINT typeMask, int redraw) {
    if (!m_context || m_context->width() <= 0 || m_context->height() <= 0) return;
    if (clientRect().IsRectEmpty()) return;
    if (redraw) ExecuteDisplayList(mode, typeMask, 0, 1);
    // The renderer writes its drawing into the buffer only when it finishes:
    // what the derived view drew itself is shown too.
    if (ensureCurrent()) glFinish();
    if (m_pHost != nullptr) m_pHost->presentBuffer();
}

void COpenGLView::deviceRedraw(UINT mode, UINT typeMask, int redraw) {
    if (redraw) ExecuteDisplayList(mode, typeMask, 0, 1);
}

void COpenGLView::HardwareOrBitmapRedraw(UINT mode, UINT typeMask, int /*unused*/, int redraw) {
    bitmapRedraw(mode, typeMask, redraw);
}

void COpenGLView::RenderScene() {}

void COpenGLView::lightsOn() {}

void COpenGLView::pick(int /*x*/, int /*y*/, UINT /*typeMask*/) {}

CRect COpenGLView::clientRect() const { return m_pHost != nullptr ? m_pHost->clientRect() : CRect(); }

int COpenGLView::message(const wchar_t* text, const wchar_t* caption) {
    if (m_pHost != nullptr) return m_pHost->messageBox(CString(text), CString(caption), MB_OK);
    return AfxMessageBox(text, caption, MB_OK);
}
