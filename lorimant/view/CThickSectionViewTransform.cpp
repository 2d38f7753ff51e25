// The section view's transformations of its picked shapes: mirror, rotate
// and translate, in place or as duplicates, each journalled as the
// automation call of the same name.
#include <cmath>
#include <stdexcept>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;
// Origins closer than this are the same place (as the sub-section's own test).
constexpr double kSamePlace = 1e-5;

// A name as the journal lines quote it.
CString text(const CString& s) { return JournalQuotedText(s); }

// Another shape of the sub-section's tree, of the kind, with its origin at p.
// The moving shape itself never counts: it leaves the place it is tested at.
bool otherShapeAt(const CSubSection* sub, const CShapeAnalysis* moving, const Point<double>& p) {
  if (sub == nullptr) return false;
  auto shapes = sub->getShapesRecursive();
  for (POSITION pos = shapes->GetHeadPosition(); pos != nullptr;) {
    const CShapeAnalysis* s = shapes->GetNext(pos);
    if (s == moving || s->kind != moving->kind || s->definingPoints.empty()) continue;
    const Point<double> o = s->origin();
    if (std::fabs(o.x - p.x) < kSamePlace && std::fabs(o.y - p.y) < kSamePlace) return true;
  }
  return false;
}

// A mirror axis needs a finite point and a normal with a direction: a
// normal too short to normalise would leave the shape in place with its
// boundary reversed (its area turned negative).
bool validMirrorAxis(const Point<double>& point, const Point<double>& normal) {
  return std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(normal.x) && std::isfinite(normal.y) &&
         std::hypot(normal.x, normal.y) >= 1e-12;
}

constexpr const wchar_t* kBadMirrorAxis = L"The mirror axis has no direction";

// A copy made by a move that changes nothing would lie exactly on its
// original; the original is not counted by otherShapeAt, so these are
// refused on their own.
bool wholeTurn(double degrees) { return std::fabs(std::remainder(degrees, 360.0)) < 1e-9; }
bool noDisplacement(const Point<double>& v) { return std::fabs(v.x) < kSamePlace && std::fabs(v.y) < kSamePlace; }

// Polygons and unions have no defining points, hence no origin: nothing
// can already stand at the place they move to.
bool hasOrigin(const CShapeAnalysis* shape) { return !shape->definingPoints.empty(); }

}  // namespace

void CThickSectionView::rotatePoint(Point<double>& p, const Point<double>& centre, double degrees) {
  const double a = degrees * kDegreesToRadians;
  const double dx = p.x - centre.x;
  const double dy = p.y - centre.y;
  p = Point<double>(centre.x + dx * std::cos(a) - dy * std::sin(a), centre.y + dx * std::sin(a) + dy * std::cos(a),
                    p.z);
}

void CThickSectionView::journal(const wchar_t* line) {
  if (m_document == nullptr) return;
  if (line != nullptr) gLogMsg = line;
  m_document->LogIt();
}

void CThickSectionView::mirrorShape(CShapeAnalysis* shape, bool duplicate, Point<double> point, Point<double> normal) {
  if (!validMirrorAxis(point, normal)) throw std::invalid_argument("The mirror axis has no direction");
  if (duplicate) {
    CString name = nameGen();
    model()->MirrorDuplicate(shape, point, normal, name);
    gLogMsg.Format(L"xscn.MirrorDuplicate \"%s\", \"%s\",%g,%g,%g,%g", text(shape->name()), text(name), point.x,
                   point.y, normal.x, normal.y);
    journal();
    return;
  }
  gLogMsg.Format(L"xscn.MirrorShape \"%s\", %g,%g,%g,%g", text(shape->name()), point.x, point.y, normal.x,
                 normal.y);
  journal();
  shape->mark = true;  // the mirrored flag
  shape->mirror(&point, &normal);
}

bool CThickSectionView::rotateShape(CShapeAnalysis* shape, bool duplicate, double cx, double cy, double degrees) {
  CXSectionAnalysis* m = model();
  if (duplicate && wholeTurn(degrees)) return false;
  if (hasOrigin(shape)) {
    Point<double> target = shape->origin();
    rotatePoint(target, Point<double>(cx, cy, 0.0), degrees);
    if (otherShapeAt(m->currentSubSection(), shape, target)) return false;
  }
  if (duplicate) {
    const CString name = nameGen();
    m->rotateDuplicateShapeOrSubSection(shape, name, cx, cy, degrees);
    gLogMsg.Format(L"xscn.RotateDuplicateShape \"%s\", \"%s\", %g,%g,%g", text(shape->name()), text(name), cx, cy,
                   degrees);
    journal();
    return true;
  }
  gLogMsg.Format(L"xscn.RotateShape \"%s\", %g,%g,%g", text(shape->name()), cx, cy, degrees);
  journal();
  Point<double> centre(cx, cy, 0.0);
  shape->rotate(&centre, degrees);
  return true;
}

bool CThickSectionView::translateShape(CShapeAnalysis* shape, Point<double> v, bool duplicate) {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m->currentSubSectionMutable();
  if (duplicate && noDisplacement(v)) return false;
  if (hasOrigin(shape)) {
    const Point<double> o = shape->origin();
    if (otherShapeAt(sub, shape, Point<double>(o.x + v.x, o.y + v.y, o.z))) return false;
  }
  if (duplicate) {
    CShapeAnalysis* copy = sub->translateDuplicateShape(shape, nameGen(), &v);
    CSubSection* owner = shape->subSection();
    if (owner != nullptr && owner->isFormedOrExtrudedSection())
      m->createSubSection(owner, copy);
    else
      m->addShapeToLists(sub, copy);
    gLogMsg.Format(L"xscn.TranslateDuplicateShape \"%s\",\"%s\",%g,%g", text(shape->name()), text(copy->name()), v.x,
                   v.y);
    journal();
    return true;
  }
  shape->translate(&v);
  gLogMsg.Format(L"xscn.TranslateShape \"%s\",%g,%g", text(shape->name()), v.x, v.y);
  journal();
  return true;
}

void CThickSectionView::finishTransform(bool changed) {
  ClearPicks();
  if (m_rebuildAfterTransform) RebuildAndRedraw();
  if (changed && m_document != nullptr) m_document->ModelChanged();
}

void CThickSectionView::mirrorPicked(bool duplicate, Point<double> point, Point<double> normal) {
  if (model() == nullptr) return;
  if (!validMirrorAxis(point, normal)) {
    showMessage(kBadMirrorAxis, L"Transformations", MB_OK | MB_ICONINFORMATION);
    return;
  }
  m_stationDisplay = 0;
  bool complete = true;
  const std::vector<CShapeAnalysis*> shapes = pickedShapes(&complete);
  for (CShapeAnalysis* s : shapes) mirrorShape(s, duplicate, point, normal);
  // An entry without a record ends the walk: the picks stay, no change routine.
  if (!complete) return;
  finishTransform(true);
}

void CThickSectionView::rotatePicked(bool duplicate, double cx, double cy, double degrees) {
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  const CSubSection* sub = m->currentSubSection();
  if (sub != nullptr && !sub->meshes.empty()) {
    showMessage(L"Mesh must be deleted before a shape may be rotated", L"Transformations",
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  m_stationDisplay = 0;
  bool changed = false;
  for (CShapeAnalysis* s : pickedShapes()) changed = rotateShape(s, duplicate, cx, cy, degrees) || changed;
  finishTransform(changed);
}

void CThickSectionView::translatePicked(Point<double> v, bool duplicate) {
  if (model() == nullptr) return;
  m_stationDisplay = 0;
  bool changed = false;
  for (CShapeAnalysis* s : pickedShapes()) changed = translateShape(s, v, duplicate) || changed;
  finishTransform(changed);
}
