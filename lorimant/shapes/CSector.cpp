// The basic-shape dialog: opening, layout, cells and picks.
#include "lorimant/shapes/CSector.h"

#include <cmath>
#include <iterator>

#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/DigitGrouping.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;
// A squared distance below this is no distance.
constexpr double kNoDistance2 = 1e-40;

constexpr SectorKind kKinds[] = {
    {qhtShapeSector, L"qhtShapeSector", {L"Radius", L"", L"", L"Sweep", L""}, 1103},
    {qhtShapeSectorChord, L"qhtShapeSectorChord", {L"Radius", L"LegLength", L"", L"", L""}, 1105},
    {qhtShapeFillet, L"qhtShapeFillet", {L"Radius", L"", L"", L"Sweep", L""}, 1035},
    {qhtShapeTriangle, L"qhtShapeTriangle", {L"Base", L"Offset", L"Height", L"", L""}, 1127},
    {qhtShapeParallelogram, L"qhtShapeParallelogram", {L"Base", L"Height", L"", L"Ang1", L"Ang2"}, 1056},
    {qhtShapeRectangle, L"qhtShapeRectangle", {L"Width", L"Height", L"", L"", L""}, 1059},
    {qhtShapeDisk, L"qhtShapeDisk", {L"Radius", L"", L"", L"", L""}, 1029},
    {qhtShapeAnnulus, L"qhtShapeAnnulus", {L"Radius", L"Width", L"", L"Sweep", L""}, 976},
    {qhtShapeBlend, L"qhtShapeBlend", {L"Radius", L"Length", L"", L"Sweep", L""}, 0},
};

// The direction of v in degrees, counter-clockwise from +x, in [0, 360).
double degreesOf(Point<double> v) { return counterClockwiseAngle(&v) * kRadiansToDegrees; }

bool isBlank(CString text) { return text.Trim().IsEmpty(); }

}  // namespace

CSector::CSector(CThickSectionView& view) : ModelessDialogLogic(IDD, L"Basic Shapes", view) {
  takeViewPoints();
  setHasShape(false);
}

const SectorKind* CSector::kindRow(int kind) {
  for (const SectorKind& k : kKinds)
    if (k.kind == kind) return &k;
  return nullptr;
}

int CSector::pointCount(int kind) { return CShapeAnalysis::nSectorPoints(static_cast<ShapeType>(kind)); }

// ---- opening ----

void CSector::resetEditState() {
  setHasShape(false);
  m_shapeName.Empty();
}

void CSector::clearPickFields() {
  m_firstPick.reset();
  m_secondPick.reset();
}

void CSector::resetValues() {
  // What a new window starts from: its creation zeroes everything, its
  // initialisation gives the lengths 1 and the two kinds with angles 90.
  m_rotation = 0.0;
  m_angle1 = m_angle2 = 0.0;
  if (m_kind == qhtShapeParallelogram || m_kind == qhtShapeAnnulus) m_angle1 = m_angle2 = 90.0;
  m_originX = m_originY = 0.0;
  m_negative = 0;
  m_value1 = m_value2 = m_value3 = 1.0;
  m_name.Empty();
  m_currentCell = 0;
  m_emptiedText.Empty();
  clearPickFields();
}

void CSector::show() {
  if (window() != nullptr) {
    ModelessDialogLogic::show();
    return;
  }
  resetValues();
  m_name = m_hasShape ? m_shapeName : nameGen();
  ModelessDialogLogic::show();
  if (window() != nullptr) window()->controls().SetText(IDC_UNITS, gUnitSystem == 0 ? L"CM" : L"IN");
  SetupForKind();
}

void CSector::OpenForNew() {
  resetEditState();
  show();
}

void CSector::OpenForEdit(int kind, CShapeAnalysis* shape) {
  if (shape == nullptr) return;
  m_kind = kind;
  if (window() == nullptr) show();
  if (CXSectionAnalysisDoc* doc = document()) doc->RegisterModelessDialog(this);
  m_shapeName = shape->name();
  setHasShape(true);
  loadFromShape(shape);
  SetupForKind();
}

void CSector::loadFromShape(CShapeAnalysis* shape) {
  shape->getSectorArgs();
  const ShapeSectorArgs& a = *shape->sectorArgs;
  m_name = shape->name();
  m_kind = a.kind;
  m_value1 = a.dim1;
  m_value2 = a.dim2;
  m_value3 = a.dim3;
  // A blend keeps the directions of its two legs: its sweep lies between them.
  m_angle1 = a.kind == qhtShapeBlend ? std::fmod(a.dim5 - a.dim4 + 360.0, 360.0) : a.dim4;
  m_angle2 = a.dim5;
  const Point<double> origin = shape->origin();
  m_originX = origin.x;
  m_originY = origin.y;
  // A disk has no direction; its hole flag is its own all the same.
  m_negative = a.isHole;
  if (a.kind == qhtShapeDisk) return;
  m_rotation = degreesOf(shape->direction());
  m_originPoint = a.originNumber - 1;
  m_directionPoint = a.directionNumber - 1;
}

void CSector::SetupForKind() {
  const SectorKind* row = kindRow(m_kind);
  if (row == nullptr) return;
  const int points = pointCount(m_kind);
  std::vector<CString> items;
  for (int i = 1; i <= points; ++i) {
    CString item;
    item.Format(L"%d", i);
    items.push_back(item);
  }
  m_layout.setItems(IDC_ORIGIN, items);
  m_layout.setItems(IDC_DIRECTION, items);
  const bool disk = m_kind == qhtShapeDisk;
  if (window() != nullptr) {
    CDialogControls& c = window()->controls();
    for (int i = 0; i < 5; ++i) c.SetText(kValueLabels[i], row->labels[i]);
  }
  for (int i = 0; i < 5; ++i) {
    const bool shown = row->labels[i][0] != L'\0';
    m_layout.show(kValueLabels[i], shown);
    m_layout.show(kValueCells[i], shown);
  }
  m_layout.show(IDC_ANGLES_GROUP, row->labels[3][0] != L'\0' || row->labels[4][0] != L'\0');
  m_layout.show(IDC_LABEL_ROTATION, !disk);
  m_layout.show(IDC_ROTATION, !disk);
  m_layout.enable(IDC_ORIGIN, !disk);
  m_layout.enable(IDC_DIRECTION, !disk);
  // A new layout starts from points 1 and 2; an edited shape keeps its own.
  if (!m_hasShape || points == 0) {
    m_originPoint = 0;
    m_directionPoint = 1;
  }
  if (m_kind == qhtShapeParallelogram && !m_hasShape) m_angle1 = m_angle2 = 90.0;
  applyLayout();
}

void CSector::applyLayout() {
  if (auto* w = dynamic_cast<DialogLayoutWindow*>(window())) w->layoutChanged();
  UpdateData(FALSE);
}

void CSector::setHasShape(bool on) {
  m_hasShape = on;
  m_layout.enable(IDC_EDIT, on);
  if (auto* w = dynamic_cast<DialogLayoutWindow*>(window())) w->layoutChanged();
}

void CSector::closed() {
  resetEditState();
  m_currentCell = 0;
  clearPickFields();
}

// ---- cells and picks ----

double* CSector::valueOf(int cell) {
  switch (cell) {
    case IDC_VALUE1: return &m_value1;
    case IDC_VALUE2: return &m_value2;
    case IDC_VALUE3: return &m_value3;
    case IDC_ANGLE1: return &m_angle1;
    case IDC_ANGLE2: return &m_angle2;
    case IDC_ROTATION: return &m_rotation;
    case IDC_X: return &m_originX;
    case IDC_Y: return &m_originY;
    default: return nullptr;
  }
}

void CSector::cellFocused(int id) {
  if (id == m_currentCell || valueOf(id) == nullptr) return;
  view().ClearPicks();
  m_currentCell = id;
  if (window() != nullptr) {
    CDialogControls& c = window()->controls();
    m_emptiedText = c.GetText(id);
    c.SetText(id, CString());
  }
  clearPickFields();
}

void CSector::cellLeft(int id) {
  if (window() == nullptr) return;
  CDialogControls& c = window()->controls();
  CString text = c.GetText(id);
  // Leaving a cell that its focus emptied changes nothing.
  if (id == m_currentCell && isBlank(text) && !m_emptiedText.IsEmpty()) {
    text = m_emptiedText;
    c.SetText(id, text);
  }
  if (id == IDC_NAME) {
    m_name = text;
    return;
  }
  if (double* value = valueOf(id)) ParseCDouble(text.Left(120), *value);
}

void CSector::pointPicked(Point<double> p) {
  const auto distance = [&](double& value) {
    if (!m_firstPick) {
      m_firstPick = p;
      return;
    }
    const Point<double> d = p - *m_firstPick;
    const double d2 = d.x * d.x + d.y * d.y + d.z * d.z;
    value = d2 < kNoDistance2 ? 0.0 : std::sqrt(d2);
    clearPickFields();
  };
  const auto direction = [&](double& value) {
    if (!m_firstPick) {
      m_firstPick = p;
      return;
    }
    value = degreesOf(p - *m_firstPick);
    clearPickFields();
  };
  const SectorKind* row = kindRow(m_kind);
  const bool sweep = row != nullptr && CString(row->labels[3]) == L"Sweep";
  switch (m_currentCell) {
    case IDC_X:
    case IDC_Y:
      m_originX = p.x;
      m_originY = p.y;
      break;
    case IDC_VALUE1:
    case IDC_VALUE2:
    case IDC_VALUE3:
      distance(*valueOf(m_currentCell));
      break;
    case IDC_ANGLE2:
    case IDC_ROTATION:
      direction(*valueOf(m_currentCell));
      break;
    case IDC_ANGLE1:
      if (!sweep) {
        direction(m_angle1);
      } else if (!m_firstPick) {
        m_firstPick = p;
      } else if (!m_secondPick) {
        m_secondPick = p;
      } else {
        // The second pick is the vertex; the difference is kept as it comes.
        m_angle1 = degreesOf(p - *m_secondPick) - degreesOf(*m_firstPick - *m_secondPick);
        clearPickFields();
      }
      break;
    default:
      clearPickFields();
      break;
  }
  UpdateData(FALSE);
}

// ---- data exchange ----

void CSector::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_VALUE1, m_value1);
  DDV_MinMaxDouble(pDX, m_value1, 0.0, 1000000.0);
  DDX_Text(pDX, IDC_VALUE2, m_value2);
  DDV_MinMaxDouble(pDX, m_value2, 0.0, 10000000000.0);
  DDX_Text(pDX, IDC_VALUE3, m_value3);
  DDV_MinMaxDouble(pDX, m_value3, 0.0, 10000000000.0);
  DDX_Text(pDX, IDC_ANGLE1, m_angle1);
  DDX_Text(pDX, IDC_ANGLE2, m_angle2);
  DDV_MinMaxDouble(pDX, m_angle2, 0.0, 720.0);
  DDX_Text(pDX, IDC_X, m_originX);
  DDX_Text(pDX, IDC_Y, m_originY);
  DDX_Text(pDX, IDC_ROTATION, m_rotation);
  DDV_MinMaxDouble(pDX, m_rotation, -360.0, 360.0);
  DDX_Check(pDX, IDC_NEGATIVE, m_negative);
  DDX_Text(pDX, IDC_NAME, m_name);
  DDX_CBIndex(pDX, IDC_ORIGIN, m_originPoint);
  DDX_CBIndex(pDX, IDC_DIRECTION, m_directionPoint);
}

void CSector::OnCommand(UINT id) {
  switch (id) {
    case IDC_ADD: OnAdd(); break;
    case IDC_EDIT: OnEdit(); break;
    case IDC_CLOSE: OnCloseDialog(); break;
    default: break;
  }
}

void CSector::OnCloseDialog() {
  resetEditState();
  view().ClearPicks();
  CloseDialog();
}
