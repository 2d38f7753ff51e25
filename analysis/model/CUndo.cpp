// Snapshot undo over in-memory files.
#include "analysis/model/CUndo.h"

#include <memory>

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

constexpr int kArchiveBufferBytes = 4096;

CMemFile* asFile(CObject* snapshot) { return static_cast<CMemFile*>(snapshot); }

void deleteAll(CObList& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
}

}  // namespace

CUndo::CUndo() : CUndo(100, 0x8000) {}

CUndo::CUndo(long levelCount, long growStep) : growBytes(growStep), levels(levelCount) {}

CUndo::~CUndo() {
  deleteAll(undoList);
  deleteAll(redoList);
}

void CUndo::CheckPoint() {
  if (disableCount > 0) return;
  auto file = std::make_unique<CMemFile>(static_cast<UINT>(growBytes));
  Store(file.get());
  AddUndo(file.release());
  ClearRedoList();
}

void CUndo::Undo() {
  if (undoList.GetCount() < 2) return;
  CObject* current = undoList.RemoveHead();
  try {
    Load(asFile(undoList.GetHead()));
  } catch (...) {
    // The owner still holds the current state: its snapshot stays the head.
    undoList.AddHead(current);
    throw;
  }
  AddRedo(asFile(current));
}

void CUndo::Redo() {
  if (redoList.IsEmpty()) return;
  CMemFile* file = asFile(redoList.GetHead());
  Load(file);  // a failed load leaves both lists as they were
  redoList.RemoveHead();
  AddUndo(file);
}

void CUndo::EnableCheckPoint() {
  if (disableCount > 0) --disableCount;
}

void CUndo::Store(CMemFile* file) {
  file->SeekToBegin();
  CArchive ar(file, CArchive::store, kArchiveBufferBytes);
  Serialize(ar);
  ar.Close();
}

void CUndo::Load(CMemFile* file) {
  DeleteContents();
  file->SeekToBegin();
  CArchive ar(file, CArchive::load, kArchiveBufferBytes);
  Serialize(ar);
  ar.Close();
}

void CUndo::AddUndo(CMemFile* file) {
  if (undoList.GetCount() > levels) delete undoList.RemoveTail();
  undoList.AddHead(file);
}

void CUndo::AddRedo(CMemFile* file) { redoList.AddHead(file); }

void CUndo::ClearRedoList() { deleteAll(redoList); }

void CUndo::ClearUndoHistory() {
  deleteAll(undoList);
  deleteAll(redoList);
}
