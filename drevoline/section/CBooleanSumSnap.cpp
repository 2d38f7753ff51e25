// The boolean union's control-point snapping: control points lying a hair
// off a straight arc of the other curve are moved onto it, and the arc is
// split there, so that the two outlines share the point exactly.
#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "drevoline/section/CBooleanSum.h"

namespace {

using ControlPointList = CBooleanSum::ControlPointList;

// Frees a record list and its records.
struct RecordListDeleter {
    void operator()(ControlPointList* list) const
    {
        while (!list->IsEmpty())
            delete list->RemoveHead();
        delete list;
    }
};
using OwnedRecords = std::unique_ptr<ControlPointList, RecordListDeleter>;

// Index of the leg of the control polygon nearest to p (first of equals).
int nearestLeg(const Bspline* arc, const Point<double>& p)
{
    const CArray<Point<double>>& pts = arc->controlPoints();
    int best = 0;
    double bestDist = 0.0;
    for (int i = 0; i + 1 < static_cast<int>(pts.GetSize()); ++i) {
        Point<double> q = p;
        Point<double> a = pts[i];
        Point<double> dir = pts[i + 1] - a;
        const double len = dir.length();
        dir.normalize();
        Point<double> foot;
        double dist = 0.0;
        lineProjectPt(q, a, dir, len, &foot, &dist);
        if (i == 0 || dist < bestDist) {
            best = i;
            bestDist = dist;
        }
    }
    return best;
}

// A new straight arc through the points: a segment for two, else a polyline.
std::unique_ptr<Bspline> straightThrough(std::vector<Point<double>>& pts)
{
    if (pts.size() == 2)
        return std::make_unique<Bspline>(&pts[0], &pts[1], false);
    return std::make_unique<Bspline>(static_cast<int>(pts.size()), pts.data());
}

// p lies within margin of the box [lo, hi] in x and y.
bool nearBox(const Point<double>& p, const Point<double>& lo, const Point<double>& hi, double margin)
{
    return p.x >= lo.x - margin && p.x <= hi.x + margin && p.y >= lo.y - margin && p.y <= hi.y + margin;
}

} // namespace

void CBooleanSum::snapControlPoints(CCompositeCurve* c1, CCompositeCurve* c2)
{
    if (!c1 || !c2 || c1 == c2)
        return;
    CurveList curves(10);
    curves.AddTail(c1);
    curves.AddTail(c2);
    OwnedRecords records(formListControlPts(&curves));
    // A point farther than this from the other curve's control box cannot
    // come within snapping distance of it (the margin covers the boxes'
    // growth while points move by less than 1e-4).
    Point<double> lo1, hi1, lo2, hi2;
    if (!controlBox(c1, lo1, hi1) || !controlBox(c2, lo2, hi2))
        return;
    const double margin = 10.0 * kControlSnap;
    POSITION pos = records->GetHeadPosition();
    while (pos) {
        CControlPointElement* record = records->GetNext(pos);
        if (!record->point)
            continue;  // its arc was replaced by an earlier split
        const bool onFirst = record->curve == c1;
        if (!nearBox(*record->point, onFirst ? lo2 : lo1, onFirst ? hi2 : hi1, margin))
            continue;
        Point<double> foot;
        CCompositeCurve* curve = nullptr;
        Bspline* arc = nullptr;
        const double d = minDistLine(&curves, record, &foot, &curve, &arc);
        if (!(d > 0.0 && d < kControlSnap))
            continue;
        foot.z = 0.0;
        *record->point = foot;
        record->moved = true;
        if (arc && (foot - arc->startPoint()).length() > kControlSnap &&
            (foot - arc->endPoint()).length() > kControlSnap)
            splitStraightArc(curve, arc, foot, records.get());
    }
}

void CBooleanSum::splitStraightArc(CCompositeCurve* curve, Bspline* arc, const Point<double>& f,
                                   ControlPointList* records)
{
    const CArray<Point<double>>& pts = arc->controlPoints();
    const int n = static_cast<int>(pts.GetSize());
    const int leg = nearestLeg(arc, f);
    std::vector<Point<double>> first(pts.GetData(), pts.GetData() + leg + 1);
    std::vector<Point<double>> second(pts.GetData() + leg + 1, pts.GetData() + n);
    // An inner control point next to f gives way to it, so that no piece
    // gets a leg shorter than the snapping distance.
    if (first.size() > 1 && (first.back() - f).length() < kControlSnap)
        first.pop_back();
    if (second.size() > 1 && (second.front() - f).length() < kControlSnap)
        second.erase(second.begin());
    first.push_back(f);
    second.insert(second.begin(), f);
    std::unique_ptr<Bspline> a1 = straightThrough(first);
    std::unique_ptr<Bspline> a2 = straightThrough(second);
    // Records of the old arc would point into freed storage.
    POSITION pos = records->GetHeadPosition();
    while (pos) {
        CControlPointElement* r = records->GetNext(pos);
        if (r->arc == arc) {
            r->arc = nullptr;
            r->point = nullptr;
        }
    }
    curve->replaceArc(arc, a1.get(), a2.get());
    a1.release();
    a2.release();
}

CBooleanSum::ControlPointList* CBooleanSum::formListControlPts(const CurveList* curves)
{
    OwnedRecords records(new ControlPointList(10));
    POSITION c = curves->GetHeadPosition();
    while (c) {
        CCompositeCurve* curve = curves->GetNext(c);
        POSITION a = curve->arcs().GetHeadPosition();
        while (a) {
            Bspline* arc = curve->arcs().GetNext(a);
            CArray<Point<double>>& pts = arc->controlPointsMutable();
            const int n = static_cast<int>(pts.GetSize());
            if (n == 0)
                continue;
            if (arc->deg() != 1) {
                AddControlPoint(records.get(), &pts[0], arc, curve, false, true);
                AddControlPoint(records.get(), &pts[n - 1], arc, curve, false, true);
                continue;
            }
            for (int i = 0; i < n; ++i)
                AddControlPoint(records.get(), &pts[i], arc, curve, false, i == 0 || i == n - 1);
        }
    }
    return records.release();
}

void CBooleanSum::AddControlPoint(ControlPointList* records, Point<double>* point, Bspline* arc,
                                  CCompositeCurve* curve, bool moved, bool endPoint)
{
    POSITION pos = records->GetHeadPosition();
    while (pos) {
        const CControlPointElement* r = records->GetNext(pos);
        if (r->arc == arc && r->point && (*r->point - *point).length() < kControlSnap)
            return;
    }
    records->AddTail(new CControlPointElement{point, arc, curve, moved, endPoint});
}

double CBooleanSum::minDistLine(const CurveList* curves, const CControlPointElement* record,
                                Point<double>* foot, CCompositeCurve** curve, Bspline** arc)
{
    if (!record->point)
        return -1.0;
    bool found = false;
    double best = -1.0;
    POSITION c = curves->GetHeadPosition();
    while (c) {
        CCompositeCurve* other = curves->GetNext(c);
        if (other == record->curve)
            continue;
        POSITION a = other->arcs().GetHeadPosition();
        while (a) {
            Bspline* line = other->arcs().GetNext(a);
            if (line->deg() != 1 || line->nPts() < 2)
                continue;
            Point<double> f;
            double dist = 0.0;
            line->minPolylineDist(*record->point, f, &dist);
            if (dist < kControlSnap) {
                *foot = f;
                *curve = other;
                *arc = line;
                return dist;
            }
            if (!found || dist < best) {
                best = dist;
                *foot = f;
                found = true;
            }
        }
    }
    return best;
}

void CBooleanSum::checkOtherCP(ControlPointList* records, CControlPointElement* record, Point<double>* p)
{
    if (!record->point)
        return;
    POSITION pos = records->GetHeadPosition();
    while (pos) {
        CControlPointElement* r = records->GetNext(pos);
        if (r == record || !r->point || r->moved)
            continue;
        if ((*r->point - *record->point).length() < kControlSnap) {
            r->point = p;
            r->moved = true;
        }
    }
}

bool CBooleanSum::haveCtrlPtHere(const Bspline* arc, const Point<double>* p) const
{
    for (const Point<double>& q : arc->controlPoints()) {
        if ((q - *p).length() < kControlSnap)
            return true;
    }
    return false;
}
