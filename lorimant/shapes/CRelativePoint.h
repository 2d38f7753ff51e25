// "Relative Point Keyin" (template 1284): a construction point placed at
// offsets from a base point along two turned axes. "Calculate" shows the
// point; Apply (OK) adds it to the current sub-section of its view's
// document and stays open.
#pragma once

#include "lorimant/shapes/ModelessDialogLogic.h"

class CRelativePoint : public ModelessDialogLogic {
 public:
  enum {
    IDD = 1284,
    IDC_BASE_X = 951,
    IDC_BASE_Y = 961,
    IDC_X_AXIS_ANGLE = 149,
    IDC_Y_AXIS_ANGLE = 151,
    IDC_DELTA_X = 316,
    IDC_DELTA_Y = 318,
    IDC_RESULT_X = 600,
    IDC_RESULT_Y = 601,
    IDC_CALCULATE = 201
  };

  // A dialog of view; one of its point-taking dialogs.
  explicit CRelativePoint(CThickSectionView& view);

  // The base point the dialog starts from.
  void presetPoint(double x, double y) override;

  void DoDataExchange(CDataExchange* pDX) override;
  // A picked point becomes the base point.
  void pointPicked(Point<double> location) override;
  // Calculate (201).
  void OnCommand(UINT id) override;
  // Calculates; the point is added to the current sub-section, journalled
  // "xscn.AddPoint "<sub-section>",x,y", the change routine runs and the
  // view is rebuilt. The dialog stays open.
  void OnOK() override;

  // The result of the members: base + dx * (cos ax, sin ax) + dy * (cos(ay + 90), sin(ay + 90)).
  void calculate();

  double m_baseX = 0.0, m_baseY = 0.0;
  double m_xAxisAngle = 0.0, m_yAxisAngle = 0.0;
  double m_deltaX = 0.0, m_deltaY = 0.0;
  double m_resultX = 0.0, m_resultY = 0.0;
};
