// The adaptive fan sum and its exact triangle integrands.
#include "drevoline/section/FanIntegrator.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/model/Globals.h"

namespace {

constexpr int kMaxPieces = 100000;

// Largest distance of a control point from R.
double arcSize(const Bspline& arc, const Point<double>& R) {
  double size = 0.0;
  for (int i = 0; i < arc.nPts(); ++i) {
    const Point<double> d = arc.cpts(i) - R;
    size = std::max(size, std::sqrt(d.x * d.x + d.y * d.y));
  }
  return size;
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
  std::vector<bool> done(m, false);
  for (std::size_t j = 0; j < m; ++j) {
    scale[j] = std::pow(arcSize(arc, terms[j].R), terms[j].dimension);
    results[j] = 0.0;
  }
  int N = arc.deg() > 1 ? 16 : n;
  std::vector<Point<double>> points;
  std::size_t remaining = m;
  while (remaining > 0) {
    // Points of this pass: the previous pass's at the even places.
    const double h = (t1 - t0) / N;
    std::vector<Point<double>> next(static_cast<std::size_t>(N) + 1);
    const bool reuse = points.size() * 2 - 1 == next.size();
    for (int i = 0; i <= N; ++i) {
      if (reuse && i % 2 == 0) {
        next[i] = points[i / 2];
        continue;
      }
      arc.eval(i == N ? t1 : t0 + i * h, &next[i], 1e-7);
    }
    points.swap(next);
    const bool last = 2 * N > kMaxPieces;
    for (std::size_t j = 0; j < m; ++j) {
      if (done[j])
        continue;
      double S = 0.0;
      for (int i = 0; i < N; ++i)
        S += terms[j].value(terms[j].R, points[i], points[i + 1], terms[j].factor);
      const double tol = gIntegrationTol;
      if (std::fabs(S) < tol * scale[j] || std::fabs(S - previous[j]) <= tol * std::fabs(S) || last) {
        results[j] = S;
        done[j] = true;
        --remaining;
      } else {
        previous[j] = S;
      }
    }
    N *= 2;
  }
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
