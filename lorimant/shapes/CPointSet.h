// "POLYGON SHAPE" (template 1145): the modeless dialog in which the user
// lists the corners of a polygon shape (typed in the point dialog, picked
// as construction points, or placed from the last corner by a delta or by
// a distance and angle) and builds it in the current sub-section with OK,
// or edits the corners of a polygon opened for editing.
#pragma once

#include <array>
#include <set>
#include <vector>

#include "analysis/geometry/Point.h"
#include "lorimant/shapes/DialogLayout.h"
#include "lorimant/shapes/ModelessDialogLogic.h"

class CShapeAnalysis;

class CPointSet : public ModelessDialogLogic {
 public:
  enum {
    IDD = 1145,
    IDC_CLEAR = 211,
    IDC_LIST = 524,
    IDC_EDIT = 322,
    IDC_ADD_DELTA = 290,
    IDC_DELETE = 288,
    IDC_ADD = 117,
    IDC_DELTA_X = 316,
    IDC_DELTA_Y = 318,
    IDC_NAME = 591,
    IDC_NEGATIVE = 599,
    IDC_DISTANCE = 1089,
    IDC_ANGLE = 142,
    IDC_ADD_POLAR = 1399
  };
  // The list's two columns and their widths.
  static constexpr const wchar_t* kColumns[2] = {L"X Coord", L"Y Coord"};
  static constexpr int kColumnWidths[2] = {165, 166};

  // A row of the list: the x and y texts.
  using Row = std::array<CString, 2>;

  // The dialog of view; one of its point-taking dialogs.
  explicit CPointSet(CThickSectionView& view);

  // Opens for a new polygon (unless open): no rows, a generated name,
  // DELETE disabled; registered and shown.
  void show() override;
  // Opens for editing shape: its name, hole flag and one row per edge of
  // its outline (the edge's first point, in outline order).
  void OpenForEdit(CShapeAnalysis* shape);

  void DoDataExchange(CDataExchange* pDX) override;
  // ADD, EDIT, DELETE, CLEAR and the two "Add Point" buttons.
  void OnCommand(UINT id) override;
  // The corners checked (more than two, three of them distinct, finite),
  // the name checked (none other shape's); an edited polygon deleted
  // ("xscn.DeleteShape") and the new one built and journalled as the
  // automation's LinearFit does; the dialog closes.
  void OnOK() override;
  // Closes.
  void OnCancel() override { CloseDialog(); }
  // A picked construction point is appended.
  void pointPicked(Point<double> location) override;

  // ---- the list ----
  // The user selected these rows (the window tells after a click).
  void setSelection(std::set<int> rows) { m_selected = std::move(rows); }
  const std::set<int>& selection() const { return m_selected; }
  // A click in the list: the button states follow the selection.
  void OnListClick() { updateButtons(); }
  // A double click edits the first selected row.
  void OnListDoubleClick() { OnEditPoint(); }
  const std::vector<Row>& rows() const { return m_rows; }
  // Appends a row of (x, y) in single precision ("%g").
  void appendPoint(double x, double y);
  // The point of a row as its texts read back.
  Point<double> rowPoint(std::size_t row) const;

  // ---- buttons ----
  void OnAddPoint();
  void OnEditPoint();
  void OnDeletePoints();
  void OnClear();
  void OnAddDelta();
  void OnAddPolar();
  // Warns ("Polygon must be defined in counterclockwise order", "Counter
  // clockwise check") when the first three rows turn clockwise.
  void checkOrientation();

  bool editing() const { return m_editing; }
  const CString& editedName() const { return m_editedName; }
  const DialogLayout& layout() const { return m_layout; }

  double m_deltaX = 0.0, m_deltaY = 0.0;
  CString m_name;
  int m_negative = 0;
  double m_distance = 0.0, m_angle = 0.0;

 protected:
  void closed() override;

 private:
  // The button states after a change of the rows or the selection.
  void updateButtons();
  // The window shows the rows, the selection and the button states.
  void refreshWindow();
  // The rows as points; false after showing why they make no polygon.
  bool cornersToBuild(std::vector<Point<double>>& corners);

  std::vector<Row> m_rows;
  std::set<int> m_selected;
  DialogLayout m_layout;
  bool m_editing = false;
  CString m_editedName;
};
