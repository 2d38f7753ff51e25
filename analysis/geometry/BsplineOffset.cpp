// The two sides of a wall of constant thickness along a centre-line spline:
// sampled as one closed point outline, or fitted as two splines oriented
// against each other.
#include "analysis/geometry/Bspline.h"

#include <memory>
#include <utility>
#include <vector>

#include "platform/core/Types.h"

errMsg Bspline::offsetPts(double thickness, int count, Point<double>* pts,
                          Point<double>& reference) const
{
    // The winding test below reads entries 1 and count - 1.
    if (count < 2 || pts == nullptr)
        AfxThrowInvalidArgException();
    const int n = count / 2;
    const double s = startParameter();
    const double h = n > 1 ? (endParameter() - s) / (n - 1) : 0.0;
    const double half = thickness / 2.0;
    double t = s;
    for (int i = 0; i < n; ++i) {
        Point<double> P;
        Point<double> N;
        eval(t, &P, 1e-7);
        normal(t, &N);
        pts[i] = P + N * half;
        pts[count - 1 - i] = P - N * half;
        t += h;
    }
    // The outline runs out along the normal's side and back along the other;
    // when that winding disagrees with the reference the sides are exchanged.
    Point<double> m = cross(pts[1] - pts[0], pts[count - 1] - pts[0]);
    m.normalize();
    if (dot(reference, m) < 0.0) {
        for (int i = 0; i < n; ++i)
            std::swap(pts[i], pts[count - 1 - i]);
    }
    return errNone;
}

errMsg Bspline::offsetSplines(int count, double thickness, Bspline** first, Bspline** second)
{
    Point<double> reference(0.0, 0.0, -1.0);
    if (m_deg == 1) {
        Point<double> pts[4];
        offsetPts(thickness, 4, pts, reference);
        std::unique_ptr<Bspline> a(new Bspline(&pts[0], &pts[1], false));
        std::unique_ptr<Bspline> b(new Bspline(&pts[3], &pts[2], false));
        *first = a.release();
        *second = b.release();
    } else {
        if (count < 2)
            AfxThrowInvalidArgException();
        std::vector<Point<double>> pts(static_cast<std::size_t>(count));
        const errMsg code = offsetPts(thickness, count, pts.data(), reference);
        if (code != errNone)
            return code;
        Point<double> T0;
        Point<double> T1;
        tangent(startParameter(), &T0);
        tangent(endParameter(), &T1);
        Point<double> startOut = T0 * -1.0;  // both end tangents point away from the curve
        const int half = count / 2;

        auto fitSide = [&]() {
            std::unique_ptr<Bspline> side(new Bspline());
            side->m_deg = 3;
            side->m_rational = false;
            side->m_offset = 0.0;
            side->m_closed = 0;
            side->fitOpen(pts.data(), half, &startOut, &T1);
            return side;
        };
        *first = fitSide().release();
        for (int i = 0; i < half; ++i)
            pts[static_cast<std::size_t>(i)] = pts[static_cast<std::size_t>(count - 1 - i)];
        *second = fitSide().release();
    }
    orientBSpline(*second, *first);
    orientBSpline(*first, *second);
    return errNone;
}
