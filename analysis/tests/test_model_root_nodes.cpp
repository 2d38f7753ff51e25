// Sorted node locations: lookup within 1e-5, insertion order, mean spacing
// and the stream form.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/model/NodeArray.h"
#include "platform/core/Exceptions.h"
#include "test_materials_support.h"

using namespace mattest;

namespace {

std::vector<double> locations(const NodeArray& a) {
  std::vector<double> out;
  for (const NodeLoc& n : a) out.push_back(n.location);
  return out;
}

std::vector<int> ids(const NodeArray& a) {
  std::vector<int> out;
  for (const NodeLoc& n : a) out.push_back(n.id);
  return out;
}

}  // namespace

TEST(ModelRootNodes, AddKeepsOrderAndSkipsNearLocations) {
  NodeArray a;
  EXPECT_EQ(a.tag, 0);
  a.add(3.0, 30);
  a.add(1.0, 10);
  a.add(2.0, 20);
  a.add(1.0 + 0.9e-5, 11);  // within 1e-5: nothing added, the first id stays
  a.add(2.0 - 0.9e-5, 21);
  EXPECT_EQ(locations(a), (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_EQ(ids(a), (std::vector<int>{10, 20, 30}));
  a.add(2.0 + 1.1e-5, 22);  // just outside
  EXPECT_EQ(ids(a), (std::vector<int>{10, 20, 22, 30}));
  EXPECT_EQ(a.find(2.0 + 1e-6), 1);
  EXPECT_EQ(a.find(5.0), -1);
  EXPECT_EQ(a[0].spare, 0);
}

TEST(ModelRootNodes, FindTakesTheFirstInArrayOrder) {
  NodeArray a;
  a.Add(NodeLoc{5.0, 1, 0});
  a.Add(NodeLoc{1.000004, 2, 0});
  a.Add(NodeLoc{0.999996, 3, 0});
  EXPECT_EQ(a.find(1.0), 1);
  // Sorting is stable: equal locations keep their order.
  a.Add(NodeLoc{5.0, 4, 0});
  a.sort();
  EXPECT_EQ(ids(a), (std::vector<int>{3, 2, 1, 4}));
  // An unsorted array is sorted by the next add.
  NodeArray b;
  b.Add(NodeLoc{4.0, 1, 0});
  b.Add(NodeLoc{2.0, 2, 0});
  b.add(3.0, 3);
  EXPECT_EQ(ids(b), (std::vector<int>{2, 3, 1}));
}

TEST(ModelRootNodes, MeanSpacing) {
  NodeArray a;
  EXPECT_EQ(a.getLength(0), 0.0);
  a.add(1.0, 1);
  EXPECT_EQ(a.getLength(0), 0.0);  // one node: the previous spacing
  a.add(2.0, 2);
  a.add(4.0, 3);
  a.add(7.0, 4);
  EXPECT_EQ(a.getLength(0), 2.0);  // (7 - 1) / 3
  a.remove(3);
  a.remove(2);
  a.remove(1);
  EXPECT_EQ(a.getLength(0), 2.0);
  EXPECT_EQ(a.meanSpacing, 2.0);
  EXPECT_THROW(a.remove(1), CInvalidArgException);
  EXPECT_THROW(a.remove(-1), CInvalidArgException);
}

TEST(ModelRootNodes, RecordRoundTrip) {
  NodeArray a;
  a.tag = 7;
  a.add(0.5, 3);
  a.add(-1.25, 9);
  const Bytes bytes = stored([&](CArchive& ar) { a.write(ar); });
  EXPECT_EQ(bytes, concat({raw(2), raw(7), raw(-1.25), raw(9), raw(0.5), raw(3)}));

  // Reading appends behind the present nodes without sorting.
  NodeArray b;
  b.Add(NodeLoc{10.0, 1, 0});
  loaded(bytes, [&](CArchive& ar) { b.read(ar); });
  EXPECT_EQ(b.tag, 7);
  EXPECT_EQ(locations(b), (std::vector<double>{10.0, -1.25, 0.5}));
  EXPECT_EQ(ids(b), (std::vector<int>{1, 9, 3}));
  EXPECT_EQ(b[2].spare, 0);

  Bytes truncated = bytes;
  truncated.pop_back();
  NodeArray c;
  EXPECT_THROW(loaded(truncated, [&](CArchive& ar) { c.read(ar); }), CArchiveException);
}
