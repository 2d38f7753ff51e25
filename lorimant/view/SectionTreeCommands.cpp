// The section tree pane's context-menu commands. Each writes the journal
// line that replays it and does its work through the automation method of
// that line.
#include <utility>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/SectionTreeModel.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"

namespace {

void refuse(const CString& text, const wchar_t* caption) { AfxMessageBox(text, caption, MB_OK | MB_ICONEXCLAMATION); }

// Runs work; what it throws is shown under caption. False when it threw.
template <class Work>
bool shownOnFailure(const wchar_t* caption, Work&& work) {
  try {
    work();
    return true;
  } catch (const CException& e) {
    refuse(e.ErrorText(), caption);
  } catch (const std::exception& e) {
    refuse(CString(e.what()), caption);
  }
  return false;
}

// True when inner is outer or lies below it.
bool liesIn(const CSubSection* inner, const CSubSection* outer) {
  for (; inner != nullptr; inner = inner->parent())
    if (inner == outer) return true;
  return false;
}

// The first of base_1, base_2, ... that no shape and no sub-section has.
CString freeCopyName(const CXSectionAnalysis& model, const CString& base) {
  for (int k = 1;; ++k) {
    CString name;
    name.Format(L"%s_%d", static_cast<const wchar_t*>(base), k);
    if (model.findShape(name) == nullptr && model.findSubSection(name) == nullptr) return name;
  }
}

void redraw(CXSectionAnalysisDoc& doc, bool fit = false) {
  ActiveSectionView* view = doc.activeView();
  if (view == nullptr) return;
  view->RebuildAndRedraw();
  if (fit) view->fullView();
}

constexpr const wchar_t* kPaste = L"Paste Section Object";

}  // namespace

bool SectionTreeModel::OnCommand(UINT id) {
  using Handler = void (SectionTreeModel::*)();
  static const std::pair<UINT, Handler> kHandlers[] = {
      {SectionTreeCommand::CreateSubSection, &SectionTreeModel::OnCreateSubSection},
      {SectionTreeCommand::SetCurrentSubSection, &SectionTreeModel::OnSetCurrentSubSection},
      {SectionTreeCommand::DeleteLoadCondition, &SectionTreeModel::OnDeleteLoadCondition},
      {SectionTreeCommand::DeleteSubSection, &SectionTreeModel::OnDeleteSubSection},
      {SectionTreeCommand::RenameSubSection, &SectionTreeModel::OnRenameSubSection},
      {SectionTreeCommand::BringSubSectionToTop, &SectionTreeModel::OnBringSubSectionToTop},
      {SectionTreeCommand::PushSubSectionToBack, &SectionTreeModel::OnPushSubSectionToBack},
      {SectionTreeCommand::DisplaySectionProperties, &SectionTreeModel::OnDisplaySectionProperties},
      {SectionTreeCommand::CopySectionObject, &SectionTreeModel::OnCopySectionObject},
      {SectionTreeCommand::PasteSectionObject, &SectionTreeModel::OnPasteSectionObject},
  };
  for (const auto& [command, handler] : kHandlers) {
    if (command != id) continue;
    (this->*handler)();
    return true;
  }
  return false;
}

void SectionTreeModel::OnCreateSubSection() {
  CXSectionAnalysisDoc* doc = activeDocument();
  if (doc == nullptr) return;
  CXSectionAnalysis& model = *doc->model();
  if (const CSubSection* root = model.rootSubSection(); root != nullptr && !root->meshes.empty()) {
    refuse(L"Meshes must be removed before new subsections may be created,  or parent change operations may be performed",
           L"SubSection Management");
    return;
  }
  CString name;
  if (!m_host->askText(L"Enter name for the new subsection.", name)) return;
  if (name.IsEmpty()) {
    refuse(L"Name for subsection may not be empty", L"SubSection Creation");
    return;
  }
  if (model.findSubSection(name) != nullptr) {
    refuse(L"Subsection with that name already exists", L"Create SubSection");
    return;
  }
  shownOnFailure(L"SubSection Creation", [&] { ILorimant::CreateSubSection(*doc, name, L"root"); });
  RebuildTree();
}

void SectionTreeModel::OnSetCurrentSubSection() {
  CSubSection* sub = selectedSubSection();
  CXSectionAnalysisDoc* doc = activeDocument();
  if (sub == nullptr || doc == nullptr) return;
  const CString name = sub->name();
  if (!shownOnFailure(L"Set Current SubSection", [&] { ILorimant::SetCurrentSubSection(*doc, name); })) return;
  JournalLine(*doc, L"xscn.SetCurrentSubSection \"%s\"", name);
  RebuildTree();
}

void SectionTreeModel::OnDeleteLoadCondition() {
  std::shared_ptr<CLoadCondition> lc = selectedLoadCondition();
  CXSectionAnalysisDoc* doc = activeDocument();
  if (!lc || doc == nullptr) return;
  const CString name = lc->name();
  // The line deletes by name from the current sub-section: it must find the
  // selected condition there, not another of the same name.
  const CSubSection* current = doc->model()->currentSubSectionMutable();
  if (current == nullptr || current->findLoadCondition(name) != lc) {
    refuse(L"Load condition is not a child of the current subsection.", L"Load Condition");
    return;
  }
  JournalLine(*doc, L"xscn.DeleteLoad \"%s\"", name);
  if (!shownOnFailure(L"Load Condition", [&] { ILorimant::DeleteLoad(*doc, name); })) return;
  ClearSelection();
  RebuildTree();
  redraw(*doc);
  doc->model()->verifySubsections();
  doc->ModelChanged();
}

// Neither "root" nor the current sub-section nor one that holds either may
// go: the section or the current sub-section would go with it.
void SectionTreeModel::OnDeleteSubSection() {
  CSubSection* sub = selectedSubSection();
  CXSectionAnalysisDoc* doc = activeDocument();
  if (sub == nullptr || doc == nullptr) return;
  CXSectionAnalysis& model = *doc->model();
  if (liesIn(model.currentSubSectionMutable(), sub) || liesIn(model.rootSubSection(), sub)) {
    refuse(L"The current Subsection may not be deleted.", L"Section Management");
    return;
  }
  const CString name = sub->name();
  JournalLine(*doc, L"xscn.DeleteSubSection \"%s\"", name);
  {
    // The line above replays the whole deletion: the document's own line
    // would delete a second time.
    JournalBlock block(*doc, L"DeleteSubSection");
    ClearSelection();
    shownOnFailure(L"Section Management", [&] { ILorimant::DeleteSubSection(*doc, name); });
    RebuildTree();
  }
  redraw(*doc);
  model.verifySubsections();
  doc->ModelChanged();
}

void SectionTreeModel::OnRenameSubSection() {
  if (selectedShape() != nullptr || m_selection.subSection == nullptr) return;
  CXSectionAnalysisDoc* doc = activeDocument();
  if (doc == nullptr) return;
  CString newName;
  if (!m_host->askText(L"Enter new name for subsection", newName)) return;
  CSubSection* sub = selectedSubSection();
  if (sub == nullptr) {
    refuse(L"Subsection not found.", L"Subsection Rename");
    return;
  }
  // A sub-section is found by its name: an empty one could never be reached.
  if (newName.IsEmpty()) {
    refuse(L"Name for subsection may not be empty", L"Subsection Rename");
    return;
  }
  shownOnFailure(L"Subsection Rename", [&] { doc->RenameSubSectionTo(sub->name(), newName); });
  RebuildTree();
}

void SectionTreeModel::OnBringSubSectionToTop() {
  CSubSection* sub = selectedSubSection();
  CXSectionAnalysisDoc* doc = activeDocument();
  if (sub == nullptr || doc == nullptr) return;
  doc->BringToFront(sub);
  ClearSelection();
  RebuildTree();
}

void SectionTreeModel::OnPushSubSectionToBack() {
  CSubSection* sub = selectedSubSection();
  CXSectionAnalysisDoc* doc = activeDocument();
  if (sub == nullptr || doc == nullptr) return;
  doc->PushToBack(sub);
  ClearSelection();
  RebuildTree();
}

void SectionTreeModel::OnDisplaySectionProperties() {
  CSubSection* sub = selectedSubSection();
  CXSectionAnalysisDoc* doc = activeDocument();
  if (sub == nullptr || doc == nullptr) return;
  if (!shownOnFailure(L"Computation Error", [&] { sub->forceRecalcProperties(); })) return;
  if (const PropertiesHook& hook = propertiesHook())
    hook(*doc, *sub);
  else
    AfxMessageBox(L"Display Section Properties is not available.", L"Display Section Properties",
                  MB_OK | MB_ICONINFORMATION);
}

void SectionTreeModel::OnCopySectionObject() {
  const CShapeAnalysis* shape = selectedShape();
  if (shape == nullptr) return;
  m_copiedShape = shape->name();
  m_copiedFrom = GetActiveSectionDoc();
  m_selection.shape = nullptr;
}

// Each paste makes a fresh copy of the remembered shape (or of the profile
// it outlines) in the current sub-section under a name of its own. The shape
// is looked up by name in the document it was copied from only: another
// document's shape of that name is not the one the user copied.
void SectionTreeModel::OnPasteSectionObject() {
  CXSectionAnalysisDoc* doc = activeDocument();
  if (m_copiedShape.IsEmpty() || doc == nullptr) return;
  CXSectionAnalysis& model = *doc->model();
  CSubSection* current = model.currentSubSectionMutable();
  CShapeAnalysis* shape = doc == m_copiedFrom ? model.findShape(m_copiedShape) : nullptr;
  if (shape == nullptr) {
    refuse(L"Shape object could not be found", kPaste);
    return;
  }
  if (current == nullptr) return;
  const CString parent = current->name();
  const CSubSection* owner = shape->subSection();
  const bool profile = owner != nullptr && owner->isFormedOrExtrudedSection();
  const CString source = profile ? owner->name() : shape->name();
  const CString copy = freeCopyName(model, source);
  const bool pasted = shownOnFailure(kPaste, [&] {
    if (profile)
      ILorimant::CopyPasteSubSection(*doc, parent, source, copy);
    else
      ILorimant::CopyPasteShape(*doc, parent, source, copy);
  });
  if (!pasted) return;
  JournalLine(*doc, profile ? L"xscn.CopyPasteSubSection \"%s\",\"%s\",\"%s\"" : L"xscn.CopyPasteShape \"%s\",\"%s\",\"%s\"",
              parent, source, copy);
  current->refreshDots();
  model.verifySubsections();
  doc->ModelChanged();
  redraw(*doc, true);
  RebuildTree();
}
