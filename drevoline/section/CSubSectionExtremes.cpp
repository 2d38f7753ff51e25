// The extreme result values of a sub-section: the largest and smallest
// stress or strain of the last analysis and where they occur.
#include <map>
#include <memory>

#include "analysis/model/CSectionForces.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"

namespace {

// The running extremes of one search: the values, where they occur and the
// FE nodes that hold them (null for a point that is not a node).
struct ExtremeScan {
  double lo = 1e20;
  double hi = -1e20;
  Point<double> loPoint;
  Point<double> hiPoint;
  std::shared_ptr<CFENodeAnalysis> loNode;
  std::shared_ptr<CFENodeAnalysis> hiNode;
  bool found = false;

  // Takes value at p (held by node) when it is strictly below the smallest
  // or strictly above the largest so far.
  void offer(double value, const Point<double>& p, const std::shared_ptr<CFENodeAnalysis>& node) {
    found = true;
    if (value < lo) {
      lo = value;
      loPoint = p;
      loNode = node;
    }
    if (value > hi) {
      hi = value;
      hiPoint = p;
      hiNode = node;
    }
  }
};

// The stored value of kind in a result table; 0 when it holds none, as the
// node's own look-up reads it.
double stored(const std::map<RESULTS, double>& table, RESULTS kind) {
  auto it = table.find(kind);
  return it == table.end() ? 0.0 : it->second;
}

// Offers every FE node of the meshes: a node where materials meet once per
// element result, any other node with its own value.
void scanMeshNodes(const std::vector<CMesh*>& meshes, RESULTS kind, ExtremeScan& scan) {
  for (const CMesh* mesh : meshes) {
    for (const std::shared_ptr<CFENodeAnalysis>& node : mesh->nodes) {
      if (node->isSplitMaterial()) {
        for (const CElementResults& r : node->elementResults)
          scan.offer(stored(r.results, kind), node->position, node);
      } else {
        scan.offer(stored(node->results, kind), node->position, node);
      }
    }
  }
}

// Writes the search's extremes of kind into the section forces.
void storeExtremes(CSectionForces* sf, RESULTS kind, const ExtremeScan& scan) {
  sf->minNode = scan.loNode;
  sf->maxNode = scan.hiNode;
  if (!scan.found)
    return;
  if (kind == STRAIN_ZZ) {
    sf->minStrain = scan.lo;
    sf->maxStrain = scan.hi;
    sf->minStrainPoint = scan.loPoint;
    sf->maxStrainPoint = scan.hiPoint;
  } else if (kind == STRESS_ZZ) {
    sf->minStress = scan.lo;
    sf->maxStress = scan.hi;
    sf->minStressPoint = scan.loPoint;
    sf->maxStressPoint = scan.hiPoint;
  }
}

}  // namespace

void CSubSection::maxmin(CSectionForces* sf, RESULTS kind) {
  ExtremeScan scan;
  scanMeshNodes(meshes, kind, scan);
  resultMax = scan.hi;
  resultMin = scan.lo;
  if (sf)
    storeExtremes(sf, kind, scan);
}
