// A report list whose rows alternate between two pale background colours,
// also in the empty area below the last row, with black text; columns are
// added as wide as their heading plus a margin, and can be sized to the
// widest text they hold. The program's property lists derive from it.
#pragma once

#include <wx/listctrl.h>

#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/ListTypes.h"

class CColoredListCtrl : public wxListCtrl {
public:
    // An empty report list.
    CColoredListCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize, long style = wxLC_REPORT | wxBORDER_THEME);

    // Inserts a column at position column with the heading, the format
    // (LVCFMT_*, applied when mask holds LVCF_FMT) and the width of the
    // heading's text plus 15 pixels; with LVCF_SUBITEM in mask its sub-item
    // is subItem, or the column's own index when subItem is -1. Returns the
    // new column's index, -1 on failure.
    int AddColumn(const wchar_t* heading, int column, int subItem = -1,
                  int mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM, int format = LVCFMT_LEFT);
    // Sub-item 0 inserts row item with the text (and image, unless -1) and
    // returns its index, -1 on failure; another sub-item sets that cell's
    // text (and image) and returns non-zero on success.
    int AddItem(int item, int subItem, const wchar_t* text, int image = -1);
    // Sizes each of the first n columns to the widest text of its cells in
    // the list's font (headings not measured, no margin): 0 without rows.
    void adjustWidths(int n);
    // The sub-item a column was added with; -1 when it has none.
    int GetColumnSubItem(int column) const;

    // The background of rows 0, 2, ... and of rows 1, 3, ...
    COLORREF m_evenRowColor = 0xF9F7F0;
    COLORREF m_oddRowColor = 0xEFE8E5;

private:
    // The window that draws the rows (below the header).
    wxWindow* rowsWindow() const;
    void onEraseRows(wxEraseEvent& event);

    std::vector<int> m_subItems;
};
