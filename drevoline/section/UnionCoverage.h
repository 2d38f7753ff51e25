#pragma once

#include <vector>

#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/Point.h"
#include "platform/core/CList.h"

// The check that a whole union kept every piece it was given: points on
// the outline of every solid piece must end up in, on or next to a solid
// of the result, unless a hole given takes them away. A piece that the
// boolean passes dropped (one too small for their fixed lengths) leaves
// points that nothing covers.
namespace union_coverage {

// Three points on each arc of every solid curve (the start, a third and
// two thirds of its parameter span), leaving out those in or on a hole of
// the list.
std::vector<Point<double>> solidSamples(const CList<CCompositeCurve*>& curves);

// Every point lies in or on a solid curve of result, or within slack of
// one along x or y. The solids' control boxes pick the curves asked.
bool everySampleCovered(const std::vector<Point<double>>& samples, const CList<CCompositeCurve*>& result,
                        double slack);

// Some solid of result has a point of its outline strictly inside another
// solid of result and in no hole of result: two solids left overlapping,
// which a union never gives (an island in another's hole is not inside it).
bool solidsOverlap(const CList<CCompositeCurve*>& result);

// The largest side of the smallest control box of the curves with one;
// infinity when none has an extent.
double smallestPiece(const CList<CCompositeCurve*>& curves);

}  // namespace union_coverage
