// Lookup tables that the mesher keeps while it works on a mesh: the edge and
// the segment joining two vertices, and the live triangles ordered by
// quality. They give the same answers as the linear scans over the record
// arrays (first record in array order wins) without their cost. The tables
// exist only while a meshing operation runs (CMeshIndexScope); every change
// the mesher makes to an edge, a segment or a triangle goes through the
// update functions below, so the tables never go stale.
#pragma once

#include <cmath>
#include <cstdint>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "drevoline/mesh/CMesh.h"

class CMeshIndex {
public:
    // Builds the edge and segment tables from the records in use.
    explicit CMeshIndex(CMesh& mesh);

    // The first edge in array order joining a and b in either direction, or null.
    CEdge* edgeBetween(const CVertex* a, const CVertex* b) const;
    // The first segment in array order joining a and b in either direction, or null.
    CSegment* segmentBetween(const CVertex* a, const CVertex* b) const;

    // Call before an edge's ends change, and edgeLinked after.
    void edgeUnlinked(CEdge* e);
    void edgeLinked(CEdge* e);
    // The same for segments.
    void segmentUnlinked(CSegment* s);
    void segmentLinked(CSegment* s);

    // The live triangles having v as a corner, in array order (what
    // CMesh::vertexTriangles gives), by a walk around v. False when the walk
    // cannot be trusted (the caller then scans).
    bool trianglesAround(const CVertex* v, std::vector<CTriangle*>& out) const;

    // Starts keeping the live triangles ordered by quality (from now on every
    // change must be reported through triangleChanged).
    void trackQuality();
    // A triangle's vertices, quality or alive flag changed.
    void triangleChanged(CTriangle* t);
    // The live triangle of least quality, the first in array order among
    // equals; null when none (quality must be tracked).
    CTriangle* worstTriangle() const;

private:
    using Key = std::uint64_t;
    Key key(const CVertex* a, const CVertex* b) const;
    int edgeIndex(const CEdge* e) const { return static_cast<int>(e - &m_mesh.edges[0]); }
    int segmentIndex(const CSegment* s) const { return static_cast<int>(s - &m_mesh.segments[0]); }
    int triangleIndex(const CTriangle* t) const { return static_cast<int>(t - &m_mesh.triangles[0]); }
    std::size_t vertexIndex(const CVertex* v) const
    {
        return static_cast<std::size_t>(v - &m_mesh.vertices[0]);
    }

    CMesh& m_mesh;
    std::unordered_map<Key, CEdge*> m_edges;
    std::unordered_map<Key, CSegment*> m_segments;
    // Two records joined the same vertices at some time: lookups then scan.
    bool m_edgeClash = false;
    bool m_segmentClash = false;

    bool m_tracking = false;
    std::set<std::pair<double, int>> m_byQuality;
    std::vector<double> m_quality;  // the key under which a triangle sits in m_byQuality
    std::vector<char> m_queued;
    // A triangle having each vertex as a corner (by vertex array index).
    std::vector<CTriangle*> m_incident;
};

// Gives the mesh an index for the lifetime of the scope unless it has one
// already (nested scopes share the outermost one's index).
class CMeshIndexScope {
public:
    explicit CMeshIndexScope(CMesh& mesh);
    ~CMeshIndexScope();
    CMeshIndexScope(const CMeshIndexScope&) = delete;
    CMeshIndexScope& operator=(const CMeshIndexScope&) = delete;

private:
    CMesh& m_mesh;
    bool m_owner = false;
};
