// The windows of the basic-shape and point-set dialogs.
#include "lorimant/ui/BasicShapeWindows.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcbuffer.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cmath>

#include "lorimant/shapes/BasicShapePictures.h"
#include "lorimant/ui/ExceptionReport.h"

namespace {

constexpr int kBoxWidth = 110;
constexpr int kPictureWidth = 260;
constexpr int kPictureHeight = 230;
// Pixels kept free around a picture and between a point and its number.
constexpr int kPictureMargin = 28;
constexpr int kNumberOffset = 13;

// The controls whose state the basic-shape rules set.
constexpr int kSectorLaidOut[] = {
    CSector::IDC_VALUE1,       CSector::IDC_VALUE2,       CSector::IDC_VALUE3, CSector::IDC_ANGLE1,
    CSector::IDC_ANGLE2,       CSector::IDC_LABEL1,       CSector::IDC_LABEL2, CSector::IDC_LABEL3,
    CSector::IDC_LABEL_ANGLE1, CSector::IDC_LABEL_ANGLE2, CSector::IDC_LABEL_ROTATION,
    CSector::IDC_ROTATION,     CSector::IDC_ORIGIN,       CSector::IDC_DIRECTION, CSector::IDC_EDIT};

constexpr int kPointSetButtons[] = {CPointSet::IDC_ADD, CPointSet::IDC_EDIT, CPointSet::IDC_DELETE,
                                    CPointSet::IDC_CLEAR, CPointSet::IDC_ADD_DELTA, CPointSet::IDC_ADD_POLAR};

wxString fromC(const wchar_t* text) { return wxString(text); }

// A label and a control as one row of a grid.
void addRow(wxSizer* grid, wxWindow* label, wxWindow* control) {
  grid->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);
  grid->Add(control, 1, wxEXPAND | wxALL, 4);
}

}  // namespace

// ---- the picture ----

BasicShapePicturePanel::BasicShapePicturePanel(wxWindow* parent, int id)
    : wxPanel(parent, id, wxDefaultPosition, wxSize(kPictureWidth, kPictureHeight), wxBORDER_SUNKEN) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetMinSize(wxSize(kPictureWidth, kPictureHeight));
  Bind(wxEVT_PAINT, &BasicShapePicturePanel::onPaint, this);
}

void BasicShapePicturePanel::setKind(int kind) {
  if (kind == m_kind) return;
  m_kind = kind;
  Refresh();
}

void BasicShapePicturePanel::onPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  const BasicShapePicture picture = BasicShapePictureOf(m_kind);
  const std::vector<Point<double>> outline = PictureOutline(picture, 48);
  if (outline.empty()) return;
  double x0 = outline[0].x, x1 = x0, y0 = outline[0].y, y1 = y0;
  for (const Point<double>& p : outline) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  const wxSize size = GetClientSize();
  const double scale = std::min((size.x - 2.0 * kPictureMargin) / std::max(x1 - x0, 1e-9),
                                (size.y - 2.0 * kPictureMargin) / std::max(y1 - y0, 1e-9));
  const double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0;
  const auto toPixel = [&](const Point<double>& p) {
    return wxPoint(static_cast<int>(std::lround(size.x / 2.0 + (p.x - cx) * scale)),
                   static_cast<int>(std::lround(size.y / 2.0 - (p.y - cy) * scale)));
  };
  std::vector<wxPoint> pixels;
  for (const Point<double>& p : outline) pixels.push_back(toPixel(p));
  dc.SetBrush(wxBrush(wxColour(198, 216, 240)));
  dc.SetPen(wxPen(wxColour(20, 40, 120), 2));
  dc.DrawPolygon(static_cast<int>(pixels.size()), pixels.data());
  // The numbered points, each number set outwards from the picture's middle.
  dc.SetFont(wxFont(wxFontInfo(10).Bold()));
  dc.SetTextForeground(wxColour(170, 0, 0));
  dc.SetBrush(wxBrush(wxColour(170, 0, 0)));
  dc.SetPen(*wxTRANSPARENT_PEN);
  for (std::size_t i = 0; i < picture.points.size(); ++i) {
    const wxPoint at = toPixel(picture.points[i]);
    dc.DrawCircle(at, 4);
    double dx = picture.points[i].x - cx, dy = picture.points[i].y - cy;
    const double length = std::hypot(dx, dy);
    dx = length > 1e-9 ? dx / length : 0.0;
    dy = length > 1e-9 ? dy / length : 1.0;
    const wxString number = wxString::Format("%d", static_cast<int>(i + 1));
    const wxSize extent = dc.GetTextExtent(number);
    dc.DrawText(number, at.x + static_cast<int>(dx * kNumberOffset) - extent.x / 2,
                at.y - static_cast<int>(dy * kNumberOffset) - extent.y / 2);
  }
}

// ---- Basic Shapes ----

CSectorWindow::CSectorWindow(CSector& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

void CSectorWindow::bindFocus(int id) {
  wxWindow* cell = FindWindow(id);
  cell->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& event) {
    event.Skip();
    if (CSector* s = sector()) RunGuarded([s, id] { s->cellFocused(id); });
  });
  cell->Bind(wxEVT_KILL_FOCUS, [this, id](wxFocusEvent& event) {
    event.Skip();
    if (CSector* s = sector()) RunGuarded([s, id] { s->cellLeft(id); });
  });
}

wxSizer* CSectorWindow::makePosition() {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Position and Orientation");
  wxWindow* box = group->GetStaticBox();
  auto* grid = new wxFlexGridSizer(4, wxSize(0, 0));
  grid->AddGrowableCol(1);
  grid->AddGrowableCol(3);
  addRow(grid, AddLabel(wxID_STATIC, "Origin Point", box), AddCombo(CSector::IDC_ORIGIN, {}, false, box));
  addRow(grid, AddLabel(CSector::IDC_LABEL_DIRECTION, "Direction Point", box),
         AddCombo(CSector::IDC_DIRECTION, {}, false, box));
  addRow(grid, AddLabel(CSector::IDC_LABEL_ROTATION, "Rotation", box), AddEdit(CSector::IDC_ROTATION, 0, box));
  m_degrees = AddLabel(wxID_STATIC, "Deg", box);
  grid->Add(m_degrees, 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);
  grid->AddSpacer(0);
  addRow(grid, AddLabel(wxID_STATIC, "X", box), AddEdit(CSector::IDC_X, 0, box));
  addRow(grid, AddLabel(wxID_STATIC, "Y", box), AddEdit(CSector::IDC_Y, 0, box));
  addRow(grid, AddLabel(wxID_STATIC, "Units", box), AddEdit(CSector::IDC_UNITS, wxTE_READONLY, box));
  for (int id : {CSector::IDC_ROTATION, CSector::IDC_X, CSector::IDC_Y, CSector::IDC_UNITS})
    FindWindow(id)->SetMinSize(wxSize(kBoxWidth, -1));
  group->Add(grid, 1, wxEXPAND);
  return group;
}

wxSizer* CSectorWindow::makeValues(const char* title, int first, int count, int groupId) {
  auto* group = new wxStaticBoxSizer(new wxStaticBox(this, groupId, title), wxVERTICAL);
  wxWindow* box = group->GetStaticBox();
  auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
  grid->AddGrowableCol(1);
  for (int i = first; i < first + count; ++i) {
    // Wide enough for the longest label of any kind.
    wxStaticText* label = AddLabel(CSector::kValueLabels[i], "LegLength", box);
    wxTextCtrl* cell = AddEdit(CSector::kValueCells[i], 0, box);
    cell->SetMinSize(wxSize(kBoxWidth, -1));
    addRow(grid, label, cell);
  }
  group->Add(grid, 1, wxEXPAND);
  return group;
}

void CSectorWindow::CreateControls() {
  using S = CSector;
  auto* name = new wxBoxSizer(wxHORIZONTAL);
  name->Add(AddLabel(wxID_STATIC, "Name"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);
  name->Add(AddEdit(S::IDC_NAME), 1, wxEXPAND | wxALL, 4);
  name->Add(AddCheck(S::IDC_NEGATIVE, "Negative Area"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);

  auto* values = new wxBoxSizer(wxVERTICAL);
  values->Add(makeValues("Lengths", 0, 3, wxID_ANY), 0, wxEXPAND | wxBOTTOM, 6);
  m_angles = makeValues("Angles", 3, 2, S::IDC_ANGLES_GROUP);
  values->Add(m_angles, 0, wxEXPAND);
  m_picture = new BasicShapePicturePanel(this, S::IDC_PICTURE);
  auto* middle = new wxBoxSizer(wxHORIZONTAL);
  middle->Add(values, 1, wxEXPAND | wxRIGHT, 6);
  middle->Add(m_picture, 0, wxALIGN_TOP);

  auto* help = new wxBoxSizer(wxVERTICAL);
  for (const char* line :
       {"To compute values from picks on the model, first select the input cell you want to compute value for",
        "then click 1 point for an x,y, 2 points for an angle (ccw angle from +x to vector from 1st pt to 2nd pt) "
        ", or",
        "two points for a distance."})
    help->Add(AddLabel(wxID_STATIC, line), 0, wxLEFT | wxRIGHT, 4);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  for (const auto& [id, label] : {std::pair{int(S::IDC_ADD), "Add"}, {int(S::IDC_EDIT), "Edit"},
                                  {int(S::IDC_CLOSE), "Close"}}) {
    buttons->Add(AddButton(id, label), 0, wxALL, 4);
    BindCommand(id);
  }

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(name, 0, wxEXPAND | wxALL, 4);
  top->Add(makePosition(), 0, wxEXPAND | wxALL, 6);
  top->Add(middle, 0, wxEXPAND | wxALL, 6);
  top->Add(help, 0, wxEXPAND | wxALL, 4);
  top->Add(buttons, 0, wxEXPAND | wxALL, 4);
  SetSizer(top);

  for (int id : CSector::kInputCells) bindFocus(id);
  FindWindow(S::IDC_NAME)->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
    event.Skip();
    if (CSector* s = sector()) RunGuarded([s] { s->cellLeft(CSector::IDC_NAME); });
  });
  // Escape never closes the dialog; every other key goes on.
  Bind(wxEVT_CHAR_HOOK, [](wxKeyEvent& event) {
    if (!CSector::PreTranslateKey(event.GetKeyCode())) event.Skip();
  });
}

BOOL CSectorWindow::OnInitDialog() {
  layoutChanged();
  return CQHTDialogEx::OnInitDialog();
}

void CSectorWindow::layoutChanged() {
  CSector* s = sector();
  if (s == nullptr || m_picture == nullptr) return;
  const DialogLayout& layout = s->layout();
  // The group first: showing it shows all it holds, the cells decide after.
  GetSizer()->Show(m_angles, layout.shown(CSector::IDC_ANGLES_GROUP), true);
  for (int id : kSectorLaidOut) {
    wxWindow* control = FindWindow(id);
    control->Show(layout.shown(id));
    control->Enable(layout.enabled(id));
  }
  m_degrees->Show(layout.shown(CSector::IDC_ROTATION));
  for (int id : {CSector::IDC_ORIGIN, CSector::IDC_DIRECTION}) {
    auto* list = static_cast<wxChoice*>(FindWindow(id));
    const int selected = list->GetSelection();
    list->Clear();
    for (const CString& item : layout.items(id)) list->Append(fromC(item.GetString()));
    if (selected != wxNOT_FOUND && selected < static_cast<int>(list->GetCount())) list->SetSelection(selected);
  }
  m_picture->setKind(s->shapeKind());
  // The window takes the size of what it shows now.
  GetSizer()->SetSizeHints(this);
  Layout();
}

// ---- POLYGON SHAPE ----

CPointSetWindow::CPointSetWindow(CPointSet& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

void CPointSetWindow::CreateControls() {
  using P = CPointSet;
  m_list = new wxListCtrl(this, P::IDC_LIST, wxDefaultPosition, wxSize(345, 220),
                          wxLC_REPORT | wxBORDER_SUNKEN);
  for (int c = 0; c < 2; ++c) m_list->InsertColumn(c, P::kColumns[c], wxLIST_FORMAT_CENTRE, P::kColumnWidths[c]);
  m_list->Bind(wxEVT_LIST_ITEM_SELECTED, &CPointSetWindow::onSelection, this);
  m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, &CPointSetWindow::onSelection, this);
  m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) {
    if (CPointSet* p = pointSet()) RunGuarded([p] { p->OnListDoubleClick(); });
  });

  auto* side = new wxBoxSizer(wxVERTICAL);
  for (const auto& [id, label] : {std::pair{int(P::IDC_ADD), "ADD"}, {int(P::IDC_EDIT), "EDIT"},
                                  {int(P::IDC_DELETE), "DELETE"}, {int(P::IDC_CLEAR), "CLEAR"}}) {
    side->Add(AddButton(id, label), 0, wxEXPAND | wxALL, 4);
    BindCommand(id);
  }
  auto* points = new wxBoxSizer(wxHORIZONTAL);
  points->Add(m_list, 1, wxEXPAND | wxALL, 4);
  points->Add(side, 0, wxALL, 4);

  auto* name = new wxBoxSizer(wxHORIZONTAL);
  name->Add(AddLabel(wxID_STATIC, "Name"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);
  name->Add(AddEdit(P::IDC_NAME), 1, wxEXPAND | wxALL, 4);
  name->Add(AddCheck(P::IDC_NEGATIVE, "Negative Area"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);

  auto* relative = new wxBoxSizer(wxHORIZONTAL);
  const struct {
    const char* title;
    int first, second, button;
    const char *firstLabel, *secondLabel;
  } groups[] = {{"Delta From Last Point", P::IDC_DELTA_X, P::IDC_DELTA_Y, P::IDC_ADD_DELTA, "Delta X", "Delta Y"},
                {"Angle Distance From Last", P::IDC_DISTANCE, P::IDC_ANGLE, P::IDC_ADD_POLAR, "Distance",
                 "CCW Angle (deg)"}};
  for (const auto& g : groups) {
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, g.title);
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
    grid->AddGrowableCol(1);
    for (const auto& [id, label] : {std::pair{g.first, g.firstLabel}, {g.second, g.secondLabel}}) {
      wxTextCtrl* cell = AddEdit(id, 0, box);
      cell->SetMinSize(wxSize(kBoxWidth, -1));
      addRow(grid, AddLabel(wxID_STATIC, label, box), cell);
    }
    group->Add(grid, 0, wxEXPAND);
    group->Add(AddButton(g.button, "Add Point", box), 0, wxALIGN_RIGHT | wxALL, 4);
    BindCommand(g.button);
    relative->Add(group, 1, wxEXPAND | wxALL, 4);
  }

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(points, 1, wxEXPAND | wxALL, 4);
  top->Add(name, 0, wxEXPAND | wxALL, 4);
  top->Add(relative, 0, wxEXPAND | wxALL, 4);
  top->Add(MakeButtonRow("OK"), 0, wxEXPAND | wxALL, 4);
  SetSizer(top);
}

BOOL CPointSetWindow::OnInitDialog() {
  layoutChanged();
  return CQHTDialogEx::OnInitDialog();
}

void CPointSetWindow::layoutChanged() {
  CPointSet* p = pointSet();
  if (p == nullptr || m_list == nullptr) return;
  m_syncing = true;
  // The rows are put in again only when they changed, so that a click's
  // own selection is left alone.
  const auto& rows = p->rows();
  bool same = m_list->GetItemCount() == static_cast<int>(rows.size());
  for (std::size_t i = 0; same && i < rows.size(); ++i)
    same = m_list->GetItemText(static_cast<long>(i), 0) == fromC(rows[i][0].GetString()) &&
           m_list->GetItemText(static_cast<long>(i), 1) == fromC(rows[i][1].GetString());
  if (!same) {
    m_list->DeleteAllItems();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const long item = m_list->InsertItem(static_cast<long>(i), fromC(rows[i][0].GetString()));
      m_list->SetItem(item, 1, fromC(rows[i][1].GetString()));
    }
  }
  for (long i = 0; i < m_list->GetItemCount(); ++i) {
    const bool selected = p->selection().count(static_cast<int>(i)) != 0;
    if (selected != (m_list->GetItemState(i, wxLIST_STATE_SELECTED) != 0))
      m_list->SetItemState(i, selected ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
  }
  m_syncing = false;
  for (int id : kPointSetButtons) FindWindow(id)->Enable(p->layout().enabled(id));
}

void CPointSetWindow::onSelection(wxListEvent& event) {
  event.Skip();
  CPointSet* p = pointSet();
  if (p == nullptr || m_syncing) return;
  std::set<int> selected;
  for (long i = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
       i = m_list->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    selected.insert(static_cast<int>(i));
  p->setSelection(std::move(selected));
  RunGuarded([p] { p->OnListClick(); });
}

// ---- makers ----

void GiveWindow(CSector& dialog) {
  dialog.setWindowMaker([](ModelessDialogLogic& logic) -> DialogWindow* {
    auto& sector = static_cast<CSector&>(logic);
    return new CSectorWindow(sector, CQHTDialogEx::ParentFor(sector.view()));
  });
}

void GiveWindow(CPointSet& dialog) {
  dialog.setWindowMaker([](ModelessDialogLogic& logic) -> DialogWindow* {
    auto& points = static_cast<CPointSet&>(logic);
    return new CPointSetWindow(points, CQHTDialogEx::ParentFor(points.view()));
  });
}
