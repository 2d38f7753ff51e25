// The turn of a coordinate pair about a centre, shared by the shape and
// sub-section transforms.
#pragma once

#include <cmath>

namespace section_geometry {

inline constexpr double kDegToRad = 0.017453292519943295;

// Turns (u, v) about (cu, cv) by deg degrees, counter-clockwise in the
// (u, v) plane.
inline void turn(double& u, double& v, double cu, double cv, double deg) {
  const double c = std::cos(deg * kDegToRad);
  const double s = std::sin(deg * kDegToRad);
  const double du = u - cu;
  const double dv = v - cv;
  u = cu + c * du - s * dv;
  v = cv + s * du + c * dv;
}

}  // namespace section_geometry
