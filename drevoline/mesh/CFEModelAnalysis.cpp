// CFEModelAnalysis: construction, building, tables, lookups, the load
// condition combo and the bulk-data file.
#include "drevoline/mesh/CFEModelAnalysis.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <locale>
#include <stdexcept>

#include "analysis/geometry/BandSystem.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/mesh/CFEElementAnalysis.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "platform/core/CComboBox.h"
#include "platform/core/Exceptions.h"

IMPLEMENT_SERIAL(CFEModelAnalysis, CModel, 1)

namespace {

constexpr DiscreteSetValue kFirstCode = 367;
constexpr int kDofPerNode = 6;
const wchar_t* const kLoadsName = L"Finite Element Loads";

}  // namespace

CFEModelAnalysis::CFEModelAnalysis() : CFEModelAnalysis(gModel) {}

CFEModelAnalysis::CFEModelAnalysis(CModel* previous) : holder(std::make_unique<CBaseSubSection>())
{
    // The model base made this model current; a finite-element model is a
    // helper of the section model and leaves the current model alone.
    gModel = previous;
    initialize();
}

CFEModelAnalysis::~CFEModelAnalysis()
{
    holder->deleteLoadConditions();
    elements.clear();
    nodes.clear();
}

void CFEModelAnalysis::Serialize(CArchive& ar)
{
    CModel::Serialize(ar);
}

void CFEModelAnalysis::initialize()
{
    elements.clear();
    nodes.clear();
    holder->addLoadCondition(FEMLoadCase, CString(kLoadsName));
    holder->curAppLC(holder->findLoadCondition(CString(kLoadsName)));
    changed();
}

void CFEModelAnalysis::clear()
{
    holder->deleteLoadConditions();
    holder->curAppLC(nullptr);
    initialize();
}

void CFEModelAnalysis::changed()
{
    solved = 0;
    m_solvedNames.clear();
}

void CFEModelAnalysis::addNode(std::shared_ptr<CFENodeAnalysis> node)
{
    node->index = static_cast<int>(nodes.size());
    nodes.push_back(std::move(node));
    changed();
}

void CFEModelAnalysis::addElement(std::unique_ptr<CFEElementAnalysis> element)
{
    elements.push_back(std::move(element));
    changed();
}

void CFEModelAnalysis::fix(CFENodeAnalysis* node, DiscreteSetValue code, int flag)
{
    node->fix(code, flag);
    changed();
}

namespace {

// Takes the entry holding p out of the list; CInvalidArgException when none does.
template <class List, class T>
void eraseEntry(List& list, const T* p)
{
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& entry) { return entry.get() == p; });
    if (it == list.end())
        AfxThrowInvalidArgException();
    list.erase(it);
}

}  // namespace

void CFEModelAnalysis::removeElement(CFEElementAnalysis* element)
{
    eraseEntry(elements, element);
    changed();
}

void CFEModelAnalysis::removeNode(CFENodeAnalysis* node)
{
    eraseEntry(nodes, node);
    changed();
}

CPointForce* CFEModelAnalysis::applyPtForce(CString name, Point<double>& position, double magnitude,
                                            Point<double>& direction)
{
    std::shared_ptr<CLoadCondition> current = holder->curAppLC();
    CLoadCondition* lc = current ? holder->findLoadConditionMutable(current->name()) : nullptr;
    if (!lc)
        throw std::logic_error("No current load condition");
    auto* force = new CPointForce(name, position.x, position.y, position.z, magnitude, &direction);
    lc->append(force);
    changed();
    return force;
}

void CFEModelAnalysis::indexNodes()
{
    for (std::size_t k = 0; k < nodes.size(); ++k)
        nodes[k]->index = static_cast<int>(k);
}

void CFEModelAnalysis::initLCDiscrete(const CLoadCondition* lc)
{
    for (const auto& n : nodes)
        n->initLCDiscrete(lc);
}

void CFEModelAnalysis::setIndices()
{
    activeTable.SetSize(solutionSize());
    int k = 0;
    for (const auto& n : nodes)
        for (int c = 0; c < kDofPerNode; ++c)
            activeTable[k++] = FEIndexSet{kFirstCode + c, n.get()};
    removedCount = 0;
    removedTable.RemoveAll();
    removedTable.SetSize(solutionSize());
}

void CFEModelAnalysis::removeIndex(CFENodeAnalysis* node, DiscreteSetValue code)
{
    removedList.Add(kDofPerNode * node->index + (code - kFirstCode));
    if (removedCount >= removedTable.GetSize())
        removedTable.SetSize(removedCount + 1);
    removedTable[removedCount++] = FEIndexSet{code, node};
    const FEIndexSet entry{code, node};
    for (INT_PTR i = 0; i < activeTable.GetSize(); ++i) {
        if (activeTable[i] == entry) {
            activeTable.RemoveAt(i);
            break;
        }
    }
}

void CFEModelAnalysis::reduceIndices()
{
    setIndices();
    removedList.RemoveAll();
    // Each freedom is listed once, so one pass that keeps the others in
    // order gives the tables that removing them one by one would.
    CArray<FEIndexSet> kept;
    kept.SetSize(0, solutionSize());
    for (const auto& n : nodes) {
        for (int c = 0; c < kDofPerNode; ++c) {
            const DiscreteSetValue code = kFirstCode + c;
            // Plane triangles give the out-of-plane freedoms no stiffness.
            const bool removed = n->eliminated(code) != 0 || code > kFirstCode + 1;
            if (!removed) {
                kept.Add(FEIndexSet{code, n.get()});
                continue;
            }
            removedList.Add(kDofPerNode * n->index + c);
            removedTable[removedCount++] = FEIndexSet{code, n.get()};
        }
    }
    activeTable.Copy(kept);
}

int CFEModelAnalysis::isRemoved(CFENodeAnalysis* node, DiscreteSetValue code) const
{
    const FEIndexSet entry{code, node};
    for (int i = 0; i < removedCount; ++i) {
        if (removedTable[i] == entry)
            return 1;
    }
    return 0;
}

int CFEModelAnalysis::solutionSize() const
{
    return kDofPerNode * static_cast<int>(nodes.size());
}

void CFEModelAnalysis::globalIndices(const CFEElementAnalysis* element, CArray<int, int>* indices) const
{
    indices->RemoveAll();
    for (const auto& n : element->nodes) {
        indices->Add(kDofPerNode * n->index);
        indices->Add(kDofPerNode * n->index + 1);
    }
}

void CFEModelAnalysis::extents(Point<double>* min, Point<double>* max)
{
    *min = nodes.empty() ? Point<double>() : nodes.front()->position;
    *max = *min;
    for (const auto& n : nodes) {
        const Point<double>& p = n->position;
        *min = Point<double>(std::min(min->x, p.x), std::min(min->y, p.y), std::min(min->z, p.z));
        *max = Point<double>(std::max(max->x, p.x), std::max(max->y, p.y), std::max(max->z, p.z));
    }
    if ((*max - *min).length() < 0.001)
        *max = *min + Point<double>(10.0, 10.0, 10.0);
}

double CFEModelAnalysis::length()
{
    Point<double> lo, hi;
    extents(&lo, &hi);
    return (hi - lo).length();
}

CFEElementAnalysis* CFEModelAnalysis::findElement(int id) const
{
    for (const auto& e : elements) {
        if (e->id == id)
            return e.get();
    }
    return nullptr;
}

CFEElementAnalysis* CFEModelAnalysis::findElementID(int id) const
{
    return findElement(id);
}

CFENodeAnalysis* CFEModelAnalysis::findNode(Point<double>& p) const
{
    for (const auto& n : nodes) {
        if ((n->position - p).length() < 1e-6)
            return n.get();
    }
    return nullptr;
}

CFENodeAnalysis* CFEModelAnalysis::findNode(int id) const
{
    for (const auto& n : nodes) {
        if (n->id() == id)
            return n.get();
    }
    return nullptr;
}

CFEElementAnalysis* CFEModelAnalysis::findSameStiffness(CFEElementAnalysis*) const
{
    return nullptr;
}

int CFEModelAnalysis::maxElementID() const
{
    int largest = elements.empty() ? 0 : elements.front()->id;
    for (const auto& e : elements)
        largest = std::max(largest, e->id);
    return largest;
}

int CFEModelAnalysis::maxNodeID() const
{
    int largest = nodes.empty() ? 0 : nodes.front()->id();
    for (const auto& n : nodes)
        largest = std::max(largest, n->id());
    return largest;
}

bool CFEModelAnalysis::isSolved(const CLoadCondition* lc) const
{
    return lc && std::find(m_solvedNames.begin(), m_solvedNames.end(), lc->name()) != m_solvedNames.end();
}

void CFEModelAnalysis::buildLdCdnCombo(CComboBox* combo) const
{
    for (const auto& lc : holder->loadConditions) {
        const wchar_t* status = isSolved(lc.get()) ? L"Solved" : L"Unsolved";
        const wchar_t* kind = lc->type() == FEMLoadCase ? L"Finite Element Load Case" : L"";
        CString label;
        label.Format(L"%s (%s, %s)", lc->name().GetString(), status, kind);
        combo->AddString(label.GetString());
        const int item = combo->FindString(-1, lc->name().GetString());
        if (item < 0)
            continue;
        combo->SetItemDataPtr(item, lc.get());
        if (lc == holder->curAppLC()) {
            combo->SetCurSel(item);
            combo->SetTopIndex(item);
        }
    }
}

void CFEModelAnalysis::writeBDF(CString& path) const
{
    const std::string file = utf8_encode(std::wstring(path.GetString()));
    std::ofstream out(file, std::ios::out | std::ios::trunc);
    if (!out)
        throw std::runtime_error("Can't open the bulk data file " + file);
    // Numbers in files never follow the user's locale.
    out.imbue(std::locale::classic());
    out << "BULK DATA\n";
    for (const auto& n : nodes) {
        out << "GRID," << n->id() << ",," << n->position.x << "," << n->position.y << "," << n->position.z
            << ",,";
        for (int c = 0; c < kDofPerNode; ++c) {
            if (n->fixed(kFirstCode + c))
                out << (c + 1);
        }
        out << "\n";
    }
    out << "END DATA";
    out.flush();
    out.close();
    if (out.fail())
        throw std::runtime_error("Can't write the bulk data file " + file);
}
