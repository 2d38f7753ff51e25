// The profile dialogs: opening, cells, picks, Apply, OK and Cancel.
#include "lorimant/shapes/CFormedExtrudedDlg.h"

#include <cmath>

#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;
constexpr double kNoDistance2 = 1e-40;  // a squared distance below this is no distance

double degreesOf(Point<double> v) { return counterClockwiseAngle(&v) * kRadiansToDegrees; }

bool isBlank(CString text) { return text.Trim().IsEmpty(); }

}  // namespace

CFormedExtrudedDlg::CFormedExtrudedDlg(const ProfileMember& member, CThickSectionView& view)
    : ModelessDialogLogic(member.templateId, member.caption, view), m_member(member) {
  for (const ProfileCell& c : member.dimensions) m_dimensions.push_back(c.defaultValue);
  for (const ProfileCell& c : member.trailing) m_trailing.push_back(c.defaultValue);
  std::vector<CString> points;
  for (int i = 1; i <= member.pointCount; ++i) {
    CString item;
    item.Format(L"%d", i);
    points.push_back(item);
  }
  m_layout.setItems(IDC_ORIGIN, points);
  m_layout.setItems(IDC_DIRECTION, points);
}

std::vector<int> CFormedExtrudedDlg::numberCells() const {
  std::vector<int> ids;
  for (const ProfileCell& c : m_member.dimensions) ids.push_back(c.id);
  for (const ProfileCell& c : m_member.trailing) ids.push_back(c.id);
  return ids;
}

std::vector<int> CFormedExtrudedDlg::inputCells() const {
  std::vector<int> ids = numberCells();
  ids.insert(ids.end(), {IDC_X, IDC_Y, IDC_ROTATION});
  return ids;
}

// ---- opening ----

void CFormedExtrudedDlg::clearPickFields() {
  m_firstPick.reset();
  m_secondPick.reset();
}

void CFormedExtrudedDlg::show() {
  if (!m_named && !m_applied) m_name = nameGen();
  m_named = true;
  const bool fresh = window() == nullptr;
  ModelessDialogLogic::show();
  if (!fresh || window() == nullptr) return;
  m_currentCell = -1;
  clearPickFields();
  window()->controls().SetText(IDC_UNITS, gUnitSystem == 0 ? L"CM" : L"IN");
}

void CFormedExtrudedDlg::OpenForEdit(const CString& name, const std::vector<double>& dimensions,
                                     const std::vector<double>& trailing, int originPoint, int directionPoint,
                                     double x, double y, double rotation) {
  for (std::size_t i = 0; i < m_dimensions.size() && i < dimensions.size(); ++i) m_dimensions[i] = dimensions[i];
  for (std::size_t i = 0; i < m_trailing.size() && i < trailing.size(); ++i) m_trailing[i] = trailing[i];
  m_originPoint = originPoint;
  m_directionPoint = directionPoint;
  m_originX = x;
  m_originY = y;
  m_rotation = rotation;
  m_name = name;
  m_named = true;
  m_appliedName = name;
  m_applied = true;
  show();
  UpdateData(FALSE);
}

void CFormedExtrudedDlg::closed() {
  m_currentCell = -1;
  m_lastPickedCell = 0;
  clearPickFields();
  view().profileDialogFinished(this);
}

// ---- cells and picks ----

double* CFormedExtrudedDlg::valueOf(int cell) {
  for (std::size_t i = 0; i < m_member.dimensions.size(); ++i)
    if (m_member.dimensions[i].id == cell) return &m_dimensions[i];
  for (std::size_t i = 0; i < m_member.trailing.size(); ++i)
    if (m_member.trailing[i].id == cell) return &m_trailing[i];
  switch (cell) {
    case IDC_X: return &m_originX;
    case IDC_Y: return &m_originY;
    case IDC_ROTATION: return &m_rotation;
    default: return nullptr;
  }
}

void CFormedExtrudedDlg::SetCurrentCell(int id) {
  if (id == m_currentCell || valueOf(id) == nullptr) return;
  m_currentCell = id;
  clearPickFields();
  view().ClearPicks();
  m_emptiedText.Empty();
  if (id == m_lastPickedCell || window() == nullptr) return;
  CDialogControls& c = window()->controls();
  m_emptiedText = c.GetText(id);
  c.SetText(id, CString());
}

void CFormedExtrudedDlg::cellLeft(int id) {
  if (window() == nullptr || id != m_currentCell || m_emptiedText.IsEmpty()) return;
  CDialogControls& c = window()->controls();
  // A cell its focus emptied and left empty keeps its value.
  if (isBlank(c.GetText(id))) c.SetText(id, m_emptiedText);
}

void CFormedExtrudedDlg::afterPickResult() {
  m_currentCell = -1;
  m_emptiedText.Empty();
  clearPickFields();
  UpdateData(FALSE);
}

void CFormedExtrudedDlg::pointPicked(Point<double> p) {
  double* value = valueOf(m_currentCell);
  if (value == nullptr) return;
  if (window() != nullptr) {
    window()->controls().SetText(m_currentCell, L"0");
    UpdateData(TRUE);
  }
  m_emptiedText.Empty();
  m_lastPickedCell = m_currentCell;
  if (m_currentCell == IDC_X || m_currentCell == IDC_Y) {
    m_originX = p.x;
    m_originY = p.y;
    afterPickResult();
    return;
  }
  const bool angle = m_currentCell == IDC_LOWER_ANGLE || m_currentCell == IDC_UPPER_ANGLE;
  if (!m_firstPick) {
    m_firstPick = p;
    return;
  }
  if (angle && !m_secondPick) {
    m_secondPick = p;
    return;
  }
  if (angle) {
    // The second pick is the vertex; the angle between the legs, in [0, 180].
    double a = std::fabs(degreesOf(p - *m_secondPick) - degreesOf(*m_firstPick - *m_secondPick));
    if (a > 180.0) a = 360.0 - a;
    *value = a;
  } else if (m_currentCell == IDC_ROTATION) {
    *value = degreesOf(p - *m_firstPick);
  } else {
    const Point<double> d = p - *m_firstPick;
    const double d2 = d.x * d.x + d.y * d.y;
    *value = d2 < kNoDistance2 ? 0.0 : std::sqrt(d2);
  }
  afterPickResult();
}

// ---- data exchange and buttons ----

void CFormedExtrudedDlg::DoDataExchange(CDataExchange* pDX) {
  for (std::size_t i = 0; i < m_member.dimensions.size(); ++i) DDX_Text(pDX, m_member.dimensions[i].id, m_dimensions[i]);
  for (std::size_t i = 0; i < m_member.trailing.size(); ++i) DDX_Text(pDX, m_member.trailing[i].id, m_trailing[i]);
  DDX_Text(pDX, IDC_X, m_originX);
  DDX_Text(pDX, IDC_Y, m_originY);
  DDX_Text(pDX, IDC_ROTATION, m_rotation);
  DDX_Text(pDX, IDC_NAME, m_name);
  DDX_CBIndex(pDX, IDC_ORIGIN, m_originPoint);
  DDX_CBIndex(pDX, IDC_DIRECTION, m_directionPoint);
}

std::vector<double> CFormedExtrudedDlg::builderValues() const {
  std::vector<double> values = m_dimensions;
  values.insert(values.end(), {static_cast<double>(m_originPoint), static_cast<double>(m_directionPoint), m_originX,
                               m_originY, m_rotation});
  values.insert(values.end(), m_trailing.begin(), m_trailing.end());
  return values;
}

void CFormedExtrudedDlg::OnCommand(UINT id) {
  if (static_cast<int>(id) == m_member.applyId) OnApply();
}

bool CFormedExtrudedDlg::readControls() { return window() == nullptr || UpdateData(TRUE); }

void CFormedExtrudedDlg::OnApply() {
  if (!readControls() || !build()) return;
  m_applied = true;
  view().RebuildAndRedraw();
  m_appliedName = m_name;
  m_currentCell = -1;
  m_lastPickedCell = 0;
  clearPickFields();
}

void CFormedExtrudedDlg::OnOK() {
  if (!readControls() || !build()) return;
  m_currentCell = -1;
  m_lastPickedCell = 0;
  CloseDialog();
}

void CFormedExtrudedDlg::OnCancel() {
  m_currentCell = -1;
  m_lastPickedCell = 0;
  CloseDialog();
}
