// The polygon point-set dialog.
#include "lorimant/shapes/CPointSet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/ViewPrompts.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;
// Corners closer than this are one corner (as the replayed fit counts them).
constexpr double kSameCorner = 1e-5;

const wchar_t* const kPolygonError = L"Polyon Error";

// A coordinate as the list keeps it: in single precision, "%g".
CString rowText(double value) {
  CString text;
  text.Format(L"%g", static_cast<double>(static_cast<float>(value)));
  return text;
}

// A row's text read back as "%lf" reads it (0 when it holds no number).
double rowValue(const CString& text) {
  double value = 0.0;
  const CStringA narrow(text);
  if (std::sscanf(narrow.GetString(), "%lf", &value) != 1) return 0.0;
  return value;
}

// The buttons whose state follows the rows and the selection.
constexpr int kButtons[] = {CPointSet::IDC_CLEAR, CPointSet::IDC_ADD_DELTA, CPointSet::IDC_EDIT,
                            CPointSet::IDC_DELETE, CPointSet::IDC_ADD};

}  // namespace

CPointSet::CPointSet(CThickSectionView& view) : ModelessDialogLogic(IDD, L"POLYGON SHAPE", view) {
  takeViewPoints();
  m_layout.enable(IDC_DELETE, false);
}

void CPointSet::show() {
  if (window() == nullptr) {
    if (!m_editing) {
      m_rows.clear();
      m_negative = 0;
      m_name = nameGen();
    }
    m_selected.clear();
    for (int id : kButtons) m_layout.enable(id, true);
    m_layout.enable(IDC_DELETE, false);
    if (CXSectionAnalysis* model = view().model())
      if (const CSubSection* sub = model->currentSubSection()) sub->verifyAllShapes();
  }
  ModelessDialogLogic::show();
  refreshWindow();
}

void CPointSet::OpenForEdit(CShapeAnalysis* shape) {
  if (shape == nullptr) return;
  const bool open = window() != nullptr;
  m_editing = true;
  m_editedName = shape->name();
  m_name = shape->name();
  m_negative = shape->isNegative() ? 1 : 0;
  m_rows.clear();
  m_selected.clear();
  // The corners as the outline has them now: each edge's first point.
  for (POSITION pos = shape->boundary->arcs().GetHeadPosition(); pos != nullptr;) {
    const Point<double> p = shape->boundary->arcs().GetNext(pos)->startPoint();
    appendPoint(p.x, p.y);
  }
  show();
  if (open) UpdateData(FALSE);
}

void CPointSet::closed() {
  // The view's wrapper: the dialog forgets what it was editing.
  m_editing = false;
  m_editedName.Empty();
  m_rows.clear();
  m_selected.clear();
}

void CPointSet::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_DELTA_X, m_deltaX);
  DDX_Text(pDX, IDC_DELTA_Y, m_deltaY);
  DDX_Text(pDX, IDC_NAME, m_name);
  DDX_Check(pDX, IDC_NEGATIVE, m_negative);
  DDX_Text(pDX, IDC_DISTANCE, m_distance);
  DDX_Text(pDX, IDC_ANGLE, m_angle);
}

void CPointSet::OnCommand(UINT id) {
  switch (id) {
    case IDC_ADD: OnAddPoint(); break;
    case IDC_EDIT: OnEditPoint(); break;
    case IDC_DELETE: OnDeletePoints(); break;
    case IDC_CLEAR: OnClear(); break;
    case IDC_ADD_DELTA: OnAddDelta(); break;
    case IDC_ADD_POLAR: OnAddPolar(); break;
    default: break;
  }
}

// ---- the list ----

void CPointSet::appendPoint(double x, double y) { m_rows.push_back(Row{rowText(x), rowText(y)}); }

Point<double> CPointSet::rowPoint(std::size_t row) const {
  return Point<double>(rowValue(m_rows.at(row)[0]), rowValue(m_rows.at(row)[1]), 0.0);
}

void CPointSet::updateButtons() {
  // CLEAR and the delta "Add Point" come on with the first row and stay on.
  if (!m_rows.empty()) {
    m_layout.enable(IDC_CLEAR, true);
    m_layout.enable(IDC_ADD_DELTA, true);
  }
  const std::size_t selected = m_selected.size();
  m_layout.enable(IDC_EDIT, selected == 1);
  m_layout.enable(IDC_ADD, selected <= 1);
  m_layout.enable(IDC_DELETE, selected >= 1);
  refreshWindow();
}

void CPointSet::refreshWindow() {
  // A selection past the rows means nothing.
  while (!m_selected.empty() && *m_selected.rbegin() >= static_cast<int>(m_rows.size()))
    m_selected.erase(std::prev(m_selected.end()));
  if (auto* w = dynamic_cast<DialogLayoutWindow*>(window())) w->layoutChanged();
}

void CPointSet::checkOrientation() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  if (m_rows.size() < 3) return;
  const Point<double> p0 = rowPoint(0), p1 = rowPoint(1), p2 = rowPoint(2);
  const Point<double> d1 = p1 - p0, d2 = p2 - p1;
  if (d1.x * d2.y - d1.y * d2.x < 0.0)
    message(L"Polygon must be defined in counterclockwise order", L"Counter clockwise check", MB_OK | MB_ICONSTOP);
}

// ---- buttons ----

void CPointSet::OnAddPoint() {
  ViewPrompts* prompts = view().prompts();
  double x = 0.0, y = 0.0;
  if (prompts == nullptr || !prompts->askPoint(x, y)) return;
  appendPoint(x, y);
  updateButtons();
  checkOrientation();
}

void CPointSet::OnEditPoint() {
  if (m_selected.empty()) return;
  const std::size_t row = static_cast<std::size_t>(*m_selected.begin());
  ViewPrompts* prompts = view().prompts();
  const Point<double> p = rowPoint(row);
  double x = p.x, y = p.y;
  if (prompts != nullptr && prompts->askPoint(x, y)) m_rows[row] = Row{rowText(x), rowText(y)};
  updateButtons();
  checkOrientation();
}

void CPointSet::OnDeletePoints() {
  for (auto it = m_selected.rbegin(); it != m_selected.rend(); ++it)
    m_rows.erase(m_rows.begin() + *it);
  m_selected.clear();
  updateButtons();
}

void CPointSet::OnClear() {
  m_rows.clear();
  m_selected.clear();
  updateButtons();
}

void CPointSet::OnAddDelta() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  if (!m_rows.empty()) {
    const Point<double> last = rowPoint(m_rows.size() - 1);
    appendPoint(last.x + m_deltaX, last.y + m_deltaY);
  }
  updateButtons();
  checkOrientation();
}

void CPointSet::OnAddPolar() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  if (!m_rows.empty()) {
    const Point<double> last = rowPoint(m_rows.size() - 1);
    const double a = m_angle * kDegreesToRadians;
    appendPoint(last.x + m_distance * std::cos(a), last.y + m_distance * std::sin(a));
  }
  updateButtons();
}

void CPointSet::pointPicked(Point<double> location) {
  if (window() != nullptr) UpdateData(TRUE);
  appendPoint(location.x, location.y);
  refreshWindow();
  UpdateData(FALSE);
}

// ---- OK ----

bool CPointSet::cornersToBuild(std::vector<Point<double>>& corners) {
  corners.clear();
  for (std::size_t i = 0; i < m_rows.size(); ++i) corners.push_back(rowPoint(i));
  // Three distinct corners at least, or the polygon encloses nothing and
  // its journal would not replay.
  std::vector<Point<double>> distinct;
  for (const Point<double>& p : corners) {
    if (distinct.size() == 3) break;
    const auto near = [&](const Point<double>& q) { return (p - q).length() <= kSameCorner; };
    if (std::none_of(distinct.begin(), distinct.end(), near)) distinct.push_back(p);
  }
  if (distinct.size() < 3) {
    message(L"Number of points must be > 2.", kPolygonError, MB_OK | MB_ICONSTOP);
    return false;
  }
  for (const Point<double>& p : corners)
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
      message(L"Invalid polygon point", kPolygonError, MB_OK | MB_ICONSTOP);
      return false;
    }
  return true;
}

void CPointSet::OnOK() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  CXSectionAnalysisDoc* doc = document();
  CXSectionAnalysis* model = view().model();
  if (doc == nullptr || model == nullptr) return;
  if (const CSubSection* sub = model->currentSubSection()) sub->verifyAllShapes();
  view().EnsureRootSubSection();
  CSubSection* sub = model->currentSubSectionMutable();
  std::vector<Point<double>> corners;
  if (sub == nullptr || !cornersToBuild(corners)) return;
  CString trimmed = m_name;
  if (trimmed.Trim().IsEmpty()) m_name = nameGen();
  // The polygon being edited, when it is still in the model.
  CShapeAnalysis* old = m_editing ? model->findShape(m_editedName) : nullptr;
  const CShapeAnalysis* holder = model->findShape(m_name);
  if (holder != nullptr && holder != old) {
    message(L"Name for object must be unique", kPolygonError, MB_OK | MB_ICONSTOP);
    return;
  }
  if (old != nullptr) {
    if (CSubSection* owner = old->subSection()) owner->removeShapeDots(old);
    gLogMsg.Format(L"xscn.DeleteShape \"%s\"", static_cast<const wchar_t*>(JournalQuotedText(old->name())));
    doc->LogIt();
    model->deleteShape(old->name());
    view().ClearPicks();
  }
  m_editing = false;
  m_editedName.Empty();
  // Built as the automation's LinearFit builds it, so that the journal
  // replays to the same polygon.
  auto shape = std::make_unique<CShapeAnalysis>(model);
  shape->polygon(sub, m_name, corners.data(), static_cast<int>(corners.size()), m_negative != 0 ? 1 : 0,
                 doc->journal());
  shape.release()->orient();
  CloseDialog();
  view().RebuildAndRedraw();
  sub->verifyAllShapes();
  doc->ModelChanged();
}
