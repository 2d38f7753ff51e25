#pragma once

#include <vector>

// An array of doubles addressed from a lower index bound: element i is the
// (i - lower)-th double. Scratch storage of the spline fits. Each Vector owns
// its elements; copies are deep.
class Vector {
public:
    // n doubles (set to 0); lower is the index of the first element.
    Vector(int n, int lower) : m_n(n), m_unused(0), m_lower(lower), m_data(n > 0 ? n : 0, 0.0) {}

    // The storage of the n doubles.
    double* v() { return m_data.data(); }

    // Element i, for lower <= i < lower + n.
    double& operator[](int i) { return m_data[i - m_lower]; }

    // Number of elements.
    int size() const { return m_n; }
    // Index of the first element.
    int lower() const { return m_lower; }

private:
    int m_n;
    int m_unused;
    int m_lower;
    std::vector<double> m_data;
};
