// The editable list in a real dialog, driven by simulated mouse and keys:
// a double click opens the cell's editor, Enter writes and tells the dialog
// once, Escape writes nothing, a click elsewhere commits unless a drop-down
// or calendar is open, Tab moves on, a header click sorts and flips, and
// cells show their own colours.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/combo.h>
#include <wx/combobox.h>
#include <wx/datectrl.h>
#include <wx/dialog.h>
#include <wx/headerctrl.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "platform/tests/CStringPrinter.h"
#include "platform/tests/GuiTestSupport.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CListCtrlEx.h"

namespace {

// A dialog holding the list (name, material, date), its three editors and
// another button; it counts the list's change events.
class ListDialog : public wxDialog {
public:
    CListCtrlEx* list = nullptr;
    wxTextCtrl* text = nullptr;
    wxComboBox* combo = nullptr;
    wxDatePickerCtrl* date = nullptr;
    wxButton* other = nullptr;
    int changes = 0;

    ListDialog() : wxDialog(nullptr, wxID_ANY, "Editable list", wxDefaultPosition, wxSize(520, 300))
    {
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        list = new CListCtrlEx(this, wxID_ANY, wxDefaultPosition, wxSize(500, 200));
        other = new wxButton(this, wxID_ANY, "Other");
        sizer->Add(list, 1, wxEXPAND | wxALL, 6);
        sizer->Add(other, 0, wxALL, 6);
        SetSizer(sizer);
        text = new wxTextCtrl(this, wxID_ANY);
        const wxString materials[] = {"Steel", "Aluminium", "Titanium"};
        combo = new wxComboBox(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 3, materials);
        date = new wxDatePickerCtrl(this, wxID_ANY);

        list->InsertColumn(0, L"Name", LVCFMT_LEFT, 160);
        list->InsertColumn(1, L"Material", LVCFMT_LEFT, 150);
        list->InsertColumn(2, L"Date", LVCFMT_LEFT, 150);
        const wchar_t* rows[][3] = {
            {L"Flange", L"Steel", L"01/03/1850"}, {L"Web", L"Aluminium", L"12/24/2020"}, {L"Lip", L"Titanium", L"06/30/1999"}};
        for (auto& row : rows) {
            const int r = list->InsertItem(list->GetItemCount(), row[0]);
            list->SetItemText(r, 1, row[1]);
            list->SetItemText(r, 2, row[2]);
        }
        list->SetDefaultEditor(nullptr, text, nullptr);
        list->SetColumnEditor(1, nullptr, combo, nullptr);
        list->SetColumnEditor(2, nullptr, date, nullptr);
        Bind(EVT_LISTCTRLEX_CHANGED, [this](wxCommandEvent& event) {
            EXPECT_EQ(event.GetEventObject(), list);
            ++changes;
        });
        Layout();
    }
};

class GuiListCtrlEx : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gui_test::StartWx()) << "wx could not start: the GUI tests need a display (xvfb-run)";
        // Dates in the list are written in the C locale's short form.
        savedTime_ = setlocale(LC_TIME, nullptr);
        setlocale(LC_TIME, "C");
        dialog_ = new ListDialog;
        dialog_->Show();
        dialog_->Raise();
        gui_test::Settle();
    }
    void TearDown() override
    {
        if (dialog_ != nullptr)
            dialog_->Destroy();
        gui_test::Settle();
        setlocale(LC_TIME, savedTime_.c_str());
    }

    CListCtrlEx& list() { return *dialog_->list; }
    // The screen point at the middle of a cell.
    wxPoint cellCentre(int row, int column)
    {
        const wxRect rect = list().CellRectInArea(row, column);
        return list().CellArea()->ClientToScreen(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
    }
    void doubleClickCell(int row, int column)
    {
        sim_.MouseMove(cellCentre(row, column));
        gui_test::Settle();
        sim_.MouseDblClick();
        gui_test::Settle();
    }
    void click(wxWindow& window)
    {
        const wxSize size = window.GetSize();
        sim_.MouseMove(window.GetScreenPosition() + wxPoint(size.x / 2, size.y / 2));
        gui_test::Settle();
        sim_.MouseClick();
        gui_test::Settle();
    }
    void type(const char* text)
    {
        sim_.Text(text);
        gui_test::Settle();
    }
    void key(int code, int modifiers = wxMOD_NONE)
    {
        sim_.Char(code, modifiers);
        gui_test::Settle();
    }
    // Clicks the header of a column.
    void clickHeader(int column)
    {
        wxHeaderCtrl* header = list().GetGridColHeader();
        ASSERT_NE(header, nullptr);
        int x = 0;
        for (int c = 0; c < column; ++c)
            x += list().GetColSize(c);
        sim_.MouseMove(header->ClientToScreen(wxPoint(x + list().GetColSize(column) / 2, header->GetSize().y / 2)));
        gui_test::Settle();
        sim_.MouseClick();
        gui_test::Settle();
    }

    ListDialog* dialog_ = nullptr;
    wxUIActionSimulator sim_;
    std::string savedTime_;
};

} // namespace

TEST_F(GuiListCtrlEx, DoubleClickOpensTheTextEditorAndEnterWritesTheCellOnce)
{
    doubleClickCell(1, 0);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
    EXPECT_EQ(list().GetEditRow(), 1);
    EXPECT_EQ(list().GetEditColumn(), 0);
    wxTextCtrl& text = *dialog_->text;
    EXPECT_EQ(list().GetActiveEditor(), &text);
    EXPECT_TRUE(text.IsShown());
    EXPECT_EQ(text.GetParent(), list().CellArea());
    EXPECT_EQ(text.GetValue(), "Web");
    // The editor lies over the cell, no wider than the visible cells less 4.
    const wxRect cell = list().CellRectInArea(1, 0);
    EXPECT_EQ(text.GetPosition(), cell.GetPosition());
    EXPECT_EQ(text.GetSize().x, std::min(cell.width, list().CellArea()->GetClientSize().x - 4));
    EXPECT_TRUE(CMsgHook::IsRegistered(&text));

    type("Beam");
    EXPECT_TRUE(gui_test::Eventually([&] { return text.GetValue() == "Beam"; })) << text.GetValue();  // the cell's text was selected, so typing replaced it
    EXPECT_FALSE(gui_test::SaveWindowPng(*dialog_, "gui_listctrlex_editing").empty());
    key(WXK_RETURN);
    EXPECT_TRUE(gui_test::Eventually([&] { return !list().IsEditing(); }));
    EXPECT_FALSE(text.IsShown());
    EXPECT_FALSE(CMsgHook::IsRegistered(&text));
    EXPECT_EQ(list().GetItemText(1, 0), L"Beam");
    EXPECT_EQ(list().GetCellValue(1, 0), "Beam");
    EXPECT_EQ(dialog_->changes, 1);
    EXPECT_TRUE(dialog_->IsShown());  // Enter did not press the dialog's default button
}

TEST_F(GuiListCtrlEx, EscapeEndsTheEditWithoutWriting)
{
    doubleClickCell(0, 0);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
    type("Nothing");
    key(WXK_ESCAPE);
    EXPECT_TRUE(gui_test::Eventually([&] { return !list().IsEditing(); }));
    EXPECT_EQ(list().GetItemText(0, 0), L"Flange");
    EXPECT_EQ(dialog_->changes, 0);
    EXPECT_TRUE(dialog_->IsShown());  // Escape did not cancel the dialog
}

TEST_F(GuiListCtrlEx, ClickOnAnotherControlCommits)
{
    doubleClickCell(2, 0);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
    type("Stiffener");
    click(*dialog_->other);
    EXPECT_TRUE(gui_test::Eventually([&] { return !list().IsEditing(); }));
    EXPECT_EQ(list().GetItemText(2, 0), L"Stiffener");
    EXPECT_EQ(dialog_->changes, 1);
}

TEST_F(GuiListCtrlEx, OpenComboListKeepsTheEditUntilItCloses)
{
    doubleClickCell(0, 1);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
    wxComboBox& combo = *dialog_->combo;
    ASSERT_EQ(list().GetActiveEditor(), &combo);
    EXPECT_EQ(combo.GetValue(), "Steel");
    EXPECT_FALSE(gui_test::SaveWindowPng(*dialog_, "gui_listctrlex_combo").empty());
    combo.Popup();
    gui_test::Settle();
    EXPECT_TRUE(CMsgHook::IsSuppressed(&combo));
    // The click that closes the drop-down does not end the edit.
    click(*dialog_->other);
    EXPECT_TRUE(list().IsEditing());
    EXPECT_EQ(dialog_->changes, 0);
    combo.Dismiss();
    gui_test::Settle();
    EXPECT_FALSE(CMsgHook::IsSuppressed(&combo));
    combo.SetValue("Titanium");
    click(*dialog_->other);
    EXPECT_TRUE(gui_test::Eventually([&] { return !list().IsEditing(); }));
    EXPECT_EQ(list().GetItemText(0, 1), L"Titanium");
    EXPECT_EQ(dialog_->changes, 1);
}

TEST_F(GuiListCtrlEx, OpenCalendarKeepsTheEditAndTheDateIsWrittenInTheUsersForm)
{
    doubleClickCell(0, 2);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
    wxDatePickerCtrl& date = *dialog_->date;
    ASSERT_EQ(list().GetActiveEditor(), &date);
    EXPECT_EQ(date.GetValue().FormatISODate(), "1850-01-03");
    EXPECT_FALSE(gui_test::SaveWindowPng(*dialog_, "gui_listctrlex_date").empty());
    // The calendar drops down from the picker's combo part.
    wxComboCtrl* dropDown = nullptr;
    for (wxWindow* child : date.GetChildren())
        if (auto* c = dynamic_cast<wxComboCtrl*>(child))
            dropDown = c;
    ASSERT_NE(dropDown, nullptr);
    dropDown->Popup();
    gui_test::Settle();
    EXPECT_TRUE(CMsgHook::IsSuppressed(&date));
    click(*dialog_->other);
    EXPECT_TRUE(list().IsEditing());
    if (dropDown->IsPopupShown())
        dropDown->Dismiss();
    gui_test::Settle();
    EXPECT_FALSE(CMsgHook::IsSuppressed(&date));
    date.SetValue(wxDateTime(2, wxDateTime::Feb, 1899));
    click(*dialog_->other);
    EXPECT_TRUE(gui_test::Eventually([&] { return !list().IsEditing(); }));
    EXPECT_EQ(list().GetItemText(0, 2), L"02/02/1899");
    EXPECT_EQ(dialog_->changes, 1);
}

TEST_F(GuiListCtrlEx, TabInTheEditorMovesToTheNextCellThatOpens)
{
    list().SetColumnReadOnly(1);
    doubleClickCell(0, 0);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
    type("Cap");
    key(WXK_TAB);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().GetEditColumn() == 2; }));
    EXPECT_EQ(list().GetItemText(0, 0), L"Cap");
    EXPECT_EQ(list().GetEditRow(), 0);
    EXPECT_EQ(list().GetEditColumn(), 2);  // over the read-only column
    EXPECT_EQ(list().GetActiveEditor(), dialog_->date);
    key(WXK_TAB, wxMOD_SHIFT);
    EXPECT_TRUE(gui_test::Eventually([&] { return list().GetEditColumn() == 0; }));
    key(WXK_ESCAPE);
    EXPECT_TRUE(gui_test::Eventually([&] { return !list().IsEditing(); }));
}

TEST_F(GuiListCtrlEx, HeaderClickSortsAndFlipsWithTheArrow)
{
    list().SetColumnSort(0, LVEX_SORT_TOGGLE, LVEX_SORT_TEXT_NOCASE);
    list().SetColumnSort(2, LVEX_SORT_TOGGLE, LVEX_SORT_DATE);
    clickHeader(0);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().GetSortColumn() == 0; }));
    EXPECT_EQ(list().GetItemText(0, 0), L"Flange");
    EXPECT_EQ(list().GetItemText(1, 0), L"Lip");
    EXPECT_EQ(list().GetItemText(2, 0), L"Web");
    EXPECT_EQ(list().GetSortingColumn(), 0);
    EXPECT_TRUE(list().IsSortOrderAscending());
    clickHeader(0);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().GetItemText(0, 0) == L"Web"; }));
    EXPECT_EQ(list().GetSortingColumn(), 0);
    EXPECT_FALSE(list().IsSortOrderAscending());
    // Dates as instants: 1850 before 1999 before 2020; the arrow moves.
    clickHeader(2);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().GetSortColumn() == 2; }));
    EXPECT_EQ(list().GetItemText(0, 0), L"Flange");
    EXPECT_EQ(list().GetItemText(1, 0), L"Lip");
    EXPECT_EQ(list().GetItemText(2, 0), L"Web");
    EXPECT_EQ(list().GetSortingColumn(), 2);
    EXPECT_FALSE(gui_test::SaveWindowPng(*dialog_, "gui_listctrlex_sorted").empty());
    // A column without sort flags does not sort.
    clickHeader(1);
    EXPECT_EQ(list().GetItemText(0, 0), L"Flange");
    EXPECT_EQ(list().GetSortingColumn(), 2);
    EXPECT_EQ(list().GetSortColumn(), 2);
}

TEST_F(GuiListCtrlEx, CellColoursShowInTheWindow)
{
    // COLORREF 0xFF0000 is blue (with white text); the row's text colour is red.
    list().SetCellColors(1, 1, 0xFF0000, RGB(255, 255, 255));
    list().SetRowColors(2, CLR_NONE, RGB(255, 0, 0));
    list().DeselectAll();
    gui_test::Settle();
    const auto file = gui_test::SaveWindowPng(*dialog_, "gui_listctrlex_colours");
    ASSERT_FALSE(file.empty());
    wxImage image(wxString::FromUTF8(file.string()), wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(image.IsOk());
    const auto inDialog = [&](int row, int column, int dx) {
        const wxRect cell = list().CellRectInArea(row, column);
        return dialog_->ScreenToClient(list().CellArea()->ClientToScreen(wxPoint(cell.GetRight() - dx, cell.y + cell.height / 2)));
    };
    const wxPoint blue = inDialog(1, 1, 3);
    EXPECT_EQ(image.GetRed(blue.x, blue.y), 0);
    EXPECT_EQ(image.GetGreen(blue.x, blue.y), 0);
    EXPECT_EQ(image.GetBlue(blue.x, blue.y), 255);
    // Its neighbour keeps the list's background.
    const wxPoint plain = inDialog(1, 0, 3);
    const wxColour background = list().GetDefaultCellBackgroundColour();
    EXPECT_EQ(image.GetBlue(plain.x, plain.y), background.Blue());
    EXPECT_EQ(image.GetRed(plain.x, plain.y), background.Red());
    // Red text pixels in the row with the red text colour.
    const wxRect row = list().CellRectInArea(2, 0);
    const wxPoint origin = dialog_->ScreenToClient(list().CellArea()->ClientToScreen(row.GetPosition()));
    int red = 0;
    for (int x = origin.x; x < origin.x + row.width; ++x)
        for (int y = origin.y; y < origin.y + row.height; ++y)
            red += image.GetRed(x, y) > 150 && image.GetGreen(x, y) < 90 && image.GetBlue(x, y) < 90;
    EXPECT_GT(red, 5);
}

TEST_F(GuiListCtrlEx, DeleteKeyDeletesTheSelectedRowsButNotReadOnlyOnes)
{
    list().EnableDeleteKey(true);
    list().SetRowReadOnly(1);
    // Click row 0, Ctrl+click row 1 and row 2: the grid's selection is the list's.
    sim_.MouseMove(cellCentre(0, 0));
    gui_test::Settle();
    sim_.MouseClick();
    gui_test::Settle();
    for (int row : {1, 2}) {
        sim_.MouseMove(cellCentre(row, 0));
        gui_test::Settle();
        sim_.KeyDown(WXK_CONTROL);
        sim_.MouseClick();
        sim_.KeyUp(WXK_CONTROL);
        gui_test::Settle();
    }
    for (int row : {0, 1, 2})
        EXPECT_TRUE(list().IsItemSelected(row)) << row;
    key(WXK_DELETE);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().GetItemCount() == 1; }));
    EXPECT_EQ(list().GetItemText(0, 0), L"Web");
    EXPECT_FALSE(list().IsItemSelected(0));
    EXPECT_EQ(list().GetNumberRows(), 1);
    EXPECT_FALSE(list().IsInSelection(0, 0));
}

TEST_F(GuiListCtrlEx, AnEditorDestroyedWhileOpenEndsTheEditQuietly)
{
    doubleClickCell(1, 0);
    ASSERT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
    wxTextCtrl* text = dialog_->text;
    delete text;
    dialog_->text = nullptr;
    gui_test::Settle();
    EXPECT_TRUE(gui_test::Eventually([&] { return !list().IsEditing(); }));
    EXPECT_FALSE(CMsgHook::IsRegistered(text));
    click(*dialog_->other);
    EXPECT_EQ(list().GetItemText(1, 0), L"Web");
    EXPECT_EQ(dialog_->changes, 0);
    // The cell has no editor any more; another column still opens, and the
    // dialog may close with that edit open.
    doubleClickCell(1, 0);
    EXPECT_FALSE(list().IsEditing());
    doubleClickCell(1, 1);
    EXPECT_TRUE(gui_test::Eventually([&] { return list().IsEditing(); }));
}

TEST_F(GuiListCtrlEx, EndEditEventFromTheProgramEndsTheEdit)
{
    // The dialog itself may ask the list to end its edit (with or without
    // commit); only an end-edit event of another editor than the open one
    // is stale and ignored.
    const struct {
        wxObject* object;
        int commit;
        const wchar_t* cell;
    } cases[] = {
        {nullptr, 1, L"Typed"},
        {nullptr, 0, L"Web"},
        {dialog_->other, 1, L"Typed"},
    };
    for (const auto& c : cases) {
        list().SetItemText(1, 0, L"Web");
        ASSERT_TRUE(list().StartEdit(1, 0));
        gui_test::Settle();
        dialog_->text->ChangeValue("Typed");
        wxCommandEvent stale(EVT_LISTCTRLEX_ENDEDIT, list().GetId());
        stale.SetEventObject(dialog_->combo);  // an editor that is not open
        stale.SetInt(1);
        list().GetEventHandler()->ProcessEvent(stale);
        EXPECT_TRUE(list().IsEditing());
        wxCommandEvent end(EVT_LISTCTRLEX_ENDEDIT, list().GetId());
        end.SetEventObject(c.object);
        end.SetInt(c.commit);
        list().GetEventHandler()->ProcessEvent(end);
        EXPECT_FALSE(list().IsEditing()) << c.commit;
        EXPECT_EQ(list().GetItemText(1, 0), c.cell);
        EXPECT_FALSE(CMsgHook::IsRegistered(dialog_->text));
    }
}

namespace {

// The list in a dialog of the program's own dialog base, whose Enter is OK
// and whose Escape is Cancel.
class ListInDialog : public CDialog {
public:
    ListInDialog() : CDialog(7300, nullptr, "List in a dialog") {}
    CListCtrlEx* list = nullptr;
    wxTextCtrl* text = nullptr;
    int oks = 0;
    int cancels = 0;

protected:
    void CreateControls() override
    {
        list = new CListCtrlEx(this, 300, wxDefaultPosition, wxSize(360, 150));
        text = new wxTextCtrl(this, wxID_ANY);
        list->InsertColumn(0, L"Name", LVCFMT_LEFT, 200);
        list->InsertItem(0, L"Flange");
        list->SetDefaultEditor(nullptr, text, nullptr);
        auto* top = new wxBoxSizer(wxVERTICAL);
        top->Add(list, 1, wxEXPAND | wxALL, 6);
        top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 6);
        SetSizer(top);
    }
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
};

} // namespace

TEST_F(GuiListCtrlEx, EnterAndEscapeInTheEditorStayWithTheEditInTheProgramsDialog)
{
    ListInDialog dialog;
    dialog.ShowModeless();
    dialog.Raise();
    gui_test::Settle();
    for (int key : {WXK_RETURN, WXK_ESCAPE}) {
        const wxRect rect = dialog.list->CellRectInArea(0, 0);
        sim_.MouseMove(dialog.list->CellArea()->ClientToScreen(rect.GetPosition() + wxPoint(20, rect.height / 2)));
        gui_test::Settle();
        sim_.MouseDblClick();
        ASSERT_TRUE(gui_test::Eventually([&] { return dialog.list->IsEditing(); })) << key;
        type(key == WXK_RETURN ? "Web" : "Lip");
        this->key(key);
        EXPECT_TRUE(gui_test::Eventually([&] { return !dialog.list->IsEditing(); })) << key;
        // The next double click must not count as a third click of this one.
        wxMilliSleep(600);
    }
    EXPECT_EQ(dialog.list->GetItemText(0, 0), L"Web");
    EXPECT_EQ(dialog.oks, 0);
    EXPECT_EQ(dialog.cancels, 0);
    // Without an edit the keys are the dialog's.
    dialog.list->SetFocus();
    key(WXK_RETURN);
    EXPECT_TRUE(gui_test::Eventually([&] { return dialog.oks == 1; }));
    dialog.Destroy();
}

TEST_F(GuiListCtrlEx, CellOutOfViewIsScrolledInBeforeItsEditorShows)
{
    // Rows far below and a column far to the right of what shows: the
    // editor lies inside the cell area, at the cell, no wider than it.
    list().SetColSize(0, 400);
    list().SetColSize(1, 400);
    for (int i = 0; i < 60; ++i)
        list().InsertItem(list().GetItemCount(), CString(L"Row ") + CString(std::to_wstring(i)));
    gui_test::Settle();
    for (const auto& [row, column] : {std::pair{55, 2}, std::pair{1, 0}, std::pair{40, 1}}) {
        SCOPED_TRACE(testing::Message() << row << "," << column);
        ASSERT_TRUE(list().StartEdit(row, column));
        gui_test::Settle();
        wxWindow* editor = list().GetActiveEditor();
        ASSERT_NE(editor, nullptr);
        const wxRect area(list().CellArea()->GetClientSize());
        const wxRect placed = editor->GetRect();
        EXPECT_TRUE(area.Contains(placed.GetTopLeft())) << placed.x << "," << placed.y;
        EXPECT_LE(placed.GetBottom(), area.GetBottom());
        EXPECT_LE(placed.width, area.width - 4);
        EXPECT_EQ(placed.y, list().CellRectInArea(row, column).y);
        list().EndEdit(FALSE);
    }
}
