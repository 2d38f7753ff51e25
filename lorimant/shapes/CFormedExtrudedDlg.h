// The profile dialogs: one modeless dialog per member of the profile table
// (extruded C, J, L, T and Z, formed C, L and Z, I-beam). The dialog
// gathers the dimensions, placement and name; Apply builds the part at once
// through the member's builder, a further Apply or OK replaces it, and the
// part stays after Cancel. Values are typed or computed from construction
// points picked in the view into the current input cell.
#pragma once

#include <optional>
#include <vector>

#include "analysis/geometry/Point.h"
#include "lorimant/shapes/DialogLayout.h"
#include "lorimant/shapes/ModelessDialogLogic.h"
#include "lorimant/shapes/ProfileDialogTable.h"

class CFormedExtrudedDlg : public ModelessDialogLogic {
 public:
  enum {
    IDC_X = 951,
    IDC_Y = 961,
    IDC_ROTATION = 1196,
    IDC_ORIGIN = 627,
    IDC_DIRECTION = 1191,
    IDC_NAME = 591,
    IDC_UNITS = 884,
    IDC_LOWER_ANGLE = 1174,
    IDC_UPPER_ANGLE = 1164,
    IDC_OK = 1,
    IDC_CANCEL = 2,
  };

  // The dialog of member (a row of ProfileMembers()) opened from view: it
  // builds into that view's document whichever document is active later.
  CFormedExtrudedDlg(const ProfileMember& member, CThickSectionView& view);

  const ProfileMember& member() const { return m_member; }
  // Every number cell of the member: dimensions, then toe radius and slope.
  std::vector<int> numberCells() const;
  // The cells that take picks: the number cells, X, Y and Rotation.
  std::vector<int> inputCells() const;

  // ---- opening ----
  void setParentName(const CString& name) override { m_parentName = name; }
  const CString& parentName() const { return m_parentName; }
  void clearPickFields() override;
  // Registers and shows the window; a new dialog gets a generated name;
  // the unit cell shows "CM" or "IN".
  void show() override;
  // Opens for the existing part name: dimensions (then the trailing values)
  // in the builder's order, placement and name; Apply and OK replace it.
  void OpenForEdit(const CString& name, const std::vector<double>& dimensions, const std::vector<double>& trailing,
                   int originPoint, int directionPoint, double x, double y, double rotation);

  // ---- cells and picks ----
  // A cell took the focus: a cell not yet current becomes current, the
  // picks are cleared, and unless the last pick filled it its text goes.
  void SetCurrentCell(int id);
  // A cell lost the focus: one its focus left empty gets its text back.
  void cellLeft(int id);
  int currentCell() const { return m_currentCell; }
  int lastPickedCell() const { return m_lastPickedCell; }
  // A picked construction point for the current cell (nothing without one).
  void pointPicked(Point<double> location) override;

  // ---- buttons ----
  void DoDataExchange(CDataExchange* pDX) override;
  // Apply (200 or 1202); the standard-shape buttons have no browser yet.
  void OnCommand(UINT id) override;
  // Builds (replacing an applied part) and closes; stays open on a refusal.
  void OnOK() override;
  // Closes; a part left by Apply stays.
  void OnCancel() override;
  // Builds (replacing an applied part); the dialog stays open.
  void OnApply();
  // Enter and Escape are swallowed: true for their key codes.
  static bool PreTranslateKey(int keyCode) { return keyCode == 13 || keyCode == 27 || keyCode == 370; }

  // The builder's numeric arguments of the current values.
  std::vector<double> builderValues() const;
  const DialogLayout& layout() const { return m_layout; }
  bool applied() const { return m_applied; }
  const CString& appliedName() const { return m_appliedName; }
  const std::optional<Point<double>>& firstPick() const { return m_firstPick; }
  const std::optional<Point<double>>& secondPick() const { return m_secondPick; }

  std::vector<double> m_dimensions;
  std::vector<double> m_trailing;
  double m_originX = 0.0, m_originY = 0.0;
  double m_rotation = 0.0;
  int m_originPoint = 0;
  int m_directionPoint = 1;
  CString m_name;

 protected:
  void closed() override;

 private:
  double* valueOf(int cell);
  // Reads the controls (when there is a window); false on a refusal.
  bool readControls();
  // Builds the values into the document, replacing the applied part; false
  // (after saying why) when nothing was built.
  bool build();
  // Runs the builder under name; the refusal's text, empty on success.
  CString runBuilder(CXSectionAnalysisDoc& doc, const CString& name);
  // Builds the values under a free temporary name with the journal and
  // check-points held and removes it again: the pieces' names with the
  // temporary name cut off (suffixes), or false after a refusal.
  bool trialBuild(CXSectionAnalysisDoc& doc, std::vector<CString>& suffixes);
  // True when a name the build makes belongs to something outside the applied part.
  bool nameTakenOutsideApplied(const CString& name) const;
  void refuse(const CString& text, const wchar_t* caption);
  void afterPickResult();

  const ProfileMember& m_member;
  DialogLayout m_layout;
  CString m_parentName;
  CString m_appliedName;
  bool m_applied = false;
  bool m_named = false;
  int m_currentCell = -1;
  int m_lastPickedCell = 0;
  CString m_emptiedText;
  std::optional<Point<double>> m_firstPick;
  std::optional<Point<double>> m_secondPick;
};
