// The 3-node constant-strain plane triangle with its stiffness and the
// geometric and result queries that the section analyses integrate element
// by element.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "analysis/geometry/Matrix.h"
#include "analysis/geometry/Point.h"
#include "drevoline/mesh/CFEElementAnalysis.h"
#include "drevoline/mesh/MeshTypes.h"

class CArchive;
class CFENodeAnalysis;
class CMetal;

// Signed distance of p from the line through linePoint at angleRadians:
// positive when p lies to the left of the line's direction.
double signedDistanceFromLine(Point<double>* linePoint, double angleRadians, const Point<double>* p);

// Triangle element (serial class "CFETrng3", schema 1). Degrees of freedom
// u1, v1, u2, v2, u3, v3. Weights: splitArea uses the material's extra2 (the
// plastic ratio), boxForce its extra1 (the modulus ratio); an element
// without material weighs 1.
class CFETrng3 : public CFEElementAnalysis {
    DECLARE_SERIAL(CFETrng3)

public:
    using NodeList = std::vector<std::shared_ptr<CFENodeAnalysis>>;
    // Position in a NodeList of the first node of each number.
    using NodeIndex = std::unordered_map<int, std::size_t>;
    static NodeIndex indexNodes(const NodeList& list);

    // Kind 5, two freedoms per node, no nodes, no material, thickness and
    // axes 0, not welded.
    CFETrng3();
    // set(n1, n2, n3, material, thickness).
    CFETrng3(std::shared_ptr<CFENodeAnalysis> n1, std::shared_ptr<CFENodeAnalysis> n2,
             std::shared_ptr<CFENodeAnalysis> n3, const CMetal* material, double thickness);
    // Copies the triangle's own matrices, axes, welded flag and thickness;
    // the base part starts empty.
    CFETrng3(const CFETrng3& other);
    ~CFETrng3() override = default;

    // Appends the three nodes, enters the element in their element lists,
    // stores material and thickness; "null node point in triangle creation"
    // for an empty node.
    void set(std::shared_ptr<CFENodeAnalysis> n1, std::shared_ptr<CFENodeAnalysis> n2,
             std::shared_ptr<CFENodeAnalysis> n3, const CMetal* material, double thickness);

    // Kn and Ks of the plane-stress triangle; their sum into Ksum, K and Kg
    // (rows and columns u1, v1, u2, v2, u3, v3 in global axes).
    void stiffness() override;
    // The local axes and the 9 x 9 transformation T.
    void localGlobalTransform() override;

    // Coordinate differences of the nodes (x21 = x2 − x1, ...).
    double x21() const;
    double x31() const;
    double x32() const;
    double y21() const;
    double y31() const;
    double y32() const;
    // |((p2 − p1) × (p3 − p1)).z| / 2.
    double area() const;
    // Mean of the three node positions (all three coordinates).
    Point<double> center() const;
    // Mean x and mean y of the nodes.
    void center(double& x, double& y) const;
    // Box of the node x and y; z 0.
    void extents(Point<double>& min, Point<double>& max) const;
    std::shared_ptr<CFENodeAnalysis> n1() const;
    std::shared_ptr<CFENodeAnalysis> n2() const;
    std::shared_ptr<CFENodeAnalysis> n3() const;
    // The first node of `list` whose number is id; empty when none.
    static std::shared_ptr<CFENodeAnalysis> findNode(NodeList* list, int id);
    // The same through an index of `list` (a scan when index is null).
    static std::shared_ptr<CFENodeAnalysis> findNode(NodeList* list, int id, const NodeIndex* index);
    // Unnormalised area coordinates of p.
    double L1(const Point<double>& p) const;
    double L2(const Point<double>& p) const;
    double L3(const Point<double>& p) const;
    // The linear interpolation of the nodes' values of r at p.
    double ValueAtPoint(RESULTS r, const Point<double>& p) const;
    // The mean of the nodes' values of r for this element.
    double averageValue(RESULTS r) const;
    // p lies strictly inside (exact orientation).
    bool contains(const Point<double>* p) const;
    // The exact side of c against the directed line a -> b.
    static Oriented_side orient2d(const Point<double>* a, const Point<double>* b,
                                  const Point<double>* c);
    // Node indices (0-2) on the positive, negative side of line a-b and on it.
    void classifyInOutOn(bool unused, Point<double> a, Point<double> b, int* pos, int* neg,
                         int* on, int& nPos, int& nNeg, int& nOn) const;
    // Counts of nodes inside, outside and on the box lo-hi (a corner node counts twice on).
    void nodesInsideOrOn(Point<double> lo, Point<double> hi, int* inside, int* outside,
                         int* on) const;
    // Class of an element from its node counts against the four side lines
    // (positive, negative, on for line 1, then 2, 3, 4); *multiple set when
    // more than one side is straddled.
    static BoxClassification insideBox(int nPos1, int nNeg1, int nOn1, int nPos2, int nNeg2,
                                       int nOn2, int nPos3, int nNeg3, int nOn3, int nPos4,
                                       int nNeg4, int nOn4, bool* multiple);
    // The piece of the contour of r at level (strict crossings); true when two were found.
    bool contourLine(RESULTS r, double level, Point<double>& p1, Point<double>& p2) const;
    // Where line a-b crosses the element; false when it does not cut it.
    bool pointsOnLine(Point<double>& a, Point<double>& b, Point<double>* p1,
                      Point<double>* p2) const;
    // Area-weighted sums of the parts on either side of line a-b: per side
    // A·F, A·w, A·w·(yc − ry), A·w·(xc − rx), w·∫(y − ry)² dA, w·∫(x − rx)² dA
    // (each part's own second moment included),
    // positive side first (reference (a.x, 0) when useX, else (0, a.y)).
    void splitArea(bool useX, Point<double> a, Point<double> b, double* pAF, double* pAw,
                   double* pAwy, double* pAwx, double* pAwy2, double* pAwx2, double* nAF,
                   double* nAw, double* nAwy, double* nAwx, double* nAwy2, double* nAwx2) const;
    // Force, moment and area of the parts of an element cut by line a-b.
    void straddleForce(Point<double>& a, Point<double>& b, double weight, Point<double>& c,
                       double angle, int* pos, int* neg, int* on, int nPos, int nNeg, int nOn,
                       double* posForce, double* negForce, double* posMoment,
                       double* negMoment, double* posArea, double* negArea) const;
    // Force, moment and area of the part of the element inside box lo-hi.
    void boxForce(Point<double>& lo, Point<double>& hi, Point<double>& c, double angle,
                  double* force, double* moment, double* area, bool* multiple) const;

    using CFEElementAnalysis::Serialize;
    // Record: id, the three node numbers, material flag and name.
    // On load, index (when given) is indexNodes(*list).
    void Serialize(CArchive& ar, NodeList* list, const NodeIndex* index = nullptr);

    // Sets the welded flag.
    void isWelded(bool w) { welded = w; }
    // The welded flag.
    bool isWelded() const { return welded; }

    Matrix Kn;
    Matrix Ks;
    Matrix Ksum;
    double axis1[3] = {0, 0, 0};
    double axis2[3] = {0, 0, 0};
    double axis3[3] = {0, 0, 0};
    bool welded = false;
    double thickness = 0.0;

private:
    Point<double> pos(int i) const;
    double nodeValue(int i, RESULTS r) const;
    double plasticWeight() const;
    double modulusWeight() const;
};
