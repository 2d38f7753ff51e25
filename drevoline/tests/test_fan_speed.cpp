// The batched fan sum gives the same bits as the plain form it replaced:
// one pass at a time, every term summed piece by piece through its own
// integrand, fresh buffers per pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Tolerance.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/FanIntegrator.h"

namespace {

// ---- the plain form, as it stood before the batching ----

double plainExtent(const Bspline& arc) {
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

void plainFan(const Bspline& arc, int n, double t0, double t1, std::span<const FanTerm> terms, double* results) {
  const std::size_t m = terms.size();
  std::vector<double> scale(m), previous(m, 0.0);
  const double extent = plainExtent(arc);
  for (std::size_t j = 0; j < m; ++j) {
    scale[j] = std::pow(extent, terms[j].dimension);
    results[j] = 0.0;
  }
  int N = arc.deg() > 1 ? 16 : n;
  std::vector<Point<double>> points;
  std::vector<double> sums(m);
  const double ownScale = extent * extent;
  double previousOwn = 0.0;
  bool first = true;
  while (true) {
    const double h = (t1 - t0) / N;
    std::vector<Point<double>> next(static_cast<std::size_t>(N) + 1);
    const bool reuse = points.size() * 2 - 1 == next.size();
    for (int i = 0; i <= N; ++i) {
      if (reuse && i % 2 == 0) {
        next[i] = points[i / 2];
        continue;
      }
      arc.eval(i == N ? t1 : t0 + i * h, &next[i], parameterSnap(t0, t1));
    }
    points.swap(next);
    const bool last = 2 * N > 100000;
    const double tol = gIntegrationTol;
    double own = 0.0;
    for (int i = 0; i < N; ++i)
      own += fan::area(points[0], points[i], points[i + 1], 1.0);
    bool settled = !first && std::fabs(own - previousOwn) <= tol * ownScale;
    for (std::size_t j = 0; j < m; ++j) {
      double S = 0.0;
      for (int i = 0; i < N; ++i)
        S += terms[j].value(terms[j].R, points[i], points[i + 1], terms[j].factor);
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

// ---- random arcs and terms ----

using Value = double (*)(const Point<double>&, const Point<double>&, const Point<double>&, double);

const Value kIntegrands[] = {fan::area,          fan::firstX,        fan::firstY,        fan::xx,
                             fan::xy,            fan::yy,            fan::polar,         fan::areaXpAbove,
                             fan::areaXpBelow,   fan::momentXpAbove, fan::momentXpBelow, fan::areaYpAbove,
                             fan::areaYpBelow,   fan::momentYpAbove, fan::momentYpBelow};

// An integrand the batching does not know: it goes through the pointer.
double unknownIntegrand(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor) {
  return factor * (P1.x - R.x) * (P2.y - R.y) / 7.0;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct ArcMaker {
  std::mt19937 rng;
  explicit ArcMaker(unsigned seed) : rng(seed) {}
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }

  // Kind 0: line, 1: circular arc, 2: non-rational cubic, 3: rational cubic.
  std::unique_ptr<Bspline> make(int kind, double size, Point<double> at) {
    auto p = [&] { return Point<double>(at.x + uniform(-size, size), at.y + uniform(-size, size), 0.0); };
    std::unique_ptr<Bspline> arc;
    if (kind == 0) {
      Point<double> a = p(), b = p();
      arc = std::make_unique<Bspline>(&a, &b, false);
    } else if (kind == 1) {
      Point<double> c = at, normal(0, 0, uniform(0, 1) < 0.5 ? 1.0 : -1.0);
      const double r = size * uniform(0.2, 1.0), a0 = uniform(0, 6.28), a1 = a0 + uniform(0.1, 3.0);
      Point<double> s(c.x + r * std::cos(a0), c.y + r * std::sin(a0), 0.0);
      Point<double> e(c.x + r * std::cos(a1), c.y + r * std::sin(a1), 0.0);
      arc = std::make_unique<Bspline>(&c, &s, &e, &normal);
    } else {
      Point<double> cpts[4] = {p(), p(), p(), p()};
      double wts[4] = {1, 1, 1, 1};
      if (kind == 3)
        for (double& w : wts)
          w = uniform(0.3, 3.0);
      double kts[8] = {0, 0, 0, 0, 1, 1, 1, 1};
      arc = std::make_unique<Bspline>(3, 4, cpts, wts, 8, kts);
    }
    if (uniform(0, 1) < 0.3)
      arc->reverse();
    return arc;
  }
};

}  // namespace

// Random arcs (lines, circular arcs, cubics, tiny and far from the origin,
// reversed), random term sets, reference points, factors, starting n and
// parameter sub-ranges: every sum has the same bits either way.
TEST(FanSpeed, BatchedSumsMatchThePlainFormBitForBit) {
  ArcMaker r(20261211u);
  const double sizes[] = {1.0, 1e-4, 250.0};
  const Point<double> places[] = {Point<double>(), Point<double>(1e5, -3e4, 0.0), Point<double>(0.5, 0.25, 0.0)};
  int compared = 0;
  for (int trial = 0; trial < 150; ++trial) {
    const int kind = trial % 4;
    const double size = sizes[trial % 3];
    const Point<double> at = places[(trial / 3) % 3];
    std::unique_ptr<Bspline> arc = r.make(kind, size, at);
    std::vector<FanTerm> terms(1 + r.rng() % 17);
    for (FanTerm& t : terms) {
      const std::size_t pick = r.rng() % 16;
      t.value = pick < 15 ? kIntegrands[pick] : unknownIntegrand;
      t.R = r.uniform(0, 1) < 0.3 ? Point<double>() : Point<double>(at.x + r.uniform(-size, size),
                                                                     at.y + r.uniform(-size, size), 0.0);
      t.factor = r.uniform(0, 1) < 0.5 ? 1.0 : r.uniform(-5, 5);
      t.dimension = 2 + static_cast<int>(r.rng() % 3);
    }
    const int n = trial % 5 == 0 ? 7 : 2 << (r.rng() % 4);
    double t0 = arc->startParameter(), t1 = arc->endParameter();
    if (trial % 3 == 1) {
      const double a = r.uniform(0, 0.5), b = r.uniform(0.5, 1.0);
      const double s0 = t0, len = t1 - t0;
      t0 = s0 + a * len;
      t1 = s0 + b * len;
    }
    std::vector<double> expected(terms.size()), actual(terms.size());
    plainFan(*arc, n, t0, t1, terms, expected.data());
    fanIntegrate(*arc, n, t0, t1, terms, actual.data());
    for (std::size_t j = 0; j < terms.size(); ++j, ++compared)
      EXPECT_TRUE(sameBits(actual[j], expected[j]))
          << "trial " << trial << " term " << j << ": " << actual[j] << " vs " << expected[j];
  }
  EXPECT_GT(compared, 500);
}

// A shape's area and second moments, summed arc by arc through the batched
// form, equal the plain form's sums over the same boundary.
TEST(FanSpeed, ShapePropertiesUnchanged) {
  ArcMaker r(7u);
  auto* curve = new CCompositeCurve();
  Point<double> c(3, 2, 0), s(5, 2, 0), e(1, 2, 0), normal(0, 0, 1);
  curve->addArc(new Bspline(&c, &s, &e, &normal));
  Point<double> cpts[4] = {Point<double>(1, 2, 0), Point<double>(1.5, 0.5, 0), Point<double>(4, 1, 0),
                           Point<double>(5, 2, 0)};
  double wts[4] = {1, 0.7, 1.6, 1};
  double kts[8] = {0, 0, 0, 0, 1, 1, 1, 1};
  curve->addArc(new Bspline(3, 4, cpts, wts, 8, kts));
  CShapeAnalysis shape(curve);

  // The same term sets as the shape's own: the area alone, then the four
  // second moments about the origin (the stop test takes every term).
  auto plainSums = [&](const std::vector<FanTerm>& terms) {
    std::vector<double> sums(terms.size(), 0.0), part(terms.size());
    POSITION pos = curve->arcs().GetHeadPosition();
    while (pos) {
      const Bspline* arc = curve->arcs().GetNext(pos);
      plainFan(*arc, 2, arc->startParameter(), arc->endParameter(), terms, part.data());
      for (std::size_t j = 0; j < terms.size(); ++j)
        sums[j] += part[j];
    }
    return sums;
  };
  const Point<double> o;
  const std::vector<double> area = plainSums({{fan::area, o, 1.0, 2}});
  const std::vector<double> second =
      plainSums({{fan::xx, o, 1.0, 4}, {fan::xy, o, 1.0, 4}, {fan::yy, o, 1.0, 4}, {fan::polar, o, shape.nE(), 4}});
  EXPECT_TRUE(sameBits(shape.area(), area[0])) << shape.area() << " vs " << area[0];
  shape.axesInertias();
  // A solid running counter-clockwise (positive area): the sign-corrected
  // moments are the sums as they are, positive.
  ASSERT_GT(area[0], 0.0);
  EXPECT_GT(second[0], 0.0);
  EXPECT_TRUE(sameBits(shape.IxxA(), second[0])) << shape.IxxA() << " vs " << second[0];
  EXPECT_TRUE(sameBits(shape.IxyA(), second[1])) << shape.IxyA() << " vs " << second[1];
  EXPECT_TRUE(sameBits(shape.IyyA(), second[2])) << shape.IyyA() << " vs " << second[2];
}
