// The section tree's control with drag and drop.
#include "lorimant/app/CDragDropTreeCtrl.h"

#include <utility>

#include "lorimant/ui/ExceptionReport.h"
#include "lorimant/view/SectionTreeModel.h"

namespace {

// The row a tree item shows.
class RowData : public wxTreeItemData {
 public:
  explicit RowData(int row) : row(row) {}
  int row;
};

}  // namespace

CDragDropTreeCtrl::CDragDropTreeCtrl(wxWindow* parent, wxWindowID id, SectionTreeModel& model)
    : wxTreeCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxBORDER_NONE),
      m_model(model),
      m_scrollTimer(this) {
  Bind(wxEVT_LEFT_DOWN, &CDragDropTreeCtrl::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &CDragDropTreeCtrl::OnLeftDClick, this);
  Bind(wxEVT_RIGHT_DOWN, &CDragDropTreeCtrl::OnRightDown, this);
  Bind(wxEVT_TREE_BEGIN_DRAG, &CDragDropTreeCtrl::OnBeginDrag, this);
  Bind(wxEVT_MOTION, &CDragDropTreeCtrl::OnMotion, this);
  Bind(wxEVT_LEFT_UP, &CDragDropTreeCtrl::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CDragDropTreeCtrl::OnCaptureLost, this);
  Bind(wxEVT_TIMER, &CDragDropTreeCtrl::OnScrollTimer, this, m_scrollTimer.GetId());
}

CDragDropTreeCtrl::~CDragDropTreeCtrl() {
  m_scrollTimer.Stop();
  if (m_dragging) endDrag(HasCapture());
}

void CDragDropTreeCtrl::ShowRows() {
  if (m_dragging) endDrag(HasCapture());
  m_dropTarget = wxTreeItemId();
  Freeze();
  DeleteAllItems();
  m_items.clear();
  const std::vector<SectionTreeRow>& rows = m_model.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SectionTreeRow& row = rows[i];
    const wxString label(row.label.GetString());
    auto* data = new RowData(static_cast<int>(i));
    m_items.push_back(row.parent < 0 ? AddRoot(label, row.image, row.image, data)
                                     : AppendItem(m_items[row.parent], label, row.image, row.image, data));
  }
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].expanded) Expand(m_items[i]);
  // The highlighted item is the one the pane's commands act on; without
  // one the control highlights its top item itself.
  if (const wxTreeItemId selected = ItemOf(m_model.selectedRow()); selected.IsOk()) SelectItem(selected);
  Thaw();
}

int CDragDropTreeCtrl::RowOf(const wxTreeItemId& item) const {
  if (!item.IsOk()) return -1;
  const auto* data = static_cast<const RowData*>(GetItemData(item));
  return data != nullptr ? data->row : -1;
}

wxTreeItemId CDragDropTreeCtrl::ItemOf(int row) const {
  return row >= 0 && row < static_cast<int>(m_items.size()) ? m_items[row] : wxTreeItemId();
}

wxTreeItemId CDragDropTreeCtrl::itemAt(const wxPoint& pt) const {
  int flags = 0;
  const wxTreeItemId item = HitTest(pt, flags);
  return (flags & wxTREE_HITTEST_ONITEM) != 0 ? item : wxTreeItemId();
}

void CDragDropTreeCtrl::later(std::function<void()> work) {
  const unsigned generation = m_model.generation();
  CallAfter([this, generation, work = std::move(work)] {
    if (generation == m_model.generation()) RunGuarded(work);
  });
}

// The click rules run at once: a drag that follows starts from them.
void CDragDropTreeCtrl::OnLeftDown(wxMouseEvent& event) {
  event.Skip();
  if (m_dragging) return;
  m_pressed = event.GetPosition();
  const int row = RowOf(itemAt(m_pressed));
  RunGuarded([&] { m_model.Click(row); });
}

void CDragDropTreeCtrl::OnLeftDClick(wxMouseEvent& event) {
  event.Skip();
  const int row = RowOf(itemAt(event.GetPosition()));
  if (row >= 0) later([this, row] { m_model.DoubleClick(row); });
}

// The item under the cursor is selected (the click rules) and the menu
// opens there; the control's own right-click handling is not wanted.
void CDragDropTreeCtrl::OnRightDown(wxMouseEvent& event) {
  if (m_dragging) return;
  const wxPoint at = event.GetPosition();
  const wxTreeItemId item = itemAt(at);
  if (item.IsOk()) SelectItem(item);
  SetFocus();
  const int row = RowOf(item);
  later([this, row, at] {
    m_model.Click(row);
    if (onContextMenu) onContextMenu(at);
  });
}

void CDragDropTreeCtrl::OnBeginDrag(wxTreeEvent& event) {
  // Left vetoed: the control's own drag stays off, this one carries the item.
  wxTreeItemId item = event.GetItem();
  const int row = RowOf(item);
  bool allowed = false;
  RunGuarded([&] { allowed = m_model.BeginDrag(row); });
  if (!allowed) return;
  // The image shows the item's label, held at the point of it that was pressed.
  wxRect rect;
  GetBoundingRect(item, rect, true);
  m_dragImage = std::make_unique<wxDragImage>(*this, item);
  if (!m_dragImage->BeginDrag(m_pressed - rect.GetTopLeft(), this)) {
    m_dragImage.reset();
    return;
  }
  m_dragging = true;
  m_dragRow = row;
  m_dragImage->Move(event.GetPoint());
  m_dragImage->Show();
}

void CDragDropTreeCtrl::highlight(const wxTreeItemId& target) {
  if (target == m_dropTarget) return;
  if (m_dropTarget.IsOk()) SetItemDropHighlight(m_dropTarget, false);
  m_dropTarget = target;
  if (target.IsOk()) SetItemDropHighlight(target, true);
}

void CDragDropTreeCtrl::OnMotion(wxMouseEvent& event) {
  if (!m_dragging) {
    event.Skip();
    return;
  }
  const wxPoint at = event.GetPosition();
  const wxTreeItemId target = itemAt(at);
  if (target != m_dropTarget) {
    // The image comes off while the tree repaints the highlight beneath it.
    m_dragImage->Hide();
    highlight(target);
    Update();
    m_dragImage->Show();
  }
  m_dragImage->Move(at);
  SetCursor(target.IsOk() ? wxNullCursor : wxCursor(wxCURSOR_NO_ENTRY));
  const bool nearEdge = SectionTreeScrollStep(at.y, GetClientSize().y) != 0;
  const bool closedParent = target.IsOk() && ItemHasChildren(target) && !IsExpanded(target);
  if ((nearEdge || closedParent) && !m_scrollTimer.IsRunning())
    m_scrollTimer.Start(SectionTreeDrag::kFirstScrollDelay, wxTIMER_ONE_SHOT);
}

void CDragDropTreeCtrl::OnScrollTimer(wxTimerEvent&) {
  if (!m_dragging) return;
  m_scrollTimer.Start(SectionTreeDrag::kScrollRepeat, wxTIMER_ONE_SHOT);
  const wxPoint at = ScreenToClient(wxGetMousePosition());
  const int step = SectionTreeScrollStep(at.y, GetClientSize().y);
  if (step != 0) {
    const wxTreeItemId first = GetFirstVisibleItem();
    m_dragImage->Hide();
    ScrollLines(step);
    Update();
    const bool scrolled = GetFirstVisibleItem() != first;
    if (scrolled) highlight(itemAt(at));
    Update();
    m_dragImage->Show();
    if (scrolled) return;
  }
  m_scrollTimer.Stop();
  const wxTreeItemId under = itemAt(at);
  if (under.IsOk() && ItemHasChildren(under) && !IsExpanded(under)) {
    m_dragImage->Hide();
    Expand(under);
    Update();
    m_dragImage->Show();
  }
}

void CDragDropTreeCtrl::endDrag(bool captured) {
  m_scrollTimer.Stop();
  if (m_dragImage) {
    m_dragImage->Hide();
    // Ending the image's drag releases the mouse it captured.
    if (captured) m_dragImage->EndDrag();
    m_dragImage.reset();
  }
  highlight(wxTreeItemId());
  SetCursor(wxNullCursor);
  m_dragging = false;
}

void CDragDropTreeCtrl::OnLeftUp(wxMouseEvent& event) {
  if (!m_dragging) {
    event.Skip();
    return;
  }
  const int target = RowOf(itemAt(event.GetPosition()));
  const int dragged = m_dragRow;
  endDrag(HasCapture());
  if (target >= 0) later([this, dragged, target] { m_model.Drop(dragged, target); });
}

void CDragDropTreeCtrl::OnCaptureLost(wxMouseCaptureLostEvent&) {
  if (m_dragging) endDrag(false);
}
