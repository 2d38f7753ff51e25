#include "platform/ui/CListCtrlEx.h"

#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/textentry.h>

#include <algorithm>

wxDEFINE_EVENT(EVT_LISTCTRLEX_CHANGED, wxCommandEvent);

namespace {

wxColour toWx(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }

COLORREF fromWx(const wxColour& c) { return RGB(c.Red(), c.Green(), c.Blue()); }

// True while the window or a window holding it is being destroyed.
bool isClosing(const wxWindow* window)
{
    for (; window != nullptr; window = window->GetParent())
        if (window->IsBeingDeleted())
            return true;
    return false;
}

bool isInside(const wxWindow* window, const wxWindow* ancestor)
{
    for (; window != nullptr; window = window->GetParent())
        if (window == ancestor)
            return true;
    return false;
}

} // namespace

// The grid's view of the model: texts, headings and each cell's colours
// and alignment.
class CListCtrlEx::Table : public wxGridTableBase {
public:
    explicit Table(CListCtrlEx& list) : m_list(&list) {}
    // The list is going away: the grid may still ask while it is destroyed.
    void detach() { m_list = nullptr; }

    int GetNumberRows() override { return m_list != nullptr ? m_list->GetItemCount() : 0; }
    int GetNumberCols() override { return m_list != nullptr ? m_list->GetColumnCount() : 0; }
    wxString GetValue(int row, int col) override
    {
        return m_list != nullptr ? wxString(m_list->GetItemText(row, col).GetString()) : wxString();
    }
    // Cells change through the list only.
    void SetValue(int, int, const wxString&) override {}
    wxString GetColLabelValue(int col) override
    {
        return m_list != nullptr ? wxString(m_list->GetColumnHeading(col).GetString()) : wxString();
    }
    bool CanHaveAttributes() override { return true; }
    wxGridCellAttr* GetAttr(int row, int col, wxGridCellAttr::wxAttrKind) override
    {
        if (m_list == nullptr || row < 0 || col < 0 || row >= m_list->GetItemCount() || col >= m_list->GetColumnCount())
            return nullptr;
        auto* attr = new wxGridCellAttr;
        attr->SetBackgroundColour(toWx(m_list->GetCellBkColor(row, col)));
        attr->SetTextColour(toWx(m_list->GetCellTextColor(row, col)));
        const int format = m_list->GetColumnFormat(col);
        attr->SetAlignment(format == LVCFMT_RIGHT ? wxALIGN_RIGHT : (format == LVCFMT_CENTER ? wxALIGN_CENTRE : wxALIGN_LEFT),
                           wxALIGN_CENTRE);
        attr->SetReadOnly(true);
        return attr;
    }

private:
    CListCtrlEx* m_list;
};

CListCtrlEx::CListCtrlEx(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxGrid(parent, id, pos, size, style | wxWANTS_CHARS)
{
    m_table = new Table(*this);
    SetTable(m_table, true, wxGridSelectRows);
    // A report list: no row labels, no grid lines, no cell cursor, no
    // editing by the grid itself (the list opens its own editors).
    HideRowLabels();
    EnableEditing(false);
    EnableGridLines(false);
    DisableDragRowSize();
    SetCellHighlightPenWidth(0);
    SetCellHighlightROPenWidth(0);
    SetDefaultCellOverflow(false);
    UseNativeColHeader(true);
    SetColLabelAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
    SetListColors(fromWx(GetDefaultCellBackgroundColour()), fromWx(GetDefaultCellTextColour()));

    Bind(wxEVT_GRID_CELL_LEFT_DCLICK, &CListCtrlEx::onCellDoubleClick, this);
    Bind(wxEVT_GRID_LABEL_LEFT_CLICK, &CListCtrlEx::onLabelClick, this);
    Bind(wxEVT_GRID_COL_SORT, &CListCtrlEx::onColumnSort, this);
    Bind(wxEVT_KEY_DOWN, &CListCtrlEx::onKeyDown, this);
    Bind(EVT_LISTCTRLEX_ENDEDIT, &CListCtrlEx::onEndEdit, this);
    Bind(wxEVT_GRID_RANGE_SELECTED, &CListCtrlEx::onRangeSelected, this);
}

CListCtrlEx::~CListCtrlEx()
{
    if (IsEditing())
        CMsgHook::Unregister(GetActiveEditor());
    // The editors and the grid outlive the model's part of this object.
    for (wxWindow* editor : m_watched)
        editor->Unbind(wxEVT_DESTROY, &CListCtrlEx::onEditorDestroyed, this);
    m_table->detach();
}

wxRect CListCtrlEx::CellRectInArea(int row, int column) const
{
    wxRect rect = CellToRect(row, column);
    int x = 0;
    int y = 0;
    CalcScrolledPosition(rect.x, rect.y, &x, &y);
    rect.SetPosition(wxPoint(x, y));
    return rect;
}

// --- Display hooks -----------------------------------------------------------

void CListCtrlEx::OnColumnInserted(int column, int width)
{
    wxGridTableMessage message(m_table, wxGRIDTABLE_NOTIFY_COLS_INSERTED, column, 1);
    ProcessTableMessage(message);
    if (width >= 0)
        SetColSize(column, width);
    ClearAttrCache();
}

void CListCtrlEx::OnItemsInserted(int row, int count)
{
    // The grid moves its selection with the rows, as the model does.
    wxGridTableMessage message(m_table, wxGRIDTABLE_NOTIFY_ROWS_INSERTED, row, count);
    ProcessTableMessage(message);
    ClearAttrCache();
}

void CListCtrlEx::OnItemsDeleted(int row, int count)
{
    wxGridTableMessage message(m_table, wxGRIDTABLE_NOTIFY_ROWS_DELETED, row, count);
    ProcessTableMessage(message);
    ClearAttrCache();
}

void CListCtrlEx::OnItemsChanged()
{
    ClearAttrCache();
    OnSelectionChanged();
    ForceRefresh();
}

void CListCtrlEx::OnItemChanged(int row) { refreshRows(row); }

void CListCtrlEx::refreshRows(int row)
{
    ClearAttrCache();
    if (row >= 0 && row < GetNumberRows() && GetNumberCols() > 0)
        RefreshBlock(row, 0, row, GetNumberCols() - 1);
}

void CListCtrlEx::OnSelectionChanged()
{
    if (m_pushingSelection)
        return;
    m_pushingSelection = true;
    ClearSelection();
    for (int row = 0; row < GetItemCount(); ++row)
        if (IsItemSelected(row))
            SelectRow(row, true);
    m_pushingSelection = false;
}

void CListCtrlEx::onRangeSelected(wxGridRangeSelectEvent& event)
{
    event.Skip();
    if (m_pushingSelection)
        return;
    // The grid's selection becomes the model's; no echo back to the grid.
    m_pushingSelection = true;
    std::vector<bool> selected(GetItemCount(), false);
    for (int row : GetSelectedRows())
        if (row >= 0 && row < GetItemCount())
            selected[row] = true;
    for (int row = 0; row < GetItemCount(); ++row)
        SelectItem(row, selected[row]);
    m_pushingSelection = false;
}

void CListCtrlEx::OnSortArrow(int /*previous*/, int column, bool ascending)
{
    // The grid shows one sort arrow: setting the column takes it off the
    // previous one.
    SetSortingColumn(column, ascending);
}

// --- Editors ---------------------------------------------------------------

void CListCtrlEx::OnEditorAssigned(wxWindow* editor)
{
    // Editors show only while they edit; rows are tall enough for them.
    editor->Hide();
    const int height = editor->GetBestSize().y;
    if (height > GetDefaultRowSize())
        SetDefaultRowSize(height, true);
    if (std::find(m_watched.begin(), m_watched.end(), editor) == m_watched.end()) {
        editor->Bind(wxEVT_DESTROY, &CListCtrlEx::onEditorDestroyed, this);
        m_watched.push_back(editor);
    }
}

void CListCtrlEx::onEditorDestroyed(wxWindowDestroyEvent& event)
{
    event.Skip();
    wxWindow* gone = event.GetWindow();
    const auto it = std::find(m_watched.begin(), m_watched.end(), gone);
    if (it == m_watched.end())
        return;  // a window inside an editor
    m_watched.erase(it);
    ForgetEditor(gone);
}

void CListCtrlEx::ShowEditor(wxWindow* editor, int row, int column)
{
    MakeCellVisible(row, column);
    wxWindow* area = GetGridWindow();
    if (editor->GetParent() != area)
        editor->Reparent(area);
    wxRect rect = CellRectInArea(row, column);
    // Never wider than the visible cells, and the left edge stays in view.
    rect.width = std::max(1, std::min(rect.width, area->GetClientSize().x - 4));
    rect.x = std::max(0, rect.x);
    editor->SetSize(rect);
    editor->Show();
    editor->Raise();
    editor->SetFocus();
}

void CListCtrlEx::HideEditor(wxWindow* editor) { editor->Hide(); }

CString CListCtrlEx::EditorText(wxWindow* editor)
{
    if (auto* picker = dynamic_cast<wxDatePickerCtrl*>(editor)) {
        const wxDateTime date = picker->GetValue();
        if (!date.IsValid())
            return CString();
        return FormatListDate({date.GetYear(), static_cast<int>(date.GetMonth()) + 1, date.GetDay(), 0});
    }
    if (auto* entry = dynamic_cast<wxTextEntry*>(editor))
        return CString(entry->GetValue().wc_str());
    return CString(editor->GetLabel().wc_str());
}

void CListCtrlEx::PutEditorText(wxWindow* editor, const CString& text)
{
    if (auto* picker = dynamic_cast<wxDatePickerCtrl*>(editor)) {
        ListDate date;
        if (ParseListDate(text, date) == ListDateStatus::Valid)
            picker->SetValue(wxDateTime(static_cast<wxDateTime::wxDateTime_t>(date.day),
                                        static_cast<wxDateTime::Month>(date.month - 1), date.year));
        else if (picker->HasFlag(wxDP_ALLOWNONE))
            picker->SetValue(wxInvalidDateTime);
        return;
    }
    if (auto* entry = dynamic_cast<wxTextEntry*>(editor)) {
        entry->ChangeValue(wxString(text.GetString()));
        entry->SelectAll();
        return;
    }
    editor->SetLabel(wxString(text.GetString()));
}

void CListCtrlEx::SetEditorText(wxWindow* editor, const CString& text) { PutEditorText(editor, text); }

CString CListCtrlEx::GetEditorText(wxWindow* editor) const { return EditorText(editor); }

void CListCtrlEx::RegisterEditor(wxWindow* editor) { CMsgHook::Register(editor, this, this); }

bool CListCtrlEx::UnregisterEditor(wxWindow* editor) { return CMsgHook::Unregister(editor); }

void CListCtrlEx::NotifyChanged()
{
    wxWindow* dialog = wxGetTopLevelParent(this);
    if (dialog == nullptr || isClosing(this))
        return;
    wxCommandEvent changed(EVT_LISTCTRLEX_CHANGED, GetId());
    changed.SetEventObject(this);
    dialog->GetEventHandler()->ProcessEvent(changed);
}

// --- Mouse and keyboard ------------------------------------------------------

void CListCtrlEx::onCellDoubleClick(wxGridEvent& event)
{
    if (!StartEdit(event.GetRow(), event.GetCol()))
        event.Skip();
}

void CListCtrlEx::onLabelClick(wxGridEvent& event)
{
    // A heading click neither selects the column nor sorts it the grid's
    // way: the list sorts when the header asks for a sort.
    if (event.GetRow() != -1 || event.GetCol() < 0)
        event.Skip();
}

void CListCtrlEx::onColumnSort(wxGridEvent& event)
{
    // The list keeps its own sort state and arrow.
    event.Veto();
    if (event.GetCol() >= 0)
        SortColumn(event.GetCol(), true);
}

void CListCtrlEx::onKeyDown(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key == WXK_TAB && !event.ControlDown()) {
        const bool backward = event.ShiftDown();
        if (!MoveCursor(backward))
            Navigate(backward ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
        return;
    }
    if ((key == WXK_DELETE || key == WXK_NUMPAD_DELETE) && OnDeleteKey())
        return;
    event.Skip();
}

void CListCtrlEx::onEndEdit(wxCommandEvent& event)
{
    // The hook names the editor the event is about: one of this list's
    // editors that is not the open one is stale. Any other sender (the
    // dialog, the program) ends the open edit.
    wxObject* from = event.GetEventObject();
    const bool otherEditor = from != GetActiveEditor() &&
                             std::find(m_watched.begin(), m_watched.end(), from) != m_watched.end();
    if (!IsEditing() || otherEditor) {
        event.Skip();
        return;
    }
    // A dialog that is being destroyed neither reads its editors nor hears
    // of changes: its handlers may be gone.
    if (isClosing(this)) {
        AbandonEdit();
        return;
    }
    wxWindow* editor = GetActiveEditor();
    // Enter and Escape leave the focus in the editor, which is about to
    // hide: the list takes it back. A focus change or a click elsewhere
    // has its own target.
    const bool focusInEditor = isInside(wxWindow::FindFocus(), editor);
    EndEdit(event.GetInt() != 0 ? TRUE : FALSE);
    if (focusInEditor && event.GetExtraLong() == 1)
        GetGridWindow()->SetFocus();
}
