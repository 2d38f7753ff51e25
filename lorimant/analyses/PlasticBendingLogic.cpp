// The plastic bending dialog's rules.
#include "lorimant/analyses/PlasticBendingLogic.h"
#include "lorimant/analyses/ResultLocationRows.h"

#include <algorithm>
#include <cmath>
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
#include "lorimant/analyses/BendingDialogLogic.h"
#include "lorimant/shapes/CAddCriticalPoint.h"
#include "platform/core/Hooks.h"

namespace {

constexpr int kPlasticPickMode = 3;
constexpr int kStressContours = 3;  // QHT_STRESSZZ
constexpr int kStrainContours = 4;  // QHT_STRAINZZ
constexpr double kForceTolerance = 0.1;
constexpr double kAngleTolerance = 0.01;
constexpr double kNotComputed = 999.0;
constexpr int kLinePlotPriority = 8;
constexpr int kNameChars = 120;
constexpr int kMaterialChars = 75;
constexpr int kFirstDeletableRow = 2;
constexpr const wchar_t* kSolveCaption = L"Plastic Bending Analysis";

CString formatted(const wchar_t* format, double value) {
  CString text;
  text.Format(format, value);
  return text;
}

// The refusals of Solve, in the order they are tested.
struct Refusal {
  bool (*refused)(const CSubSection& sub, const CString& name);
  const wchar_t* text;
};
const Refusal kRefusals[] = {
    {[](const CSubSection& s, const CString&) { return !(s.isYieldsDefined() && s.isUltimateDefined()); },
     L"Yield and/or ultimate values are not defined for all materials used.  Cannot perform analysis"},
    {[](const CSubSection& s, const CString&) { return !s.isRambergOsgoodParametersDefined(); },
     L"Not all the parameters for the Ramberg-Osgood equations are defined.  Cannot perform analysis"},
    {[](const CSubSection&, const CString& name) { return name.IsEmpty(); },
     L"The name for the load condition is not defined"},
};

}  // namespace

PlasticBendingLogic::PlasticBendingLogic(CThickSectionView& view)
    : ModelessDialogLogic(IDD, L"Plastic Bending About Given Neutral Axis Angle", view) {
  CXSectionAnalysis* model = view.model();
  if (const CSubSection* sub = model != nullptr ? model->currentSubSection() : nullptr) m_subName = sub->name();
}

PlasticBendingLogic::~PlasticBendingLogic() {
  m_stateChanged = nullptr;
  closeAddPoint();
  releaseView();
}

void PlasticBendingLogic::releaseView() {
  CThickSectionView& v = view();
  if (v.m_plasticDialog == this) v.plasticDialogClosed(this);
  if (v.m_unrestrainedDialog == this) v.m_unrestrainedDialog = nullptr;
}

CSubSection* PlasticBendingLogic::subSection() const {
  CXSectionAnalysis* model = view().model();
  return model != nullptr && !m_subName.IsEmpty() ? model->findSubSectionMutable(m_subName) : nullptr;
}

CSectionForces* PlasticBendingLogic::solvedForces() const {
  return m_loadCondition ? m_loadCondition->scnForcesMutable() : nullptr;
}

void PlasticBendingLogic::changed() const {
  if (m_stateChanged) m_stateChanged();
}

void PlasticBendingLogic::setSubSection(CSubSection* sub) { m_subName = sub != nullptr ? sub->name() : CString(); }

// ---- start-up and closing ----

void PlasticBendingLogic::show() {
  CThickSectionView& v = view();
  v.m_pickMode = kPlasticPickMode;
  v.m_plasticDialog = this;
  m_plot = 0;
  fillCriticalPoints();
  ModelessDialogLogic::show();
  changed();
}

void PlasticBendingLogic::closed() {
  m_stateChanged = nullptr;
  CThickSectionView& v = view();
  if (CSubSection* sub = subSection()) sub->resultKind = 0;
  v.m_pickMode = 1;
  m_waitingBox = 0;
  releaseView();
  closeAddPoint();
  v.RebuildAndRedraw();
}

void PlasticBendingLogic::closeAddPoint() {
  if (m_addPoint) m_addPoint->DestroyWindow();
  m_addPoint.reset();
}

// ---- data exchange ----

void PlasticBendingLogic::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_LOAD_NAME, m_loadName);
  const CString fixed(L"%.4f");
  DDX_FormattedDouble(pDX, IDC_ANGLE, m_angle, true, fixed);
  DDX_CBIndex(pDX, IDC_PLOT, m_plot);
  if (m_plot < 0) m_plot = 0;
  DDX_FormattedDouble(pDX, IDC_X1, m_x1, false, fixed);
  DDX_FormattedDouble(pDX, IDC_Y1, m_y1, false, fixed);
  DDX_FormattedDouble(pDX, IDC_X2, m_x2, false, fixed);
  DDX_FormattedDouble(pDX, IDC_Y2, m_y2, false, fixed);
  if (!pDX->m_bSaveAndValidate) exchangeResults(pDX);
}

void PlasticBendingLogic::exchangeResults(CDataExchange* pDX) {
  CDialogControls& c = *pDX->m_pControls;
  Results& r = m_results;
  const std::pair<int, double> fixed[] = {{IDC_NA_X, r.naX}, {IDC_NA_Y, r.naY}, {IDC_NA_ANGLE, r.naAngle}};
  const std::pair<int, double> strains[] = {{IDC_MAX_STRAIN, r.maxStrain}, {IDC_MIN_STRAIN, r.minStrain}};
  const std::pair<int, double*> plain[] = {{IDC_AXIAL, &r.axial}, {IDC_MOMENT_NA, &r.momentNA}, {IDC_MX, &r.mx},
                                           {IDC_MY, &r.my},       {IDC_MAX_STRESS, &r.maxStress},
                                           {IDC_MIN_STRESS, &r.minStress}};
  if (!m_solved) {
    for (int id : {IDC_NA_X, IDC_NA_Y, IDC_NA_ANGLE, IDC_MAX_STRAIN, IDC_MIN_STRAIN}) c.SetText(id, CString());
    for (const auto& [id, value] : plain) c.SetText(id, CString());
    return;
  }
  for (const auto& [id, value] : fixed) c.SetText(id, formatted(L"%.4f", value));
  for (const auto& [id, value] : strains) c.SetText(id, formatted(L"%.4e", value));
  for (const auto& [id, value] : plain) DDX_Text(pDX, id, *value);
}

void PlasticBendingLogic::OnCommand(UINT id) {
  switch (id) {
    case IDC_SOLVE: OnSolve(); break;
    case IDC_PLOT: OnPlotChanged(); break;
    case IDC_SHOW_LINE: OnShowLinePlot(); break;
    case IDC_ADD_CRITICAL: OnAddCriticalPoint(); break;
    case IDC_CLEAR: OnClearCriticalPoints(); break;
    case IDC_DELETE: OnDeleteSelected(); break;
    case IDC_REFRESH: refreshResults(); break;
    default: break;
  }
}

// ---- Solve ----

// Reads the controls; refuses (in order) missing yields or ultimates,
// missing Ramberg-Osgood parameters and an empty name; recomputes the
// properties (a failure stops here, its own message being all the user
// sees: the solution would run on stale properties and its journal line
// would be refused on replay); solves, journals, shows and verifies. A
// failure of the solution is shown and nothing is journalled.
void PlasticBendingLogic::OnSolve() {
  if (!UpdateData(TRUE)) return;
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  for (const Refusal& r : kRefusals) {
    if (r.refused(*sub, m_loadName)) {
      message(r.text, kSolveCaption, MB_OK);
      return;
    }
  }
  CWaitCursor wait;
  std::shared_ptr<CLoadCondition> lc;
  double limitMax = 0.0, limitMin = 0.0;
  try {
    if (!sub->forceRecalcProperties()) return;
    lc = sub->solveBruhnPlasticBending(m_loadName, m_angle, 1, true, 0.0, &limitMax, &limitMin);
    if (!lc || lc->scnForcesMutable() == nullptr) throw std::logic_error("The load condition has no section forces.");
    sub->computeResultantBendingForces(lc->scnForcesMutable());
  } catch (const std::exception& e) {
    message(CString(e.what()), L"Plastic Bending Failure", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  gLogMsg.Format(L"xscn.BruhnPlasticBendingAnalysis \"%s\",\"%s\",%g",
                 static_cast<const wchar_t*>(JournalQuotedText(sub->name())),
                 static_cast<const wchar_t*>(JournalQuotedText(m_loadName)), m_angle);
  view().journal();
  m_loadCondition = lc;
  m_solved = true;
  const CSectionForces& sf = *lc->scnForcesMutable();
  copyResults(sf);
  redrawContour();
  fillCriticalPoints();
  UpdateData(FALSE);
  verify(*sub, sf, limitMax, limitMin);
}

void PlasticBendingLogic::copyResults(const CSectionForces& sf) {
  Results& r = m_results;
  r.naX = sf.neutralPoint.x;
  r.naY = sf.neutralPoint.y;
  r.naAngle = sf.resultantNeutralAxisAngle;
  r.axial = sf.resultantForce;
  r.momentNA = sf.resultantNeutralAxisMoment;
  r.mx = sf.resultantMx;
  r.my = sf.resultantMy;
  r.maxStress = sf.maxStress;
  r.minStress = sf.minStress;
  r.maxStrain = sf.maxStrain;
  r.minStrain = sf.minStrain;
}

// Passes when the force balances, the neutral axis keeps the input angle,
// one extreme strain stays below its limit in magnitude and no critical
// point is exceeded.
void PlasticBendingLogic::verify(CSubSection& sub, const CSectionForces& sf, double limitMax, double limitMin) const {
  const double angle = angleError(m_angle, sf.resultantNeutralAxisAngle);
  const bool strainsOk =
      std::fabs(sf.maxStrain) < std::fabs(limitMax) || std::fabs(sf.minStrain) < std::fabs(limitMin);
  if (std::fabs(sf.resultantForce) < kForceTolerance && angle < kAngleTolerance && strainsOk &&
      sub.checkCriticalPoints()) {
    message(L"PASSED.  Verification checks passed: \n Axial forces balance, \n Neutral axis matches input angle \n "
            L"Max strain matches max allowable \n critical points checked",
            L"VERIFICATION", MB_OK);
    return;
  }
  CString text;
  text.Format(L"Mismatch between applied angle, and resulting angle, or axial force exceeds tolerance or strains "
              L"exceed allowables.   Angle error: %g  Axial Load: %g\n\n",
              angle, sf.resultantForce);
  text += L"Increasing the number of elements and/or decreasing the CHT (for curved boundaries) will give a more "
          L"accurate summation.";
  text += L" If the difference is large, please send the document and its journal to the program's support.";
  message(text, L"VERIFICATION", MB_OK);
}

// ---- plots ----

void PlasticBendingLogic::OnPlotChanged() {
  if (!UpdateData(TRUE)) return;
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  if (!sub->isMaterialDefined()) {
    message(L"Materials not defined for all section objects", L"", MB_OK);
    return;
  }
  const bool stress = m_plot == 1;
  gLogMsg = stress ? L"xscn.PlotResult QHT_STRESSZZ" : L"xscn.PlotResult QHT_STRAINZZ";
  view().journal();
  redrawContour();
  fillLocations();
}

void PlasticBendingLogic::redrawContour() {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  const int kind = m_plot == 1 ? kStressContours : kStrainContours;
  // As the automation's PlotResult sets it.
  sub->displayedResult = static_cast<RESULTS>(kind);
  sub->resultKind = kind;
  view().RebuildAndRedraw();
  view().refresh();
}

void PlasticBendingLogic::OnShowLinePlot() {
  if (!UpdateData(TRUE)) return;
  CSubSection* sub = subSection();
  if (sub == nullptr || !view().makeCurrent()) return;
  Point<double> p1(m_x1, m_y1, 0.0), p2(m_x2, m_y2, 0.0);
  DspRecord* record = sub->displayLinePlot(p1, p2, sub->displayedResult);
  if (record == nullptr) return;
  record->priority(kLinePlotPriority);
  view().ShowLinePlot(record);
}

void PlasticBendingLogic::boxFocused(int id) {
  if (id != IDC_X1 && id != IDC_Y1 && id != IDC_X2 && id != IDC_Y2) return;
  m_waitingBox = id;
  if (DialogWindow* w = window()) w->controls().SetText(id, CString());
}

void PlasticBendingLogic::pointPicked(Point<double> location) {
  if (m_waitingBox == 0) return;
  const bool first = m_waitingBox == IDC_X1 || m_waitingBox == IDC_Y1;
  (first ? m_x1 : m_x2) = location.x;
  (first ? m_y1 : m_y2) = location.y;
  m_waitingBox = 0;
  // Only the picked end's boxes: the other end keeps what was typed into it.
  BendingDialogLogic::showLinePlotEnd(window(), first ? IDC_X1 : IDC_X2, first ? IDC_Y1 : IDC_Y2, location.x,
                                      location.y);
}

// ---- critical points ----

void PlasticBendingLogic::OnAddCriticalPoint() {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  closeAddPoint();
  m_addPoint = std::make_unique<CAddCriticalPoint>(view(), sub, [this] { fillCriticalPoints(); });
  if (m_prepareAddPoint) m_prepareAddPoint(*m_addPoint);
  m_addPoint->show();
}

void PlasticBendingLogic::OnClearCriticalPoints() {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  // As the automation's ClearCriticalPoints does.
  for (CriticalPoint* p : sub->criticalPoints) delete p;
  sub->criticalPoints.clear();
  gLogMsg.Format(L"xscn.ClearCriticalPoints \"%s\"", static_cast<const wchar_t*>(JournalQuotedText(sub->name())));
  view().journal();
  fillCriticalPoints();
}

void PlasticBendingLogic::fillCriticalPoints() {
  m_critical.clear();
  if (CSubSection* sub = subSection()) {
    int index = 0;
    for (const CriticalPoint* p : sub->criticalPoints) {
      if (p == nullptr) continue;
      CriticalRow row;
      row[kCpId].Format(L"%d", index++);
      row[kCpX] = formatted(L"%.3f", p->location.x);
      row[kCpY] = formatted(L"%.3f", p->location.y);
      row[kCpAllowable] = formatted(L"%.6f", p->allowable);
      row[kCpActual] = p->actual == kNotComputed ? CString(L"undefined") : formatted(L"%.6f", p->actual);
      m_critical.push_back(row);
    }
  }
  changed();
}

// ---- result locations ----

const std::array<const wchar_t*, PlasticBendingLogic::kColumns>& PlasticBendingLogic::columnHeadings() {
  static const std::array<const wchar_t*, kColumns> headings{
      L"ID", L"Name", L"X", L"Y", L"Stress", L"Strain (1e-3)", L"Fcy_l", L"Fty_l", L"Fcu_l", L"Ftu_l", L"Material"};
  return headings;
}

const std::array<int, PlasticBendingLogic::kColumns>& PlasticBendingLogic::columnWidths() {
  static const std::array<int, kColumns> widths{30, 50, 50, 50, 100, 100, 75, 75, 75, 75, 120};
  return widths;
}

const std::array<const wchar_t*, PlasticBendingLogic::kCpColumns>& PlasticBendingLogic::criticalHeadings() {
  static const std::array<const wchar_t*, kCpColumns> headings{L"ID", L"X", L"Y", L"Strain Allowable",
                                                               L"Actual Strain"};
  return headings;
}

const std::array<int, PlasticBendingLogic::kCpColumns>& PlasticBendingLogic::criticalWidths() {
  static const std::array<int, kCpColumns> widths{40, 110, 110, 110, 110};
  return widths;
}

PlasticBendingLogic::PointRow PlasticBendingLogic::rowOf(int index, CResultLocation& location,
                                                         const CSectionForces* sf) const {
  PointRow row;
  row.location = &location;
  auto& c = row.cells;
  c[kId].Format(L"%d", index);
  c[kName] = location.label.Left(kNameChars);
  c[kX] = formatted(L"%.3f", location.location.x);
  c[kY] = formatted(L"%.3f", location.location.y);
  c[kStress] = BendingDialogLogic::wholeNumberText(location.value);
  // The location keeps its strain times 1000 already.
  c[kStrain] = formatted(L"%.1f", location.value2);
  if (const CMetal* m = location.material) {
    c[kFcy] = BendingDialogLogic::wholeNumberText(m->Fcy_L);
    c[kFty] = BendingDialogLogic::wholeNumberText(m->Fty_L);
    c[kFcu] = BendingDialogLogic::wholeNumberText(m->Fcu_L);
    c[kFtu] = BendingDialogLogic::wholeNumberText(m->Ftu_L);
    c[kMaterial] = m->name.Left(kMaterialChars);
  }
  if (sf != nullptr) {
    row.stressColour = BendingDialogLogic::zeroGreenColour(location.value, sf->minStress, sf->maxStress);
    row.strainColour = BendingDialogLogic::zeroGreenColour(location.value2 / 1000.0, sf->minStrain, sf->maxStrain);
  }
  // The model names its extremes "Max Stress Location" and "Min Stress Location".
  row.marked = location.label.Find(L"Max Stress") >= 0 || location.label.Find(L"Min Stress") >= 0;
  return row;
}

void PlasticBendingLogic::fillLocations() {
  m_rows.clear();
  if (CSubSection* sub = subSection()) {
    const CSectionForces* sf = solvedForces();
    int index = 0;
    for (CResultLocation* location : sub->resultLocations)
      if (location != nullptr) m_rows.push_back(rowOf(index++, *location, sf));
  }
  changed();
}

// Lists every result location again; one outside every object of the
// sub-section is warned of first and listed all the same.
void PlasticBendingLogic::refreshResults() {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  for (CResultLocation* location : sub->resultLocations) {
    if (location == nullptr) continue;
    Point<double> p = location->location;
    if (sub->isInsideOrOn(p)) continue;
    CString text;
    text.Format(L"Warning: %s at (%g,%g) is outside of any object of the subsection",
                static_cast<const wchar_t*>(location->label), p.x, p.y);
    message(text, L"Result Locations", MB_OK);
  }
  fillLocations();
  view().refresh();
}

void PlasticBendingLogic::selectRow(int row, bool selected) {
  if (row >= 0 && row < static_cast<int>(m_rows.size())) m_rows[static_cast<size_t>(row)].selected = selected;
}

void PlasticBendingLogic::OnDeleteSelected() {
  CSubSection* sub = subSection();
  if (sub == nullptr) return;
  DeleteSelectedLocations(*sub, m_rows, kFirstDeletableRow);
  fillLocations();
  view().refresh();
}
