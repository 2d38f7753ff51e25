// A surface through four rows of points (or four curves of one knot
// vector), held as cubic cross curves that run across the rows, one per
// control point of a row, and drawn through GLU's NURBS interface.
//
// The u direction runs along the rows, the v direction along the cross
// curves. The GLU control net is taken from the cross curves' control
// points and weights: point (u = k, v = j) is control point j of cross
// curve k.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Point.h"
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/gl/OpenGL.h"

class CNurbsSurface : public CObject {
    DECLARE_SERIAL(CNurbsSurface)

public:
    // An empty surface: no cross curves, control net or knots.
    CNurbsSurface();
    // From four rows of four points (rows[i][j]: point j of row i). Each
    // row is interpolated by a cubic (end tangents from the circles through
    // the end points); cross curve j interpolates control point j of the
    // four row curves. The u knots and order come from the first row curve.
    // Throws "Bad spline\n" when a row or column cannot be interpolated
    // (coincident consecutive points).
    explicit CNurbsSurface(Point<double> (*rows)[4]);
    // From four curves with one knot vector: u knots and order from the
    // first curve, cross curve k interpolating control point k of the
    // curves 0 to 3. Fewer than four curves, or a curve with fewer control
    // points than the first, raise CInvalidArgException.
    explicit CNurbsSurface(CArray<Bspline*, Bspline*>* curves);
    ~CNurbsSurface() override;
    CNurbsSurface(const CNurbsSurface&) = delete;
    CNurbsSurface& operator=(const CNurbsSurface&) = delete;

    // The point at (u, v) of the surface that display draws: each cross
    // curve's control points, taken with the net's v knots, evaluated at v
    // give the control points of the u curve through that v, evaluated at
    // u. Nothing is written for an empty surface.
    void eval(double u, double v, Point<double>* out) const;
    // Rebuilds the control net: four floats (x, y, z, weight) per point,
    // v-major: point (u = k, v = j) starts at 4 (j crossCurveCount + k).
    void controlPoints();
    // Rebuilds the v knots from the first cross curve.
    void vknots();
    // Draws the surface with a NURBS object that the caller created and
    // configured: the net and v knots rebuilt, then one surface of
    // homogeneous points (u stride 4, v stride 4 crossCurveCount). A GL
    // error throws std::logic_error "GL error: <text>\n". An empty surface
    // draws nothing.
    void display(GLUnurbs* nurbs);
    // A pending GL error throws std::logic_error "GL error: <text>\n".
    void errCheck() const;

    // Orders in u (degree + 1) and v (4).
    int uOrder() const { return m_uOrder; }
    int vOrder() const { return m_vOrder; }
    // Cross curves in use: the u size of the control net.
    int crossCurveCount() const { return static_cast<int>(m_crossCurves.size()); }
    // Cross curve k (owned by the surface).
    const Bspline* crossCurve(int k) const { return m_crossCurves.at(static_cast<std::size_t>(k)).get(); }
    // Control points of each cross curve: the v size of the control net.
    int crossCurvePointCount() const { return m_crossCurvePointCount; }
    // Points of the control net and its floats.
    int controlNetCount() const { return m_controlNetCount; }
    const std::vector<float>& controlNet() const { return m_controlNet; }
    // The knot vectors as GLU takes them.
    int uKnotCount() const { return static_cast<int>(m_uKnots.size()); }
    int vKnotCount() const { return static_cast<int>(m_vKnots.size()); }
    const std::vector<float>& uKnots() const { return m_uKnots; }
    const std::vector<float>& vKnots() const { return m_vKnots; }

private:
    // The u knots and order of a curve that runs along the rows.
    void takeU(const Bspline& row);

    std::vector<std::unique_ptr<Bspline>> m_crossCurves;
    std::vector<float> m_controlNet;
    int m_controlNetCount = 0;
    std::vector<float> m_uKnots;
    std::vector<float> m_vKnots;
    std::vector<double> m_uKnotValues;  // the u knots at full precision, for eval
    int m_crossCurvePointCount = 0;
    int m_uOrder = 0;
    int m_vOrder = 0;
};
