#include "lorimant/view/COpenGLViewUI.h"

#include "platform/core/Settings.h"

IMPLEMENT_DYNAMIC(COpenGLViewUI, COpenGLView)

COpenGLViewUI::COpenGLViewUI() {
  // Read, never written: a view must not change the user's settings.
  (void)Settings::GetProfileInt(L"Settings", L"Hardware Acceleration", 0);
  m_bHardware = 0;
}
