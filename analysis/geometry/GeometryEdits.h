#pragma once

#include <atomic>

// A program-wide count of edits of curve geometry: every change of a
// spline's degree, control points, weights, knots or rational flag, every
// grant of write access to them, and every change of a composite curve's
// chain of arcs adds one. A cache drawn from curves stays valid while the
// count is unchanged; once it has moved, the cache is checked against the
// curves again. A pointer or reference handed out for writing must be
// written through before the next query that relies on such a cache.
namespace geometry_edits {

inline std::atomic<unsigned long long> gCount{0};

// Records an edit (or a grant of write access).
inline void note()
{
    gCount.fetch_add(1, std::memory_order_relaxed);
}

// The number of edits recorded so far.
inline unsigned long long count()
{
    return gCount.load(std::memory_order_relaxed);
}

}  // namespace geometry_edits
