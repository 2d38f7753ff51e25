// The base of the section view: the operations that every section view
// answers (redraw, zoom step, clearing the picks). Its touch and wheel
// handling belong to the window adapter.
#pragma once

#include "lorimant/view/COpenGLViewUI.h"

class CBaseScnView : public COpenGLViewUI {
  DECLARE_DYNAMIC(CBaseScnView)

 public:
  // The scene is to be redrawn from the display list (the section view
  // draws it when its window paints or pixels are asked for).
  virtual void RefreshScene() {}
  // A zoom step by code (6 in, 7 out); nothing here.
  virtual void zoomStep(int /*code*/) {}
  // Clears every pick.
  virtual void ClearPicks() {}

 protected:
  CBaseScnView() = default;
};
