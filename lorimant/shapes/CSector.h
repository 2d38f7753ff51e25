// "Basic Shapes" (template 1296): the modeless dialog through which the
// user adds one basic shape (sector, sector chord, fillet, triangle,
// parallelogram, rectangle, disk, annulus, blend) to the current
// sub-section, or replaces one opened for editing. The kind decides the
// cells shown, their labels, the numbered points of the picture and the
// journal line. Values are typed or computed from construction points
// picked in the view into the current input cell.
#pragma once

#include <optional>

#include "analysis/geometry/Point.h"
#include "lorimant/shapes/DialogLayout.h"
#include "lorimant/shapes/ModelessDialogLogic.h"

class CShapeAnalysis;

// One row of the kinds table: the type name, the labels of the five value
// cells (empty: label and cell hidden) and the picture resource.
struct SectorKind {
  int kind;
  const wchar_t* typeName;
  const wchar_t* labels[5];  // value 1, value 2, value 3, angle 1, angle 2
  int picture;               // 0: none of its own
};

class CSector : public ModelessDialogLogic {
 public:
  enum {
    IDD = 1296,
    IDC_VALUE1 = 442,
    IDC_VALUE2 = 443,
    IDC_VALUE3 = 444,
    IDC_ANGLE1 = 811,
    IDC_ANGLE2 = 331,
    IDC_X = 951,
    IDC_Y = 961,
    IDC_ROTATION = 733,
    IDC_NEGATIVE = 788,
    IDC_NAME = 591,
    IDC_ORIGIN = 234,
    IDC_DIRECTION = 235,
    IDC_UNITS = 884,
    IDC_LABEL1 = 471,
    IDC_LABEL2 = 472,
    IDC_LABEL3 = 473,
    IDC_LABEL_ANGLE1 = 467,
    IDC_LABEL_ANGLE2 = 468,
    IDC_LABEL_DIRECTION = 470,
    IDC_LABEL_ROTATION = 738,
    IDC_ANGLES_GROUP = 145,
    IDC_PICTURE = 782,
    IDC_ADD = 197,
    IDC_EDIT = 1106,
    IDC_CLOSE = 213
  };

  // The value cells in the order of the kinds table's labels, and their labels.
  static constexpr int kValueCells[5] = {IDC_VALUE1, IDC_VALUE2, IDC_VALUE3, IDC_ANGLE1, IDC_ANGLE2};
  static constexpr int kValueLabels[5] = {IDC_LABEL1, IDC_LABEL2, IDC_LABEL3, IDC_LABEL_ANGLE1, IDC_LABEL_ANGLE2};
  // The cells that take picks (and lose their text when they become current).
  static constexpr int kInputCells[8] = {IDC_VALUE1, IDC_VALUE2, IDC_VALUE3, IDC_ANGLE1,
                                         IDC_ANGLE2, IDC_ROTATION, IDC_X, IDC_Y};

  // The dialog of view; one of its point-taking dialogs. Kind rectangle.
  explicit CSector(CThickSectionView& view);

  // The row of the kinds table for kind (null for a kind the dialog has not).
  static const SectorKind* kindRow(int kind);
  // The numbered points of a kind: CShapeAnalysis::nSectorPoints (0 for the disk).
  static int pointCount(int kind);

  // ---- opening ----
  // The kind the next opening lays out (the view sets it first).
  void setShapeKind(int kind) override { m_kind = kind; }
  int shapeKind() const { return m_kind; }
  // Forgets the shape: Edit has nothing to replace until the next Add.
  void resetEditState() override;
  // Forgets the construction points picked towards the current cell.
  void clearPickFields() override;
  // Opens for a new shape: unless already open, the values reset (rotation
  // 0, values 1, angles 0 or 90 for the parallelogram and the annulus),
  // the unit cell "CM"/"IN", a generated name, registered and shown.
  void show() override;
  // The same entry under its dialog name: the shape forgotten first.
  void OpenForNew();
  // Opens (when not open) and loads shape for editing: its name, kind,
  // dimensions, origin, rotation, hole flag and points; Edit enabled.
  void OpenForEdit(int kind, CShapeAnalysis* shape);
  // The layout of the current kind: labels, shown cells, the "Angles"
  // group, the points of the two lists ("1" selected as origin, "2" as
  // direction), "90." in both angle cells of a parallelogram, the disk's
  // rotation hidden and lists disabled.
  void SetupForKind();

  // ---- cells and picks ----
  // A cell took the focus: when it was not the current input cell, the
  // view's picks are cleared, it becomes current and shows empty.
  void cellFocused(int id);
  // A cell lost the focus: one still empty gets its text back; then its
  // value is stored (a text that is no number leaves the value).
  void cellLeft(int id);
  int currentCell() const { return m_currentCell; }
  // A picked construction point goes to the current input cell: X or Y
  // take it whole; a length takes the distance of two picks; an angle cell
  // the direction of the second pick from the first; a "Sweep" the angle
  // at the second of three picks, from the first to the third.
  void pointPicked(Point<double> location) override;

  // ---- buttons ----
  void DoDataExchange(CDataExchange* pDX) override;
  // Add (197), Edit (1106), Close (213).
  void OnCommand(UINT id) override;
  // Enter adds nothing and closes nothing.
  void OnOK() override {}
  // The close box closes as Close does.
  void OnCancel() override { OnCloseDialog(); }
  // Escape never closes the dialog: true when the key is swallowed.
  static bool PreTranslateKey(int keyCode) { return keyCode == 27; }
  // Validates, refuses a name the model has ("Name for object must be
  // unique"), builds the shape in the current sub-section, journals the
  // kind's line, clears the picks; the shape becomes the dialog's, the
  // change routine runs and the view is rebuilt and fitted.
  void OnAdd();
  // Replaces the dialog's shape (looked up by name; none when deleted
  // meanwhile) by one built from the values. Nothing changes and nothing
  // is journalled unless the new shape is built: it is built under a
  // temporary name first, then the old one is deleted ("xscn.DeleteShape")
  // and the new one takes the name and journals its line.
  void OnEdit();
  // Forgets the shape, clears the view's picks and closes.
  void OnCloseDialog();

  // The checks of the values, in order; the first that fails throws
  // COleDispatchException code 1 with its text.
  static void ValidateInput(double value1, double value2, double value3, double angle1, double angle2, int kind,
                            int originPoint, int directionPoint);
  // The kind's journal line for the values (blend included).
  CString journalLine(const CString& subSection) const;

  // The shape Edit replaces (by name) and whether there is one.
  bool hasShape() const { return m_hasShape; }
  const CString& shapeName() const { return m_shapeName; }
  const DialogLayout& layout() const { return m_layout; }
  // The picks remembered towards the current cell.
  const std::optional<Point<double>>& firstPick() const { return m_firstPick; }
  const std::optional<Point<double>>& secondPick() const { return m_secondPick; }

  double m_value1 = 1.0, m_value2 = 1.0, m_value3 = 1.0;
  double m_angle1 = 0.0, m_angle2 = 0.0;
  double m_originX = 0.0, m_originY = 0.0;
  double m_rotation = 0.0;
  int m_negative = 0;
  CString m_name;
  int m_originPoint = 0;
  int m_directionPoint = 1;

 protected:
  void closed() override;

 private:
  // The values a new window starts from.
  void resetValues();
  // Shows the layout in the window (when it shows layouts) and the values.
  void applyLayout();
  // Reads the controls (when there is a window) and validates; shows a
  // refusal and answers false.
  bool readAndValidate();
  // The name of the values, a generated one when empty.
  CString nameToBuild();
  // Builds a shape of the values named name in sub; null after showing
  // why it could not be built (captioned as Add shows it when forAdd).
  CShapeAnalysis* build(CSubSection* sub, CString name, bool forAdd);
  // After a successful Add or Edit: journal, picks, values shown, the
  // shape kept, change routine, rebuild and fit.
  void finishBuild(CShapeAnalysis* shape, const CString& subName);
  void loadFromShape(CShapeAnalysis* shape);
  double* valueOf(int cell);
  void setHasShape(bool on);

  int m_kind = 7;
  DialogLayout m_layout;
  bool m_hasShape = false;
  CString m_shapeName;
  int m_currentCell = 0;
  CString m_emptiedText;  // the text the current cell showed before it was emptied
  std::optional<Point<double>> m_firstPick;
  std::optional<Point<double>> m_secondPick;
};
