// The material database manager's window.
#include "lorimant/ui/CMatlMgmtDlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <iterator>

#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/ui/CGetStringDlg.h"
#include "lorimant/ui/CMatlDlg.h"
#include "lorimant/ui/CUnits.h"

namespace {

using Logic = MaterialManagerLogic;

// The buttons beside the list, top to bottom; a gap before CANCEL.
struct ButtonSpec {
    int id;
    const char* label;
};
constexpr ButtonSpec kOperationButtons[] = {
    {Logic::IDC_ADD, "ADD"},
    {Logic::IDC_EDIT, "EDIT"},
    {Logic::IDC_DELETE, "DELETE"},
    {Logic::IDC_VIEW, "VIEW"},
    {Logic::IDC_CREATE_SIMILAR, "Create Similar"},
    {Logic::IDC_APPLY_MATERIAL, "Apply Material"},
    {Logic::IDC_UNSELECT, "UNSELECT"},
};
constexpr ButtonSpec kClosingButtons[] = {{IDCANCEL, "CANCEL"}, {Logic::IDC_CLOSE, "Close"}};

// The operations the buttons run.
struct ButtonAction {
    int id;
    void (Logic::*action)();
};
constexpr ButtonAction kButtonActions[] = {
    {Logic::IDC_ADD, &Logic::OnAdd},
    {Logic::IDC_EDIT, &Logic::OnEdit},
    {Logic::IDC_DELETE, &Logic::OnDelete},
    {Logic::IDC_VIEW, &Logic::OnView},
    {Logic::IDC_CREATE_SIMILAR, &Logic::OnCreateSimilar},
    {Logic::IDC_APPLY_MATERIAL, &Logic::OnApplyMaterial},
    {Logic::IDC_UNSELECT, &Logic::OnUnselect},
    {Logic::IDC_CLOSE, &Logic::OnClose},
};

// The buttons whose F1 shows the logic's short help.
constexpr int kHelpButtons[] = {Logic::IDC_DELETE, Logic::IDC_ADD, Logic::IDC_EDIT};

// The list's columns: caption and width in pixels, both centred.
constexpr int kNameWidth = 165;
constexpr int kUnitsWidth = 80;

constexpr int kGap = 4;

} // namespace

CMatlMgmtDlg::CMatlMgmtDlg(CXSectionAnalysisDoc& doc, wxWindow* parent)
    : CModalBase(IDD, parent, kCaption), MaterialManagerLogic(doc, static_cast<MaterialManagerHost&>(*this))
{
}

CMatlMgmtDlg::~CMatlMgmtDlg() = default;

// --- Building -------------------------------------------------------------------------

void CMatlMgmtDlg::CreateControls()
{
    m_list = new wxListCtrl(this, IDC_MATERIALS, wxDefaultPosition, wxDefaultSize,
                            wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
    m_list->AppendColumn("Material Name", wxLIST_FORMAT_CENTRE, kNameWidth);
    m_list->AppendColumn("Units", wxLIST_FORMAT_CENTRE, kUnitsWidth);
    // Both columns and the vertical scroll bar fit.
    m_list->SetMinSize(wxSize(kNameWidth + kUnitsWidth + 24, 280));

    auto* upper = new wxBoxSizer(wxHORIZONTAL);
    upper->Add(m_list, 1, wxEXPAND | wxRIGHT, 8);
    upper->Add(makeButtons(), 0, wxEXPAND);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(upper, 1, wxEXPAND | wxALL, 10);
    top->Add(makeFilter(), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizer(top);
    bindEvents();
}

wxSizer* CMatlMgmtDlg::makeButtons()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    for (const ButtonSpec& spec : kOperationButtons)
        column->Add(AddButton(spec.id, spec.label), 0, wxEXPAND | wxBOTTOM, kGap);
    column->AddStretchSpacer();
    for (const ButtonSpec& spec : kClosingButtons)
        column->Add(AddButton(spec.id, spec.label), 0, wxEXPAND | wxTOP, kGap);
    return column;
}

wxSizer* CMatlMgmtDlg::makeFilter()
{
    auto* group = new wxStaticBoxSizer(wxHORIZONTAL, this, "Filter List");
    wxWindow* box = group->GetStaticBox();
    wxArrayString columns;
    for (const wchar_t* column : kFilterColumns)
        columns.Add(column);
    wxChoice* combo = AddCombo(IDC_FILTER_COLUMN, columns, false, box);
    combo->SetSelection(0);
    wxTextCtrl* text = AddEdit(IDC_FILTER_TEXT, 0, box);
    text->SetMinSize(wxSize(150, -1));

    group->Add(AddLabel(wxID_STATIC, "List Materials with", box), 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    group->Add(combo, 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    group->Add(AddLabel(wxID_STATIC, "Similar To", box), 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    group->Add(text, 1, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    group->Add(AddButton(IDC_APPLY_FILTER, "Apply Filter", box), 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    return group;
}

void CMatlMgmtDlg::bindEvents()
{
    for (const ButtonAction& button : kButtonActions)
        Bind(wxEVT_BUTTON, [this, action = button.action](wxCommandEvent&) { (this->*action)(); }, button.id);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { onApplyFilter(); }, IDC_APPLY_FILTER);
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, &CMatlMgmtDlg::onSelected, this);
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, &CMatlMgmtDlg::onDeselected, this);
    for (int id : kHelpButtons)
        GetDlgItem(id)->Bind(wxEVT_KEY_DOWN, [this, id](wxKeyEvent& event) {
            if (event.GetKeyCode() != WXK_F1 || !OnHelpInfo(id))
                event.Skip();
        });
    Bind(wxEVT_HELP, [this](wxHelpEvent& event) {
        if (!OnHelpInfo(event.GetId()))
            event.Skip();
    });
}

// --- Events to the logic ---------------------------------------------------------------

BOOL CMatlMgmtDlg::OnInitDialog()
{
    MaterialManagerLogic::OnInitDialog();
    return TRUE;
}

void CMatlMgmtDlg::onSelected(wxListEvent& event)
{
    if (!m_showing)
        OnSelectionChanged(static_cast<int>(event.GetIndex()));
}

void CMatlMgmtDlg::onDeselected(wxListEvent& event)
{
    // Moving the selection deselects the old row first: only a list left
    // without a selected row counts.
    if (!m_showing && m_list->GetSelectedItemCount() == 0)
        OnSelectionChanged(-1);
    event.Skip();
}

void CMatlMgmtDlg::onApplyFilter()
{
    m_filterColumn = GetCurSel(IDC_FILTER_COLUMN);
    m_filterText = GetText(IDC_FILTER_TEXT);
    OnApplyFilter();
}

// --- Logic to window -----------------------------------------------------------------------

void CMatlMgmtDlg::ShowRows()
{
    if (m_list == nullptr)
        return;
    m_showing = true;
    m_list->DeleteAllItems();
    long index = 0;
    for (const MaterialRow& row : rows()) {
        const long item = m_list->InsertItem(index++, wxString(row.name.GetString()));
        m_list->SetItem(item, 1, wxString(row.units.GetString()));
    }
    m_showing = false;
}

void CMatlMgmtDlg::ShowSelection()
{
    if (m_list == nullptr)
        return;
    m_showing = true;
    for (long item = 0; item < m_list->GetItemCount(); ++item) {
        const bool selected = item == selection();
        if ((m_list->GetItemState(item, wxLIST_STATE_SELECTED) != 0) != selected)
            m_list->SetItemState(item, selected ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
    m_showing = false;
}

void CMatlMgmtDlg::ShowButtonStates()
{
    for (const ButtonSpec& spec : kOperationButtons)
        if (wxWindow* button = FindWindow(spec.id))
            button->Enable(IsButtonEnabled(spec.id));
}

void CMatlMgmtDlg::CloseDialog(int code)
{
    EndDialog(code);
}

// --- The windows it opens ----------------------------------------------------------------

std::optional<EUnitSystem> CMatlMgmtDlg::askUnits()
{
    CUnits dialog(this);
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    return dialog.m_selection == USCS ? USCS : SI;
}

int CMatlMgmtDlg::runMaterialDialog(int mode, const CString& name, const CString& unitsText,
                                    const CString& databasePath)
{
    CMatlDlg dialog(this);
    dialog.m_mode = mode;
    dialog.m_name = name;
    dialog.m_units = unitsText;
    dialog.m_databasePath = databasePath;
    dialog.m_pLog = document().journal();
    return static_cast<int>(dialog.DoModal());
}

std::optional<CString> CMatlMgmtDlg::askText(const CString& prompt)
{
    CGetStringDlg dialog(this);
    dialog.m_prompt = prompt;
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    return dialog.m_answer;
}

std::shared_ptr<CMetal> RunMaterialManager(CXSectionAnalysisDoc& doc, wxWindow* parent)
{
    if (doc.model() == nullptr)
        return nullptr;
    CMatlMgmtDlg dialog(doc, parent);
    if (dialog.DoModal() != IDOK)
        return nullptr;
    return dialog.chosenMetal();
}
