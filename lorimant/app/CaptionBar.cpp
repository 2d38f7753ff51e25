// The caption bar under the ribbon.
#include "lorimant/app/CaptionBar.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "lorimant/document/ApplicationLook.h"
#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/resources/LorimantImages.h"
#include "lorimant/ui/CommandIds.h"

namespace {
wxColour toWx(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }
}  // namespace

CaptionBar::CaptionBar(wxWindow* parent, wxWindow* target) : wxPanel(parent, wxID_ANY) {
  m_options = new wxButton(this, wxID_ANY, kCaptionOptionsLabel, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  m_options->SetToolTip(kCaptionOptionsTooltip);
  m_options->Bind(wxEVT_BUTTON, [target](wxCommandEvent&) {
    wxCommandEvent command(wxEVT_MENU, WxCommandId(kCommandCaptionOptions));
    target->HandleWindowEvent(command);
  });
  m_image = new wxStaticBitmap(this, wxID_ANY, RibbonImage("about", 16));
  m_image->SetToolTip(wxString(kCaptionImageTitle) + "\n" + kCaptionImageText);
  m_welcome = new wxStaticText(this, wxID_ANY, kCaptionWelcomeText);

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(m_options, 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);
  row->Add(m_image, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 8);
  row->Add(m_welcome, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  SetSizerAndFit(row);
}

void CaptionBar::ApplyLook(const ApplicationLook& look) {
  SetBackgroundColour(toWx(look.captionBackground));
  m_welcome->SetForegroundColour(toWx(look.captionText));
  Refresh();
}
