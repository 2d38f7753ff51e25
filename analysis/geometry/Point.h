#pragma once

#include <cmath>
#include <type_traits>

// A point or vector of three coordinates x, y, z. The plane geometry of
// cross-sections works in x and y and carries z along. The layout is exactly
// three values in order x, y, z with nothing else: archives and arrays of
// points rely on it.
template <class T>
struct Point {
    T x = 0;
    T y = 0;
    T z = 0;

    // The origin.
    constexpr Point() = default;
    // The point (x, y, z).
    constexpr Point(T px, T py, T pz) : x(px), y(py), z(pz) {}

    // Component-wise difference.
    constexpr Point operator-(const Point& b) const { return Point(x - b.x, y - b.y, z - b.z); }
    // Component-wise sum.
    constexpr Point operator+(const Point& b) const { return Point(x + b.x, y + b.y, z + b.z); }
    // Adds b to every component in place.
    constexpr Point& operator+=(const Point& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    // Every component times s.
    constexpr Point operator*(T s) const { return Point(x * s, y * s, z * s); }
    // Every component divided by s.
    constexpr Point operator/(T s) const { return Point(x / s, y / s, z / s); }

    // x² + y² + z².
    constexpr T lengthSquared() const { return x * x + y * y + z * z; }

    // Euclidean length; 0 when the squared length is below 1e-40.
    T length() const
    {
        T l2 = lengthSquared();
        if (l2 < T(1e-40))
            return 0;
        return std::sqrt(l2);
    }

    // Divides by the length in place; a point shorter than 1e-12 is left as it is.
    void normalize()
    {
        T l = length();
        if (l < T(1e-12))
            return;
        x /= l;
        y /= l;
        z /= l;
    }

    // Coincidence: the squared distance is below 1e-40 or the distance below 1e-5.
    bool operator==(const Point& b) const
    {
        T d2 = (*this - b).lengthSquared();
        if (d2 < T(1e-40))
            return true;
        return std::sqrt(d2) < T(1e-5);
    }

    // Reflects this point in place in the plane through c with normal n. n is
    // normalised in place first (unless shorter than 1e-12); a point within
    // 1e-6 of c is left unchanged.
    void mirror(const Point& c, Point& n)
    {
        n.normalize();
        Point d = *this - c;
        if (d.length() < T(1e-6))
            return;
        T s = T(2) * (n.x * d.x + n.y * d.y + n.z * d.z);
        *this = *this - n * s;
    }

    // Turns this point in place about centre in the x-y plane by the angle in
    // degrees (counter-clockwise for a positive angle); z is kept.
    void rotate(const Point& centre, double degrees)
    {
        const double a = degrees * (3.141592653589793 / 180.0);
        const double c = std::cos(a);
        const double s = std::sin(a);
        const double dx = double(x - centre.x);
        const double dy = double(y - centre.y);
        x = T(double(centre.x) + (dx * c - dy * s));
        y = T(double(centre.y) + (dx * s + dy * c));
    }
};

// Every component of a times s.
template <class T>
constexpr Point<T> operator*(T s, const Point<T>& a)
{
    return a * s;
}

// ax·bx + ay·by + az·bz.
template <class T>
constexpr T dot(const Point<T>& a, const Point<T>& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The cross product a × b.
template <class T>
constexpr Point<T> cross(const Point<T>& a, const Point<T>& b)
{
    return Point<T>(a.y * b.z - b.y * a.z, b.x * a.z - a.x * b.z, b.y * a.x - a.y * b.x);
}

static_assert(sizeof(Point<double>) == 3 * sizeof(double), "Point<double> is written raw");
static_assert(std::is_standard_layout_v<Point<double>>, "Point<double> is written raw");
static_assert(std::is_trivially_copyable_v<Point<double>>, "Point<double> is written raw");
