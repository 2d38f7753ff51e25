// Section properties of a sub-section: sums of the shapes' integrals,
// centroids, principal axes, radii of gyration and elastic section moduli.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

#include "platform/core/Hooks.h"
#include "platform/ole/COleDispatchException.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kPi = 3.141592653589793;

// Ids whose value is kept as it is stored.
constexpr int kStoredIds[] = {10,  11,  17,  18,  19,  26,  39,  40,  41,  60,  61,  62,  63,  66,  67,  68,  74,  75,
                              76,  77,  78,  79,  80,  81,  83,  85,  86,  87,  88,  89,  92,  93,  94,  120, 121, 122,
                              123, 124, 125, 126, 127, 128, 129, 130, 131, 141, 142, 143, 144, 145, 146, 147, 148, 151,
                              152, 153, 154, 155, 175, 176, 177, 178, 179, 180};
constexpr int kSettableIds[] = {17, 18, 26, 39, 40, 41, 120, 121, 122, 123, 124, 125, 147, 148, 152, 153};

// Shape values summed by the area pass and by the inertia pass.
constexpr int kAreaSums[] = {17, 19, 18, 120, 121, 122, 123, 124, 125};
constexpr int kPlasticSums[] = {170, 171, 172};
constexpr int kInertiaSums[] = {78, 79, 80, 86, 87, 88, 60, 61, 62, 74, 75, 76};
constexpr int kDensityInertiaSums[] = {92, 93, 94, 66, 67, 68};
constexpr int kYieldInertiaSums[] = {181, 182, 183, 178, 179, 180};

template <class F>
void eachShape(const ShapeList& list, F f) {
  POSITION pos = list.GetHeadPosition();
  while (pos)
    f(list.GetNext(pos));
}

// Principal angle in degrees, folded into [-45, 45]. Equal moments (to
// rounding, relative to their size) give 45.
double principalAngleOf(double xx, double yy, double xy) {
  const double d = xx - yy;
  double a;
  if (std::fabs(d) <= 1e-10 * (std::fabs(xx) + std::fabs(yy)))
    a = kPi / 2.0;
  else {
    a = std::atan(2.0 * xy / d);
    if (xx < yy)
      a += kPi;
  }
  double deg = a / 2.0 / kDegToRad;
  if (deg > 45.0)
    deg -= 90.0;
  if (deg < -45.0)
    deg += 90.0;
  return deg;
}

Point<double> turned(const Point<double>& p, double deg) {
  const double c = std::cos(deg * kDegToRad);
  const double s = std::sin(deg * kDegToRad);
  return Point<double>(c * p.x - s * p.y, s * p.x + c * p.y, p.z);
}

// Whether angle a (radians) lies on the arc swept counter-clockwise from
// a0 to a1.
bool onSweep(double a, double a0, double a1) {
  const double twoPi = 2.0 * kPi;
  double t = std::fmod(a - a0, twoPi);
  if (t < 0.0)
    t += twoPi;
  return t <= a1 - a0 + 1e-12;
}

// The points of a circular arc where x or y turned by -angle is extreme.
void circleExtremes(const Bspline& arc, double angle, std::vector<Point<double>>& out) {
  if (arc.deg() != 2 || !arc.isRational())
    return;
  Point<double> centre, start, end, corner;
  double a0 = 0.0, a1 = 0.0;
  arc.circleArgs(&centre, &start, &end, &corner, &a0, &a1);
  const double r = (start - centre).length();
  Point<double> mid;
  arc.eval((arc.startParameter() + arc.endParameter()) / 2.0, &mid, 1e-7);
  if (!(r > 0.0) || std::fabs((mid - centre).length() - r) > 1e-9 * r)
    return;  // not a circular arc
  Point<double> tangent;
  arc.tangent(arc.startParameter(), &tangent);
  if (cross(start - centre, tangent).z < 0.0) {
    // Clockwise: the arc covers the counter-clockwise sweep from end to start.
    const double s = a0;
    a0 = a1;
    a1 = s + 2.0 * kPi;
  }
  for (int k = 0; k < 4; ++k) {
    const double a = angle * kDegToRad + k * kPi / 2.0;
    if (onSweep(a, a0, a1))
      out.push_back(centre + Point<double>(r * std::cos(a), r * std::sin(a), 0.0));
  }
}

}  // namespace

void CSubSection::scnPrpUTD(bool utd) {
  propertiesUpToDate = utd;
  if (!utd)
    for (CSubSection* p = m_parent; p != nullptr; p = p->m_parent)
      p->propertiesUpToDate = false;
}

// ---- value table ----

double CSubSection::getValue(SectionValue id) const {
  switch (id) {
    case 4: return Emin();
    case 12: return Mxp();
    case 13: return Myp();
    case 16: return m_values[17];
    case 20: return m_values[19];
    case 52: return IrxA();
    case 53: return IryA();
    case 54: return IrxpA();
    case 55: return IrypA();
    case 82: return IrxAA();
    case 84: return IryAA();
    case 90: return IrxEA();
    case 91: return IryEA();
    case 95: return IrMA();
    case 96: return IrxMA();
    case 97: return IryMA();
    case 98: return IrM();
    case 99: return IrxM();
    case 100: return IryM();
    case 101: return IrxpM();
    case 102: return IrypM();
    case 107: return IrE();
    case 108: return IrxE();
    case 109: return IryE();
    case 110: return IrxpE();
    case 111: return IrypE();
    case 114: return std::min(std::fabs(m_values[145]), std::fabs(m_values[146]));
    case 115: return std::max(std::fabs(m_values[145]), std::fabs(m_values[146]));
    case 116: return std::fabs(m_values[143]) > std::fabs(m_values[144]) ? std::fabs(m_values[143]) : std::fabs(m_values[144]);
    case 117: return std::fabs(m_values[143]) < std::fabs(m_values[144]) ? std::fabs(m_values[143]) : std::fabs(m_values[144]);
    case 118: return std::max(m_values[141], m_values[142]);
    case 119: return std::min(m_values[141], m_values[142]);
    case 132: return areaCentroid.x;
    case 133: return areaCentroid.y;
    case 134: return areaCentroid.z;
    case 135: return centroid.x;
    case 136: return centroid.y;
    case 137: return centroid.z;
    case 138: return densityCentroid.x;
    case 139: return densityCentroid.y;
    case 140: return densityCentroid.z;
    case 160: return principalFiber1.x;
    case 161: return principalFiber1.y;
    case 166: return std::max(IrxpA(), IrypA());
    case 167: return std::min(IrxpA(), IrypA());
    case 168: return IrA();
    case 169: return m_values[60] + m_values[62];
    case 184: return std::max(IrxpE(), IrypE());
    case 185: return std::min(IrxpE(), IrypE());
    case 186: return IrE();
    case 187: return IrxE();
    case 188: return IryE();
    case 189: return m_values[76] + m_values[74];
    default: break;
  }
  if (std::find(std::begin(kStoredIds), std::end(kStoredIds), id) != std::end(kStoredIds))
    return m_values[id];
  AfxThrowOleDispatchException(1, L"Invalid value type");
}

void CSubSection::setValue(SectionValue id, double v) {
  if (id >= 132 && id <= 137) {
    Point<double>& p = id < 135 ? areaCentroid : centroid;
    (id % 3 == 0 ? p.x : id % 3 == 1 ? p.y : p.z) = v;
    return;
  }
  if (id >= 138 && id <= 140) {
    (id == 138 ? densityCentroid.x : id == 139 ? densityCentroid.y : densityCentroid.z) = v;
    return;
  }
  if (std::find(std::begin(kSettableIds), std::end(kSettableIds), id) != std::end(kSettableIds)) {
    m_values[id] = v;
    if (id == 40)
      m_principalAngleE = v;
  }
}

double CSubSection::Mxp() const {
  const double t = m_values[40] * kDegToRad;
  return std::cos(t) * getValue(10) + std::sin(t) * getValue(11);
}

// ---- materials ----

double CSubSection::Emin() const {
  double e = 1e12;
  bool bare = false;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (!s->material())
      bare = true;
    else
      e = std::min(e, s->material()->E());
  });
  return bare ? 1.0 : e;
}

bool CSubSection::isDensityDefined() const {
  bool all = true;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    all = all && s->material() && s->material()->density() > 0.0;
  });
  return all;
}

bool CSubSection::isFcyDefined() const {
  bool all = true;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (!s->isNegative())
      all = all && s->material() && s->material()->Fcy() > 0.0;
  });
  return all;
}

bool CSubSection::isYieldsDefined() const {
  bool all = true;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (!s->isNegative())
      all = all && s->material() && s->material()->Fcy() >= 1.0 && s->material()->Fty() >= 1.0;
  });
  return all;
}

bool CSubSection::isUltimateDefined() const {
  bool all = true;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (!s->isNegative())
      all = all && s->material() && s->material()->Fcu() >= 1.0 && s->material()->Ftu() >= 1.0;
  });
  return all;
}

namespace {

// Walks the shapes until one has no material (true) or a material fails
// allowablesOk (false); true when every material passes.
template <class Test>
bool allowablesUntilBare(const ShapeList& shapes, Test allowablesOk) {
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    const CShapeAnalysis* s = shapes.GetNext(pos);
    if (s == nullptr) continue;
    const auto m = s->material();
    if (!m) return true;
    if (!allowablesOk(*m)) return false;
  }
  return true;
}

}  // namespace

bool CSubSection::isTensionLAllowablesDefined() const {
  return allowablesUntilBare(*getShapesRecursive(), [](CMetal& m) { return m.Fty() > 0.0 && m.Ftu() > 0.0; });
}

bool CSubSection::isCompressionLAllowablesDefined() const {
  return allowablesUntilBare(*getShapesRecursive(), [](CMetal& m) { return m.Fcy() > 0.0 && m.Fcu() > 0.0; });
}

bool CSubSection::isTensionCompressionYieldsUlimatesDefined() const {
  return isTensionLAllowablesDefined() && isCompressionLAllowablesDefined();
}

bool CSubSection::isRambergOsgoodParametersDefined() const {
  // The L tension and L compression cases, the ones the solutions evaluate.
  static constexpr size_t kCases[] = {0, 2};
  bool all = true;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (s->isNegative()) return;
    const auto m = s->material();
    if (!m) {
      all = false;
      return;
    }
    for (size_t c : kCases)
      all = all && m->alpha[c] > 0.0 && m->nYield[c] > 0.0 && m->nUltimate[c] > 0.0;
  });
  return all;
}

bool CSubSection::isMaterialDefined() const {
  bool all = true;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    const auto m = s->material();
    all = all && m && m->E() >= 0.0 && m->Gshear() >= 0.0 && m->Gbend() >= 0.0;
  });
  return all;
}

bool CSubSection::isMultipleMaterials() const {
  std::shared_ptr<CMetal> first;
  bool multiple = false;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    const auto m = s->material();
    if (s->isNegative() || !m || multiple)
      return;
    if (!first) {
      first = m;
      return;
    }
    auto differs = [](double a, double b) { return std::fabs(a - b) >= 1e-6; };
    multiple = m->name != first->name || differs(m->E(), first->E()) || differs(m->Gshear(), first->Gshear()) ||
               differs(m->Gbend(), first->Gbend()) || differs(m->nu(), first->nu()) ||
               differs(m->density(), first->density());
  });
  return multiple;
}

std::shared_ptr<CMetal> CSubSection::singleMaterial() const {
  if (isMultipleMaterials())
    return nullptr;
  std::shared_ptr<CMetal> found;
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (!found && !s->isNegative() && s->material())
      found = s->material();
  });
  return found;
}

double CSubSection::minYield(bool L) const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  if (all->IsEmpty())
    return 1e20;
  double y = 1e20;
  bool bare = false;
  eachShape(*all, [&](const CShapeAnalysis* s) {
    if (!s->material())
      bare = true;
    else
      y = std::min(y, s->material()->minYield(L));
  });
  return bare ? 1.0 : y;
}

void CSubSection::computeERatios() {
  const double emin = Emin();
  const bool multiple = isMultipleMaterials();
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (auto m = s->material())
      m->extra1 = multiple ? m->E() / emin : 1.0;
  });
}

void CSubSection::computePlasticRatios(bool L) {
  if (!isYieldsDefined())
    return;
  const double least = minYield(L);
  const bool multiple = isMultipleMaterials();
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    auto m = s->material();
    if (!m)
      return;
    const double y = m->minYield(L);
    if (!(y > 1.0))
      return;
    const double w = multiple ? y / least : 1.0;
    if (!(w > 0.0))
      throw std::logic_error("Plastic Weight is not correct.");
    m->extra2 = w;
  });
}

// ---- computation ----

void CSubSection::compute(bool checkMaterials, int, bool) {
  CWaitCursor busy;
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  try {
    computeERatios();
    computePlasticRatios(true);
    if (all->IsEmpty()) {
      propertiesUpToDate = false;
      return;
    }
    if (checkMaterials)
      eachShape(*all, [](const CShapeAnalysis* s) {
        if (auto m = s->material(); m && (m->E() < 0.0 || m->Gshear() < 0.0))
          throw std::logic_error("No material defined");
      });
    if (!propertiesUpToDate)
      thickSectionProperties();
  } catch (...) {
    propertiesUpToDate = false;
    throw;
  }
}

bool CSubSection::computeProperties() {
  try {
    if (m_model != nullptr) {
      POSITION pos = m_model->materials.GetHeadPosition();
      while (pos) {
        std::shared_ptr<CMetal> m = m_model->materials.GetNext(pos);
        if (m_model->isUsed(m))
          m->computeStiffnessCompliance();
      }
    }
    compute(isMultipleMaterials(), 5, true);
  } catch (const wchar_t* text) {
    propertiesUpToDate = false;
    AfxMessageBox(text);
    return false;
  } catch (const char* text) {
    propertiesUpToDate = false;
    AfxMessageBox(text);
    return false;
  }
  if (getShapesRecursive()->IsEmpty())
    return false;
  propertiesUpToDate = true;
  return true;
}

errMsg CSubSection::updateScnPrp(int method, bool b) {
  compute(isMultipleMaterials(), method, b);
  return errNone;
}

bool CSubSection::forceRecalcProperties() {
  propertiesUpToDate = false;
  return computeProperties();
}

void CSubSection::thickSectionProperties() {
  for (int id : {17, 18, 19, 120, 121, 122, 123, 124, 125})
    m_values[id] = 0.0;
  areaFirstMomentsCG();
  discontiguousInertias();
  radiusGyrations();
  elasticSectionModulii();
  lastComputationName = m_name;
  propertiesUpToDate = true;
}

void CSubSection::areaFirstMomentsCG() {
  double plastic[3] = {0.0, 0.0, 0.0};
  for (int id : kAreaSums)
    m_values[id] = 0.0;
  eachShape(*getShapesRecursive(), [&](CShapeAnalysis* s) {
    s->orient();
    s->areaProperties();
    for (int id : kAreaSums)
      m_values[id] += s->getValue(id);
    if (s->nPlastic() > 0.0)
      for (int k = 0; k < 3; ++k)
        plastic[k] += s->getValue(kPlasticSums[k]);
  });
  if (m_values[18] < 1e-10) {
    propertiesUpToDate = false;
    throw L"Section properties calculation failed: area is zero or negative ";
  }
  const double A = m_values[17];
  areaCentroid = Point<double>(m_values[120] / A, m_values[121] / A, 0.0);
  centroid = Point<double>(m_values[122] / m_values[18], m_values[123] / m_values[18], 0.0);
  // Without densities (or plastic weights) there is no such centroid: the
  // area centroid stands in for it rather than 0 / 0.
  densityCentroid = m_values[19] != 0.0 ? Point<double>(m_values[124] / m_values[19], m_values[125] / m_values[19], 0.0)
                                        : areaCentroid;
  referencePoint = plastic[0] > 0.0 ? Point<double>(plastic[1] / plastic[0], plastic[2] / plastic[0], 0.0) : areaCentroid;
}

void CSubSection::discontiguousInertias() {
  for (int id : kInertiaSums)
    m_values[id] = 0.0;
  for (int id : kDensityInertiaSums)
    m_values[id] = 0.0;
  for (int id : kYieldInertiaSums)
    m_values[id] = 0.0;
  const bool density = isDensityDefined();
  const bool yield = isFcyDefined();
  eachShape(*getShapesRecursive(), [&](CShapeAnalysis* s) {
    // Holes count, through their negative sign-corrected values. Only a
    // solid lying inside a hole that the union generated stays out: the
    // hole already removes that region.
    if (s->isPositiveInsideGeneratedNegative())
      return;
    s->centroidInertias(this);
    s->axesInertias();
    for (int id : kInertiaSums)
      m_values[id] += s->getValue(id);
    if (density)
      for (int id : kDensityInertiaSums)
        m_values[id] += s->getValue(id);
    if (yield)
      for (int id : kYieldInertiaSums)
        m_values[id] += s->getValue(id);
  });
  calcPrincipalAngle();
  calcIXXIYY();
  principalPropertiesThick();
  plasticValuesFromMesh();
}

void CSubSection::calcPrincipalAngle() {
  m_values[40] = principalAngleOf(m_values[74], m_values[76], m_values[75]);
  m_values[39] = principalAngleOf(m_values[60], m_values[62], m_values[61]);
  if (isDensityDefined())
    m_values[41] = principalAngleOf(m_values[66], m_values[68], m_values[67]);
  if (isFcyDefined())
    m_values[177] = principalAngleOf(m_values[178], m_values[179], m_values[180]);
  m_principalAngleE = m_values[40];
  m_principalAngleA = m_values[39];
  m_principalAngleM = m_values[41];
}

void CSubSection::calcIXXIYY() {
  auto principal = [](double angle, double xx, double xy, double yy, double* first, double* second) {
    double product = 0.0;
    transformMomentsOfInertia(angle, xx, xy, yy, first, &product, second);
    // What is left of the product must be rounding, relative to the moments.
    if (std::fabs(product) > 1e-9 * (std::fabs(xx) + std::fabs(yy) + std::fabs(xy)))
      throw std::logic_error("Transformation of moments of inertia failed");
  };
  principal(m_values[40], m_values[74], m_values[75], m_values[76], &m_values[141], &m_values[142]);
  principal(m_values[39], m_values[60], m_values[61], m_values[62], &m_values[145], &m_values[146]);
  m_IminE = std::min(m_values[141], m_values[142]);
  m_ImaxE = std::max(m_values[141], m_values[142]);
  m_IminA = std::min(m_values[145], m_values[146]);
  m_ImaxA = std::max(m_values[145], m_values[146]);
}

void CSubSection::radiusGyrations() {
  const double A = m_values[17];
  if (A < 1e-6)
    return;
  m_values[83] = std::sqrt(m_values[60] / A);
  m_values[85] = std::sqrt(m_values[62] / A);
}

void CSubSection::fiberBox(double angle, Point<double>* min, Point<double>* max) const {
  *min = Point<double>(1e20, 1e20, 0.0);
  *max = Point<double>(-1e20, -1e20, 0.0);
  auto widen = [&](const Point<double>& p) {
    const Point<double> q = turned(p - areaCentroid, -angle);
    min->x = std::min(min->x, q.x);
    min->y = std::min(min->y, q.y);
    max->x = std::max(max->x, q.x);
    max->y = std::max(max->y, q.y);
  };
  eachShape(*getShapesRecursive(), [&](const CShapeAnalysis* s) {
    if (s->isNegative())
      return;
    int n = 0;
    std::unique_ptr<Point<double>[]> samples(s->computePolygon(&n));
    for (int i = 0; i < n; ++i)
      widen(Point<double>(samples[i].x, samples[i].y, 0.0));
    std::vector<Point<double>> extremes;
    POSITION pos = s->boundary->arcs().GetHeadPosition();
    while (pos) {
      const Bspline* arc = s->boundary->arcs().GetNext(pos);
      widen(arc->startPoint());
      circleExtremes(*arc, angle, extremes);
    }
    for (const Point<double>& p : extremes)
      widen(p);
  });
}

void CSubSection::extremeFibersFromCG(Point<double>* min, Point<double>* max, bool principal) const {
  fiberBox(principal ? m_values[40] : 0.0, min, max);
}

void CSubSection::principalExtremeFibersFromCG(Point<double>* min, Point<double>* max) {
  const double angle = m_values[39];
  fiberBox(angle, min, max);
  principalFiber1 = areaCentroid + turned(*min, angle);
  principalFiber2 = areaCentroid + turned(*max, angle);
}

void CSubSection::elasticSectionModulii() {
  Point<double> lo, hi;
  extremeFibersFromCG(&lo, &hi, false);
  double cx = std::max(std::fabs(lo.x), std::fabs(hi.x));
  double cy = std::max(std::fabs(lo.y), std::fabs(hi.y));
  elasticModulusX = m_values[60] / cx;
  elasticModulusY = m_values[62] / cy;
  // The principal moments 145 and 146 are about the geometric principal
  // axes, so their fibres are measured along those axes too; the
  // modulus-weighted axes differ as soon as the materials do.
  fiberBox(m_values[39], &lo, &hi);
  cx = std::max(std::fabs(lo.x), std::fabs(hi.x));
  cy = std::max(std::fabs(lo.y), std::fabs(hi.y));
  elasticModulusXp = m_values[145] / cx;
  elasticModulusYp = m_values[146] / cy;
}

void CSubSection::principalPropertiesThick() {
  m_values[128] = 0.0;
  m_values[129] = 0.0;
  calcPlasticModulii(false);
  calcPlasticModulii(true);
}

double CSubSection::aspect() const {
  Point<double> lo, hi;
  extents(&lo, &hi, true);
  return (hi.y - lo.y) / (hi.x - lo.x);
}
