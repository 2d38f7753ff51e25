// The section view's material commands: Set Material All, Set Material For
// Selected (also the context menu's Set Material) and Edit Materials. They
// give materials through the routines of the automation methods their
// journal lines name, so that a replay gives the same materials.
#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/MaterialAssignment.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

constexpr const wchar_t* kSetMaterialCaption = L"Set Material";
constexpr const wchar_t* kMaterialSettingsCaption = L"Material Settings";

// The unit-system texts of the material database, by the document's unit
// system (0 SI in centimetres, 1 US customary in inches).
constexpr const wchar_t* kUnitTexts[] = {L"SIcm", L"USCSin"};

CString quoted(const CString& s) { return JournalQuotedText(s); }

bool decided(int units) { return units == 0 || units == 1; }

// The root or the current sub-section holds a mesh: the meshes keep the
// material they were made with, so the material may not change.
bool meshedForMaterial(CXSectionAnalysis& model) {
  const CSubSection* root = model.rootSubSection();
  const CSubSection* current = model.currentSubSection();
  return (root != nullptr && !root->meshes.empty()) || (current != nullptr && !current->meshes.empty());
}

constexpr const wchar_t* kMeshedRefusal =
    L"Must delete all meshes in the root, and/or current subsection before changing the material";

}  // namespace

void CThickSectionView::OnSetMaterialAll() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr || m_document == nullptr || ask == nullptr) return;
  if (meshedForMaterial(*m)) {
    showMessage(kMeshedRefusal, kSetMaterialCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (const std::shared_ptr<CMetal> metal = ask->chooseMaterial(*m_document)) {
    gLogMsg.Format(L"xscn.ApplyMaterialToAll \"%s\",\"%s\"", quoted(sub->name()), quoted(metal->name));
    journal();
    GiveMaterialToAll(*m, *sub, metal);
    RebuildAndRedraw();
  }
  m_document->ModelChanged();
}

void CThickSectionView::OnSetMaterialSelected() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || m_document == nullptr || ask == nullptr) return;
  if (meshedForMaterial(*m)) {
    showMessage(kMeshedRefusal, kSetMaterialCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!decided(m_document->unitSystem()) && decided(gUnitSystem)) m_document->setUnitSystem(gUnitSystem);
  const std::shared_ptr<CMetal> metal = ask->chooseMaterial(*m_document);
  if (!metal) {
    ClearPicks();
    m_document->ModelChanged();
    return;
  }
  // A document whose unit system is still open takes any material.
  const int units = m_document->unitSystem();
  if (decided(units) && metal->units != kUnitTexts[units]) {
    showMessage(L"The unit system doesn't match the unit system of the document, to use this material, create a "
                L"similar material and then convert the units",
                kMaterialSettingsCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  // A profile takes the material as a whole: two of its pieces picked give
  // it one line.
  std::vector<const CSubSection*> profilesDone;
  for (CShapeAnalysis* shape : pickedShapes()) {
    CSubSection* owner = shape->subSection();
    if (owner != nullptr && owner->isFormedOrExtrudedSection()) {
      if (std::find(profilesDone.begin(), profilesDone.end(), owner) != profilesDone.end()) continue;
      profilesDone.push_back(owner);
      GiveMaterialToSubSection(*m, *owner, metal);
      gLogMsg.Format(L"xscn.ApplyMaterial \"%s\", \"%s\"", quoted(owner->name()), quoted(metal->name));
    } else {
      GiveMaterialToShape(*m, *shape, metal);
      gLogMsg.Format(L"xscn.ApplyMaterial \"%s\", \"%s\"", quoted(shape->name()), quoted(metal->name));
    }
    journal();
  }
  RebuildAndRedraw();
  m_document->ModelChanged();
}

void CThickSectionView::OnEditMaterials() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || m_document == nullptr || ask == nullptr) return;
  try {
    // The database must open before the manager lists it.
    ConnectMaterialDatabase(*m)->close();
    ask->editMaterials(*m_document);
  } catch (const sql_exception& e) {
    showMessage(CString(e.what()), L"SQL error", MB_OK | MB_ICONSTOP);
  }
  RebuildAndRedraw();
}
