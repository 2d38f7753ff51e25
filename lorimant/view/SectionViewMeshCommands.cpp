// The section view's mesh and weld commands: Mesh Selected, Move Child
// Meshes To Root Section, the local size control, Create Weld, Delete Welds
// and Execute Welds. Each changes the model through the same calls as the
// automation method its journal line names, so that a replayed journal
// builds the same meshes.
#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/mesh/MeshTypes.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

namespace C = SectionCommand;

constexpr const wchar_t* kMeshingCaption = L"Meshing";
constexpr const wchar_t* kMeshFailureCaption = L"Mesh Creation Failure";
constexpr const wchar_t* kSizeControlCaption = L"Local Size Control Failure";
constexpr const wchar_t* kWeldCaption = L"Weld Construction";
constexpr const wchar_t* kComputationCaption = L"Computation Error";
constexpr const wchar_t* kWeldPrompt =
    L"Draw a NARROW rectangular box on the border between two objects you want to  treat as effectively welded "
    L"together.";

// The meshing budget the view hands the model after the dialog's last value.
constexpr int kMeshBudget = 100000;
// A weld box whose diagonal is shorter is taken for a click, not a box.
constexpr double kSmallestWeldBox = 1e-4;

// The element types of the mesh dialog: its flag, the mesher's type and the
// automation constant the journal line names.
struct ElementType {
  int flag;
  ELEMENT_TYPE type;
  const wchar_t* text;
};

constexpr ElementType kElementTypes[] = {
    {0, TRNG3, L"TRIANGLE_3NODES"},
    {1, QUAD4, L"QUAD_4NODES"},
};

const ElementType& elementType(int flag) {
  for (const ElementType& t : kElementTypes)
    if (t.flag == flag) return t;
  throw std::logic_error("Unknown element type.");
}

CString quoted(const CString& s) { return JournalQuotedText(s); }

// The sub-section of a profile that holds shape; null for any other shape.
CSubSection* profileOf(const CShapeAnalysis* shape) {
  CSubSection* owner = shape->subSection();
  return owner != nullptr && owner->isFormedOrExtrudedSection() ? owner : nullptr;
}

}  // namespace

void CThickSectionView::registerMeshCommands() {
  // What asks the window (a dialog or the mouse) runs only with one.
  const auto windowed = [this] { return sectionHost() != nullptr; };
  registerCommand(C::MeshSelected, [this](int) { OnCreate2DMesh(); }, windowed);
  registerCommand(C::LocalMeshSize, [this](int) { OnLocalSizeControl(); }, windowed);
  registerCommand(C::CreateWeld, [this](int) { OnCreateWeld(); }, windowed);
  registerCommand(C::MoveChildMeshes, [this](int) { OnMoveChildMeshes(); });
  registerCommand(C::DeleteWelds, [this](int) { OnDeleteWelds(); });
  registerCommand(C::ExecuteWelds, [this](int) { OnExecuteWelds(); });
  registerCommand(C::SetMaterialAll, [this](int) { OnSetMaterialAll(); }, windowed);
  registerCommand(C::SetMaterialSelected, [this](int) { OnSetMaterialSelected(); }, windowed);
  registerCommand(C::SetMaterialContext, [this](int) { OnSetMaterialSelected(); }, windowed);
  registerCommand(C::EditMaterials, [this](int) { OnEditMaterials(); }, windowed);
}

// ---- meshes ----

void CThickSectionView::OnCreate2DMesh() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || m_document == nullptr || ask == nullptr) return;
  if (m->currentSubSectionMutable() == nullptr) throw std::logic_error("current subsection does not exist");
  CWaitCursor wait;
  CString failure;
  try {
    MeshParameters parameters;
    if (ask->meshParameters(parameters)) {
      const ElementType& type = elementType(parameters.elementType);
      // A profile is meshed as a whole: two of its pieces picked mesh it once.
      std::vector<const CSubSection*> profilesMeshed;
      bool stopped = false;
      for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr && !stopped;) {
        const DspRecord* r = findDspRecord(COpenGLView::m_pickList.GetNext(pos));
        if (r == nullptr) throw std::logic_error("null pointer to selected object");
        if (r->kind != SectionRecord::kShapeKind || r->object == nullptr) continue;
        auto* shape = static_cast<CShapeAnalysis*>(r->object);
        if (shape->isNegative()) {
          showMessage(L"Meshing negative objects is not allowed.", kMeshingCaption, MB_OK | MB_ICONINFORMATION);
          stopped = true;
        } else if (!shape->material()) {
          showMessage(L"Material must be defined for object before it may be meshed", kMeshingCaption,
                      MB_OK | MB_ICONINFORMATION);
          stopped = true;
        } else if (CSubSection* profile = profileOf(shape)) {
          if (std::find(profilesMeshed.begin(), profilesMeshed.end(), profile) != profilesMeshed.end()) continue;
          profilesMeshed.push_back(profile);
          m->meshSubSection(profile, type.type, parameters.nodes, parameters.thickness, parameters.tolerance,
                            parameters.lastValue, kMeshBudget);
          gLogMsg.Format(L"xscn.MeshSubSection \"%s\", %s,%d,%g,%g", quoted(profile->name()), type.text,
                         parameters.nodes, parameters.tolerance, parameters.thickness);
          journal();
        } else {
          m->meshShape(shape, type.type, parameters.nodes, parameters.thickness, parameters.tolerance,
                       parameters.lastValue, kMeshBudget);
          gLogMsg.Format(L"xscn.MeshShape \"%s\",%s,%d,%g,%g", quoted(shape->name()), type.text, parameters.nodes,
                         parameters.tolerance, parameters.thickness);
          journal();
        }
      }
      if (!stopped) ClearPicks();
    }
  } catch (const std::exception& e) {
    failure = CString(e.what());
  } catch (const wchar_t* text) {
    failure = CString(text);
  } catch (const char* text) {
    failure = CString(text);
  }
  if (!failure.IsEmpty()) showMessage(failure, kMeshFailureCaption, MB_OK | MB_ICONSTOP);
  RebuildAndRedraw();
  m_document->ModelChanged();
}

void CThickSectionView::OnMoveChildMeshes() {
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  changeJournalled([m] { m->moveMeshesToRoot(); }, L"xscn.MoveSubSectionMeshesToRoot");
}

void CThickSectionView::changeJournalled(const std::function<void()>& change, const wchar_t* line) {
  if (m_document == nullptr) return;
  try {
    change();
  } catch (const std::exception& e) {
    showMessage(CString(e.what()), kComputationCaption, MB_OK | MB_ICONEXCLAMATION);
    RebuildAndRedraw();
    return;
  }
  RebuildAndRedraw();
  journal(line);
  m_document->ModelChanged();
}

void CThickSectionView::OnLocalSizeControl() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || m_document == nullptr || ask == nullptr) return;
  double size = 0.2;
  double radius = 0.0;
  if (!ask->localControl(size, radius)) return;
  // A size or radius of zero or less would ask the mesher for endless
  // refinement at the next meshing.
  if (!(size > 0.0) || !(radius > 0.0) || !std::isfinite(size) || !std::isfinite(radius)) {
    showMessage(L"The element size and the radius must be positive.", kSizeControlCaption, MB_OK | MB_ICONSTOP);
    return;
  }
  for (const PickedDot& dot : pickedDots()) {
    if (dot.shape == nullptr) {
      showMessage(L"Point is not associated with a shape.", kSizeControlCaption, MB_OK | MB_ICONSTOP);
      return;
    }
    // The model keeps the control for the shape's next meshing, as the
    // replay of the line does.
    m->addPendingSizeControl(dot.shape->name(), LocalSizeControl{dot.location.x, dot.location.y, radius, size});
    gLogMsg.Format(L"xscn.AddLocalSizeControl \"%s\",%g,%g,%g,%g", quoted(dot.shape->name()), dot.location.x,
                   dot.location.y, size, radius);
    journal();
  }
  m_document->ModelChanged();
  ClearPicks();
}

// ---- welds ----

void CThickSectionView::OnCreateWeld() {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m_document == nullptr || m->currentSubSectionMutable() == nullptr) return;
  setStatus(kWeldPrompt);
  if (SectionViewHost* window = sectionHost()) window->requestAttention();
  rubberBox([this](const Point<double>& a, const Point<double>& b) { createWeldIn(a, b); });
}

void CThickSectionView::createWeldIn(const Point<double>& a, const Point<double>& b) {
  setStatus(CString());
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr || m_document == nullptr) return;
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  if (!(std::sqrt(dx * dx + dy * dy) >= kSmallestWeldBox)) return;
  m_document->ModelChanged();
  Point<double> first = a;
  Point<double> second = b;
  bool made = false;
  try {
    made = sub->createWeld(first, second);
  } catch (const std::exception& e) {
    showMessage(CString(e.what()), kWeldCaption, MB_OK | MB_ICONSTOP);
    return;
  }
  if (!made) {
    showMessage(L"The weld rectangle must contain only border elements of two meshes", kWeldCaption,
                MB_OK | MB_ICONSTOP);
    return;
  }
  RebuildAndRedraw();
  gLogMsg.Format(L"xscn.CreateWeld %g,%g,%g,%g", a.x, a.y, b.x, b.y);
  journal();
  m_document->ModelChanged();
}

void CThickSectionView::OnDeleteWelds() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr) return;
  changeJournalled(
      [sub] {
        for (CWeld* weld : sub->welds) delete weld;
        sub->welds.clear();
      },
      L"xscn.DeleteWelds");
}

void CThickSectionView::OnExecuteWelds() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr) return;
  changeJournalled([sub] { sub->executeWelds(); }, L"xscn.ExecuteWelds");
}
