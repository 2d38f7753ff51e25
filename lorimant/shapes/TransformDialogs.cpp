// The mirror, rotation and translation dialogs of the section view.
#include <cmath>

#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/shapes/CMirrorDlg.h"
#include "lorimant/shapes/CRotateDlg.h"
#include "lorimant/shapes/CTransDlg.h"
#include "platform/core/Hooks.h"

namespace {

constexpr const wchar_t* kTransformations = L"Transformations";

// The current sub-section of the view's model (null when none).
CSubSection* currentOf(const CThickSectionView& view) {
  CXSectionAnalysis* m = view.model();
  return m != nullptr ? m->currentSubSectionMutable() : nullptr;
}

bool unionOn(const CThickSectionView& view) {
  const CSubSection* sub = currentOf(view);
  return sub != nullptr && sub->isUnionOn();
}

}  // namespace

// ---- mirror ----

CMirrorDlg::CMirrorDlg(CThickSectionView& view) : ModelessDialogLogic(IDD, L"Mirror", view) { takeViewPoints(); }

void CMirrorDlg::setOpening(bool duplicate, int second, double dx, double dy, const CString& name) {
  m_duplicate = duplicate;
  m_second = second;
  m_dirX = dx;
  m_dirY = dy;
  m_name = name;
}

void CMirrorDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_DIR_X, m_dirX);
  DDX_Text(pDX, IDC_DIR_Y, m_dirY);
  DDX_Text(pDX, IDC_POINT_X, m_pointX);
  DDX_Text(pDX, IDC_POINT_Y, m_pointY);
}

void CMirrorDlg::pointPicked(Point<double> location) {
  UpdateData(TRUE);
  m_pointX = location.x;
  m_pointY = location.y;
  UpdateData(FALSE);
}

void CMirrorDlg::OnOK() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  const Point<double> p(m_pointX, m_pointY, 0.0);
  // The normal of the axis: (0, 0, 1) x direction.
  const Point<double> n(0.0 - m_dirY, m_dirX, 0.0);
  CThickSectionView& v = view();
  // The walk journals each shape and runs the change routine once.
  v.mirrorPicked(m_duplicate, p, n);
  CloseDialog();
  v.fullView();
}

// ---- rotation ----

CRotateDlg::CRotateDlg(CThickSectionView& view) : ModelessDialogLogic(IDD, L"Rotation", view) { takeViewPoints(); }

void CRotateDlg::setOpening(bool duplicate, bool all, const CString& name) {
  m_duplicate = duplicate;
  m_all = all;
  m_name = name;
}

void CRotateDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_ANGLE, m_angle);
  DDX_Text(pDX, IDC_CENTER_X, m_centerX);
  DDX_Text(pDX, IDC_CENTER_Y, m_centerY);
}

void CRotateDlg::pointPicked(Point<double> location) {
  UpdateData(TRUE);
  m_centerX = location.x;
  m_centerY = location.y;
  UpdateData(FALSE);
}

void CRotateDlg::OnOK() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  CThickSectionView& v = view();
  CXSectionAnalysisDoc* doc = document();
  if (doc == nullptr || v.model() == nullptr) return;
  if (m_all) {
    // Journals "xscn.RotateAll", turns the sub-section and runs the change routine.
    ILorimant::RotateAll(*doc, m_centerX, m_centerY, m_angle);
  } else {
    if (unionOn(v)) {
      message(L"Turn off union before performing rotation", kTransformations, MB_OK | MB_ICONINFORMATION);
      return;
    }
    v.rotatePicked(m_duplicate, m_centerX, m_centerY, m_angle);
  }
  v.RebuildAndRedraw();
  v.fullView();
  CloseDialog();
}

// ---- translation ----

CTransDlg::CTransDlg(CThickSectionView& view) : ModelessDialogLogic(IDD, L"Translation Vector", view) {
  takeViewPoints();
}

void CTransDlg::setOpening(bool duplicate, bool all) {
  m_duplicate = duplicate;
  m_all = all;
  m_firstPick.reset();
}

void CTransDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_HORIZONTAL, m_horizontal);
  DDX_Text(pDX, IDC_VERTICAL, m_vertical);
}

void CTransDlg::pointPicked(Point<double> location) {
  if (!m_firstPick) {
    m_firstPick = location;
    return;
  }
  m_horizontal = location.x - m_firstPick->x;
  m_vertical = location.y - m_firstPick->y;
  m_firstPick.reset();
  UpdateData(FALSE);
  // The second pick joins the pick list after this call: take both off
  // once the click is done.
  CThickSectionView& v = view();
  post([&v] {
    v.unpickLast();
    v.unpickLast();
    v.RefreshScene();
  });
}

void CTransDlg::OnOK() {
  if (window() != nullptr && !UpdateData(TRUE)) return;
  CThickSectionView& v = view();
  CXSectionAnalysisDoc* doc = document();
  CXSectionAnalysis* m = v.model();
  if (doc == nullptr || m == nullptr) return;
  if (m_all) {
    // Journals "xscn.TranslateAll", moves the sub-section and runs the change routine.
    ILorimant::TranslateAll(*doc, m_horizontal, m_vertical);
  } else {
    if (unionOn(v)) {
      message(L"Turn off union before performing translation", kTransformations, MB_OK);
      return;
    }
    const CSubSection* sub = currentOf(v);
    if (sub != nullptr && !sub->meshes.empty()) {
      message(L"Mesh must be deleted before a shape may be translated", L"", MB_OK);
      return;
    }
    m->geometryChanged();
    v.translatePicked(Point<double>(m_horizontal, m_vertical, 0.0), m_duplicate);
  }
  v.fullView();
  v.ClearPicks();
  CloseDialog();
}

void CTransDlg::OnCancel() {
  view().ClearPicks();
  CloseDialog();
}
