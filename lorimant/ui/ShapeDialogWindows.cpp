// The windows of the mirror, rotation, translation, relative-point and
// critical-point dialogs.
#include "lorimant/ui/ShapeDialogWindows.h"

#include <wx/button.h>
#include <wx/sizer.h>

#include <memory>

#include "lorimant/ui/BasicShapeWindows.h"
#include "lorimant/ui/ProfileDialogWindow.h"
#include "lorimant/view/SectionDialogs.h"

namespace {

// A vertical stack of parts, the button row under them, as the window's sizer.
void layOut(wxWindow& window, std::initializer_list<wxSizer*> parts, wxSizer* buttons) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  for (wxSizer* part : parts) top->Add(part, 0, wxEXPAND | wxALL, 5);
  top->Add(buttons, 0, wxEXPAND | wxALL, 5);
  window.SetSizer(top);
}

// Gives dialog a window of type Window over its view's top-level window.
template <class Window, class Dialog>
void giveWindow(Dialog& dialog) {
  dialog.setWindowMaker([](ModelessDialogLogic& logic) -> DialogWindow* {
    auto& typed = static_cast<Dialog&>(logic);
    return new Window(typed, CQHTDialogEx::ParentFor(typed.view()));
  });
}

// A maker of the factory: a dialog of type Dialog with its window.
template <class Dialog>
SectionDialogFactory::Maker makerOf() {
  return [](CThickSectionView& view) -> std::unique_ptr<SectionDialog> {
    auto dialog = std::make_unique<Dialog>(view);
    GiveWindow(*dialog);
    return dialog;
  };
}

}  // namespace

void CMirrorDlgWindow::CreateControls() {
  layOut(*this,
         {MakeCells({{CMirrorDlg::IDC_DIR_X, "X", true}, {CMirrorDlg::IDC_DIR_Y, "Y", true}}, "Direction Vector"),
          MakeCells({{CMirrorDlg::IDC_POINT_X, "X"}, {CMirrorDlg::IDC_POINT_Y, "Y"}}, "Point on Axis")},
         MakeButtonRow("OK"));
}

BOOL CMirrorDlgWindow::OnInitDialog() {
  CQHTDialogEx::OnInitDialog();
  FocusControl(CMirrorDlg::IDC_POINT_X, true);
  return FALSE;
}

void CRotateDlgWindow::CreateControls() {
  layOut(*this,
         {MakeCells({{CRotateDlg::IDC_ANGLE, "Angle (CCW+)"},
                     {CRotateDlg::IDC_CENTER_X, "Center of Rotation X"},
                     {CRotateDlg::IDC_CENTER_Y, "Center of Rotation Y"}})},
         MakeButtonRow("OK"));
}

void CTransDlgWindow::CreateControls() {
  layOut(*this,
         {MakeCells({{CTransDlg::IDC_HORIZONTAL, "Horizontal Translation"},
                     {CTransDlg::IDC_VERTICAL, "Vertical Translation"}})},
         MakeButtonRow("OK"));
}

void CRelativePointWindow::CreateControls() {
  using R = CRelativePoint;
  auto* calculate = new wxBoxSizer(wxHORIZONTAL);
  calculate->AddStretchSpacer();
  calculate->Add(AddButton(R::IDC_CALCULATE, "Calculate"), 0, wxALL, 5);
  BindCommand(R::IDC_CALCULATE);
  layOut(*this,
         {MakeCells({{R::IDC_BASE_X, "X"}, {R::IDC_BASE_Y, "Y"}}, "Base Point"),
          MakeCells({{R::IDC_X_AXIS_ANGLE, "Rotation Angle of X Axis (CCW+ from X axis)"},
                     {R::IDC_Y_AXIS_ANGLE, "Rotation Angle of Y Axis (CCW+ from Y axis)"},
                     {R::IDC_DELTA_X, "Delta X"},
                     {R::IDC_DELTA_Y, "Delta Y"}},
                    "Offsets"),
          MakeCells({{R::IDC_RESULT_X, "X", true}, {R::IDC_RESULT_Y, "Y", true}}, "Relative Point"), calculate},
         MakeButtonRow("Apply"));
}

void CAddCriticalPointWindow::CreateControls() {
  using A = CAddCriticalPoint;
  layOut(*this, {MakeCells({{A::IDC_X, "X"}, {A::IDC_Y, "Y"}, {A::IDC_STRAIN, "Allowable Strain "}})},
         MakeButtonRow("OK"));
}

void GiveWindow(CMirrorDlg& dialog) { giveWindow<CMirrorDlgWindow>(dialog); }
void GiveWindow(CRotateDlg& dialog) { giveWindow<CRotateDlgWindow>(dialog); }
void GiveWindow(CTransDlg& dialog) { giveWindow<CTransDlgWindow>(dialog); }
void GiveWindow(CRelativePoint& dialog) { giveWindow<CRelativePointWindow>(dialog); }
void GiveWindow(CAddCriticalPoint& dialog) { giveWindow<CAddCriticalPointWindow>(dialog); }

void RegisterShapeDialogs(SectionDialogFactory& factory) {
  factory.registerMaker(SectionDialogKind::Mirror, makerOf<CMirrorDlg>());
  factory.registerMaker(SectionDialogKind::Rotate, makerOf<CRotateDlg>());
  factory.registerMaker(SectionDialogKind::Translate, makerOf<CTransDlg>());
  factory.registerMaker(SectionDialogKind::RelativePoint, makerOf<CRelativePoint>());
  factory.registerMaker(SectionDialogKind::BasicShape, makerOf<CSector>());
  factory.registerMaker(SectionDialogKind::PointSet, makerOf<CPointSet>());
  for (const ProfileMember& member : ProfileMembers()) {
    factory.registerMaker(
        SectionDialogKind::Profile,
        [&member](CThickSectionView& view) -> std::unique_ptr<SectionDialog> {
          auto dialog = std::make_unique<CFormedExtrudedDlg>(member, view);
          GiveWindow(*dialog);
          return dialog;
        },
        member.kind);
  }
}
