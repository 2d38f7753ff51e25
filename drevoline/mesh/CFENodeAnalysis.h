// A node of the finite-element model: position, the mesh vertex it stands
// for, constraint flags, the result tables the analyses store on it and
// the discrete values of each load condition.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "analysis/geometry/Point.h"
#include "analysis/model/FiniteElementSet.h"
#include "drevoline/mesh/LCDiscrete.h"
#include "drevoline/mesh/MeshTypes.h"
#include "platform/core/CObject.h"

class CArchive;
class CFEElementAnalysis;
class CLoadCondition;
class CMesh;
class CMetal;
class CPointForce;
class CVertex;
class Matrix;

// The results of one element at a node where materials meet.
class CElementResults {
public:
    CElementResults() = default;
    explicit CElementResults(CFEElementAnalysis* e) : element(e) {}

    CFEElementAnalysis* element = nullptr;
    std::map<RESULTS, double> results;
};

// Node (serial class "CFENodeAnalysis", versionable schema 2). Its number
// is its vertex's id when it has a vertex, else its own number.
class CFENodeAnalysis : public CObject {
    DECLARE_SERIAL(CFENodeAnalysis)

public:
    // A new unique id, empty tables, one value per load-condition set,
    // position 0, number 0, no constraints.
    CFENodeAnalysis();
    // A node at the vertex (z 0), unique id and number the vertex's id.
    explicit CFENodeAnalysis(CVertex* v);
    // A new unique id with the other node's position and constraints;
    // index −1 until the model numbers its nodes.
    explicit CFENodeAnalysis(const CFENodeAnalysis* other);
    CFENodeAnalysis(const CFENodeAnalysis&) = delete;
    CFENodeAnalysis& operator=(const CFENodeAnalysis&) = delete;
    ~CFENodeAnalysis() override;

    // The node's number: the vertex's id, else the own number.
    int id() const;
    // The value of r for the element: the node's own entry unless materials
    // meet here and an element is named, then that element's entry;
    // "CFENodeAnalysis::result()  error: can't get here from anywhere" when
    // the element has no record.
    double result(CFEElementAnalysis* element, RESULTS r);
    // Sets the node's own value of r.
    void setResult(RESULTS r, double value);
    // Sets the value of r for one element (a node where materials meet).
    void setElementResult(CFEElementAnalysis* element, RESULTS r, double value);
    // Stores the value under code for the load condition, adding its set first.
    void setValue(const CLoadCondition* lc, DiscreteSetValue code, double value);
    // The value under code stored for the load condition (its set must exist).
    double getValue(const CLoadCondition* lc, DiscreteSetValue code) const;
    // Adds a set for lc when missing and sizes it to the values per set.
    void initLCDiscrete(const CLoadCondition* lc);
    // The fixed flag of a degree of freedom (367-372), 0 for any other code.
    int fixed(DiscreteSetValue code) const;
    // As fixed.
    int eliminated(DiscreteSetValue code) const;
    // Sets the fixed flag of a degree of freedom (367-372; others ignored).
    void fix(DiscreteSetValue code, int flag);
    // The u, v, w flags as doubles.
    Point<double> deformedTranslation() const;
    // The thetaX, thetaY, thetaZ flags as doubles.
    Point<double> deformedRotation() const;
    // Two of the node's elements have different materials.
    bool isSplitMaterial() const;
    // The common material of the node's elements; null when they differ or none.
    const CMetal* material() const;
    // The largest (first flag) or smallest plastic ultimate strain of the
    // elements' materials, from ∓1e20.
    double maxStrain(bool tension, bool longitudinal) const;
    // Adds the force's magnitude times its direction to rows 6·index ... +2.
    void pointForceRHS(CPointForce* force, Matrix* rhs) const;
    // Reflection in the plane through p with normal n; vertex follows.
    void mirror(Point<double>& p, Point<double>& n);
    // Turn about (x, y) by degrees; vertex follows.
    void rotate(double x, double y, double angle);
    // Shift by (dx, dy); vertex follows.
    void translate(double dx, double dy);

    using CObject::Serialize;
    // read or write by the archive's direction.
    void Serialize(CArchive& ar, CMesh* mesh);
    // Reads a node record; vertices are found in the mesh by id. "CFENodeanalysis
    // read failed." when the trailer's check value is not 6.
    void read(CArchive& ar, CMesh* mesh);
    // Writes the node record.
    void write(CArchive& ar) const;

    // Values per load-condition set.
    static constexpr int kValuesPerSet = 1;

    std::map<RESULTS, double> results;
    int uniqueId = 0;
    int index = -1;
    CVertex* vertex = nullptr;  // not owned
    Point<double> position;
    int number = 0;
    int fixedFlags[6] = {0, 0, 0, 0, 0, 0};
    std::unique_ptr<LCDiscrete<FiniteElementSet>> lcDiscrete;
    std::vector<CFEElementAnalysis*> elements;    // not owned
    std::vector<CElementResults> elementResults;  // one per element where materials meet

private:
    void vertexFollows();
};
