// The section view's commands as its window runs them: the routing through
// the update rules, the handlers registered by id, the commands that ask
// the window something, the dialogs of the shape, profile and polygon
// commands, and the context menu.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "analysis/model/CDot.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"

namespace {

namespace C = SectionCommand;

// A command that opens a dialog for a kind of shape or profile.
struct KindCommand {
  UINT id;
  int kind;
};

constexpr KindCommand kBasicShapeCommands[] = {
    {C::Rectangle, qhtShapeRectangle}, {C::Trapezoid, qhtShapeParallelogram}, {C::Disk, qhtShapeDisk},
    {C::Triangle, qhtShapeTriangle},   {C::Sector, qhtShapeSector},           {C::Fillet, qhtShapeFillet},
    {C::SectorChord, qhtShapeSectorChord}, {C::Annulus, qhtShapeAnnulus},     {C::Blend, qhtShapeBlend},
};

// Profile commands and the ShapeType number of their profile.
constexpr KindCommand kProfileCommands[] = {
    {C::ExtrudedTee, 11}, {C::ExtrudedL, 12}, {C::FormedL, 13}, {C::IBeam, 14}, {C::ExtrudedC, 15},
    {C::ExtrudedZ, 16},   {C::FormedC, 17},   {C::FormedZ, 18}, {C::ExtrudedJ, 19},
};

// The context menu "Section Operations": its entries in order.
struct MenuEntry {
  UINT id;
  const wchar_t* label;
};

constexpr MenuEntry kSectionOperations[] = {
    {C::Delete, L"Delete "},
    {C::ChangeSign, L"Change Sign"},
    {C::FullView, L"Full View"},
    {C::RubberZoom, L"Rubber Box Zoom"},
    {C::TranslateSelected, L"Translate"},
    {C::MeshSelected, L"Mesh Selected"},
    {C::LocalMeshSize, L"Local Size Control"},
    {C::MoveVertexToLocation, L"Move Object's Vertex to Location"},
    {C::MoveVertexToVertex, L"Move Object's Vertex to Match Vertex"},
    {C::MirrorHorizontalAboutVertex, L"Mirror Object Horizontally about Vertex"},
    {C::MirrorVerticalAboutVertex, L"Mirror Object Vertically about Vertex"},
    {C::Rename, L"Rename"},
    {C::SetMaterialContext, L"Set Material "},
    {C::RotateAboutVertex, L"Rotate Object About Vertex"},
};

// The display precisions a user may choose: a number formatted with more
// than 15 decimals shows only noise.
constexpr double kMaxDisplayPrecision = 15.0;
constexpr const wchar_t* kCalculatorDefault = L"gnome-calculator";

// The grid list's items.
constexpr int kGridItems = 3;

}  // namespace

// ---- routing ----

void CThickSectionView::registerCommand(UINT id, CommandHandler handler, std::function<bool()> available) {
  m_commands[id] = RegisteredCommand{std::move(handler), std::move(available)};
}

bool CThickSectionView::hasHandler(UINT id) const {
  if (isOwnCommand(id)) return true;
  const auto it = m_commands.find(id);
  if (it == m_commands.end() || !it->second.run) return false;
  return !it->second.available || it->second.available();
}

CommandUpdate CThickSectionView::OnUpdateCommandUI(UINT id) const {
  CommandUpdate update = OnUpdateCommand(id);
  if (!hasHandler(id)) update.enabled = false;
  return update;
}

bool CThickSectionView::RunCommand(UINT id, int value) {
  if (!OnUpdateCommandUI(id).enabled) return false;
  if (m_document != nullptr && m_document->model() != nullptr) m_document->MakeCurrent();
  if (OnCommand(id)) return true;
  const auto it = m_commands.find(id);
  if (it == m_commands.end()) return false;
  // A copy: the handler may register commands itself.
  const CommandHandler run = it->second.run;
  run(value);
  return true;
}

ViewMenu CThickSectionView::contextMenu() const {
  ViewMenu menu;
  menu.title = L"Section Operations";
  for (const MenuEntry& e : kSectionOperations)
    menu.entries.push_back(ViewMenuEntry{e.id, CString(e.label), OnUpdateCommandUI(e.id).enabled});
  return menu;
}

void CThickSectionView::registerWindowCommands() {
  registerCommand(C::Delete, [this](int) { DeleteSelected(); });
  registerCommand(C::Undo, [this](int) { OnUndo(); });
  registerCommand(C::Redo, [this](int) { OnRedo(); });
  registerCommand(C::UndoUnion, [this](int) { OnBreakUnion(); });
  registerCommand(C::DeleteAllMeshes, [this](int) { DeleteMeshes(); });
  registerModelCommands();
  registerExchangeCommands();
  registerMeshCommands();
  registerAnalysisCommands();
  registerCommand(C::GridPosition, [this](int item) {
    if (item >= 0 && item < kGridItems) SetGridPosition(static_cast<GridPosition>(item));
  });
  // What needs the window: its mouse (the zoom box) or its questions.
  const auto windowed = [this] { return sectionHost() != nullptr; };
  for (UINT id : {UINT(C::RubberZoom), UINT(C::RubberZoomAlias)})
    registerCommand(id, [this](int) { OnRubberZoom(); }, windowed);
  registerCommand(C::BackgroundColor, [this](int) { OnBackgroundColor(); }, windowed);
  registerCommand(C::DisplayPrecision, [this](int) { OnDisplayPrecision(); }, windowed);
  registerCommand(C::Calculator, [this](int) { OnCalculator(); }, windowed);
  // The dialog commands run once their dialog can be had.
  for (const KindCommand& c : kBasicShapeCommands)
    registerCommand(c.id, [this, kind = c.kind](int) { OnBasicShape(kind); },
                    [this] { return dynamic_cast<SectionDialog*>(m_basicShapeDialog) != nullptr; });
  for (const KindCommand& c : kProfileCommands)
    registerCommand(c.id, [this, kind = c.kind](int) { OnProfile(kind); }, [this, kind = c.kind] {
      return m_dialogFactory != nullptr && m_dialogFactory->canMake(SectionDialogKind::Profile, kind);
    });
  registerCommand(C::RelativePoint, [this](int) { OnRelativePoint(); }, [this] {
    return m_relativePointDialog != nullptr ||
           (m_dialogFactory != nullptr && m_dialogFactory->canMake(SectionDialogKind::RelativePoint));
  });
  registerCommand(C::Polygon, [this](int) { OnPolygon(); }, [this] {
    return dynamic_cast<SectionDialog*>(m_pointSetDialog) != nullptr ||
           (m_pointSetDialog == nullptr && m_dialogFactory != nullptr &&
            m_dialogFactory->canMake(SectionDialogKind::PointSet));
  });
}

// ---- commands that ask the window ----

void CThickSectionView::OnRubberZoom() {
  rubberZoom();
  RefreshScene();
  if (m_pHost != nullptr) m_pHost->invalidate(true);
}

void CThickSectionView::OnBackgroundColor() {
  SectionViewHost* window = sectionHost();
  if (window == nullptr) return;
  int rgb[3];
  for (int i = 0; i < 3; ++i) rgb[i] = static_cast<int>(std::lround(m_background[i] * 255.0f));
  if (!window->askColour(rgb)) return;
  for (int i = 0; i < 3; ++i) m_background[i] = static_cast<float>(std::clamp(rgb[i], 0, 255)) / 255.0f;
  window->invalidate(true);
  RefreshScene();
}

void CThickSectionView::OnDisplayPrecision() {
  CXSectionAnalysis* m = model();
  SectionViewHost* window = sectionHost();
  if (m == nullptr || window == nullptr) return;
  double value = m->displayPrecision;
  if (!window->askValue(CString(L"Number of Decimal Places"), value)) return;
  if (!std::isfinite(value) || value < 0.0 || value > kMaxDisplayPrecision) {
    showMessage(CString(L"The number of decimal places must be from 0 to 15."), CString(L"Display Precision"),
                MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m->displayPrecision = static_cast<int>(value);
}

void CThickSectionView::OnCalculator() {
  SectionViewHost* window = sectionHost();
  if (window == nullptr) return;
  CString program = Settings::GetProfileString(L"Settings", L"Calculator", kCalculatorDefault);
  program.Trim();
  if (!program.IsEmpty()) window->startProgram(program);
}

// ---- dialogs ----

void CThickSectionView::setDialogFactory(const SectionDialogFactory* factory) {
  m_dialogFactory = factory;
  CreateModelessDialogs();
}

SectionDialog* CThickSectionView::dialogIn(std::unique_ptr<SectionDialog>& slot, ModelessDialog*& pointer,
                                           SectionDialogKind kind) {
  if (pointer == nullptr && m_dialogFactory != nullptr) {
    slot = m_dialogFactory->make(kind, *this);
    pointer = slot.get();
  }
  return dynamic_cast<SectionDialog*>(pointer);
}

void CThickSectionView::CreateModelessDialogs() {
  dialogIn(m_basicShapeOwned, m_basicShapeDialog, SectionDialogKind::BasicShape);
  dialogIn(m_rotateOwned, m_rotateDialog, SectionDialogKind::Rotate);
  dialogIn(m_mirrorOwned, m_mirrorDialog, SectionDialogKind::Mirror);
  dialogIn(m_translateOwned, m_translateDialog, SectionDialogKind::Translate);
  m_modelessCreated = m_basicShapeDialog != nullptr && m_rotateDialog != nullptr && m_mirrorDialog != nullptr &&
                      m_translateDialog != nullptr;
}

void CThickSectionView::releaseDialog(std::unique_ptr<SectionDialog>& slot) {
  if (!slot) return;
  // The document must not keep a dialog that is going.
  if (m_document != nullptr && m_document->IsModelessDialogOpen(slot.get()))
    m_document->UnregisterModelessDialog(slot.get());
  slot.reset();
}

void CThickSectionView::profileDialogFinished(ModelessDialog* dialog) {
  if (dialog != nullptr && m_pendingProfileDialog == dialog) m_pendingProfileDialog = nullptr;
}

bool CThickSectionView::refuseWhileUnionOn() {
  CXSectionAnalysis* m = model();
  const CSubSection* sub = m != nullptr ? m->currentSubSection() : nullptr;
  if (sub == nullptr || !sub->isUnionOn()) return false;
  showMessage(CString(L"You must turn off the union before adding new shapes"), CString(), MB_OK);
  return true;
}

void CThickSectionView::OnBasicShape(int kind) {
  if (model() == nullptr || m_document == nullptr || refuseWhileUnionOn()) return;
  EnsureRootSubSection();
  auto* dialog = dynamic_cast<SectionDialog*>(m_basicShapeDialog);
  if (dialog == nullptr) return;
  dialog->setShapeKind(kind);
  if (m_document->IsModelessDialogOpen(dialog)) return;
  m_document->RegisterModelessDialog(dialog);
  dialog->resetEditState();
  dialog->setDocument(m_document, model());
  dialog->show();
}

void CThickSectionView::OnProfile(int kind) {
  if (model() == nullptr || m_document == nullptr || m_dialogFactory == nullptr || refuseWhileUnionOn()) return;
  EnsureRootSubSection();
  std::unique_ptr<SectionDialog> dialog = m_dialogFactory->make(SectionDialogKind::Profile, *this, kind);
  if (!dialog) return;
  const CSubSection* sub = model()->currentSubSection();
  dialog->setParentName(sub != nullptr ? sub->name() : CString());
  dialog->setDocument(m_document, model());
  // An earlier profile dialog is finished by now (a pending one blocks
  // the profile commands): it goes.
  releaseDialog(m_profileOwned);
  m_profileOwned = std::move(dialog);
  m_pendingProfileDialog = m_profileOwned.get();
  m_profileOwned->show();
}

void CThickSectionView::OnPolygon() {
  if (model() == nullptr || m_document == nullptr || refuseWhileUnionOn()) return;
  EnsureRootSubSection();
  SectionDialog* dialog = dialogIn(m_pointSetOwned, m_pointSetDialog, SectionDialogKind::PointSet);
  if (dialog == nullptr || m_document->IsModelessDialogOpen(dialog)) return;
  m_document->RegisterModelessDialog(dialog);
  dialog->setDocument(m_document, model());
  dialog->show();
}

void CThickSectionView::OnRelativePoint() {
  if (model() == nullptr || m_document == nullptr) return;
  EnsureRootSubSection();
  SectionDialog* dialog = dialogIn(m_relativePointOwned, m_relativePointDialog, SectionDialogKind::RelativePoint);
  if (dialog == nullptr) return;
  // The last construction point: the one picked last, else the one the
  // current sub-section got last.
  Point<double> last;
  bool found = false;
  for (POSITION pos = COpenGLView::m_pickList.GetTailPosition(); pos != nullptr && !found;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetPrev(pos));
    if (r != nullptr && (r->type & SectionRecord::kDot) != 0 && r->object != nullptr) {
      last = static_cast<const CDot*>(r->object)->location;
      found = true;
    }
  }
  const CSubSection* sub = model()->currentSubSection();
  if (!found && sub != nullptr && !sub->constructionPoints.empty())
    last = sub->constructionPoints.back()->location;
  dialog->presetPoint(last.x, last.y);
  dialog->show();
}

void CThickSectionView::OnEdit() {
  if (m_editEntry) m_editEntry();
}
