// The two-dimensional triangle mesh of one shape or sub-section outline:
// flat, pre-sized arrays of vertices, edges, boundary segments and
// triangles that refer to each other by pointer, the size controls and
// operation budget of the mesher, and the finite-element model built on it.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/Point.h"
#include "drevoline/mesh/MeshTypes.h"
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CCompositeCurve;
class CCurveResolver;
class CEdge;
class CFENodeAnalysis;
class CFEQuad4;
class CFETrng3;
class CMesh;
class CMeshIndex;
class CMetal;
class CSectionForces;
class CSegment;
class CTriangle;
class CWeld;
class DspRecord;
class MeshDisplaySource;

// A mesh vertex (serial class "CVertex", schema 1). x and y are adjacent so
// that &x serves as the point of the orientation predicates.
class CVertex : public CObject {
    DECLARE_SERIAL(CVertex)

public:
    CVertex() = default;
    ~CVertex() override = default;

    // Record: id, x, y, onBoundary.
    void Serialize(CArchive& ar) override;

    // The position as a point with z 0.
    Point<double> point() const { return Point<double>(x, y, 0.0); }
    // The x and y pair read by the orientation predicates.
    const double* xy() const { return &x; }

    int id = 0;
    double x = 0.0;
    double y = 0.0;
    bool inside = false;      // a vertex of a live triangle (markInsideNodes)
    bool onBoundary = false;  // lies on a boundary segment
    bool welded = false;      // used by the welding
};

// A boundary segment (serial class "CSegment", schema 1).
class CSegment : public CObject {
    DECLARE_SERIAL(CSegment)

public:
    CSegment() = default;
    ~CSegment() override = default;

    // Record: id, curveName, id of vertexA, id of vertexB.
    void Serialize(CArchive& ar) override;

    CVertex* vertexA = nullptr;
    CVertex* vertexB = nullptr;
    int id = 0;
    CString curveName;                // name of the shape whose boundary it follows
    CCompositeCurve* curve = nullptr;  // not owned

    // Vertex ids read from a file, turned into links by CMesh::resolveReferences.
    struct StoredLinks {
        int vertexA = 0;
        int vertexB = 0;
    } stored;
};

// A mesh edge (serial class "CEdge", schema 1). leftTriangle runs
// vertexA -> vertexB counter-clockwise, rightTriangle the other way.
class CEdge : public CObject {
    DECLARE_SERIAL(CEdge)

public:
    CEdge() = default;
    ~CEdge() override = default;

    // Record: id, frozen, ids of vertexA, vertexB, leftTriangle,
    // rightTriangle and segment (-1 for none).
    void Serialize(CArchive& ar) override;

    // Stores the links and clears frozen and segment; "Zero length edge
    // created" when a and b are one vertex or share an id.
    void set(CVertex* a, CVertex* b, CTriangle* left, CTriangle* right);
    // Replaces whichever of the two triangles is oldT; "neighboring triangle
    // does not exist" when neither is.
    void replaceTriangle(CTriangle* oldT, CTriangle* newT);

    CVertex* vertexA = nullptr;
    CVertex* vertexB = nullptr;
    CTriangle* leftTriangle = nullptr;
    CTriangle* rightTriangle = nullptr;
    CSegment* segment = nullptr;
    int id = 0;
    bool chainEnd = false;  // used by the welding
    bool frozen = false;    // a frozen edge is never flipped

    // Ids read from a file (-1 for none), turned into links by CMesh::resolveReferences.
    struct StoredLinks {
        int vertexA = 0;
        int vertexB = 0;
        int leftTriangle = -1;
        int rightTriangle = -1;
        int segment = -1;
    } stored;
};

// A mesh triangle (serial class "CTriangle", schema 1): vertices
// counter-clockwise, edge k joins vertex k and vertex (k+1) mod 3.
class CTriangle : public CObject {
    DECLARE_SERIAL(CTriangle)

public:
    CTriangle() = default;
    ~CTriangle() override = default;

    // Record: id, then per corner k the ids of edge k and vertex k, alive,
    // the material's name. Storing without a material throws "material is
    // not defined for element"; loading looks the material up in gModel.
    void Serialize(CArchive& ar) override;

    // Stores the six links, recomputes minAngle and quality, marks alive.
    void set(CVertex* v0, CVertex* v1, CVertex* v2, CEdge* e0, CEdge* e1, CEdge* e2);
    // For e = edge k: edge k+1, edge k+2 and vertex k+2 (mod 3); "triangle
    // does not contain edge" otherwise.
    void otherEdges(const CEdge* e, CEdge** next, CEdge** nextNext, CVertex** opposite) const;
    // The vertex not on e; "edge 'e' is not part of triangle 't'" otherwise.
    CVertex* oppositeVertex(const CEdge* e) const;
    // True when p lies strictly inside (exact orientation of every edge > 0).
    bool contains(const double* p) const;
    // As contains(&p.x).
    bool contains(const Point<double>& p) const;

    // ---- Refinement queries (CMeshRefine.cpp) ----

    // Writes into out's x and y the refinement point: the circumcentre when
    // it lies in a live triangle, else pulled towards the centroid, else the
    // centroid.
    void circumcentre(CVertex* out) const;
    // (vertex0 + vertex1 + vertex2) / 3, z 0.
    Point<double> centroid() const;
    // The sum of the three side lengths.
    double perimeter() const;
    // The distance from p to the nearest of the three vertices.
    double distanceTo(const CPoint2d& p) const;

    // Vertex k (0, 1, 2; taken mod 3).
    CVertex* vertex(int k) const;
    // Edge k (0, 1, 2; taken mod 3).
    CEdge* edge(int k) const;

    CMesh* mesh = nullptr;
    CMetal* material = nullptr;  // not owned
    int id = 0;
    CVertex* vertex0 = nullptr;
    CVertex* vertex1 = nullptr;
    CVertex* vertex2 = nullptr;
    CEdge* edge0 = nullptr;
    CEdge* edge1 = nullptr;
    CEdge* edge2 = nullptr;
    double minAngle = 0.0;  // degrees
    double quality = 0.0;   // minAngle / perimeter²; larger is better
    bool alive = false;
    bool welded = false;  // made or changed by a weld split

    // Ids read from a file, turned into links by CMesh::resolveReferences.
    struct StoredLinks {
        int edges[3] = {0, 0, 0};
        int vertices[3] = {0, 0, 0};
    } stored;
};

// The edges and vertices of one side of a weld, with what its splits made.
struct CEdgeSet {
    std::vector<CEdge*> edges;
    std::vector<CVertex*> vertices;
    std::vector<CEdge*> newEdges;
    std::vector<CTriangle*> newTriangles;
    CString name;  // the object whose curve the set follows
    CCompositeCurve* curve = nullptr;
    CWeld* weld = nullptr;  // not owned

    // "null triangles on edge" when an edge of the set has neither triangle.
    void checkTriangles() const;
};

// Serial class "CMesh", schema 1. Record arrays are allocated once and
// never reallocated, so the pointers between records stay valid.
class CMesh : public CObject {
    DECLARE_SERIAL(CMesh)

public:
    // Empty lists, null links, counts 0, a new unique id, empty name.
    CMesh();
    // Deletes the finite-element model, the arrays and the size controls.
    ~CMesh() override;
    CMesh(const CMesh&) = delete;
    CMesh& operator=(const CMesh&) = delete;

    // ---- Storage ----

    // Sizes the arrays for boundary polygons of n vertices with `extra`
    // allowance for boundary splits and the size controls' allowance.
    void alloc(int n, int extra);
    // Deletes the vertex, segment and triangle arrays and the size controls.
    void dealloc();
    // Counts of holes, triangles, segments, edges and nodes := 0; deletes
    // the finite-element model; the arrays stay allocated.
    void clear();
    // Releases every node and deletes every element.
    void clearFEM();
    // clear, then forgets the node list without releasing it here.
    void clobber();
    // The next vertex slot below maxNodes (id = index + 1), else null.
    CVertex* newNode();
    // The next vertex slot below ultNodes, else null.
    CVertex* newUltNode();
    // The next edge slot (id = index); "exceeded the max bound for edges" when full.
    CEdge* newEdge();
    // The next segment slot; "exceed maximum number of segments" when full.
    CSegment* newSegment();
    // The next triangle slot (id = index, owner set, not alive, not
    // welded); "exceeded max bound of triangles" when full.
    CTriangle* newTriangle();
    // Appends a local size control.
    void addLocalSizeControl(double x, double y, double radius, double size);

    // ---- Lookups ----

    // The first vertex with that id; "Invalid vertex index" when id < 0 or
    // id > nNodes, "triangle node found" when none has it.
    CVertex* findVertex(int id);
    // The edge at index; "Invalid edge index" unless 0 <= index < nEdges.
    CEdge* findEdge(int index);
    // The first edge joining a and b in either direction, else null.
    CEdge* findEdge(const CVertex* a, const CVertex* b);
    // The first segment joining a and b in either direction, else null.
    CSegment* findSegment(const CVertex* a, const CVertex* b);
    // The triangle with that id; null for id -1 or below; "Invalid triangle
    // index." when id > nTriangles; "triangle with id not found" when absent.
    CTriangle* findTriangle(int id);
    // The first node whose number (vertex id, else own number) is id; null when none.
    CFENodeAnalysis* findNode(int id);
    // The vertex nearest to (x, y) (first wins a tie); null for no vertices.
    CVertex* closestVertex(double x, double y);
    // As closestVertex.
    CVertex* closestNode(double x, double y);
    // vertexA of the first segment on curve; null when none.
    CVertex* firstSegmentVertex(const CCompositeCurve* curve);
    // vertexB of the first segment on curve; null when none.
    CVertex* nextFirstVertex(const CCompositeCurve* curve);
    // vertexB of the last segment of the first run on curve.
    CVertex* lastSegmentVertex(const CCompositeCurve* curve);
    // vertexA of the last segment of the first run on curve.
    CVertex* nextLastVertex(const CCompositeCurve* curve);
    // The live triangles with an edge ending at v, in array order, each once.
    std::unique_ptr<std::vector<CTriangle*>> vertexTriangles(const CVertex* v);
    // A triangle record with that id exists.
    bool triangleExists(int id) const;
    // Every triangle id lies in 0 ... nTriangles.
    bool triangleIDCheck() const;
    // At least one triangle is alive.
    bool triangleInsideExists() const;
    // The largest id in use, -1 for none.
    int maxVertexId() const;
    int maxEdgeId() const;
    int maxSegmentId() const;
    int maxTriangleId() const;
    // The live triangle of smallest quality (first wins a tie); null when none.
    CTriangle* worstTriangle();
    // The live triangle of smallest minAngle at index 3 or above; null when none.
    CTriangle* findMinAngle();
    // Recomputes minAngle and quality of every triangle.
    void updateStats();
    // inside := true exactly for the vertices of live triangles.
    void markInsideNodes();
    // alive := no vertex of the triangle is a bounding vertex.
    void basicClassifyInsideOutside();
    // The box of the finite-element node positions (z 0).
    void extents(Point<double>& min, Point<double>& max);
    // The vertex w of b closest to v with respect to a, when v is in turn the
    // closest of a to w with respect to b; else null.
    CVertex* mutuallyClosest(CEdgeSet& a, CEdgeSet& b, CVertex* v);

    // ---- Geometric queries (x and y only) ----

    // The angle at b between the directions to a and c, degrees; 0 when the
    // cosine is within 1e-8 of -1.
    static double angle(const CVertex* a, const CVertex* b, const CVertex* c);
    // The smallest angle of the triangle a, b, c.
    static double minimumAngle(const CVertex* a, const CVertex* b, const CVertex* c);
    // minAngle and quality = minAngle / perimeter² of the triangle a, b, c.
    static void computeTriangleStats(const CVertex* a, const CVertex* b, const CVertex* c,
                                     double& minAngle, double& quality);
    // |a - b| after reducing a - b into (-pi, pi].
    static double angleDifference(double a, double b);
    // v is one of the three bounding vertices (array index below 3).
    bool isBoundingVertex(const CVertex* v) const;
    // Any of the three is a bounding vertex (array index below 3).
    bool containsBoundingNodes(const CVertex* a, const CVertex* b, const CVertex* c) const;
    // c projects into the segment a-b.
    static bool isBetween(const CVertex* a, const CVertex* b, const CVertex* c);
    // p coincides with a, a-b is shorter than 1e-6, or p, a, b are colinear.
    static bool colinear2d(Point<double>* p, Point<double>* a, Point<double>* b);
    // The projection of p onto the line through a and b.
    static Point<double> closestPtOnLine(const Point<double>& p, const Point<double>& a,
                                         const Point<double>& b);
    // The exact side of c against the directed line a -> b.
    static Oriented_side orient2d(const CVertex* a, const CVertex* b, const CVertex* c);
    // b is an input vertex and segments a-b and b-c both exist.
    bool segmentBoundedAngle(const CVertex* a, const CVertex* b, const CVertex* c);
    // p lies strictly inside the circle with diameter a-b.
    static bool encroach(const CVertex* a, const CVertex* b, const CVertex* p);
    // Squared distance of two vertices.
    static double distanceSquared(const CVertex* a, const CVertex* b);

    // ---- Triangulation (CMeshTriangulate.cpp, CMeshPolygon.cpp) ----

    // Appends curve to boundaryCurves and turns the closed polygon points
    // into boundary vertices and segments (holeIndex -1 for the outer
    // boundary). Throws "Polygon is not watertight" and the input-angle failure.
    void addPolygon(CCompositeCurve* curve, CArray<Point<double>>* points, int holeIndex);
    // True, or "Can't mesh shape with interior angle of the boundary less
    // than 2 degrees" when two boundary directions at a corner are within 2°.
    bool checkInputAngles(CArray<Point<double>>* points);
    // The number of points, less one when the last repeats the first (x-y, 1e-8).
    int lastIndex(CArray<Point<double>>* points);
    // Removes every point of the closed polygon that is colinear with its neighbours.
    void removeColinear(CArray<Point<double>>* poly);
    // Runs the pipeline: initial triangulation, segment recovery, outside
    // removal, freezing, refinement, size controls, material stamp. Stops
    // quietly when the budget maxRemoves is reached (incomplete then set).
    void computeMesh(const CMetal* material);
    // Writes into out the point at which the segment a-b is to be split.
    void ChooseSplitPosition1(CVertex* out, CVertex* a, CVertex* b);
    // Triangulates the boundary vertices inside the bounding triangle.
    void constructInitialTriangulation();
    // The live triangle holding p by a walk from lastLocated; null when p is
    // in a dead triangle.
    CTriangle* locateNode(CVertex* p);
    // locateNode's answer and lastLocated, found by a short walk from `near`
    // (a triangle next to p) whenever p lies strictly inside one triangle,
    // where every walk ends alike; otherwise the walk from lastLocated.
    CTriangle* locateNode(CVertex* p, CTriangle* near);
    // Inserts p into the triangulation (splitting the triangle holding it,
    // or the edge it lies on).
    void insertVertex(CVertex* p);
    // Inserts p on edge e, splitting its two triangles into four.
    void insertNodeOnEdge(CVertex* p, CEdge* e);
    // Flips e (and then its neighbours) when that improves the smallest
    // angle or removes a triangle touching the bounding vertices; true when flipped.
    bool validateEdge(CEdge* e);
    // Splits segments until each is an edge of the triangulation; a missing
    // segment with no free vertex left throws "Not enough vertices to make
    // all the segments", a present one is left whole.
    void insertMissingSegments();
    // A vertex opposite e lies inside e's diametral circle.
    bool encroachedEdge(CEdge* e);
    // Splits segment s and its edge at ChooseSplitPosition1.
    void splitSegment(CSegment* s);
    // Kills the triangles right of every segment (outside and holes).
    void removeOutsideTriangles();
    // Flood fill from t across edges that are not segments.
    void removeHole(CTriangle* t);
    // The first edge of each segment's two vertices becomes frozen.
    void freezeEdgesThatAreSegments();
    // The first edge of each segment's two vertices links to the segment.
    void assignEdgeSegments();
    // Every triangle in use gets material m.
    void stampMaterial(const CMetal* m);
    // One step of validateEdge: flips e when that is better and queues the
    // four edges to validate next (top of the stack first); true when flipped.
    bool flipIfBetter(CEdge* e, std::vector<CEdge*>& pending);

    // ---- Refinement and size controls (CMeshRefine.cpp) ----

    // Inserts circumcentres of the worst triangles until maxNodes or the budget.
    void removeBadTriangles();
    // localResizeTriangles for every size control in order.
    void applyLocalSizeControls();
    // Refines triangles near centre to side about size, growing to the
    // surrounding size at radius.
    void localResizeTriangles(CPoint2d& centre, double radius, double size);

    // ---- Creation (CMeshCreate.cpp) ----

    // Meshes one outline with its holes (outer counter-clockwise and holes
    // clockwise, reversed when given the other way round).
    void create(int extraNodes, CCompositeCurve* outer, int holeCount, CCompositeCurve** holes,
                Point<double>* holeSeeds, double spacing, const CMetal* material);
    // Places the three bounding vertices far outside; nNodes 3, nSegments 0.
    void setBoundingVertices();

    // ---- Finite-element model (CMeshFEM.cpp) ----

    // Builds one node per vertex of a live triangle (appended to nodes) and
    // replaces the elements: a CFETrng3 per live triangle, or three CFEQuad4
    // per live triangle when elementType is QUAD4. A mesh flagged incomplete
    // makes nothing of the triangles that touch the bounding vertices.
    void create2DFEM(double thickness);
    // Four new nodes (ids firstNodeId ...) and three quadrilaterals (ids
    // firstElementId ...) for triangle t.
    void makeQuad4s(CTriangle* t, const CMetal* material, int firstNodeId, int firstElementId);
    // A new node at p with own number id and no vertex.
    std::shared_ptr<CFENodeAnalysis> makeNode(CPoint2d& p, int id);
    // The first node of the node list with that number; empty when none.
    std::shared_ptr<CFENodeAnalysis> FEMfindNode(int id);

    // ---- Smoothing, transforms and queries (CMeshSmooth.cpp, CMeshNeutralAxis.cpp) ----

    // One Laplacian sweep over the interior vertices (limits raised to the
    // allocated sizes); a move that would fold a live triangle is skipped.
    void smooth();
    // Moves v to the mean of its edge neighbours unless that folds a live triangle.
    void smooth(CVertex* v);
    // Mirrors every node in the line through a and b; vertices stay.
    void mirror(Point<double>& a, Point<double>& b);
    // Turns every node about (x, y) by angle degrees; vertices stay.
    void rotate(double x, double y, double angle);
    // Moves every node by (dx, dy); vertices stay.
    void translate(double dx, double dy);
    // Sets the name and every segment's curve name.
    void updateName(CString name);
    // Every triangle's material := m (the caller keeps m alive).
    void setMaterial(std::shared_ptr<CMetal> m);
    // The boundary curve of the named object from the owning model; null
    // without a model or when it has none.
    CCompositeCurve* findCompositeCurve(double x, double y, CString name);
    // The end point of a zero-stress contour piece nearest to p goes to f's
    // neutral point; false (f unchanged) when no element is crossed.
    bool pointOnNeutralAxis(CSectionForces* f, Point<double>& p);
    // The angle in degrees (-90 ... 90, 90 vertical) of the zero-stress
    // line; throws when no element is crossed by it.
    double findNeutralAxisAngle();
    // The same angle in *angle, or false (angle untouched) when no element
    // is crossed by the zero-stress line.
    bool neutralAxisAngle(double* angle);
    // The twelve area and force sums of the triangle elements' parts on
    // either side of the line a-b (CFETrng3::splitArea), each set to 0 first.
    void splitArea(bool useX, Point<double> a, Point<double> b, double* r1, double* r2, double* r3,
                   double* r4, double* r5, double* r6, double* r7, double* r8, double* r9,
                   double* r10, double* r11, double* r12) const;

    // ---- Merging and welding (CMeshMerge.cpp, CMeshWeld.cpp) ----

    // This empty mesh becomes the union of a and b (ids renumbered, records
    // copied with room for extraEdges, extraTriangles and extraSegments
    // more, links resolved, element model built); a and b are destroyed.
    // "element types do not match" when their element types differ.
    void merge(std::unique_ptr<CMesh> a, std::unique_ptr<CMesh> b, int extraEdges,
               int extraTriangles, int extraSegments);
    // Fuses the two objects' boundaries inside the weld's box (nothing when applied).
    void weld(CWeld* w);
    // The boundary edges in the weld box, one set per object.
    void findEdgeSets(CWeld* w, CEdgeSet& a, CEdgeSet& b);
    // Joins each vertex of a lying on an edge of b to b: with its mutually
    // closest vertex, else by splitting b's triangle there (limit > 0 stops
    // before the limit-th vertex).
    void weldTo(CEdgeSet& a, CEdgeSet& b, int limit);
    // Replaces w by v in the triangles and segments using w; v moves to the midpoint.
    void joinVertices(CVertex* v, CVertex* w);
    // Splits live triangle t at v on its edge e into two welded triangles.
    void splitTriangle(CTriangle* t, CEdge* e, CVertex* v, CEdgeSet& s);
    // Pairs each edge of a with the coinciding edge of b (one interior edge),
    // or makes it a boundary segment.
    void fixEdges(CEdgeSet& a, CEdgeSet& b);
    // True, or a failure naming the inconsistency of an edge's triangles.
    bool verifyEdges();
    // Does nothing.
    void verifySegments();
    // True.
    bool verifyTriangles();
    // The edge of the segment's vertices has two live triangles.
    bool isWeldedSegment(CSegment* s);
    // Adds d to the id of every vertex, edge, triangle or segment in use.
    void renumberVertices(int d);
    void renumberEdges(int d);
    void renumberTriangles(int d);
    void renumberSegments(int d);
    // In every live triangle using v, edge oldEdge becomes newEdge.
    void replaceEdgesOfVertex(CVertex* v, CEdge* oldEdge, CEdge* newEdge);
    // Every segment end oldVertex becomes newVertex.
    void replaceVertexInSegments(CVertex* oldVertex, CVertex* newVertex);

    // ---- Display (CMeshDisplay.cpp) ----

    // The elements in their materials' colours with black outlines and a
    // heavy black boundary, on a new list of the current OpenGL context:
    // record "Mesh2D::display" (type 0x60000000, priority 6, the material's
    // colours; a mesh without material gets a default metal). Null when the
    // mesh has no elements or no context is current. A GL error ends the
    // recording and throws std::logic_error with GLU's description.
    DspRecord* display();
    // The contour picture of source's result kind: the triangle picture
    // when there are triangle elements, else the quadrilateral one.
    DspRecord* displaySmooth(MeshDisplaySource* source);
    // Gouraud-shaded elements on the zero-green scale between source's low
    // and high values, black outlines and the zero line in red; the zero
    // line's length goes to source and its angle (degrees) to source's
    // section forces. Record "Mesh2D::displayTrng3", null without triangle
    // elements or without a current context.
    DspRecord* displaySmoothTrng3(MeshDisplaySource* source);
    // The same for quadrilaterals (no measurement): "Mesh2D::displayQuad4".
    DspRecord* displaySmoothQuad4(MeshDisplaySource* source);
    // One bar of a line plot: the quadrilateral a, b, b + hb n, a + ha n
    // (n reversed for a value not above 0), h = |value| / (high - low) x
    // scale (0 for a flat range); each corner red for a positive value,
    // else blue.
    static void plotBlock(const Point<double>& n, double low, double high, double scale,
                          const Point<double>& a, const Point<double>& b, double va, double vb);

    // ---- Storage in a model file ----

    // Stores or loads the whole mesh; links are loaded as ids.
    void Serialize(CArchive& ar) override;
    // Turns the ids a loaded mesh holds into links.
    void resolveReferences();

    // ---- Owner ----

    // Sets the section model that resolves segment curves (not owned).
    void setModel(CCurveResolver* m) { model = m; }
    // The section model that resolves segment curves; null when none.
    CCurveResolver* getModel() const { return model; }

    // ---- Data ----

    std::vector<LocalSizeControl> sizeControls;
    std::vector<CCompositeCurve*> boundaryCurves;  // not owned
    int nNodes = 0;
    int maxNodes = 0;
    int maxEdges = 0;
    int maxSegments = 0;
    int maxTriangles = 0;
    int ultNodes = 0;
    int ultEdges = 0;
    int ultSegments = 0;
    int ultTriangles = 0;
    int nTriangles = 0;
    bool segmentsComplete = false;
    CTriangle* currentTriangle = nullptr;
    CVertex* prevVertex = nullptr;
    std::shared_ptr<CMetal> material;
    CString name;
    int id = 0;
    int nRemoves = 0;
    int maxRemoves = 0;
    int nEdges = 0;
    int nInputNodes = 0;
    CTriangle* lastLocated = nullptr;
    int nSegments = 0;
    int elementType = TRNG3;
    std::unique_ptr<CVertex[]> vertices;
    std::unique_ptr<CVertex[]> holePoints;  // 100 records
    std::unique_ptr<CEdge[]> edges;
    std::unique_ptr<CTriangle[]> triangles;
    std::unique_ptr<CSegment[]> segments;
    std::vector<std::shared_ptr<CFENodeAnalysis>> nodes;
    std::vector<std::unique_ptr<CFETrng3>> trng3Elements;
    std::vector<std::unique_ptr<CFEQuad4>> quad4Elements;
    int nHoles = 0;
    CCurveResolver* model = nullptr;  // not owned

    // Capacity of holePoints.
    static constexpr int kMaxHoles = 100;
    // The most nodes a mesh request may ask for: the top of the mesh
    // dialog's range and of the automation's meshing methods.
    static constexpr int kMaxRequestNodes = 100000;
    // The most records of one kind a mesh may hold or a file may state:
    // alloc refuses larger arrays, so whatever it makes can be stored and
    // loaded again.
    static constexpr int kMaxRecords = 20'000'000;
    // Record ids up to this bound are stored as they are, as they always
    // were; an id above it is stored and loaded only where it names a
    // record of its array (an id up to `last`).
    static constexpr int kOldIdBound = 100000;
    // id lies within the old bound or names one of the records up to last.
    static bool storableId(int id, int last) { return id <= kOldIdBound || id <= last; }

    // The records each array holds. A mesh made here holds its ultimate
    // limits; a loaded one at most twice its counts, whatever limits its
    // file states. Record hand-outs never go past them.
    struct Capacity {
        int nodes = 0;
        int edges = 0;
        int segments = 0;
        int triangles = 0;
    } capacity;

    // ---- Mesher state ----

    // The pipeline stopped (budget) before outside removal or the material
    // stamp finished: triangles may reach the bounding vertices.
    bool incomplete = false;
    // Lookup tables while the mesher runs (CMeshIndexScope); null otherwise.
    CMeshIndex* meshIndex = nullptr;

private:
    struct IdIndex;
    class IndexScope;
    void storeRecords(CArchive& ar);
    void loadRecords(CArchive& ar);
    void storeModel(CArchive& ar);
    void loadModel(CArchive& ar);
    void resolveSegments();
    void resolveEdges();
    void resolveTriangles();

    // Ids of the vertices and triangles, first in array order, while a mesh
    // is loaded and resolved (null otherwise): findVertex and findTriangle
    // then take them instead of a scan.
    std::unique_ptr<IdIndex> idIndex;
};
