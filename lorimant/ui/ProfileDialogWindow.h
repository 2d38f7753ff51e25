// The window of the nine profile dialogs, built from the profile table: a
// picture area with the member's dimension cells laid over it, the
// "Position and Orientation" group, the name and unit cells, OK, Cancel,
// Apply and the standard-shape buttons.
#pragma once

#include <wx/panel.h>

#include "lorimant/shapes/CFormedExtrudedDlg.h"
#include "lorimant/ui/CQHTDialogEx.h"

class ProfileDialogWindow : public CQHTDialogEx, public DialogLayoutWindow {
 public:
  // The client size the window is laid out for, and its picture area.
  static constexpr int kClientWidth = 419, kClientHeight = 762;
  static constexpr int kPictureX = 7, kPictureY = 7, kPictureWidth = 400, kPictureHeight = 584;

  ProfileDialogWindow(CFormedExtrudedDlg& logic, wxWindow* parent);
  // Refills the origin and direction lists from the rules' layout.
  void layoutChanged() override;
  wxPanel* picture() const { return m_picture; }

 protected:
  void CreateControls() override;
  BOOL OnInitDialog() override;

 private:
  CFormedExtrudedDlg* profile() const { return dynamic_cast<CFormedExtrudedDlg*>(logic()); }
  void makeCells(const ProfileMember& member);
  void makePosition();
  void makeButtons(const ProfileMember& member);
  // Tells the rules when a cell takes or loses the focus.
  void bindFocus(int id);

  wxPanel* m_picture = nullptr;
};

// Gives the dialog its window (over the view's top-level window).
void GiveWindow(CFormedExtrudedDlg& dialog);
