#pragma once

#include "analysis/geometry/Point.h"

#include <vector>

// The arrays of a rational B-spline surface as the IGES reader hands them to
// the surface display. a and b are the upper indices of the control net in u
// and v. The flags, c, d and the three doubles are stored and copied only;
// their meaning belongs to the reader and the display. Copies are deep.
class Bsurface {
public:
    unsigned char flags[6] = {0, 0, 0, 0, 0, 0};
    int c;
    int d;
    int a;
    int b;
    std::vector<double> uKnots;            // 2(a + 1) values
    std::vector<double> vKnots;            // 2(b + 1) values
    std::vector<double> weights;           // (a + 1)(b + 1) values
    std::vector<Point<double>> ctlPts;     // (a + 1)(b + 1) points
    double values[3] = {0.0, 0.0, 0.0};

    // Stores the four ints and sizes the arrays from a and b (contents 0).
    Bsurface(int a_, int b_, int c_, int d_)
        : c(c_), d(d_), a(a_), b(b_),
          uKnots(count(2 * (a_ + 1))), vKnots(count(2 * (b_ + 1))),
          weights(net(a_, b_)), ctlPts(net(a_, b_))
    {
    }

private:
    // A negative size (a or b below -1) gives empty arrays.
    static std::size_t count(int n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }
    // Size of the control net, (a + 1)(b + 1).
    static std::size_t net(int a_, int b_) { return count(a_ + 1) * count(b_ + 1); }
};
