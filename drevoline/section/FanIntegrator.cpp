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

namespace exact {

// The integrands' arithmetic, internal so that the batched sums inline it
// (the exported names below may be interposed, so calls to them are not).
inline double area(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * cz(P1 - R, P2 - P1) / 2.0;
}

inline double firstX(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * (R.x + P1.x + P2.x) * cz(P1 - R, P2 - P1) / 6.0;
}

inline double firstY(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * (R.y + P1.y + P2.y) * cz(P1 - R, P2 - P1) / 6.0;
}

inline double xx(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  const Point<double> u = P1 - R, v = P2 - P1;
  return factor * (3.0 * u.x * u.x + 3.0 * u.x * v.x + v.x * v.x) * cz(u, v) / 12.0;
}

inline double yy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  const Point<double> u = P1 - R, v = P2 - P1;
  return factor * (3.0 * u.y * u.y + 3.0 * u.y * v.y + v.y * v.y) * cz(u, v) / 12.0;
}

inline double xy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  const Point<double> u = P1 - R, v = P2 - P1;
  return factor * (6.0 * u.x * u.y + 3.0 * u.x * v.y + 3.0 * v.x * u.y + 2.0 * v.x * v.y) * cz(u, v) / 24.0;
}

inline double polar(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return xx(R, P1, P2, factor) + yy(R, P1, P2, factor);
}

inline double areaXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).aboveA;
}
inline double areaXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).belowA;
}
inline double momentXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).aboveQ;
}
inline double momentXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 0).belowQ;
}
inline double areaYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).aboveA;
}
inline double areaYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).belowA;
}
inline double momentYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).aboveQ;
}
inline double momentYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * split(R, P1, P2, 1).belowQ;
}

}  // namespace exact

using FanValue = double (*)(const Point<double>&, const Point<double>&, const Point<double>&, double);

// Pieces whose values are taken together: the values of every term over a
// block stay in cache while they are summed.
constexpr int kBlock = 256;

// Writes one term's value over pieces (p[i], p[i + 1]), i < count, to out.
using Fill = void (*)(const FanTerm& term, const Point<double>* p, int count, double* out);

// A known integrand, called directly so that it is inlined into the loop.
template <FanValue F>
void fillKnown(const FanTerm& term, const Point<double>* p, int count, double* out) {
  const Point<double> R = term.R;
  const double factor = term.factor;
  for (int i = 0; i < count; ++i)
    out[i] = F(R, p[i], p[i + 1], factor);
}

// Any other integrand: nothing in the blocks (zeros), as it is summed on
// its own afterwards (sumAny).
void fillAny(const FanTerm&, const Point<double>*, int count, double* out) {
  std::fill(out, out + count, 0.0);
}

// The sum of any other integrand over the N pieces (p[i], p[i + 1]), in
// increasing order. Such an integrand may keep state or throw, so each one
// sees all the pieces of a pass before the next one starts, as the terms
// were always summed: the same calls in the same order, and the same
// exception first.
double sumAny(const FanTerm& term, const Point<double>* p, int N) {
  double S = 0.0;
  for (int i = 0; i < N; ++i)
    S += term.value(term.R, p[i], p[i + 1], term.factor);
  return S;
}

// The batched form of each fan:: integrand.
struct KnownFill {
  FanValue value;
  Fill fill;
};

const KnownFill kKnownFills[] = {
    {fan::area, fillKnown<exact::area>},
    {fan::firstX, fillKnown<exact::firstX>},
    {fan::firstY, fillKnown<exact::firstY>},
    {fan::xx, fillKnown<exact::xx>},
    {fan::xy, fillKnown<exact::xy>},
    {fan::yy, fillKnown<exact::yy>},
    {fan::polar, fillKnown<exact::polar>},
    {fan::areaXpAbove, fillKnown<exact::areaXpAbove>},
    {fan::areaXpBelow, fillKnown<exact::areaXpBelow>},
    {fan::momentXpAbove, fillKnown<exact::momentXpAbove>},
    {fan::momentXpBelow, fillKnown<exact::momentXpBelow>},
    {fan::areaYpAbove, fillKnown<exact::areaYpAbove>},
    {fan::areaYpBelow, fillKnown<exact::areaYpBelow>},
    {fan::momentYpAbove, fillKnown<exact::momentYpAbove>},
    {fan::momentYpBelow, fillKnown<exact::momentYpBelow>},
};

Fill fillFor(FanValue value) {
  for (const KnownFill& k : kKnownFills)
    if (k.value == value)
      return k.fill;
  return fillAny;
}

// Adds count values of each of K terms (term j's at values[j * kBlock]) to
// sums[j], in increasing order of piece; the K additions overlap.
template <int K>
void accumulateGroup(const double* values, int count, double* sums) {
  double s[K];
  for (int k = 0; k < K; ++k)
    s[k] = sums[k];
  for (int i = 0; i < count; ++i)
    for (int k = 0; k < K; ++k)
      s[k] += values[k * kBlock + i];
  for (int k = 0; k < K; ++k)
    sums[k] = s[k];
}

// accumulateGroup over all m terms, eight at a time where it can.
void accumulate(const double* values, std::size_t m, int count, double* sums) {
  std::size_t j = 0;
  for (; j + 8 <= m; j += 8)
    accumulateGroup<8>(values + j * kBlock, count, sums + j);
  for (; j + 4 <= m; j += 4)
    accumulateGroup<4>(values + j * kBlock, count, sums + j);
  for (; j < m; ++j)
    accumulateGroup<1>(values + j * kBlock, count, sums + j);
}

// Buffers kept across passes and calls, so that the doubling passes do not
// allocate (fresh large vectors cost page faults at every call).
struct FanWorkspace {
  std::vector<Point<double>> points;
  std::vector<FanTerm> terms;
  std::vector<Fill> fills;
  std::vector<double> values, scale, previous, sums;
};

thread_local FanWorkspace tWorkspace;
thread_local bool tWorkspaceBusy = false;

// The pass's points from t0 to t1 in N pieces, evaluated in increasing
// order, each parameter within snap of an end taken as that end; after the
// first pass the previous points are kept at the even places.
void passPoints(const Bspline& arc, int N, double t0, double t1, double snap, bool reuse,
                std::vector<Point<double>>& points) {
  const double h = (t1 - t0) / N;
  points.resize(static_cast<std::size_t>(N) + 1);
  if (reuse)
    for (int i = N; i > 0; i -= 2)
      points[i] = points[i / 2];
  for (int i = reuse ? 1 : 0; i <= N; i += reuse ? 2 : 1)
    arc.eval(i == N ? t1 : t0 + i * h, &points[i], snap);
}

void fanIntegrateWith(FanWorkspace& w, const Bspline& arc, int n, double t0, double t1, std::span<const FanTerm> terms,
                      double* results) {
  const std::size_t m = terms.size();
  // The terms, then the chord polygon's own area about the arc's start.
  const std::size_t all = m + 1;
  w.terms.assign(terms.begin(), terms.end());
  w.fills.resize(all);
  for (std::size_t j = 0; j < m; ++j)
    w.fills[j] = fillFor(terms[j].value);
  w.fills[m] = fillKnown<exact::area>;
  w.terms.push_back({fan::area, Point<double>(), 1.0, 2});
  w.values.resize(all * kBlock);
  w.scale.resize(m);
  w.previous.assign(m, 0.0);
  w.sums.resize(all);
  const double extent = arcExtent(arc);
  for (std::size_t j = 0; j < m; ++j) {
    w.scale[j] = std::pow(extent, terms[j].dimension);
    results[j] = 0.0;
  }
  // At least one piece: a count of 0 or less would never double.
  int N = arc.deg() > 1 ? 16 : std::max(n, 1);
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
    passPoints(arc, N, t0, t1, snap, !first, w.points);
    w.terms[m].R = w.points[0];
    const bool last = 2 * N > kMaxPieces;
    const double tol = gIntegrationTol;
    std::fill(w.sums.begin(), w.sums.end(), 0.0);
    for (int b = 0; b < N; b += kBlock) {
      const int count = std::min(kBlock, N - b);
      for (std::size_t j = 0; j < all; ++j)
        w.fills[j](w.terms[j], w.points.data() + b, count, w.values.data() + j * kBlock);
      accumulate(w.values.data(), all, count, w.sums.data());
    }
    for (std::size_t j = 0; j < m; ++j)
      if (w.fills[j] == fillAny)
        w.sums[j] = sumAny(w.terms[j], w.points.data(), N);
    const double own = w.sums[m];
    bool settled = !first && std::fabs(own - previousOwn) <= tol * ownScale;
    for (std::size_t j = 0; j < m; ++j) {
      const double S = w.sums[j];
      // Both tests are relative: to the sum, and to the arc's own size (so a
      // sum that cancels to nearly nothing still stops, without the absolute
      // floor that would stop small arcs after one pass).
      if (!(std::fabs(S) < tol * w.scale[j] ||
            std::fabs(S - w.previous[j]) <= tol * std::max(std::fabs(S), 1e-3 * w.scale[j])))
        settled = false;
      w.previous[j] = S;
    }
    if (settled || last)
      break;
    previousOwn = own;
    first = false;
    N *= 2;
  }
  for (std::size_t j = 0; j < m; ++j)
    results[j] = w.sums[j];
}

}  // namespace

void fanIntegrate(const Bspline& arc, int n, double t0, double t1, std::span<const FanTerm> terms, double* results) {
  // A term's own integrand could itself call back in: it then gets fresh buffers.
  if (tWorkspaceBusy) {
    FanWorkspace local;
    fanIntegrateWith(local, arc, n, t0, t1, terms, results);
    return;
  }
  tWorkspaceBusy = true;
  struct Release {
    ~Release() { tWorkspaceBusy = false; }
  } release;
  fanIntegrateWith(tWorkspace, arc, n, t0, t1, terms, results);
}

namespace fan {

double area(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::area(R, P1, P2, factor);
}
double firstX(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::firstX(R, P1, P2, factor);
}
double firstY(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::firstY(R, P1, P2, factor);
}
double xx(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::xx(R, P1, P2, factor);
}
double yy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::yy(R, P1, P2, factor);
}
double xy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::xy(R, P1, P2, factor);
}
double polar(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::polar(R, P1, P2, factor);
}
double areaXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::areaXpAbove(R, P1, P2, factor);
}
double areaXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::areaXpBelow(R, P1, P2, factor);
}
double momentXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::momentXpAbove(R, P1, P2, factor);
}
double momentXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::momentXpBelow(R, P1, P2, factor);
}
double areaYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::areaYpAbove(R, P1, P2, factor);
}
double areaYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::areaYpBelow(R, P1, P2, factor);
}
double momentYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::momentYpAbove(R, P1, P2, factor);
}
double momentYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return exact::momentYpBelow(R, P1, P2, factor);
}

}  // namespace fan
