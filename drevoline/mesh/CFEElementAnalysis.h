// The common base of the finite elements: nodes, material, kind and the
// matrices of the stiffness pipeline.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/Matrix.h"
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"

class CArchive;
class CFENodeAnalysis;
class CMetal;

// Element base (serial class "CFEElementAnalysis", schema 1). An element
// removes itself from its nodes' element lists when it is destroyed.
class CFEElementAnalysis : public CObject {
    DECLARE_SERIAL(CFEElementAnalysis)

public:
    // Kinds of element.
    static constexpr int kRod = 0;
    static constexpr int kBeam = 1;
    static constexpr int kInplaneTri = 5;

    // No nodes, no material, id and kind 0.
    CFEElementAnalysis();
    // An empty element: nodes, material and matrices are not copied.
    CFEElementAnalysis(const CFEElementAnalysis& other);
    CFEElementAnalysis& operator=(const CFEElementAnalysis&) = delete;
    // Leaves the element lists of its nodes and releases them.
    ~CFEElementAnalysis() override;

    // Stores nothing (the derived elements' serialisers take a node list).
    void Serialize(CArchive& ar) override;
    // Element stiffness in local axes (nothing in the base).
    virtual void stiffness();
    // Local-to-global transformation T (nothing in the base).
    virtual void localGlobalTransform();
    // Nothing in the base.
    virtual void read(CArchive& ar);
    // Nothing in the base.
    virtual void write(CArchive& ar);

    // 1 when the kind is rod (0), beam (1) or in-plane triangle (5).
    int isRod() const { return kind == kRod ? 1 : 0; }
    int isBeam() const { return kind == kBeam ? 1 : 0; }
    int isInplaneTri() const { return kind == kInplaneTri ? 1 : 0; }
    // Resizes to nodes x nDof and fills positions 0 ... n·d − 1 for two- and
    // three-node elements (other elements: all 0).
    void loadIndices(CArray<int, int>* indices) const;
    // localGlobalTransform(), then Kg = Tᵀ·K·T.
    void transformStiffness();

    int id = 0;
    int kind = 0;
    std::vector<std::shared_ptr<CFENodeAnalysis>> nodes;
    int nDof = 0;  // degrees of freedom per node
    Matrix K;      // stiffness in local axes
    Matrix T;      // local-to-global transformation
    Matrix Kg;     // Tᵀ·K·T
    const CMetal* material = nullptr;  // not owned

protected:
    // Takes this element out of the element list of every node in `list`.
    void leaveNodes(const std::vector<std::shared_ptr<CFENodeAnalysis>>& list);
};
