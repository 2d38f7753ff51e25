// The elastic bending shear and fastener load dialog without a window: the
// first moment Q of the part of the section inside a box and its shear
// stress V Q / (Ix b), the same for a shape picked in the view, and the
// load a weld or fastener line carries at a given spacing. The box is shown
// as an overlay of the section view, never as part of the model.
#pragma once

#include "lorimant/shapes/ModelessDialogLogic.h"
#include "platform/core/CString.h"

class CShapeAnalysis;
class CSubSection;

class BendingShearLogic : public ModelessDialogLogic {
 public:
  enum {
    IDD = 192,
    IDC_XMIN = 1101,
    IDC_YMIN = 1102,
    IDC_XMAX = 1103,
    IDC_YMAX = 1104,
    IDC_COMPUTE = 1105,
    IDC_BOX_Q = 1106,
    IDC_B = 1107,
    IDC_V = 1108,
    IDC_BOX_STRESS = 1109,
    IDC_SHAPE_NAME = 1110,
    IDC_SHAPE_Q = 1111,
    IDC_SHAPE_STRESS = 1112,
    IDC_SOURCE = 1113,
    IDC_WIDTH = 1114,
    IDC_SPACING = 1115,
    IDC_APPLIED = 1116,
    IDC_LOAD = 1117,
    // Unit labels beside the boxes.
    IDC_UNIT_BOX = 1120,
    IDC_UNIT_BOX_Q = 1121,
    IDC_UNIT_B = 1122,
    IDC_UNIT_V = 1123,
    IDC_UNIT_BOX_STRESS = 1124,
    IDC_UNIT_SHAPE_Q = 1125,
    IDC_UNIT_SHAPE_STRESS = 1126,
    IDC_UNIT_WIDTH = 1127,
    IDC_UNIT_SPACING = 1128,
    IDC_UNIT_LOAD = 1129,
  };
  // The source of the stress of the fastener load (the combo's index).
  enum Source { kBoxStress = 0, kShapeStress = 1 };
  // The box that waits for a pick.
  enum class PickTarget { None, Corner1, Corner2, Width, Spacing };

  // The dialog on sub (may be null: every computation is then refused)
  // of view's model for the load condition loadConditionName.
  BendingShearLogic(CThickSectionView& view, CSubSection* sub, const CString& loadConditionName);
  // Undoes what an open dialog did to the view (a dialog freed while open).
  ~BendingShearLogic() override;

  // Opens: the view's shape-selection dialog, shape picks (mode 1); then
  // registered with the document and shown.
  void show() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Enter neither closes nor computes.
  void OnOK() override {}
  // The buttons by control id (Compute Q and Stress, Applied Force).
  void OnCommand(UINT id) override;

  // Compute Q and Stress: the box's Q and shear stress (see the .cpp).
  void OnComputeBox();
  // Applied Force: the fastener load from the chosen stress.
  void OnAppliedForce();
  // A shape picked in the view: its Q and shear stress under the dialog's
  // load condition, journalled.
  void shapePicked(CShapeAnalysis* shape) override;
  // A picked construction point for the box that waits for one.
  void pointPicked(Point<double> location) override;
  // Focus entered box id: the corner boxes, b and the spacing wait for picks.
  void boxFocused(int id);
  // V was edited: the results no longer hold.
  void shearForceChanged() { reset(); }
  // Q, both stresses and the shape values 0, the shape name cleared.
  void reset();
  // The bending dialog applied loadConditionName: the dialog works on it
  // from now on, with the results cleared.
  void reset(const CString& loadConditionName);

  // ---- state the window and tests read ----
  bool isOpen() const { return m_open; }
  const CString& loadConditionName() const { return m_loadName; }
  PickTarget pickTarget() const { return m_target; }
  // The unit label of control id in the present unit system (empty for others).
  static CString unitLabel(int id);

  // ---- the members the controls exchange ----
  double m_xmin = 0.0, m_ymin = 0.0, m_xmax = 0.0, m_ymax = 0.0;
  double m_boxQ = 0.0;
  double m_b = 1.0;
  double m_V = 0.0;
  double m_boxStress = 0.0;
  CString m_shapeName;
  double m_shapeQ = 0.0;
  double m_shapeStress = 0.0;
  int m_source = kBoxStress;
  double m_width = 0.0;
  double m_spacing = 0.0;
  double m_load = 0.0;

 protected:
  void closed() override;

 private:
  CSubSection* subSection() const;
  // The results into their boxes only (the inputs keep what was typed).
  void showResults();
  void showBox(int id, double value);
  void releaseView();
  bool widthUsable(const wchar_t* caption) const;

  CString m_subName;
  CString m_loadName;
  bool m_open = false;
  PickTarget m_target = PickTarget::None;
  bool m_haveFirstPick = false;
  Point<double> m_firstPick;
};
