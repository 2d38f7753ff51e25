// The restrained and unrestrained bending dialog without a window: an axial
// force and bending moments applied to the current sub-section as a new
// load condition, the summed results and their check against the inputs,
// the contour and line plots, and the list of stress and strain at chosen
// result locations. Each list row keeps the result location it was filled
// from, so edits and deletions always reach the point the row shows.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "lorimant/shapes/ModelessDialogLogic.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class BendingShearLogic;
class CResultLocation;
class CSectionForces;
class CSubSection;

class BendingDialogLogic : public ModelessDialogLogic {
 public:
  enum {
    IDD = 105,
    IDC_LOAD_NAME = 1001,
    IDC_INPUT1 = 1002,
    IDC_INPUT2 = 1003,
    IDC_INPUT3 = 1004,
    IDC_LABEL1 = 1005,
    IDC_LABEL2 = 1006,
    IDC_LABEL3 = 1007,
    IDC_GRAIN = 1008,
    IDC_APPLY = 1009,
    IDC_RADIUS = 1010,
    IDC_RADIUS_LABEL = 1011,
    IDC_UNITS = 1012,
    IDC_PLOT = 1013,
    IDC_X1 = 1014,
    IDC_Y1 = 1015,
    IDC_X2 = 1016,
    IDC_Y2 = 1017,
    IDC_SHOW_LINE = 1018,
    IDC_LINE_OFF = 1019,
    IDC_POINTS = 1020,
    IDC_DELETE = 1021,
    IDC_REFRESH = 1022,
    IDC_NA_X = 1023,
    IDC_NA_Y = 1024,
    IDC_NA_ANGLE = 1025,
    IDC_AXIAL = 1026,
    IDC_MOMENT_NA = 1027,
    IDC_MX = 1028,
    IDC_MY = 1029,
    IDC_MAX_STRESS = 1030,
    IDC_MIN_STRESS = 1031,
    IDC_MAX_STRAIN = 1032,
    IDC_MIN_STRAIN = 1033,
    IDC_RESULTANT = 1034,
    IDC_SHEAR = 1035,
  };
  // Columns of the point list.
  enum Column { kId, kName, kX, kY, kStress, kStrain, kFcy, kFty, kFcu, kFtu, kMaterial, kExponent, kColumns };
  // No colour of its own (a list's CLR_NONE).
  static constexpr COLORREF kNoColour = 0xFFFFFFFFu;

  // One row of the point list: the result location it shows and its cells.
  struct PointRow {
    CResultLocation* location = nullptr;
    std::array<CString, kColumns> cells;
    COLORREF stressColour = kNoColour;
    COLORREF strainColour = kNoColour;
    bool marked = false;    // a minimum or maximum stress location
    bool selected = false;
  };
  // The summed results of the last application.
  struct Results {
    double naX = 0.0, naY = 0.0, naAngle = 0.0;
    double axial = 0.0, momentNA = 0.0, mx = 0.0, my = 0.0;
    double maxStress = 0.0, minStress = 0.0, maxStrain = 0.0, minStrain = 0.0;
    double resultant = 0.0;
  };

  // The dialog of analysis type restrained (0 unrestrained, 1 restrained;
  // any other is refused when applied) on view's current sub-section.
  BendingDialogLogic(CThickSectionView& view, int restrained);
  // Leaves the view's bending and pick slots when they still hold it.
  ~BendingDialogLogic() override;

  // Start-up: view in result-pick mode, result display none, the dialog
  // the view's bending dialog; then registered and shown.
  void show() override;
  // The analysis as the view's command asks for it (1 restrained, 0
  // unrestrained) and the sub-section it works on; before show.
  void setAnalysisType(int restrained) override;
  void setSubSection(CSubSection* sub) override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Enter does not close the dialog nor compute.
  void OnOK() override {}
  // The buttons and the plot combo by control id.
  void OnCommand(UINT id) override;

  // APPLY: the steps of the computation (see the .cpp).
  void OnApply();
  // The contour plot of the plot combo's result; the line plot removed.
  void redrawContour();
  // Show Line Plot: the bars of the result along X1,Y1 - X2,Y2.
  void OnShowLinePlot();
  // Focus entered X1, Y1, X2 or Y2: the next picked point fills that end.
  void boxFocused(int id);
  // Refresh Results: edited names and coordinates written back to their
  // locations, stress and strain recomputed, the list refilled.
  void refreshResults() override;
  // A picked construction point for the end that waits for one.
  void pointPicked(Point<double> location) override;
  // The plot combo's index (0 stress, 1 strain).
  int resultChoice() const override { return m_plot; }
  // Delete Selected: the selected rows' locations from the third row on.
  void OnDeleteSelected() { deleteSelected(2); }
  // The Delete key in the list: every selected row's location.
  void OnDeleteKey() { deleteSelected(0); }
  // Bending Shear: refused for a moment about Y, else the opener runs.
  void OnBendingShear();
  // The load-condition name box changed to name.
  void loadConditionNameChanged(const CString& name);

  // ---- the point list as the window shows it ----
  const std::vector<PointRow>& rows() const { return m_rows; }
  // A cell edited in place (name, X or Y); other columns are ignored.
  void editCell(int row, int column, const CString& text);
  void selectRow(int row, bool selected);
  // The headings of the list's columns in the present unit system.
  static std::array<CString, kColumns> columnHeadings();
  // Column widths in pixels.
  static const std::array<int, kColumns>& columnWidths();
  // A whole number grouped in the user's locale, "undef" for -99999.
  static CString wholeNumberText(double value);
  // The zero-green colour of v between low and high; none when the range is unusable.
  static COLORREF zeroGreenColour(double v, double low, double high);
  // Shows one line-plot end's coordinates ("%.4f") in its two boxes of
  // window (none: nothing); the other end's boxes keep what was typed.
  static void showLinePlotEnd(DialogWindow* window, int xBox, int yBox, double x, double y);

  // ---- state the window reads ----
  bool restrained() const { return m_type == 1; }
  bool controlEnabled(int id) const;
  bool applied() const { return m_applied; }
  const Results& results() const { return m_results; }
  // Told whenever the list or the enabled controls change.
  void setStateChanged(std::function<void()> changed) { m_stateChanged = std::move(changed); }
  // Replaces what the Bending Shear button opens (by default the
  // bending-shear dialog, see openBendingShear).
  void setBendingShearOpener(std::function<void()> opener) { m_openBendingShear = std::move(opener); }
  // How the bending-shear dialog's window is made when it is opened.
  void setBendingShearWindowMaker(WindowMaker maker) { m_shearWindowMaker = std::move(maker); }
  // Opens the bending-shear dialog on this sub-section and the applied load
  // condition, owned by this dialog (and closed with it); an open one is
  // reset to that condition and brought up. The dialog opened.
  BendingShearLogic* openBendingShear();
  // The bending-shear dialog last opened (null when none).
  BendingShearLogic* bendingShearDialog() const { return m_shear.get(); }

  // ---- the members the controls exchange ----
  CString m_loadName;
  std::array<double, 3> m_inputs{0.0, 0.0, 0.0};
  int m_grain = 0;  // "L"
  double m_radius = -1.0;
  int m_plot = 0;
  double m_x1 = 0.0, m_y1 = 0.0, m_x2 = 0.0, m_y2 = 0.0;

 protected:
  void closed() override;

 private:
  CSubSection* subSection() const;
  CSectionForces* appliedForces() const;
  CSectionForces* compute(CSubSection& sub);
  void journalApplication(const CSubSection& sub) const;
  void copyResults(const CSectionForces& sf);
  void verify(const CSectionForces& sf) const;
  void fillList();
  PointRow rowOf(int index, CResultLocation& location, const CSectionForces* sf) const;
  void deleteSelected(int firstRow);
  void exchangeLabels(CDataExchange* pDX);
  void exchangeResults(CDataExchange* pDX);
  void changed() const;
  void releaseView();

  int m_type;
  CString m_subName;
  bool m_applied = false;
  CString m_appliedName;
  Results m_results;
  int m_waitingBox = 0;
  bool m_shearEnabled = false;
  std::vector<PointRow> m_rows;
  std::function<void()> m_stateChanged;
  std::function<void()> m_openBendingShear;
  WindowMaker m_shearWindowMaker;
  std::unique_ptr<BendingShearLogic> m_shear;
};
