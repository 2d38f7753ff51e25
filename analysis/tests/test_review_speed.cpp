// Review of the kernel speed-ups against what callers saw before: the arc
// list of a curve written through a kept reference, spline evaluation at
// odd knots and parameters, and inside tests where rounding decides.
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/GeometryEdits.h"
#include "analysis/tests/test_composite_support.h"

namespace {

using composite_test::line;
using composite_test::P;
using composite_test::polyline;
using composite_test::Pt;

}  // namespace

// The list handed out by arcsMutable() is written after area() has answered
// (every arc put in another's place, the count unchanged); area() then gives
// the new chain's area, as the walk over the list always did, instead of
// the arcs it held before: whether some other curve is edited in between
// or nothing at all.
TEST(ReviewSpeed, AreaSeesArcsPutInPlaceThroughAKeptList)
{
    for (const bool editElsewhere : {true, false}) {
        SCOPED_TRACE(editElsewhere ? "another curve edited" : "nothing else edited");
        auto curve = polyline({P(0, 0), P(1, 0), P(1, 1), P(0, 1)});
        CList<Bspline*>& arcs = curve->arcsMutable();
        const double before = curve->area();
        auto larger = polyline({P(0, 0), P(2, 0), P(2, 2), P(0, 2)});
        const double want = larger->area();
        ASSERT_EQ(before, 1.0);
        ASSERT_EQ(want, 4.0);
        EXPECT_EQ(curve->area(), before);  // answered from the kept sum

        // The old arcs stay alive (owned here), so a stale walk reads them
        // rather than freed memory.
        std::vector<std::unique_ptr<Bspline>> replaced;
        POSITION pos = arcs.GetHeadPosition();
        POSITION from = larger->arcs().GetHeadPosition();
        while (pos) {
            const POSITION here = pos;
            replaced.emplace_back(arcs.GetNext(pos));
            arcs.SetAt(here, new Bspline(larger->arcs().GetNext(from), CString()));
        }
        curve->resetGlobals();

        if (editElsewhere) {
            auto other = polyline({P(5, 5), P(6, 5)}, false);
            other->addArc(line(P(6, 5), P(6, 6)));
        }
        EXPECT_EQ(curve->area(), want);
    }
}
