// Small meshes, nodes and materials built by hand for the mesh and element tests.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CMesh.h"

namespace mesh_test {

// The text of a std::logic_error thrown by fn, or "" when none is thrown.
template <class F>
std::string logicText(F fn)
{
    try {
        fn();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "";
}

// A metal with E, nu, equal L yield stresses `fy` and both weights set.
inline std::shared_ptr<CMetal> metal(const char* name, double E = 1.0, double nu = 0.3,
                                     double fy = 1.0, double weight = 1.0)
{
    auto m = std::make_shared<CMetal>();
    m->name = CString(name);
    m->E(E);
    m->nu(nu);
    m->Fty_L = m->Fcy_L = fy;
    m->extra1 = m->extra2 = weight;
    return m;
}

// A node at (x, y) with its own number.
inline std::shared_ptr<CFENodeAnalysis> node(int number, double x, double y)
{
    auto n = std::make_shared<CFENodeAnalysis>();
    n->number = number;
    n->position = Point<double>(x, y, 0.0);
    return n;
}

// A model that holds the given metal while the test runs and restores the
// previous current model afterwards.
class ScopedModel {
public:
    explicit ScopedModel(std::shared_ptr<CMetal> m) : m_previous(gModel)
    {
        m_model = std::make_unique<CModel>();
        m_model->materials.AddTail(std::move(m));
    }
    ~ScopedModel()
    {
        m_model.reset();
        gModel = m_previous;
    }

private:
    CModel* m_previous;
    std::unique_ptr<CModel> m_model;
};

// The unit square (0,0)-(1,1) as two counter-clockwise triangles, behind
// three bounding vertices (ids 0, 1, 2) far outside:
//   vertices 3..6 (ids 4..7): (0,0), (1,0), (1,1), (0,1);
//   triangle 0 = (v3, v4, v5), triangle 1 = (v3, v5, v6);
//   edges 0 v3-v4, 1 v4-v5, 2 v5-v3 (shared), 3 v5-v6, 4 v6-v3.
struct SquareMesh {
    CMesh mesh;
    CVertex* v[7] = {};
    CEdge* e[5] = {};
    CTriangle* t[2] = {};

    SquareMesh()
    {
        mesh.alloc(4, 0);
        const double xy[7][2] = {{-100, -100}, {100, -100}, {0, 100}, {0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int i = 0; i < 7; ++i) {
            v[i] = mesh.newNode();
            v[i]->x = xy[i][0];
            v[i]->y = xy[i][1];
        }
        for (int i = 0; i < 3; ++i)
            v[i]->id = i;
        for (auto& edge : e)
            edge = mesh.newEdge();
        t[0] = mesh.newTriangle();
        t[1] = mesh.newTriangle();
        e[0]->set(v[3], v[4], t[0], nullptr);
        e[1]->set(v[4], v[5], t[0], nullptr);
        e[2]->set(v[5], v[3], t[0], t[1]);
        e[3]->set(v[5], v[6], t[1], nullptr);
        e[4]->set(v[6], v[3], t[1], nullptr);
        t[0]->set(v[3], v[4], v[5], e[0], e[1], e[2]);
        t[1]->set(v[3], v[5], v[6], e[2], e[3], e[4]);
    }
};

}  // namespace mesh_test
