// The wx dialog base: building, running, keys and the controls by id.
#include "platform/ui/CDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/ctrlsub.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

CDialog::ModalHook& modalHook()
{
    static CDialog::ModalHook hook;
    return hook;
}

wxString toWx(const CString& text) { return wxString(text.GetString()); }

CString fromWx(const wxString& text) { return CString(text.ToStdWstring()); }

} // namespace

CDialog::CDialog(UINT templateId, wxWindow* parent, const wxString& caption)
    : m_templateId(templateId), m_parent(parent), m_caption(caption), m_endCode(IDCANCEL)
{
}

CDialog::~CDialog() = default;

void CDialog::SetModalHook(ModalHook hook)
{
    modalHook() = std::move(hook);
}

CDialog::ModalHook CDialog::GetModalHook()
{
    return modalHook();
}

void CDialog::Build()
{
    if (m_built)
        return;
    wxDialog::Create(m_parent, wxID_ANY, m_caption, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE);
    m_built = true;
    Bind(wxEVT_CHAR_HOOK, &CDialog::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CDialog::OnCloseBox, this);
    Bind(wxEVT_SHOW, &CDialog::OnShown, this);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, IDOK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, IDCANCEL);
    CreateControls();
}

void CDialog::Initialise()
{
    Build();
    m_ended = false;
    m_endCode = IDCANCEL;
    OnInitDialog();
    // The members may have changed the texts: size the window to them.
    if (wxSizer* sizer = GetSizer())
        sizer->SetSizeHints(this);
    Layout();
    CentreOnParent();
}

INT_PTR CDialog::DoModal()
{
    Initialise();
    // Ended while it initialised: nothing to show, no loop to run.
    if (m_ended) {
        Hide();
        return m_endCode;
    }
    if (!modalHook())
        return ShowModal();
    Show();
    const ModalHook hook = modalHook(); // the hook may replace itself
    try {
        hook(*this);
    } catch (...) {
        Hide();
        throw;
    }
    if (!m_ended)
        m_endCode = IDCANCEL;
    Hide();
    return m_endCode;
}

void CDialog::ShowModeless()
{
    Initialise();
    if (!m_ended)
        Show();
}

void CDialog::EndDialog(int result)
{
    m_endCode = result;
    m_ended = true;
    if (IsModal())
        EndModal(result);
    else
        Hide();
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    return RunDataExchange(*this, saveAndValidate, [this](CDataExchange* pDX) { DoDataExchange(pDX); });
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnCharHook(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
        OnCancel();
        return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        wxWindow* focus = wxWindow::FindFocus();
        auto* text = dynamic_cast<wxTextCtrl*>(focus);
        // A button takes Enter as its click; a box of several lines as a new line.
        if (dynamic_cast<wxButton*>(focus) != nullptr || (text != nullptr && text->IsMultiLine())) {
            event.Skip();
            return;
        }
        const wxWindow* ok = FindWindow(IDOK);
        if (ok == nullptr || ok->IsEnabled())
            OnOK();
        return;
    }
    event.Skip();
}

void CDialog::OnCloseBox(wxCloseEvent& event)
{
    if (!event.CanVeto()) {
        EndDialog(IDCANCEL);
        event.Skip();
        return;
    }
    event.Veto();
    OnCancel();
}

void CDialog::OnShown(wxShowEvent& event)
{
    event.Skip();
    if (event.IsShown() && m_pendingFocus != 0) {
        const int id = m_pendingFocus;
        m_pendingFocus = 0;
        FocusControl(id, m_pendingSelectAll);
    }
}

// --- Builders ----------------------------------------------------------------

wxStaticText* CDialog::AddLabel(int id, const wxString& text, wxWindow* parent)
{
    auto* label = new wxStaticText(parent != nullptr ? parent : this, id, wxEmptyString);
    label->SetLabelText(text);
    return label;
}

wxTextCtrl* CDialog::AddEdit(int id, long style, wxWindow* parent)
{
    auto* edit = new wxTextCtrl(parent != nullptr ? parent : this, id, wxEmptyString, wxDefaultPosition,
                                wxDefaultSize, style);
    // The window system draws a read-only box as an editable one: the
    // background tells the user that it only shows.
    if ((style & wxTE_READONLY) != 0)
        edit->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    return edit;
}

wxChoice* CDialog::AddCombo(int id, const wxArrayString& items, bool editable, wxWindow* parent)
{
    wxWindow* owner = parent != nullptr ? parent : this;
    if (editable)
        return new wxComboBox(owner, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, items);
    return new wxChoice(owner, id, wxDefaultPosition, wxDefaultSize, items);
}

wxCheckBox* CDialog::AddCheck(int id, const wxString& label, wxWindow* parent)
{
    return new wxCheckBox(parent != nullptr ? parent : this, id, label);
}

wxRadioButton* CDialog::AddRadio(int id, const wxString& label, bool firstOfGroup, wxWindow* parent)
{
    wxWindow* owner = parent != nullptr ? parent : this;
    if (!firstOfGroup && m_groups.find(m_lastGroup) == m_groups.end())
        throw std::logic_error("radio button " + std::to_string(id) + " has no group to join");
    auto* button = new wxRadioButton(owner, id, label, wxDefaultPosition, wxDefaultSize,
                                     firstOfGroup ? wxRB_GROUP : 0);
    if (firstOfGroup) {
        // The window system always keeps one button of a group checked: a
        // hidden button of the group stands for "none checked".
        RadioGroup& group = m_groups[id];
        group.none = new wxRadioButton(owner, wxID_ANY, wxEmptyString);
        group.none->Hide();
        m_lastGroup = id;
    }
    m_groups[m_lastGroup].ids.push_back(id);
    return button;
}

wxButton* CDialog::AddButton(int id, const wxString& label, wxWindow* parent)
{
    return new wxButton(parent != nullptr ? parent : this, id, label);
}

wxTextCtrl* CDialog::AddLabelledEdit(wxSizer* grid, int id, const wxString& label, long style, wxWindow* parent)
{
    grid->Add(AddLabel(wxID_STATIC, label, parent), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    wxTextCtrl* edit = AddEdit(id, style, parent);
    grid->Add(edit, 1, wxEXPAND | wxALL, 5);
    return edit;
}

void CDialog::LayOutQuestion(int promptId, const wxString& placeholder, int boxId, int boxWidth)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(AddLabel(promptId, placeholder), 0, wxEXPAND | wxALL, 10);
    wxTextCtrl* box = AddEdit(boxId);
    box->SetMinSize(wxSize(boxWidth, -1));
    top->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
    SetSizer(top);
}

void CDialog::WrapQuestion(int promptId)
{
    static_cast<wxStaticText*>(GetDlgItem(promptId))->Wrap(kPromptWrapWidth);
}

wxSizer* CDialog::MakeOkCancelRow(int okId, bool cancel)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddStretchSpacer();
    row->Add(AddButton(okId, "OK"), 0, wxALL, 5);
    if (cancel)
        row->Add(AddButton(IDCANCEL, "Cancel"), 0, wxALL, 5);
    SetDefaultButton(okId);
    return row;
}

void CDialog::SetDefaultButton(int id)
{
    control<wxButton>(id)->SetDefault();
}

// --- Controls by id ------------------------------------------------------------

wxWindow* CDialog::GetDlgItem(int id) const
{
    wxWindow* window = m_built ? FindWindow(id) : nullptr;
    if (window == nullptr || window == this)
        throw std::logic_error("the dialog " + std::to_string(m_templateId) + " has no control " +
                               std::to_string(id));
    return window;
}

template <class T>
T* CDialog::control(int id) const
{
    T* typed = dynamic_cast<T*>(GetDlgItem(id));
    if (typed == nullptr)
        throw std::logic_error("control " + std::to_string(id) + " of the dialog " + std::to_string(m_templateId) +
                               " is not of the kind the exchange needs");
    return typed;
}

CString CDialog::GetText(int id) const
{
    wxWindow* window = GetDlgItem(id);
    if (auto* text = dynamic_cast<wxTextCtrl*>(window))
        return fromWx(text->GetValue());
    if (auto* combo = dynamic_cast<wxComboBox*>(window))
        return fromWx(combo->GetValue());
    if (auto* choice = dynamic_cast<wxChoice*>(window))
        return fromWx(choice->GetStringSelection());
    if (auto* label = dynamic_cast<wxStaticText*>(window))
        return fromWx(label->GetLabelText());
    return fromWx(window->GetLabel());
}

void CDialog::SetText(int id, const CString& text)
{
    wxWindow* window = GetDlgItem(id);
    if (auto* edit = dynamic_cast<wxTextCtrl*>(window)) {
        edit->ChangeValue(toWx(text));
    } else if (auto* combo = dynamic_cast<wxComboBox*>(window); combo != nullptr && !combo->HasFlag(wxCB_READONLY)) {
        combo->ChangeValue(toWx(text));
    } else if (auto* choice = dynamic_cast<wxChoice*>(window)) {
        if (!choice->SetStringSelection(toWx(text)))
            choice->SetSelection(wxNOT_FOUND);
    } else if (auto* label = dynamic_cast<wxStaticText*>(window)) {
        label->SetLabelText(toWx(text));
    } else {
        window->SetLabel(toWx(text));
    }
}

void CDialog::LimitText(int id, int chars)
{
    auto* edit = control<wxTextCtrl>(id);
    // The window system cuts a text longer than the limit: the limit never
    // goes below what the box shows, so a longer member is shown whole and
    // refused when read rather than shortened behind the user's back.
    unsigned long limit = chars > 0 ? static_cast<unsigned long>(chars) : 0;
    if (limit > 0)
        limit = std::max<unsigned long>(limit, edit->GetValue().length());
    edit->SetMaxLength(limit);
}

int CDialog::GetCheck(int id) const
{
    wxWindow* window = GetDlgItem(id);
    if (auto* radio = dynamic_cast<wxRadioButton*>(window))
        return radio->GetValue() ? BST_CHECKED : BST_UNCHECKED;
    auto* check = control<wxCheckBox>(id);
    if (check->Is3State())
        return check->Get3StateValue() == wxCHK_UNDETERMINED ? BST_INDETERMINATE
               : check->Get3StateValue() == wxCHK_CHECKED   ? BST_CHECKED
                                                            : BST_UNCHECKED;
    return check->GetValue() ? BST_CHECKED : BST_UNCHECKED;
}

void CDialog::SetCheck(int id, int state)
{
    wxWindow* window = GetDlgItem(id);
    if (auto* radio = dynamic_cast<wxRadioButton*>(window)) {
        radio->SetValue(state == BST_CHECKED);
        return;
    }
    auto* check = control<wxCheckBox>(id);
    if (check->Is3State())
        check->Set3StateValue(state == BST_INDETERMINATE ? wxCHK_UNDETERMINED
                              : state == BST_CHECKED     ? wxCHK_CHECKED
                                                         : wxCHK_UNCHECKED);
    else
        check->SetValue(state == BST_CHECKED);
}

int CDialog::GetRadio(int firstId) const
{
    const auto it = m_groups.find(firstId);
    if (it == m_groups.end())
        throw std::logic_error("the dialog " + std::to_string(m_templateId) + " has no radio group " +
                               std::to_string(firstId));
    const std::vector<int>& ids = it->second.ids;
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (control<wxRadioButton>(ids[i])->GetValue())
            return static_cast<int>(i);
    return -1;
}

void CDialog::SetRadio(int firstId, int index)
{
    const auto it = m_groups.find(firstId);
    if (it == m_groups.end())
        throw std::logic_error("the dialog " + std::to_string(m_templateId) + " has no radio group " +
                               std::to_string(firstId));
    const RadioGroup& group = it->second;
    if (index >= 0 && index < static_cast<int>(group.ids.size()))
        control<wxRadioButton>(group.ids[static_cast<std::size_t>(index)])->SetValue(true);
    else
        group.none->SetValue(true);
}

// Combo boxes and list boxes alike: any control with a list of items.
int CDialog::GetCurSel(int id) const
{
    return control<wxControlWithItems>(id)->GetSelection();
}

void CDialog::SetCurSel(int id, int index)
{
    auto* choice = control<wxControlWithItems>(id);
    choice->SetSelection(index >= 0 && index < static_cast<int>(choice->GetCount()) ? index : wxNOT_FOUND);
}

void CDialog::FocusControl(int id, bool selectAll)
{
    wxWindow* window = GetDlgItem(id);
    if (!IsShown()) {
        // Given again when the window shows: before that it cannot hold it.
        m_pendingFocus = id;
        m_pendingSelectAll = selectAll;
    }
    window->SetFocus();
    if (auto* text = dynamic_cast<wxTextCtrl*>(window); text != nullptr && selectAll)
        text->SelectAll();
}
