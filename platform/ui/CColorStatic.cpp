#include "platform/ui/CColorStatic.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

namespace {

wxColour toWx(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }

COLORREF fromWx(const wxColour& c) { return RGB(c.Red(), c.Green(), c.Blue()); }

} // namespace

CColorStatic::CColorStatic(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                           const wxSize& size, long style)
    : wxWindow(parent, id, pos, size, style | wxFULL_REPAINT_ON_RESIZE),
      m_label(label),
      m_background(fromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE))),
      m_text(fromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT)))
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CColorStatic::onPaint, this);
    SetInitialSize(size);
}

void CColorStatic::SetBkColor(COLORREF colour)
{
    m_background = colour;
    Refresh();
}

void CColorStatic::SetTextColor(COLORREF colour)
{
    m_text = colour;
    Refresh();
}

void CColorStatic::SetLabel(const wxString& label)
{
    if (label == m_label)
        return;
    m_label = label;
    InvalidateBestSize();
    Refresh();
}

wxSize CColorStatic::DoGetBestSize() const
{
    wxClientDC dc(const_cast<CColorStatic*>(this));
    dc.SetFont(GetFont());
    wxCoord width = 0;
    wxCoord height = 0;
    dc.GetMultiLineTextExtent(m_label.empty() ? wxString("M") : m_label, &width, &height);
    return wxSize(width + 4, height + 4);
}

void CColorStatic::onPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    wxRect client(GetClientSize());
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(toWx(m_background)));
    dc.DrawRectangle(client);
    dc.SetFont(GetFont());
    dc.SetTextForeground(toWx(m_text));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const long style = GetWindowStyleFlag();
    const int horizontal = (style & wxALIGN_RIGHT) ? wxALIGN_RIGHT
                           : (style & wxALIGN_CENTRE_HORIZONTAL) ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
    dc.DrawLabel(m_label, client.Deflate(2), horizontal | wxALIGN_CENTRE_VERTICAL);
}
