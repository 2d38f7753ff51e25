// The base of the section view: the operations that every section view
// answers (redraw, zoom step, clearing the picks). Its touch and wheel
// handling belong to the window adapter.
#pragma once

#include "lorimant/view/COpenGLViewUI.h"

class CBaseScnView : public COpenGLViewUI {
  DECLARE_DYNAMIC(CBaseScnView)

 public:
  // Redraws the scene from the display list.
  virtual void RefreshScene() {}
  // A zoom step by code (6 in, 7 out); nothing here.
  virtual void zoomStep(int /*code*/) {}
  // Clears every pick.
  virtual void ClearPicks() {}

 protected:
  CBaseScnView() = default;
};
