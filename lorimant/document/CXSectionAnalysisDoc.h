// The section document: one section model, the journal of its editing and
// the snapshot undo. Runs with no window; the main frame and the active
// view are reached through SectionFrame and ActiveSectionView.
#pragma once

#include <memory>
#include <vector>

#include "analysis/model/CUndo.h"
#include "analysis/views/CSimpleDIB.h"
#include "lorimant/document/ActiveSectionView.h"
#include "lorimant/document/SectionFrame.h"
#include "platform/core/CString.h"

class CArchive;
class CLog;
class CMetal;
class CShapesCollect;
class CSubSection;
class CXSectionAnalysis;

// Set once an embedded document closed: no document asks before closing.
extern bool gCloseWithoutAsking;

// The document base: the undo mix-in with 100 levels and 32768-byte growth
// and the modified flag.
class CBaseXSectionAnalysisDoc : public CUndo {
 public:
  CBaseXSectionAnalysisDoc();
  // Takes an undo snapshot (unless suppressed) and marks the document modified.
  void CheckPoint();
  // Snapshot serialisation of the base: nothing.
  void Serialize(CArchive&) override {}
  // Never called on the base: throws std::logic_error "should never be called".
  void DeleteContents() override;
  bool IsModified() const { return m_modified; }
  void SetModifiedFlag(bool modified = true) { m_modified = modified; }

  bool checkPointSuppressed = false;  // profile builders set it around their inner steps
  bool snapshotTaken = false;         // false while a snapshot is being stored
  bool busy = false;                  // set while a profile builder runs

 private:
  bool m_modified = false;
};

class CXSectionAnalysisDoc : public CBaseXSectionAnalysisDoc {
 public:
  // Opens the journal named after the local time ("%d_%H_%M_%S"), sets the
  // name base "aa$$"; no model yet.
  explicit CXSectionAnalysisDoc(SectionFrame* frame = nullptr);
  // Writes the journal epilogue, closes the dialogs, deletes the model and
  // the journal.
  ~CXSectionAnalysisDoc() override;
  CXSectionAnalysisDoc(const CXSectionAnalysisDoc&) = delete;
  CXSectionAnalysisDoc& operator=(const CXSectionAnalysisDoc&) = delete;

  // A new empty model, unit system not chosen; journals the connection of
  // the default material database when its file exists. Always TRUE.
  bool OnNewDocument();
  // Journals the open, reads the file and takes the first snapshot. A
  // failure is shown captioned "FILE IO ERROR" and gives FALSE; the
  // document keeps the model it had.
  bool OnOpenDocument(const CString& path);
  // Why the last OnOpenDocument failed (the text it showed); empty after
  // an open that succeeded.
  const CString& openFailure() const { return m_openFailure; }
  // Writes the document to a temporary file beside path and renames it over
  // path. FALSE (shown) when it cannot be written or path is read-only; the
  // file at path is then untouched and the document stays modified.
  bool OnSaveDocument(const CString& path);
  // Asks before closing; FALSE when the user keeps the document open.
  // On TRUE the model is marked as being closed (gDeletingScn).
  bool SaveModified();
  // The save-changes prompt of a closing document; FALSE when cancelled.
  // A document with no window has nothing to ask.
  virtual bool SaveChangesPrompt();
  // Clears the contents of a closing document without journalling it.
  void OnCloseDocument();
  // Deletes the sub-section "root" of a model being closed (gDeletingScn);
  // otherwise nothing.
  void DeleteContents() override;
  // Writes or reads the document's fields (the file and every snapshot).
  // Reading builds a fresh model, taking materials by name from the current
  // one before the database, and replaces the model only once the whole
  // stream is read; a failed read throws and changes nothing. Refused: a
  // header other than the title or a non-empty prefix of the old title
  // ("Not a Lorimant file"), and a unique-id counter outside
  // 0..kUniqueIDLimit (a damaged file).
  void Serialize(CArchive& ar) override;

  // The change routine of every model-changing command: check-point,
  // properties out of date, result pane emptied, tree rebuilt. 0 without a model.
  int ModelChanged();
  // Asks once per model for the unit system and journals the choice.
  void AskUnitSystem();
  // Writes gLogMsg to the journal.
  void LogIt();
  // Restores the previous snapshot; the replaced model is deleted. A
  // snapshot that cannot be read throws; model and lists stay as they were.
  void Undo();
  // Restores the next snapshot; the replaced model is deleted. A failure
  // throws and changes nothing.
  void Redo();
  // Publishes this document's model and unit system in the globals and
  // makes it the active document.
  void MakeCurrent();

  CXSectionAnalysis* model() const { return m_model; }
  CLog* journal() const { return m_log.get(); }
  int unitSystem() const { return m_unitSystem; }
  void setUnitSystem(int units);
  void setActiveView(ActiveSectionView* view) { m_activeView = view; }
  ActiveSectionView* activeView() const { return m_activeView; }
  // The automation collection of the document's shapes, made with the document.
  std::shared_ptr<CShapesCollect> shapesCollection() const { return m_shapesCollection; }
  // The main frame the document reports to (a default one without a window).
  SectionFrame* frame() const { return m_frame; }
  // A document embedded in a container never asks before closing.
  bool embedded = false;
  // A document not shown to the user is never asked for its unit system.
  bool hidden = false;

  // ---- document operations ----
  // Puts the sub-section first among its parent's children; journals.
  void BringToFront(CSubSection* sub);
  // Puts the sub-section last among its parent's children; journals.
  void PushToBack(CSubSection* sub);
  // Renames a sub-section; a taken name is shown and changes nothing.
  void RenameSubSectionTo(CString oldName, CString newName);
  // Deletes the named sub-section's shapes and children and the sub-section; journals.
  void DeleteSubSectionAndChildShapes(CString name);
  // Deletes the current sub-section's meshes and welds; change routine; journals.
  void DeleteMeshes();
  // The named metal of the model's material database; a failure throws
  // COleDispatchException 1 "Could not recover material from database".
  std::shared_ptr<CMetal> FetchMaterial(CString name);
  // The shown name of a shape-type code.
  static CString ShapeTypeName(int type);

  // ---- modeless-dialog registry ----
  // Adds the dialog unless present; it becomes the active view's current dialog.
  void RegisterModelessDialog(ModelessDialog* dialog);
  bool IsModelessDialogOpen(ModelessDialog* dialog) const;
  // Destroys and unregisters one registered dialog; throws std::logic_error
  // "Attempt to close a dialog which is not open" for any other.
  void CloseModelessDialog(ModelessDialog* dialog);
  // Destroys every registered dialog and empties the registry.
  void CloseAllModelessDialogs();
  // Removes the dialog from the registry (a dialog calls it on destruction).
  void UnregisterModelessDialog(ModelessDialog* dialog);

 private:
  // A picture stored with the section and the size stored beside it.
  struct StoredPicture {
    CSimpleDIB image;
    int width = 0;
    int height = 0;
  };
  // Reads the picture block of a document; the document takes it only once
  // the whole file has been read.
  static std::unique_ptr<StoredPicture> readPicture(CArchive& ar);
  void replaceModel(CXSectionAnalysis* model);

  SectionFrame m_defaultFrame;
  SectionFrame* m_frame;
  ActiveSectionView* m_activeView = nullptr;
  std::unique_ptr<CLog> m_log;
  std::shared_ptr<CShapesCollect> m_shapesCollection;
  CXSectionAnalysis* m_model = nullptr;
  int m_unitSystem = 2;
  bool m_picturePresent = false;
  std::unique_ptr<StoredPicture> m_picture;
  CString m_openFailure;
  std::vector<ModelessDialog*> m_dialogs;
};

// The current model (vAveVAvezeze).
CXSectionAnalysis* GetFatXSection();
// The active document: the one last made current; null when none is open.
CXSectionAnalysisDoc* GetActiveSectionDoc();
