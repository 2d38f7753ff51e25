// A static text drawn in its own background and text colours (a warning in
// red on the dialog's face colour, for one).
#pragma once

#include <wx/window.h>

#include "platform/core/Types.h"

class CColorStatic : public wxWindow {
public:
    // A text with the window's default colours until its owner sets them;
    // the style's wxALIGN_RIGHT or wxALIGN_CENTRE_HORIZONTAL aligns it.
    CColorStatic(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize, long style = 0);

    // The background the whole control is filled with.
    void SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_background; }
    // The colour of the text.
    void SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_text; }

    // Replaces the text (and the size it would like).
    void SetLabel(const wxString& label) override;
    // The text shown.
    wxString GetLabel() const override { return m_label; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void onPaint(wxPaintEvent& event);

    wxString m_label;
    COLORREF m_background;
    COLORREF m_text;
};
