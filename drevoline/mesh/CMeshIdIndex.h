// The id index a mesh keeps while it is loaded and resolved.
#pragma once

#include <unordered_map>

#include "drevoline/mesh/CMesh.h"

// Array index of the first vertex and triangle of each id.
struct CMesh::IdIndex {
    std::unordered_map<int, int> vertexById;
    std::unordered_map<int, int> triangleById;

    // Indexes the mesh's vertices and triangles (the first of an id wins).
    explicit IdIndex(const CMesh& mesh)
    {
        vertexById.reserve(static_cast<std::size_t>(mesh.nNodes));
        for (int i = 0; i < mesh.nNodes; ++i)
            vertexById.emplace(mesh.vertices[i].id, i);
        triangleById.reserve(static_cast<std::size_t>(mesh.nTriangles));
        for (int i = 0; i < mesh.nTriangles; ++i)
            triangleById.emplace(mesh.triangles[i].id, i);
    }
    // Array index of the vertex with that id, or null.
    const int* vertex(int id) const { return find(vertexById, id); }
    // Array index of the triangle with that id, or null.
    const int* triangle(int id) const { return find(triangleById, id); }

private:
    static const int* find(const std::unordered_map<int, int>& map, int id)
    {
        auto it = map.find(id);
        return it == map.end() ? nullptr : &it->second;
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
