// The section view's analysis commands: the bending, plastic and Cozzone
// analyses and the three force and stress calculators. Each checks what
// its analysis needs of the current sub-section and opens its dialog; the
// dialogs compute and journal themselves.
#include <memory>

#include "analysis/model/CMetal.h"
#include "analysis/model/EUnitSystem.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/document/SectionFrame.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

namespace C = SectionCommand;

constexpr const wchar_t* kCozzoneCaption = L"Cozzone Method";
constexpr const wchar_t* kNoSingleMaterial =
    L"Material not defined, or there are multiple materials used in the section";
constexpr const wchar_t* kIncompleteMaterial =
    L"Method requires a material definition with values for Fty_l,Ftu_l,E,_maxTensileStrain";

// A command that opens a calculator dialog.
struct CalculatorCommand {
  UINT id;
  SectionDialogKind kind;
};

constexpr CalculatorCommand kCalculatorCommands[] = {
    {C::ConvertForces, SectionDialogKind::ForceConversion},
    {C::ProjectForces, SectionDialogKind::ProjectForce},
    {C::RambergOsgood, SectionDialogKind::RambergOsgoodStress},
};

// The unit texts of the Cozzone dialogs: moment, stress, section modulus,
// force. SI names no force unit of its own; "N" is the newton of its
// moment unit.
struct UnitTexts {
  const wchar_t* moment;
  const wchar_t* stress;
  const wchar_t* modulus;
  const wchar_t* force;
};

constexpr UnitTexts kUsCustomaryTexts = {L"in-lbs", L"psi", L"in^3", L"lbs"};
constexpr UnitTexts kSiTexts = {L"N-cm", L"kPa", L"cm^3", L"N"};

// The material holds the values Cozzone's method reads, each above 0 (an
// undefined value, -99999, or a NaN is not).
bool cozzoneReady(const CMetal& metal) {
  return metal.Fty_L > 0.0 && metal.Ftu_L > 0.0 && metal.E() > 0.0 && metal.maxTensileStrain > 0.0;
}

}  // namespace

void CThickSectionView::registerAnalysisCommands() {
  // A command runs once the factory can make its dialog.
  const auto makes = [this](SectionDialogKind kind) {
    return [this, kind] { return m_dialogFactory != nullptr && m_dialogFactory->canMake(kind); };
  };
  registerCommand(C::RestrainedBending, [this](int) { OnBending(true); }, makes(SectionDialogKind::Bending));
  registerCommand(C::UnrestrainedBending, [this](int) { OnBending(false); }, makes(SectionDialogKind::Bending));
  registerCommand(C::PlasticAnalysis, [this](int) { OnPlasticAnalysis(); }, makes(SectionDialogKind::PlasticBending));
  registerCommand(C::CozzoneMethod, [this](int) { OnCozzone(false); }, makes(SectionDialogKind::Cozzone));
  registerCommand(C::UnsymmetricSection, [this](int) { OnCozzone(true); },
                  makes(SectionDialogKind::CozzoneUnsymmetric));
  for (const CalculatorCommand& c : kCalculatorCommands)
    registerCommand(c.id, [this, kind = c.kind](int) { OnCalculatorDialog(kind); }, makes(c.kind));
}

void CThickSectionView::OnBending(bool restrained) {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr || m_dialogFactory == nullptr) return;
  CSubSection* sub = m->currentSubSectionMutable();
  if (sub == nullptr || !sub->isMeshed()) {
    showMessage(CString(restrained ? L"All objects must be meshed before performing a bending analysis."
                                   : L"All objects must be meshed before performing bending analysis."),
                CString(), MB_OK);
    return;
  }
  // One bending dialog at a time: a second one would take the view's
  // pointer, and the first one's closing would clear it under the second.
  if (auto* open = dynamic_cast<SectionDialog*>(m_bendingDialog)) {
    open->bringToFront();
    return;
  }
  if (!restrained) {
    resultKind(sub, 0);
    // Checked before any dialog exists, so that a refusal leaves no hidden
    // dialog blocking the shape commands.
    if (!sub->isMaterialDefined()) {
      showMessage(CString(L"Material is not defined for all objects"), CString(L"Plotting"), MB_OK | MB_ICONSTOP);
      return;
    }
  }
  std::unique_ptr<SectionDialog> dialog = m_dialogFactory->make(SectionDialogKind::Bending, *this);
  if (!dialog) return;
  dialog->setAnalysisType(restrained ? 1 : 0);
  dialog->setDocument(m_document, m);
  dialog->setSubSection(sub);
  // The previous bending dialog has closed by now: it goes.
  releaseDialog(m_bendingOwned);
  m_bendingOwned = std::move(dialog);
  m_bendingDialog = m_bendingOwned.get();
  m_unrestrainedDialog = m_bendingOwned.get();
  m_bendingOwned->show();
}

void CThickSectionView::OnPlasticAnalysis() {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr || m_dialogFactory == nullptr) return;
  CSubSection* sub = m->currentSubSectionMutable();
  if (sub == nullptr || !sub->isMeshed()) {
    showMessage(CString(L"All objects must be meshed before performing a plastic bending analysis."), CString(),
                MB_OK);
    return;
  }
  if (auto* open = dynamic_cast<SectionDialog*>(m_plasticDialog)) {
    open->bringToFront();
    return;
  }
  std::unique_ptr<SectionDialog> dialog = m_dialogFactory->make(SectionDialogKind::PlasticBending, *this);
  if (!dialog) return;
  dialog->setDocument(m_document, m);
  dialog->setSubSection(sub);
  releaseDialog(m_plasticOwned);
  m_plasticOwned = std::move(dialog);
  m_plasticDialog = m_plasticOwned.get();
  m_plasticOwned->show();
}

void CThickSectionView::OnCozzone(bool unsymmetric) {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr || m_dialogFactory == nullptr) return;
  CSubSection* sub = m->currentSubSectionMutable();
  if (sub == nullptr) return;
  sub->scnPrpUTD(false);
  const std::shared_ptr<CMetal> metal = sub->singleMaterial();
  if (!metal) {
    showMessage(CString(kNoSingleMaterial), CString(kCozzoneCaption), MB_OK);
    return;
  }
  if (!cozzoneReady(*metal)) {
    showMessage(CString(kIncompleteMaterial), CString(kCozzoneCaption), MB_OK);
    return;
  }
  std::unique_ptr<SectionDialog> dialog = m_dialogFactory->make(
      unsymmetric ? SectionDialogKind::CozzoneUnsymmetric : SectionDialogKind::Cozzone, *this);
  if (!dialog) return;
  const UnitTexts& units = gUnitSystem == SI ? kSiTexts : kUsCustomaryTexts;
  dialog->setDocument(m_document, m);
  dialog->setSubSection(sub);
  dialog->setUnitTexts(CString(units.moment), CString(units.stress), CString(units.modulus), CString(units.force));
  dialog->runModal();
  dialog.reset();
  // The dialog may have changed the model: its sub-section is asked again.
  CSubSection* after = m_document->model() != nullptr ? m_document->model()->currentSubSectionMutable() : nullptr;
  if (after != nullptr && after->scnPrpUTD()) {
    SectionFrame* frame = m_document->frame();
    frame->SetResultSubSection(after);
    frame->FillPropertyLists();
  }
  RefreshScene();
}

void CThickSectionView::OnCalculatorDialog(SectionDialogKind kind) {
  if (m_dialogFactory == nullptr) return;
  std::unique_ptr<SectionDialog>& slot = m_calculatorsOwned[kind];
  if (!slot) {
    slot = m_dialogFactory->make(kind, *this);
    if (!slot) return;
    slot->setDocument(m_document, model());
  }
  slot->show();
}

void CThickSectionView::bendingDialogClosed(ModelessDialog* dialog) {
  if (dialog == nullptr) return;
  if (m_bendingDialog == dialog) m_bendingDialog = nullptr;
  if (m_unrestrainedDialog == dialog) m_unrestrainedDialog = nullptr;
}

void CThickSectionView::plasticDialogClosed(ModelessDialog* dialog) {
  if (dialog != nullptr && m_plasticDialog == dialog) m_plasticDialog = nullptr;
}

void CThickSectionView::CloseResultDialogs() {
  for (ModelessDialog** held : {&m_bendingDialog, &m_unrestrainedDialog, &m_plasticDialog}) {
    ModelessDialog* dialog = *held;
    if (dialog == nullptr) continue;
    // Closing tells the view (clearing the pointers); a dialog that does
    // not is forgotten all the same.
    dialog->DestroyWindow();
    bendingDialogClosed(dialog);
    plasticDialogClosed(dialog);
  }
}
