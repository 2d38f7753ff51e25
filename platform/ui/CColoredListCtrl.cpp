#include "platform/ui/CColoredListCtrl.h"

#include <wx/dc.h>
#include <wx/dcclient.h>

#include <algorithm>
#include <memory>

namespace {

wxColour toWx(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

CColoredListCtrl::CColoredListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxListCtrl(parent, id, pos, size, style | wxLC_REPORT)
{
    SetTextColour(*wxBLACK);
    if (wxWindow* rows = rowsWindow())
        rows->Bind(wxEVT_ERASE_BACKGROUND, &CColoredListCtrl::onEraseRows, this);
}

wxWindow* CColoredListCtrl::rowsWindow() const
{
    // The generic list draws its rows in a child window of its own class,
    // which is not declared outside wx: it is known by its address.
    for (wxWindow* child : GetChildren())
        if (static_cast<const void*>(child) == static_cast<const void*>(m_mainWin))
            return child;
    return nullptr;
}

void CColoredListCtrl::onEraseRows(wxEraseEvent& event)
{
    wxWindow* rows = rowsWindow();
    std::unique_ptr<wxClientDC> own;
    wxDC* dc = event.GetDC();
    if (dc == nullptr) {
        own = std::make_unique<wxClientDC>(rows);
        dc = own.get();
    }
    const wxSize client = rows->GetClientSize();
    dc->SetPen(*wxTRANSPARENT_PEN);
    dc->SetBrush(wxBrush(toWx(m_oddRowColor)));
    dc->DrawRectangle(0, 0, client.x, client.y);
    if (GetItemCount() == 0)
        return;
    // Bands as tall as a row from above the first visible row to the
    // bottom, coloured by the row index they stand for (also past the last row).
    long index = GetTopItem();
    wxRect top;
    if (index < 0 || !GetItemRect(index, top) || top.height <= 0)
        return;
    int y = rows->ScreenToClient(ClientToScreen(top.GetPosition())).y;
    for (; y > 0 && index > 0; --index)
        y -= top.height;
    for (; y < client.y; ++index, y += top.height) {
        dc->SetBrush(wxBrush(toWx(index % 2 == 0 ? m_evenRowColor : m_oddRowColor)));
        dc->DrawRectangle(0, y, client.x, top.height);
    }
}

int CColoredListCtrl::AddColumn(const wchar_t* heading, int column, int subItem, int mask, int format)
{
    const wxString text(heading != nullptr ? heading : L"");
    wxListItem info;
    long wxMask = wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH;
    if (mask & LVCF_FMT) {
        wxMask |= wxLIST_MASK_FORMAT;
        info.SetAlign(format == LVCFMT_RIGHT ? wxLIST_FORMAT_RIGHT
                                             : (format == LVCFMT_CENTER ? wxLIST_FORMAT_CENTRE : wxLIST_FORMAT_LEFT));
    }
    info.SetMask(wxMask);
    info.SetText(text);
    info.SetWidth(GetTextExtent(text).x + 15);
    const long index = InsertColumn(column, info);
    if (index < 0)
        return -1;
    const int own = (mask & LVCF_SUBITEM) ? (subItem == -1 ? column : subItem) : -1;
    m_subItems.insert(m_subItems.begin() + std::min<std::size_t>(index, m_subItems.size()), own);
    return static_cast<int>(index);
}

int CColoredListCtrl::GetColumnSubItem(int column) const
{
    return column >= 0 && column < static_cast<int>(m_subItems.size()) ? m_subItems[column] : -1;
}

int CColoredListCtrl::AddItem(int item, int subItem, const wchar_t* text, int image)
{
    wxListItem info;
    info.SetId(item);
    info.SetColumn(subItem);
    info.SetText(text != nullptr ? text : L"");
    info.SetMask(wxLIST_MASK_TEXT | (image != -1 ? wxLIST_MASK_IMAGE : 0));
    if (image != -1)
        info.SetImage(image);
    if (subItem == 0)
        return item < 0 ? -1 : static_cast<int>(InsertItem(info));
    if (item < 0 || item >= GetItemCount() || subItem < 0 || subItem >= GetColumnCount())
        return 0;
    return SetItem(info) ? 1 : 0;
}

void CColoredListCtrl::adjustWidths(int n)
{
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    const int columns = std::min(n, GetColumnCount());
    for (int column = 0; column < columns; ++column) {
        int widest = 0;
        for (long item = 0; item < GetItemCount(); ++item)
            widest = std::max(widest, dc.GetTextExtent(GetItemText(item, column)).x);
        SetColumnWidth(column, widest & 0xFFFF);
    }
}
