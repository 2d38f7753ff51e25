// Sorted node locations: lookup, insertion, mean spacing and the stream form.
#include "analysis/model/NodeArray.h"

#include <algorithm>
#include <cmath>

#include "platform/core/CArchive.h"

namespace {

// Locations closer than this are the same node.
constexpr double kSameLocation = 1e-5;

bool byLocation(const NodeLoc& a, const NodeLoc& b) { return a.location < b.location; }

}  // namespace

int NodeArray::find(double x) const {
  const int n = static_cast<int>(GetSize());
  const NodeLoc* nodes = GetData();
  for (int i = 0; i < n; ++i)
    if (std::fabs(nodes[i].location - x) < kSameLocation) return i;
  return -1;
}

void NodeArray::add(double x, int id) {
  if (find(x) == -1) {
    // Appending and then sorting stably puts the new node behind every node
    // of an equal location; in an array that is already sorted that place
    // is found directly.
    const NodeLoc node{x, id, 0};
    if (std::is_sorted(begin(), end(), byLocation)) {
      const NodeLoc* at = std::upper_bound(begin(), end(), node, byLocation);
      InsertAt(at - begin(), node);
      return;
    }
    Add(node);
  }
  sort();
}

void NodeArray::sort() {
  // Stable: nodes of equal location keep their order, as the pairwise
  // exchange of strictly greater neighbours leaves them.
  std::stable_sort(begin(), end(), byLocation);
}

void NodeArray::remove(int i) { RemoveAt(i); }

double NodeArray::getLength(int) {
  const int n = static_cast<int>(GetSize());
  if (n < 2) return meanSpacing;
  const NodeLoc* nodes = GetData();
  double sum = 0.0;
  for (int i = 0; i + 1 < n; ++i) sum += nodes[i + 1].location - nodes[i].location;
  meanSpacing = sum / (n - 1);
  return meanSpacing;
}

void NodeArray::write(CArchive& ar) const {
  ar << static_cast<int>(GetSize());
  ar << tag;
  for (const NodeLoc& node : *this) {
    ar << node.location;
    ar << node.id;
  }
}

void NodeArray::read(CArchive& ar) {
  int count = 0;
  ar >> count;
  ar >> tag;
  ar.EnsureCount(static_cast<ULONGLONG>(std::max(count, 0)), sizeof(int));
  for (int i = 0; i < count; ++i) {
    NodeLoc node;
    ar >> node.location;
    ar >> node.id;
    Add(node);
  }
}
