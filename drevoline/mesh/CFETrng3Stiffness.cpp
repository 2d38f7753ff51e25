// CFETrng3: plane-stress stiffness, local axes and the element record.
#include <cmath>
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/LoadedMaterial.h"
#include "drevoline/mesh/CFETrng3.h"
#include "platform/core/CArchive.h"

void CFETrng3::stiffness()
{
    if (!material)
        throw std::logic_error("material is not defined for element");
    const Point<double> p[3] = {pos(0), pos(1), pos(2)};
    const double b[3] = {p[1].y - p[2].y, p[2].y - p[0].y, p[0].y - p[1].y};
    const double c[3] = {p[2].x - p[1].x, p[0].x - p[2].x, p[1].x - p[0].x};
    const double A = area();
    if (!(A > 0.0))
        throw std::logic_error("Element has no area");
    const double t = thickness;
    const double E = material->E();
    const double nu = material->nu();

    // Shear part: gᵀ·g with g = (c1, b1, c2, b2, c3, b3), lower triangle then mirrored.
    const double g[6] = {c[0], b[0], c[1], b[1], c[2], b[2]};
    const double shearFactor = t * E / ((1.0 + nu) * 8.0 * A);
    Ks.setSize(6, 6);
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j <= i; ++j)
            Ks.ref(i, j) = g[i] * g[j] * shearFactor;
    }
    Ks.mirrorUp();
    Ks.sym(1);

    // Normal-stress part.
    const double normalFactor = t * E / ((1.0 - nu * nu) * 4.0 * A);
    Kn.setSize(6, 6);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            Kn.ref(2 * i, 2 * j) = b[i] * b[j] * normalFactor;
            Kn.ref(2 * i + 1, 2 * j + 1) = c[i] * c[j] * normalFactor;
            Kn.ref(2 * i + 1, 2 * j) = nu * c[i] * b[j] * normalFactor;
            Kn.ref(2 * i, 2 * j + 1) = nu * b[i] * c[j] * normalFactor;
        }
    }
    Kn.sym(1);
    Ksum = Kn + Ks;
    Ksum.sym(1);
    // The plane triangle's freedoms are already the global u and v of its
    // nodes: its stiffness needs no transformation before assembly.
    K = Ksum;
    Kg = Ksum;
}

void CFETrng3::localGlobalTransform()
{
    auto unit = [](Point<double> v) {
        if (v.length() >= 1e-12)
            v = v / v.length();
        return v;
    };
    const Point<double> e1 = unit(pos(1) - pos(0));
    const Point<double> v = unit(pos(2) - pos(0));
    const Point<double> w = cross(v, e1);
    const Point<double> a = unit(cross(w, e1));
    const double first[3] = {a.x, a.y, a.z};
    const double second[3] = {e1.x, e1.y, e1.z};
    for (int i = 0; i < 3; ++i) {
        axis1[i] = first[i];
        axis2[i] = second[i];
        axis3[i] = 0.0;
    }
    T.setSize(9, 9);
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < 3; ++i) {
            T.ref(2 * k, 3 * k + i) = first[i];
            T.ref(2 * k + 1, 3 * k + i) = second[i];
        }
    }
}

void CFETrng3::Serialize(CArchive& ar, NodeList* list, const NodeIndex* index)
{
    CFEElementAnalysis::Serialize(ar);
    if (ar.IsStoring()) {
        if (nodes.size() != 3)
            throw std::logic_error("null node point in triangle creation");
        ar << id << nodes[0]->id() << nodes[1]->id() << nodes[2]->id();
        ar << static_cast<BYTE>(material ? 1 : 0);
        if (material)
            ar << material->name;
        return;
    }
    int numbers[3] = {0, 0, 0};
    ar >> id >> numbers[0] >> numbers[1] >> numbers[2];
    BYTE hasMaterial = 0;
    ar >> hasMaterial;
    leaveNodes(nodes);
    nodes.clear();
    for (int number : numbers) {
        std::shared_ptr<CFENodeAnalysis> n = findNode(list, number, index);
        // An element cannot stand on a node the file does not hold.
        if (!n)
            throw std::logic_error("Element node is not recovered.");
        n->elements.push_back(this);
        nodes.push_back(std::move(n));
    }
    material = nullptr;
    if (hasMaterial) {
        CString name;
        ar >> name;
        material = loadedMaterial(name, "Element material is not recovered.");
    }
}
