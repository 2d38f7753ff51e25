// What the section document asks of the main frame: emptying the result
// pane, rebuilding the section tree and asking for the unit system. The
// default does nothing, so a document works without any window.
#pragma once

class CSubSection;

class SectionFrame {
 public:
  virtual ~SectionFrame() = default;
  // Empties both property lists of the result pane.
  virtual void ClearPropertyLists() {}
  // Rebuilds the section tree; returns the tree's result (0 headless).
  virtual int RefreshSectionTree() { return 0; }
  // Deletes every item of the section tree (a document is going away).
  virtual void DeleteSectionTree() {}
  // Shows the unit dialog preset to selection; true on OK with the choice
  // in selection (0 SI in centimetres, non-zero US customary). The default
  // leaves the unit system unchosen.
  virtual bool AskUnits(int& /*selection*/) { return false; }
  // Gives the result pane the sub-section whose properties it lists.
  virtual void SetResultSubSection(CSubSection* /*sub*/) {}
  // Fills the result pane's property lists from its sub-section.
  virtual void FillPropertyLists() {}
  // The new-file command: opens a document window (a section view) on doc.
  // Without windows there is nothing to open.
  virtual void OpenDocumentWindow(class CXSectionAnalysisDoc& /*doc*/) {}
};
