// The restrained and unrestrained bending dialog's rules.
#include "lorimant/analyses/BendingDialogLogic.h"
#include "lorimant/analyses/ResultLocationRows.h"
#include "lorimant/analyses/BendingShearLogic.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <stdexcept>

#include "analysis/geometry/Tolerance.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/DspRecord.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/MacroReference.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/DigitGrouping.h"
#include "platform/core/Hooks.h"

namespace {

constexpr int kResultPickMode = 2;      // clicks ask for the result at a point
constexpr int kStressContours = 3;      // QHT_STRESSZZ
constexpr int kStrainContours = 4;      // QHT_STRAINZZ
constexpr double kCheckTolerance = 0.01;
constexpr double kPlainMomentAbove = 100000.0;
constexpr double kDistinctPoints = 0.001;
constexpr int kLinePlotPriority = 8;
constexpr int kNameChars = 120;
constexpr int kMaterialChars = 75;

bool usUnits() { return gUnitSystem != SI; }

CString formatted(const wchar_t* format, double value) {
  CString text;
  text.Format(format, value);
  return text;
}

// The colour of v between low and high; none when the range is unusable.
COLORREF zeroGreen(double v, double low, double high) {
  if (!std::isfinite(v) || !(low <= high)) return BendingDialogLogic::kNoColour;
  try {
    double r = 0, g = 0, b = 0;
    getColorZeroGreen(v, low, high, &r, &g, &b);
    auto byte = [](double c) { return static_cast<BYTE>(std::lround(std::clamp(c, 0.0, 1.0) * 255.0)); };
    return RGB(byte(r), byte(g), byte(b));
  } catch (const std::logic_error&) {
    return BendingDialogLogic::kNoColour;
  }
}

// The labels of the three inputs: {unrestrained, restrained} x {SI, US}.
struct InputLabels {
  const wchar_t* si;
  const wchar_t* us;
};
const InputLabels kUnrestrainedLabels[3] = {{L"Axial Force (N)", L"Axial Force (lb)"},
                                            {L"Moment About X (N-cm)", L"Moment About X (lb-in)"},
                                            {L"Moment About Y (N-cm)", L"Moment About Y (lb-in)"}};
const InputLabels kRestrainedLabels[3] = {{L"Axial Force (N)", L"Axial Force (lb)"},
                                          {L"Angle (deg)", L"Angle (deg)"},
                                          {L"Moment About NA (N-cm)", L"Moment About NA (lb-in)"}};

// An input as the journal keeps it: "%g" when that reads back to the same
// number, else the shortest text that does, so that a replay applies the
// very load the dialog applied.
CString journalNumber(double value) {
  CString text = formatted(L"%g", value);
  if (std::wcstod(text.GetString(), nullptr) == value) return text;
  return CString::FromUtf8(MacroNumberText(value).c_str());
}

const wchar_t* titleOf(int type) { return type == 1 ? L"Restrained Bending" : L"Unrestrained Bending"; }

}  // namespace

BendingDialogLogic::BendingDialogLogic(CThickSectionView& view, int restrained)
    : ModelessDialogLogic(IDD, titleOf(restrained), view), m_type(restrained) {
  CXSectionAnalysis* model = view.model();
  if (const CSubSection* sub = model != nullptr ? model->currentSubSection() : nullptr) m_subName = sub->name();
}

BendingDialogLogic::~BendingDialogLogic() {
  m_stateChanged = nullptr;
  m_shear.reset();
  releaseView();
}

void BendingDialogLogic::releaseView() {
  CThickSectionView& v = view();
  if (v.m_bendingDialog == this) v.m_bendingDialog = nullptr;
  if (v.m_unrestrainedDialog == this) v.m_unrestrainedDialog = nullptr;
}

CSubSection* BendingDialogLogic::subSection() const {
  CXSectionAnalysis* model = view().model();
  return model != nullptr && !m_subName.IsEmpty() ? model->findSubSectionMutable(m_subName) : nullptr;
}

CSectionForces* BendingDialogLogic::appliedForces() const {
  CSubSection* sub = subSection();
  const std::shared_ptr<CLoadCondition> lc = sub != nullptr ? sub->curAppLC() : nullptr;
  return lc ? lc->scnForcesMutable() : nullptr;
}

void BendingDialogLogic::changed() const {
  if (m_stateChanged) m_stateChanged();
}

bool BendingDialogLogic::controlEnabled(int id) const {
  switch (id) {
    case IDC_SHEAR: return m_shearEnabled;
    case IDC_PLOT:
    case IDC_REFRESH: return m_applied;
    default: return true;
  }
}

// ---- start-up and closing ----

void BendingDialogLogic::setAnalysisType(int restrained) {
  m_type = restrained;
  setCaption(titleOf(restrained));
}

void BendingDialogLogic::setSubSection(CSubSection* sub) { m_subName = sub != nullptr ? sub->name() : CString(); }

void BendingDialogLogic::show() {
  CThickSectionView& v = view();
  v.m_pickMode = kResultPickMode;
  v.m_bendingDialog = this;
  v.m_unrestrainedDialog = this;
  if (CSubSection* sub = subSection()) sub->resultKind = 0;
  m_grain = 0;
  ModelessDialogLogic::show();
  changed();
}

void BendingDialogLogic::closed() {
  m_stateChanged = nullptr;
  // The bending-shear dialog it owns closes with it.
  if (m_shear != nullptr && m_shear->isOpen()) m_shear->DestroyWindow();
  CThickSectionView& v = view();
  v.m_pickMode = 1;
  if (CSubSection* sub = subSection()) sub->resultKind = 0;
  releaseView();
  m_waitingBox = 0;
  v.RebuildAndRedraw();
}

// ---- data exchange ----

void BendingDialogLogic::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_LOAD_NAME, m_loadName);
  DDX_Text(pDX, IDC_INPUT1, m_inputs[0]);
  DDX_Text(pDX, IDC_INPUT2, m_inputs[1]);
  if (restrained()) DDV_MinMaxDouble(pDX, m_inputs[1], 0.0, 359.99);
  DDX_Text(pDX, IDC_INPUT3, m_inputs[2]);
  DDX_CBIndex(pDX, IDC_GRAIN, m_grain);
  DDX_Text(pDX, IDC_RADIUS, m_radius);
  DDX_CBIndex(pDX, IDC_PLOT, m_plot);
  if (m_plot < 0) m_plot = 0;
  const CString point(L"%.4f");
  DDX_FMTDBL(pDX, IDC_X1, m_x1, point, false);
  DDX_FMTDBL(pDX, IDC_Y1, m_y1, point, false);
  DDX_FMTDBL(pDX, IDC_X2, m_x2, point, false);
  DDX_FMTDBL(pDX, IDC_Y2, m_y2, point, false);
  if (pDX->m_bSaveAndValidate) return;
  exchangeLabels(pDX);
  exchangeResults(pDX);
}

void BendingDialogLogic::exchangeLabels(CDataExchange* pDX) {
  CDialogControls& c = *pDX->m_pControls;
  const InputLabels* labels = restrained() ? kRestrainedLabels : kUnrestrainedLabels;
  const int ids[3] = {IDC_LABEL1, IDC_LABEL2, IDC_LABEL3};
  for (int i = 0; i < 3; ++i) c.SetText(ids[i], CString(usUnits() ? labels[i].us : labels[i].si));
  c.SetText(IDC_RADIUS_LABEL, CString(usUnits() ? L"Radius (in)" : L"Radius (cm)"));
  c.SetText(IDC_UNITS, CString(usUnits() ? L"UNITS: moments lb-in, stress psi, force lb"
                                         : L"UNITS: moments N-cm, stress KPa, force N"));
}

void BendingDialogLogic::exchangeResults(CDataExchange* pDX) {
  CDialogControls& c = *pDX->m_pControls;
  const int ids[] = {IDC_NA_X, IDC_NA_Y, IDC_NA_ANGLE, IDC_AXIAL,      IDC_MOMENT_NA,  IDC_MX,
                     IDC_MY,   IDC_MAX_STRESS, IDC_MIN_STRESS, IDC_MAX_STRAIN, IDC_MIN_STRAIN, IDC_RESULTANT};
  if (!m_applied) {
    for (int id : ids) c.SetText(id, CString());
    return;
  }
  Results& r = m_results;
  c.SetText(IDC_NA_X, formatted(L"%.4f", r.naX));
  c.SetText(IDC_NA_Y, formatted(L"%.4f", r.naY));
  c.SetText(IDC_NA_ANGLE, formatted(L"%.4f", r.naAngle));
  c.SetText(IDC_AXIAL, formatted(L"%.3f", r.axial));
  c.SetText(IDC_MAX_STRAIN, formatted(L"%.4e", r.maxStrain));
  c.SetText(IDC_MIN_STRAIN, formatted(L"%.4e", r.minStrain));
  // Large moments would lose their digits in a fixed format.
  if (std::fabs(r.momentNA) > kPlainMomentAbove)
    DDX_Text(pDX, IDC_MOMENT_NA, r.momentNA);
  else
    c.SetText(IDC_MOMENT_NA, formatted(L"%.3f", r.momentNA));
  DDX_Text(pDX, IDC_MX, r.mx);
  DDX_Text(pDX, IDC_MY, r.my);
  DDX_Text(pDX, IDC_MAX_STRESS, r.maxStress);
  DDX_Text(pDX, IDC_MIN_STRESS, r.minStress);
  DDX_Text(pDX, IDC_RESULTANT, r.resultant);
}

void BendingDialogLogic::OnCommand(UINT id) {
  switch (id) {
    case IDC_APPLY: OnApply(); break;
    case IDC_PLOT:
    case IDC_LINE_OFF:
      if (UpdateData(TRUE)) redrawContour();
      break;
    case IDC_SHOW_LINE: OnShowLinePlot(); break;
    case IDC_DELETE: OnDeleteSelected(); break;
    case IDC_REFRESH: refreshResults(); break;
    case IDC_SHEAR: OnBendingShear(); break;
    default: break;
  }
}

// ---- APPLY ----

CSectionForces* BendingDialogLogic::compute(CSubSection& sub) {
  const bool L = m_grain == 0;
  const auto& in = m_inputs;
  if (m_type == 0) return sub.applyUnrestrainedBendingForces(m_loadName, in[0], in[1], in[2], L);
  if (m_type != 1) throw std::logic_error("Analysis type is not recognized.");
  CSectionForces* sf = sub.applyRestrainedBendingForces(m_loadName, in[0], in[1], in[2], L);
  if (sf != nullptr) {
    sf->neutralAxisAngle = in[1];
    sf->valueA = in[2];
  }
  return sf;
}

void BendingDialogLogic::journalApplication(const CSubSection& sub) const {
  gLogMsg.Format(L"xscn.%s \"%s\",\"%s\",%s,%s,%s,%d",
                 restrained() ? L"ApplyRestrainedBendingForces" : L"ApplyUnrestrainedBendingForces",
                 static_cast<const wchar_t*>(JournalQuotedText(sub.name())),
                 static_cast<const wchar_t*>(JournalQuotedText(m_loadName)),
                 static_cast<const wchar_t*>(journalNumber(m_inputs[0])),
                 static_cast<const wchar_t*>(journalNumber(m_inputs[1])),
                 static_cast<const wchar_t*>(journalNumber(m_inputs[2])), m_grain == 0 ? 1 : 0);
  view().journal();
}

void BendingDialogLogic::copyResults(const CSectionForces& sf) {
  Results& r = m_results;
  r.naX = sf.neutralPoint.x;
  r.naY = sf.neutralPoint.y;
  r.naAngle = sf.neutralAxisAngle;
  r.axial = sf.resultantForce;
  r.mx = sf.resultantMx;
  r.my = sf.resultantMy;
  r.momentNA = sf.resultantNeutralAxisMoment;
  r.resultant = sf.resultantMagnitude;
  r.maxStress = sf.maxStress;
  r.minStress = sf.minStress;
  r.maxStrain = sf.maxStrain;
  r.minStrain = sf.minStrain;
}

// Applies the inputs as a new load condition: refused without a name; the
// sub-section's computation (a logic error is shown under "Self-Checker"
// and nothing is journalled); the journal line; the results; the warnings
// of yield or ultimate stress; the plots; the check against the inputs;
// the point results.
void BendingDialogLogic::OnApply() {
  if (!UpdateData(TRUE)) return;
  if (m_loadName.IsEmpty()) {
    message(L"Load Condition name is required", L"Bending Analysis", MB_OK);
    return;
  }
  CWaitCursor wait;
  // The analysis acts on the current sub-section, as its journal line does
  // when replayed: another one may have become current since the dialog opened.
  if (CXSectionAnalysis* model = view().model(); model != nullptr && model->currentSubSection() != nullptr)
    setSubSection(model->currentSubSectionMutable());
  CSubSection* sub = subSection();
  CSectionForces* sf = nullptr;
  try {
    if (sub == nullptr) throw std::logic_error("No current subsection");
    sf = compute(*sub);
    if (sf == nullptr) throw std::logic_error("The load condition has no section forces.");
  } catch (const std::logic_error& e) {
    message(CString(e.what()), L"Self-Checker", MB_OK | MB_ICONEXCLAMATION);
    return;
  } catch (const std::exception& e) {
    message(CString(e.what()), L"Computation Error", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  journalApplication(*sub);
  m_appliedName = m_loadName;
  copyResults(*sf);
  // The computation replaced the result locations: the rows must show the
  // new ones before anything reads them back.
  fillList();
  if (!sf->ultimateWarning.IsEmpty())
    message(sf->ultimateWarning, L"Stress Exceeds Ultimate", MB_OK);
  else if (!sf->yieldWarning.IsEmpty())
    message(sf->yieldWarning, L"Stress Exceeds Yield", MB_OK);
  m_shearEnabled = true;
  // An open bending-shear dialog works on the condition just applied.
  if (m_shear != nullptr && m_shear->isOpen()) m_shear->reset(m_appliedName);
  m_applied = true;
  UpdateData(FALSE);
  changed();
  redrawContour();
  verify(*sf);
  refreshResults();
}

// The summed results against the inputs: each test passes when its error
// is strictly below 0.01; the first failure ends the checks.
void BendingDialogLogic::verify(const CSectionForces& sf) const {
  const auto& in = m_inputs;
  bool passed = relativeError2(in[0], sf.resultantForce) < kCheckTolerance;
  if (restrained()) {
    if (passed && in[2] != 0.0) {
      passed = angleError(sf.resultantNeutralAxisAngle, in[1]) < kCheckTolerance &&
               momentError(in[2], sf.resultantNeutralAxisMoment) < kCheckTolerance;
    }
  } else if (passed) {
    passed = momentError(in[1], sf.resultantMx) < kCheckTolerance && momentError(in[2], sf.resultantMy) < kCheckTolerance;
  }
  if (passed) {
    message(L"PASSED.  Verification checks passed", L"VERIFICATION", MB_OK);
    return;
  }
  CString text;
  text.Format(L"Mismatch between inputs with mesh summation (values take from centers of elements):\n     Axial:%g\n"
              L"     Mx:%g\n     My:%g\n\n",
              sf.resultantForce - sf.axial, sf.resultantMx - sf.Mx, sf.resultantMy - sf.My);
  text += L"Increasing the number of elements and/or decreasing the CHT (for curved boundaries) will give a more "
          L"accurate summation.";
  text += L" If the difference is large, please send the document and its journal to the program's support.";
  message(text, L"VERIFICATION", MB_OK);
}

// ---- plots ----

void BendingDialogLogic::redrawContour() {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  if (!sub->isMaterialDefined()) {
    message(L"Materials not defined for all section objects", L"", MB_OK);
    return;
  }
  const int kind = m_plot == 1 ? kStrainContours : kStressContours;
  // As the automation's PlotResult sets it.
  sub->displayedResult = static_cast<RESULTS>(kind);
  sub->resultKind = kind;
  // A rebuild drops the line plot.
  view().RebuildAndRedraw();
  fillList();
  view().refresh();
}

void BendingDialogLogic::OnShowLinePlot() {
  if (!UpdateData(TRUE)) return;
  Point<double> p1(m_x1, m_y1, 0.0), p2(m_x2, m_y2, 0.0);
  if ((p2 - p1).length() < kDistinctPoints) {
    message(L"Points must be distinct", L"Line Plot", MB_OK);
    return;
  }
  CSubSection* sub = subSection();
  if (sub == nullptr || !view().makeCurrent()) return;
  DspRecord* record = sub->displayLinePlot(p1, p2, sub->displayedResult);
  if (record == nullptr) return;
  record->priority(kLinePlotPriority);
  view().ShowLinePlot(record);
}

void BendingDialogLogic::boxFocused(int id) {
  if (id != IDC_X1 && id != IDC_Y1 && id != IDC_X2 && id != IDC_Y2) return;
  m_waitingBox = id;
  // Picked points reach the view's result dialog first.
  view().m_unrestrainedDialog = this;
  if (DialogWindow* w = window()) w->controls().SetText(id, CString());
}

void BendingDialogLogic::pointPicked(Point<double> location) {
  if (m_waitingBox == 0) return;
  const bool first = m_waitingBox == IDC_X1 || m_waitingBox == IDC_Y1;
  (first ? m_x1 : m_x2) = location.x;
  (first ? m_y1 : m_y2) = location.y;
  m_waitingBox = 0;
  showLinePlotEnd(window(), first ? IDC_X1 : IDC_X2, first ? IDC_Y1 : IDC_Y2, location.x, location.y);
}

void BendingDialogLogic::showLinePlotEnd(DialogWindow* window, int xBox, int yBox, double x, double y) {
  if (window == nullptr) return;
  window->controls().SetText(xBox, formatted(L"%.4f", x));
  window->controls().SetText(yBox, formatted(L"%.4f", y));
}

// ---- the point list ----

CString BendingDialogLogic::wholeNumberText(double value) {
  if (!std::isfinite(value)) return CString();
  const long long whole = std::llround(value);
  if (whole == static_cast<long long>(kUndefined)) return CString(kUndefinedText);
  return commatize(whole);
}

COLORREF BendingDialogLogic::zeroGreenColour(double v, double low, double high) { return zeroGreen(v, low, high); }

std::array<CString, BendingDialogLogic::kColumns> BendingDialogLogic::columnHeadings() {
  const bool us = usUnits();
  const CString length(us ? L" (in)" : L" (cm)");
  const CString stress(us ? L" (psi)" : L" (KPa)");
  return {CString(L"ID"),          CString(L"Name"),      L"X" + length,         L"Y" + length,
          L"Stress" + stress,      CString(L"Strain x 1e3"), L"Fcy_l" + stress,  L"Fty_l" + stress,
          L"Fcu_l" + stress,       L"Ftu_l" + stress,     CString(L"Material"), CString(L"nE")};
}

const std::array<int, BendingDialogLogic::kColumns>& BendingDialogLogic::columnWidths() {
  static const std::array<int, kColumns> widths{30, 120, 50, 50, 100, 100, 75, 75, 75, 75, 120, 75};
  return widths;
}

BendingDialogLogic::PointRow BendingDialogLogic::rowOf(int index, CResultLocation& location,
                                                       const CSectionForces* sf) const {
  PointRow row;
  row.location = &location;
  auto& c = row.cells;
  c[kId].Format(L"%d", index);
  c[kName] = location.label.Left(kNameChars);
  c[kX] = formatted(L"%.3f", location.location.x);
  c[kY] = formatted(L"%.3f", location.location.y);
  c[kStress] = wholeNumberText(location.value);
  // The location keeps its strain times 1000 already.
  c[kStrain] = formatted(L"%.4f", location.value2);
  if (const CMetal* m = location.material) {
    c[kFcy] = wholeNumberText(m->Fcy_L);
    c[kFty] = wholeNumberText(m->Fty_L);
    c[kFcu] = wholeNumberText(m->Fcu_L);
    c[kFtu] = wholeNumberText(m->Ftu_L);
    c[kMaterial] = m->name.Left(kMaterialChars);
    c[kExponent] = formatted(L"%.4f", m->nYield[0]);
  }
  if (sf != nullptr) {
    row.stressColour = zeroGreen(location.value, sf->minStress, sf->maxStress);
    row.strainColour = zeroGreen(location.value2 / 1000.0, sf->minStrain, sf->maxStrain);
  }
  row.marked = location.label.Find(L"Max Stress") >= 0 || location.label.Find(L"Min Stress") >= 0;
  return row;
}

void BendingDialogLogic::fillList() {
  m_rows.clear();
  if (CSubSection* sub = subSection()) {
    const CSectionForces* sf = appliedForces();
    int index = 0;
    for (CResultLocation* location : sub->resultLocations)
      if (location != nullptr) m_rows.push_back(rowOf(index++, *location, sf));
  }
  changed();
}

void BendingDialogLogic::editCell(int row, int column, const CString& text) {
  if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
  if (column == kName || column == kX || column == kY) m_rows[static_cast<size_t>(row)].cells[column] = text;
}

void BendingDialogLogic::selectRow(int row, bool selected) {
  if (row >= 0 && row < static_cast<int>(m_rows.size())) m_rows[static_cast<size_t>(row)].selected = selected;
}

// Each row's name and coordinates go back into the location the row was
// filled from (a location no longer held by the sub-section is skipped);
// stress and strain are recomputed there under the applied load condition.
void BendingDialogLogic::refreshResults() {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  const CSectionForces* sf = appliedForces();
  auto& held = sub->resultLocations;
  try {
    for (const PointRow& row : m_rows) {
      CResultLocation* location = row.location;
      if (std::find(held.begin(), held.end(), location) == held.end()) continue;
      double x = location->location.x, y = location->location.y;
      if (!ParseCDouble(row.cells[kX], x) || !ParseCDouble(row.cells[kY], y)) {
        message(L"Please enter a number.", L"Refresh Results", MB_OK | MB_ICONEXCLAMATION);
        break;
      }
      location->label = row.cells[kName].Left(kNameChars);
      location->location = Point<double>(x, y, 0.0);
      if (sf == nullptr) continue;
      location->value = sub->pointBendingStress(sf, x, y, location->material);
      location->value2 = sub->pointBendingStrain(sf, x, y, location->material) * 1000.0;
    }
  } catch (const std::exception& e) {
    message(CString(e.what()), L"Computation Error", MB_OK | MB_ICONEXCLAMATION);
  }
  fillList();
  view().refresh();
}

void BendingDialogLogic::deleteSelected(int firstRow) {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  DeleteSelectedLocations(*sub, m_rows, static_cast<size_t>(std::max(firstRow, 0)));
  fillList();
  view().refresh();
}

// ---- the rest ----

void BendingDialogLogic::OnBendingShear() {
  const CSectionForces* sf = appliedForces();
  if (sf != nullptr && std::fabs(sf->My) > 1e-5) {
    message(L"Bending shear stress calculations do not apply for nonzero moment about My.  Only a vertical shear load.",
            L"Bending Shear Computations", MB_OK);
    return;
  }
  if (m_openBendingShear)
    m_openBendingShear();
  else
    openBendingShear();
}

BendingShearLogic* BendingDialogLogic::openBendingShear() {
  if (m_shear != nullptr && m_shear->isOpen()) {
    m_shear->reset(m_appliedName);
    m_shear->show();
    return m_shear.get();
  }
  m_shear.reset();
  m_shear = std::make_unique<BendingShearLogic>(view(), subSection(), m_appliedName);
  if (m_shearWindowMaker) m_shear->setWindowMaker(m_shearWindowMaker);
  m_shear->show();
  return m_shear.get();
}

void BendingDialogLogic::loadConditionNameChanged(const CString& name) {
  CSubSection* sub = subSection();
  if (sub != nullptr && sub->loadConditionExists(name))
    message(L"Load condition with this name already exists", L"Load Condition Creation", MB_OK);
}
