// Operations on the section document's sub-section tree, meshes and
// materials, shared by the tree pane, the view, the dialogs and automation;
// and the registry of open modeless dialogs.
#include <algorithm>
#include <stdexcept>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/Hooks.h"
#include "platform/ole/COleDispatchException.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

// Shown names of the shape-type codes 0 to 19.
constexpr const wchar_t* kShapeTypeNames[] = {
    L"SECTOR",     L"SECTOR_CHORD", L"FILLET",     L"TRIANGLE",  L"PARALLELOGRAM", L"POLYGON",    L"EXTERNALSOURCE",
    L"RECTANGLE",  L"DISK",         L"ANNULUS",    L"BLEND",     L"EXTRUDED_T",    L"EXTRUDED_L", L"FORMED_L",
    L"IBEAM",      L"EXTRUDED_C",   L"EXTRUDED_Z", L"FORMED_C",  L"FORMED_Z",      L"EXTRUDED_J"};

// Moves sub to the front (or the back) of its parent's children.
void reorder(CSubSection* sub, bool front) {
  CSubSection* parent = sub ? sub->parent() : nullptr;
  if (parent == nullptr) return;
  auto& children = parent->children;
  children.erase(std::remove(children.begin(), children.end(), sub), children.end());
  if (front)
    children.push_front(sub);
  else
    children.push_back(sub);
}

}  // namespace

void CXSectionAnalysisDoc::BringToFront(CSubSection* sub) {
  reorder(sub, true);
  gLogMsg.Format(L"xscn.BringSubSectionToFront \"%s\"", JournalQuotedText(sub->name()));
  LogIt();
  if (m_activeView) m_activeView->RebuildAndRedraw();
  // The order is part of the document: a snapshot keeps the next Undo or
  // Redo from bringing back the order before it. The tree is rebuilt there.
  ModelChanged();
}

void CXSectionAnalysisDoc::PushToBack(CSubSection* sub) {
  reorder(sub, false);
  gLogMsg.Format(L"xscn.PushSubSectionToBack \"%s\"", JournalQuotedText(sub->name()));
  LogIt();
  if (m_activeView) m_activeView->RebuildAndRedraw();
  // The order is part of the document: a snapshot keeps the next Undo or
  // Redo from bringing back the order before it. The tree is rebuilt there.
  ModelChanged();
}

void CXSectionAnalysisDoc::RenameSubSectionTo(CString oldName, CString newName) {
  if (m_model->findSubSection(newName) != nullptr) {
    CString text;
    text.Format(L"SubSection named %s already exists.", static_cast<const wchar_t*>(newName));
    AfxMessageBox(text, L"Rename SubSection", MB_ICONINFORMATION);
    return;
  }
  CSubSection* sub = m_model->findSubSectionMutable(oldName);
  if (sub == nullptr) throw std::logic_error("Subsection does not exist.");
  sub->name(newName);
  // The current sub-section is known by name: keep it current under its new name.
  if (m_model->currentName == oldName) m_model->currentName = newName;
  m_frame->RefreshSectionTree();
  ModelChanged();
  gLogMsg.Format(L"xscn.RenameSubSection \"%s\",\"%s\"", JournalQuotedText(oldName),
                 JournalQuotedText(newName));
  LogIt();
}

void CXSectionAnalysisDoc::DeleteSubSectionAndChildShapes(CString name) {
  if (name.IsEmpty() || m_model == nullptr) return;
  CSubSection* sub = m_model->findSubSectionMutable(name);
  m_model->deleteSubSectionAndChildShapes(name);
  m_model->removeSubsectionReferences(name);
  if (sub != nullptr) {
    if (CSubSection* parent = sub->parent()) {
      auto& children = parent->children;
      children.erase(std::remove(children.begin(), children.end(), sub), children.end());
    }
    delete sub;
  }
  gLogMsg.Format(L"xscn.DeleteSubSectionAndChildShapes \"%s\"", JournalQuotedText(name));
  LogIt();
}

void CXSectionAnalysisDoc::DeleteMeshes() {
  if (m_model == nullptr) return;
  if (CSubSection* current = m_model->currentSubSectionMutable()) {
    for (CMesh* mesh : current->meshes) delete mesh;
    current->meshes.clear();
    for (CWeld* weld : current->welds) delete weld;
    current->welds.clear();
  }
  ModelChanged();
  gLogMsg = L"xscn.DeleteMeshes";
  LogIt();
}

std::shared_ptr<CMetal> CXSectionAnalysisDoc::FetchMaterial(CString name) {
  try {
    if (m_model == nullptr) throw std::logic_error("no model");
    // No database at all says so, and what to do, rather than that the
    // material could not be read.
    std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(*m_model);
    std::shared_ptr<CMetal> metal = CModel::fetchMetal(*db, name);
    db->close();
    if (!metal) throw std::logic_error("no such material");
    return metal;
  } catch (const COleDispatchException&) {
    throw;
  } catch (...) {
    AfxThrowOleDispatchException(1, L"Could not recover material from database");
  }
}

CString CXSectionAnalysisDoc::ShapeTypeName(int type) {
  if (type >= 0 && type < static_cast<int>(std::size(kShapeTypeNames))) return kShapeTypeNames[type];
  return type == 21 ? L"UNDEFINED_SHAPE" : L"NOTYPE";
}

void CXSectionAnalysisDoc::RegisterModelessDialog(ModelessDialog* dialog) {
  if (!IsModelessDialogOpen(dialog)) m_dialogs.push_back(dialog);
  if (m_activeView) m_activeView->setCurrentDialog(dialog);
}

bool CXSectionAnalysisDoc::IsModelessDialogOpen(ModelessDialog* dialog) const {
  return std::find(m_dialogs.begin(), m_dialogs.end(), dialog) != m_dialogs.end();
}

void CXSectionAnalysisDoc::UnregisterModelessDialog(ModelessDialog* dialog) {
  m_dialogs.erase(std::remove(m_dialogs.begin(), m_dialogs.end(), dialog), m_dialogs.end());
  if (m_activeView && m_activeView->currentDialog() == dialog) m_activeView->setCurrentDialog(nullptr);
}

// Several dialogs may be open at once (the analysis dialogs stay available
// while a shape dialog is shown), so closing one leaves the others alone.
void CXSectionAnalysisDoc::CloseModelessDialog(ModelessDialog* dialog) {
  if (!IsModelessDialogOpen(dialog)) throw std::logic_error("Attempt to close a dialog which is not open");
  UnregisterModelessDialog(dialog);
  dialog->DestroyWindow();
}

void CXSectionAnalysisDoc::CloseAllModelessDialogs() {
  // A dialog unregisters itself while it is destroyed: walk a copy.
  const std::vector<ModelessDialog*> open = m_dialogs;
  for (ModelessDialog* dialog : open) {
    if (!IsModelessDialogOpen(dialog)) continue;
    UnregisterModelessDialog(dialog);
    dialog->DestroyWindow();
  }
}
