// CFEModelAnalysis: load vector, banded assembly, the static solve and the
// storing of displacements.
#include <algorithm>
#include <cmath>
#include <cwchar>

#include "analysis/geometry/BandSystem.h"
#include "analysis/geometry/LinearSystem.h"
#include "analysis/model/CLoadCase.h"
#include "analysis/model/CPointForce.h"
#include "drevoline/mesh/CFEElementAnalysis.h"
#include "drevoline/mesh/CFEModelAnalysis.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"

namespace {

constexpr DiscreteSetValue kFirstCode = 367;
constexpr int kDofPerNode = 6;

const wchar_t* codeName(DiscreteSetValue code)
{
    static const wchar_t* const names[kDofPerNode] = {L"u", L"v", L"w", L"thetaX", L"thetaY", L"thetaZ"};
    const int i = code - kFirstCode;
    return i >= 0 && i < kDofPerNode ? names[i] : L"";
}

// The message of a freedom without stiffness, kept in storage that outlives
// the throw (the program runs one solve at a time).
const wchar_t* lackOfConstraint(bool zeroRow, const FEIndexSet& dof)
{
    static wchar_t text[220];
    const int number = dof.node->id();
    const int knot = kDofPerNode * dof.node->index + (dof.code - kFirstCode);
    if (zeroRow)
        std::swprintf(text, 220, L"Possible lack of constraint -- node:%d, dof:%ls,  knot:%d", number,
                      codeName(dof.code), knot);
    else
        std::swprintf(text, 220, L"Possible lack of constraint -- nodeID:%d, dof:%ls", number,
                      codeName(dof.code));
    return text;
}

}  // namespace

void CFEModelAnalysis::rightHandSide(const CLoadCondition* lc)
{
    loadVector = std::make_unique<Matrix>(solutionSize(), 1);
    if (!lc || !lc->isLoadCase() || !lc->ldCase())
        return;
    const CList<CLoad*>& loads = lc->ldCase()->loads();
    for (POSITION pos = loads.GetHeadPosition(); pos;) {
        CLoad* load = loads.GetNext(pos);
        auto* force = dynamic_cast<CPointForce*>(load);
        if (!force || load->type() != 0)
            continue;
        Point<double> at = *force->position();
        CFENodeAnalysis* node = findNode(at);
        // A force between nodes would silently vanish from the solution.
        if (!node)
            throw L"Point force is not at a node.";
        node->pointForceRHS(force, loadVector.get());
    }
}

std::vector<int> CFEModelAnalysis::bandOrder() const
{
    std::vector<std::vector<int>> neighbours(nodes.size());
    for (const auto& e : elements) {
        for (const auto& a : e->nodes)
            for (const auto& b : e->nodes)
                if (a != b)
                    neighbours[static_cast<std::size_t>(a->index)].push_back(b->index);
    }
    for (auto& list : neighbours) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    // The reverse Cuthill-McKee order, unless the nodes' own order is
    // narrower already (structured grids numbered row by row).
    auto width = [&](const std::vector<int>& rank) {
        int w = 0;
        for (std::size_t v = 0; v < neighbours.size(); ++v)
            for (int u : neighbours[v])
                w = std::max(w, std::abs(rank[v] - rank[static_cast<std::size_t>(u)]));
        return w;
    };
    std::vector<int> own(nodes.size());
    for (std::size_t v = 0; v < own.size(); ++v)
        own[v] = static_cast<int>(v);
    std::vector<int> rcm = reverseCuthillMcKee(neighbours);
    return width(own) <= width(rcm) ? own : rcm;
}

void CFEModelAnalysis::assemble()
{
    // Active freedoms in band order: nodes by their bandwidth-reducing
    // rank, the codes of a node together.
    const int n = static_cast<int>(activeTable.GetSize());
    const std::vector<int> rank = bandOrder();
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return rank[activeTable[a].node->index] < rank[activeTable[b].node->index];
    });
    m_bandRow.assign(static_cast<std::size_t>(n), 0);
    for (int r = 0; r < n; ++r)
        m_bandRow[order[r]] = r;
    std::vector<int> activeOf(static_cast<std::size_t>(solutionSize()), -1);
    for (int i = 0; i < n; ++i)
        activeOf[kDofPerNode * activeTable[i].node->index + (activeTable[i].code - kFirstCode)] = m_bandRow[i];

    CArray<int, int> global;
    int kd = 0;
    for (const auto& e : elements) {
        globalIndices(e.get(), &global);
        for (INT_PTR i = 0; i < global.GetSize(); ++i)
            for (INT_PTR j = 0; j < global.GetSize(); ++j)
                if (activeOf[global[i]] >= 0 && activeOf[global[j]] >= 0)
                    kd = std::max(kd, std::abs(activeOf[global[i]] - activeOf[global[j]]));
    }
    m_system = std::make_unique<SymmetricBandSystem>(n, n > 0 ? std::min(kd, n - 1) : 0);
    for (const auto& e : elements) {
        e->Kg.setSize(0, 0);
        e->stiffness();
        globalIndices(e.get(), &global);
        const int m = static_cast<int>(global.GetSize());
        if (e->Kg.nrows() != m || e->Kg.ncols() != m)
            continue;
        for (int i = 0; i < m; ++i) {
            for (int j = 0; j < m; ++j) {
                const int ri = activeOf[global[i]];
                const int rj = activeOf[global[j]];
                // The band keeps the upper triangle: each pair once.
                if (ri >= 0 && rj >= 0 && ri <= rj)
                    m_system->add(ri, rj, e->Kg(i, j));
            }
        }
    }
}

const SymmetricBandSystem& CFEModelAnalysis::reducedSystem(const CLoadCondition* lc)
{
    for (const auto& e : elements) {
        if (dynamic_cast<const CFEQuad4*>(e.get()))
            throw L"Quadrilateral elements have no stiffness; solve a triangle mesh.";
    }
    indexNodes();
    initLCDiscrete(lc);
    reduceIndices();
    rightHandSide(lc);
    assemble();

    const int n = static_cast<int>(activeTable.GetSize());
    const std::vector<double> rows = m_system->rowMagnitudes();
    for (int i = 0; i < n; ++i) {
        if (rows[m_bandRow[i]] <= 1e-10)
            throw lackOfConstraint(true, activeTable[i]);
    }
    bool zeroLoads = true;
    for (int i = 0; i < n; ++i) {
        const FEIndexSet& dof = activeTable[i];
        const double f = (*loadVector)(kDofPerNode * dof.node->index + (dof.code - kFirstCode), 0);
        m_system->rhs(m_bandRow[i]) = f;
        zeroLoads = zeroLoads && std::fabs(f) <= 1e-11;
    }
    if (zeroLoads)
        throw L"Inadequate constraints";
    return *m_system;
}

void CFEModelAnalysis::solveStatic(const CLoadCondition* lc)
{
    reducedSystem(lc);
    const int n = static_cast<int>(activeTable.GetSize());
    if (m_system->solve() != 0)
        throw L"Can't solve the linear system.";
    std::vector<double> x(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        x[i] = m_system->values()[m_bandRow[i]];
    storeResults(x, lc);
    solved = 1;
    if (lc && !isSolved(lc))
        m_solvedNames.push_back(lc->name());
}

void CFEModelAnalysis::storeResults(const std::vector<double>& x, const CLoadCondition* lc)
{
    const double limit = length() / 10.0;
    const int n = std::min(static_cast<int>(x.size()), static_cast<int>(activeTable.GetSize()));
    for (int i = 0; i < n; ++i) {
        if (std::fabs(x[i]) > limit)
            throw L"Solution is unreasonable. Check boundary conditions.";
        activeTable[i].node->setValue(lc, activeTable[i].code, x[i]);
    }
}

void CFEModelAnalysis::storeResults(LinearSystem* system, const CLoadCondition* lc)
{
    std::vector<double> x(static_cast<std::size_t>(activeTable.GetSize()));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = system->solution(static_cast<int>(i));
    storeResults(x, lc);
}

const wchar_t* CFEModelAnalysis::zeroColumnMessage(const FEIndexSet& dof)
{
    return lackOfConstraint(false, dof);
}
