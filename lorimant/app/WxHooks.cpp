// The wx implementations of the hooks.
#include "lorimant/app/WxHooks.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>


#include "lorimant/ui/CMainFrame.h"
#include "platform/core/Hooks.h"

namespace {

// A button set of a message box: its wx style, the labels it needs beyond
// wx's own, and the answer of each wx result.
struct ButtonSet {
  UINT type;
  long style;
  const char* labels[3];  // yes/ok, no, cancel labels; null keeps wx's
  int onYesOrOk, onNo, onCancel;
};

const ButtonSet kButtonSets[] = {
    {MB_OK, wxOK, {nullptr, nullptr, nullptr}, IDOK, IDOK, IDOK},
    {MB_OKCANCEL, wxOK | wxCANCEL, {nullptr, nullptr, nullptr}, IDOK, IDCANCEL, IDCANCEL},
    {MB_YESNO, wxYES_NO, {nullptr, nullptr, nullptr}, IDYES, IDNO, IDNO},
    {MB_YESNOCANCEL, wxYES_NO | wxCANCEL, {nullptr, nullptr, nullptr}, IDYES, IDNO, IDCANCEL},
    {MB_RETRYCANCEL, wxOK | wxCANCEL, {"Retry", nullptr, "Cancel"}, IDRETRY, IDCANCEL, IDCANCEL},
    {MB_ABORTRETRYIGNORE, wxYES_NO | wxCANCEL, {"Abort", "Retry", "Ignore"}, IDABORT, IDRETRY, IDIGNORE},
};

const struct {
  UINT icon;
  long style;
} kIcons[] = {
    {MB_ICONHAND, wxICON_ERROR},
    {MB_ICONQUESTION, wxICON_QUESTION},
    {MB_ICONEXCLAMATION, wxICON_WARNING},
    {MB_ICONASTERISK, wxICON_INFORMATION},
};

int wxMessageBoxHook(const CString& text, const CString& caption, UINT type) {
  const ButtonSet* set = &kButtonSets[0];
  for (const ButtonSet& s : kButtonSets)
    if (s.type == (type & MB_TYPEMASK)) set = &s;
  long style = set->style;
  for (const auto& icon : kIcons)
    if (icon.icon == (type & MB_ICONMASK)) style |= icon.style;
  if ((type & MB_DEFMASK) != MB_DEFBUTTON1) style |= (style & wxYES_NO) ? wxNO_DEFAULT : wxCANCEL_DEFAULT;

  wxMessageDialog dialog(CMainFrame::instance(), wxString(text.GetString()),
                         caption.IsEmpty() ? wxString("Lorimant") : wxString(caption.GetString()), style);
  if (set->labels[0] != nullptr && (style & wxYES_NO))
    dialog.SetYesNoCancelLabels(set->labels[0], set->labels[1], set->labels[2]);
  else if (set->labels[0] != nullptr)
    dialog.SetOKCancelLabels(set->labels[0], set->labels[2]);
  switch (dialog.ShowModal()) {
    case wxID_OK:
    case wxID_YES:
      return set->onYesOrOk;
    case wxID_NO:
      return set->onNo;
    default:
      return set->onCancel;
  }
}

}  // namespace

void InstallWxHooks() {
  Hooks::setMessageBox(wxMessageBoxHook);
  Hooks::setWaitCursor([](bool begin) { begin ? wxBeginBusyCursor() : wxEndBusyCursor(); });
  Hooks::setStatusText([](const CString& text) {
    if (CMainFrame* main = CMainFrame::instance()) main->ShowStatusText(wxString(text.GetString()));
  });
}
