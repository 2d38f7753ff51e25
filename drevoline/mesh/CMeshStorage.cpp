// CMesh: storage in a model file and the resolution of the stored links.
#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CMeshIdIndex.h"
#include "platform/core/CArchive.h"

namespace {

// Separates the sections of a mesh record.
constexpr int kCheckValue = 10101010;
// Largest count or array limit a file may state; anything above is damage.
constexpr int kMaxStoredCount = CMesh::kMaxRecords;

// The fewest bytes each stored record takes (a name takes at least its
// length byte), so that a count can be checked against the bytes left.
constexpr int kVertexBytes = 4 + 8 + 8 + 1;
constexpr int kSegmentBytes = 4 + 1 + 4 + 4;
constexpr int kEdgeBytes = 4 + 1 + 5 * 4;
constexpr int kTriangleBytes = 4 + 6 * 4 + 1 + 1;
constexpr int kNodeBytes = 3 * 4 + 3 * 8 + 6 * 4 + 4 + 3 * 4 + 3 * 8;
constexpr int kElementBytes = 4 * 4 + 1;
constexpr int kSizeControlBytes = 4 * 8;

const char* const kElementsFailed = "Unable to restore elements of mesh";
const char* const kNodesFailed = "Restore of nodes for mesh failed";

void expectCheck(CArchive& ar, const char* failure)
{
    int check = 0;
    ar >> check;
    if (check != kCheckValue)
        throw std::logic_error(failure);
}

// A stored count of records of at least recordBytes each: "Bad file" when
// it is negative, above capacity or more than the rest of the file holds,
// so that nothing is allocated for a damaged count.
int readCount(CArchive& ar, int capacity, int recordBytes)
{
    int n = 0;
    ar >> n;
    if (n < 0 || n > capacity || static_cast<ULONGLONG>(n) * static_cast<ULONGLONG>(recordBytes) > ar.BytesLeft())
        throw std::logic_error("Bad file");
    return n;
}

void checkCapacity(int n)
{
    if (n < 0 || n > kMaxStoredCount)
        throw std::logic_error("Bad file");
}

// Reads the stored count (at most `limit`, the stored limit of the array)
// and that many records into a new array, made once the count has been
// checked against the bytes left. The array keeps room above the count up
// to the limit but never past twice the count: a limit is only a number in
// the file, and a file of a few kilobytes must not make gigabytes of
// records. `room` is set to the array's size.
template <class Record>
int loadArray(CArchive& ar, std::unique_ptr<Record[]>& array, int limit, int recordBytes, int& room)
{
    const int n = readCount(ar, limit, recordBytes);
    const int size = std::min(limit, 2 * n);
    array = std::make_unique<Record[]>(static_cast<std::size_t>(size));
    room = size;
    for (int i = 0; i < n; ++i)
        array[i].Serialize(ar);
    return n;
}

// "Bad file" unless each stored link of the edges lies within the old id
// bound or names a record of its array, so that ids above that bound load
// where the arrays hold them. Ids within the bound are checked when the
// links are resolved.
void checkEdgeLinks(const CMesh& m)
{
    auto check = [](int id, int last) {
        if (!CMesh::storableId(id, last))
            throw std::logic_error("Bad file");
    };
    for (int i = 0; i < m.nEdges; ++i) {
        const CEdge::StoredLinks& s = m.edges[i].stored;
        check(s.vertexA, m.nNodes);  // vertex ids run to nNodes (index + 1)
        check(s.vertexB, m.nNodes);
        check(s.leftTriangle, m.nTriangles - 1);
        check(s.rightTriangle, m.nTriangles - 1);
        check(s.segment, m.nSegments - 1);
    }
}

using VertexPair = std::pair<const CVertex*, const CVertex*>;

struct VertexPairHash {
    std::size_t operator()(const VertexPair& p) const
    {
        const std::hash<const CVertex*> h;
        return h(p.first) * 31u ^ h(p.second);
    }
};

}  // namespace

void CMesh::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const bool hasModel = !nodes.empty();
        ar << hasModel;
        if (!hasModel)
            return;
        storeRecords(ar);
        storeModel(ar);
        return;
    }
    bool hasModel = false;
    ar >> hasModel;
    if (!hasModel)
        return;
    clear();
    // A mesh read again holds the stored controls only.
    sizeControls.clear();
    loadRecords(ar);
    IndexScope index(*this);
    loadModel(ar);
}

void CMesh::storeRecords(CArchive& ar)
{
    ar << id << maxEdges << maxSegments << maxNodes << maxTriangles << ultEdges << ultSegments
       << ultTriangles;
    ar << nNodes;
    for (int i = 0; i < nNodes; ++i)
        vertices[i].Serialize(ar);
    ar << nSegments;
    for (int i = 0; i < nSegments; ++i) {
        segments[i].id = i;
        segments[i].Serialize(ar);
    }
    ar << nEdges;
    for (int i = 0; i < nEdges; ++i) {
        edges[i].id = i;
        edges[i].Serialize(ar);
    }
    ar << nTriangles;
    for (int i = 0; i < nTriangles; ++i) {
        triangles[i].id = i;
        triangles[i].Serialize(ar);
    }
}

void CMesh::storeModel(CArchive& ar)
{
    ar << name << kCheckValue;
    ar << static_cast<int>(nodes.size());
    for (const auto& n : nodes)
        n->Serialize(ar, this);
    ar << kCheckValue << elementType;
    if (elementType == QUAD4) {
        ar << static_cast<int>(quad4Elements.size());
        for (const auto& e : quad4Elements)
            e->Serialize(ar, &nodes);
    } else if (elementType == TRNG3) {
        ar << static_cast<int>(trng3Elements.size());
        for (const auto& e : trng3Elements)
            e->Serialize(ar, &nodes);
    }
    ar << kCheckValue << static_cast<int>(sizeControls.size());
    for (const LocalSizeControl& c : sizeControls)
        ar << c.x << c.y << c.radius << c.size;
    ar << kCheckValue;
}

void CMesh::loadRecords(CArchive& ar)
{
    int limits[7] = {};
    ar >> id;
    for (int& n : limits) {
        ar >> n;
        checkCapacity(n);
    }
    // Until its array is made, each limit stays 0, so that a load that fails
    // part way leaves no limit beyond its array.
    vertices.reset();
    segments.reset();
    edges.reset();
    triangles.reset();
    maxNodes = ultNodes = maxSegments = ultSegments = maxEdges = ultEdges = maxTriangles = ultTriangles = 0;
    capacity = Capacity();
    if (!holePoints)
        holePoints = std::make_unique<CVertex[]>(kMaxHoles);

    // The mesh keeps its stored limits; its arrays hold the stored records
    // and some room above them for a later weld (loadArray), and the record
    // hand-outs stop at that room.
    const int storedMaxNodes = limits[2];
    nNodes = loadArray(ar, vertices, storedMaxNodes, kVertexBytes, capacity.nodes);
    maxNodes = ultNodes = storedMaxNodes;
    nSegments = loadArray(ar, segments, limits[5], kSegmentBytes, capacity.segments);
    maxSegments = limits[1];
    ultSegments = limits[5];
    nEdges = loadArray(ar, edges, limits[4], kEdgeBytes, capacity.edges);
    maxEdges = limits[0];
    ultEdges = limits[4];
    nTriangles = loadArray(ar, triangles, limits[6], kTriangleBytes, capacity.triangles);
    maxTriangles = limits[3];
    ultTriangles = limits[6];
    for (int i = 0; i < nTriangles; ++i)
        triangles[i].mesh = this;
    checkEdgeLinks(*this);
}

void CMesh::loadModel(CArchive& ar)
{
    ar >> name;
    expectCheck(ar, kElementsFailed);
    const int nodeCount = readCount(ar, kMaxStoredCount, kNodeBytes);
    nodes.reserve(static_cast<std::size_t>(nodeCount));
    for (int i = 0; i < nodeCount; ++i) {
        auto node = std::make_shared<CFENodeAnalysis>();
        node->Serialize(ar, this);
        nodes.push_back(std::move(node));
    }
    expectCheck(ar, kNodesFailed);
    // Elements find their nodes by number: first match, as the scan gives it.
    const CFETrng3::NodeIndex nodeIndex = CFETrng3::indexNodes(nodes);
    ar >> elementType;
    if (elementType == QUAD4) {
        const int count = readCount(ar, kMaxStoredCount, kElementBytes);
        quad4Elements.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            quad4Elements.push_back(std::make_unique<CFEQuad4>());
            quad4Elements.back()->Serialize(ar, &nodes, &nodeIndex);
        }
    } else if (elementType == TRNG3) {
        const int count = readCount(ar, kMaxStoredCount, kElementBytes);
        trng3Elements.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            trng3Elements.push_back(std::make_unique<CFETrng3>());
            trng3Elements.back()->Serialize(ar, &nodes, &nodeIndex);
        }
    }
    expectCheck(ar, kElementsFailed);
    const int controls = readCount(ar, kMaxStoredCount, kSizeControlBytes);
    for (int i = 0; i < controls; ++i) {
        LocalSizeControl c;
        ar >> c.x >> c.y >> c.radius >> c.size;
        sizeControls.push_back(c);
    }
    expectCheck(ar, kElementsFailed);
}

void CMesh::resolveReferences()
{
    IndexScope index(*this);
    resolveSegments();
    resolveEdges();
    resolveTriangles();
}

void CMesh::resolveSegments()
{
    for (int i = 0; i < nSegments; ++i) {
        CSegment& s = segments[i];
        s.vertexA = findVertex(s.stored.vertexA);
        s.vertexB = findVertex(s.stored.vertexB);
        if (!s.vertexA || !s.vertexB)
            throw std::logic_error("segment restore failed.");
        if (s.curveName.IsEmpty())
            throw std::logic_error("object associated with mesh segments isn't defined");
        s.curve = findCompositeCurve(s.vertexA->x, s.vertexA->y, s.curveName);
        if (!s.curve)
            throw std::logic_error("Composite curve not found.");
    }
}

void CMesh::resolveEdges()
{
    for (int i = 0; i < nEdges; ++i) {
        CEdge& e = edges[i];
        e.vertexA = findVertex(e.stored.vertexA);
        e.leftTriangle = findTriangle(e.stored.leftTriangle);
        e.vertexB = findVertex(e.stored.vertexB);
        e.rightTriangle = findTriangle(e.stored.rightTriangle);
        if (!e.vertexA || !e.vertexB)
            throw std::logic_error("Edge vertex failed to restore");
    }
    // The first edge joining the two vertices of each segment, as findEdge
    // gives it: only segments are looked up, so only their pairs are kept.
    std::unordered_map<VertexPair, CEdge*, VertexPairHash> firstEdge;
    firstEdge.reserve(static_cast<std::size_t>(nSegments));
    for (int i = 0; i < nSegments; ++i)
        firstEdge.emplace(std::minmax<const CVertex*>(segments[i].vertexA, segments[i].vertexB), nullptr);
    for (int i = 0; i < nEdges; ++i) {
        CEdge& e = edges[i];
        auto slot = firstEdge.find(std::minmax<const CVertex*>(e.vertexA, e.vertexB));
        if (slot != firstEdge.end() && !slot->second)
            slot->second = &e;
    }
    for (int i = 0; i < nEdges; ++i) {
        CEdge& e = edges[i];
        e.segment = nullptr;
        if (e.stored.segment < 0)
            continue;
        if (e.stored.segment >= nSegments)
            throw std::logic_error("restore of edge failed");
        CSegment* s = &segments[e.stored.segment];
        auto found = firstEdge.find(std::minmax<const CVertex*>(s->vertexA, s->vertexB));
        if (found == firstEdge.end() || found->second != &e)
            throw std::logic_error("restore of edge failed");
        e.segment = s;
        if (e.leftTriangle && e.rightTriangle && e.leftTriangle->alive && e.rightTriangle->alive)
            throw std::logic_error("segment shouldn't have two edges.");
    }
}

void CMesh::resolveTriangles()
{
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle& t = triangles[i];
        CEdge** edgeLinks[3] = {&t.edge0, &t.edge1, &t.edge2};
        CVertex** vertexLinks[3] = {&t.vertex0, &t.vertex1, &t.vertex2};
        for (int k = 0; k < 3; ++k) {
            if (t.stored.edges[k] < 0 || t.stored.edges[k] >= nEdges)
                throw std::logic_error("Invalid edge index");
            *edgeLinks[k] = &edges[t.stored.edges[k]];
            *vertexLinks[k] = findVertex(t.stored.vertices[k]);
            if (!*vertexLinks[k])
                throw std::logic_error("file restore failed");
        }
    }
}
