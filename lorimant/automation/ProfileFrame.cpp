#include "lorimant/automation/ProfileFrame.h"

#include <cmath>

#include "analysis/geometry/LineIntersection.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/ole/CDispatchTable.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;

CThickSectionView* sectionView(CXSectionAnalysisDoc& doc)
{
    return dynamic_cast<CThickSectionView*>(doc.activeView());
}

}  // namespace

void RefuseProfile(const wchar_t* text, int code) { AfxThrowOleDispatchException(code, text); }

double SinDeg(double deg) { return std::sin(deg * kDegToRad); }
double CosDeg(double deg) { return std::cos(deg * kDegToRad); }
double TanDeg(double deg) { return std::tan(deg * kDegToRad); }

Point<double> Anchor(const CShapeAnalysis& piece, int k) { return piece.pointCoord(k); }

Point<double> Corner(const CShapeAnalysis& piece, int k) { return piece.pointCoord(k + 1); }

Point<double> Intersection(Point<double> a, Point<double> u, Point<double> b, Point<double> v)
{
    Point<double> x = a;
    XLnLn(a, u, b, v, x);
    return x;
}

void ProfileBuild::turn(CShapeAnalysis& piece, const Point<double>& centre, double deg)
{
    Point<double> c = centre;
    piece.rotate(&c, deg);
}

double DirectionDeg(const Point<double>& from, const Point<double>& to)
{
    Point<double> v = to - from;
    return counterClockwiseAngle(&v) / kDegToRad;
}

CString ProfileJournalLine(const ProfileKind& kind, const CString& first, const CString& name,
                           const ProfileValues& values)
{
    CString line;
    line.Format(L"xscn.%s%s\"%s\",\"%s\"", kind.method, kind.gap, JournalQuotedText(first),
                JournalQuotedText(name));
    for (std::size_t i = 0; i < values.size(); ++i) {
        CString value;
        const bool index = static_cast<int>(i) == kind.iorigAt || static_cast<int>(i) == kind.iorigAt + 1;
        if (index)
            value.Format(L",%d", static_cast<int>(values[i]));
        else
            value.Format(L",%g", values[i]);
        line += value;
    }
    return line;
}

ProfileBuild::ProfileBuild(CXSectionAnalysisDoc& doc, CXSectionAnalysis& model, const ProfileKind& kind,
                           const CString& name, const ProfileValues& values)
    : m_doc(doc), m_model(model), m_kind(kind), m_name(name.IsEmpty() ? nameGen() : name), m_values(values)
{
    if (static_cast<int>(values.size()) != kind.count) RefuseProfile(L"Wrong number of arguments.");
    if (m_model.findSubSection(m_name) != nullptr) RefuseProfile(L"Object with that name already exists.", 2);
    // NaN slips through every "<= 0" test below and infinity through every
    // "greater than" one: refuse both before anything is taken or made.
    for (double value : values)
        if (!std::isfinite(value)) RefuseProfile(L"All dimensions must be finite numbers");
}

ProfileBuild::~ProfileBuild()
{
    if (m_begun && !m_finished) {
        removePartialProfile();
        release();
    }
    if (m_viewSuspended) restoreView();
}

CSubSection& ProfileBuild::requireParent(const CString& parentName, const wchar_t* emptyText)
{
    if (parentName.IsEmpty()) RefuseProfile(emptyText);
    CSubSection* parent = m_model.findSubSectionMutable(parentName);
    if (parent == nullptr) RefuseProfile(CString(L"Parent object not found:") + parentName);
    return *parent;
}

void ProfileBuild::begin()
{
    if (CLog* log = m_doc.journal()) log->block(m_kind.method);
    m_doc.busy = true;
    m_heldCheckPoints = !m_doc.checkPointSuppressed;
    m_doc.checkPointSuppressed = true;
    m_begun = true;
    if (CThickSectionView* view = sectionView(m_doc)) {
        m_labelMode = view->m_labelMode;
        view->m_labelMode = 0;
        view->m_redrawEnabled = 0;
        m_viewSuspended = true;
    }
}

void ProfileBuild::checkNameAndPoints(const CString& nameArgument) const
{
    const int iorig = this->iorig(), iDirection = this->iDirection();
    if (nameArgument.IsEmpty()) RefuseProfile(L"Must specify name for object");
    if (m_model.findShape(nameArgument) != nullptr) RefuseProfile(L"Part with that name already exists");
    const auto outside = [&](int i) { return i < 0 || i >= m_kind.points; };
    if (iorig == iDirection || outside(iorig) || outside(iDirection))
        RefuseProfile(L"Origin and Direction points incompatible or out of range");
}

void ProfileBuild::createSubSection(const CString& parentName)
{
    ILorimant::CreateSubSection(m_doc, m_name, parentName);
    m_profile = m_model.findSubSectionMutable(m_name);
    if (m_profile == nullptr) RefuseProfile(L"The profile could not be created.");
}

CShapeAnalysis& ProfileBuild::piece(const CString& pieceName)
{
    CShapeAnalysis* shape = m_model.findShape(pieceName);
    if (shape == nullptr) RefuseProfile(L"The profile could not be created.");
    m_pieces.push_back(shape);
    return *shape;
}

CShapeAnalysis& ProfileBuild::parallelogram(const wchar_t* suffix, double length, double width, double ang1,
                                            double ang2, const Point<double>& at, short origin, short dir,
                                            double rot, short sgn)
{
    const CString nm = m_name + suffix;
    ILorimant::AddParallelogram(m_doc, m_name, nm, length, width, ang1, ang2, at.x, at.y, origin, dir, rot, sgn);
    return piece(nm);
}

CShapeAnalysis& ProfileBuild::fillet(const wchar_t* suffix, double radius, double sweep, const Point<double>& at,
                                     short origin, short dir, double rot, short sgn)
{
    const CString nm = m_name + suffix;
    ILorimant::AddFillet(m_doc, m_name, nm, radius, sweep, at.x, at.y, origin, dir, rot, sgn);
    return piece(nm);
}

CShapeAnalysis& ProfileBuild::triangle(const wchar_t* suffix, double base, double offset, double height,
                                       const Point<double>& at, short origin, short dir, double rot, short sgn)
{
    const CString nm = m_name + suffix;
    ILorimant::AddTriangle(m_doc, m_name, nm, base, offset, height, at.x, at.y, origin, dir, rot, sgn);
    return piece(nm);
}

CShapeAnalysis& ProfileBuild::rectangle(const wchar_t* suffix, double length, double width,
                                        const Point<double>& at, short origin, short dir, double rot, short sgn)
{
    const CString nm = m_name + suffix;
    ILorimant::AddRectangle(m_doc, m_name, nm, length, width, at.x, at.y, origin, dir, rot, sgn);
    return piece(nm);
}

CShapeAnalysis& ProfileBuild::annulus(const wchar_t* suffix, double radius, double width, double sweep,
                                      const Point<double>& at, short origin, short dir, double rot, short sgn)
{
    const CString nm = m_name + suffix;
    ILorimant::AddAnnulus(m_doc, m_name, nm, radius, width, sweep, at.x, at.y, origin, dir, rot, sgn);
    return piece(nm);
}

void ProfileBuild::groupAdd(std::initializer_list<const CShapeAnalysis*> group)
{
    for (const CShapeAnalysis* s : group) ILorimant::GroupAdd(m_doc, m_name, s->name(), true);
}

CShapeAnalysis& ProfileBuild::finish(const std::vector<double>& arguments, const std::vector<Point<double>>& points,
                                     const CString& journalFirst, double preTurn)
{
    const int iorig = this->iorig(), iDirection = this->iDirection();
    m_profile->sectionKind = m_kind.kind;
    m_profile->originPointIndex = iorig;
    m_profile->directionPointIndex = iDirection;
    m_profile->kindArguments = arguments;

    m_profile->Union(-1);
    ShapeList* unions = m_profile->getUnionShapes();
    if (unions == nullptr || unions->IsEmpty()) RefuseProfile(L"Union operation failed");
    m_union = unions->GetHead();
    m_union->name(m_profile->name());
    m_union->mark = false;
    m_union->kind = static_cast<ShapeType>(m_kind.kind);
    m_union->originIndex = static_cast<short>(iorig);
    m_union->directionIndex = static_cast<short>(iDirection);
    m_union->definingPoints = points;

    if (preTurn != 0.0) m_profile->rotate(0.0, 0.0, preTurn);
    const std::vector<Point<double>>& at = m_union->definingPoints;
    const Point<double> o = at[iorig];
    m_profile->translate(-o.x, -o.y);
    m_profile->rotate(0.0, 0.0, rotation() - DirectionDeg(at[iorig], at[iDirection]));
    m_profile->translate(x(), y());

    // Journalled and committed: from here on the profile stays.
    if (CLog* log = m_doc.journal()) log->unblock(m_kind.method);
    gLogMsg = ProfileJournalLine(m_kind, journalFirst, m_name, m_values);
    m_doc.LogIt();
    release();
    m_finished = true;
    m_doc.ModelChanged();
    return *m_union;
}

void ProfileBuild::checkPlacementAndDot()
{
    m_union->checkPos(iorig(), x(), y());
    m_union->checkRot(rotation(), iorig(), iDirection());
    m_union->addDots(m_profile);
}

void ProfileBuild::refresh(bool validate)
{
    CThickSectionView* view = sectionView(m_doc);
    if (view == nullptr) return;
    m_viewSuspended = false;
    view->m_labelMode = m_labelMode;
    view->m_redrawEnabled = 1;
    view->ClearPicks();
    view->RebuildAndRedraw();
    view->fullView();
    if (validate) view->ValidateDisplayList();
}

void ProfileBuild::release()
{
    if (m_doc.journal()) m_doc.journal()->unblock(m_kind.method);
    m_doc.busy = false;
    if (m_heldCheckPoints) m_doc.checkPointSuppressed = false;
    m_heldCheckPoints = false;
}

void ProfileBuild::restoreView()
{
    m_viewSuspended = false;
    CThickSectionView* view = sectionView(m_doc);
    if (view == nullptr) return;
    view->m_labelMode = m_labelMode;
    view->m_redrawEnabled = 1;
    try {
        view->RebuildAndRedraw();
    } catch (...) {
        // The failure that got us here is the one the caller must see.
    }
}

void ProfileBuild::removePartialProfile()
{
    try {
        if (m_profile != nullptr || m_model.findSubSection(m_name) != nullptr)
            m_doc.DeleteSubSectionAndChildShapes(m_name);
    } catch (...) {
        // As above: the build's own failure is reported, not the clean-up's.
    }
    m_profile = nullptr;
    m_union = nullptr;
    m_pieces.clear();
}

void RefuseShortFlange(double remainder, const wchar_t* rule)
{
    if (remainder > 0) return;
    CString text;
    text.Format(L"%s; it is %g too short.", rule, -remainder);
    RefuseProfile(text.GetString());
}
