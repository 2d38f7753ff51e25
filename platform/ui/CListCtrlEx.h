// The editable report list: a wx grid in row-selection mode, column
// headings as its header, that shows a CListCtrlExModel and draws every
// cell in its own colours. A double click opens the cell's editor (a text
// box, a combo box or a date picker placed over the cell); Enter, Escape, a
// focus change or a click elsewhere end it through CMsgHook. A header click
// sorts by that column. A committed change sends EVT_LISTCTRLEX_CHANGED to
// the dialog (the top-level window) that holds the list. EVT_LISTCTRLEX_ENDEDIT
// sent to the list ends the open edit (its int: commit), unless its object is
// another of the list's editors than the open one.
#pragma once

#include <wx/grid.h>

#include <vector>

#include "platform/ui/CListCtrlExModel.h"
#include "platform/ui/CMsgHook.h"

// Sent to the dialog that holds a list after a committed change was written
// into one of its cells; the event object is the list.
wxDECLARE_EVENT(EVT_LISTCTRLEX_CHANGED, wxCommandEvent);

class CListCtrlEx : public wxGrid, public CListCtrlExModel {
public:
    // A report list with no columns or rows; the list's colours are the
    // grid's default cell colours.
    CListCtrlEx(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxWANTS_CHARS | wxBORDER_THEME);
    ~CListCtrlEx() override;

    // The list's editor and the grid's own cell editor share a name.
    using CListCtrlExModel::SetDefaultEditor;
    using wxGrid::SetDefaultEditor;

    // The window the cells are drawn in; an open editor is its child.
    wxWindow* CellArea() const { return GetGridWindow(); }
    // A cell's rectangle in the cell area's client coordinates (as scrolled).
    wxRect CellRectInArea(int row, int column) const;

    // The text a date, text or combo editor shows, as the list reads it at
    // the end of an edit (dates in the user's short form).
    static CString EditorText(wxWindow* editor);
    // Puts a cell's text into a date, text or combo editor.
    static void PutEditorText(wxWindow* editor, const CString& text);

protected:
    void OnColumnInserted(int column, int width) override;
    void OnItemsInserted(int row, int count) override;
    void OnItemsDeleted(int row, int count) override;
    void OnItemsChanged() override;
    void OnItemChanged(int row) override;
    void OnSelectionChanged() override;
    void OnSortArrow(int previous, int column, bool ascending) override;
    void OnEditorAssigned(wxWindow* editor) override;
    void ShowEditor(wxWindow* editor, int row, int column) override;
    void HideEditor(wxWindow* editor) override;
    void SetEditorText(wxWindow* editor, const CString& text) override;
    CString GetEditorText(wxWindow* editor) const override;
    void RegisterEditor(wxWindow* editor) override;
    bool UnregisterEditor(wxWindow* editor) override;
    void NotifyChanged() override;

private:
    class Table;

    void onCellDoubleClick(wxGridEvent& event);
    void onLabelClick(wxGridEvent& event);
    void onColumnSort(wxGridEvent& event);
    void onKeyDown(wxKeyEvent& event);
    void onEndEdit(wxCommandEvent& event);
    void onRangeSelected(wxGridRangeSelectEvent& event);
    void onEditorDestroyed(wxWindowDestroyEvent& event);
    void refreshRows(int row);

    CMsgHook m_hook;
    Table* m_table = nullptr;
    // Pushing the model's selection into the grid: the grid's selection
    // events are not read back meanwhile.
    bool m_pushingSelection = false;
    // Editors watched for their destruction.
    std::vector<wxWindow*> m_watched;
};
