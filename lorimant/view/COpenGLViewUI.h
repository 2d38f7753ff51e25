// The OpenGL view as the section program uses it: every view starts in
// bitmap mode (the scene is drawn into an off-screen buffer that the window
// only copies).
#pragma once

#include "analysis/views/COpenGLView.h"

class COpenGLViewUI : public COpenGLView {
  DECLARE_DYNAMIC(COpenGLViewUI)

 protected:
  // Builds the OpenGL view; reads the "Hardware Acceleration" profile entry
  // of section "Settings" (default 0) and starts with hardware acceleration
  // off whatever it says.
  COpenGLViewUI();
};
