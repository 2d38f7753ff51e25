// The section view's construction-point commands (Keyin Location, Add Pts
// Between, Pt At Distance, Pts At Radius, Delete Pts) and the measurements
// of picked points shown as status texts.
#include <cmath>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;
constexpr double kDegreesToRadians = 0.017453292519943295;
// More points than this between two picks is no construction but a hang.
constexpr double kMaxPoints = 10000.0;
constexpr const wchar_t* kPointCountRefusal = L"The number of points must be from 1 to 10000.";

// The counter-clockwise angle of v from the positive x axis, in degrees.
double angleOf(const Point<double>& v) { return std::atan2(v.y, v.x) * kRadiansToDegrees; }

// The unit direction from a to b; the difference itself when it is too
// short to have a direction.
Point<double> directionBetween(const Point<double>& a, const Point<double>& b) {
  Point<double> d(b.x - a.x, b.y - a.y, 0.0);
  const double length = std::hypot(d.x, d.y);
  if (length >= 1e-12) d = Point<double>(d.x / length, d.y / length, 0.0);
  return d;
}

// A whole number of turns (not none) spans the circle once: its last
// point would fall on its first.
bool wholeTurn(double span) { return std::fabs(span) > 1e-9 && std::fabs(std::remainder(span, 360.0)) < 1e-9; }

}  // namespace

std::vector<PickedDot> CThickSectionView::pickedDots() const {
  std::vector<PickedDot> dots;
  CXSectionAnalysis* m = model();
  for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetNext(pos));
    if (r == nullptr || !(r->type & SectionRecord::kDot) || r->object == nullptr) continue;
    const auto* dot = static_cast<const CDot*>(r->object);
    PickedDot picked{dot->location, nullptr};
    // The owning shape: the dot's client when the model holds it as a shape.
    if (m != nullptr && dot->client != nullptr)
      for (POSITION s = m->shapes.GetHeadPosition(); s != nullptr;) {
        CShapeAnalysis* shape = m->shapes.GetNext(s);
        if (shape == dot->client) picked.shape = shape;
      }
    dots.push_back(picked);
  }
  return dots;
}

void CThickSectionView::addJournalledPoint(CSubSection* sub, double x, double y) {
  sub->addConstructionPoint(x, y);
  gLogMsg.Format(L"xscn.AddPoint \"%s\",%g,%g", JournalQuotedText(sub->name()), x, y);
  journal();
}

void CThickSectionView::OnKeyinLocation() {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr) return;
  ViewPrompts* ask = prompts();
  double x = 0.0, y = 0.0;
  if (ask != nullptr && ask->askPoint(x, y) && std::isfinite(x) && std::isfinite(y)) {
    // A point needs a sub-section to belong to.
    EnsureRootSubSection();
    if (CSubSection* sub = m->currentSubSectionMutable()) addJournalledPoint(sub, x, y);
  }
  ClearPicks();
  m_document->ModelChanged();
  RebuildAndRedraw();
  fullView();
}

void CThickSectionView::OnAddPointsBetween() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  ViewPrompts* ask = prompts();
  if (sub == nullptr || m_document == nullptr || ask == nullptr) return;
  double count = 1.0;
  if (!ask->askValue(L"How many points?", count)) return;
  // NaN and huge counts have no integer; a billion points hang the program.
  if (!(count >= 1.0 && count < kMaxPoints + 1.0)) {
    showMessage(kPointCountRefusal, L"Add Pts Between", MB_OK | MB_ICONINFORMATION);
    return;
  }
  const int n = static_cast<int>(count);
  Point<double> p1, p2;
  if (!twoPickedDots(&p1, &p2, nullptr)) return;
  const Point<double> d = directionBetween(p1, p2);
  const double step = std::hypot(p2.x - p1.x, p2.y - p1.y) / (n + 1);
  for (int k = 0; k < n; ++k)
    addJournalledPoint(sub, p1.x + step * (k + 1) * d.x, p1.y + step * (k + 1) * d.y);
  ClearPicks();
  m_document->ModelChanged();
  RebuildAndRedraw();
}

void CThickSectionView::OnPointAtDistance() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  ViewPrompts* ask = prompts();
  if (sub == nullptr || m_document == nullptr || ask == nullptr) return;
  double distance = 0.0;
  if (!ask->askValue(L"Distance From First Point Along Vector", distance)) return;
  if (!std::isfinite(distance)) {
    showMessage(L"The distance must be a finite number.", L"Pt At Distance", MB_OK | MB_ICONINFORMATION);
    return;
  }
  Point<double> p1, p2;
  if (!twoPickedDots(&p1, &p2, nullptr)) return;
  const Point<double> d = directionBetween(p1, p2);
  addJournalledPoint(sub, p1.x + distance * d.x, p1.y + distance * d.y);
  ClearPicks();
  m_document->ModelChanged();
  RebuildAndRedraw();
}

void CThickSectionView::OnPointsAtRadius() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  ViewPrompts* ask = prompts();
  const std::vector<PickedDot> dots = pickedDots();
  if (sub == nullptr || m_document == nullptr || ask == nullptr || dots.size() != 1) return;
  PointsAtAngles circle;
  if (!ask->pointsAtAngles(circle)) return;
  if (circle.points < 1 || circle.points > kMaxPoints) {
    showMessage(kPointCountRefusal, L"Pts At Radius", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!std::isfinite(circle.radius) || !std::isfinite(circle.start) || !std::isfinite(circle.end)) return;
  const Point<double> centre = dots.front().location;
  const double span = circle.end - circle.start;
  const int n = circle.points;
  const double step = wholeTurn(span) ? span / n : (n > 1 ? span / (n - 1) : 0.0);
  for (int k = 0; k < n; ++k) {
    const double a = (circle.start + step * k) * kDegreesToRadians;
    addJournalledPoint(sub, centre.x + circle.radius * std::cos(a), centre.y + circle.radius * std::sin(a));
  }
  ClearPicks();
  m_document->ModelChanged();
  RebuildAndRedraw();
}

void CThickSectionView::OnDeletePoints() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr || m_document == nullptr) return;
  // The picks go first: a picked point's record must not outlive it.
  ClearPicks();
  for (CDot* point : sub->constructionPoints) delete point;
  sub->constructionPoints.clear();
  journal(L"xscn.DeleteConstructionPoints");
  m_document->ModelChanged();
  RebuildAndRedraw();
  fullView();
}

// ---- measurements ----

void CThickSectionView::OnDistance2Points() {
  Point<double> a, b;
  if (!twoPickedDots(&a, &b, nullptr)) return;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double squared = dx * dx + dy * dy;
  CString text;
  text.Format(L"Distance %g", squared < 1e-40 ? 0.0 : std::sqrt(squared));
  setStatus(text);
}

void CThickSectionView::OnDeltas2Points() {
  Point<double> a, b;
  if (!twoPickedDots(&a, &b, nullptr)) return;
  CString text;
  text.Format(L"Delta x: %g  Delta y: %g ", b.x - a.x, b.y - a.y);
  setStatus(text);
}

void CThickSectionView::OnAngle2Points() {
  Point<double> a, b;
  if (!twoPickedDots(&a, &b, nullptr)) return;
  CString text;
  text.Format(L"Angle in degrees: %g", angleOf(Point<double>(b.x - a.x, b.y - a.y, 0.0)));
  setStatus(text);
}

void CThickSectionView::OnAngle3Points() {
  const std::vector<PickedDot> dots = pickedDots();
  if (dots.size() < 3) return;
  const Point<double>& a = dots[0].location;
  const Point<double>& b = dots[1].location;
  const Point<double>& c = dots[2].location;
  double angle = std::fabs(angleOf(Point<double>(a.x - b.x, a.y - b.y, 0.0)) -
                           angleOf(Point<double>(c.x - b.x, c.y - b.y, 0.0)));
  if (angle > 180.0) angle = 360.0 - angle;
  CString text;
  text.Format(L"Angle in degrees: %g", angle);
  setStatus(text);
  auto* shapeDialog = dynamic_cast<SectionDialog*>(m_basicShapeDialog);
  if (shapeDialog != nullptr && m_document != nullptr && m_document->IsModelessDialogOpen(shapeDialog))
    shapeDialog->clearPickFields();
}
