// The window of the profile dialogs.
#include "lorimant/ui/ProfileDialogWindow.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dcbuffer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "lorimant/ui/ExceptionReport.h"

namespace {

// Cells over the picture: two columns of a label above its box.
// (in the picture's own coordinates)
constexpr int kCellColumns[2] = {10, 205};
constexpr int kCellWidth = 185;
constexpr int kCellTop = 34;
constexpr int kCellPitch = 58;
constexpr int kLabelHeight = 18;
constexpr int kBoxHeight = 28;

wxPoint at(int x, int y) { return wxPoint(x, y); }

// The picture area: the member's caption over a light ground.
class ProfilePicturePanel : public wxPanel {
 public:
  ProfilePicturePanel(wxWindow* parent, int id, const wxString& caption)
      : wxPanel(parent, id, at(ProfileDialogWindow::kPictureX, ProfileDialogWindow::kPictureY),
                wxSize(ProfileDialogWindow::kPictureWidth, ProfileDialogWindow::kPictureHeight), wxBORDER_SUNKEN),
        m_caption(caption) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
      wxAutoBufferedPaintDC dc(this);
      dc.SetBackground(wxBrush(wxColour(236, 242, 250)));
      dc.Clear();
      dc.SetFont(wxFont(wxFontInfo(11).Bold()));
      dc.SetTextForeground(wxColour(20, 40, 120));
      dc.DrawText(m_caption, 10, 6);
    });
  }

 private:
  wxString m_caption;
};

}  // namespace

ProfileDialogWindow::ProfileDialogWindow(CFormedExtrudedDlg& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

void ProfileDialogWindow::bindFocus(int id) {
  wxWindow* cell = FindWindow(id);
  cell->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& event) {
    event.Skip();
    if (CFormedExtrudedDlg* p = profile()) RunGuarded([p, id] { p->SetCurrentCell(id); });
  });
  cell->Bind(wxEVT_KILL_FOCUS, [this, id](wxFocusEvent& event) {
    event.Skip();
    if (CFormedExtrudedDlg* p = profile()) RunGuarded([p, id] { p->cellLeft(id); });
  });
}

void ProfileDialogWindow::makeCells(const ProfileMember& member) {
  std::vector<ProfileCell> cells = member.dimensions;
  cells.insert(cells.end(), member.trailing.begin(), member.trailing.end());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const int x = kCellColumns[i % 2];
    const int y = kCellTop + static_cast<int>(i / 2) * kCellPitch;
    wxString label = cells[i].parameter;
    if (label == "toeRadius") label = "Toe Radius";
    if (label == "flangeSlope") label = "Flange Slope (Deg)";
    if (label == "flangeRadius") label = "Flange Slope";
    AddLabel(wxID_STATIC, label, m_picture)->SetPosition(at(x, y));
    AddEdit(cells[i].id, 0, m_picture)->SetSize(x, y + kLabelHeight, kCellWidth, kBoxHeight);
  }
}

void ProfileDialogWindow::makePosition() {
  using D = CFormedExtrudedDlg;
  new wxStaticBox(this, wxID_ANY, "Position and Orientation", at(7, 596), wxSize(405, 84));
  const auto label = [this](const char* text, int x, int y) { AddLabel(wxID_STATIC, text)->SetPosition(at(x, y + 5)); };
  const auto place = [](wxWindow* w, int x, int y, int width) { w->SetSize(x, y, width, kBoxHeight); };
  label("Origin", 15, 616);
  place(AddCombo(D::IDC_ORIGIN, {}, false), 65, 616, 60);
  label("Direction", 135, 616);
  place(AddCombo(D::IDC_DIRECTION, {}, false), 205, 616, 60);
  label("Rotation", 15, 648);
  place(AddEdit(D::IDC_ROTATION), 80, 648, 70);
  label("Deg", 155, 648);
  label("X", 195, 648);
  place(AddEdit(D::IDC_X), 210, 648, 85);
  label("Y", 305, 648);
  place(AddEdit(D::IDC_Y), 320, 648, 85);
}

void ProfileDialogWindow::makeButtons(const ProfileMember& member) {
  using D = CFormedExtrudedDlg;
  AddLabel(wxID_STATIC, "Name")->SetPosition(at(7, 693));
  AddEdit(D::IDC_NAME)->SetSize(50, 688, 110, kBoxHeight);
  AddEdit(D::IDC_UNITS, wxTE_READONLY)->SetSize(165, 688, 40, kBoxHeight);
  AddButton(IDOK, "OK")->SetSize(212, 688, 62, kBoxHeight);
  AddButton(IDCANCEL, "Cancel")->SetSize(280, 688, 62, kBoxHeight);
  AddButton(member.applyId, "Apply")->SetSize(348, 688, 62, kBoxHeight);
  BindCommand(member.applyId);
  int x = 7;
  for (const ProfileShapeButton& b : member.shapeButtons) {
    wxButton* button = AddButton(b.id, wxString(b.label).Trim());
    button->SetFont(button->GetFont().Smaller());
    button->SetSize(x, 724, 132, kBoxHeight);
    BindCommand(b.id);
    x += 136;
  }
}

void ProfileDialogWindow::CreateControls() {
  CFormedExtrudedDlg* p = profile();
  if (p == nullptr) return;
  const ProfileMember& member = p->member();
  m_picture = new ProfilePicturePanel(this, member.pictureId, wxString(member.caption));
  m_picture->Lower();
  makeCells(member);
  makePosition();
  makeButtons(member);
  SetClientSize(kClientWidth, kClientHeight);
  for (int id : p->inputCells()) bindFocus(id);
  // Enter and Escape neither close the dialog nor press a button.
  Bind(wxEVT_CHAR_HOOK, [](wxKeyEvent& event) {
    if (!CFormedExtrudedDlg::PreTranslateKey(event.GetKeyCode())) event.Skip();
  });
  layoutChanged();
}

BOOL ProfileDialogWindow::OnInitDialog() {
  CQHTDialogEx::OnInitDialog();
  // The name takes the first focus: a dimension cell would lose its text to it.
  FocusControl(CFormedExtrudedDlg::IDC_NAME, true);
  return FALSE;
}

void ProfileDialogWindow::layoutChanged() {
  CFormedExtrudedDlg* p = profile();
  if (p == nullptr) return;
  for (int id : {CFormedExtrudedDlg::IDC_ORIGIN, CFormedExtrudedDlg::IDC_DIRECTION}) {
    auto* list = static_cast<wxChoice*>(FindWindow(id));
    if (list == nullptr) continue;
    list->Clear();
    for (const CString& item : p->layout().items(id)) list->Append(wxString(item.GetString()));
  }
}

void GiveWindow(CFormedExtrudedDlg& dialog) {
  dialog.setWindowMaker([](ModelessDialogLogic& logic) -> DialogWindow* {
    auto& typed = static_cast<CFormedExtrudedDlg&>(logic);
    return new ProfileDialogWindow(typed, CQHTDialogEx::ParentFor(typed.view()));
  });
}
