// The section tree pane without a window: the rows of the tree built from
// the active document's model, the selection that the pane's commands act
// on, the context-menu rules, the click and drag rules and the commands.
// Every command writes its journal line and runs the automation method that
// replays that line, so the pane and a replayed journal change the model
// alike. The wx pane shows the rows and forwards what the user does.
//
// The selection and the rows keep pointers into the model they were taken
// from; they are checked against the active document's model (by pointer
// comparison only) before anything is done with them, so a model replaced
// by Undo, Redo or Open leaves nothing behind that a command could use.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CLoadCondition;
class CMetal;
class CShapeAnalysis;
class CSubSection;
class CXSectionAnalysis;
class CXSectionAnalysisDoc;

// Commands of the pane's context menu.
namespace SectionTreeCommand {
enum : UINT {
  CreateSubSection = 40071,
  SetCurrentSubSection = 40072,
  DeleteLoadCondition = 40104,
  DeleteSubSection = 40073,
  RenameSubSection = 40074,
  BringSubSectionToTop = 40077,
  PushSubSectionToBack = 40099,
  DisplaySectionProperties = 40079,
  CopySectionObject = 40116,
  PasteSectionObject = 40117,
};
}  // namespace SectionTreeCommand

// Indices into the tree's image list (25 images of 16 pixels).
namespace SectionTreeImage {
enum : int {
  None = -1,
  Document = 0,
  SubSection = 0,
  Mesh = 2,
  Union = 3,
  CurrentSubSection = 4,
  Material = 5,
  LoadCondition = 24,
  Count = 25,
};
}  // namespace SectionTreeImage

// Drag timing and the auto-scroll band of the tree.
namespace SectionTreeDrag {
constexpr int kScrollMargin = 10;       // pixels from the top or bottom edge
constexpr int kFirstScrollDelay = 500;  // ms before the first scroll or expansion
constexpr int kScrollRepeat = 200;      // ms between further scrolls
}  // namespace SectionTreeDrag

// The image of a shape-type code; -1 for a type without one.
int SectionTreeTypeImage(int type);

// Where the cursor of a drag asks the tree to scroll: -1 one line up within
// the margin of the top edge, +1 one line down within the margin of the
// bottom edge (of a window height pixels high), 0 elsewhere.
int SectionTreeScrollStep(int y, int height);

// What a row shows.
enum class SectionTreeObject { None, SubSection, Profile, Shape, LoadCondition };

// One item of the tree, in the order a depth-first walk shows them.
struct SectionTreeRow {
  CString label;
  int image = SectionTreeImage::None;
  int depth = 0;       // 0 for the document row
  int parent = -1;     // the parent row's index; -1 for the document row
  bool expanded = false;
  SectionTreeObject kind = SectionTreeObject::None;
  CString name;        // the shown object's name (empty without an object)
  CSubSection* subSection = nullptr;       // kind SubSection or Profile
  CShapeAnalysis* shape = nullptr;         // kind Shape
  CLoadCondition* loadCondition = nullptr; // kind LoadCondition
};

// What the menu rules read of the selection and the model.
struct SectionTreeMenuState {
  bool rootCurrent = false;            // the current sub-section is "root"
  bool subSectionSelected = false;     // a sub-section is selected
  bool selectedIsRoot = false;         // ... and it is "root"
  bool selectedIsProfile = false;      // ... and it is a profile sub-section
  bool shapeSelected = false;
  bool loadConditionSelected = false;
  bool shapeCopied = false;
};

// One entry of the context menu.
struct SectionTreeMenuItem {
  UINT id;
  const wchar_t* text;
};

// The context menu's entries in menu order.
const std::vector<SectionTreeMenuItem>& SectionTreeMenu();
// Whether the command id is enabled in state s (false for an unknown id).
bool SectionTreeCommandEnabled(UINT id, const SectionTreeMenuState& s);

// What the pane asks of its window. Every call defaults to what a pane
// without a window does.
class SectionTreeHost {
 public:
  virtual ~SectionTreeHost() = default;
  // The rows were built again (or emptied): the window shows them.
  virtual void rowsChanged() {}
  // Asks for a text under prompt; false when the user cancels. Without a
  // window nothing can be asked.
  virtual bool askText(const CString& /*prompt*/, CString& /*answer*/) { return false; }
};

// A load condition's dialog as a double click asks for it.
struct LoadConditionDialogRequest {
  CXSectionAnalysisDoc* doc = nullptr;
  CSubSection* subSection = nullptr;
  std::shared_ptr<CLoadCondition> loadCondition;
  int kind = 0;           // 4 unrestrained, 5 restrained, 6 plastic bending
  CString title;          // the dialog's title
  bool compute = false;   // the condition is already applied: the dialog computes at once
};

class SectionTreeModel {
 public:
  using PropertiesHook = std::function<void(CXSectionAnalysisDoc&, CSubSection&)>;
  using LoadDialogHook = std::function<void(const LoadConditionDialogRequest&)>;

  // A pane reporting to host (a pane without a window when null).
  explicit SectionTreeModel(SectionTreeHost* host = nullptr);
  SectionTreeModel(const SectionTreeModel&) = delete;
  SectionTreeModel& operator=(const SectionTreeModel&) = delete;

  // Opens the section property sheet for a sub-section (null restores the
  // default, which says "Display Section Properties is not available.").
  static void SetPropertiesHook(PropertiesHook hook);
  // Opens the bending dialog of a load condition (null restores the
  // default, which says "<dialog title> is not available.").
  static void SetLoadDialogHook(LoadDialogHook hook);

  // ---- rows ----
  // Builds the rows from the active document's model; nothing without an
  // active document or while its model is being closed (false then). A
  // selection taken from another model, or whose objects have gone, is
  // cleared. The host is told.
  bool RebuildTree();
  // Empties the rows and the selection and forgets the copied shape (a
  // document is going: another one could later take its place in memory and
  // receive a paste meant for it); the host is told.
  void DeleteAllItems();
  const std::vector<SectionTreeRow>& rows() const { return m_rows; }
  // Counts the rebuilds: a row index is only meaningful with the count it was read at.
  unsigned generation() const { return m_generation; }

  // ---- selection (null when none, or when it no longer lies in the active model) ----
  CSubSection* selectedSubSection() const;
  CShapeAnalysis* selectedShape() const;
  std::shared_ptr<CLoadCondition> selectedLoadCondition() const;
  // The name of the shape Copy Section Object remembered (empty when none);
  // it pastes only into the document it was copied from.
  const CString& copiedShape() const { return m_copiedShape; }
  // Forgets the selected sub-section, shape and load condition.
  void ClearSelection();
  // The first row that shows a selected object; -1 when none does.
  int selectedRow() const;

  // ---- what the user does ----
  // Left button down on row: the selection follows the click rules.
  void Click(int row);
  // Double click on row: a load condition opens its dialog and becomes the
  // current sub-section's current one. Throws std::logic_error "Load
  // Condition not found" when it is no longer there.
  void DoubleClick(int row);
  // Whether row may be dragged; a refusal is shown.
  bool BeginDrag(int row);
  // The dragged row was dropped onto the target row.
  void Drop(int dragged, int target);

  // ---- context menu ----
  SectionTreeMenuState menuState() const;
  bool IsEnabled(UINT id) const { return SectionTreeCommandEnabled(id, menuState()); }
  // Runs command id (whether or not it is enabled, each command checks
  // what it needs); false for an id that is not the pane's.
  bool OnCommand(UINT id);

  void OnCreateSubSection();
  void OnSetCurrentSubSection();
  void OnDeleteLoadCondition();
  void OnDeleteSubSection();
  void OnRenameSubSection();
  void OnBringSubSectionToTop();
  void OnPushSubSectionToBack();
  void OnDisplaySectionProperties();
  void OnCopySectionObject();
  void OnPasteSectionObject();

 private:
  struct Selection {
    CXSectionAnalysis* model = nullptr;  // the model the selection was taken from
    CSubSection* subSection = nullptr;
    CShapeAnalysis* shape = nullptr;
    std::shared_ptr<CLoadCondition> loadCondition;
  };

  static PropertiesHook& propertiesHook();
  static LoadDialogHook& loadDialogHook();
  // The active document with its model made current; null without either.
  CXSectionAnalysisDoc* activeDocument() const;
  // The row when it was built from the active model and its object still
  // lies in it; null otherwise.
  const SectionTreeRow* liveRow(int row) const;
  // Forgets selected objects that are no longer in model.
  void dropGoneSelection(CXSectionAnalysis* model);
  void addRows(CXSectionAnalysis& model, CSubSection& sub, int parent);
  int addRow(SectionTreeRow row, int parent);
  // A row under parent for a material (none without one).
  void addMaterialRow(const std::shared_ptr<CMetal>& metal, int parent);
  void addMeshRows(const CSubSection& sub, int parent);
  bool moveDropped(CXSectionAnalysisDoc& doc, const SectionTreeRow& dragged, const SectionTreeRow& target);
  // True when row lies below ancestor.
  bool isDescendant(int row, int ancestor) const;

  SectionTreeHost m_defaultHost;
  SectionTreeHost* m_host;
  std::vector<SectionTreeRow> m_rows;
  CXSectionAnalysis* m_rowsModel = nullptr;
  unsigned m_generation = 0;
  Selection m_selection;
  CString m_copiedShape;
  CXSectionAnalysisDoc* m_copiedFrom = nullptr;  // the document of the copied shape; compared, never used
};
