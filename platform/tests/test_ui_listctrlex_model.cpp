// The editable list's rules without a display: which editor opens a cell,
// how an edit ends, Tab navigation, deletion, colours and sorting, and the
// comparison of two cell texts by sort type.
#include <gtest/gtest.h>

#include <clocale>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/tests/CStringPrinter.h"
#include "platform/ui/CListCtrlExModel.h"

namespace {

// Stand-ins for editor windows: the model only passes them on.
char gEditorTokens[4];
wxWindow* editorA() { return reinterpret_cast<wxWindow*>(&gEditorTokens[0]); }
wxWindow* editorB() { return reinterpret_cast<wxWindow*>(&gEditorTokens[1]); }
wxWindow* editorC() { return reinterpret_cast<wxWindow*>(&gEditorTokens[2]); }
wxWindow* editorD() { return reinterpret_cast<wxWindow*>(&gEditorTokens[3]); }

// A list whose display is a record: the editor's text, the shown editor,
// change notifications, sort arrows and calls of the append operation.
class RecordingList : public CListCtrlExModel {
public:
    CString editorText;
    wxWindow* shown = nullptr;
    int shownRow = -1;
    int shownColumn = -1;
    int changes = 0;
    int appendCalls = 0;
    int registered = 0;
    std::vector<std::string> arrows;
    // Answers the append operation when set; the model's own otherwise.
    std::function<int(RecordingList&)> append;
    // Runs when a committed change is announced (the dialog's handler).
    std::function<void(RecordingList&)> onChange;
    // Rows redrawn one by one.
    std::vector<int> redrawn;

    // Rows of text, one string per cell, and a user datum per row (its index).
    RecordingList(int columns, const std::vector<std::vector<const wchar_t*>>& rows = {})
    {
        for (int c = 0; c < columns; ++c)
            InsertColumn(c, CString(L"C") + CString(static_cast<wchar_t>(L'0' + c)));
        for (const auto& row : rows) {
            const int r = InsertItem(GetItemCount(), row[0], static_cast<DWORD_PTR>(GetItemCount() + 100));
            for (std::size_t c = 1; c < row.size(); ++c)
                SetItemText(r, static_cast<int>(c), row[c]);
        }
    }
    std::vector<std::wstring> column(int c) const
    {
        std::vector<std::wstring> texts;
        for (int r = 0; r < GetItemCount(); ++r)
            texts.push_back(GetItemText(r, c).str());
        return texts;
    }
    int baseAppend() { return CListCtrlExModel::AppendItem(); }

protected:
    int AppendItem() override
    {
        ++appendCalls;
        return append ? append(*this) : CListCtrlExModel::AppendItem();
    }
    void ShowEditor(wxWindow* editor, int row, int column) override
    {
        shown = editor;
        shownRow = row;
        shownColumn = column;
    }
    void HideEditor(wxWindow*) override { shown = nullptr; }
    void SetEditorText(wxWindow*, const CString& text) override { editorText = text; }
    CString GetEditorText(wxWindow*) const override { return editorText; }
    void RegisterEditor(wxWindow*) override { ++registered; }
    bool UnregisterEditor(wxWindow*) override
    {
        --registered;
        return true;
    }
    void NotifyChanged() override
    {
        ++changes;
        if (onChange)
            onChange(*this);
    }
    void OnItemChanged(int row) override { redrawn.push_back(row); }
    void OnSortArrow(int previous, int column, bool ascending) override
    {
        arrows.push_back(std::to_string(previous) + ">" + std::to_string(column) + (ascending ? " up" : " down"));
    }
};

using Texts = std::vector<std::wstring>;

} // namespace

TEST(ListCtrlExModel, ReadOnlyColumnRowOrCellRefusesTheEdit)
{
    enum Part { Column, Row, Cell };
    for (Part part : {Column, Row, Cell}) {
        SCOPED_TRACE(part);
        RecordingList list(2, {{L"a", L"b"}, {L"c", L"d"}});
        list.SetDefaultEditor(nullptr, editorA(), nullptr);
        if (part == Column)
            list.SetColumnReadOnly(1);
        else if (part == Row)
            list.SetRowReadOnly(0);
        else
            list.SetCellReadOnly(0, 1);
        EXPECT_FALSE(list.StartEdit(0, 1));
        EXPECT_FALSE(list.IsEditing());
        EXPECT_EQ(list.shown, nullptr);
        // A read-only part does not lock the rest of the list.
        EXPECT_TRUE(list.StartEdit(1, 0));
        EXPECT_EQ(list.shown, editorA());
    }
    // Out of range, or no editor anywhere.
    RecordingList bare(2, {{L"a", L"b"}});
    EXPECT_FALSE(bare.StartEdit(0, 0));
    bare.SetDefaultEditor(nullptr, editorA(), nullptr);
    EXPECT_FALSE(bare.StartEdit(1, 0));
    EXPECT_FALSE(bare.StartEdit(0, 2));
    EXPECT_FALSE(bare.StartEdit(-1, 0));
}

TEST(ListCtrlExModel, EditorIsChosenListThenColumnThenRowThenCell)
{
    RecordingList list(3, {{L"a", L"b", L"c"}, {L"d", L"e", L"f"}});
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    list.SetColumnEditor(1, nullptr, editorB(), nullptr);
    list.SetRowEditor(1, nullptr, editorC(), nullptr);
    list.SetCellEditor(1, 2, nullptr, editorD(), nullptr);
    // A cell that sets only its colours or read-only flag names no editor.
    list.SetCellColors(0, 0, RGB(1, 2, 3), CLR_NONE);
    struct Case {
        int row, column;
        wxWindow* editor;
    };
    const Case cases[] = {
        {0, 0, editorA()},  // the list's
        {0, 1, editorB()},  // the column's
        {0, 2, editorA()},
        {1, 0, editorC()},  // the row's
        {1, 1, editorC()},  // the row's over the column's
        {1, 2, editorD()},  // the cell's over all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
        EXPECT_EQ(list.ChooseEditor(c.row, c.column).editor, c.editor);
        ASSERT_TRUE(list.StartEdit(c.row, c.column));
        EXPECT_EQ(list.shown, c.editor);
        EXPECT_EQ(list.shownRow, c.row);
        EXPECT_EQ(list.shownColumn, c.column);
        EXPECT_EQ(list.editorText, list.GetItemText(c.row, c.column));
        list.EndEdit(FALSE);
    }
}

TEST(ListCtrlExModel, WithoutCallbacksCommitWritesTheEditorTextAndCancelWritesNothing)
{
    RecordingList list(2, {{L"a", L"b"}, {L"c", L"d"}});
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    list.SelectItem(0, true);
    list.SelectItem(1, true);
    ASSERT_TRUE(list.StartEdit(1, 1));
    // Opening without an initialise callback deselects every row.
    EXPECT_FALSE(list.IsItemSelected(0));
    EXPECT_FALSE(list.IsItemSelected(1));
    EXPECT_EQ(list.registered, 1);
    list.editorText = L"typed";
    list.EndEdit(FALSE);
    EXPECT_EQ(list.GetItemText(1, 1), L"d");
    EXPECT_EQ(list.changes, 0);
    EXPECT_EQ(list.shown, nullptr);
    EXPECT_EQ(list.registered, 0);

    ASSERT_TRUE(list.StartEdit(1, 1));
    list.editorText = L"typed";
    list.EndEdit(TRUE);
    list.EndEdit(TRUE);  // nothing open any more
    EXPECT_EQ(list.GetItemText(1, 1), L"typed");
    EXPECT_EQ(list.changes, 1);
    EXPECT_FALSE(list.IsEditing());
}

TEST(ListCtrlExModel, FinishCallbackKeepsWritesOrWritesAndSorts)
{
    for (int outcome : {0, 1, -1}) {
        SCOPED_TRACE(outcome);
        RecordingList list(1, {{L"1.5"}, {L"2.5"}, {L"3.5"}});
        list.SetColumnSort(0, LVEX_SORT_ASCENDING, LVEX_SORT_DOUBLE);
        int initCalls = 0;
        BOOL seenCommit = -1;
        list.SetDefaultEditor(
            [&](wxWindow* editor, int row, int column, const CString& text, DWORD_PTR data, CListCtrlExModel&,
                BOOL init) {
                ++initCalls;
                EXPECT_EQ(editor, editorA());
                EXPECT_EQ(row, 2);
                EXPECT_EQ(column, 0);
                EXPECT_EQ(text, L"3.5");
                EXPECT_EQ(data, 102u);
                EXPECT_TRUE(init);
            },
            editorA(),
            [&](wxWindow*, int row, int, CString& text, DWORD_PTR data, CListCtrlExModel&, BOOL commit) {
                EXPECT_EQ(row, 2);
                EXPECT_EQ(text, L"3.5");  // the cell's text comes in
                EXPECT_EQ(data, 102u);
                seenCommit = commit;
                text = L"0.5";
                return outcome;
            });
        list.SelectItem(0, true);
        ASSERT_TRUE(list.StartEdit(2, 0));
        EXPECT_EQ(initCalls, 1);
        EXPECT_TRUE(list.IsItemSelected(0));  // an initialise callback leaves the selection alone
        list.EndEdit(TRUE);
        EXPECT_EQ(seenCommit, TRUE);
        EXPECT_EQ(list.changes, outcome == 0 ? 0 : 1);
        if (outcome == 0)
            EXPECT_EQ(list.column(0), (Texts{L"1.5", L"2.5", L"3.5"}));
        else if (outcome == 1)
            EXPECT_EQ(list.column(0), (Texts{L"1.5", L"2.5", L"0.5"}));
        else
            EXPECT_EQ(list.column(0), (Texts{L"0.5", L"1.5", L"2.5"}));
        EXPECT_EQ(list.GetSortColumn(), outcome == -1 ? 0 : -1);
    }
}

TEST(ListCtrlExModel, CancelPassesTheCommitFlagToTheFinishCallback)
{
    RecordingList list(1, {{L"x"}});
    BOOL seen = -1;
    list.SetDefaultEditor(nullptr, editorA(), [&](wxWindow*, int, int, CString&, DWORD_PTR, CListCtrlExModel&, BOOL c) {
        seen = c;
        return 0;
    });
    ASSERT_TRUE(list.StartEdit(0, 0));
    list.EndEdit(FALSE);
    EXPECT_EQ(seen, FALSE);
}

TEST(ListCtrlExModel, EndingAnEditIsNotReentered)
{
    // A finish callback whose own work ends the edit again (as a focus
    // change during it would) runs once and writes once; it cannot open
    // another edit before its own is over.
    RecordingList list(1, {{L"a"}});
    int calls = 0;
    list.SetDefaultEditor(nullptr, editorA(), [&](wxWindow*, int, int, CString& text, DWORD_PTR, CListCtrlExModel& l, BOOL) {
        ++calls;
        l.EndEdit(TRUE);
        EXPECT_FALSE(l.StartEdit(0, 0));
        text = L"b";
        return 1;
    });
    ASSERT_TRUE(list.StartEdit(0, 0));
    list.EndEdit(TRUE);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(list.changes, 1);
    EXPECT_EQ(list.GetItemText(0, 0), L"b");
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.registered, 0);
}

TEST(ListCtrlExModel, DialogOpeningAnEditOnTheChangeStillSeesTheEditedRowRedrawn)
{
    // The dialog's change handler opens the next edit at once: the row
    // just written is the one redrawn, and the new edit stays open.
    RecordingList list(1, {{L"a"}, {L"b"}, {L"c"}});
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    list.onChange = [](RecordingList& l) {
        l.onChange = nullptr;
        EXPECT_TRUE(l.StartEdit(0, 0));
    };
    ASSERT_TRUE(list.StartEdit(2, 0));
    list.editorText = L"z";
    list.redrawn.clear();
    list.EndEdit(TRUE);
    EXPECT_EQ(list.GetItemText(2, 0), L"z");
    EXPECT_NE(std::find(list.redrawn.begin(), list.redrawn.end(), 2), list.redrawn.end());
    EXPECT_TRUE(list.IsEditing());
    EXPECT_EQ(list.GetEditRow(), 0);
    EXPECT_EQ(list.registered, 1);
}

TEST(ListCtrlExModel, CallbackThatThrowsLeavesTheListUsable)
{
    // A failing callback's exception reaches the caller (the window
    // system's handler shows it); the list must still open and end edits.
    RecordingList list(1, {{L"a"}, {L"b"}});
    bool failEnd = true;
    bool failInit = false;
    list.SetDefaultEditor(
        [&](wxWindow*, int, int, const CString&, DWORD_PTR, CListCtrlExModel&, BOOL) {
            if (failInit)
                throw std::runtime_error("init failed");
        },
        editorA(),
        [&](wxWindow*, int, int, CString& text, DWORD_PTR, CListCtrlExModel&, BOOL) {
            if (failEnd)
                throw std::logic_error("finish failed");
            text = L"ok";
            return 1;
        });
    ASSERT_TRUE(list.StartEdit(0, 0));
    EXPECT_THROW(list.EndEdit(TRUE), std::logic_error);
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.GetItemText(0, 0), L"a");
    failInit = true;
    EXPECT_THROW(list.StartEdit(1, 0), std::runtime_error);
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.registered, 0);
    failEnd = failInit = false;
    ASSERT_TRUE(list.StartEdit(1, 0));
    list.EndEdit(TRUE);
    EXPECT_EQ(list.GetItemText(1, 0), L"ok");
    EXPECT_EQ(list.changes, 1);
}

TEST(ListCtrlExModel, StartingAnEditFindsItsRowAgainAfterThePreviousEditSorted)
{
    // Editing "b" to "z" with a re-sorting finish moves it to the end; the
    // edit asked for next ("c", index 2 when asked) must open on "c".
    RecordingList list(1, {{L"a"}, {L"b"}, {L"c"}});
    list.SetColumnSort(0, LVEX_SORT_ASCENDING, LVEX_SORT_TEXT);
    list.SetDefaultEditor(nullptr, editorA(), [](wxWindow*, int, int, CString& text, DWORD_PTR, CListCtrlExModel&, BOOL) {
        if (text == L"b")
            text = L"z";
        return -1;
    });
    ASSERT_TRUE(list.StartEdit(1, 0));
    ASSERT_TRUE(list.StartEdit(2, 0));
    EXPECT_EQ(list.column(0), (Texts{L"a", L"c", L"z"}));
    EXPECT_EQ(list.GetEditRow(), 1);
    EXPECT_EQ(list.editorText, L"c");  // no initialise callback: the cell text went in
}

TEST(ListCtrlExModel, TabMovesThroughCellsThatOpenAndWrapsAcrossRows)
{
    RecordingList list(3, {{L"a", L"b", L"c"}, {L"d", L"e", L"f"}});
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    list.SetCellReadOnly(1, 0);
    ASSERT_TRUE(list.StartEdit(0, 2));
    // From a row's last cell to the next row, over its read-only first cell.
    ASSERT_TRUE(list.MoveCursor(false));
    EXPECT_EQ(list.GetEditRow(), 1);
    EXPECT_EQ(list.GetEditColumn(), 1);
    // Shift+Tab goes back over the read-only cell to the previous row's end.
    ASSERT_TRUE(list.MoveCursor(true));
    EXPECT_EQ(list.GetEditRow(), 0);
    EXPECT_EQ(list.GetEditColumn(), 2);
    ASSERT_TRUE(list.MoveCursor(false));
    ASSERT_TRUE(list.MoveCursor(false));
    EXPECT_EQ(list.GetEditColumn(), 2);
    // From the list's last cell the cursor leaves; the open edit ends with commit.
    list.editorText = L"F";
    EXPECT_FALSE(list.MoveCursor(false));
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.GetItemText(1, 2), L"F");
    EXPECT_EQ(list.GetCursorRow(), -1);
    EXPECT_EQ(list.appendCalls, 0);
    EXPECT_EQ(list.GetItemCount(), 2);
    // With the cursor unset Shift+Tab starts at the last cell, Tab at the first.
    ASSERT_TRUE(list.MoveCursor(true));
    EXPECT_EQ(list.GetEditRow(), 1);
    EXPECT_EQ(list.GetEditColumn(), 2);
    EXPECT_FALSE(list.MoveCursor(false));
    ASSERT_TRUE(list.MoveCursor(false));
    EXPECT_EQ(list.GetEditRow(), 0);
    EXPECT_EQ(list.GetEditColumn(), 0);
    // Shift+Tab from the first cell leaves too.
    EXPECT_FALSE(list.MoveCursor(true));
    EXPECT_FALSE(list.IsEditing());
}

TEST(ListCtrlExModel, TabPastTheLastCellAppendsARowWhenAllowed)
{
    RecordingList list(2, {{L"a", L"b"}});
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    list.EnableAppendOnTab(true);
    ASSERT_TRUE(list.StartEdit(0, 1));
    list.editorText = L"B";
    ASSERT_TRUE(list.MoveCursor(false));
    EXPECT_EQ(list.GetItemText(0, 1), L"B");  // the edit ended with commit before the append
    EXPECT_EQ(list.appendCalls, 1);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetEditRow(), 1);
    EXPECT_EQ(list.GetEditColumn(), 0);

    // An appended row in which no cell opens ends the move after one row.
    RecordingList locked(2, {{L"a", L"b"}});
    locked.SetDefaultEditor(nullptr, editorA(), nullptr);
    locked.EnableAppendOnTab(true);
    locked.append = [](RecordingList& l) {
        const int row = l.baseAppend();
        l.SetRowReadOnly(row);
        return row;
    };
    ASSERT_TRUE(locked.StartEdit(0, 1));
    EXPECT_FALSE(locked.MoveCursor(false));
    EXPECT_EQ(locked.appendCalls, 1);
    EXPECT_EQ(locked.GetItemCount(), 2);
}

TEST(ListCtrlExModel, TabInAnEmptyListAsksForAFirstRow)
{
    RecordingList list(2);
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    // The list's own append adds nothing unless appending on Tab is on.
    EXPECT_FALSE(list.MoveCursor(false));
    EXPECT_EQ(list.appendCalls, 1);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_FALSE(list.MoveCursor(true));  // backwards asks for nothing
    EXPECT_EQ(list.appendCalls, 1);

    list.append = [](RecordingList& l) { return l.InsertItem(0, L"first", 7); };
    ASSERT_TRUE(list.MoveCursor(false));
    EXPECT_EQ(list.appendCalls, 2);
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetEditRow(), 0);
    EXPECT_EQ(list.GetEditColumn(), 0);
    EXPECT_EQ(list.editorText, L"first");
}

TEST(ListCtrlExModel, DeleteKeyDeletesSelectedRowsButOnlyDeselectsReadOnlyOnes)
{
    RecordingList list(1, {{L"a"}, {L"b"}, {L"c"}, {L"d"}});
    list.SetRowReadOnly(1);
    for (int r : {0, 1, 3})
        list.SelectItem(r, true);
    EXPECT_FALSE(list.OnDeleteKey());  // the delete flag is off
    EXPECT_EQ(list.GetItemCount(), 4);
    list.EnableDeleteKey(true);
    EXPECT_TRUE(list.OnDeleteKey());
    EXPECT_EQ(list.column(0), (Texts{L"b", L"c"}));
    EXPECT_FALSE(list.IsItemSelected(0));
    EXPECT_EQ(list.GetItemData(0), 101u);
}

TEST(ListCtrlExModel, DeletingTheEditedRowEndsTheEditWithoutCommit)
{
    RecordingList list(1, {{L"a"}, {L"b"}});
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    ASSERT_TRUE(list.StartEdit(1, 0));
    list.editorText = L"typed";
    ASSERT_TRUE(list.DeleteItem(1));
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.changes, 0);
    ASSERT_TRUE(list.StartEdit(0, 0));
    list.DeleteAllItems();
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.registered, 0);
}

TEST(ListCtrlExModel, ForgottenEditorIsNeitherReadNorOpened)
{
    RecordingList list(1, {{L"a"}});
    list.SetDefaultEditor(nullptr, editorA(), nullptr);
    ASSERT_TRUE(list.StartEdit(0, 0));
    list.ForgetEditor(editorA());
    EXPECT_FALSE(list.IsEditing());
    list.EndEdit(TRUE);
    EXPECT_EQ(list.GetItemText(0, 0), L"a");
    EXPECT_FALSE(list.StartEdit(0, 0));
}

TEST(ListCtrlExModel, ColoursAreTheFirstSetOfCellRowColumnAndList)
{
    RecordingList list(2, {{L"a", L"b"}, {L"c", L"d"}});
    list.SetListColors(RGB(1, 1, 1), RGB(2, 2, 2));
    list.SetColumnColors(1, RGB(3, 3, 3), CLR_NONE);
    list.SetRowColors(1, CLR_NONE, RGB(4, 4, 4));
    list.SetCellColors(1, 1, RGB(5, 5, 5), CLR_NONE);
    struct Case {
        int row, column;
        COLORREF background, text;
    };
    const Case cases[] = {
        {0, 0, RGB(1, 1, 1), RGB(2, 2, 2)},  // the list's
        {0, 1, RGB(3, 3, 3), RGB(2, 2, 2)},  // the column's background
        {1, 0, RGB(1, 1, 1), RGB(4, 4, 4)},  // the row's text
        {1, 1, RGB(5, 5, 5), RGB(4, 4, 4)},  // the cell's background, the row's text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
        EXPECT_EQ(list.GetCellBkColor(c.row, c.column), c.background);
        EXPECT_EQ(list.GetCellTextColor(c.row, c.column), c.text);
    }
}

TEST(ListCtrlExModel, SortFlagsDecideWhetherAndWhichWayAColumnSorts)
{
    RecordingList list(2, {{L"b", L"x"}, {L"c", L"y"}, {L"a", L"z"}});
    // No flags, or flags without any of the three bits: never sorts.
    list.SetColumnSort(1, 0, LVEX_SORT_TEXT);
    list.SetColumnSort(1, 0x8, LVEX_SORT_TEXT);
    EXPECT_FALSE(list.SortColumn(0, true));
    EXPECT_FALSE(list.SortColumn(1, true));
    EXPECT_EQ(list.column(0), (Texts{L"b", L"c", L"a"}));
    EXPECT_TRUE(list.arrows.empty());

    // A toggling column: the first header click sorts ascending, the next descending.
    list.SetColumnSort(0, LVEX_SORT_TOGGLE, LVEX_SORT_TEXT);
    ASSERT_TRUE(list.SortColumn(0, true));
    EXPECT_EQ(list.column(0), (Texts{L"a", L"b", L"c"}));
    ASSERT_TRUE(list.SortColumn(0, true));
    EXPECT_EQ(list.column(0), (Texts{L"c", L"b", L"a"}));
    // Sorting again without a toggle keeps the direction.
    ASSERT_TRUE(list.SortColumn(0, false));
    EXPECT_EQ(list.column(0), (Texts{L"c", L"b", L"a"}));
    // A fixed direction does not toggle.
    list.SetColumnSort(1, LVEX_SORT_ASCENDING, LVEX_SORT_TEXT);
    ASSERT_TRUE(list.SortColumn(1, true));
    ASSERT_TRUE(list.SortColumn(1, true));
    EXPECT_EQ(list.column(1), (Texts{L"x", L"y", L"z"}));
    EXPECT_EQ(list.arrows, (std::vector<std::string>{"-1>0 up", "0>0 down", "0>0 down", "0>1 up", "1>1 up"}));
}

TEST(ListCtrlExModel, CallersComparisonOrdersByUserDataTimesTheDirection)
{
    RecordingList list(1, {{L"p"}, {L"q"}, {L"r"}});  // user data 100, 101, 102
    std::vector<int> columns;
    // Orders the data with 101 first, then descending.
    const ListRowCompare compare = [&](DWORD_PTR a, DWORD_PTR b, int column) {
        columns.push_back(column);
        const auto key = [](DWORD_PTR d) { return d == 101 ? 0 : 1000 - static_cast<int>(d); };
        return key(a) - key(b);
    };
    list.SetColumnSort(0, LVEX_SORT_ASCENDING, compare);
    ASSERT_TRUE(list.SortColumn(0, false));
    EXPECT_EQ(list.column(0), (Texts{L"q", L"r", L"p"}));
    list.SetColumnSort(0, LVEX_SORT_DESCENDING, compare);
    ASSERT_TRUE(list.SortColumn(0, false));
    EXPECT_EQ(list.column(0), (Texts{L"p", L"r", L"q"}));
    EXPECT_FALSE(columns.empty());
    for (int c : columns)
        EXPECT_EQ(c, 0);
    // Setting a sort type again clears the comparison.
    list.SetColumnSort(0, LVEX_SORT_ASCENDING, LVEX_SORT_TEXT);
    ASSERT_TRUE(list.SortColumn(0, false));
    EXPECT_EQ(list.column(0), (Texts{L"p", L"q", L"r"}));
}

TEST(ListCtrlExModel, CyclicMixedIntegerOrTextOrderStillSortsEveryRow)
{
    // "2" < "10" (numbers), "10" < "1a" and "1a" < "2" (texts): no total
    // order exists; the sort must still keep every row.
    std::vector<std::vector<const wchar_t*>> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({i % 3 == 0 ? L"2" : (i % 3 == 1 ? L"10" : L"1a")});
    RecordingList list(1, rows);
    list.SetColumnSort(0, LVEX_SORT_ASCENDING, LVEX_SORT_INTEGER_OR_TEXT);
    ASSERT_TRUE(list.SortColumn(0, false));
    ASSERT_EQ(list.GetItemCount(), 40);
    int counts[3] = {};
    for (const std::wstring& t : list.column(0))
        ++counts[t == L"2" ? 0 : (t == L"10" ? 1 : 2)];
    EXPECT_EQ(counts[0], 14);
    EXPECT_EQ(counts[1], 13);
    EXPECT_EQ(counts[2], 13);
}

TEST(ListCompare, SortTypesCompareTwoTexts)
{
    struct Case {
        int type;
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    };
    const Case cases[] = {
        // Integers by sign: a difference would overflow.
        {LVEX_SORT_INTEGER, L"-2000000000", L"2000000000", -1},
        {LVEX_SORT_INTEGER, L"2000000000", L"-2000000000", 1},
        {LVEX_SORT_INTEGER, L" 42abc", L"42", 0},
        {LVEX_SORT_INTEGER, L"x", L"0", 0},
        // Floating-point numbers by sign: 1.2 < 1.7 < 2.3, none equal.
        {LVEX_SORT_DOUBLE, L"1.2", L"1.7", -1},
        {LVEX_SORT_DOUBLE, L"1.7", L"2.3", -1},
        {LVEX_SORT_DOUBLE, L"1.2", L"2.3", -1},
        {LVEX_SORT_DOUBLE, L"2.3", L"1.7", 1},
        {LVEX_SORT_DOUBLE, L"1e3", L"999.5", 1},
        {LVEX_SORT_DOUBLE, L"-0.5", L"0.25", -1},
        // Beyond the double range: as large as a number gets, not 0.
        {LVEX_SORT_DOUBLE, L"1e999", L"1e300", 1},
        {LVEX_SORT_DOUBLE, L"-1e999", L"-1", -1},
        {LVEX_SORT_DOUBLE, L"1e-999", L"-1", 1},
        // Integers when both are their own decimal form, else text.
        {LVEX_SORT_INTEGER_OR_TEXT, L"9", L"10", -1},
        {LVEX_SORT_INTEGER_OR_TEXT, L"010", L"9", -1},  // as text; as numbers it would be 1
        {LVEX_SORT_INTEGER_OR_TEXT, L"0", L"10", -1},
        {LVEX_SORT_INTEGER_OR_TEXT, L"-5", L"3", -1},
        {LVEX_SORT_INTEGER_OR_TEXT, L"abc", L"ABC", 1},
        {LVEX_SORT_INTEGER_OR_TEXT_NOCASE, L"9", L"10", -1},
        {LVEX_SORT_INTEGER_OR_TEXT_NOCASE, L"abc", L"ABC", 0},
        {LVEX_SORT_INTEGER_OR_TEXT_NOCASE, L"abc", L"ABD", -1},
        // Text without and with case.
        {LVEX_SORT_TEXT_NOCASE, L"Beam", L"beam", 0},
        {LVEX_SORT_TEXT_NOCASE, L"alpha", L"BETA", -1},
        {LVEX_SORT_TEXT, L"Beam", L"beam", -1},
        {3, L"b", L"a", 1},  // an unknown type compares text
        // Texts that are no date are equal among themselves and sort first.
        {LVEX_SORT_DATE, L"no date", L"another", 0},
        {LVEX_SORT_DATE, L"", L"01/02/2020", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << ": " << wideToUtf8(c.a) << " vs " << wideToUtf8(c.b));
        EXPECT_EQ(CompareListTexts(c.type, c.a, c.b), c.expected);
    }
}

// Sets LC_TIME for the lifetime of the object.
class TimeLocale {
public:
    explicit TimeLocale(const char* name) : m_saved(std::setlocale(LC_TIME, nullptr))
    {
        m_ok = std::setlocale(LC_TIME, name) != nullptr;
    }
    ~TimeLocale() { std::setlocale(LC_TIME, m_saved.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_saved;
    bool m_ok = false;
};

TEST(ListCompare, DatesAreWrittenInTheUsersFormAndOrderedAsInstants)
{
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        TimeLocale time(locale);
        ASSERT_TRUE(time.ok()) << "locale " << locale << " is missing (tools/install-deps generates it)";
        const bool german = std::string(locale) != "C";
        const CString early = FormatListDate({1850, 3, 1, 0});
        const CString late = FormatListDate({1899, 12, 31, 0});
        const CString modern = FormatListDate({2020, 2, 29, 0});
        EXPECT_EQ(early, german ? L"01.03.1850" : L"03/01/1850");
        EXPECT_EQ(modern, german ? L"29.02.2020" : L"02/29/2020");
        EXPECT_EQ(CompareListTexts(LVEX_SORT_DATE, early, late), -1);
        EXPECT_EQ(CompareListTexts(LVEX_SORT_DATE, late, modern), -1);
        EXPECT_EQ(CompareListTexts(LVEX_SORT_DATE, modern, early), 1);
        // The time of day orders two texts of the same day.
        EXPECT_EQ(CompareListTexts(LVEX_SORT_DATE, early + L" 10:30", early + L" 9:45:10"), 1);
        EXPECT_EQ(CompareListTexts(LVEX_SORT_DATE, early + L" 10:30", early + L" 10:30:00"), 0);

        ListDate read;
        ASSERT_EQ(ParseListDate(early, read), ListDateStatus::Valid);
        EXPECT_EQ(read.year, 1850);
        EXPECT_EQ(read.month, 3);
        EXPECT_EQ(read.day, 1);
        // A two-digit year is read in the 1969-2068 window.
        ASSERT_EQ(ParseListDate(german ? L"01.02.99" : L"02/01/99", read), ListDateStatus::Valid);
        EXPECT_EQ(read.year, 1999);
        EXPECT_EQ(ParseListDate(german ? L"30.02.2021" : L"02/30/2021", read), ListDateStatus::OutOfRange);
        EXPECT_EQ(ParseListDate(L"tomorrow", read), ListDateStatus::Unparsable);
        EXPECT_EQ(ParseListDate(early + L" 10:30 x", read), ListDateStatus::Unparsable);
    }
    // Instants across 1900 and 1970 (days from the civil calendar).
    EXPECT_EQ(ListDateInstant({1970, 1, 1, 0}), 0);
    EXPECT_EQ(ListDateInstant({1969, 12, 31, 86399}), -1);
    EXPECT_EQ(ListDateInstant({1900, 1, 1, 0}), -2208988800LL);
    EXPECT_EQ(ListDateInstant({2000, 3, 1, 0}), 951868800LL);
}
