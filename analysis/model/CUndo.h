// Snapshot undo: a mix-in that gives its owner (the document) undo and redo
// by whole snapshots, each the owner's complete state serialised into an
// in-memory file.
#pragma once

#include "platform/core/CList.h"

class CArchive;
class CMemFile;

// Keeps at most levels + 1 snapshots on the undo list (the current state
// at the head, then the states that can be restored) and the undone ones on
// the redo list. The owner supplies the serialisation.
class CUndo {
 public:
  // 100 levels, snapshots growing in steps of 0x8000 bytes.
  CUndo();
  // Empty lists, check points enabled.
  CUndo(long levels, long growBytes);
  // Deletes every snapshot of both lists.
  virtual ~CUndo();
  CUndo(const CUndo&) = delete;
  CUndo& operator=(const CUndo&) = delete;

  // Unless check points are disabled: stores the owner's state as a new
  // snapshot at the head of the undo list (dropping the oldest beyond
  // levels + 1) and forgets the redo list. Exceptions of the owner's
  // serialisation pass to the caller and add no snapshot.
  void CheckPoint();
  // With at least two snapshots: moves the current one to the redo list and
  // restores the one before it. Otherwise does nothing. A restore that
  // throws passes the exception on and leaves both lists as they were.
  void Undo();
  // With a redo snapshot: moves it back to the undo list and restores it.
  // Otherwise does nothing. A restore that throws changes neither list.
  void Redo();
  // True when the undo list holds more than one snapshot.
  bool CanUndo() const { return undoList.GetCount() > 1; }
  // True when the redo list is not empty.
  bool CanRedo() const { return !redoList.IsEmpty(); }
  // Skips check points until a matching EnableCheckPoint (calls nest).
  void DisableCheckPoint() { ++disableCount; }
  // Undoes one DisableCheckPoint; never counts below zero.
  void EnableCheckPoint();

  // The owner's state: written when the archive is storing, read back when
  // it is loading.
  virtual void Serialize(CArchive& ar) = 0;
  // Called before a snapshot is read back: the owner clears what it holds.
  virtual void DeleteContents() = 0;

 protected:
  // Writes the owner's state into file from its start.
  void Store(CMemFile* file);
  // Clears the owner, then reads its state from the start of file.
  void Load(CMemFile* file);
  // Puts file at the head of the undo list, first deleting the oldest
  // snapshot when the list already holds more than levels.
  void AddUndo(CMemFile* file);
  // Puts file at the head of the redo list.
  void AddRedo(CMemFile* file);
  // Deletes every snapshot of the redo list.
  void ClearRedoList();
  // Deletes every snapshot of both lists: nothing to undo or redo.
  void ClearUndoHistory();

  long growBytes;
  long levels;
  int disableCount = 0;
  CObList undoList{10};  // CMemFile*, newest first; the head is the current state
  CObList redoList{10};  // CMemFile*, most recently undone first
};
