#pragma once

class CCompositeCurve;

// One composite curve through a meeting point, and the curve's running
// parameter there. The curve is not owned.
class CCurveIntersection {
public:
    CCompositeCurve* curve = nullptr;
    double parameter = 0.0;

    // No curve, parameter 0.
    CCurveIntersection() = default;
    // The record (c, t).
    CCurveIntersection(CCompositeCurve* c, double t) : curve(c), parameter(t) {}
    CCurveIntersection(const CCurveIntersection&) = default;
    // Copies the curve and the parameter.
    CCurveIntersection& operator=(const CCurveIntersection&) = default;
};
