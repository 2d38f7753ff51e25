// "Translation Vector" (template 1310): the horizontal and vertical
// translation, typed or taken from two picked points; OK moves the picked
// shapes (or copies of them) or, in translate-all mode, the whole current
// sub-section of its view's document.
#pragma once

#include <optional>

#include "lorimant/shapes/ModelessDialogLogic.h"

class CTransDlg : public ModelessDialogLogic {
 public:
  enum { IDD = 1310, IDC_HORIZONTAL = 866, IDC_VERTICAL = 867 };

  // A dialog of view; one of its point-taking dialogs.
  explicit CTransDlg(CThickSectionView& view);

  // Stores the two opening flags; a first pick of an earlier opening is forgotten.
  void setOpening(bool duplicate, bool all);

  // The view's transformation commands: what moves (a copy's name is
  // chosen by the view's duplicate walk).
  void setTransformMode(TransformMode mode, const CString& /*copyName*/) override {
    setOpening(mode == TransformMode::Duplicate, mode == TransformMode::All);
  }

  void DoDataExchange(CDataExchange* pDX) override;
  // The first pick is kept; the second makes the translation the
  // difference of the two and, once the click is done, takes both picks
  // back off the view's pick list.
  void pointPicked(Point<double> location) override;
  // Translate all: "xscn.TranslateAll dx,dy" through the automation
  // method. Otherwise refused, the dialog staying open, while the union is
  // on ("Turn off union before performing translation", "Transformations")
  // or the current sub-section holds a mesh ("Mesh must be deleted before
  // a shape may be translated"); else the view's translation of its picked
  // shapes. Then the view is fitted, its picks cleared, the dialog closed.
  void OnOK() override;
  // Clears the view's picks and closes.
  void OnCancel() override;

  // The first of two picks (none between pairs).
  const std::optional<Point<double>>& firstPick() const { return m_firstPick; }

  double m_horizontal = 0.0, m_vertical = 0.0;
  bool m_duplicate = false;
  bool m_all = false;

 private:
  std::optional<Point<double>> m_firstPick;
};
