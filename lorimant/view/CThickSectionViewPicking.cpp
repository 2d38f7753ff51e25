// The section view's picking: the selection pass around a clicked pixel,
// the choice among its hits, what a picked dot or shape sets off, the
// element and node value picks, and the queries on the pick list.
#include <cmath>
#include <stdexcept>
#include <unordered_set>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

constexpr GLsizei kSelectBufferSize = 512;
constexpr double kPickBox = 10.0;
constexpr int kResultRequestUnrestrained = 2;
constexpr int kResultRequestPlastic = 3;
constexpr int kStressResult = 3;
// The box a mesh label is picked by, in pixels: about the size of the
// drawn label (digit width 8, height 14).
constexpr double kLabelDigitWidth = 8.0;
constexpr double kLabelHeight = 14.0;

bool isDotRecord(const DspRecord* r) { return (r->type & SectionRecord::kDot) != 0; }

// The shape a record shows, or null when the record is no shape record.
CShapeAnalysis* recordShape(const DspRecord* r) {
  if (r == nullptr || r->type != SectionRecord::kShape || r->object == nullptr) return nullptr;
  return dynamic_cast<CShapeAnalysis*>(static_cast<CObject*>(r->object));
}

// A selection pass into buffer, ended however the drawing ends: the
// projection is popped and the render mode restored.
class SelectionPass {
 public:
  SelectionPass(GLuint* buffer, double x, double y, const GLint* viewport) {
    glSelectBuffer(kSelectBufferSize, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    GLint vp[4] = {viewport[0], viewport[1], viewport[2], viewport[3]};
    gluPickMatrix(x, y, kPickBox, kPickBox, vp);
  }
  ~SelectionPass() {
    if (!m_ended) end();
  }
  SelectionPass(const SelectionPass&) = delete;
  SelectionPass& operator=(const SelectionPass&) = delete;
  // Back to rendering: the hit count (0 after an overflow).
  int end() {
    m_ended = true;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const GLint hits = glRenderMode(GL_RENDER);
    return hits > 0 ? hits : 0;
  }

 private:
  bool m_ended = false;
};

// The first name of the first hit, or 0.
GLuint firstHitName(int hits, const GLuint* buffer) {
  const GLuint* hit = buffer;
  for (int h = 0; h < hits; ++h) {
    const GLuint names = hit[0];
    if (names > 0) return hit[3];
    hit += 3 + names;
  }
  return 0;
}

}  // namespace

// ---- the click ----

void CThickSectionView::pick(int x, int y, UINT typeMask) {
  if (m_panning || m_rubberBanding) return;
  if (!makeCurrent()) return;
  errCheck();
  if (m_stationDisplay) return;
  if (m_elementPick) {
    elementPick(x, y);
    return;
  }
  if (m_nodeValuePick) {
    nodeValuePick(x, y);
    return;
  }
  DspRecord* record = selectAt(x, y, typeMask);
  const bool resultRequest = m_pickMode == kResultRequestUnrestrained || m_pickMode == kResultRequestPlastic;
  // A result request needs no record under the click: a click outside
  // every shape hits none, and must still be told it is outside.
  if (record == nullptr && !resultRequest) {
    refresh();
    return;
  }
  // A second click on a picked record (or on another record of a picked
  // object) toggles the picks off.
  if (record != nullptr && (record->picked || (record->object != nullptr && isPicked(record->object)))) {
    turnOffPickFlags();
    refresh();
    errCheck();
    return;
  }
  bool dot = false;
  if (record != nullptr && isDotRecord(record)) {
    dotPicked(record);
    dot = true;
    addPickList(record);
  }
  if (record != nullptr && m_pickMode == 1 && record->type == SectionRecord::kShape) {
    addPickList(record);
    shapeSelected(record);
  }
  if (!dot && resultRequest) {
    CXSectionAnalysis* m = model();
    CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
    Point<double> p = m_lastPickPoint;
    if (sub == nullptr || !sub->isInsideOrOn(p)) {
      showMessage(L"Point is not inside or on a object of the subsection.", L"Result Request",
                  MB_OK | MB_ICONINFORMATION);
      return;
    }
    const bool unrestrained = m_pickMode == kResultRequestUnrestrained;
    ModelessDialog* dialog = unrestrained ? m_unrestrainedDialog : m_plasticDialog;
    if (auto* receiver = dynamic_cast<PickReceiver*>(dialog)) {
      sub->resultLocation(p.x, p.y, unrestrained ? receiver->resultChoice() == 0 : true);
      receiver->refreshResults();
    }
  } else {
    errCheck();
  }
  refresh();
  errCheck();
}

DspRecord* CThickSectionView::selectAt(int x, int y, UINT typeMask) {
  if (!makeCurrent()) return nullptr;
  // The pass picks among the records of the model as it is now.
  updateDisplayLists();
  if (!makeCurrent()) return nullptr;
  projection();
  cameraPosition();
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const double flippedY = viewport[3] - y;
  Point<float> device(static_cast<float>(x), static_cast<float>(flippedY), 0.0f);
  Point<float> at;
  dev2model(&device, &at);
  m_lastPickPoint = Point<double>(at.x, at.y, 0.0);

  const double dx = m_windowMax.x - m_windowMin.x;
  const double dy = m_windowMax.y - m_windowMin.y;
  double diagonal2 = dx * dx + dy * dy;
  if (diagonal2 < 1e-40) diagonal2 = 0.0;
  if (std::sqrt(diagonal2) < 1e-8) return nullptr;

  GLuint buffer[kSelectBufferSize] = {};
  SelectionPass pass(buffer, x, flippedY, viewport);
  glOrtho(m_windowMin.x, m_windowMax.x, m_windowMin.y, m_windowMax.y, m_near, m_far);
  glMatrixMode(GL_MODELVIEW);
  m_layerCount = m_displayKind;
  ExecuteDisplayList(GL_SELECT, typeMask, 0, 1);
  const int hits = pass.end();
  DspRecord* chosen = processHits(hits, buffer, 0);
  m_lastPickedObject = chosen != nullptr ? chosen->object : nullptr;
  return chosen;
}

DspRecord* CThickSectionView::processHits(int hits, GLuint* buffer, UINT /*unused*/) {
  if (hits <= 0 || buffer == nullptr) return nullptr;
  DspRecord* choice = nullptr;
  double smallest = 1e10;
  const GLuint* hit = buffer;
  for (int h = 0; h < hits; ++h) {
    const GLuint names = hit[0];
    const GLuint name = names > 0 ? hit[3 + names - 1] : 0;
    hit += 3 + names;
    if (names == 0) continue;
    for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;) {
      DspRecord* r = m_displayList.GetNext(pos);
      if (static_cast<GLuint>(r->listId) != name || !r->pickable() || r->layer != 0) continue;
      // Higher pick priority wins whatever the hit order (picked records
      // are drawn, and hit, last); among equals the smallest shape.
      const CShapeAnalysis* shape = recordShape(r);
      const double area = shape != nullptr ? std::fabs(shape->area()) : 1e10;
      if (choice == nullptr || r->pickPriority > choice->pickPriority ||
          (r->pickPriority == choice->pickPriority && shape != nullptr && area < smallest)) {
        choice = r;
        smallest = shape != nullptr ? area : 1e10;
      }
    }
  }
  return choice;
}

// ---- what a pick sets off ----

void CThickSectionView::dotPicked(DspRecord* record) {
  const auto* dot = static_cast<const CDot*>(record->object);
  if (dot == nullptr) return;
  CString text;
  text.Format(L"Point at (%g,    %g)", dot->location.x, dot->location.y);
  setStatus(text.Left(100));
  // The point travels by value: the dot may be freed by the next rebuild.
  const Point<double> location = dot->location;
  // Exactly one of the four priority receivers, the first that exists;
  // without any, every open point-taking dialog.
  for (ModelessDialog* d : {m_pendingProfileDialog, m_shapeSelectionDialog, m_unrestrainedDialog, m_plasticDialog}) {
    if (d == nullptr) continue;
    if (auto* receiver = dynamic_cast<PickReceiver*>(d)) receiver->pointPicked(location);
    return;
  }
  for (ModelessDialog* d : m_pointDialogs) {
    if (d == nullptr || m_document == nullptr || !m_document->IsModelessDialogOpen(d)) continue;
    if (auto* receiver = dynamic_cast<PickReceiver*>(d)) receiver->pointPicked(location);
  }
}

void CThickSectionView::shapeSelected(DspRecord* record) {
  CShapeAnalysis* shape = recordShape(record);
  if (shape == nullptr) return;
  if (m_document != nullptr) {
    gLogMsg.Format(L"xscn.SelectShape \"%s\"", JournalQuotedText(shape->name()));
    m_document->LogIt();
  }
  ModelessDialog* dialog = m_shapeSelectionDialog;
  if (dialog != nullptr && m_document != nullptr && m_document->IsModelessDialogOpen(dialog)) {
    if (auto* receiver = dynamic_cast<PickReceiver*>(dialog)) receiver->shapePicked(shape);
    return;
  }
  CString text;
  text.Format(L"Shape %s", static_cast<const wchar_t*>(shape->name()));
  setStatus(text.Left(100));
}

// ---- element and node value picks ----

int CThickSectionView::labelPickPass(int x, int y, double nearPlane, const LabelNamer& labels) {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  if (sub == nullptr) throw std::logic_error("No current subsection");
  if (!makeCurrent()) return 0;
  projection();
  cameraPosition();
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const double flippedY = viewport[3] - y;
  const double dx = m_windowMax.x - m_windowMin.x;
  const double dy = m_windowMax.y - m_windowMin.y;
  if (std::sqrt(dx * dx + dy * dy) < 1e-8) return 0;
  SelectionPass pass(m_labelHits.data(), x, flippedY, viewport);
  glLoadName(static_cast<GLuint>(-1));
  glOrtho(m_windowMin.x, m_windowMax.x, m_windowMin.y, m_windowMax.y, nearPlane, 400.0);
  glMatrixMode(GL_MODELVIEW);
  // Each label is picked by a box of its drawn size around its point.
  const double perPixelX = m_width > 0 ? dx / m_width : 0.0;
  const double perPixelY = m_height > 0 ? dy / m_height : 0.0;
  auto box = [&](GLuint name, const Point<double>& at) {
    CStringA digits;
    digits.Format("%d", static_cast<int>(name));
    const double hw = 0.5 * kLabelDigitWidth * digits.GetLength() * perPixelX;
    const double hh = 0.5 * kLabelHeight * perPixelY;
    glLoadName(name);
    glRectd(at.x - hw, at.y - hh, at.x + hw, at.y + hh);
  };
  for (CMesh* mesh : sub->meshes) {
    labels(mesh, box);
    glFlush();
  }
  glFinish();
  return pass.end();
}

void CThickSectionView::elementPick(int x, int y) {
  const int hits = labelPickPass(x, y, 1.0, [](CMesh* mesh, const LabelBox& box) {
    for (const auto& e : mesh->quad4Elements) box(static_cast<GLuint>(e->number), e->center());
    for (const auto& e : mesh->trng3Elements) box(static_cast<GLuint>(e->id), e->center());
  });
  if (hits <= 0) return;
  CString text;
  text.Format(L"Element %d", static_cast<int>(firstHitName(hits, m_labelHits.data())));
  showMessage(text, L"Element Pick", MB_OK);
}

CFENodeAnalysis* CThickSectionView::nodeValuePick(int x, int y) {
  const int hits = labelPickPass(x, y, -2.5, [](CMesh* mesh, const LabelBox& box) {
    for (const auto& n : mesh->nodes)
      if (n) box(static_cast<GLuint>(n->id()), n->position);
  });
  if (hits <= 0) return nullptr;
  const int id = static_cast<int>(firstHitName(hits, m_labelHits.data()));
  CSubSection* sub = model()->currentSubSectionMutable();
  CFENodeAnalysis* found = nullptr;
  for (CMesh* mesh : sub->meshes) {
    for (const auto& n : mesh->nodes) {
      if (!n || n->id() != id) continue;
      found = n.get();
      CString text;
      if (stressDisplay(sub))
        text.Format(L"%g", n->result(nullptr, static_cast<RESULTS>(kStressResult)));
      else
        text.Format(L"Id is %d at (%g,%g)", id, n->position.x, n->position.y);
      showMessage(text, L"Node Value Pick", MB_OK);
      break;
    }
  }
  return found;
}

// ---- the pick list ----

void CThickSectionView::selectAllShapes() {
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  updateDisplayLists();
  for (const CSubSection* sub : m->subSections) {
    auto shapes = sub->getShapes();
    if (!shapes) continue;
    for (POSITION pos = shapes->GetHeadPosition(); pos != nullptr;)
      if (DspRecord* r = findDspRecord(static_cast<const void*>(shapes->GetNext(pos)))) addPickList(r);
  }
}

std::vector<CShapeAnalysis*> CThickSectionView::pickedShapes(bool* complete) const {
  std::vector<CShapeAnalysis*> shapes;
  std::unordered_set<const CShapeAnalysis*> seen;
  if (complete != nullptr) *complete = true;
  for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetNext(pos));
    if (r == nullptr) {
      if (complete != nullptr) *complete = false;
      break;
    }
    CShapeAnalysis* shape = r->picked == 1 ? recordShape(r) : nullptr;
    if (shape != nullptr && seen.insert(shape).second) shapes.push_back(shape);
  }
  return shapes;
}

std::vector<CString> CThickSectionView::pickedShapeNames() const {
  std::vector<CString> names;
  for (const CShapeAnalysis* s : pickedShapes()) names.push_back(s->name());
  return names;
}

bool CThickSectionView::anyPickedShapeInModel() {
  for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetNext(pos));
    if (r == nullptr) {
      showMessage(L"null value in picklist", L"picklist error", MB_OK | MB_ICONSTOP);
      continue;
    }
    const CShapeAnalysis* shape = r->picked == 1 ? recordShape(r) : nullptr;
    if (shape != nullptr && shape->inSection()) return true;
  }
  return false;
}

int CThickSectionView::pickedCount() {
  int n = 0;
  for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetNext(pos));
    if (r == nullptr) {
      ClearPicks();
      return 0;
    }
    n += r->picked == 1;
  }
  return n;
}

int CThickSectionView::pickedCountLenient() const {
  int n = 0;
  for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetNext(pos));
    n += r != nullptr && r->picked == 1;
  }
  return n;
}

bool CThickSectionView::twoPickedDots(Point<double>* first, Point<double>* second, CShapeAnalysis** owner) const {
  if (owner != nullptr) *owner = nullptr;
  Point<double>* out[2] = {first, second};
  int n = 0;
  CXSectionAnalysis* m = model();
  for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr && n < 2;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetNext(pos));
    if (r == nullptr) return false;
    if (!isDotRecord(r) || r->object == nullptr) continue;
    const auto* dot = static_cast<const CDot*>(r->object);
    if (out[n] != nullptr) *out[n] = dot->location;
    // The owning shape: the dot's client when the model holds it as a shape.
    if (n == 0 && owner != nullptr && m != nullptr && dot->client != nullptr)
      for (POSITION s = m->shapes.GetHeadPosition(); s != nullptr;) {
        CShapeAnalysis* shape = m->shapes.GetNext(s);
        if (shape == dot->client) *owner = shape;
      }
    ++n;
  }
  return n == 2;
}

void CThickSectionView::validatePickList() {
  for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos != nullptr;)
    if (dspRecord(COpenGLView::m_pickList.GetNext(pos)) == nullptr)
      showMessage(L"null value in picklist", L"picklist error", MB_OK | MB_ICONSTOP);
}

int CThickSectionView::showMessage(const CString& text, const CString& caption, UINT type) {
  if (m_pHost != nullptr) return m_pHost->messageBox(text, caption, type);
  return Hooks::messageBox(text, caption, type);
}
