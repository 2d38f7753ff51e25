// Fully plastic values of a meshed sub-section: the equal-force neutral
// axis found on the mesh, the plastic modulus and the shape factor; the
// guard that puts a moved section back.
#include <cmath>
#include <memory>
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/PlasticSolve.h"
#include "platform/core/Hooks.h"

// ---- the pose guard ----

namespace {

// A move by a value that is not a number could never be undone: refused
// before anything moves.
void requireFiniteMove(double a, double b, double c) {
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c))
    throw std::logic_error("The section cannot be moved by a value that is not a number");
}

}  // namespace

void CSubSection::PoseGuard::translate(Point<double> d) {
  requireFiniteMove(d.x, d.y, d.z);
  m_s->translate(&d);
  m_steps.push_back({false, false, d, 0.0});
}

void CSubSection::PoseGuard::rotate(double x, double y, double angle, bool all) {
  requireFiniteMove(x, y, angle);
  if (all)
    m_s->rotateAll(x, y, angle);
  else
    m_s->rotate(x, y, angle);
  m_steps.push_back({true, all, Point<double>(x, y, 0.0), angle});
}

void CSubSection::PoseGuard::restore() {
  while (!m_steps.empty()) {
    Step s = m_steps.back();
    m_steps.pop_back();
    if (!s.turn) {
      Point<double> back(-s.p.x, -s.p.y, -s.p.z);
      m_s->translate(&back);
    } else if (s.all) {
      m_s->rotateAll(s.p.x, s.p.y, -s.angle);
    } else {
      m_s->rotate(s.p.x, s.p.y, -s.angle);
    }
  }
  m_s->propertiesUpToDate = m_utd;
}

// ---- plastic neutral axis ----

namespace {

// The twelve side sums of the split along the search line at c.
struct Split {
  double r[12] = {};
  double areaDifference() const { return r[0] - r[6]; }
};

// Geometric centroid of the meshes' triangles (the extreme fibres of the
// shape factor are measured from it).
Point<double> meshCentroid(const std::vector<CMesh*>& meshes) {
  double A = 0.0, x = 0.0, y = 0.0;
  for (const CMesh* mesh : meshes)
    for (const auto& e : mesh->trng3Elements) {
      const double a = e->area();
      const Point<double> c = e->center();
      A += a;
      x += a * c.x;
      y += a * c.y;
    }
  return A > 0.0 ? Point<double>(x / A, y / A, 0.0) : Point<double>();
}

}  // namespace

double CSubSection::solvePlasticValues(bool alongY, bool principal) {
  if (meshes.empty())
    throw std::logic_error("Plastic values need a meshed section");
  const std::shared_ptr<CMetal> metal = singleMaterial();
  const double Fy = metal ? metal->minYield(true) : 0.0;
  Point<double> low, high;
  meshExtents(low, high);
  auto split = [&](double c) {
    Split s;
    const Point<double> a = alongY ? Point<double>(c, high.y + 1.0, 0.0) : Point<double>(low.x - 1.0, c, 0.0);
    const Point<double> b = alongY ? Point<double>(c, low.y - 1.0, 0.0) : Point<double>(high.x + 1.0, c, 0.0);
    calcAreaAndForceAboutLine(alongY, a, b, &s.r[0], &s.r[1], &s.r[2], &s.r[3], &s.r[4], &s.r[5], &s.r[6], &s.r[7],
                              &s.r[8], &s.r[9], &s.r[10], &s.r[11]);
    return s;
  };
  // False position on the difference of the two sides' forces, which
  // falls as the line moves towards higher coordinates. The Illinois
  // halving of a retained end keeps one-sided progress from stalling;
  // the root, and so the result, is that of plain false position.
  double lo = (alongY ? low.x : low.y) - 1.0, hi = (alongY ? high.x : high.y) + 1.0;
  double flo = split(lo).areaDifference(), fhi = split(hi).areaDifference();
  Split at;
  double c = lo;
  int kept = 0;
  for (int step = 0;; ++step) {
    // Sides that are not numbers (weights or yields) never balance.
    if (step == plastic::kStepCap || !std::isfinite(flo) || !std::isfinite(fhi))
      throw std::logic_error("Solving for plastic values did not converge!");
    c = lo - (hi - lo) * flo / (fhi - flo);
    at = split(c);
    const double fc = at.areaDifference();
    if (std::fabs(fc) <= 1e-5)
      break;
    if (fc > 0.0) {
      lo = c;
      flo = fc;
      if (kept == 1)
        fhi /= 2.0;
      kept = 1;
    } else {
      hi = c;
      fhi = fc;
      if (kept == -1)
        flo /= 2.0;
      kept = -1;
    }
  }
  const double* r = at.r;
  PlasticValues& v = plasticValues[alongY ? 1 : 0][principal ? 1 : 0];
  v.areaMoments[0] = alongY ? r[4] : r[5];
  v.areaMoments[1] = alongY ? r[10] : r[11];
  const double c1 = (alongY ? r[3] : r[2]) / r[1];
  const double c2 = (alongY ? r[9] : r[8]) / r[7];
  v.axis = c;
  if (!principal)
    m_values[alongY ? 175 : 176] = c;
  v.plasticModulus = (c1 - c2) * r[0];
  if (!isMultipleMaterials()) {
    // The extreme fibres of the elastic modulus S = I / N lie at their
    // distances from the centroid, about which I is taken.
    const Point<double> g = meshCentroid(meshes);
    const double mid = alongY ? g.x : g.y;
    const double N = std::max(std::fabs((alongY ? low.x : low.y) - mid), std::fabs((alongY ? high.x : high.y) - mid));
    if (std::fabs(r[1] - r[7]) > 0.001)
      throw std::logic_error("Plastic solution failed to converge");
    const double o = (r[1] + r[7]) / 2.0;
    v.halvesMoment = std::fabs(c1) * r[1] + std::fabs(c2) * r[7];
    const double I = m_values[principal ? (alongY ? 145 : 146) : (alongY ? 60 : 62)];
    const double S = I / N;
    v.shapeFactor = (c1 - c2) * o / S;
    v.yieldMoment = S * Fy;
  }
  return std::fabs(r[7]) + r[1];
}

void CSubSection::plasticValuesFromMesh() {
  if (meshes.empty() || !isYieldsDefined())
    return;
  double plasticArea = 0.0;
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos) {
    const CShapeAnalysis* s = all->GetNext(pos);
    if (s->nPlastic() > 0.0)
      plasticArea += s->getValue(170);
  }
  const double p = solvePlasticValues(true, false);
  if (std::fabs(p - plasticArea) / plasticArea > 0.001) {
    AfxMessageBox(L"The mesh doesn't match the object boundary well enough to give accurate values, decrease the "
                  L"Chord Height Tolerance (CHT) of the mesh and try again.");
    return;
  }
  solvePlasticValues(false, false);
  const Point<double> c = centroid;
  const double angle = m_values[40];
  {
    PoseGuard pose(this);
    pose.translate(Point<double>(-c.x, -c.y, 0.0));
    pose.rotate(0.0, 0.0, -angle, true);
    solvePlasticValues(true, true);
    solvePlasticValues(false, true);
  }
  // The principal axes' meeting point, back in the model axes.
  const double t = angle * 0.017453292519943295;
  const double u = plasticValues[1][1].axis, w = plasticValues[0][1].axis;
  plasticResultPoint = Point<double>(c.x + u * std::cos(t) - w * std::sin(t), c.y + u * std::sin(t) + w * std::cos(t), 0.0);
}
