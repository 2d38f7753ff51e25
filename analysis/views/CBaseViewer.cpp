// The view base.
#include "analysis/views/CBaseViewer.h"

#include "analysis/views/CViewHost.h"

IMPLEMENT_DYNCREATE(CBaseViewer, CObject)

BITMAPINFO* CBaseViewer::pBitmapInfo = nullptr;
BYTE* CBaseViewer::pBitmapBits = nullptr;

void CBaseViewer::OnDraw(CDC* /*dc*/) {}

void CBaseViewer::fullView() {}

void CBaseViewer::OnUpdate(CBaseViewer* /*sender*/, LONG_PTR /*hint*/, CObject* /*hintObject*/) {
    if (m_pHost != nullptr) m_pHost->invalidate(true);
}
