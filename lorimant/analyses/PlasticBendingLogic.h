// The plastic bending dialog without a window: a load case solved by
// Bruhn's method about a neutral axis at a given angle on the current
// sub-section, the summed results and their check, the stress or strain
// contours and line plot, the critical points and the list of stress and
// strain at the result locations. Each location row keeps the location it
// was filled from.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "lorimant/shapes/ModelessDialogLogic.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CAddCriticalPoint;
class CLoadCondition;
class CResultLocation;
class CSectionForces;
class CSubSection;

class PlasticBendingLogic : public ModelessDialogLogic {
 public:
  enum {
    IDD = 170,
    IDC_LOAD_NAME = 1101,
    IDC_ANGLE = 1102,
    IDC_SOLVE = 1103,
    IDC_NA_X = 1104,
    IDC_NA_Y = 1105,
    IDC_NA_ANGLE = 1106,
    IDC_AXIAL = 1107,
    IDC_MOMENT_NA = 1108,
    IDC_MX = 1109,
    IDC_MY = 1110,
    IDC_MAX_STRESS = 1111,
    IDC_MIN_STRESS = 1112,
    IDC_MAX_STRAIN = 1113,
    IDC_MIN_STRAIN = 1114,
    IDC_PLOT = 1115,
    IDC_X1 = 1116,
    IDC_Y1 = 1117,
    IDC_X2 = 1118,
    IDC_Y2 = 1119,
    IDC_SHOW_LINE = 1120,
    IDC_CRITICAL = 1121,
    IDC_ADD_CRITICAL = 1122,
    IDC_CLEAR = 1123,
    IDC_POINTS = 1124,
    IDC_DELETE = 1125,
    IDC_REFRESH = 1126,
  };
  // Columns of the critical-point list.
  enum CriticalColumn { kCpId, kCpX, kCpY, kCpAllowable, kCpActual, kCpColumns };
  // Columns of the result-location list.
  enum Column { kId, kName, kX, kY, kStress, kStrain, kFcy, kFty, kFcu, kFtu, kMaterial, kColumns };
  // No colour of its own (a list's CLR_NONE).
  static constexpr COLORREF kNoColour = 0xFFFFFFFFu;

  // One row of the result-location list.
  struct PointRow {
    CResultLocation* location = nullptr;
    std::array<CString, kColumns> cells;
    COLORREF stressColour = kNoColour;
    COLORREF strainColour = kNoColour;
    bool marked = false;  // a minimum or maximum stress location
    bool selected = false;
  };
  using CriticalRow = std::array<CString, kCpColumns>;
  // The summed results of the last solution.
  struct Results {
    double naX = 0.0, naY = 0.0, naAngle = 0.0;
    double axial = 0.0, momentNA = 0.0, mx = 0.0, my = 0.0;
    double maxStress = 0.0, minStress = 0.0, maxStrain = 0.0, minStrain = 0.0;
  };

  // The dialog on view's current sub-section.
  explicit PlasticBendingLogic(CThickSectionView& view);
  // Leaves the view's plastic and pick slots when they still hold it.
  ~PlasticBendingLogic() override;

  // Start-up: view in pick mode 3, "Strain" plotted, the critical points
  // listed; then registered and shown.
  void show() override;
  void setSubSection(CSubSection* sub) override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Enter neither closes nor solves.
  void OnOK() override {}
  // The buttons and the plot combo by control id.
  void OnCommand(UINT id) override;

  // Solve: refusals, the solution, journal, results, plots, verification.
  void OnSolve();
  // The plot combo changed: contours of stress or strain.
  void OnPlotChanged();
  // Show Line Plot: the bars of the result along X1,Y1 - X2,Y2.
  void OnShowLinePlot();
  // Focus entered X1, Y1, X2 or Y2: the next picked point fills that end.
  void boxFocused(int id);
  // A picked construction point for the end that waits for one.
  void pointPicked(Point<double> location) override;
  // Add Critical Point: the dialog that adds one to this sub-section.
  void OnAddCriticalPoint();
  // Clear: every critical point of the sub-section deleted and journalled.
  void OnClearCriticalPoints();
  // Refresh Results: the result locations listed again, outside ones warned of.
  void refreshResults() override;
  // Delete Selected: the selected rows' locations from the third row on.
  void OnDeleteSelected();
  // The plot combo's index (0 strain, 1 stress).
  int resultChoice() const override { return m_plot; }

  // ---- the lists as the window shows them ----
  const std::vector<PointRow>& rows() const { return m_rows; }
  const std::vector<CriticalRow>& criticalRows() const { return m_critical; }
  void selectRow(int row, bool selected);
  static const std::array<const wchar_t*, kColumns>& columnHeadings();
  static const std::array<int, kColumns>& columnWidths();
  static const std::array<const wchar_t*, kCpColumns>& criticalHeadings();
  static const std::array<int, kCpColumns>& criticalWidths();

  bool solved() const { return m_solved; }
  const Results& results() const { return m_results; }
  // The Add Critical Point dialog open now (null when none).
  CAddCriticalPoint* addCriticalPointDialog() const { return m_addPoint.get(); }
  // Told whenever a list changes.
  void setStateChanged(std::function<void()> changed) { m_stateChanged = std::move(changed); }
  // Gives each new Add Critical Point dialog its window before it is shown.
  void setAddPointPreparer(std::function<void(CAddCriticalPoint&)> prepare) { m_prepareAddPoint = std::move(prepare); }

  // ---- the members the controls exchange ----
  CString m_loadName;
  double m_angle = 0.0;
  int m_plot = 0;
  double m_x1 = 0.0, m_y1 = 0.0, m_x2 = 0.0, m_y2 = 0.0;

 protected:
  void closed() override;

 private:
  CSubSection* subSection() const;
  CSectionForces* solvedForces() const;
  void copyResults(const CSectionForces& sf);
  void verify(CSubSection& sub, const CSectionForces& sf, double limitMax, double limitMin) const;
  void redrawContour();
  void fillCriticalPoints();
  void fillLocations();
  PointRow rowOf(int index, CResultLocation& location, const CSectionForces* sf) const;
  void exchangeResults(CDataExchange* pDX);
  void closeAddPoint();
  void changed() const;
  void releaseView();

  CString m_subName;
  bool m_solved = false;
  std::shared_ptr<CLoadCondition> m_loadCondition;
  Results m_results;
  int m_waitingBox = 0;
  std::vector<PointRow> m_rows;
  std::vector<CriticalRow> m_critical;
  std::unique_ptr<CAddCriticalPoint> m_addPoint;
  std::function<void(CAddCriticalPoint&)> m_prepareAddPoint;
  std::function<void()> m_stateChanged;
};
