// The section view's model commands: Change Sign, Union, Rename, the vertex
// moves of the context menu and the transformation commands of the ribbon.
// Each changes the model through the same calls as the automation method
// its journal line names, so that a replayed journal builds the same model.
#include <cmath>
#include <exception>
#include <string>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

namespace C = SectionCommand;

constexpr const wchar_t* kUnionCaption = L"Union Operation";
constexpr const wchar_t* kRenameCaption = L"Rename Shape";
constexpr const wchar_t* kTransformCaption = L"Transformations";
constexpr const wchar_t* kPickErrorCaption = L"Pick Error";
constexpr const wchar_t* kMeshedShape = L"Mesh must be deleted before object may be moved";

// A ribbon transformation: its dialog, what it moves, the mirror axis's
// direction and the text of its refusal while a union exists.
struct TransformCommand {
  UINT id;
  SectionDialogKind kind;
  TransformMode mode;
  double dx, dy;
};

constexpr TransformCommand kTransformCommands[] = {
    {C::TranslateAll, SectionDialogKind::Translate, TransformMode::All, 0, 0},
    {C::TranslateSelected, SectionDialogKind::Translate, TransformMode::Selected, 0, 0},
    {C::TranslateDuplicate, SectionDialogKind::Translate, TransformMode::Duplicate, 0, 0},
    {C::RotateAll, SectionDialogKind::Rotate, TransformMode::All, 0, 0},
    {C::RotateSelected, SectionDialogKind::Rotate, TransformMode::Selected, 0, 0},
    {C::RotateDuplicate, SectionDialogKind::Rotate, TransformMode::Duplicate, 0, 0},
    {C::MirrorHorizontal, SectionDialogKind::Mirror, TransformMode::Selected, 1, 0},
    {C::MirrorVertical, SectionDialogKind::Mirror, TransformMode::Selected, 0, 1},
    {C::MirrorDuplicateHorizontal, SectionDialogKind::Mirror, TransformMode::Duplicate, 1, 0},
    {C::MirrorDuplicateVertical, SectionDialogKind::Mirror, TransformMode::Duplicate, 0, 1},
};

const wchar_t* unionRefusal(SectionDialogKind kind, TransformMode mode) {
  switch (kind) {
    case SectionDialogKind::Rotate: return L"Turn off union before performing rotation";
    case SectionDialogKind::Mirror:
      return mode == TransformMode::Duplicate ? L"Turn off union before performing mirror and duplicate."
                                              : L"Turn off union before performing mirror";
    default: return L"Turn off union before performing translation";
  }
}

// A name as the journal lines quote it.
CString quoted(const CString& s) { return JournalQuotedText(s); }

// Two materials are the same when both are missing or both have one name
// (the rule the union itself applies).
bool sameMaterial(const std::shared_ptr<CMetal>& a, const std::shared_ptr<CMetal>& b) {
  if (!a || !b) return !a && !b;
  return a->name == b->name;
}

// The solid shapes that a union of sub would join have differing materials.
bool differingMaterials(const CSubSection& sub) {
  ShapeList shapes(10);
  shapes.AddTail(const_cast<ShapeList*>(&sub.shapeList));
  for (const CSubSection* child : sub.children) child->getSubSectionShapes(&shapes);
  std::shared_ptr<CMetal> metal;
  bool first = true;
  for (POSITION pos = shapes.GetHeadPosition(); pos != nullptr;) {
    const CShapeAnalysis* s = shapes.GetNext(pos);
    if (s->boundary == nullptr || s->boundary->isNegative()) continue;
    if (!first && !sameMaterial(metal, s->material())) return true;
    metal = s->material();
    first = false;
  }
  return false;
}

bool finite(const Point<double>& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

ViewPrompts* CThickSectionView::prompts() const { return sectionHost(); }

void CThickSectionView::registerModelCommands() {
  registerCommand(C::ChangeSign, [this](int) { OnChangeSign(); });
  registerCommand(C::Union, [this](int) { OnUnion(); });
  registerCommand(C::Rename, [this](int) { OnRename(); });
  registerCommand(C::KeyinLocation, [this](int) { OnKeyinLocation(); });
  registerCommand(C::AddPointsBetween, [this](int) { OnAddPointsBetween(); });
  registerCommand(C::PointAtDistance, [this](int) { OnPointAtDistance(); });
  registerCommand(C::PointsAtRadius, [this](int) { OnPointsAtRadius(); });
  registerCommand(C::DeletePoints, [this](int) { OnDeletePoints(); });
  registerCommand(C::Distance2Points, [this](int) { OnDistance2Points(); });
  registerCommand(C::Deltas2Points, [this](int) { OnDeltas2Points(); });
  registerCommand(C::Angle2Points, [this](int) { OnAngle2Points(); });
  registerCommand(C::Angle3Points, [this](int) { OnAngle3Points(); });
  registerCommand(C::MoveVertexToLocation, [this](int) { OnMoveVertexToLocation(); });
  registerCommand(C::MoveVertexToVertex, [this](int) { OnMoveVertexToVertex(); });
  registerCommand(C::MirrorHorizontalAboutVertex, [this](int) { OnMirrorAboutVertex(true); });
  registerCommand(C::MirrorVerticalAboutVertex, [this](int) { OnMirrorAboutVertex(false); });
  registerCommand(C::RotateAboutVertex, [this](int) { OnRotateAboutVertex(); },
                  [this] { return dynamic_cast<SectionDialog*>(m_rotateDialog) != nullptr; });
  for (const TransformCommand& t : kTransformCommands) {
    ModelessDialog* const* slot = t.kind == SectionDialogKind::Rotate   ? &m_rotateDialog
                                  : t.kind == SectionDialogKind::Mirror ? &m_mirrorDialog
                                                                        : &m_translateDialog;
    registerCommand(t.id, [this, t](int) { OnTransform(t.kind, t.mode, Point<double>(t.dx, t.dy, 0.0)); },
                    [slot] { return dynamic_cast<SectionDialog*>(*slot) != nullptr; });
  }
}

// ---- edit ----

void CThickSectionView::OnChangeSign() {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr) return;
  const CSubSection* current = m->currentSubSection();
  for (CShapeAnalysis* shape : pickedShapes()) {
    m->changeSign(shape);
    // The replay looks for the shape in the sub-section named here: the
    // one that holds it, which is not the current one for a shape of a
    // child or of a profile.
    const CSubSection* owner = shape->subSection() != nullptr ? shape->subSection() : current;
    gLogMsg.Format(L"xscn.ChangeSign \"%s\", \"%s\"", quoted(owner != nullptr ? owner->name() : CString()),
                   quoted(shape->name()));
    journal();
  }
  m_document->ModelChanged();
  ClearPicks();
  RebuildAndRedraw();
}

void CThickSectionView::OnUnion() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr || m_document == nullptr) return;
  CWaitCursor wait;
  if (!sub->meshes.empty()) {
    showMessage(L"Cannot union objects when meshes are defined.   Delete the meshes first", kUnionCaption,
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (differingMaterials(*sub)) {
    showMessage(L"Union of objects with differing materials is undefined.", kUnionCaption,
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  CString failure;
  try {
    ClearPicks();
    sub->Union(-1);
    RebuildAndRedraw();
    m_document->ModelChanged();
    // Only a union that was made is journalled: the replay's Union checks
    // neither meshes nor materials.
    journal(L"xscn.Union");
    return;
  } catch (const std::exception& e) {
    failure = CString(e.what());
  } catch (const char* text) {
    failure = CString(text);
  } catch (const wchar_t* text) {
    failure = CString(text);
  }
  showMessage(CString(L"Union failed with error: ") + failure, CString(), MB_OK);
}

void CThickSectionView::OnRename() {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr) return;
  const std::vector<CShapeAnalysis*> shapes = pickedShapes();
  if (shapes.size() != 1) return;
  CShapeAnalysis* shape = shapes.front();
  ViewPrompts* ask = prompts();
  CString name = shape->name();
  if (ask == nullptr || !ask->askText(L"Enter new name for shape", name)) return;
  // Shapes are found model-wide by name, as the replay finds them: a
  // second holder of one name, or an empty name, could never be reached.
  if (name.IsEmpty()) {
    showMessage(L"A name cannot be empty.", kRenameCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  const CShapeAnalysis* holder = m->findShape(name);
  if ((holder != nullptr && holder != shape) || m->findSubSection(name) != nullptr) {
    showMessage(L"Object with that name already exists.", kRenameCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  const CString old = shape->name();
  m->renameShape(shape, name);
  m_document->ModelChanged();
  gLogMsg.Format(L"xscn.RenameShape \"%s\",\"%s\"", quoted(old), quoted(name));
  journal();
  ClearPicks();
}

// ---- vertex moves ----

bool CThickSectionView::meshMadeFrom(const CShapeAnalysis* shape) const {
  CXSectionAnalysis* m = model();
  if (m == nullptr || shape == nullptr) return false;
  // A mesh's boundary follows the shape it was made from, or the profile
  // sub-section that was meshed as a whole.
  const CSubSection* owner = shape->subSection();
  const bool profile = owner != nullptr && owner->isFormedOrExtrudedSection();
  for (const CSubSection* sub : m->subSections)
    for (const CMesh* mesh : sub->meshes) {
      if (mesh->name == shape->name() || (profile && mesh->name == owner->name())) return true;
      for (int i = 0; i < mesh->nSegments; ++i) {
        const CString& follows = mesh->segments[i].curveName;
        if (follows == shape->name() || (profile && follows == owner->name())) return true;
      }
    }
  return false;
}

void CThickSectionView::OnMoveVertexToLocation() {
  if (model() == nullptr || m_document == nullptr) return;
  const std::vector<PickedDot> dots = pickedDots();
  if (dots.size() != 1) return;
  const PickedDot& vertex = dots.front();
  if (vertex.shape == nullptr) {
    showMessage(L"Vertex must be associated with a shape", kPickErrorCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The shape's old mesh would stay under every later analysis.
  if (meshMadeFrom(vertex.shape)) {
    showMessage(kMeshedShape, L"Move Shape", MB_OK | MB_ICONINFORMATION);
    return;
  }
  ViewPrompts* ask = prompts();
  double x = vertex.location.x;
  double y = vertex.location.y;
  if (ask == nullptr || !ask->askPoint(x, y)) return;
  Point<double> v(x - vertex.location.x, y - vertex.location.y, 0.0);
  if (!finite(v)) return;
  vertex.shape->translate(&v);
  gLogMsg.Format(L"xscn.TranslateShape \"%s\",%g,%g", quoted(vertex.shape->name()), v.x, v.y);
  journal();
  m_document->ModelChanged();
  RebuildAndRedraw();
}

void CThickSectionView::OnMoveVertexToVertex() {
  if (model() == nullptr || m_document == nullptr) return;
  const std::vector<PickedDot> dots = pickedDots();
  if (dots.size() != 2) return;
  CShapeAnalysis* shape = dots[0].shape;
  if (shape == nullptr) {
    showMessage(L"The first vertex selected must be associated with a shape", kPickErrorCaption,
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (meshMadeFrom(shape)) {
    showMessage(kMeshedShape, L"Move Shape", MB_OK | MB_ICONINFORMATION);
    return;
  }
  Point<double> v(dots[1].location.x - dots[0].location.x, dots[1].location.y - dots[0].location.y, 0.0);
  shape->translate(&v);
  gLogMsg.Format(L"xscn.TranslateShape \"%s\",%g,%g", quoted(shape->name()), v.x, v.y);
  journal();
  m_document->ModelChanged();
  RebuildAndRedraw();
}

void CThickSectionView::OnMirrorAboutVertex(bool horizontally) {
  if (model() == nullptr) return;
  const std::vector<PickedDot> dots = pickedDots();
  if (dots.size() != 1) return;
  mirrorPicked(false, dots.front().location, horizontally ? Point<double>(1, 0, 0) : Point<double>(0, 1, 0));
  fullView();
}

void CThickSectionView::OnRotateAboutVertex() {
  if (model() == nullptr || m_document == nullptr) return;
  auto* dialog = dynamic_cast<SectionDialog*>(m_rotateDialog);
  const std::vector<PickedDot> dots = pickedDots();
  if (dialog == nullptr || dots.size() != 1 || m_document->IsModelessDialogOpen(dialog)) return;
  dialog->setRotation(dots.front().location, 0.0, 0.0);
  dialog->setTransformMode(TransformMode::Selected, CString());
  dialog->setDocument(m_document, model());
  m_document->RegisterModelessDialog(dialog);
  dialog->show();
}

// ---- transformations ----

void CThickSectionView::OnTransform(SectionDialogKind kind, TransformMode mode, Point<double> direction) {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr) return;
  const CSubSection* sub = m->currentSubSection();
  if (sub != nullptr && sub->isUnionOn()) {
    showMessage(unionRefusal(kind, mode), kTransformCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  EnsureRootSubSection();
  ModelessDialog* slot = kind == SectionDialogKind::Rotate   ? m_rotateDialog
                         : kind == SectionDialogKind::Mirror ? m_mirrorDialog
                                                             : m_translateDialog;
  auto* dialog = dynamic_cast<SectionDialog*>(slot);
  // An open dialog is finished first: its numbers are the user's.
  if (dialog == nullptr || m_document->IsModelessDialogOpen(dialog)) return;
  dialog->setTransformMode(mode, mode == TransformMode::Duplicate ? nameGen() : CString());
  if (kind == SectionDialogKind::Mirror) dialog->setMirrorDirection(direction);
  dialog->setDocument(m_document, m);
  m_document->RegisterModelessDialog(dialog);
  dialog->show();
}
