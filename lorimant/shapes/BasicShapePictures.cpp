// The drawings of the basic kinds, each in closed form.
#include "lorimant/shapes/BasicShapePictures.h"

#include <cmath>

#include "drevoline/section/CShapeAnalysis.h"

namespace {

using P = Point<double>;

constexpr double kPi = 3.14159265358979323846;

P polarPoint(double r, double degrees) {
  return P(r * std::cos(degrees * kPi / 180.0), r * std::sin(degrees * kPi / 180.0), 0.0);
}

PictureSegment line(P a, P b) { return PictureSegment{a, b, false, P(), true}; }
PictureSegment arc(P centre, P a, P b, bool ccw) { return PictureSegment{a, b, true, centre, ccw}; }

// Sector of radius 1 and sweep 60, its first edge along +x.
BasicShapePicture sector() {
  BasicShapePicture p;
  p.values[3] = 60.0;
  const P c(0, 0, 0), a(1, 0, 0), b = polarPoint(1, 60);
  p.outline = {arc(c, a, b, true), line(b, c), line(c, a)};
  p.points = {c, a, b};
  return p;
}

// Sector chord of radius 1 and legs 1: the chord along +x, the arc below it.
BasicShapePicture sectorChord() {
  BasicShapePicture p;
  const P a(0, 0, 0), b(1, 0, 0), c(0.5, std::sqrt(0.75), 0);
  p.outline = {arc(c, a, b, true), line(b, a)};
  p.points = {a, b};
  return p;
}

// Fillet of radius 1 and sweep 90: the corner at the origin, the legs along
// +x and +y, the arc about (1, 1) between their ends.
BasicShapePicture fillet() {
  BasicShapePicture p;
  p.values[3] = 90.0;
  const P x(0, 0, 0), b(1, 0, 0), a(0, 1, 0), c(1, 1, 0);
  p.outline = {arc(c, b, a, false), line(a, x), line(x, b)};
  p.points = {x, b, a};
  return p;
}

// Triangle of base 1, offset 1 and height 1.
BasicShapePicture triangle() {
  BasicShapePicture p;
  const P a(0, 0, 0), b(1, 0, 0), c(1, 1, 0);
  p.outline = {line(a, b), line(b, c), line(c, a)};
  p.points = {a, b, c};
  return p;
}

// A unit square: the rectangle of a new dialog, and its parallelogram with both angles 90.
BasicShapePicture square(double angle) {
  BasicShapePicture p;
  p.values[3] = p.values[4] = angle;
  const P a(0, 0, 0), b(1, 0, 0), c(1, 1, 0), d(0, 1, 0);
  p.outline = {line(a, b), line(b, c), line(c, d), line(d, a)};
  p.points = {a, b, c, d};
  return p;
}

// Disk of radius 1 about the origin, no numbered point.
BasicShapePicture disk() {
  BasicShapePicture p;
  const P c(0, 0, 0), e(1, 0, 0), w(-1, 0, 0);
  p.outline = {arc(c, e, w, true), arc(c, w, e, true)};
  return p;
}

// Annulus of inner radius 1, width 1 and sweep 90, its inner start at the
// origin: the centre lies at (-1, 0).
BasicShapePicture annulus() {
  BasicShapePicture p;
  p.values[3] = p.values[4] = 90.0;
  const P c(-1, 0, 0), i0(0, 0, 0), o0(1, 0, 0), o1(-1, 2, 0), i1(-1, 1, 0);
  p.outline = {line(i0, o0), arc(c, o0, o1, true), line(o1, i1), arc(c, i1, i0, false)};
  p.points = {i0, o0, o1, i1};
  return p;
}

// Blend of radius 1, length 1 and sweep 60: legs from the origin along +x
// (to the arc's foot) and at 60 degrees (to where it meets the circle
// about (1, 1) first); the arc between them.
BasicShapePicture blend() {
  BasicShapePicture p;
  p.values[3] = 60.0;
  const double length = 1.0, radius = 1.0, sweep = 60.0 * kPi / 180.0;
  // |t u - (L, r)| = r along the unit direction u: t^2 - 2 t (L cos s + r sin s) + L^2 = 0.
  const double half = length * std::cos(sweep) + radius * std::sin(sweep);
  const double t = half - std::sqrt(half * half - length * length);
  const P o(0, 0, 0), foot(length, 0, 0), c(length, radius, 0), meet = polarPoint(t, 60.0);
  p.outline = {arc(c, foot, meet, false), line(meet, o), line(o, foot)};
  p.points = {o, foot, meet};
  return p;
}

}  // namespace

BasicShapePicture BasicShapePictureOf(int kind) {
  switch (kind) {
    case qhtShapeSector: return sector();
    case qhtShapeSectorChord: return sectorChord();
    case qhtShapeFillet: return fillet();
    case qhtShapeTriangle: return triangle();
    case qhtShapeParallelogram: return square(90.0);
    case qhtShapeRectangle: return square(0.0);
    case qhtShapeDisk: return disk();
    case qhtShapeAnnulus: return annulus();
    case qhtShapeBlend: return blend();
    default: return BasicShapePicture();
  }
}

std::vector<Point<double>> PictureOutline(const BasicShapePicture& picture, int arcSteps) {
  std::vector<Point<double>> out;
  for (const PictureSegment& s : picture.outline) {
    if (!s.arc) {
      out.push_back(s.start);
      continue;
    }
    const double r = (s.start - s.centre).length();
    const double a0 = std::atan2(s.start.y - s.centre.y, s.start.x - s.centre.x);
    double a1 = std::atan2(s.end.y - s.centre.y, s.end.x - s.centre.x);
    // The sweep from start to end the arc's way round, in (0, 2 pi].
    if (s.counterClockwise)
      while (a1 <= a0) a1 += 2.0 * kPi;
    else
      while (a1 >= a0) a1 -= 2.0 * kPi;
    for (int i = 0; i < arcSteps; ++i) {
      const double a = a0 + (a1 - a0) * i / arcSteps;
      out.emplace_back(s.centre.x + r * std::cos(a), s.centre.y + r * std::sin(a), 0.0);
    }
  }
  if (!out.empty()) out.push_back(out.front());
  return out;
}
