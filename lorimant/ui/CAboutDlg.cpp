// The About box's window.
#include "lorimant/ui/CAboutDlg.h"

#include <wx/button.h>
#include <wx/font.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/resources/LorimantImages.h"

namespace {
wxString toWx(const CString& text) { return wxString(text.GetString()); }
}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent) : CDialog(IDD, parent, kAboutCaption) {}

void CAboutDlg::CreateControls() {
  wxStaticText* program = AddLabel(IDC_PROGRAM, toWx(AboutProgramName()));
  program->SetFont(program->GetFont().Bold().Scaled(1.4f));
  auto* lines = new wxBoxSizer(wxVERTICAL);
  lines->Add(program, 0, wxBOTTOM, 6);
  lines->Add(AddLabel(IDC_VERSION, toWx(AboutVersionText())), 0, wxBOTTOM, 4);
  lines->Add(AddLabel(IDC_BUILT_ON, toWx(AboutBuiltOnText())), 0);

  auto* body = new wxBoxSizer(wxHORIZONTAL);
  body->Add(new wxStaticBitmap(this, wxID_ANY, RibbonImage("section_properties", 48)), 0, wxALL, 10);
  body->Add(lines, 1, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, 10);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(body, 1, wxEXPAND);
  top->Add(MakeOkCancelRow(IDOK, false), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}
