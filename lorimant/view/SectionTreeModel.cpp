// The section tree pane's rows, selection, menu rules, clicks and drags.
#include "lorimant/view/SectionTreeModel.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"

namespace {

// Shape-type code -> image; codes not listed have none.
constexpr std::array<std::pair<int, int>, 18> kTypeImages{{{0, 19},  {1, 22},  {2, 20},  {3, 18},  {4, 16},  {5, 23},
                                                           {7, 15},  {8, 17},  {9, 21},  {11, 10}, {12, 12}, {13, 13},
                                                           {14, 6},  {15, 14}, {16, 9},  {17, 7},  {18, 8},  {19, 11}}};

// Which selection each command needs, in menu order.
struct MenuRule {
  SectionTreeMenuItem item;
  bool (*enabled)(const SectionTreeMenuState&);
};

const MenuRule kMenuRules[] = {
    {{SectionTreeCommand::CreateSubSection, L"Create New SubSection"},
     [](const SectionTreeMenuState& s) { return s.rootCurrent; }},
    {{SectionTreeCommand::SetCurrentSubSection, L"Set Current SubSection"},
     [](const SectionTreeMenuState& s) { return s.subSectionSelected; }},
    {{SectionTreeCommand::DeleteLoadCondition, L"Delete Load Condition"},
     [](const SectionTreeMenuState& s) { return s.loadConditionSelected; }},
    {{SectionTreeCommand::DeleteSubSection, L"Delete SubSection"},
     [](const SectionTreeMenuState& s) { return s.subSectionSelected; }},
    {{SectionTreeCommand::RenameSubSection, L"Rename SubSection"},
     [](const SectionTreeMenuState& s) { return s.subSectionSelected && !s.selectedIsRoot && !s.selectedIsProfile; }},
    {{SectionTreeCommand::BringSubSectionToTop, L"Bring SubSection To Top"},
     [](const SectionTreeMenuState& s) { return s.rootCurrent && s.subSectionSelected; }},
    {{SectionTreeCommand::PushSubSectionToBack, L"Push SubSection To Back"},
     [](const SectionTreeMenuState& s) { return s.rootCurrent && s.subSectionSelected; }},
    {{SectionTreeCommand::DisplaySectionProperties, L"Display Section Properties"},
     [](const SectionTreeMenuState& s) { return s.subSectionSelected; }},
    {{SectionTreeCommand::CopySectionObject, L"Copy Section Object"},
     [](const SectionTreeMenuState& s) { return s.shapeSelected; }},
    {{SectionTreeCommand::PasteSectionObject, L"Paste Section Object"},
     [](const SectionTreeMenuState& s) { return s.shapeCopied; }},
};

// The titles of the dialogs a load condition opens, by the kind of its forces.
const std::pair<int, const wchar_t*> kLoadDialogTitles[] = {
    {4, L"Unrestrained Bending"},
    {5, L"Restrained Bending"},
    {6, L"Plastic Bending About Given Neutral Axis Angle"},
};

constexpr const wchar_t* kSubsectionManagement = L"Subsection Management";
constexpr const wchar_t* kSubSectionManagement = L"SubSection Management";

void refuse(const CString& text, const wchar_t* caption) {
  AfxMessageBox(text, caption, MB_OK | MB_ICONEXCLAMATION);
}

bool unionOn(const CSubSection& sub) {
  return sub.getUnionShapes() != nullptr && !sub.getUnionShapes()->IsEmpty();
}

bool holdsSubSection(const CXSectionAnalysis& model, const CSubSection* sub) {
  return sub != nullptr && std::find(model.subSections.begin(), model.subSections.end(), sub) != model.subSections.end();
}

bool holdsShape(const CXSectionAnalysis& model, CShapeAnalysis* shape) {
  return shape != nullptr && model.shapes.Find(shape) != nullptr;
}

bool holdsLoadCondition(const CXSectionAnalysis& model, const CLoadCondition* lc) {
  if (lc == nullptr) return false;
  for (const CSubSection* sub : model.subSections)
    for (const std::shared_ptr<CLoadCondition>& held : sub->loadConditions)
      if (held.get() == lc) return true;
  return false;
}

CXSectionAnalysis* activeModel() {
  CXSectionAnalysisDoc* doc = GetActiveSectionDoc();
  return doc != nullptr ? doc->model() : nullptr;
}

}  // namespace

int SectionTreeTypeImage(int type) {
  for (const auto& [code, image] : kTypeImages)
    if (code == type) return image;
  return SectionTreeImage::None;
}

int SectionTreeScrollStep(int y, int height) {
  if (y <= SectionTreeDrag::kScrollMargin) return -1;
  if (y >= height - SectionTreeDrag::kScrollMargin) return 1;
  return 0;
}

const std::vector<SectionTreeMenuItem>& SectionTreeMenu() {
  static const std::vector<SectionTreeMenuItem> menu = [] {
    std::vector<SectionTreeMenuItem> items;
    for (const MenuRule& rule : kMenuRules) items.push_back(rule.item);
    return items;
  }();
  return menu;
}

bool SectionTreeCommandEnabled(UINT id, const SectionTreeMenuState& s) {
  for (const MenuRule& rule : kMenuRules)
    if (rule.item.id == id) return rule.enabled(s);
  return false;
}

SectionTreeModel::SectionTreeModel(SectionTreeHost* host) : m_host(host != nullptr ? host : &m_defaultHost) {}

SectionTreeModel::PropertiesHook& SectionTreeModel::propertiesHook() {
  static PropertiesHook hook;
  return hook;
}

SectionTreeModel::LoadDialogHook& SectionTreeModel::loadDialogHook() {
  static LoadDialogHook hook;
  return hook;
}

void SectionTreeModel::SetPropertiesHook(PropertiesHook hook) { propertiesHook() = std::move(hook); }

void SectionTreeModel::SetLoadDialogHook(LoadDialogHook hook) { loadDialogHook() = std::move(hook); }

// ---- rows ----

bool SectionTreeModel::RebuildTree() {
  CXSectionAnalysisDoc* doc = GetActiveSectionDoc();
  CXSectionAnalysis* model = doc != nullptr ? doc->model() : nullptr;
  if (model == nullptr || model == gDeletingScn) return false;
  if (m_selection.model != model)
    ClearSelection();
  else
    dropGoneSelection(model);
  m_rows.clear();
  m_rowsModel = model;
  ++m_generation;
  SectionTreeRow top;
  top.label = gUnitSystem == 0 ? L"Section Document (SIcm Units) " : L"Section Document (USCSin Units) ";
  top.image = SectionTreeImage::Document;
  top.expanded = true;
  m_rows.push_back(top);
  if (CSubSection* root = model->rootSubSection()) addRows(*model, *root, 0);
  m_host->rowsChanged();
  return true;
}

void SectionTreeModel::DeleteAllItems() {
  m_rows.clear();
  m_rowsModel = nullptr;
  ++m_generation;
  m_selection = Selection();
  m_copiedShape.Empty();
  m_copiedFrom = nullptr;
  m_host->rowsChanged();
}

int SectionTreeModel::addRow(SectionTreeRow row, int parent) {
  row.parent = parent;
  row.depth = parent < 0 ? 0 : m_rows[parent].depth + 1;
  m_rows.push_back(std::move(row));
  return static_cast<int>(m_rows.size()) - 1;
}

void SectionTreeModel::addMaterialRow(const std::shared_ptr<CMetal>& metal, int parent) {
  if (!metal) return;
  SectionTreeRow row;
  row.label = metal->name;
  row.image = SectionTreeImage::Material;
  addRow(row, parent);
}

void SectionTreeModel::addMeshRows(const CSubSection& sub, int parent) {
  if (!sub.welds.empty()) {
    SectionTreeRow welds;
    welds.label = L"Welds";
    welds.image = SectionTreeImage::SubSection;
    const int item = addRow(welds, parent);
    for (const CWeld* weld : sub.welds) {
      SectionTreeRow row;
      row.label = weld->mesh1 + L"-" + weld->mesh2;
      row.image = SectionTreeImage::SubSection;
      addRow(row, item);
    }
  }
  if (!sub.meshes.empty()) {
    SectionTreeRow mesh;
    mesh.label = L"Mesh";
    mesh.image = SectionTreeImage::Mesh;
    addRow(mesh, parent);
  }
}

// A profile with its union on is one row (its outline's material below);
// a profile without one shows its pieces under its parent; any other
// sub-section is a row holding its welds, meshes, union, children, shapes
// and loads.
void SectionTreeModel::addRows(CXSectionAnalysis& model, CSubSection& sub, int parent) {
  const bool profile = sub.isFormedOrExtrudedSection();
  const bool merged = unionOn(sub);
  if (profile && merged) {
    // The profile has no row of its own yet when its welds and meshes are
    // shown: they stand under its parent, ahead of the profile's row.
    addMeshRows(sub, parent);
    SectionTreeRow row;
    row.label = sub.name() + L":" + CXSectionAnalysisDoc::ShapeTypeName(sub.sectionKind);
    row.image = SectionTreeTypeImage(sub.sectionKind);
    row.kind = SectionTreeObject::Profile;
    row.name = sub.name();
    row.subSection = &sub;
    row.shape = sub.getUnionShapes()->GetHead();
    addMaterialRow(sub.material(), addRow(row, parent));
    return;
  }
  int item = parent;
  if (!profile) {
    SectionTreeRow row;
    row.label = sub.name();
    row.image = &sub == model.currentSubSectionMutable() ? SectionTreeImage::CurrentSubSection
                                                         : SectionTreeImage::SubSection;
    row.kind = SectionTreeObject::SubSection;
    row.name = sub.name();
    row.subSection = &sub;
    row.expanded = sub.name() == L"root";
    item = addRow(row, parent);
  }
  addMeshRows(sub, item);
  if (merged) {
    SectionTreeRow row;
    row.label = L"Union";
    row.image = SectionTreeImage::Union;
    addMaterialRow(sub.material(), addRow(row, item));
  }
  for (CSubSection* child : sub.children) addRows(model, *child, item);
  for (POSITION pos = sub.shapeList.GetHeadPosition(); pos != nullptr;) {
    CShapeAnalysis* shape = sub.shapeList.GetNext(pos);
    SectionTreeRow row;
    row.label = shape->name() + L":" + CXSectionAnalysisDoc::ShapeTypeName(shape->kind);
    row.image = SectionTreeTypeImage(shape->kind);
    row.kind = SectionTreeObject::Shape;
    row.name = shape->name();
    row.shape = shape;
    addMaterialRow(shape->material(), addRow(row, item));
  }
  for (const std::shared_ptr<CLoadCondition>& lc : sub.loadConditions) {
    SectionTreeRow row;
    row.label = lc->name() + L":" + lc->typeName();
    row.image = SectionTreeImage::LoadCondition;
    row.kind = SectionTreeObject::LoadCondition;
    row.name = lc->name();
    row.loadCondition = lc.get();
    addRow(row, item);
  }
}

const SectionTreeRow* SectionTreeModel::liveRow(int row) const {
  if (row < 0 || row >= static_cast<int>(m_rows.size())) return nullptr;
  CXSectionAnalysis* model = activeModel();
  if (model == nullptr || model != m_rowsModel) return nullptr;
  const SectionTreeRow& r = m_rows[row];
  switch (r.kind) {
    case SectionTreeObject::None: return &r;
    case SectionTreeObject::SubSection: return holdsSubSection(*model, r.subSection) ? &r : nullptr;
    case SectionTreeObject::Profile:
      return holdsSubSection(*model, r.subSection) && holdsShape(*model, r.shape) ? &r : nullptr;
    case SectionTreeObject::Shape: return holdsShape(*model, r.shape) ? &r : nullptr;
    case SectionTreeObject::LoadCondition: return holdsLoadCondition(*model, r.loadCondition) ? &r : nullptr;
  }
  return nullptr;
}

bool SectionTreeModel::isDescendant(int row, int ancestor) const {
  for (int r = m_rows[row].parent; r >= 0; r = m_rows[r].parent)
    if (r == ancestor) return true;
  return false;
}

// ---- selection ----

CXSectionAnalysisDoc* SectionTreeModel::activeDocument() const {
  CXSectionAnalysisDoc* doc = GetActiveSectionDoc();
  if (doc == nullptr || doc->model() == nullptr) return nullptr;
  doc->MakeCurrent();
  return doc;
}

void SectionTreeModel::dropGoneSelection(CXSectionAnalysis* model) {
  if (!holdsSubSection(*model, m_selection.subSection)) m_selection.subSection = nullptr;
  if (!holdsShape(*model, m_selection.shape)) m_selection.shape = nullptr;
  if (!holdsLoadCondition(*model, m_selection.loadCondition.get())) m_selection.loadCondition.reset();
}

void SectionTreeModel::ClearSelection() {
  m_selection.subSection = nullptr;
  m_selection.shape = nullptr;
  m_selection.loadCondition.reset();
}

CSubSection* SectionTreeModel::selectedSubSection() const {
  CXSectionAnalysis* model = activeModel();
  if (model == nullptr || model != m_selection.model) return nullptr;
  return holdsSubSection(*model, m_selection.subSection) ? m_selection.subSection : nullptr;
}

CShapeAnalysis* SectionTreeModel::selectedShape() const {
  CXSectionAnalysis* model = activeModel();
  if (model == nullptr || model != m_selection.model) return nullptr;
  return holdsShape(*model, m_selection.shape) ? m_selection.shape : nullptr;
}

std::shared_ptr<CLoadCondition> SectionTreeModel::selectedLoadCondition() const {
  CXSectionAnalysis* model = activeModel();
  if (model == nullptr || model != m_selection.model) return nullptr;
  return holdsLoadCondition(*model, m_selection.loadCondition.get()) ? m_selection.loadCondition : nullptr;
}

int SectionTreeModel::selectedRow() const {
  const CSubSection* sub = selectedSubSection();
  const CShapeAnalysis* shape = selectedShape();
  const CLoadCondition* lc = selectedLoadCondition().get();
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    const SectionTreeRow& r = m_rows[i];
    const bool shows = (r.kind == SectionTreeObject::SubSection && sub != nullptr && r.subSection == sub) ||
                       (r.kind != SectionTreeObject::SubSection && shape != nullptr && r.shape == shape) ||
                       (lc != nullptr && r.loadCondition == lc);
    if (shows) return static_cast<int>(i);
  }
  return -1;
}

SectionTreeMenuState SectionTreeModel::menuState() const {
  SectionTreeMenuState s;
  if (CXSectionAnalysis* model = activeModel()) {
    const CSubSection* current = model->currentSubSectionMutable();
    s.rootCurrent = current != nullptr && current->name() == L"root";
  }
  if (const CSubSection* sub = selectedSubSection()) {
    s.subSectionSelected = true;
    s.selectedIsRoot = sub->name() == L"root";
    s.selectedIsProfile = sub->isFormedOrExtrudedSection();
  }
  s.shapeSelected = selectedShape() != nullptr;
  s.loadConditionSelected = selectedLoadCondition() != nullptr;
  s.shapeCopied = !m_copiedShape.IsEmpty();
  return s;
}

// ---- clicks ----

void SectionTreeModel::Click(int row) {
  ClearSelection();
  const SectionTreeRow* r = liveRow(row);
  if (r == nullptr) return;
  m_selection.model = m_rowsModel;
  switch (r->kind) {
    case SectionTreeObject::SubSection: m_selection.subSection = r->subSection; break;
    case SectionTreeObject::Profile:
    case SectionTreeObject::Shape: m_selection.shape = r->shape; break;
    case SectionTreeObject::LoadCondition: {
      const CSubSection* current = m_rowsModel->currentSubSectionMutable();
      m_selection.loadCondition = current != nullptr ? current->findLoadCondition(r->name) : nullptr;
      if (!m_selection.loadCondition)
        refuse(L"Load condition is not a child of the current subsection.", L"Load Condition");
      break;
    }
    case SectionTreeObject::None: break;
  }
}

void SectionTreeModel::DoubleClick(int row) {
  if (row < 0 || row >= static_cast<int>(m_rows.size()) || m_rows[row].kind != SectionTreeObject::LoadCondition)
    return;
  CXSectionAnalysisDoc* doc = GetActiveSectionDoc();
  if (doc == nullptr || doc->model() == nullptr) return;
  if (doc->unitSystem() != 0 && doc->unitSystem() != 1) doc->setUnitSystem(gUnitSystem);
  doc->MakeCurrent();
  const SectionTreeRow* r = liveRow(row);
  CSubSection* current = doc->model()->currentSubSectionMutable();
  std::shared_ptr<CLoadCondition> lc =
      r != nullptr && current != nullptr ? current->findLoadCondition(r->name) : nullptr;
  if (!lc) throw std::logic_error("Load Condition not found");
  const int kind = lc->scnForces() != nullptr ? lc->scnForces()->kind : 0;
  for (const auto& [dialogKind, title] : kLoadDialogTitles) {
    if (dialogKind != kind) continue;
    LoadConditionDialogRequest request{doc, current, lc, kind, title, lc == current->curAppLC()};
    if (request.compute && doc->activeView() != nullptr) doc->activeView()->RebuildAndRedraw();
    if (loadDialogHook())
      loadDialogHook()(request);
    else
      AfxMessageBox(CString(title) + L" is not available.", title, MB_OK | MB_ICONINFORMATION);
  }
  current->curAppLC(lc);
}

// ---- drag and drop ----

bool SectionTreeModel::BeginDrag(int row) {
  if (row <= 0) return false;
  const SectionTreeRow* r = liveRow(row);
  if (r == nullptr) return false;
  switch (r->kind) {
    case SectionTreeObject::None:
    case SectionTreeObject::LoadCondition:
      // A load condition belongs to its sub-section: there is nothing to move it to.
      refuse(L"Unmovable object.", kSubsectionManagement);
      return false;
    case SectionTreeObject::SubSection:
      refuse(L"Subsections may not be drag/dropped.   There may only one level of subsections (depth of two in tree)",
             kSubsectionManagement);
      return false;
    case SectionTreeObject::Profile: {
      const CSubSection* parent = r->subSection->parent();
      if (parent != nullptr && unionOn(*parent)) {
        refuse(L"You must delete the union on the parent before moving this object", kSubSectionManagement);
        return false;
      }
      m_selection.model = m_rowsModel;
      m_selection.subSection = r->subSection;
      return true;
    }
    case SectionTreeObject::Shape: {
      const CSubSection* owner = r->shape->subSection();
      if (owner != nullptr && unionOn(*owner)) {
        refuse(L"You must delete the union on the parent before moving this shape", kSubSectionManagement);
        return false;
      }
      return true;
    }
  }
  return false;
}

// The refusals come before any move: a drop that is refused changes nothing.
void SectionTreeModel::Drop(int dragged, int target) {
  const SectionTreeRow* from = liveRow(dragged);
  const SectionTreeRow* onto = liveRow(target);
  if (from == nullptr || onto == nullptr || dragged == 0) return;
  if (target == dragged) {
    refuse(L"An item can't be dropped onto itself", kSubsectionManagement);
    return;
  }
  if (target == from->parent) {
    refuse(L"An item can't be dropped onto its parent", kSubsectionManagement);
    return;
  }
  if (isDescendant(target, dragged)) {
    refuse(L"An item can't be dropped onto one of its children", kSubsectionManagement);
    return;
  }
  if (onto->kind == SectionTreeObject::LoadCondition) {
    AfxMessageBox(L"Loadcase selected", L"test", MB_OK);
    return;
  }
  if (onto->kind != SectionTreeObject::SubSection) return;
  CXSectionAnalysisDoc* doc = activeDocument();
  if (doc == nullptr) return;
  const SectionTreeRow moved = *from;
  const SectionTreeRow parent = *onto;
  if (!moveDropped(*doc, moved, parent)) return;
  m_copiedShape.Empty();
  doc->ModelChanged();
  if (ActiveSectionView* view = doc->activeView()) view->RebuildAndRedraw();
  RebuildTree();
}

bool SectionTreeModel::moveDropped(CXSectionAnalysisDoc& doc, const SectionTreeRow& dragged,
                                   const SectionTreeRow& target) {
  try {
    if (dragged.kind == SectionTreeObject::Shape) {
      ILorimant::ChangeShapeParent(doc, dragged.name, target.name);
      JournalLine(doc, L"xscn.ChangeShapeParent \"%s\",\"%s\"", dragged.name, target.name);
      return true;
    }
    if (dragged.kind == SectionTreeObject::Profile) {
      ILorimant::ChangeSubSectionParent(doc, dragged.name, target.name);
      JournalLine(doc, L"xscn.ChangeSubSectionParent \"%s\",\"%s\"", dragged.name, target.name);
      return true;
    }
  } catch (const CException& e) {
    refuse(e.ErrorText(), kSubSectionManagement);
  }
  return false;
}
