// Shared fixtures of the plastic-bending tests: a metal with the same values
// in every direction and grain, and a refined mesh.
#pragma once

#include <memory>

#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"

namespace plastic_test {

// A metal "alloy" with modulus E, yield Fy and ultimate Fu in tension and
// compression, Ramberg-Osgood offset alpha and exponent n in all four cases.
inline std::shared_ptr<CMetal> uniformMetal(double E, double Fy, double Fu, double alpha, double n)
{
    auto m = std::make_shared<CMetal>();
    m->name = L"alloy";
    m->E(E);
    m->Gshear(E / 2.6);
    m->nu(0.3);
    m->Fty_L = m->Fty_LT = m->Fcy_L = m->Fcy_LT = Fy;
    m->Ftu_L = m->Ftu_LT = m->Fcu_L = m->Fcu_LT = Fu;
    m->alpha = {alpha, alpha, alpha, alpha};
    m->nYield = {n, n, n, n};
    m->nUltimate = {n, n, n, n};
    return m;
}

// Refines the triangles of m to sides of about size within 50 of (5, 5) and
// builds its elements again: the strain-field analyses average corner
// stresses, so they need finer meshes than the default.
inline void refineTriangles(CMesh& m, double size)
{
    CPoint2d centre(5.0, 5.0);
    m.localResizeTriangles(centre, 50.0, size);
    m.trng3Elements.clear();
    m.nodes.clear();
    m.create2DFEM(1.0);
}

}  // namespace plastic_test
