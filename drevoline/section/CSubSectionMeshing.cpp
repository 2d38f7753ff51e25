// Making the meshes of a sub-section: one shape, or the union solid by solid
// with its holes; merging the meshes and welding them; and the look-ups the
// analyses use to find the element under a point.
#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/Hooks.h"

namespace {

constexpr int kMaxMeshHoles = 100;

// A new mesh with its kind, budget, owner and material set.
std::unique_ptr<CMesh> newMesh(const CString& name, ELEMENT_TYPE type, int e, int f, CXSectionAnalysis* model,
                               std::shared_ptr<CMetal> metal) {
  auto m = std::make_unique<CMesh>();
  m->name = name;
  m->elementType = type;
  m->maxRemoves = std::max(e, f);
  m->nRemoves = 0;
  m->setModel(model);
  m->material = std::move(metal);
  return m;
}

// Hands the model's local size controls of the named shape to the mesh
// before it is made (they count in its vertex allowance).
void takeSizeControls(CMesh& m, CXSectionAnalysis* model, const CString& shapeName) {
  if (model == nullptr)
    return;
  for (const LocalSizeControl& c : model->pendingSizeControls(shapeName))
    m.addLocalSizeControl(c.x, c.y, c.radius, c.size);
}

// Every boundary segment follows the named curve.
void nameSegments(CMesh& m, const CString& name, CCompositeCurve* curve) {
  for (int i = 0; i < m.nSegments; ++i) {
    m.segments[i].curveName = name;
    m.segments[i].curve = curve;
  }
}

// The message boxes of the mesh statistics.
void reportStatistics(CMesh& m) {
  if (CTriangle* t = m.findMinAngle(); t && t->minAngle < 1e-5) {
    CString text;
    text.Format(L"triangle with angle < 1 at (%g,%g),(%g,%g),(%g,%g) more nodes required", t->vertex(0)->x,
                t->vertex(0)->y, t->vertex(1)->x, t->vertex(1)->y, t->vertex(2)->x, t->vertex(2)->y);
    AfxMessageBox(text, MB_ICONWARNING);
  }
  CTriangle* worst = m.worstTriangle();
  CString text;
  text.Format(L"Number of triangle: %d     minimum angle: %g", m.nTriangles, worst ? worst->minAngle : 0.0);
  AfxMessageBox(text);
}

// What follows the mesh generator: smoothing, statistics, the element model.
void finishMesh(CMesh& m, int f) {
  for (int k = 0; k < 3; ++k)
    m.smooth();
  m.updateStats();
  if (f < 0)
    reportStatistics(m);
  if (!m.material)
    throw std::logic_error("material not defined");
  m.create2DFEM(1.0);
}

// One solid of a union with the holes that lie inside it.
struct Solid {
  CShapeAnalysis* shape = nullptr;
  std::vector<CCompositeCurve*> holes;
  std::vector<Point<double>> holePoints;
};

// The name of the k-th mesh (0-based) of a sub-section's meshing.
CString solidMeshName(const CString& base, std::size_t k) {
  if (k == 0)
    return base;
  CString n;
  n.Format(L"%s_%d", static_cast<const wchar_t*>(base), static_cast<int>(k + 1));
  return n;
}

}  // namespace

void CSubSection::meshShape(CShapeAnalysis* shape, ELEMENT_TYPE type, int n, double c, double d, int e, int f) {
  auto m = newMesh(shape->name(), type, e, f, scn(), shape->material());
  if (!m->material)
    throw std::logic_error("No material is defined for part.");
  takeSizeControls(*m, scn(), shape->name());
  m->create(n, shape->boundary, 0, nullptr, nullptr, d, m->material.get());
  nameSegments(*m, shape->name(), shape->boundary);
  finishMesh(*m, f);
  if (scn())
    scn()->forgetPendingSizeControls(shape->name());
  gLogMsg.Format(L"xscn.MeshShape \"%s\",%d, %d,%g,%g", JournalQuotedText(shape->name()),
                 static_cast<int>(type), n, d, c);
  meshes.push_back(m.release());
}

void CSubSection::meshSubSection(ELEMENT_TYPE type, int n, double c, double d, int e, int f) {
  // Sort the union into solids and holes, and check everything, before the
  // old meshes go: a refusal must leave them in place.
  std::vector<Solid> solids;
  std::vector<CShapeAnalysis*> holes;
  if (ShapeList* u = getUnionShapes()) {
    POSITION pos = u->GetHeadPosition();
    while (pos) {
      CShapeAnalysis* s = u->GetNext(pos);
      s->boundary->name(s->name());
      if (!s->isNegative()) {
        solids.push_back({s, {}, {}});
      } else {
        if (static_cast<int>(holes.size()) >= kMaxMeshHoles)
          throw "Number of holes exceed maximum";
        holes.push_back(s);
      }
    }
  }
  // A sub-section is meshed through its union: without one there is
  // nothing to mesh, whatever materials its shapes carry.
  if (solids.empty())
    throw std::logic_error("The sub-section's shapes are not united: unite the shapes with Union before meshing them "
                           "together.");
  if (std::any_of(solids.begin(), solids.end(), [](const Solid& s) { return !s.shape->material(); }))
    throw std::logic_error("No material is defined for part.");

  for (CShapeAnalysis* h : holes) {
    CCompositeCurve* curve = h->boundary;
    curve->polygon(true, d, -1);
    Point<double> lo, hi, inside;
    curve->extents(lo, hi);
    curve->findPointInside(0, lo, hi, &inside);
    // A single solid takes every hole; several take those inside them.
    Solid* owner = &solids.front();
    if (solids.size() > 1) {
      auto it = std::find_if(solids.begin(), solids.end(),
                             [&](const Solid& s) { return s.shape->boundary->inside(curve); });
      if (it == solids.end())
        continue;
      owner = &*it;
    }
    owner->holes.push_back(curve);
    owner->holePoints.push_back(inside);
  }

  deleteMesh();
  std::vector<std::unique_ptr<CMesh>> made;
  for (std::size_t k = 0; k < solids.size(); ++k) {
    Solid& s = solids[k];
    auto m = newMesh(solidMeshName(name(), k), type, e, f, scn(), s.shape->material());
    takeSizeControls(*m, scn(), s.shape->name());
    m->create(n, s.shape->boundary, static_cast<int>(s.holes.size()), s.holes.data(), s.holePoints.data(), d,
              m->material.get());
    for (int i = 0; i < m->nSegments; ++i)
      m->segments[i].curveName = name();
    finishMesh(*m, f);
    made.push_back(std::move(m));
  }
  gLogMsg.Format(L"xscn.MeshSubSection \"%s\",%d, %d,%g,%g", JournalQuotedText(name()),
                 static_cast<int>(type), n, d, c);
  for (auto& m : made)
    meshes.push_back(m.release());
  if (scn())
    for (const Solid& s : solids)
      scn()->forgetPendingSizeControls(s.shape->name());
}

void CSubSection::deleteSubSectionMeshes(const CString& base) {
  const std::wstring prefix = std::wstring(static_cast<const wchar_t*>(base)) + L"_";
  auto made = [&](const CMesh* m) {
    if (m->name == base)
      return true;
    const std::wstring n(static_cast<const wchar_t*>(m->name));
    if (n.size() <= prefix.size() || n.compare(0, prefix.size(), prefix) != 0)
      return false;
    const std::wstring k = n.substr(prefix.size());
    return std::all_of(k.begin(), k.end(), [](wchar_t ch) { return ch >= L'0' && ch <= L'9'; }) && k != L"0" &&
           k != L"1" && k[0] != L'0';
  };
  auto doomed = std::stable_partition(meshes.begin(), meshes.end(), [&](const CMesh* m) { return !made(m); });
  for (auto it = doomed; it != meshes.end(); ++it)
    delete *it;
  meshes.erase(doomed, meshes.end());
}

// ---- merging and welding ----

void CSubSection::merge() {
  // Each weld may add up to four boundary segments when it is carried out.
  const int extraSegments = 4 * static_cast<int>(welds.size());
  while (meshes.size() >= 2) {
    std::unique_ptr<CMesh> a(meshes[0]);
    std::unique_ptr<CMesh> b(meshes[1]);
    meshes.erase(meshes.begin(), meshes.begin() + 2);
    const int extraEdges = static_cast<int>(std::ceil(0.3 * (a->nEdges + b->nEdges)));
    const int extraTriangles = static_cast<int>(std::ceil(0.2 * (a->nTriangles + b->nTriangles)));
    auto joined = std::make_unique<CMesh>();
    joined->setModel(scn());
    joined->merge(std::move(a), std::move(b), extraEdges, extraTriangles, extraSegments);
    meshes.push_back(joined.release());
  }
  if (meshes.size() != 1)
    throw std::logic_error("merge of meshes failed");
  meshes.front()->name = L"root";
}

bool CSubSection::createWeld(Point<double>& corner1, Point<double>& corner2) {
  auto w = std::make_unique<CWeld>(name());
  w->pt1 = Point<double>(corner1.x, corner1.y, 0.0);
  w->pt2 = Point<double>(corner2.x, corner2.y, 0.0);
  w->limits();
  if (!findMeshes(w.get()))
    return false;
  welds.push_back(w.release());
  return true;
}

bool CSubSection::findMeshes(CWeld* w) {
  w->mesh1 = L"";
  w->mesh2 = L"";
  double sum = 0.0;
  int count = 0;
  for (CMesh* m : meshes) {
    for (int i = 0; i < m->nSegments; ++i) {
      CSegment& s = m->segments[i];
      s.curve = m->findCompositeCurve(s.vertexA->x, s.vertexA->y, s.curveName);
      if (!s.curve)
        throw std::logic_error("Segment lacks an associated curve");
      if (!w->inBox(s.vertexA) || !w->inBox(s.vertexB))
        continue;
      const double dx = s.vertexB->x - s.vertexA->x;
      const double dy = s.vertexB->y - s.vertexA->y;
      sum += dx * dx + dy * dy;
      ++count;
      if (w->mesh1.IsEmpty()) {
        w->mesh1 = s.curveName;
        w->curve1 = s.curve;
      } else if (s.curveName != w->mesh1) {
        if (w->mesh2.IsEmpty()) {
          w->mesh2 = s.curveName;
          w->curve2 = s.curve;
          break;  // the rest of this mesh's segments are skipped
        }
        if (s.curveName != w->mesh2)
          return false;
      }
    }
  }
  // A box over the border of a single mesh has nothing to join it to.
  if (count == 0 || sum == 0.0 || w->mesh2.IsEmpty())
    return false;
  w->tolerance = 0.2 * sum / count;
  return true;
}

void CSubSection::executeWelds() {
  merge();
  if (meshes.size() != 1)
    throw std::logic_error("Connect weld with out having a single merged mesh defined.");
  std::unique_ptr<CMesh> m(meshes.front());
  meshes.clear();
  try {
    for (CWeld* w : welds) {
      m->weld(w);
      m->verifyEdges();
    }
  } catch (const std::exception& e) {
    AfxMessageBox(CString(e.what()));
  }
  for (CWeld* w : welds)
    delete w;
  welds.clear();
  m->clearFEM();
  m->create2DFEM(1.0);
  meshes.push_back(m.release());
}

// ---- look-ups ----

bool CSubSection::isMeshed() const {
  if (!meshes.empty())
    return true;
  auto all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos)
    if (!hasMesh(all->GetNext(pos)->name()))
      return false;
  return true;
}

void CSubSection::meshExtents(Point<double>& min, Point<double>& max) {
  bool first = true;
  for (CMesh* m : meshes) {
    Point<double> lo, hi;
    m->extents(lo, hi);
    if (first) {
      min = lo;
      max = hi;
      first = false;
      continue;
    }
    min.x = std::min(min.x, lo.x);
    min.y = std::min(min.y, lo.y);
    max.x = std::max(max.x, hi.x);
    max.y = std::max(max.y, hi.y);
  }
}

namespace {

// lo <= p <= hi in x and y (edges included).
bool inBox(const Point<double>& p, const Point<double>& lo, const Point<double>& hi) {
  return lo.x <= p.x && p.x <= hi.x && lo.y <= p.y && p.y <= hi.y;
}

// lo < p < hi in x and y.
bool strictlyInBox(const Point<double>& p, const Point<double>& lo, const Point<double>& hi) {
  return lo.x < p.x && p.x < hi.x && lo.y < p.y && p.y < hi.y;
}

// The first element of the meshes' lists that holds p; null when none.
template <class Element, class ListOf>
Element* findElement(std::vector<CMesh*>& meshes, const Point<double>* p, ListOf list) {
  exactinit();
  for (CMesh* m : meshes) {
    Point<double> lo, hi;
    m->extents(lo, hi);
    if (!inBox(*p, lo, hi))
      continue;
    for (auto& el : list(*m)) {
      Point<double> elo, ehi;
      el->extents(elo, ehi);
      if (strictlyInBox(*p, elo, ehi) && el->contains(p))
        return el.get();
    }
  }
  return nullptr;
}

}  // namespace

CFETrng3* CSubSection::findTrng3Element(Point<double>* p) {
  return findElement<CFETrng3>(meshes, p, [](CMesh& m) -> auto& { return m.trng3Elements; });
}

CFEQuad4* CSubSection::findQuad4Element(Point<double>* p) {
  return findElement<CFEQuad4>(meshes, p, [](CMesh& m) -> auto& { return m.quad4Elements; });
}
