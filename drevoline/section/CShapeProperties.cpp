// Shape property integrals: areas, first and second moments, plastic splits,
// boundary samples and the shape's value table.
#include <cmath>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Tolerance.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/FanIntegrator.h"

namespace {

using Value = double (*)(const Point<double>&, const Point<double>&, const Point<double>&, double);

// Sums the terms over every arc of the curve (n = 2 for straight arcs).
void sumOverArcs(const CCompositeCurve& curve, std::vector<FanTerm>& terms, double* sums) {
  std::vector<double> part(terms.size());
  for (std::size_t j = 0; j < terms.size(); ++j)
    sums[j] = 0.0;
  POSITION pos = curve.arcs().GetHeadPosition();
  while (pos) {
    const Bspline* arc = curve.arcs().GetNext(pos);
    fanIntegrate(*arc, 2, arc->startParameter(), arc->endParameter(), terms, part.data());
    for (std::size_t j = 0; j < terms.size(); ++j)
      sums[j] += part[j];
  }
}

// The exact value of one integrand over the triangle (R, arc(ta), arc(tb)).
double piece(Value f, Bspline* arc, double ta, double tb, Point<double>* R, double factor = 1.0) {
  Point<double> P1, P2;
  const double snap = parameterSnap(arc->startParameter(), arc->endParameter());
  arc->eval(ta, &P1, snap);
  arc->eval(tb, &P2, snap);
  return f(*R, P1, P2, factor);
}

// The four second-moment terms about R with a factor on the polar one.
void addInertiaTerms(std::vector<FanTerm>& terms, const Point<double>& R, double polarFactor) {
  terms.push_back({fan::xx, R, 1.0, 4});
  terms.push_back({fan::xy, R, 1.0, 4});
  terms.push_back({fan::yy, R, 1.0, 4});
  terms.push_back({fan::polar, R, polarFactor, 4});
}

}  // namespace

double CShapeAnalysis::corrected(double v) const {
  const int sign = boundary->sign();
  const bool flip = (sign == -1 && m_area > 0.0) || (sign != -1 && m_area < 0.0);
  return flip ? -v : v;
}

double CShapeAnalysis::integrate(Integrand f, Bspline* arc, Point<double>* R, int n, double t0, double t1) {
  // The single-integrand form of the fan sum, with the member integrand's
  // own arithmetic (the property operations use the batched form). Its
  // zero test is relative to the arc's size squared.
  int N = arc->deg() > 1 ? 16 : n;
  double previous = 0.0;
  Point<double> lo, hi;
  arc->extents(&lo, &hi, 1);
  const double size = std::hypot(hi.x - lo.x, hi.y - lo.y);
  const double scale = size * size;
  for (;;) {
    const double h = (t1 - t0) / N;
    double S = 0.0;
    for (int i = 0; i < N; ++i)
      S += (this->*f)(arc, t0 + i * h, i + 1 == N ? t1 : t0 + (i + 1) * h, R);
    N *= 2;
    if (std::fabs(S) < gIntegrationTol * scale || N > 100000 ||
        std::fabs(S - previous) <= gIntegrationTol * std::max(std::fabs(S), 1e-3 * scale))
      return S;
    previous = S;
  }
}

double CShapeAnalysis::area() const {
  std::vector<FanTerm> terms{{fan::area, Point<double>(), 1.0, 2}};
  double a = 0.0;
  sumOverArcs(*boundary, terms, &a);
  return a;
}

void CShapeAnalysis::areaProperties() {
  const Point<double> o;
  std::vector<FanTerm> terms{{fan::area, o, 1.0, 2}, {fan::firstX, o, 1.0, 3}, {fan::firstY, o, 1.0, 3}};
  double sums[3];
  sumOverArcs(*boundary, terms, sums);
  m_area = sums[0];
  m_Sx = sums[1];
  m_Sy = sums[2];
  centroidA = centroidE = centroidM = centroidP = Point<double>(m_Sx / m_area, m_Sy / m_area, 0.0);
}

double CShapeAnalysis::calcArea() {
  areaProperties();
  return m_area;
}

double CShapeAnalysis::areaA() { return calcArea(); }

double CShapeAnalysis::Marea() { return calcArea() * density(); }

double CShapeAnalysis::nEarea() { return calcArea() * nE(); }

void CShapeAnalysis::axesInertias() {
  std::vector<FanTerm> terms;
  addInertiaTerms(terms, Point<double>(), nE());
  double sums[4];
  sumOverArcs(*boundary, terms, sums);
  IxxAxis = sums[0];
  IxyAxis = sums[1];
  IyyAxis = sums[2];
  IrAxis = sums[3];
}

void CShapeAnalysis::centroidInertias(CSubSection* s) {
  const double ne = nE();
  const bool massSet = s->isDensityDefined();
  const bool plasticSet = s->isFcyDefined();
  // One pass over the boundary for every reference point.
  std::vector<FanTerm> terms;
  addInertiaTerms(terms, s->areaCentroid, ne);
  addInertiaTerms(terms, s->centroid, ne);
  if (massSet)
    addInertiaTerms(terms, s->densityCentroid, ne);
  if (plasticSet)
    addInertiaTerms(terms, s->referencePoint, ne);
  std::vector<double> sums(terms.size());
  sumOverArcs(*boundary, terms, sums.data());
  double* A[] = {&m_IxxAC, &m_IxyAC, &m_IyyAC, &m_IrAC};
  double* E[] = {&m_IxxEC, &m_IxyEC, &m_IyyEC, &m_IrEC};
  double* M[] = {&m_IxxMC, &m_IxyMC, &m_IyyMC, &m_IrMC};
  double* P[] = {&m_IxxPC, &m_IxyPC, &m_IyyPC, &m_IrPC};
  for (double** set : {A, E, M, P})
    for (int k = 0; k < 4; ++k)
      *set[k] = 0.0;
  std::size_t at = 0;
  for (int k = 0; k < 4; ++k)
    *A[k] = sums[at + k];
  at += 4;
  // The polar integrand carries nE already: it is not weighted twice.
  for (int k = 0; k < 4; ++k)
    *E[k] = k == 3 ? sums[at + k] : ne * sums[at + k];
  at += 4;
  if (massSet) {
    for (int k = 0; k < 4; ++k)
      *M[k] = density() * sums[at + k];
    at += 4;
  }
  if (plasticSet)
    for (int k = 0; k < 4; ++k)
      *P[k] = nPlastic() * sums[at + k];
}

double CShapeAnalysis::IXXA() const {
  return (m_IxxAC + m_IyyAC) / 2.0 - std::sqrt(4.0 * m_IxyAC * m_IxyAC + (m_IxxAC - m_IyyAC) * (m_IxxAC - m_IyyAC)) / 2.0;
}

double CShapeAnalysis::IYYA() const { return IXXA(); }

void CShapeAnalysis::plasticSides(Point<double>& R, int k, double* a1, double* q1, double* a2, double* q2) {
  std::vector<FanTerm> terms{{k == 0 ? fan::areaXpAbove : fan::areaYpAbove, R, 1.0, 2},
                             {k == 0 ? fan::areaXpBelow : fan::areaYpBelow, R, 1.0, 2}};
  if (q1 != nullptr) {
    terms.push_back({k == 0 ? fan::momentXpAbove : fan::momentYpAbove, R, 1.0, 3});
    terms.push_back({k == 0 ? fan::momentXpBelow : fan::momentYpBelow, R, 1.0, 3});
  }
  double sums[4] = {0.0, 0.0, 0.0, 0.0};
  sumOverArcs(*boundary, terms, sums);
  *a1 = sums[0];
  *a2 = sums[1];
  if (q1 != nullptr) {
    *q1 = sums[2];
    *q2 = sums[3];
  }
}

void CShapeAnalysis::areasXp(Point<double>& R, double* above, double* below) {
  plasticSides(R, 0, above, nullptr, below, nullptr);
}

void CShapeAnalysis::areasYp(Point<double>& R, double* above, double* below) {
  plasticSides(R, 1, above, nullptr, below, nullptr);
}

void CShapeAnalysis::PlasticModulusXp(Point<double>& R, double* a1, double* q1, double* a2, double* q2) {
  plasticSides(R, 0, a1, q1, a2, q2);
}

void CShapeAnalysis::PlasticModulusYp(Point<double>& R, double* a1, double* q1, double* a2, double* q2) {
  plasticSides(R, 1, a1, q1, a2, q2);
}

Point<double>* CShapeAnalysis::computePolygon(int* count) const {
  // A straight arc gives each of its corners after the first (a polyline arc
  // has several), a curved one 41 samples.
  std::size_t capacity = 1;
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    const Bspline* arc = boundary->arcs().GetNext(pos);
    capacity += arc->deg() == 1 ? static_cast<std::size_t>(std::max(1, arc->nPts() - 1)) : 41u;
  }
  auto* out = new Point<double>[capacity];
  int k = 0;
  pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    const Bspline* arc = boundary->arcs().GetNext(pos);
    const double t0 = arc->startParameter();
    const double t1 = arc->endParameter();
    if (arc->deg() == 1) {
      // Corner i sits at knot i + 1; the last one at the arc's end.
      for (int i = 1; i < arc->nPts(); ++i) {
        out[k] = arc->cpts(i);
        out[k++].z = i + 1 < arc->nPts() ? arc->kts(i + 1) + arc->globalOffset() : t1;
      }
      continue;
    }
    const double h = (t1 - t0) / 40.0;
    for (int i = 0; i <= 40; ++i) {
      const double t = std::min(t0 + 0.01 * h + i * h, t1);
      arc->eval(t, &out[k], parameterSnap(t0, t1));
      out[k++].z = t;
    }
  }
  *count = k;
  return out;
}

double CShapeAnalysis::nE() const { return m_material ? m_material->extra1 : 1.0; }

double CShapeAnalysis::density() const { return m_material ? m_material->density() : 0.0; }

double CShapeAnalysis::nPlastic() const { return m_material ? m_material->extra2 : 1.0; }

double CShapeAnalysis::getValue(SectionValue id) const {
  // Second moments count negative for holes whatever the boundary's
  // direction, about the axes as well as about the centroids.
  switch (id) {
    case 17: return m_area;
    case 18: return nE() * m_area;
    case 19: return density() * m_area;
    case 60: return IxxAC();
    case 61: return IxyAC();
    case 62: return IyyAC();
    case 63: return IrAC();
    case 66: return IxxMC();
    case 67: return IxyMC();
    case 68: return IyyMC();
    case 69: return m_IrMC;
    case 74: return IxxEC();
    case 75: return IxyEC();
    case 76: return IyyEC();
    case 77: return m_IrEC;
    case 78: return IxxA();
    case 79: return IyyA();
    case 80: return IxyA();
    case 86: return nE() * IxxA();
    case 87: return nE() * IyyA();
    case 88: return nE() * IxyA();
    case 92: return density() * IxxA();
    case 93: return density() * IyyA();
    case 94: return density() * IxyA();
    case 120: return SxAA();
    case 121: return SyAA();
    case 122: return nE() * SxAA();
    case 123: return nE() * SyAA();
    case 124: return density() * SxAA();
    case 125: return density() * SyAA();
    default: break;
  }
  const double np = nPlastic();
  if (np <= 0.0)
    throw std::logic_error("nPlastic is not computed.");
  switch (id) {
    case 170: return np * m_area;
    case 171: return np * SxAA();
    case 172: return np * SyAA();
    case 178: return corrected(m_IxxPC);
    case 179: return corrected(m_IyyPC);
    case 180: return corrected(m_IxyPC);
    case 181: return np * IxxA();
    case 182: return np * IyyA();
    case 183: return np * IxyA();
    default: return -1.0;
  }
}

// ---- integrand members ----

double CShapeAnalysis::dA(Bspline* arc, double ta, double tb, Point<double>* R) { return piece(fan::area, arc, ta, tb, R); }
double CShapeAnalysis::dSxAA(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::firstX, arc, ta, tb, R);
}
double CShapeAnalysis::dSyAA(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::firstY, arc, ta, tb, R);
}
double CShapeAnalysis::dIxx(Bspline* arc, double ta, double tb, Point<double>* R) { return piece(fan::xx, arc, ta, tb, R); }
double CShapeAnalysis::dIxy(Bspline* arc, double ta, double tb, Point<double>* R) { return piece(fan::xy, arc, ta, tb, R); }
double CShapeAnalysis::dIyy(Bspline* arc, double ta, double tb, Point<double>* R) { return piece(fan::yy, arc, ta, tb, R); }
double CShapeAnalysis::dIr(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::polar, arc, ta, tb, R, nE());
}
double CShapeAnalysis::dAxpAbove(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::areaXpAbove, arc, ta, tb, R);
}
double CShapeAnalysis::dAxpBelow(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::areaXpBelow, arc, ta, tb, R);
}
double CShapeAnalysis::dAypAbove(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::areaYpAbove, arc, ta, tb, R);
}
double CShapeAnalysis::dAypBelow(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::areaYpBelow, arc, ta, tb, R);
}
double CShapeAnalysis::dSxpAbove(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::momentXpAbove, arc, ta, tb, R);
}
double CShapeAnalysis::dSxpBelow(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::momentXpBelow, arc, ta, tb, R);
}
double CShapeAnalysis::dSypAbove(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::momentYpAbove, arc, ta, tb, R);
}
double CShapeAnalysis::dSypBelow(Bspline* arc, double ta, double tb, Point<double>* R) {
  return piece(fan::momentYpBelow, arc, ta, tb, R);
}
