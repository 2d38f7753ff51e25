// A small array of node locations kept in ascending order, with its own
// stream form.
#pragma once

#include "platform/core/CArray.h"
#include "platform/core/Types.h"

class CArchive;

// One node location along a line.
struct NodeLoc {
  double location = 0.0;
  int id = 0;
  int spare = 0;  // always 0; not stored
};

// Node locations in ascending order of location (kept so by add). Every
// element access outside the array throws CInvalidArgException.
class NodeArray : public CArray<NodeLoc, NodeLoc> {
 public:
  // Empty, tag 0, mean spacing 0.
  NodeArray() = default;

  // Index of the first element (array order) whose location differs from x
  // by less than 1e-5; -1 when none.
  int find(double x) const;
  // Adds (x, id) unless find(x) finds a node there; then sorts.
  void add(double x, int id);
  // Ascending by location; equal locations keep their order.
  void sort();
  // Removes element i; later elements move down one place.
  void remove(int i);
  // The mean spacing of neighbouring locations, also kept in meanSpacing;
  // with fewer than two elements the previous mean spacing.
  double getLength(int unused);

  // Stores count, tag, then each location and id.
  void write(CArchive& ar) const;
  // Loads tag and the stored nodes, appended behind the present ones
  // without sorting.
  void read(CArchive& ar);

  int tag = 0;
  double meanSpacing = 0.0;
};
