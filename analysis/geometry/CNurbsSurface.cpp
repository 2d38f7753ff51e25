// NURBS surfaces from rows of points or curves, and their GLU drawing.
#include "analysis/geometry/CNurbsSurface.h"

#include <stdexcept>
#include <string>

#include "platform/gl/GlMatrices.h"

IMPLEMENT_SERIAL(CNurbsSurface, CObject, 1)

namespace {

constexpr int kRows = 4;
constexpr double kEvalTol = 1e-7;

// The cubic through n points with circle end tangents, not normalised.
std::unique_ptr<Bspline> interpolate(Point<double>* points, int n) {
    return std::make_unique<Bspline>(points, n, 0, endCircle, nullptr, nullptr, false);
}

void throwOnGlError() {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) throw std::logic_error(std::string("GL error: ") + glErrorText(error) + "\n");
}

}  // namespace

CNurbsSurface::CNurbsSurface() = default;

CNurbsSurface::CNurbsSurface(Point<double> (*rows)[4]) {
    // scratch[j][i]: control point j of row curve i.
    std::vector<std::vector<Point<double>>> scratch;
    for (int i = 0; i < kRows; ++i) {
        const std::unique_ptr<Bspline> row = interpolate(rows[i], 4);
        if (i == 0) {
            takeU(*row);
            scratch.assign(static_cast<std::size_t>(row->nPts()), std::vector<Point<double>>(kRows));
        }
        for (int j = 0; j < static_cast<int>(scratch.size()); ++j) scratch[j][i] = row->cpts(j);
    }
    for (std::vector<Point<double>>& column : scratch) m_crossCurves.push_back(interpolate(column.data(), kRows));
    m_crossCurvePointCount = 6;
}

CNurbsSurface::CNurbsSurface(CArray<Bspline*, Bspline*>* curves) {
    if (curves == nullptr) AfxThrowInvalidArgException();
    const Bspline* first = curves->GetAt(0);
    if (first == nullptr) AfxThrowInvalidArgException();
    takeU(*first);
    const int n = first->nPts();
    for (int k = 0; k < n; ++k) {
        Point<double> column[kRows];
        for (int i = 0; i < kRows; ++i) {
            const Bspline* curve = curves->GetAt(i);
            if (curve == nullptr) AfxThrowInvalidArgException();
            column[i] = curve->cpts(k);
        }
        m_crossCurves.push_back(interpolate(column, kRows));
    }
    m_crossCurvePointCount = 6;
}

CNurbsSurface::~CNurbsSurface() = default;

void CNurbsSurface::takeU(const Bspline& row) {
    const CArray<double>& knots = row.knotVector();
    m_uKnotValues.assign(knots.GetData(), knots.GetData() + knots.GetSize());
    m_uKnots.assign(m_uKnotValues.begin(), m_uKnotValues.end());
    m_uOrder = row.order();
    m_vOrder = 4;
}

void CNurbsSurface::eval(double u, double v, Point<double>* out) const {
    const int n = crossCurveCount();
    if (n == 0 || out == nullptr) return;
    // The net's v knots are the first cross curve's; every column of
    // control points is evaluated with them, as the drawing does.
    const CArray<double>& shared = m_crossCurves[0]->knotVector();
    std::vector<Point<double>> points(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const Bspline& curve = *m_crossCurves[k];
        std::vector<Point<double>> cpts(curve.controlPoints().GetData(),
                                        curve.controlPoints().GetData() + curve.nPts());
        std::vector<double> weights(curve.weightArray().GetData(), curve.weightArray().GetData() + curve.nPts());
        std::vector<double> knots(shared.GetData(), shared.GetData() + shared.GetSize());
        const Bspline column(m_vOrder - 1, curve.nPts(), cpts.data(), weights.data(), static_cast<int>(knots.size()),
                             knots.data());
        column.eval(v + column.globalOffset(), &points[k], kEvalTol);
    }
    std::vector<double> weights(points.size(), 1.0);
    std::vector<double> knots = m_uKnotValues;
    const Bspline across(m_uOrder - 1, n, points.data(), weights.data(), static_cast<int>(knots.size()),
                         knots.data());
    across.eval(u + across.globalOffset(), out, kEvalTol);
}

void CNurbsSurface::controlPoints() {
    m_controlNet.clear();
    m_controlNetCount = 0;
    const int n = crossCurveCount();
    if (n == 0) return;
    m_controlNetCount = m_crossCurves[0]->nPts() * n;
    m_controlNet.reserve(static_cast<std::size_t>(m_controlNetCount) * 4);
    for (int j = 0; j < m_crossCurvePointCount; ++j) {
        for (int k = 0; k < n; ++k) {
            const Bspline& curve = *m_crossCurves[k];
            const Point<double> p = curve.cpts(j);
            m_controlNet.push_back(static_cast<float>(p.x));
            m_controlNet.push_back(static_cast<float>(p.y));
            m_controlNet.push_back(static_cast<float>(p.z));
            m_controlNet.push_back(static_cast<float>(curve.wts(j)));
        }
    }
}

void CNurbsSurface::vknots() {
    m_vKnots.clear();
    if (m_crossCurves.empty()) return;
    const CArray<double>& knots = m_crossCurves[0]->knotVector();
    m_vKnots.assign(knots.GetData(), knots.GetData() + knots.GetSize());
}

void CNurbsSurface::display(GLUnurbs* nurbs) {
    if (m_crossCurves.empty()) return;
    controlPoints();
    vknots();
    gluBeginSurface(nurbs);
    gluNurbsSurface(nurbs, uKnotCount(), m_uKnots.data(), vKnotCount(), m_vKnots.data(), 4, 4 * crossCurveCount(),
                    m_controlNet.data(), m_uOrder, m_vOrder, GL_MAP2_VERTEX_4);
    throwOnGlError();
    gluEndSurface(nurbs);
    throwOnGlError();
}

void CNurbsSurface::errCheck() const { throwOnGlError(); }
