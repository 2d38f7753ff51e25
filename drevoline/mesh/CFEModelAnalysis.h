// The finite-element model: nodes, elements, load conditions, degree-of-
// freedom tables, a linear static solve and the bulk-data export.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/Matrix.h"
#include "analysis/model/CBaseSubSection.h"
#include "analysis/model/CModel.h"
#include "analysis/model/FiniteElementSet.h"
#include "platform/core/CArray.h"
#include "platform/core/CString.h"

class CComboBox;
class CFEElementAnalysis;
class CFENodeAnalysis;
class CLoadCondition;
class CPointForce;
class LinearSystem;
class SymmetricBandSystem;

// One degree of freedom: its code (367 u ... 372 thetaZ) and its node.
struct FEIndexSet {
    DiscreteSetValue code = 0;
    CFENodeAnalysis* node = nullptr;

    bool operator==(const FEIndexSet& o) const { return code == o.code && node == o.node; }
};

// Finite-element model (serial class "CFEModelAnalysis", schema 1; nothing
// of the finite-element data is stored). Six degrees of freedom per node,
// global number 6·index + (code − 367). Only the in-plane triangles carry
// stiffness: the out-of-plane freedoms (w, thetaX, thetaY, thetaZ) are
// always eliminated, and a model holding a quadrilateral cannot be solved.
// Creating a model does not make it the current model.
class CFEModelAnalysis : public CModel {
    DECLARE_SERIAL(CFEModelAnalysis)

public:
    // Empty lists, then initialize(); gModel keeps its previous value.
    CFEModelAnalysis();
    // Deletes the load conditions, the elements and releases the nodes.
    ~CFEModelAnalysis() override;

    // The model base's part only.
    void Serialize(CArchive& ar) override;
    // Nothing: solveStatic solves.
    void solve() override {}
    // Box of the node positions from the first node; a box with a diagonal
    // below 0.001 gets max = min + (10, 10, 10).
    void extents(Point<double>* min, Point<double>* max) override;

    // Forgets the lists (nothing deleted), adds "Finite Element Loads" (type
    // 8) and makes it current; unsolved.
    void initialize();
    // Deletes load conditions, elements and nodes, then initialize().
    void clear();

    // ---- Building the model ----

    // Appends a node (shared with the elements that use it).
    void addNode(std::shared_ptr<CFENodeAnalysis> node);
    // Appends an element; the model owns it.
    void addElement(std::unique_ptr<CFEElementAnalysis> element);
    // Sets the fixed flag of a degree of freedom of a node.
    void fix(CFENodeAnalysis* node, DiscreteSetValue code, int flag);
    // Takes the element out of the list and deletes it; CInvalidArgException
    // when it is not in the model.
    void removeElement(CFEElementAnalysis* element);
    // Takes the node out of the list and releases it; CInvalidArgException
    // when it is not in the model.
    void removeNode(CFENodeAnalysis* node);
    // A point force appended to the current load condition; the condition owns it.
    CPointForce* applyPtForce(CString name, Point<double>& position, double magnitude,
                              Point<double>& direction);

    // ---- Degree-of-freedom tables ----

    // Node k of the list gets index k.
    void indexNodes();
    // Every node gets a value set for lc.
    void initLCDiscrete(const CLoadCondition* lc);
    // Active table: six entries per node in code order; removed table emptied.
    void setIndices();
    // setIndices, then every constrained (and out-of-plane) freedom removed
    // in node and code order.
    void reduceIndices();
    // Moves (code, node) from the active to the removed table.
    void removeIndex(CFENodeAnalysis* node, DiscreteSetValue code);
    // 1 when (code, node) has been removed, else 0.
    int isRemoved(CFENodeAnalysis* node, DiscreteSetValue code) const;
    // 6 × node count.
    int solutionSize() const;
    // Global numbers of an element's freedoms: u and v of each node in turn.
    void globalIndices(const CFEElementAnalysis* element, CArray<int, int>* indices) const;

    // ---- Solution ----

    // The load vector of the point forces of lc (6 × node count rows).
    void rightHandSide(const CLoadCondition* lc);
    // Every element's stiffness assembled over the active freedoms in band
    // storage (bandwidth-reducing order); the tables must be current.
    void assemble();
    // Solves K u = f for lc and stores u on the nodes. Throws a wide text
    // when constraints are missing, the loads are zero, the system cannot be
    // solved, a displacement is unreasonable or a quadrilateral is present.
    void solveStatic(const CLoadCondition* lc);
    // The reduced system K u = f of lc, assembled in band order and not yet
    // factorised, its unknowns in band order. Throws as solveStatic does for
    // missing constraints and zero loads.
    const SymmetricBandSystem& reducedSystem(const CLoadCondition* lc);
    // Stores x (in active-table order) on the nodes for lc; "Solution is
    // unreasonable. Check boundary conditions." beyond a tenth of length().
    void storeResults(const std::vector<double>& x, const CLoadCondition* lc);
    // As above, from the solution of a dense system.
    void storeResults(LinearSystem* system, const CLoadCondition* lc);
    // The zero-column form of the missing-constraint message for a freedom.
    // (The stiffness is symmetric, so a solve reports the zero row first.)
    static const wchar_t* zeroColumnMessage(const FEIndexSet& dof);
    // Whether lc has been solved since the model last changed.
    bool isSolved(const CLoadCondition* lc) const;

    // ---- Queries ----

    // The extents' diagonal length.
    double length();
    // The first element of that id; null when none.
    CFEElementAnalysis* findElement(int id) const;
    CFEElementAnalysis* findElementID(int id) const;
    // The first node closer than 1e-6 to p; null when none.
    CFENodeAnalysis* findNode(Point<double>& p) const;
    // The first node of that number; null when none.
    CFENodeAnalysis* findNode(int id) const;
    // Always null.
    CFEElementAnalysis* findSameStiffness(CFEElementAnalysis* element) const;
    // Largest element id, largest node number; 0 when none.
    int maxElementID() const;
    int maxNodeID() const;
    // Fills the combo with "name (Solved|Unsolved, kind)" per load condition
    // and selects the current one.
    void buildLdCdnCombo(CComboBox* combo) const;
    // Writes "BULK DATA", one GRID card per node and "END DATA"; throws
    // std::runtime_error when the file cannot be written.
    void writeBDF(CString& path) const;
    // Nothing is stored.
    void read(CArchive&) {}
    void write(CArchive&) {}

    std::vector<std::shared_ptr<CFENodeAnalysis>> nodes;
    std::vector<std::unique_ptr<CFEElementAnalysis>> elements;
    CArray<int, int> removedList;
    int removedCount = 0;
    CArray<FEIndexSet> removedTable;
    CArray<FEIndexSet> activeTable;
    std::unique_ptr<Matrix> loadVector;
    int solved = 0;
    // Holds the load conditions and the current one.
    std::unique_ptr<CBaseSubSection> holder;

private:
    explicit CFEModelAnalysis(CModel* previous);
    void changed();
    std::vector<int> bandOrder() const;

    std::unique_ptr<SymmetricBandSystem> m_system;
    std::vector<int> m_bandRow;  // band row of each active-table entry
    std::vector<CString> m_solvedNames;
};
