// The editable list's state and rules, without a window system: columns,
// rows carrying the caller's data, cell texts, editors chosen for the list,
// a column, a row or a cell, read-only columns, rows and cells, colours,
// sorting by a column, Tab navigation and deletion of the selected rows.
// The wx control CListCtrlEx derives from it and shows it; the display and
// the editor windows are reached through the protected hooks, which do
// nothing here, so the rules run and are tested without a display.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/ui/ListCompare.h"
#include "platform/ui/ListTypes.h"

#include <functional>
#include <memory>
#include <vector>

class wxWindow;
class CListCtrlExModel;

// Sort flags of a column: ascending, descending, and a direction that
// toggles on each header click.
constexpr int LVEX_SORT_ASCENDING = 0x1;
constexpr int LVEX_SORT_DESCENDING = 0x2;
constexpr int LVEX_SORT_TOGGLE = 0x4;

// Prepares the editor from a cell: (editor, row, column, cell text, the
// row's user data, list, TRUE).
using ListEditInit =
    std::function<void(wxWindow* editor, int row, int column, const CString& text, DWORD_PTR data,
                       CListCtrlExModel& list, BOOL init)>;
// Decides how an edit ends: (editor, row, column, text in and out, the row's
// user data, list, commit flag) -> 0 keeps the cell, non-zero writes the
// text, -1 also sorts the list again by that column.
using ListEditEnd = std::function<int(wxWindow* editor, int row, int column, CString& text, DWORD_PTR data,
                                      CListCtrlExModel& list, BOOL commit)>;
// The caller's order of two rows by their user data for a sort column:
// negative, zero or positive as for ascending order.
using ListRowCompare = std::function<int(DWORD_PTR a, DWORD_PTR b, int column)>;

// Which editor edits a cell and how; held by the list, a column, a row or a
// cell.
struct ListEditorDescriptor {
    ListEditInit init;
    wxWindow* editor = nullptr;
    ListEditEnd end;
    BYTE readOnly = 0;
};

class CListCtrlExModel {
public:
    CListCtrlExModel();
    virtual ~CListCtrlExModel();
    CListCtrlExModel(const CListCtrlExModel&) = delete;
    CListCtrlExModel& operator=(const CListCtrlExModel&) = delete;

    // --- Columns ---------------------------------------------------------
    // Inserts a column at position column (clamped to the count) with its
    // heading, alignment (LVCFMT_*) and width in pixels (-1: the display's
    // choice); returns its index.
    int InsertColumn(int column, const CString& heading, int format = LVCFMT_LEFT, int width = -1);
    // Number of columns.
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    // A column's heading; empty outside the columns.
    CString GetColumnHeading(int column) const;
    // A column's alignment (LVCFMT_*); LVCFMT_LEFT outside the columns.
    int GetColumnFormat(int column) const;

    // --- Rows and cells --------------------------------------------------
    // Number of rows.
    int GetItemCount() const { return static_cast<int>(m_rows.size()); }
    // Inserts a row before row (clamped to the count) with the first cell's
    // text (kept only when there are columns) and the caller's user data;
    // returns its index.
    int InsertItem(int row, const CString& text, DWORD_PTR data = 0);
    // Sets a cell's text; FALSE outside the rows and columns.
    BOOL SetItemText(int row, int column, const CString& text);
    // A cell's text; empty outside the rows and columns.
    CString GetItemText(int row, int column) const;
    // Sets the row's user data; FALSE outside the rows.
    BOOL SetItemData(int row, DWORD_PTR data);
    // The row's user data; 0 outside the rows.
    DWORD_PTR GetItemData(int row) const;
    // The index of the first row with that user data, or -1.
    int FindItemByData(DWORD_PTR data) const;
    // Deletes one row (an edit in it ends without commit); FALSE outside the rows.
    BOOL DeleteItem(int row);
    // Deletes every row and its data (an open edit ends without commit).
    void DeleteAllItems();
    // Deletes the selected rows; selected read-only rows are only deselected.
    void DeleteSelectedItems();

    // --- Selection -------------------------------------------------------
    // True when the row is selected.
    bool IsItemSelected(int row) const;
    // Selects or deselects a row (nothing outside the rows).
    void SelectItem(int row, bool select);
    // Deselects every row.
    void DeselectAll();

    // --- Editors and read-only parts ---------------------------------------
    // The editor used where no column, row or cell names one.
    void SetDefaultEditor(ListEditInit init, wxWindow* editor, ListEditEnd end);
    // A column's editor (its read-only flag is kept).
    void SetColumnEditor(int column, ListEditInit init, wxWindow* editor, ListEditEnd end);
    // Makes a column read-only or editable again.
    void SetColumnReadOnly(int column, bool readOnly = true);
    // A row's editor, above the column's (its read-only flag is kept).
    void SetRowEditor(int row, ListEditInit init, wxWindow* editor, ListEditEnd end);
    // Makes a row read-only or editable again.
    void SetRowReadOnly(int row, bool readOnly = true);
    // A cell's editor, above every other (its read-only flag is kept).
    void SetCellEditor(int row, int column, ListEditInit init, wxWindow* editor, ListEditEnd end);
    // Makes a cell read-only or editable again.
    void SetCellReadOnly(int row, int column, bool readOnly = true);
    // True when the column, the row or the cell refuses editing (also
    // outside the rows and columns).
    bool IsCellReadOnly(int row, int column) const;
    // The descriptor an edit of the cell would use: the list's, overridden
    // by the column's, the row's and the cell's where they name an editor.
    ListEditorDescriptor ChooseEditor(int row, int column) const;

    // --- Colours (CLR_NONE: none of its own) --------------------------------
    // The colours of cells that name none lower down.
    void SetListColors(COLORREF background, COLORREF text);
    // A column's colours.
    void SetColumnColors(int column, COLORREF background, COLORREF text);
    // A row's colours.
    void SetRowColors(int row, COLORREF background, COLORREF text);
    // A cell's colours.
    void SetCellColors(int row, int column, COLORREF background, COLORREF text);
    // The background a cell is drawn with: the first set of cell, row,
    // column and list.
    COLORREF GetCellBkColor(int row, int column) const;
    // The text colour a cell is drawn with, chosen the same way.
    COLORREF GetCellTextColor(int row, int column) const;

    // --- Sorting --------------------------------------------------------
    // Sets a column's sort flags (LVEX_SORT_*) and sort type, and clears its
    // comparison function; ignored unless flags hold one of the three bits.
    void SetColumnSort(int column, int flags, int sortType);
    // Sets a column's sort flags with the caller's comparison of two rows'
    // user data instead of a sort type; ignored like SetColumnSort.
    void SetColumnSort(int column, int flags, ListRowCompare compare);
    // A column's sort flags (0 when it has none).
    int GetColumnSortFlags(int column) const;
    // The column the rows were last sorted by, or -1.
    int GetSortColumn() const { return m_sortColumn; }
    // Sorts the rows by a column that has sort flags (toggle: swap the
    // direction first when the column toggles); an open edit ends with
    // commit first. False when the column does not sort.
    bool SortColumn(int column, bool toggle);

    // --- Editing --------------------------------------------------------
    // Opens the cell's editor over the cell; FALSE when the cell is out of
    // range, read-only or has no editor, or when called by a finish callback
    // (before the edit it decides on is over). Any open edit ends with
    // commit first.
    BOOL StartEdit(int row, int column);
    // Ends the open edit: with commit the editor's text (or what the finish
    // callback decides) goes into the cell. Does nothing without an edit or
    // while an edit is already ending.
    void EndEdit(BOOL commit);
    // True while an editor is open.
    bool IsEditing() const { return m_editing; }
    // Row and column of the open edit, -1 without one.
    int GetEditRow() const;
    int GetEditColumn() const { return m_editing ? m_editColumn : -1; }
    // The open editor, null without one.
    wxWindow* GetActiveEditor() const { return m_editing ? m_active.editor : nullptr; }
    // Drops the open edit without reading the editor or calling the finish
    // callback (the editor or the dialog is going away).
    void AbandonEdit();
    // Forgets an editor window that is going away: descriptors naming it
    // lose it, and an edit in it is abandoned.
    void ForgetEditor(wxWindow* editor);

    // --- Keyboard ----------------------------------------------------------
    // Lets the Delete key delete the selected rows.
    void EnableDeleteKey(bool enable) { m_deleteKey = enable; }
    // Lets Tab past the last cell append a row.
    void EnableAppendOnTab(bool enable) { m_appendOnTab = enable; }
    bool IsAppendOnTab() const { return m_appendOnTab; }
    // Moves the Tab cursor to the next (or previous) cell that opens for
    // editing, wrapping across rows and appending rows as allowed; false
    // when the cursor leaves the list (it is then unset).
    bool MoveCursor(bool backward);
    // The Delete key: deletes the selected rows when the delete flag is set;
    // true when it did something.
    bool OnDeleteKey();
    // The Tab cursor, -1 when unset.
    int GetCursorRow() const;
    int GetCursorColumn() const { return m_cursorColumn; }

protected:
    // Appends a row for Tab navigation and returns its index, or -1 when
    // none is appended. By default an empty row when appending on Tab is
    // enabled, none otherwise.
    virtual int AppendItem();

    // Display hooks, called after the model changed.
    virtual void OnColumnInserted(int /*column*/, int /*width*/) {}
    virtual void OnItemsInserted(int /*row*/, int /*count*/) {}
    virtual void OnItemsDeleted(int /*row*/, int /*count*/) {}
    // Texts, order or colours of many rows changed.
    virtual void OnItemsChanged() {}
    // One row's texts or colours changed.
    virtual void OnItemChanged(int /*row*/) {}
    virtual void OnSelectionChanged() {}
    // The sort arrow leaves previous (-1: none) and shows on column.
    virtual void OnSortArrow(int /*previous*/, int /*column*/, bool /*ascending*/) {}
    // A descriptor now names this editor.
    virtual void OnEditorAssigned(wxWindow* /*editor*/) {}

    // Editor hooks.
    // Scrolls the cell into view, puts the editor over it, shows it and
    // gives it the focus.
    virtual void ShowEditor(wxWindow* /*editor*/, int /*row*/, int /*column*/) {}
    virtual void HideEditor(wxWindow* /*editor*/) {}
    virtual void SetEditorText(wxWindow* /*editor*/, const CString& /*text*/) {}
    virtual CString GetEditorText(wxWindow* /*editor*/) const { return CString(); }
    // Registers the open editor with the message hook.
    virtual void RegisterEditor(wxWindow* /*editor*/) {}
    // Removes the registration; false when the editor was no longer
    // registered (the hook saw it destroyed).
    virtual bool UnregisterEditor(wxWindow* /*editor*/) { return true; }
    // A committed change was written into a cell.
    virtual void NotifyChanged() {}

private:
    struct CellInfo {
        ListEditorDescriptor editor;
        COLORREF background = CLR_NONE;
        COLORREF text = CLR_NONE;
    };
    struct ColumnInfo {
        CString heading;
        int format = LVCFMT_LEFT;
        ListEditorDescriptor editor;
        COLORREF background = CLR_NONE;
        COLORREF text = CLR_NONE;
        int sortFlags = 0;
        int sortType = LVEX_SORT_TEXT;
        ListRowCompare compare;
    };
    struct RowData {
        unsigned long long id = 0;
        ListEditorDescriptor editor;
        BYTE readOnly = 0;
        std::vector<CString> texts;
        std::vector<std::unique_ptr<CellInfo>> cells;
        COLORREF background = CLR_NONE;
        COLORREF text = CLR_NONE;
        DWORD_PTR data = 0;
        bool selected = false;
    };

    bool validCell(int row, int column) const;
    CellInfo* cellInfo(int row, int column, bool create);
    const CellInfo* cellInfo(int row, int column) const;
    int indexOfRow(unsigned long long id) const;
    void assign(ListEditorDescriptor& slot, ListEditInit init, wxWindow* editor, ListEditEnd end);
    void setSortFlags(int column, int flags, int sortType, ListRowCompare compare);
    int compareRows(const RowData& a, const RowData& b, const ColumnInfo& column, int direction) const;
    void sortRows(int column);
    void cancelEditInRow(int row);
    bool tryOpen(int row, int column);

    std::vector<ColumnInfo> m_columns;
    std::vector<std::unique_ptr<RowData>> m_rows;
    unsigned long long m_nextRowId = 1;
    ListEditorDescriptor m_default;
    COLORREF m_listBackground = RGB(255, 255, 255);
    COLORREF m_listText = RGB(0, 0, 0);
    int m_sortColumn = -1;
    bool m_deleteKey = false;
    bool m_appendOnTab = false;

    // The open edit: the descriptor it uses, its row (by id, as rows may be
    // sorted while it is open) and column; the guard against ending it twice.
    bool m_editing = false;
    bool m_ending = false;
    ListEditorDescriptor m_active;
    unsigned long long m_editRow = 0;
    int m_editColumn = -1;

    // The Tab cursor: a row id (0: unset) and a column.
    unsigned long long m_cursorRow = 0;
    int m_cursorColumn = -1;
};
