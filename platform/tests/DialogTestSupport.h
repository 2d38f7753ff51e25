// What the dialog tests share: a script that stands in for the modal loop
// of the dialogs a test opens, and the user's actions on a dialog's
// controls sent as the window system sends them (the controls' events).
#pragma once

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dirdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <functional>
#include <utility>

#include "platform/tests/GuiTestSupport.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CXSBrowseFolder.h"

namespace dialog_test {

// While it lives, every dialog's DoModal shows the dialog and runs script
// on it instead of a modal loop (a dialog the script leaves open ends
// with IDCANCEL); the hook set before it comes back when it goes.
class ModalScript {
public:
    explicit ModalScript(std::function<void(CDialog&)> script) : m_previous(CDialog::GetModalHook())
    {
        CDialog::SetModalHook([script = std::move(script)](CDialog& dialog) {
            gui_test::Flush();
            script(dialog);
        });
    }
    ~ModalScript() { CDialog::SetModalHook(m_previous); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    CDialog::ModalHook m_previous;
};

// While it lives, the folder chooser answers with runner instead of a modal loop.
class FolderScript {
public:
    explicit FolderScript(CXSBrowseFolder::Runner runner) { CXSBrowseFolder::SetRunner(std::move(runner)); }
    ~FolderScript() { CXSBrowseFolder::SetRunner(nullptr); }
    FolderScript(const FolderScript&) = delete;
    FolderScript& operator=(const FolderScript&) = delete;
};

// Clicks a button as the user does: the button's click event.
inline void Click(CDialog& dialog, int id)
{
    auto* button = dynamic_cast<wxButton*>(dialog.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << "control " << id << " is no button";
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->HandleWindowEvent(click);
    gui_test::Flush();
}

// Types text into an edit box, replacing what it held (its text events follow).
inline void Type(CDialog& dialog, int id, const wxString& text)
{
    auto* edit = dynamic_cast<wxTextCtrl*>(dialog.GetDlgItem(id));
    ASSERT_NE(edit, nullptr) << "control " << id << " is no edit box";
    edit->SetValue(text);
}

// Clicks a radio button or a check box as the user does.
inline void Tick(CDialog& dialog, int id, bool on = true)
{
    wxWindow* window = dialog.GetDlgItem(id);
    if (auto* radio = dynamic_cast<wxRadioButton*>(window)) {
        radio->SetValue(true);
        wxCommandEvent click(wxEVT_RADIOBUTTON, id);
        click.SetEventObject(radio);
        click.SetInt(1);
        radio->HandleWindowEvent(click);
    } else {
        auto* check = dynamic_cast<wxCheckBox*>(window);
        ASSERT_NE(check, nullptr) << "control " << id << " is neither radio button nor check box";
        check->SetValue(on);
        wxCommandEvent click(wxEVT_CHECKBOX, id);
        click.SetEventObject(check);
        click.SetInt(on ? 1 : 0);
        check->HandleWindowEvent(click);
    }
}

// Presses a key (WXK_RETURN, WXK_ESCAPE) with the focus on control id (0:
// wherever it is): the key event the dialog sees before any control.
inline void Press(CDialog& dialog, int key, int id = 0)
{
    if (id != 0)
        dialog.GetDlgItem(id)->SetFocus();
    wxKeyEvent press(wxEVT_CHAR_HOOK);
    press.m_keyCode = key;
    press.SetEventObject(&dialog);
    dialog.HandleWindowEvent(press);
    gui_test::Flush();
}

// The id of the control that has the focus (0: none of the dialog's).
inline int FocusedId(CDialog& dialog)
{
    gui_test::Flush();
    wxWindow* focus = wxWindow::FindFocus();
    if (focus == nullptr || wxGetTopLevelParent(focus) != &dialog)
        return 0;
    return focus->GetId();
}

} // namespace dialog_test
