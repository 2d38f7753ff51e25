// Band storage, its Cholesky solve through LAPACK and the reverse
// Cuthill-McKee ordering.
#include "analysis/geometry/BandSystem.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/geometry/Lapack.h"
#include "platform/core/Exceptions.h"

SymmetricBandSystem::SymmetricBandSystem(int n, int kd) : m_n(n), m_kd(kd)
{
    if (n < 0 || kd < 0 || (n > 0 && kd >= n))
        AfxThrowInvalidArgException();
    m_ab.assign(static_cast<std::size_t>(kd + 1) * static_cast<std::size_t>(n), 0.0);
    m_b.assign(static_cast<std::size_t>(n), 0.0);
}

void SymmetricBandSystem::add(int i, int j, double v)
{
    if (i > j)
        std::swap(i, j);
    if (i < 0 || j >= m_n || j - i > m_kd)
        AfxThrowInvalidArgException();
    band(i, j) += v;
}

double SymmetricBandSystem::at(int i, int j) const
{
    if (i > j)
        std::swap(i, j);
    if (i < 0 || j >= m_n)
        AfxThrowInvalidArgException();
    if (j - i > m_kd)
        return 0.0;
    return m_ab[static_cast<std::size_t>(m_kd + i - j) + static_cast<std::size_t>(j) * (m_kd + 1)];
}

double& SymmetricBandSystem::rhs(int i)
{
    if (i < 0 || i >= m_n)
        AfxThrowInvalidArgException();
    return m_b[static_cast<std::size_t>(i)];
}

std::vector<double> SymmetricBandSystem::rowMagnitudes() const
{
    std::vector<double> largest(static_cast<std::size_t>(m_n), 0.0);
    for (int j = 0; j < m_n; ++j) {
        for (int i = std::max(0, j - m_kd); i <= j; ++i) {
            const double a = std::fabs(m_ab[static_cast<std::size_t>(m_kd + i - j) + static_cast<std::size_t>(j) * (m_kd + 1)]);
            largest[i] = std::max(largest[i], a);
            largest[j] = std::max(largest[j], a);
        }
    }
    return largest;
}

int SymmetricBandSystem::solve()
{
    if (m_n == 0)
        return 0;
    const char uplo = 'U';
    const int nrhs = 1;
    const int ldab = m_kd + 1;
    int info = 0;
    dpbsv_(&uplo, &m_n, &m_kd, &nrhs, m_ab.data(), &ldab, m_b.data(), &m_n, &info, 1);
    return info;
}

std::vector<int> reverseCuthillMcKee(const std::vector<std::vector<int>>& neighbours)
{
    const int n = static_cast<int>(neighbours.size());
    std::vector<int> visitOrder;
    visitOrder.reserve(static_cast<std::size_t>(n));
    std::vector<char> seen(static_cast<std::size_t>(n), 0);
    auto degree = [&](int v) { return neighbours[v].size(); };
    // Each connected part starts at its unseen vertex of least degree.
    std::vector<int> byDegree(static_cast<std::size_t>(n));
    for (int v = 0; v < n; ++v)
        byDegree[v] = v;
    std::stable_sort(byDegree.begin(), byDegree.end(), [&](int a, int b) { return degree(a) < degree(b); });
    for (int start : byDegree) {
        if (seen[start])
            continue;
        std::size_t head = visitOrder.size();
        visitOrder.push_back(start);
        seen[start] = 1;
        while (head < visitOrder.size()) {
            const int v = visitOrder[head++];
            std::vector<int> next;
            for (int w : neighbours[v]) {
                if (!seen[w]) {
                    seen[w] = 1;
                    next.push_back(w);
                }
            }
            std::stable_sort(next.begin(), next.end(), [&](int a, int b) { return degree(a) < degree(b); });
            visitOrder.insert(visitOrder.end(), next.begin(), next.end());
        }
    }
    std::vector<int> position(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        position[visitOrder[k]] = n - 1 - k;
    return position;
}
