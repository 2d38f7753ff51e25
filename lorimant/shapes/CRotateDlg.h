// "Rotation" (template 1287): the angle and the centre, typed or picked;
// OK turns the picked shapes (or copies of them) or, in rotate-all mode,
// the whole current sub-section of its view's document.
#pragma once

#include "lorimant/shapes/ModelessDialogLogic.h"

class CRotateDlg : public ModelessDialogLogic {
 public:
  enum { IDD = 1287, IDC_ANGLE = 734, IDC_CENTER_X = 743, IDC_CENTER_Y = 744 };

  // A dialog of view; one of its point-taking dialogs.
  explicit CRotateDlg(CThickSectionView& view);

  // Stores the opening arguments: duplicate, rotate all and a name (kept, not used).
  void setOpening(bool duplicate, bool all, const CString& name);

  // The view's transformation commands: what turns, and the preset centre
  // and angle (the dialog has no increment field).
  void setTransformMode(TransformMode mode, const CString& copyName) override {
    setOpening(mode == TransformMode::Duplicate, mode == TransformMode::All, copyName);
  }
  void setRotation(Point<double> centre, double angle, double /*increment*/) override {
    m_centerX = centre.x;
    m_centerY = centre.y;
    m_angle = angle;
  }

  void DoDataExchange(CDataExchange* pDX) override;
  // A picked point becomes the centre.
  void pointPicked(Point<double> location) override;
  // Rotate all: "xscn.RotateAll cx,cy,angle" through the automation
  // method. Otherwise refused ("Turn off union before performing
  // rotation", "Transformations") while the union is on, the dialog
  // staying open; else the view's rotation of its picked shapes. Then the
  // view is rebuilt and fitted and the dialog closes.
  void OnOK() override;

  double m_angle = 0.0;
  double m_centerX = 0.0, m_centerY = 0.0;
  bool m_duplicate = false;
  bool m_all = false;
  CString m_name;
};
