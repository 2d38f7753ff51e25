// The pictures of the basic-shape dialog: each kind drawn from the values
// of a new dialog (lengths 1; the angles of a new dialog, or a sweep where
// a new dialog's 0 builds nothing) placed as the model places it from its
// first point towards its second, with the points numbered as the model
// numbers them. Pure data in model coordinates; the window scales it.
#pragma once

#include <vector>

#include "analysis/geometry/Point.h"

// One piece of an outline: a straight line from start to end, or a
// circular arc about centre from start to end, counter-clockwise or not.
struct PictureSegment {
  Point<double> start;
  Point<double> end;
  bool arc = false;
  Point<double> centre;
  bool counterClockwise = true;
};

struct BasicShapePicture {
  // The values the picture is drawn with: value 1 to 3, angle 1, angle 2.
  double values[5] = {1.0, 1.0, 1.0, 0.0, 0.0};
  // The closed outline, piece after piece.
  std::vector<PictureSegment> outline;
  // The numbered points, point "1" first.
  std::vector<Point<double>> points;
};

// The picture of a basic kind (an empty one for any other kind).
BasicShapePicture BasicShapePictureOf(int kind);
// The outline as a closed polyline: every line's start and arcStep points
// along every arc, then the first point again.
std::vector<Point<double>> PictureOutline(const BasicShapePicture& picture, int arcSteps = 24);
