// The box member that measures points against a spline's control points.
#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CMaxMinBox.h"

void CMaxMinBox::dist2(Bspline* s, Point<double>* pts, double* d2)
{
    const int n = s->nPts();
    if (n < 1)
        return;
    // The box of the control points, x, y and z; this box is not changed.
    CMaxMinBox box(s->controlPointsMutable().GetData(), n);
    for (int i = 0; i < n; ++i)
        d2[i] = box.dist2(&pts[i]);
}
