// "Mirror" (template 1251): the point on the mirror axis, typed or picked,
// for an axis of the direction its opener gives; OK mirrors (or
// mirror-duplicates) the picked shapes of its view.
#pragma once

#include "lorimant/shapes/ModelessDialogLogic.h"

class CMirrorDlg : public ModelessDialogLogic {
 public:
  enum { IDD = 1251, IDC_DIR_X = 569, IDC_DIR_Y = 570, IDC_POINT_X = 571, IDC_POINT_Y = 572 };

  // A dialog of view; one of its point-taking dialogs.
  explicit CMirrorDlg(CThickSectionView& view);

  // Stores the opening arguments: duplicate, a second integer and a name
  // (both kept, not used) and the axis direction (dx, dy).
  void setOpening(bool duplicate, int second, double dx, double dy, const CString& name);

  // The view's transformation commands: copies or moves, and the axis direction.
  void setTransformMode(TransformMode mode, const CString& copyName) override {
    m_duplicate = mode == TransformMode::Duplicate;
    m_name = copyName;
  }
  void setMirrorDirection(Point<double> direction) override {
    m_dirX = direction.x;
    m_dirY = direction.y;
  }

  void DoDataExchange(CDataExchange* pDX) override;
  // A picked point becomes the point on the axis.
  void pointPicked(Point<double> location) override;
  // Mirrors the view's picked shapes in the line through the point whose
  // normal is the direction turned by +90 degrees, closes, fits the view.
  void OnOK() override;

  double m_dirX = 1.0, m_dirY = 0.0;
  double m_pointX = 0.0, m_pointY = 0.0;
  bool m_duplicate = false;
  int m_second = 0;
  CString m_name;
};
