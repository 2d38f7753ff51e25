// The bilinear four-node quadrilateral, used for result display and
// queries (it has no stiffness of its own).
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "analysis/geometry/Point.h"
#include "drevoline/mesh/CFEElementAnalysis.h"
#include "drevoline/mesh/MeshTypes.h"

class CArchive;
class CFENodeAnalysis;
class CMetal;

// Shape functions on the parent square, ξ then η in [−1, 1].
double N1(double xi, double eta);
double N2(double xi, double eta);
double N3(double xi, double eta);
double N4(double xi, double eta);

// Quadrilateral element (serial class "CFEQuad4", schema 1); nodes
// counter-clockwise. It does not enter itself in its nodes' element lists.
class CFEQuad4 : public CFEElementAnalysis {
    DECLARE_SERIAL(CFEQuad4)

public:
    using NodeList = std::vector<std::shared_ptr<CFENodeAnalysis>>;
    // Position in a NodeList of the first node of each number.
    using NodeIndex = std::unordered_map<int, std::size_t>;

    // No nodes, no material.
    CFEQuad4();
    // The element `number` on four nodes with a material.
    CFEQuad4(int number, std::shared_ptr<CFENodeAnalysis> n1, std::shared_ptr<CFENodeAnalysis> n2,
             std::shared_ptr<CFENodeAnalysis> n3, std::shared_ptr<CFENodeAnalysis> n4,
             const CMetal* material);
    // Number and nodes; the base part (material included) starts empty.
    CFEQuad4(const CFEQuad4& other);
    ~CFEQuad4() override = default;

    // The value of r at p by the inverse bilinear mapping of the nodes' own
    // tables; the linear solution when the mapping is linear in m.
    double ValueAtPoint(RESULTS r, const Point<double>& p) const;
    // The mean of the four node positions.
    Point<double> center() const;
    // p lies strictly inside (exact orientation of every edge > 0).
    bool contains(const Point<double>* p) const;
    // The piece of the contour of r at level (crossings with ≤ 0); true
    // when at least two points were found.
    bool contourLine(RESULTS r, double level, Point<double>& p1, Point<double>& p2) const;
    // Box of the node x and y; z 0.
    void extents(Point<double>& min, Point<double>& max) const;
    // The first node of `list` whose number is id; empty when none.
    static std::shared_ptr<CFENodeAnalysis> findNode(NodeList* list, int id);
    // The exact side of c against the directed line a -> b.
    static Oriented_side orient2d(const Point<double>* a, const Point<double>* b,
                                  const Point<double>* c);

    using CFEElementAnalysis::Serialize;
    // Record: number, the four node numbers, material flag and name.
    // On load, index (when given) is CFETrng3::indexNodes(*list).
    void Serialize(CArchive& ar, NodeList* list, const NodeIndex* index = nullptr);

    // Node i (0-3).
    const std::shared_ptr<CFENodeAnalysis>& node(int i) const { return quadNodes[i]; }

    int number = 0;
    std::shared_ptr<CFENodeAnalysis> quadNodes[4];

private:
    const CFENodeAnalysis& checkedNode(int i) const;
    Point<double> pos(int i) const;
    double nodeValue(int i, RESULTS r) const;
};
