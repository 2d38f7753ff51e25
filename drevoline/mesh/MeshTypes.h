// Small value types shared by the mesh generator and the finite elements:
// side tests, result kinds, element kinds, box classes, 2-d points and the
// local size controls of a mesh.
#pragma once

// Side of the third point against the directed line through the first two.
enum Oriented_side {
    LEFT_SIDE = 0,   // counter-clockwise turn
    RIGHT_SIDE = 1,  // clockwise turn
    ON_LINE = 2,     // collinear
};

// Result kinds kept in the node result tables.
enum RESULTS {
    STRESS_ZZ = 3,  // normal stress along z
    STRAIN_ZZ = 4,  // normal strain along z
};

// Kind of the elements a mesh carries.
enum ELEMENT_TYPE {
    TRNG3 = 0,  // three-node triangles
    QUAD4 = 1,  // four-node quadrilaterals
};

// Where an element lies against a box: wholly inside, wholly outside, or
// straddling one side line (1 left, 2 right, 3 bottom, 4 top).
enum BoxClassification {
    BOX_INSIDE = 0,
    BOX_OUTSIDE = 1,
    BOX_STRADDLES_LEFT = 2,
    BOX_STRADDLES_RIGHT = 3,
    BOX_STRADDLES_BOTTOM = 4,
    BOX_STRADDLES_TOP = 5,
};

// A point of the plane.
struct CPoint2d {
    double x = 0.0;
    double y = 0.0;

    CPoint2d() = default;
    CPoint2d(double px, double py) : x(px), y(py) {}
    // Component-wise sum.
    CPoint2d operator+(const CPoint2d& b) const { return {x + b.x, y + b.y}; }
    // Component-wise difference.
    CPoint2d operator-(const CPoint2d& b) const { return {x - b.x, y - b.y}; }
    // Both components times s.
    CPoint2d operator*(double s) const { return {x * s, y * s}; }
};

// A wanted element size near a centre point, within a radius.
struct LocalSizeControl {
    double x = 0.0;
    double y = 0.0;
    double radius = 0.0;
    double size = 0.0;
};
