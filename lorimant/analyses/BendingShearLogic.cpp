// The elastic bending shear and fastener load dialog's rules.
#include "lorimant/analyses/BendingShearLogic.h"

#include <cmath>
#include <exception>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

constexpr int kShapePickMode = 1;   // clicks pick shapes (and dots)
constexpr int kResultPickMode = 2;  // the bending dialog's result requests
constexpr int kIxValue = 76;        // second moment about the centroidal x axis
constexpr double kLeastStress = 1e-5;
constexpr double kLeastLength = 1e-4;
const wchar_t* const kResultFormat = L"%.4f";

// What a unit label shows: {US customary, SI}.
enum class Unit { Length, FirstMoment, Stress, Force };
struct UnitLabel {
  int id;
  Unit unit;
};
constexpr UnitLabel kUnitLabels[] = {
    {BendingShearLogic::IDC_UNIT_BOX, Unit::Length},
    {BendingShearLogic::IDC_UNIT_BOX_Q, Unit::FirstMoment},
    {BendingShearLogic::IDC_UNIT_B, Unit::Length},
    {BendingShearLogic::IDC_UNIT_V, Unit::Force},
    {BendingShearLogic::IDC_UNIT_BOX_STRESS, Unit::Stress},
    {BendingShearLogic::IDC_UNIT_SHAPE_Q, Unit::FirstMoment},
    {BendingShearLogic::IDC_UNIT_SHAPE_STRESS, Unit::Stress},
    {BendingShearLogic::IDC_UNIT_WIDTH, Unit::Length},
    {BendingShearLogic::IDC_UNIT_SPACING, Unit::Length},
    {BendingShearLogic::IDC_UNIT_LOAD, Unit::Force},
};

const wchar_t* unitText(Unit unit) {
  const bool us = gUnitSystem != SI;
  switch (unit) {
    case Unit::Length: return us ? L"in" : L"cm";
    case Unit::FirstMoment: return us ? L"in^3" : L"cm^3";
    case Unit::Stress: return us ? L"psi" : L"N/cm^2";
    case Unit::Force: return us ? L"lbs" : L"N";
  }
  return L"";
}

}  // namespace

BendingShearLogic::BendingShearLogic(CThickSectionView& view, CSubSection* sub, const CString& loadConditionName)
    : ModelessDialogLogic(IDD, L"Elastic Bending Shear", view), m_loadName(loadConditionName) {
  if (sub != nullptr) m_subName = sub->name();
}

BendingShearLogic::~BendingShearLogic() {
  if (m_open) releaseView();
}

CSubSection* BendingShearLogic::subSection() const {
  CXSectionAnalysis* model = view().model();
  return model != nullptr && !m_subName.IsEmpty() ? model->findSubSectionMutable(m_subName) : nullptr;
}

CString BendingShearLogic::unitLabel(int id) {
  for (const UnitLabel& l : kUnitLabels)
    if (l.id == id) return CString(unitText(l.unit));
  return CString();
}

// ---- opening and closing ----

void BendingShearLogic::show() {
  CThickSectionView& v = view();
  v.m_shapeSelectionDialog = this;
  v.m_pickMode = kShapePickMode;
  m_open = true;
  ModelessDialogLogic::show();
}

void BendingShearLogic::closed() {
  if (m_open) releaseView();
}

// The box goes from the view, the view's slot is cleared when it still
// holds this dialog, and clicks ask for results again.
void BendingShearLogic::releaseView() {
  m_open = false;
  m_target = PickTarget::None;
  CThickSectionView& v = view();
  v.clearBoxOverlay();
  if (v.m_shapeSelectionDialog == this) v.m_shapeSelectionDialog = nullptr;
  v.m_pickMode = kResultPickMode;
}

// ---- data exchange ----

void BendingShearLogic::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_XMIN, m_xmin);
  DDX_Text(pDX, IDC_YMIN, m_ymin);
  DDX_Text(pDX, IDC_XMAX, m_xmax);
  DDX_Text(pDX, IDC_YMAX, m_ymax);
  DDX_Text(pDX, IDC_B, m_b);
  DDX_Text(pDX, IDC_V, m_V);
  DDX_CBIndex(pDX, IDC_SOURCE, m_source);
  if (m_source < 0) m_source = kBoxStress;
  DDX_Text(pDX, IDC_WIDTH, m_width);
  DDX_Text(pDX, IDC_SPACING, m_spacing);
  // The results are only shown: read back they would lose their digits.
  if (pDX->m_bSaveAndValidate) return;
  for (const UnitLabel& l : kUnitLabels) pDX->m_pControls->SetText(l.id, CString(unitText(l.unit)));
  showResults();
}

void BendingShearLogic::showBox(int id, double value) {
  if (DialogWindow* w = window()) {
    CString text;
    text.Format(kResultFormat, value);
    w->controls().SetText(id, text);
  }
}

void BendingShearLogic::showResults() {
  const std::pair<int, double> results[] = {{IDC_BOX_Q, m_boxQ},     {IDC_BOX_STRESS, m_boxStress},
                                            {IDC_SHAPE_Q, m_shapeQ}, {IDC_SHAPE_STRESS, m_shapeStress},
                                            {IDC_LOAD, m_load}};
  for (const auto& [id, value] : results) showBox(id, value);
  if (DialogWindow* w = window()) w->controls().SetText(IDC_SHAPE_NAME, m_shapeName);
}

void BendingShearLogic::OnCommand(UINT id) {
  switch (id) {
    case IDC_COMPUTE: OnComputeBox(); break;
    case IDC_APPLIED: OnAppliedForce(); break;
    default: break;
  }
}

// A stress needs a positive width b and a section with a second moment.
bool BendingShearLogic::widthUsable(const wchar_t* caption) const {
  const CSubSection* sub = subSection();
  if (sub == nullptr) {
    message(L"No current subsection", caption, MB_OK | MB_ICONERROR);
    return false;
  }
  if (!(m_b > 0.0) || !std::isfinite(m_b)) {
    message(L"Width of Shear Area (b) must be greater than zero", caption, MB_OK | MB_ICONERROR);
    return false;
  }
  const double ix = sub->getValue(kIxValue);
  if (!(ix > 0.0) || !std::isfinite(ix)) {
    message(L"The section has no second moment about the X axis", caption, MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

// ---- Compute Q and Stress ----

// The box is read and refused when it has no extent (nothing drawn, nothing
// journalled); else it is shown over the view, the sub-section sums the
// first moment of the part inside it under the applied load condition, the
// sums are journalled as the automation computes them, and the shear stress
// is V Q / (b Ix). An element that the box cuts at a corner makes the sum
// inexact, which the user is told.
void BendingShearLogic::OnComputeBox() {
  if (!UpdateData(TRUE)) return;
  if (m_xmin >= m_xmax || m_ymin >= m_ymax) {
    view().clearBoxOverlay();
    message(L"Invalid box definition", L"Box Stress", MB_OK | MB_ICONERROR);
    return;
  }
  if (!widthUsable(L"Box Stress")) return;
  CSubSection* sub = subSection();
  Point<double> corner1(m_xmin, m_ymin, 0.0), corner2(m_xmax, m_ymax, 0.0);
  view().setBoxOverlay(corner1, corner2);
  double force = 0.0, q = 0.0, third = 0.0;
  bool cornerCut = false;
  sub->boxForce(corner1, corner2, &force, &q, &third, &cornerCut);
  view().journal(L"Dim boxForce As Double, boxQ As Double");
  CString line;
  line.Format(L"boxForce = xscn.BendingBoxForce( %g,%g,%g,%g)", m_xmin, m_ymin, m_xmax, m_ymax);
  view().journal(line.GetString());
  line.Format(L"boxQ = xscn.BendingBoxQ( %g,%g,%g,%g)", m_xmin, m_ymin, m_xmax, m_ymax);
  view().journal(line.GetString());
  m_boxQ = q;
  m_boxStress = m_V * q / (m_b * sub->getValue(kIxValue));
  showResults();
  if (cornerCut)
    message(L"An element at the corner of the box lies partially outside the box which causes inaccuracy,  "
            L"increase the density of the mesh to get more accurate results.",
            L"Box Summation", MB_OK);
}

// ---- a picked shape ----

void BendingShearLogic::shapePicked(CShapeAnalysis* shape) {
  if (shape == nullptr || !UpdateData(TRUE)) return;
  if (!widthUsable(L"Shape Shear Stress")) return;
  CSubSection* sub = subSection();
  double q = 0.0, stress = 0.0;
  try {
    q = sub->shapeQ(m_loadName, shape);
    stress = sub->shapeVQIxb(m_loadName, shape, m_V, m_b);
  } catch (const std::exception& e) {
    message(CString(e.what()), L"Computation Error", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_shapeName = shape->name();
  m_shapeQ = q;
  m_shapeStress = stress;
  // Two lines: the journal ends each of its lines itself.
  view().journal(L"Dim ShearStress As Double");
  CString line;
  line.Format(L"ShearStress=xscn.ShapeVQIb(\"%s\",\"%s\",%g,%g)",
              static_cast<const wchar_t*>(JournalQuotedText(m_loadName)),
              static_cast<const wchar_t*>(JournalQuotedText(m_shapeName)), m_V, m_b);
  view().journal(line.GetString());
  showResults();
}

// ---- Applied Force ----

void BendingShearLogic::OnAppliedForce() {
  if (!UpdateData(TRUE)) return;
  const double stress = m_source == kShapeStress ? m_shapeStress : m_boxStress;
  const double length = m_width * m_spacing;
  m_load = stress * length;
  if (std::fabs(stress) < kLeastStress || length < kLeastLength)
    message(L"Undefined inputs", L"Fastener Load", MB_OK);
  showResults();
}

// ---- picking ----

void BendingShearLogic::boxFocused(int id) {
  switch (id) {
    case IDC_XMIN:
    case IDC_YMIN: m_target = PickTarget::Corner1; break;
    case IDC_XMAX:
    case IDC_YMAX: m_target = PickTarget::Corner2; break;
    case IDC_B: m_target = PickTarget::Width; break;
    case IDC_SPACING: m_target = PickTarget::Spacing; break;
    default: m_target = PickTarget::None; return;
  }
  m_haveFirstPick = false;
  // Picked points reach this dialog before the bending dialog.
  if (m_open) view().m_shapeSelectionDialog = this;
}

void BendingShearLogic::pointPicked(Point<double> location) {
  auto show = [this](int id, double value) {
    if (DialogWindow* w = window()) {
      CString text;
      text.Format(L"%g", value);
      w->controls().SetText(id, text);
    }
  };
  switch (m_target) {
    case PickTarget::None: return;
    case PickTarget::Corner1:
    case PickTarget::Corner2: {
      const bool first = m_target == PickTarget::Corner1;
      (first ? m_xmin : m_xmax) = location.x;
      (first ? m_ymin : m_ymax) = location.y;
      show(first ? IDC_XMIN : IDC_XMAX, location.x);
      show(first ? IDC_YMIN : IDC_YMAX, location.y);
      m_target = PickTarget::None;
      return;
    }
    case PickTarget::Width:
    case PickTarget::Spacing: {
      if (!m_haveFirstPick) {
        m_firstPick = location;
        m_haveFirstPick = true;
        return;
      }
      const double distance = std::hypot(location.x - m_firstPick.x, location.y - m_firstPick.y);
      const bool width = m_target == PickTarget::Width;
      (width ? m_b : m_spacing) = distance;
      show(width ? IDC_B : IDC_SPACING, distance);
      m_haveFirstPick = false;
      return;
    }
  }
}

// ---- reset ----

void BendingShearLogic::reset() {
  m_boxQ = m_boxStress = 0.0;
  m_shapeQ = m_shapeStress = 0.0;
  m_shapeName.Empty();
  showResults();
}

void BendingShearLogic::reset(const CString& loadConditionName) {
  m_loadName = loadConditionName;
  reset();
}
