// The section view: construction, first update, activation, update hints,
// picks and the commands handled without a window.
#include "lorimant/view/CThickSectionView.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "analysis/model/CDot.h"
#include "analysis/model/CGrid.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/views/CPrintInfoDlg.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"

IMPLEMENT_DYNCREATE(CThickSectionView, CBaseScnView)

namespace {

CThickSectionView* gCurrentSectionView = nullptr;

// The status text of a cleared selection.
constexpr const wchar_t* kHelpStatus = L"For Online Help visit https://lorimant.example.org/help";

// Update hints of the document.
constexpr LONG_PTR kHintFit1 = 6;
constexpr LONG_PTR kHintFit2 = 34;
constexpr LONG_PTR kHintFit3 = 48;
constexpr LONG_PTR kHintGrid = 41;

// The pick list's records in pick order, null for an entry without a
// record. One lookup table for the whole walk: the command state is asked
// for every command on every update, with every shape possibly picked.
std::vector<const DspRecord*> pickedRecords(const CThickSectionView& view) {
  std::unordered_map<int, const DspRecord*> byId;
  byId.reserve(static_cast<std::size_t>(view.m_displayList.GetCount()));
  for (POSITION pos = view.m_displayList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = view.m_displayList.GetNext(pos);
    byId.emplace(r->listId, r);  // the first record of an id, as the list's own search
  }
  std::vector<const DspRecord*> records;
  for (POSITION pos = view.COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr;) {
    const int id = view.COpenGLView::m_pickList.GetNext(pos);
    const auto it = byId.find(id);
    records.push_back(it != byId.end() ? it->second : view.dspRecord(id));
  }
  return records;
}

}  // namespace

CPrintInfoDlg* CThickSectionView::printInfo() {
  static CPrintInfoDlg settings;
  return &settings;
}

CThickSectionView::CThickSectionView() {
  m_pActiveList = &m_displayList;
  m_pPrintInfo = printInfo();
  gCurrentSectionView = this;
  registerWindowCommands();
}

CThickSectionView::~CThickSectionView() {
  // The window forgets the view before anything of it goes.
  SectionViewHost* window = sectionHost();
  if (window != nullptr) window->viewDestroyed();
  for (auto* slot : {&m_basicShapeOwned, &m_rotateOwned, &m_mirrorOwned, &m_translateOwned, &m_pointSetOwned,
                     &m_profileOwned, &m_relativePointOwned, &m_bendingOwned, &m_plasticOwned})
    releaseDialog(*slot);
  for (auto& entry : m_calculatorsOwned) releaseDialog(entry.second);
  if (m_document != nullptr && m_document->activeView() == this) m_document->setActiveView(nullptr);
  if (gCurrentSectionView == this) gCurrentSectionView = nullptr;
  if (m_tess != nullptr) gluDeleteTess(m_tess);
  // The base deletes the records in this view's context; the own host goes
  // first and the window is told to forget the view, so the base must
  // reach neither.
  if (m_ownHost || window != nullptr) setHost(nullptr);
}

std::unique_ptr<CThickSectionView> CThickSectionView::createFor(CXSectionAnalysisDoc& doc, int width, int height) {
  auto view = std::make_unique<CThickSectionView>();
  view->m_ownHost = std::make_unique<HeadlessViewHost>(width, height);
  view->setHost(view->m_ownHost.get());
  view->setDocument(&doc);
  view->OnCreate();
  view->OnSize(0, width, height);
  if (view->buffer() == nullptr || !view->buffer()->isValid())
    throw std::logic_error("OpenGL display failure");
  doc.setActiveView(view.get());
  view->OnInitialUpdate();
  return view;
}

CThickSectionView* CThickSectionView::current() { return gCurrentSectionView; }

CXSectionAnalysis* CThickSectionView::model() const {
  return m_document != nullptr ? m_document->model() : nullptr;
}

void CThickSectionView::setStatus(const CString& text) {
  m_status = text;
  if (m_pHost != nullptr)
    m_pHost->statusText(text);
  else
    Hooks::statusText(text);
}

void CThickSectionView::OnInitialUpdate() {
  if (!m_modelessCreated) CreateModelessDialogs();
  if (m_initialised) return;
  errCheck();
  m_status.Empty();
  COpenGLView::m_pickList.RemoveAll();
  pickList().clear();
  m_hold = 0;
  m_labelMode = 0;
  m_gridShown = 1;
  m_viewName = L"SectionView";
  COpenGLView::OnInitialUpdate();
  if (m_document != nullptr && m_document->model() != nullptr) m_document->MakeCurrent();
  if (m_tess == nullptr) {
    // Grid list item 0, "Behind".
    m_gridPriority = 1;
    if (makeCurrent()) {
      // The label fonts of the view's context (flat text and grid labels).
      if (m_DefaultFlatTextID == -1) GenerateDefaultFonts(nullptr, nullptr);
      m_tess = gluNewTess();
    }
    m_initialised = 1;
    m_unlabelledCheck = 1;
    errCheck();
  }
  OnUpdate(nullptr, kHintFit1, nullptr);
  // Built with the first picture or pick, not before.
  if (model() != nullptr) markListsOutOfDate();
  RefreshScene();
}

void CThickSectionView::OnActivateView(BOOL activate, CBaseViewer* activated, CBaseViewer* /*deactivated*/) {
  COpenGLView::OnActivateView(activate);
  if (!activate) return;
  if (activated != nullptr && dynamic_cast<CThickSectionView*>(activated) == nullptr)
    throw std::logic_error("Unrecognized view class");
  CXSectionAnalysis* m = model();
  if (m == nullptr) throw std::logic_error("vAveVAvezeze undefined");
  vAveVAvezeze = m;
  gCurrentSectionView = this;
  if (!m_displayList.IsEmpty()) {
    RefreshScene();
    fullView();
  }
  if (m_document != nullptr) m_document->frame()->RefreshSectionTree();
}

void CThickSectionView::OnUpdate(CBaseViewer* /*sender*/, LONG_PTR hint, CObject* hintObject) {
  makeCurrent();
  m_far = 400.0;
  m_eye.z = 100.0f;
  switch (hint) {
    case kHintFit1:
    case kHintFit2:
    case kHintFit3:
      fullView();
      break;
    case kHintGrid: {
      CXSectionAnalysis* m = model();
      if (m != nullptr && hintObject != nullptr && hintObject == static_cast<CObject*>(m->grid)) postGridRecords();
      RefreshScene();
      break;
    }
    default:
      // A diagnostic for the window's user: a view on its own windowless
      // host (a run without a window) has nobody to tell.
      if (!m_ownHost || m_pHost != m_ownHost.get()) std::printf("Unrecognized Viewer::2D model event\n");
      break;
  }
}

void CThickSectionView::OnPaint() {
  if (model() == nullptr) return;
  try {
    if (renderPixels() != nullptr) bitmapRedraw(GL_RENDER, 0xFFFFFFFFu, 0);
  } catch (const CException&) {
    // A failed paint leaves the previous picture; the next paint tries again.
  }
}

BOOL CThickSectionView::OnEraseBkgnd() {
  if (makeCurrent()) {
    glClearColor(m_background[0], m_background[1], m_background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_pictureStale = true;
  }
  return TRUE;
}

void CThickSectionView::RenderScene() {
  if (m_initialised) RefreshScene();
}

void CThickSectionView::RebuildAndRedraw() {
  if (!m_redrawEnabled || model() == nullptr) return;
  markListsOutOfDate();
  RefreshScene();
}

void CThickSectionView::markListsOutOfDate() {
  // What a rebuild did at once stays at once: the picks go (the records
  // they name may show freed objects) and the model gets its "root".
  ClearPicks();
  EnsureRootSubSection();
  m_listsStale = true;
}

void CThickSectionView::ClearPicks() {
  if (model() == nullptr) return;
  if (auto* shapes = dynamic_cast<SectionDialog*>(m_basicShapeDialog);
      shapes != nullptr && m_document != nullptr && m_document->IsModelessDialogOpen(shapes))
    shapes->clearPickFields();
  turnOffPickFlags();
  pickList().clear();
  RefreshScene();
  setStatus(kHelpStatus);
}

void CThickSectionView::EnsureRootSubSection() {
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  m_document->AskUnitSystem();
  if (!m->subSections.empty()) return;
  auto* root = new CSubSection(m, nullptr);
  root->name(L"root");
  m->subSections.push_back(root);
  CString name(L"root");
  m->setSubSection(name);
}

void CThickSectionView::fullView() {
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  const CRect client = clientRect();
  if (client.Width() <= 0 || client.Height() <= 0) return;
  width(client.Width());
  height(client.Height());
  const double aspect = static_cast<double>(client.Height()) / client.Width();
  ratio(static_cast<float>(aspect));
  Point<double> lo(-10, -10, 0), hi(10, 10, 0);
  if (CSubSection* sub = m->currentSubSectionMutable(); sub != nullptr && sub->nShapes() > 0) {
    sub->extents(&lo, &hi);
  }
  if (hi.x - lo.x < 0.001 && hi.y - lo.y < 0.001) {
    lo = Point<double>(-10, -10, 0);
    hi = Point<double>(10, 10, 0);
  }
  m_center = Point<float>(static_cast<float>((lo.x + hi.x) / 2), static_cast<float>((lo.y + hi.y) / 2), 0.0f);
  m_eye = Point<float>(m_center.x, m_center.y, 100.0f);
  // Both the width and the height must fit, whatever the window's shape.
  const double w = hi.x - lo.x;
  const double h = hi.y - lo.y;
  const double half = 0.6 * std::max(w, h / aspect);
  viewWindow(static_cast<float>(half));
  RefreshScene();
}

std::unordered_set<const void*> CThickSectionView::objectsHeld() const {
  std::unordered_set<const void*> held;
  CXSectionAnalysis* m = model();
  if (m == nullptr) return held;
  held.insert(m);
  if (m->grid != nullptr) held.insert(m->grid);
  for (POSITION pos = m->shapes.GetHeadPosition(); pos != nullptr;) held.insert(m->shapes.GetNext(pos));
  for (const CSubSection* sub : m->subSections) {
    held.insert(sub);
    held.insert(sub->dots.begin(), sub->dots.end());
    held.insert(sub->constructionPoints.begin(), sub->constructionPoints.end());
    held.insert(sub->meshes.begin(), sub->meshes.end());
  }
  return held;
}

// ---- commands ----

SectionViewState CThickSectionView::commandState() const {
  SectionViewState s;
  s.labelMode = m_labelMode;
  s.positionPoints = m_positionPoints != 0;
  s.meshDisplay = m_meshDisplay != 0;
  s.nodeIds = m_nodeIds != 0;
  s.elementIds = m_elementIds != 0;
  s.gridShown = m_gridShown != 0;
  s.unlabelledCheck = m_unlabelledCheck != 0;
  s.picks = static_cast<int>(COpenGLView::m_pickList.GetCount());
  s.profilePending = m_pendingProfileDialog != nullptr;
  s.bendingOpen = m_bendingDialog != nullptr;
  CXSectionAnalysis* m = model();
  if (m_document != nullptr) {
    s.canUndo = m_document->CanUndo();
    s.canRedo = m_document->CanRedo();
    s.basicShapeOpen = m_basicShapeDialog != nullptr && m_document->IsModelessDialogOpen(m_basicShapeDialog);
    s.pointSetOpen = m_pointSetDialog != nullptr && m_document->IsModelessDialogOpen(m_pointSetDialog);
  }
  bool countingDots = true;  // the points are counted up to an entry without a record
  for (const DspRecord* r : pickedRecords(*this)) {
    if (r == nullptr) {
      countingDots = false;
      continue;
    }
    s.pickedPoints += countingDots && (r->type & SectionRecord::kDot) != 0;
    if (!r->picked || r->kind != SectionRecord::kShapeKind) continue;
    ++s.pickedShapes;
    // One shape in the section is enough: the test lists the whole tree.
    if (m != nullptr && !s.pickedShapeInSection && static_cast<const CShapeAnalysis*>(r->object)->inSection())
      s.pickedShapeInSection = true;
  }
  if (m == nullptr) return s;
  s.modelExists = true;
  s.databasePathSet = !m->materialDatabasePath.IsEmpty();
  s.modelShapes = static_cast<int>(m->shapes.GetCount());
  for (const CSubSection* sub : m->subSections)
    if (sub->parent() != nullptr && !sub->meshes.empty()) s.childMesh = true;
  const CSubSection* sub = m->currentSubSection();
  if (sub == nullptr) return s;
  s.currentSubSection = true;
  auto shapes = sub->getShapesRecursive();
  s.treeHasShape = !shapes->IsEmpty();
  for (POSITION pos = shapes->GetHeadPosition(); pos != nullptr;)
    if (shapes->GetNext(pos)->material()) s.shapeWithMaterial = true;
  s.meshes = static_cast<int>(sub->meshes.size());
  s.welds = static_cast<int>(sub->welds.size());
  s.unionOn = sub->unionShapes != nullptr && !sub->unionShapes->IsEmpty();
  s.resultLocations = !sub->resultLocations.empty();
  return s;
}

void CThickSectionView::toggleMeshIds(bool elements) {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr) return;
  if (sub->meshes.size() > 1) sub->merge();
  int& flag = elements ? m_elementIds : m_nodeIds;
  int& other = elements ? m_nodeIds : m_elementIds;
  flag = !flag;
  if (flag) other = 0;
  RefreshScene();
}

bool CThickSectionView::isOwnCommand(UINT id) {
  namespace C = SectionCommand;
  static constexpr UINT kOwn[] = {C::SectionProperties, C::FullView,        C::FullViewAlias,   C::ShapeIds,
                                  C::PositionPoints,    C::ShowMaterials,   C::DisplayMesh,     C::DisplayElementIds,
                                  C::DisplayNodeIds,    C::ToggleGrid,      C::ClearPicks,      C::UnpickLast,
                                  C::UnlabelledCheck,   C::Rebuild,         C::RefreshPoints,   C::RecomputeProperties,
                                  C::ClearResultLocations};
  return std::find(std::begin(kOwn), std::end(kOwn), id) != std::end(kOwn);
}

bool CThickSectionView::OnCommand(UINT id) {
  namespace C = SectionCommand;
  if (!OnUpdateCommand(id).enabled) return false;
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  switch (id) {
    case C::SectionProperties: OnSectionProperties(); return true;
    case C::FullView:
    case C::FullViewAlias:
      fullView();
      if (m_pHost != nullptr) m_pHost->invalidate(true);
      return true;
    case C::ShapeIds:
      m_labelMode = m_labelMode == 2 ? 0 : 2;
      RefreshScene();
      return true;
    case C::PositionPoints: m_positionPoints = !m_positionPoints; RefreshScene(); return true;
    case C::ShowMaterials: m_labelMode = m_labelMode != 1 ? 1 : 0; RefreshScene(); return true;
    case C::DisplayMesh:
      m_meshDisplay = !m_meshDisplay;
      RebuildAndRedraw();
      for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;) {
        DspRecord* r = m_displayList.GetNext(pos);
        if ((r->type & SectionRecord::kMesh) == SectionRecord::kMesh) r->visible = static_cast<BYTE>(m_meshDisplay);
      }
      RefreshScene();
      return true;
    case C::DisplayElementIds: toggleMeshIds(true); return true;
    case C::DisplayNodeIds: toggleMeshIds(false); return true;
    case C::ToggleGrid:
      SetGridPosition(m_gridShown ? GridPosition::NoShow
                                  : (m_gridPriority == 7 ? GridPosition::InFront : GridPosition::Behind));
      return true;
    case C::ClearPicks: ClearPicks(); return true;
    case C::UnpickLast: unpickLast(); RefreshScene(); return true;
    case C::UnlabelledCheck: m_unlabelledCheck = !m_unlabelledCheck; RebuildAndRedraw(); return true;
    case C::Rebuild: makeCurrent(); RebuildAndRedraw(); return true;
    case C::RefreshPoints:
      if (sub != nullptr) sub->refreshDots();
      RebuildAndRedraw();
      return true;
    case C::RecomputeProperties:
      if (sub != nullptr) {
        sub->scnPrpUTD(false);
        sub->computeProperties();
      }
      return true;
    case C::ClearResultLocations:
      if (sub != nullptr) {
        for (CResultLocation* r : sub->resultLocations) delete r;
        sub->resultLocations.clear();
      }
      // An open result dialog must not keep listing the locations just freed.
      for (ModelessDialog* d : {m_unrestrainedDialog, m_plasticDialog})
        if (auto* receiver = dynamic_cast<PickReceiver*>(d)) receiver->refreshResults();
      RefreshScene();
      return true;
    default: return false;
  }
}

void CThickSectionView::OnSectionProperties() {
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  vAveVAvezeze = m;
  CSubSection* sub = m->currentSubSectionMutable();
  SectionFrame* frame = m_document->frame();
  frame->SetResultSubSection(sub);
  try {
    if (sub != nullptr) sub->forceRecalcProperties();
    frame->FillPropertyLists();
  } catch (const std::exception& e) {
    CString text(e.what());
    if (m_pHost != nullptr)
      m_pHost->messageBox(text, CString(L"Computation Error"), MB_OK | MB_ICONEXCLAMATION);
    else
      Hooks::messageBox(text, CString(L"Computation Error"), MB_OK | MB_ICONEXCLAMATION);
  }
  RefreshScene();
}
