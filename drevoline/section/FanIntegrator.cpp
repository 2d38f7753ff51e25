// The adaptive fan sum and its exact triangle integrands.
#include "drevoline/section/FanIntegrator.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Tolerance.h"
#include "analysis/model/Globals.h"

namespace {

constexpr int kMaxPieces = 100000;

// The arc's own extent: the diagonal of the box of its control points.
double arcExtent(const Bspline& arc) {
  double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
  for (int i = 0; i < arc.nPts(); ++i) {
    const Point<double> c = arc.cpts(i);
    lo[0] = std::min(lo[0], c.x);
    lo[1] = std::min(lo[1], c.y);
    hi[0] = std::max(hi[0], c.x);
    hi[1] = std::max(hi[1], c.y);
  }
  return arc.nPts() > 0 ? std::hypot(hi[0] - lo[0], hi[1] - lo[1]) : 0.0;
}

double cz(const Point<double>& u, const Point<double>& v) { return u.x * v.y - u.y * v.x; }

// Areas and first moments of the parts of triangle (R, P1, P2) on the two
// sides of the line where coordinate k equals R's (k = 0: x, 1: y).
struct Split {
  double aboveA = 0.0, aboveQ = 0.0, belowA = 0.0, belowQ = 0.0;
};

double coord(const Point<double>& p, int k) { return k == 0 ? p.x : p.y; }

void addPart(Split& s, bool above, double area, double q) {
  if (above) {
    s.aboveA += area;
    s.aboveQ += q;
  } else {
    s.belowA += area;
    s.belowQ += q;
  }
}

Split split(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, int k) {
  Split s;
  const double axis = coord(R, k);
  const double u1 = coord(P1, k) - axis;
  const double u2 = coord(P2, k) - axis;
  const double A = cz(P1 - R, P2 - P1) / 2.0;
  if ((u1 >= 0.0 && u2 >= 0.0) || (u1 <= 0.0 && u2 <= 0.0)) {
    // One side; the centroid's distance from the line is (u1 + u2) / 3 (R is on it).
    addPart(s, u1 + u2 >= 0.0, A, A * (u1 + u2) / 3.0);
    return s;
  }
  // The line crosses P1-P2 at X: triangles (R, P1, X) and (R, X, P2).
  const double f = u1 / (u1 - u2);
  addPart(s, u1 > 0.0, f * A, f * A * u1 / 3.0);
  addPart(s, u2 > 0.0, (1.0 - f) * A, (1.0 - f) * A * u2 / 3.0);
  return s;
}

}  // namespace

void fanIntegrate(const Bspline& arc, int n, double t0, double t1, std::span<const FanTerm> terms, double* results) {
  const std::size_t m = terms.size();
  std::vector<double> scale(m), previous(m, 0.0);
  const double extent = arcExtent(arc);
  for (std::size_t j = 0; j < m; ++j) {
    scale[j] = std::pow(extent, terms[j].dimension);
    results[j] = 0.0;
  }
  int N = arc.deg() > 1 ? 16 : n;
  std::vector<Point<double>> points;
  std::vector<double> sums(m);
  // The chord polygon's own area about the arc's start point: it does not
  // depend on where the section lies, so it tells when the polygon has
  // settled. Every term is then taken from the same polygon, which keeps
  // the area, moments and centroids of a shape far from the origin
  // consistent (a term about a distant R settles early relative to its
  // large sum while the polygon is still coarse).
  const double ownScale = extent * extent;
  const double snap = parameterSnap(t0, t1);
  double previousOwn = 0.0;
  bool first = true;
  while (true) {
    // Points of this pass: the previous pass's at the even places.
    const double h = (t1 - t0) / N;
    std::vector<Point<double>> next(static_cast<std::size_t>(N) + 1);
    const bool reuse = points.size() * 2 - 1 == next.size();
    for (int i = 0; i <= N; ++i) {
      if (reuse && i % 2 == 0) {
        next[i] = points[i / 2];
        continue;
      }
      arc.eval(i == N ? t1 : t0 + i * h, &next[i], snap);
    }
    points.swap(next);
    const bool last = 2 * N > kMaxPieces;
    const double tol = gIntegrationTol;
    double own = 0.0;
    for (int i = 0; i < N; ++i)
      own += fan::area(points[0], points[i], points[i + 1], 1.0);
    bool settled = !first && std::fabs(own - previousOwn) <= tol * ownScale;
    for (std::size_t j = 0; j < m; ++j) {
      double S = 0.0;
      for (int i = 0; i < N; ++i)
        S += terms[j].value(terms[j].R, points[i], points[i + 1], terms[j].factor);
      // Both tests are relative: to the sum, and to the arc's own size (so a
      // sum that cancels to nearly nothing still stops, without the absolute
      // floor that would stop small arcs after one pass).
      if (!(std::fabs(S) < tol * scale[j] ||
            std::fabs(S - previous[j]) <= tol * std::max(std::fabs(S), 1e-3 * scale[j])))
        settled = false;
      previous[j] = S;
      sums[j] = S;
    }
    if (settled || last)
      break;
    previousOwn = own;
    first = false;
    N *= 2;
  }
  for (std::size_t j = 0; j < m; ++j)
    results[j] = sums[j];
}

namespace fan {

double area(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * cz(P1 - R, P2 - P1) / 2.0;
}

double firstX(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * (R.x + P1.x + P2.x) * cz(P1 - R, P2 - P1) / 6.0;
}

double firstY(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * (R.y + P1.y + P2.y) * cz(P1 - R, P2 - P1) / 6.0;
}

double xx(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  const Point<double> u = P1 - R, v = P2 - P1;
  return factor * (3.0 * u.x * u.x + 3.0 * u.x * v.x + v.x * v.x) * cz(u, v) / 12.0;
}

double yy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  const Point<double> u = P1 - R, v = P2 - P1;
  return factor * (3.0 * u.y * u.y + 3.0 * u.y * v.y + v.y * v.y) * cz(u, v) / 12.0;
}

double xy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  const Point<double> u = P1 - R, v = P2 - P1;
  return factor * (6.0 * u.x * u.y + 3.0 * u.x * v.y + 3.0 * v.x * u.y + 2.0 * v.x * v.y) * cz(u, v) / 24.0;
}

double polar(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return xx(R, P1, P2, factor) + yy(R, P1, P2, factor);
}

double areaXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).aboveA;
}
double areaXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).belowA;
}
double momentXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).aboveQ;
}
double momentXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).belowQ;
}
double areaYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).aboveA;
}
double areaYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).belowA;
}
double momentYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).aboveQ;
}
double momentYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).belowQ;
}

}  // namespace fan
