// Lookup tables of the mesher: edges and segments by their two vertices,
// live triangles by quality.
#include "drevoline/mesh/CMeshIndex.h"

#include <algorithm>

CMeshIndex::CMeshIndex(CMesh& mesh) : m_mesh(mesh)
{
    m_edges.reserve(static_cast<std::size_t>(mesh.nEdges) * 2 + 16);
    for (int i = 0; i < mesh.nEdges; ++i)
        edgeLinked(&mesh.edges[i]);
    for (int i = 0; i < mesh.nSegments; ++i)
        segmentLinked(&mesh.segments[i]);
    m_incident.assign(static_cast<std::size_t>(mesh.capacity.nodes), nullptr);
    for (int i = 0; i < mesh.nTriangles; ++i)
        triangleChanged(&mesh.triangles[i]);
}

CMeshIndex::Key CMeshIndex::key(const CVertex* a, const CVertex* b) const
{
    auto ia = static_cast<std::uint64_t>(a - &m_mesh.vertices[0]);
    auto ib = static_cast<std::uint64_t>(b - &m_mesh.vertices[0]);
    if (ia > ib)
        std::swap(ia, ib);
    return (ia << 32) | ib;
}

CEdge* CMeshIndex::edgeBetween(const CVertex* a, const CVertex* b) const
{
    if (m_edgeClash)
        return m_mesh.findEdge(const_cast<CVertex*>(a), const_cast<CVertex*>(b));
    auto it = m_edges.find(key(a, b));
    return it == m_edges.end() ? nullptr : it->second;
}

CSegment* CMeshIndex::segmentBetween(const CVertex* a, const CVertex* b) const
{
    if (m_segmentClash)
        return m_mesh.findSegment(const_cast<CVertex*>(a), const_cast<CVertex*>(b));
    auto it = m_segments.find(key(a, b));
    return it == m_segments.end() ? nullptr : it->second;
}

void CMeshIndex::edgeUnlinked(CEdge* e)
{
    if (!e->vertexA || !e->vertexB)
        return;
    auto it = m_edges.find(key(e->vertexA, e->vertexB));
    if (it != m_edges.end() && it->second == e)
        m_edges.erase(it);
}

void CMeshIndex::edgeLinked(CEdge* e)
{
    if (!e->vertexA || !e->vertexB)
        return;
    auto [it, fresh] = m_edges.try_emplace(key(e->vertexA, e->vertexB), e);
    if (!fresh && it->second != e) {
        m_edgeClash = true;
        if (edgeIndex(e) < edgeIndex(it->second))
            it->second = e;
    }
}

void CMeshIndex::segmentUnlinked(CSegment* s)
{
    if (!s->vertexA || !s->vertexB)
        return;
    auto it = m_segments.find(key(s->vertexA, s->vertexB));
    if (it != m_segments.end() && it->second == s)
        m_segments.erase(it);
}

void CMeshIndex::segmentLinked(CSegment* s)
{
    if (!s->vertexA || !s->vertexB)
        return;
    auto [it, fresh] = m_segments.try_emplace(key(s->vertexA, s->vertexB), s);
    if (!fresh && it->second != s) {
        m_segmentClash = true;
        if (segmentIndex(s) < segmentIndex(it->second))
            it->second = s;
    }
}

void CMeshIndex::trackQuality()
{
    m_tracking = true;
    m_byQuality.clear();
    m_quality.assign(static_cast<std::size_t>(m_mesh.capacity.triangles), 0.0);
    m_queued.assign(static_cast<std::size_t>(m_mesh.capacity.triangles), 0);
    for (int i = 0; i < m_mesh.nTriangles; ++i)
        triangleChanged(&m_mesh.triangles[i]);
}

void CMeshIndex::triangleChanged(CTriangle* t)
{
    for (CVertex* v : {t->vertex0, t->vertex1, t->vertex2})
        if (v && vertexIndex(v) < m_incident.size())
            m_incident[vertexIndex(v)] = t;
    if (!m_tracking)
        return;
    const int i = triangleIndex(t);
    if (static_cast<std::size_t>(i) >= m_queued.size()) {
        m_quality.resize(static_cast<std::size_t>(i) + 1, 0.0);
        m_queued.resize(static_cast<std::size_t>(i) + 1, 0);
    }
    if (m_queued[i]) {
        m_byQuality.erase({m_quality[i], i});
        m_queued[i] = 0;
    }
    // A NaN quality never compares below the running minimum of a scan, so
    // such a triangle is never the worst: leave it out.
    if (t->alive && !std::isnan(t->quality)) {
        m_quality[i] = t->quality;
        m_byQuality.insert({t->quality, i});
        m_queued[i] = 1;
    }
}

bool CMeshIndex::trianglesAround(const CVertex* v, std::vector<CTriangle*>& out) const
{
    out.clear();
    const std::size_t iv = vertexIndex(v);
    CTriangle* first = iv < m_incident.size() ? m_incident[iv] : nullptr;
    auto cornerOf = [&](const CTriangle* t) {
        for (int k = 0; k < 3; ++k)
            if (t->vertex(k) == v)
                return k;
        return -1;
    };
    if (!first || cornerOf(first) < 0)
        return false;
    // Turn about v across the edge that ends at v in each triangle.
    const int cap = m_mesh.nTriangles + 1;
    CTriangle* t = first;
    for (int step = 0;; ++step) {
        if (step > cap)
            return false;
        if (t->alive)
            out.push_back(t);
        const int k = cornerOf(t);
        if (k < 0)
            return false;
        const CEdge* e = t->edge(k + 2);
        CTriangle* next = e->leftTriangle == t ? e->rightTriangle : e->leftTriangle;
        if (!next || (e->leftTriangle != t && e->rightTriangle != t))
            return false;
        t = next;
        if (t == first)
            break;
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return true;
}

CTriangle* CMeshIndex::worstTriangle() const
{
    if (m_byQuality.empty())
        return nullptr;
    const auto& [q, i] = *m_byQuality.begin();
    // The scan starts from 1e30 with a strict comparison.
    if (!(q < 1e30))
        return nullptr;
    return &m_mesh.triangles[i];
}

CMeshIndexScope::CMeshIndexScope(CMesh& mesh) : m_mesh(mesh)
{
    if (!m_mesh.meshIndex) {
        m_mesh.meshIndex = new CMeshIndex(mesh);
        m_owner = true;
    }
}

CMeshIndexScope::~CMeshIndexScope()
{
    if (m_owner) {
        delete m_mesh.meshIndex;
        m_mesh.meshIndex = nullptr;
    }
}
