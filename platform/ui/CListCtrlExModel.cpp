#include "platform/ui/CListCtrlExModel.h"

#include <algorithm>
#include <utility>

CListCtrlExModel::CListCtrlExModel() = default;
CListCtrlExModel::~CListCtrlExModel() = default;

// --- Columns ---------------------------------------------------------------

int CListCtrlExModel::InsertColumn(int column, const CString& heading, int format, int width)
{
    column = std::clamp(column, 0, GetColumnCount());
    ColumnInfo info;
    info.heading = heading;
    info.format = format;
    m_columns.insert(m_columns.begin() + column, std::move(info));
    for (auto& row : m_rows) {
        row->texts.insert(row->texts.begin() + column, CString());
        if (static_cast<int>(row->cells.size()) > column)
            row->cells.insert(row->cells.begin() + column, nullptr);
    }
    // Indices at or right of the new column move one to the right.
    for (int* index : {&m_editColumn, &m_cursorColumn, &m_sortColumn})
        if (*index >= column)
            ++*index;
    OnColumnInserted(column, width);
    return column;
}

CString CListCtrlExModel::GetColumnHeading(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_columns[column].heading : CString();
}

int CListCtrlExModel::GetColumnFormat(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_columns[column].format : LVCFMT_LEFT;
}

// --- Rows and cells --------------------------------------------------------

bool CListCtrlExModel::validCell(int row, int column) const
{
    return row >= 0 && row < GetItemCount() && column >= 0 && column < GetColumnCount();
}

int CListCtrlExModel::indexOfRow(unsigned long long id) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_rows[i]->id == id)
            return i;
    return -1;
}

int CListCtrlExModel::InsertItem(int row, const CString& text, DWORD_PTR data)
{
    row = std::clamp(row, 0, GetItemCount());
    auto item = std::make_unique<RowData>();
    item->id = m_nextRowId++;
    item->texts.resize(m_columns.size());
    if (!item->texts.empty())
        item->texts[0] = text;
    item->data = data;
    m_rows.insert(m_rows.begin() + row, std::move(item));
    OnItemsInserted(row, 1);
    return row;
}

BOOL CListCtrlExModel::SetItemText(int row, int column, const CString& text)
{
    if (!validCell(row, column))
        return FALSE;
    m_rows[row]->texts[column] = text;
    OnItemChanged(row);
    return TRUE;
}

CString CListCtrlExModel::GetItemText(int row, int column) const
{
    return validCell(row, column) ? m_rows[row]->texts[column] : CString();
}

BOOL CListCtrlExModel::SetItemData(int row, DWORD_PTR data)
{
    if (row < 0 || row >= GetItemCount())
        return FALSE;
    m_rows[row]->data = data;
    return TRUE;
}

DWORD_PTR CListCtrlExModel::GetItemData(int row) const
{
    return row >= 0 && row < GetItemCount() ? m_rows[row]->data : 0;
}

int CListCtrlExModel::FindItemByData(DWORD_PTR data) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_rows[i]->data == data)
            return i;
    return -1;
}

void CListCtrlExModel::cancelEditInRow(int row)
{
    if (m_editing && indexOfRow(m_editRow) == row)
        EndEdit(FALSE);
}

BOOL CListCtrlExModel::DeleteItem(int row)
{
    if (row < 0 || row >= GetItemCount())
        return FALSE;
    cancelEditInRow(row);
    // The edit's finish callback may have removed rows itself.
    if (row >= GetItemCount())
        return FALSE;
    if (m_rows[row]->id == m_cursorRow)
        m_cursorRow = 0;
    m_rows.erase(m_rows.begin() + row);
    OnItemsDeleted(row, 1);
    return TRUE;
}

void CListCtrlExModel::DeleteAllItems()
{
    if (m_editing)
        EndEdit(FALSE);
    const int count = GetItemCount();
    m_rows.clear();
    m_cursorRow = 0;
    m_cursorColumn = -1;
    if (count > 0)
        OnItemsDeleted(0, count);
}

void CListCtrlExModel::DeleteSelectedItems()
{
    bool deselected = false;
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        if (i >= GetItemCount() || !m_rows[i]->selected)
            continue;
        if (m_rows[i]->readOnly) {
            m_rows[i]->selected = false;
            deselected = true;
        } else {
            DeleteItem(i);
        }
    }
    if (deselected)
        OnSelectionChanged();
}

// --- Selection -------------------------------------------------------------

bool CListCtrlExModel::IsItemSelected(int row) const
{
    return row >= 0 && row < GetItemCount() && m_rows[row]->selected;
}

void CListCtrlExModel::SelectItem(int row, bool select)
{
    if (row < 0 || row >= GetItemCount() || m_rows[row]->selected == select)
        return;
    m_rows[row]->selected = select;
    OnSelectionChanged();
}

void CListCtrlExModel::DeselectAll()
{
    bool changed = false;
    for (auto& row : m_rows) {
        changed = changed || row->selected;
        row->selected = false;
    }
    if (changed)
        OnSelectionChanged();
}

// --- Editors ---------------------------------------------------------------

void CListCtrlExModel::assign(ListEditorDescriptor& slot, ListEditInit init, wxWindow* editor, ListEditEnd end)
{
    slot.init = std::move(init);
    slot.editor = editor;
    slot.end = std::move(end);
    if (editor != nullptr)
        OnEditorAssigned(editor);
}

CListCtrlExModel::CellInfo* CListCtrlExModel::cellInfo(int row, int column, bool create)
{
    if (!validCell(row, column))
        return nullptr;
    auto& cells = m_rows[row]->cells;
    if (static_cast<int>(cells.size()) <= column) {
        if (!create)
            return nullptr;
        cells.resize(m_columns.size());
    }
    if (!cells[column] && create)
        cells[column] = std::make_unique<CellInfo>();
    return cells[column].get();
}

const CListCtrlExModel::CellInfo* CListCtrlExModel::cellInfo(int row, int column) const
{
    if (!validCell(row, column))
        return nullptr;
    const auto& cells = m_rows[row]->cells;
    return static_cast<int>(cells.size()) > column ? cells[column].get() : nullptr;
}

void CListCtrlExModel::SetDefaultEditor(ListEditInit init, wxWindow* editor, ListEditEnd end)
{
    assign(m_default, std::move(init), editor, std::move(end));
}

void CListCtrlExModel::SetColumnEditor(int column, ListEditInit init, wxWindow* editor, ListEditEnd end)
{
    if (column >= 0 && column < GetColumnCount())
        assign(m_columns[column].editor, std::move(init), editor, std::move(end));
}

void CListCtrlExModel::SetColumnReadOnly(int column, bool readOnly)
{
    if (column >= 0 && column < GetColumnCount())
        m_columns[column].editor.readOnly = readOnly ? 1 : 0;
}

void CListCtrlExModel::SetRowEditor(int row, ListEditInit init, wxWindow* editor, ListEditEnd end)
{
    if (row >= 0 && row < GetItemCount())
        assign(m_rows[row]->editor, std::move(init), editor, std::move(end));
}

void CListCtrlExModel::SetRowReadOnly(int row, bool readOnly)
{
    if (row >= 0 && row < GetItemCount())
        m_rows[row]->readOnly = readOnly ? 1 : 0;
}

void CListCtrlExModel::SetCellEditor(int row, int column, ListEditInit init, wxWindow* editor, ListEditEnd end)
{
    if (CellInfo* cell = cellInfo(row, column, true))
        assign(cell->editor, std::move(init), editor, std::move(end));
}

void CListCtrlExModel::SetCellReadOnly(int row, int column, bool readOnly)
{
    if (CellInfo* cell = cellInfo(row, column, true))
        cell->editor.readOnly = readOnly ? 1 : 0;
}

bool CListCtrlExModel::IsCellReadOnly(int row, int column) const
{
    if (!validCell(row, column))
        return true;
    const RowData& r = *m_rows[row];
    const CellInfo* cell = cellInfo(row, column);
    return m_columns[column].editor.readOnly || r.readOnly || r.editor.readOnly || (cell && cell->editor.readOnly);
}

ListEditorDescriptor CListCtrlExModel::ChooseEditor(int row, int column) const
{
    ListEditorDescriptor chosen = m_default;
    if (!validCell(row, column))
        return chosen;
    const CellInfo* cell = cellInfo(row, column);
    const ListEditorDescriptor* levels[] = {&m_columns[column].editor, &m_rows[row]->editor,
                                            cell ? &cell->editor : nullptr};
    for (const ListEditorDescriptor* level : levels)
        if (level != nullptr && level->editor != nullptr)
            chosen = *level;
    return chosen;
}

void CListCtrlExModel::AbandonEdit()
{
    if (!m_editing || m_ending)
        return;
    UnregisterEditor(m_active.editor);
    m_editing = false;
}

void CListCtrlExModel::ForgetEditor(wxWindow* editor)
{
    if (editor == nullptr)
        return;
    if (m_editing && m_active.editor == editor)
        AbandonEdit();
    const auto forget = [editor](ListEditorDescriptor& d) {
        if (d.editor == editor)
            d = ListEditorDescriptor{{}, nullptr, {}, d.readOnly};
    };
    forget(m_default);
    for (auto& column : m_columns)
        forget(column.editor);
    for (auto& row : m_rows) {
        forget(row->editor);
        for (auto& cell : row->cells)
            if (cell)
                forget(cell->editor);
    }
}

// --- Colours ---------------------------------------------------------------

void CListCtrlExModel::SetListColors(COLORREF background, COLORREF text)
{
    m_listBackground = background;
    m_listText = text;
    OnItemsChanged();
}

void CListCtrlExModel::SetColumnColors(int column, COLORREF background, COLORREF text)
{
    if (column < 0 || column >= GetColumnCount())
        return;
    m_columns[column].background = background;
    m_columns[column].text = text;
    OnItemsChanged();
}

void CListCtrlExModel::SetRowColors(int row, COLORREF background, COLORREF text)
{
    if (row < 0 || row >= GetItemCount())
        return;
    m_rows[row]->background = background;
    m_rows[row]->text = text;
    OnItemChanged(row);
}

void CListCtrlExModel::SetCellColors(int row, int column, COLORREF background, COLORREF text)
{
    if (CellInfo* cell = cellInfo(row, column, true)) {
        cell->background = background;
        cell->text = text;
        OnItemChanged(row);
    }
}

COLORREF CListCtrlExModel::GetCellBkColor(int row, int column) const
{
    const CellInfo* cell = cellInfo(row, column);
    const COLORREF levels[] = {cell ? cell->background : CLR_NONE,
                               row >= 0 && row < GetItemCount() ? m_rows[row]->background : CLR_NONE,
                               column >= 0 && column < GetColumnCount() ? m_columns[column].background : CLR_NONE};
    for (COLORREF c : levels)
        if (c != CLR_NONE)
            return c;
    return m_listBackground;
}

COLORREF CListCtrlExModel::GetCellTextColor(int row, int column) const
{
    const CellInfo* cell = cellInfo(row, column);
    const COLORREF levels[] = {cell ? cell->text : CLR_NONE,
                               row >= 0 && row < GetItemCount() ? m_rows[row]->text : CLR_NONE,
                               column >= 0 && column < GetColumnCount() ? m_columns[column].text : CLR_NONE};
    for (COLORREF c : levels)
        if (c != CLR_NONE)
            return c;
    return m_listText;
}

// --- Sorting ---------------------------------------------------------------

void CListCtrlExModel::setSortFlags(int column, int flags, int sortType, ListRowCompare compare)
{
    const int bits = LVEX_SORT_ASCENDING | LVEX_SORT_DESCENDING | LVEX_SORT_TOGGLE;
    if (column < 0 || column >= GetColumnCount() || (flags & bits) == 0)
        return;
    ColumnInfo& info = m_columns[column];
    info.sortFlags = flags & bits;
    info.sortType = sortType;
    info.compare = std::move(compare);
}

void CListCtrlExModel::SetColumnSort(int column, int flags, int sortType)
{
    setSortFlags(column, flags, sortType, nullptr);
}

void CListCtrlExModel::SetColumnSort(int column, int flags, ListRowCompare compare)
{
    setSortFlags(column, flags, LVEX_SORT_TEXT, std::move(compare));
}

int CListCtrlExModel::GetColumnSortFlags(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_columns[column].sortFlags : 0;
}

int CListCtrlExModel::compareRows(const RowData& a, const RowData& b, const ColumnInfo& info, int direction) const
{
    if (direction == 0)
        return 0;
    int order = 0;
    if (info.compare) {
        const int c = info.compare(a.data, b.data, m_sortColumn);
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
    } else {
        order = CompareListTexts(info.sortType, a.texts[m_sortColumn], b.texts[m_sortColumn]);
    }
    return order * direction;
}

void CListCtrlExModel::sortRows(int column)
{
    const ColumnInfo& info = m_columns[column];
    const int direction = (info.sortFlags & LVEX_SORT_ASCENDING) ? 1 : ((info.sortFlags & LVEX_SORT_DESCENDING) ? -1 : 0);
    // A stable bottom-up merge sort that stays within the array whatever the
    // comparison answers: the integer-or-text orders (types 4 and 6) can be
    // cyclic for mixed texts ("2" < "10" < "1a" < "2"), which a library sort
    // may not be given.
    std::vector<std::unique_ptr<RowData>> from = std::move(m_rows);
    std::vector<std::unique_ptr<RowData>> to(from.size());
    const std::size_t n = from.size();
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            const std::size_t mid = std::min(left + width, n);
            const std::size_t right = std::min(left + 2 * width, n);
            std::size_t i = left;
            std::size_t j = mid;
            std::size_t k = left;
            while (i < mid && j < right)
                to[k++] = compareRows(*from[j], *from[i], info, direction) < 0 ? std::move(from[j++]) : std::move(from[i++]);
            while (i < mid)
                to[k++] = std::move(from[i++]);
            while (j < right)
                to[k++] = std::move(from[j++]);
        }
        std::swap(from, to);
    }
    m_rows = std::move(from);
}

bool CListCtrlExModel::SortColumn(int column, bool toggle)
{
    if (column < 0 || column >= GetColumnCount() || m_columns[column].sortFlags == 0)
        return false;
    EndEdit(TRUE);
    int& flags = m_columns[column].sortFlags;
    const int direction = LVEX_SORT_ASCENDING | LVEX_SORT_DESCENDING;
    if ((flags & LVEX_SORT_TOGGLE) && (flags & direction) == 0)
        flags |= LVEX_SORT_DESCENDING;
    if (toggle && (flags & LVEX_SORT_TOGGLE) && (flags & direction) != direction)
        flags ^= direction;
    const int previous = m_sortColumn;
    m_sortColumn = column;
    sortRows(column);
    OnItemsChanged();
    OnSortArrow(previous, column, (flags & LVEX_SORT_ASCENDING) != 0);
    return true;
}

// --- Editing ---------------------------------------------------------------

int CListCtrlExModel::GetEditRow() const
{
    return m_editing ? indexOfRow(m_editRow) : -1;
}

BOOL CListCtrlExModel::StartEdit(int row, int column)
{
    // Not from inside a finish callback: the edit it ends is still open.
    if (m_ending && m_editing)
        return FALSE;
    const unsigned long long id = row >= 0 && row < GetItemCount() ? m_rows[row]->id : 0;
    EndEdit(TRUE);
    // Ending the previous edit may have sorted the rows: find the row again.
    row = indexOfRow(id);
    if (row < 0 || IsCellReadOnly(row, column))
        return FALSE;
    const ListEditorDescriptor chosen = ChooseEditor(row, column);
    if (chosen.editor == nullptr || chosen.readOnly)
        return FALSE;

    m_editing = true;
    m_active = chosen;
    m_editRow = id;
    m_editColumn = column;
    m_cursorRow = id;
    m_cursorColumn = column;
    const CString text = m_rows[row]->texts[column];
    if (chosen.init) {
        try {
            chosen.init(chosen.editor, row, column, text, m_rows[row]->data, *this, TRUE);
        } catch (...) {
            // The editor was neither shown nor registered: no edit is open.
            m_editing = false;
            throw;
        }
        // The callback may have changed the list under the edit.
        row = indexOfRow(id);
        if (!m_editing || row < 0) {
            m_editing = false;
            return FALSE;
        }
    } else {
        DeselectAll();
        SetEditorText(chosen.editor, text);
    }
    ShowEditor(chosen.editor, row, column);
    RegisterEditor(chosen.editor);
    return TRUE;
}

void CListCtrlExModel::EndEdit(BOOL commit)
{
    if (m_ending || !m_editing)
        return;
    m_ending = true;
    const ListEditorDescriptor active = m_active;
    const unsigned long long editRow = m_editRow;
    const int column = m_editColumn;
    if (!UnregisterEditor(active.editor)) {
        // The editor went away while open: nothing of it can be read.
        m_editing = false;
        m_ending = false;
        return;
    }
    // A callback or the dialog may throw: the edit is over all the same, and
    // the list must not stay locked in the middle of ending it.
    bool over = false;
    try {
        HideEditor(active.editor);
        int row = indexOfRow(editRow);
        int result = 0;
        CString text;
        if (row >= 0) {
            text = m_rows[row]->texts[column];
            if (active.end) {
                result = active.end(active.editor, row, column, text, m_rows[row]->data, *this, commit);
            } else {
                text = GetEditorText(active.editor);
                result = commit ? 1 : 0;
            }
            row = indexOfRow(editRow);
        }
        // The edit is over before the dialog hears of the change, so that the
        // dialog may open another one (which then owns m_editRow).
        m_editing = false;
        over = true;
        if (row >= 0 && column < GetColumnCount()) {
            if (result != 0) {
                m_rows[row]->texts[column] = text;
                NotifyChanged();
            }
            row = indexOfRow(editRow);
            if (row >= 0)
                OnItemChanged(row);
            if (result == -1)
                SortColumn(column, false);
        }
    } catch (...) {
        if (!over)
            m_editing = false;
        m_ending = false;
        throw;
    }
    m_ending = false;
}

// --- Keyboard --------------------------------------------------------------

int CListCtrlExModel::GetCursorRow() const
{
    return m_cursorRow != 0 ? indexOfRow(m_cursorRow) : -1;
}

int CListCtrlExModel::AppendItem()
{
    return m_appendOnTab ? InsertItem(GetItemCount(), CString()) : -1;
}

bool CListCtrlExModel::tryOpen(int row, int column)
{
    return StartEdit(row, column) != FALSE;
}

bool CListCtrlExModel::MoveCursor(bool backward)
{
    const auto leave = [this] {
        EndEdit(TRUE);
        m_cursorRow = 0;
        m_cursorColumn = -1;
        return false;
    };
    // One row is appended at most per move: a row in which no cell opens
    // would otherwise be followed by another for ever.
    bool appended = false;
    const auto append = [&]() -> int {
        if (appended)
            return -1;
        appended = true;
        EndEdit(TRUE);
        const int row = AppendItem();
        return row >= 0 && row < GetItemCount() ? row : -1;
    };

    int row = GetCursorRow();
    int column = row >= 0 ? m_cursorColumn : -1;
    if (GetItemCount() == 0) {
        if (backward || (row = append()) < 0)
            return leave();
        column = -1;
    } else if (row < 0) {
        row = backward ? GetItemCount() - 1 : 0;
        column = backward ? GetColumnCount() : -1;
    }
    if (GetColumnCount() == 0)
        return leave();
    for (;;) {
        if (backward) {
            if (--column < 0) {
                column = GetColumnCount() - 1;
                if (--row < 0)
                    return leave();
            }
        } else if (++column >= GetColumnCount()) {
            column = 0;
            if (++row >= GetItemCount()) {
                if (!m_appendOnTab || (row = append()) < 0)
                    return leave();
            }
        }
        if (row >= GetItemCount())
            return leave();
        if (tryOpen(row, column))
            return true;
    }
}

bool CListCtrlExModel::OnDeleteKey()
{
    if (!m_deleteKey)
        return false;
    DeleteSelectedItems();
    return true;
}
