// The relative-point dialog of the section view.
#include "lorimant/shapes/CRelativePoint.h"

#include <cmath>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"

namespace {
constexpr double kDegreesToRadians = 0.017453292519943295;
}

CRelativePoint::CRelativePoint(CThickSectionView& view)
    : ModelessDialogLogic(IDD, L"Relative Point Keyin", view) {
  takeViewPoints();
}

void CRelativePoint::presetPoint(double x, double y) {
  m_baseX = x;
  m_baseY = y;
  UpdateData(FALSE);
}

void CRelativePoint::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_BASE_X, m_baseX);
  DDX_Text(pDX, IDC_BASE_Y, m_baseY);
  DDX_Text(pDX, IDC_X_AXIS_ANGLE, m_xAxisAngle);
  DDX_Text(pDX, IDC_Y_AXIS_ANGLE, m_yAxisAngle);
  DDX_Text(pDX, IDC_DELTA_X, m_deltaX);
  DDX_Text(pDX, IDC_DELTA_Y, m_deltaY);
  DDX_Text(pDX, IDC_RESULT_X, m_resultX);
  DDX_Text(pDX, IDC_RESULT_Y, m_resultY);
}

void CRelativePoint::pointPicked(Point<double> location) {
  UpdateData(TRUE);
  m_baseX = location.x;
  m_baseY = location.y;
  UpdateData(FALSE);
}

void CRelativePoint::calculate() {
  const double ax = m_xAxisAngle * kDegreesToRadians;
  const double ay = (m_yAxisAngle + 90.0) * kDegreesToRadians;
  m_resultX = m_baseX + m_deltaX * std::cos(ax) + m_deltaY * std::cos(ay);
  m_resultY = m_baseY + m_deltaX * std::sin(ax) + m_deltaY * std::sin(ay);
}

void CRelativePoint::OnCommand(UINT id) {
  if (id != IDC_CALCULATE) return;
  if (window() != nullptr && !UpdateData(TRUE)) return;
  calculate();
  UpdateData(FALSE);
}

void CRelativePoint::OnOK() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  calculate();
  UpdateData(FALSE);
  CXSectionAnalysisDoc* doc = document();
  CXSectionAnalysis* m = view().model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (doc == nullptr || sub == nullptr) return;
  if (!std::isfinite(m_resultX) || !std::isfinite(m_resultY)) {
    message(L"The point is not a finite number.", L"Relative Point Keyin", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  sub->addConstructionPoint(m_resultX, m_resultY);
  gLogMsg.Format(L"xscn.AddPoint \"%s\",%g,%g", static_cast<const wchar_t*>(JournalQuotedText(sub->name())),
                 m_resultX, m_resultY);
  doc->LogIt();
  doc->ModelChanged();
  view().RebuildAndRedraw();
}
