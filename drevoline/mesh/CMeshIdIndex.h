// The id index a mesh keeps while it is loaded and resolved.
#pragma once

#include <vector>

#include "drevoline/mesh/CMesh.h"

// Array index of the first vertex and triangle of each id. The lookups ask
// only for vertex ids 0 to nNodes and triangle ids 0 to nTriangles
// (findVertex, findTriangle), so a flat table of that many slots answers
// them; records with ids outside it can never be found and are left out.
struct CMesh::IdIndex {
    std::vector<int> vertexById;
    std::vector<int> triangleById;

    // Indexes the mesh's vertices and triangles (the first of an id wins).
    explicit IdIndex(const CMesh& mesh)
        : vertexById(static_cast<std::size_t>(mesh.nNodes) + 1, kNone),
          triangleById(static_cast<std::size_t>(mesh.nTriangles) + 1, kNone)
    {
        for (int i = mesh.nNodes - 1; i >= 0; --i)
            put(vertexById, mesh.vertices[i].id, i);
        for (int i = mesh.nTriangles - 1; i >= 0; --i)
            put(triangleById, mesh.triangles[i].id, i);
    }
    // Array index of the vertex with that id, or null.
    const int* vertex(int id) const { return find(vertexById, id); }
    // Array index of the triangle with that id, or null.
    const int* triangle(int id) const { return find(triangleById, id); }

private:
    static constexpr int kNone = -1;

    // Filled from the last record to the first, so that the first of an id stays.
    static void put(std::vector<int>& table, int id, int index)
    {
        if (id >= 0 && static_cast<std::size_t>(id) < table.size())
            table[static_cast<std::size_t>(id)] = index;
    }
    static const int* find(const std::vector<int>& table, int id)
    {
        if (id < 0 || static_cast<std::size_t>(id) >= table.size() || table[static_cast<std::size_t>(id)] == kNone)
            return nullptr;
        return &table[static_cast<std::size_t>(id)];
    }
};

// Keeps a fresh id index on the mesh for its lifetime.
class CMesh::IndexScope {
public:
    explicit IndexScope(CMesh& mesh) : m_mesh(mesh) { m_mesh.idIndex = std::make_unique<IdIndex>(mesh); }
    ~IndexScope() { m_mesh.idIndex.reset(); }
    IndexScope(const IndexScope&) = delete;
    IndexScope& operator=(const IndexScope&) = delete;

private:
    CMesh& m_mesh;
};
