// The questions the section view's commands ask the user: a number, a
// text, a point and a set of points on a circle. The program's canvas
// answers with its dialogs; tests script the answers. Every question
// answers false when the user cancels, and leaves its arguments as they
// were then.
#pragma once

#include "platform/core/CString.h"

// Points spread on a circle: how many, its radius and the angles (degrees)
// of the first and the last.
struct PointsAtAngles {
  double radius = 10.0;
  int points = 8;
  double start = 0.0;
  double end = 360.0;
};

class ViewPrompts {
 public:
  virtual ~ViewPrompts() = default;
  // A number under prompt, preset to value.
  virtual bool askValue(const CString& prompt, double& value) = 0;
  // A text under prompt, preset to text.
  virtual bool askText(const CString& prompt, CString& text) = 0;
  // A point, preset to (x, y).
  virtual bool askPoint(double& x, double& y) = 0;
  // The circle and the number of points, preset to request.
  virtual bool pointsAtAngles(PointsAtAngles& request) = 0;
};
