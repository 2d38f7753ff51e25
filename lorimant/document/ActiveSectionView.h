// What the document and automation ask of the document's active section
// view. The section view implements it; every operation defaults to doing
// nothing so that a document can run with no view.
#pragma once

#include <vector>

#include "platform/core/CString.h"

class ModelessDialog;

// A modeless dialog as the document's registry sees it.
class ModelessDialog {
 public:
  virtual ~ModelessDialog() = default;
  // Destroys the dialog's window; the dialog unregisters itself on destruction.
  virtual void DestroyWindow() = 0;
};

class ActiveSectionView {
 public:
  virtual ~ActiveSectionView() = default;
  // Stores the view's current picture.
  virtual void readDIB() {}
  // Refreshes the view after a save.
  virtual void refresh() {}
  // Rebuilds the display list and redraws.
  virtual void RebuildAndRedraw() {}
  // Fits the whole section into the view.
  virtual void fullView() {}
  // Empties the pick list.
  virtual void ClearPicks() {}
  // Creates the sub-section "root" when the model has none.
  virtual void EnsureRootSubSection() {}
  // Closes the view's result dialogs of the analyses when open.
  virtual void CloseResultDialogs() {}
  // The dialog the view currently shows (null when none).
  virtual ModelessDialog* currentDialog() const { return m_currentDialog; }
  virtual void setCurrentDialog(ModelessDialog* dialog) { m_currentDialog = dialog; }
  // The names of the picked shapes, in pick order (none without picking).
  virtual std::vector<CString> pickedShapeNames() const { return {}; }
  // Deletes the picked shapes, profile sub-sections and points; journals
  // "xscn.DeleteSelected". Nothing without a view.
  virtual void DeleteSelected() {}
  // Removes the current sub-section's union unless it holds a mesh;
  // journals "xscn.BreakUnion" once done. Nothing without a view.
  virtual void OnBreakUnion() {}
  // Picks every display record of the shapes given; false when one of them
  // has no record.
  virtual bool SelectShapes(const std::vector<const void*>& /*shapes*/) { return true; }
  // The display-list identifiers of the picked records, in pick order.
  std::vector<unsigned int>& pickList() { return m_pickList; }

 private:
  ModelessDialog* m_currentDialog = nullptr;
  std::vector<unsigned int> m_pickList;
};
