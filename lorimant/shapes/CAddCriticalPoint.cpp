// The critical-point dialog.
#include "lorimant/shapes/CAddCriticalPoint.h"

#include <cmath>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"

namespace {
// A strain smaller than this is no strain.
constexpr double kNoStrain = 1e-20;
}  // namespace

CAddCriticalPoint::CAddCriticalPoint(CThickSectionView& view, CSubSection* sub, std::function<void()> added)
    : ModelessDialogLogic(IDD, L"Add Critical Point", view), m_sub(sub), m_added(std::move(added)) {}

CAddCriticalPoint::~CAddCriticalPoint() { releaseReceiverSlot(); }

void CAddCriticalPoint::show() {
  CThickSectionView& v = view();
  if (!m_holdsSlot) {
    m_previousReceiver = v.m_shapeSelectionDialog;
    v.m_shapeSelectionDialog = this;
    m_holdsSlot = true;
  }
  ModelessDialogLogic::show();
}

void CAddCriticalPoint::releaseReceiverSlot() {
  if (!m_holdsSlot) return;
  m_holdsSlot = false;
  CThickSectionView& v = view();
  if (v.m_shapeSelectionDialog == this) v.m_shapeSelectionDialog = m_previousReceiver;
  m_previousReceiver = nullptr;
}

void CAddCriticalPoint::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_X, m_x);
  DDX_Text(pDX, IDC_Y, m_y);
  DDX_Text(pDX, IDC_STRAIN, m_strain);
}

void CAddCriticalPoint::pointPicked(Point<double> location) {
  UpdateData(TRUE);
  m_x = location.x;
  m_y = location.y;
  UpdateData(FALSE);
}

void CAddCriticalPoint::OnOK() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  if (std::fabs(m_strain) < kNoStrain) {
    message(L"Critical strain value may not be zero", L"Critical Points", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (m_sub == nullptr) return;
  Point<double> p(m_x, m_y, 0.0);
  m_sub->addCriticalPoint(p, m_strain);
  releaseReceiverSlot();
  if (CXSectionAnalysisDoc* doc = document()) {
    gLogMsg.Format(L"xscn.AddCriticalPoint \"%s\",%g,%g,%g",
                   static_cast<const wchar_t*>(JournalQuotedText(m_sub->name())), m_x, m_y, m_strain);
    doc->LogIt();
  }
  if (m_added) m_added();
  CloseDialog();
}
