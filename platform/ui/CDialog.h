// The wx dialog that the program's dialogs derive from: controls built in
// code with their control ids, data exchange through DoDataExchange (see
// platform/core/DataExchange.h), a modal run that ends with EndDialog, and
// modeless showing.
//
// A subclass creates its controls in CreateControls with the Add* builders
// and arranges them in sizers; the window is built the first time it is
// shown. OK (id IDOK) runs OnOK, Cancel (IDCANCEL), Escape and the close
// box run OnCancel, Enter runs OnOK unless the focus is on a button or in a
// box of several lines, or the OK button is disabled. OnOK and OnCancel may
// refuse to close by not calling EndDialog.
//
// Tests: with a modal hook set, DoModal shows the dialog without a modal
// loop and hands it to the hook, which fills controls and presses buttons;
// DoModal then returns what the dialog ended with (IDCANCEL, after closing
// it, when the hook left it open).
#pragma once

#include "platform/core/DataExchange.h"
#include "platform/core/Hooks.h" // IDOK, IDCANCEL

#include <wx/dialog.h>

#include <functional>
#include <map>
#include <vector>

class wxButton;
class wxCheckBox;
class wxChoice;
class wxKeyEvent;
class wxRadioButton;
class wxSizer;
class wxStaticText;
class wxTextCtrl;

class CDialog : public wxDialog, public CDialogControls {
public:
    using ModalHook = std::function<void(CDialog&)>;

    // A dialog of the given template id with its caption; the window is built later.
    CDialog(UINT templateId, wxWindow* parent, const wxString& caption);
    ~CDialog() override;

    // Builds the window when needed, initialises it (OnInitDialog) and runs
    // it modally; the code given to EndDialog (IDOK, IDCANCEL, ...). A
    // dialog that OnInitDialog ends is not shown.
    virtual INT_PTR DoModal();
    // Builds the window when needed, initialises it and shows it without
    // blocking (unless OnInitDialog ended it); EndDialog then hides it.
    void ShowModeless();
    // Ends the dialog: a modal run returns result; a modeless dialog hides.
    void EndDialog(int result);
    // TRUE: reads the controls into the members (FALSE when one is refused,
    // its prompt shown); FALSE: shows the members in the controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The template id the dialog was made with.
    UINT GetTemplateId() const { return m_templateId; }
    // The code of the last EndDialog (IDCANCEL before any).
    int GetEndCode() const { return m_endCode; }
    // The control of an id; throws std::logic_error when there is none.
    wxWindow* GetDlgItem(int id) const;
    // The text of a control (as GetText).
    CString GetDlgItemText(int id) const { return GetText(id); }
    // Replaces the text of a control (as SetText).
    void SetDlgItemText(int id, const CString& text) { SetText(id, text); }

    // Sets (null: clears) the hook that stands in for the modal loop.
    static void SetModalHook(ModalHook hook);
    // The hook set now (empty when none is).
    static ModalHook GetModalHook();

    // The controls as the data exchange sees them.
    CString GetText(int id) const override;
    void SetText(int id, const CString& text) override;
    void LimitText(int id, int chars) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    int GetRadio(int firstId) const override;
    void SetRadio(int firstId, int index) override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    void FocusControl(int id, bool selectAll) override;

protected:
    // Creates the controls and the sizer of the window.
    virtual void CreateControls() = 0;
    // Shows the members (UpdateData(FALSE)); FALSE when it gave a control
    // the focus itself, TRUE to leave the focus to the window system.
    virtual BOOL OnInitDialog();
    // Reads the controls and closes with IDOK when none is refused.
    virtual void OnOK();
    // Closes with IDCANCEL.
    virtual void OnCancel();
    // Moves the members to and from the controls; the base moves nothing.
    virtual void DoDataExchange(CDataExchange* pDX);

    // Builders: each creates a control with its id in parent (the dialog
    // when null) and returns it for the subclass's sizers.
    wxStaticText* AddLabel(int id, const wxString& text, wxWindow* parent = nullptr);
    // An edit box (wxTE_* style); a read-only one shows the window's background.
    wxTextCtrl* AddEdit(int id, long style = 0, wxWindow* parent = nullptr);
    wxCheckBox* AddCheck(int id, const wxString& label, wxWindow* parent = nullptr);
    // A drop-down list of items: with a text of its own (a wxComboBox)
    // when editable, else a list to pick from (a wxChoice).
    wxChoice* AddCombo(int id, const wxArrayString& items, bool editable, wxWindow* parent = nullptr);
    // A radio button; firstOfGroup starts a new group named by its id, the
    // others join the group started last.
    wxRadioButton* AddRadio(int id, const wxString& label, bool firstOfGroup, wxWindow* parent = nullptr);
    wxButton* AddButton(int id, const wxString& label, wxWindow* parent = nullptr);
    // A label (no id) and an edit box of the id, as one row of a grid of two columns.
    wxTextCtrl* AddLabelledEdit(wxSizer* grid, int id, const wxString& label, long style = 0,
                                wxWindow* parent = nullptr);
    // The usual row of buttons at the bottom right: OK (okId) and, when
    // cancel is set, Cancel (IDCANCEL); OK is the default button.
    wxSizer* MakeOkCancelRow(int okId = IDOK, bool cancel = true);
    // The layout of a one-question dialog: the question promptId (showing
    // placeholder until set) above one edit box boxId at least boxWidth
    // pixels wide, then the OK/Cancel row.
    void LayOutQuestion(int promptId, const wxString& placeholder, int boxId, int boxWidth);
    // Wraps the question promptId at kPromptWrapWidth, after its text is shown.
    void WrapQuestion(int promptId);
    // Marks the default button (drawn as such; Enter still runs OnOK).
    void SetDefaultButton(int id);

    // Width in pixels at which a dialog wraps a question of any length.
    static constexpr int kPromptWrapWidth = 420;

private:
    struct RadioGroup {
        std::vector<int> ids;
        wxRadioButton* none = nullptr; // hidden: checked when no button is
    };

    void Build();
    void Initialise();
    void OnCharHook(wxKeyEvent& event);
    void OnCloseBox(wxCloseEvent& event);
    void OnShown(wxShowEvent& event);
    template <class T>
    T* control(int id) const;

    UINT m_templateId;
    wxWindow* m_parent;
    wxString m_caption;
    bool m_built = false;
    bool m_ended = false;
    int m_endCode;
    int m_pendingFocus = 0;
    bool m_pendingSelectAll = false;
    std::map<int, RadioGroup> m_groups;
    int m_lastGroup = 0;
};
