// CFEElementAnalysis: node bookkeeping, index list and transformed stiffness.
#include "drevoline/mesh/CFEElementAnalysis.h"

#include <algorithm>

#include "drevoline/mesh/CFENodeAnalysis.h"

IMPLEMENT_SERIAL(CFEElementAnalysis, CObject, 1)

CFEElementAnalysis::CFEElementAnalysis() = default;

CFEElementAnalysis::CFEElementAnalysis(const CFEElementAnalysis&) : CObject() {}

CFEElementAnalysis::~CFEElementAnalysis()
{
    leaveNodes(nodes);
}

void CFEElementAnalysis::leaveNodes(const std::vector<std::shared_ptr<CFENodeAnalysis>>& list)
{
    for (const auto& n : list) {
        if (!n)
            continue;
        auto& e = n->elements;
        e.erase(std::remove(e.begin(), e.end(), this), e.end());
    }
}

void CFEElementAnalysis::Serialize(CArchive&) {}
void CFEElementAnalysis::stiffness() {}
void CFEElementAnalysis::localGlobalTransform() {}
void CFEElementAnalysis::read(CArchive&) {}
void CFEElementAnalysis::write(CArchive&) {}

void CFEElementAnalysis::loadIndices(CArray<int, int>* indices) const
{
    const int n = static_cast<int>(nodes.size());
    const int d = nDof;
    indices->SetSize(n * d);
    for (int i = 0; i < n * d; ++i)
        (*indices)[i] = 0;
    // Slots 1 to 3 are the element's own nodes for two- and three-node
    // elements; each slot's block of d entries takes the running offset.
    const CFENodeAnalysis* slot[3] = {nullptr, nullptr, nullptr};
    if (n == 2 || n == 3) {
        for (int s = 0; s < n; ++s)
            slot[s] = nodes[s].get();
    }
    int offset = 0;
    for (const auto& node : nodes) {
        for (int s = 0; s < 3; ++s) {
            if (slot[s] && slot[s] == node.get()) {
                for (int i = 0; i < d; ++i)
                    (*indices)[s * d + i] = offset + i;
                break;
            }
        }
        offset += d;
    }
}

void CFEElementAnalysis::transformStiffness()
{
    localGlobalTransform();
    Kg = T.transpose() * K * T;
}
