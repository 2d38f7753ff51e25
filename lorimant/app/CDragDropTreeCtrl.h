// The section tree's control: shows the rows of the pane's logic, passes
// clicks, double clicks and right clicks on to it, and carries items by drag
// and drop: a drag image grasped where the item was pressed, the target
// under the cursor highlighted, the "no" cursor off the items, scrolling
// near the top and bottom edges and opening a closed item the cursor rests
// on. Work that rebuilds the tree runs after the mouse event that asked for
// it, never inside the control's own handling of that event.
#pragma once

#include <wx/timer.h>
#include <wx/treectrl.h>
// after wx/treectrl.h: it needs wx's configuration to declare anything
#include <wx/dragimag.h>

#include <functional>
#include <memory>
#include <vector>

class SectionTreeModel;

class CDragDropTreeCtrl : public wxTreeCtrl {
 public:
  // A tree (lines, buttons, lines at the root) over model in parent.
  CDragDropTreeCtrl(wxWindow* parent, wxWindowID id, SectionTreeModel& model);
  ~CDragDropTreeCtrl() override;
  CDragDropTreeCtrl(const CDragDropTreeCtrl&) = delete;
  CDragDropTreeCtrl& operator=(const CDragDropTreeCtrl&) = delete;

  // Replaces every item by the model's rows (a drag in progress ends).
  void ShowRows();
  // The row an item shows; -1 for none.
  int RowOf(const wxTreeItemId& item) const;
  // The item that shows row (invalid when none).
  wxTreeItemId ItemOf(int row) const;
  // True between the start of a drag and its drop.
  bool IsDragging() const { return m_dragging; }
  // The item highlighted as the drop target (invalid when none).
  wxTreeItemId DropTarget() const { return m_dropTarget; }

  // Called after a right click, with the point (control coordinates): the
  // pane opens its menu there.
  std::function<void(const wxPoint&)> onContextMenu;

 private:
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftDClick(wxMouseEvent& event);
  void OnRightDown(wxMouseEvent& event);
  void OnBeginDrag(wxTreeEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnScrollTimer(wxTimerEvent& event);
  // The item whose icon or label lies under pt; invalid when none.
  wxTreeItemId itemAt(const wxPoint& pt) const;
  void highlight(const wxTreeItemId& target);
  // Stops the drag; the mouse is released unless it was lost already.
  void endDrag(bool captured);
  // Runs work after the current event unless the rows were rebuilt meanwhile.
  void later(std::function<void()> work);

  SectionTreeModel& m_model;
  std::vector<wxTreeItemId> m_items;  // by row
  bool m_dragging = false;
  int m_dragRow = -1;
  wxPoint m_pressed;                   // where the left button went down
  std::unique_ptr<wxDragImage> m_dragImage;
  wxTreeItemId m_dropTarget;
  wxTimer m_scrollTimer;
};
