// The view base of the program's views: the window it lives in (through a
// view host), its pixel size and aspect ratio, the viewport origin, the
// output device's resolution and the captured picture that reports and the
// embedded picture use. The OpenGL view derives from it; the report page
// output builds on it.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

class CDC;
class CViewHost;
struct BITMAPINFO;

class CBaseViewer : public CObject {
    DECLARE_DYNCREATE(CBaseViewer)

public:
    CBaseViewer() = default;
    ~CBaseViewer() override = default;
    CBaseViewer(const CBaseViewer&) = delete;
    CBaseViewer& operator=(const CBaseViewer&) = delete;

    // Attaches the window that shows the view (null: none; not owned).
    void setHost(CViewHost* host) { m_pHost = host; }
    // The window that shows the view, or null.
    CViewHost* host() const { return m_pHost; }

    // Draws the view on a device context; empty here.
    virtual void OnDraw(CDC* dc);
    // Fits the camera to the model; empty here, the derived views fit.
    virtual void fullView();
    // The document changed: the base repaints the whole window (with erase).
    virtual void OnUpdate(CBaseViewer* sender, LONG_PTR hint, CObject* hintObject);

    // The picture captured for reports and the embedded picture, shared by
    // all views (null while none is held), and its pixel rows.
    static BITMAPINFO* pBitmapInfo;
    static BYTE* pBitmapBits;

protected:
    CViewHost* m_pHost = nullptr;
    CDC* m_pDC = nullptr;         // the device context output goes to
    int m_xPixelsPerInch = 0;     // of the current output device
    int m_yPixelsPerInch = 0;
    int m_width = 0;              // the view in pixels
    int m_height = 0;
    int m_viewportX = 0;          // origin of the OpenGL viewport
    int m_viewportY = 0;
    float m_ratio = 0.0f;         // height / width
};
