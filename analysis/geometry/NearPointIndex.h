#pragma once

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "analysis/geometry/Point.h"

// Points in the order they were added, with a grid over x and y so that the
// points near a query are found without comparing it with every one. Two
// points are near when (stored - query).length() < tol, the test the
// intersection lists use to drop repeated points; a point with a non-finite
// coordinate is near no point.
class NearPointIndex {
public:
    // An empty index for the distance tol (> 0).
    explicit NearPointIndex(double tol) : m_tol(tol), m_cell(2.0 * tol) {}

    // Index (in order of adding) of the last point near p; -1 when none is.
    int lastNear(const Point<double>& p) const
    {
        if (!finite(p))
            return -1;
        const std::int64_t cx = cellOf(p.x);
        const std::int64_t cy = cellOf(p.y);
        int last = -1;
        // Points nearer than tol differ by less than half a cell in x and
        // in y, so they lie in the same or a neighbouring cell.
        for (std::int64_t i = cx - 1; i <= cx + 1; ++i) {
            for (std::int64_t j = cy - 1; j <= cy + 1; ++j) {
                const auto found = m_cells.find(key(i, j));
                if (found == m_cells.end())
                    continue;
                for (int k : found->second) {
                    if (k > last && (m_points[k] - p).length() < m_tol)
                        last = k;
                }
            }
        }
        return last;
    }

    // Some point added so far is near p.
    bool anyNear(const Point<double>& p) const { return lastNear(p) >= 0; }

    // Adds p; its index is the number of points added before it.
    void add(const Point<double>& p)
    {
        const int k = static_cast<int>(m_points.size());
        m_points.push_back(p);
        if (finite(p))
            m_cells[key(cellOf(p.x), cellOf(p.y))].push_back(k);
    }

private:
    static bool finite(const Point<double>& p)
    {
        return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
    }

    // The cell of a coordinate; cells beyond +-2^62 merge into the last
    // one, which keeps neighbours neighbours.
    std::int64_t cellOf(double v) const
    {
        const double c = std::floor(v / m_cell);
        constexpr double kLimit = 4611686018427387904.0;  // 2^62
        if (c >= kLimit)
            return static_cast<std::int64_t>(kLimit);
        if (c <= -kLimit)
            return -static_cast<std::int64_t>(kLimit);
        return static_cast<std::int64_t>(c);
    }

    static std::uint64_t key(std::int64_t i, std::int64_t j)
    {
        const std::uint64_t a = static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15ull;
        return a ^ (static_cast<std::uint64_t>(j) + 0x632BE59BD9B4E019ull + (a << 6) + (a >> 2));
    }

    double m_tol;
    double m_cell;
    std::vector<Point<double>> m_points;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
};
