// The window-free half of the modeless dialogs.
#include "lorimant/shapes/ModelessDialogLogic.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/Hooks.h"

ModelessDialogLogic::ModelessDialogLogic(UINT templateId, const wchar_t* caption, CThickSectionView& view)
    : m_templateId(templateId), m_caption(caption), m_view(view) {}

ModelessDialogLogic::~ModelessDialogLogic() {
  unregister();
  auto& points = m_view.m_pointDialogs;
  points.erase(std::remove(points.begin(), points.end(), static_cast<ModelessDialog*>(this)), points.end());
  if (DialogWindow* w = std::exchange(m_window, nullptr)) w->destroyWindow();
}

CXSectionAnalysisDoc* ModelessDialogLogic::document() const { return m_view.GetDocument(); }

bool ModelessDialogLogic::isRegistered() const {
  const CXSectionAnalysisDoc* doc = document();
  return doc != nullptr && doc->IsModelessDialogOpen(const_cast<ModelessDialogLogic*>(this));
}

void ModelessDialogLogic::unregister() {
  if (isRegistered()) document()->UnregisterModelessDialog(this);
}

void ModelessDialogLogic::show() {
  if (CXSectionAnalysisDoc* doc = document()) doc->RegisterModelessDialog(this);
  if (m_window == nullptr && m_windowMaker) m_window = m_windowMaker(*this);
  if (m_window != nullptr) m_window->showWindow();
}

void ModelessDialogLogic::DestroyWindow() {
  const bool open = m_window != nullptr || isRegistered();
  unregister();
  if (open) closed();
  if (DialogWindow* w = std::exchange(m_window, nullptr)) w->destroyWindow();
}

void ModelessDialogLogic::windowGone(DialogWindow* window) {
  if (window == nullptr || window != m_window) return;
  m_window = nullptr;
  unregister();
  closed();
}

void ModelessDialogLogic::CloseDialog() {
  // The document that opened the dialog closes it, whichever is active now.
  if (isRegistered())
    document()->CloseModelessDialog(this);
  else
    DestroyWindow();
}

BOOL ModelessDialogLogic::UpdateData(BOOL saveAndValidate) {
  if (m_window == nullptr) return FALSE;
  return RunDataExchange(m_window->controls(), saveAndValidate, [this](CDataExchange* pDX) { DoDataExchange(pDX); });
}

void ModelessDialogLogic::takeViewPoints() {
  auto& points = m_view.m_pointDialogs;
  if (std::find(points.begin(), points.end(), static_cast<ModelessDialog*>(this)) == points.end())
    points.push_back(this);
}

void ModelessDialogLogic::post(std::function<void()> work) {
  if (m_window == nullptr) {
    work();
    return;
  }
  std::weak_ptr<bool> alive = m_alive;
  m_window->post([alive, work = std::move(work)] {
    if (alive.lock()) work();
  });
}

int ModelessDialogLogic::message(const wchar_t* text, const wchar_t* caption, UINT type) {
  return Hooks::messageBox(CString(text), CString(caption), type);
}

void ModelessDialogLogic::DDX_RoundedDouble(CDataExchange* pDX, int id, double& value, bool allowEmpty) {
  if (!pDX->m_bSaveAndValidate) {
    pDX->PrepareEditCtrl(id);
    if (std::isfinite(value) && std::llround(value) == static_cast<long long>(kUndefined)) {
      pDX->m_pControls->SetText(id, CString(kUndefinedText));
      return;
    }
    DDX_FMTCOMMA(pDX, id, value, allowEmpty);
    return;
  }
  CString text = pDX->m_pControls->GetText(id);
  text.Trim();
  // What the dialog showed for an undefined value reads back as that value.
  if (text.CompareNoCase(kUndefinedText) == 0) {
    pDX->PrepareEditCtrl(id);
    value = kUndefined;
    return;
  }
  // An empty box read on purpose is read as a number is: refused.
  if (text.IsEmpty() && allowEmpty) {
    DDX_Text(pDX, id, value);
    return;
  }
  DDX_FMTCOMMA(pDX, id, value, false);
}

void ModelessDialogLogic::DDX_FormattedDouble(CDataExchange* pDX, int id, double& value, bool allowEmpty,
                                              const CString& format) {
  DDX_FMTDBL(pDX, id, value, format, allowEmpty);
}
