// A weld: a rectangular box, given by two picked corners, in which the
// boundary edges of two meshes of one sub-section are fused.
#pragma once

#include "analysis/geometry/Point.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CCompositeCurve;
class CVertex;

// Serial class "CWeld", schema 1. The box is derived from the corners by
// limits(); rotate and translate move only the corners.
class CWeld : public CObject {
    DECLARE_SERIAL(CWeld)

public:
    // Corners zero, curves null, not applied, box unset (all zero).
    CWeld();
    // As CWeld(), with the weld's name.
    explicit CWeld(const CString& name);

    // Box := the smaller and larger x and y of the two corners.
    void limits();
    // True when the vertex's x and y lie in the closed box.
    bool inBox(const CVertex* v) const;
    // Turns both corners about centre in the x-y plane by degrees (z kept).
    void rotate(Point<double>* centre, double angleDegrees);
    // Adds d to both corners.
    void translate(Point<double>* d);

    // Stores: applied byte, name, both mesh names, x and y of both corners,
    // tolerance. Loading reads the same, clears the curves and rebuilds the box.
    void Serialize(CArchive& ar) override;

    // Names of the two objects whose meshes the weld joins.
    CString mesh1;
    CString mesh2;
    // Boundary curves of the two objects (not owned; null after load).
    CCompositeCurve* curve1 = nullptr;
    CCompositeCurve* curve2 = nullptr;
    CString name;
    // The box, derived from the corners by limits().
    double xmin = 0.0;
    double xmax = 0.0;
    double ymin = 0.0;
    double ymax = 0.0;
    // The two picked corners.
    Point<double> pt1;
    Point<double> pt2;
    // Length within which boundary vertices of the two meshes are matched.
    double tolerance = 0.0;
    // Set once the weld has been carried out on the merged mesh.
    bool applied = false;
};
