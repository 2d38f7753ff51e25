// The formed (sheet-metal) profile builders: L, C and Z, one thickness bent
// round inside radii. Leg lengths are outside dimensions to the sharp
// corners, which the defining points include.
#include <cmath>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/ProfileFrame.h"

namespace ILorimant {

namespace {

using P = Point<double>;
using namespace ProfileText;

const wchar_t* const kBendAngle = L"Angle inputs must be between 20 and 170 degrees.";

bool bendOutOfRange(double angle) { return angle < 20.0 || angle > 170.0; }

namespace FL {
enum { webLength, thickness, flangeLength, radius, flangeAngle, iorig, iDirection, x, y, rotation, count };
}
// The formed C and Z share their arguments.
namespace FC {
enum { webLength, thickness, upperFlangeLength, upperRadius, upperAngle, lowerFlangeLength, lowerRadius, lowerAngle,
       iorig, iDirection, x, y, rotation, count };
}

const ProfileKind kFormedL{L"AddFormedL", 13, 6, FL::count, FL::iorig};
const ProfileKind kFormedC{L"AddFormedC", 17, 8, FC::count, FC::iorig};
const ProfileKind kFormedZ{L"AddFormedZ", 18, 8, FC::count, FC::iorig};

// The formed C or Z (zed picks the Z's leg lengths, pieces and points).
void formedChannel(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                   const ProfileValues& v, bool zed)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ProfileBuild b(doc, model, zed ? kFormedZ : kFormedC, name, v);
        const CSubSection& parent = b.requireParent(parentName, zed ? kNoParent : L"Parent of formed C is not defined.");
        b.begin();
        b.checkNameAndPoints(name);
        const double wl = v[FC::webLength], t = v[FC::thickness], ufl = v[FC::upperFlangeLength];
        const double ur = v[FC::upperRadius], ua = v[FC::upperAngle], lfl = v[FC::lowerFlangeLength];
        const double lr = v[FC::lowerRadius], la = v[FC::lowerAngle];
        double lw = 0, lu = 0, ll = 0;
        if (zed) {
            const double tu = TanDeg((180.0 - ua) / 2.0), tl = TanDeg((180.0 - la) / 2.0);
            lu = ufl - (t + ur) * tu;
            ll = lfl - (t + lr) * tl;
            lw = wl - ur * tu - (t + lr) * tl;
        } else {
            const double ku = (t + ur) / TanDeg(ua / 2.0), kl = (t + lr) / TanDeg(la / 2.0);
            lw = wl - ku - kl;
            lu = ufl - ku;
            ll = lfl - kl;
        }
        const bool angles = bendOutOfRange(la) || bendOutOfRange(ua);
        const bool inconsistent = wl <= 0 || t <= 0 || lu <= 0 || ll < 0 || ur <= 0 || lr <= 0 || lw < 0;
        const wchar_t* inconsistentText = L"Inconsistent geometry, check leg lengths and angle inputs";
        if (zed) RefuseProfileIf(inconsistent, inconsistentText);
        RefuseProfileIf(angles, kBendAngle);
        RefuseProfileIf(inconsistent, inconsistentText);

        b.createSubSection(parent.name());
        CShapeAnalysis& la_ = b.annulus(L"_lowerAnnulus", lr, t, 180 - la, P(0, 0, 0), 2, 3, 90);
        CShapeAnalysis& lf = b.parallelogram(L"_lowerFlange", ll, t, 90, 90, P(0, 0, 0), 0, 1, 0);
        const P centre = Anchor(la_, 1);
        b.turn(la_, centre, 90 - la);
        b.turn(lf, centre, 90 - la);
        CShapeAnalysis& w = b.rectangle(L"_web", lw, t, Anchor(la_, 1), 0, 1, 90);
        CShapeAnalysis& ua_ = zed ? b.annulus(L"_upperAnnulus", ur, t, 180 - ua, Anchor(w, 3), 0, 1, 0)
                                  : b.annulus(L"_upperAnnulus", ur, t, 180 - ua, Anchor(w, 3), 2, 3, 0);
        CShapeAnalysis& uf = zed ? b.rectangle(L"_upperFlange", lu, t, Anchor(ua_, 4), 1, 0, 270 - ua)
                                 : b.rectangle(L"_upperFlange", lu, t, Anchor(ua_, 1), 0, 3, ua);

        const auto c = [](const CShapeAnalysis& s, int k) { return Corner(s, k); };
        const P lower = Intersection(c(w, 0), c(w, 1) - c(w, 0), c(lf, 3), c(lf, 3) - c(lf, 2));
        const P heel = Intersection(c(w, 3), c(w, 3) - c(w, 2), c(lf, 0), c(lf, 0) - c(lf, 1));
        std::vector<P> points;
        if (zed)
            points = {c(lf, 1), c(lf, 2), lower, Intersection(c(w, 1), c(w, 1) - c(w, 0), c(uf, 2), c(uf, 2) - c(uf, 3)),
                      c(uf, 3), c(uf, 0), Intersection(c(w, 2), c(w, 2) - c(w, 3), c(uf, 1), c(uf, 1) - c(uf, 0)),
                      heel};
        else
            points = {c(lf, 1), c(lf, 2), lower, Intersection(c(w, 1), c(w, 1) - c(w, 0), c(uf, 0), c(uf, 0) - c(uf, 1)),
                      c(uf, 1), c(uf, 2), Intersection(c(w, 2), c(w, 2) - c(w, 3), c(uf, 3), c(uf, 3) - c(uf, 2)),
                      heel};
        CShapeAnalysis& u =
            b.finish({wl, ufl, t, ur, ua, lfl, lr, la, v[FC::iorig], v[FC::iDirection]}, points, parentName);
        u.checkDist(wl, 8, 7);
        u.checkDist(lfl, 1, 8);
        u.checkDist(t, 1, 2);
        if (zed)
            u.checkDist(ufl, 5, 4);
        else
            u.checkDist(ufl, 6, 7);
        u.checkAngle(la, 2, 3, 4);
        u.checkAngle(ua, 6, 7, 8);
        b.checkPlacementAndDot();
        b.refresh();
    });
}

}  // namespace

void AddFormedL(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ProfileBuild b(doc, model, kFormedL, name, v);
        const CSubSection& parent = b.requireParent(parentName, kNoParent);
        b.begin();
        b.checkNameAndPoints(name);
        const double wl = v[FL::webLength], t = v[FL::thickness], fl = v[FL::flangeLength];
        const double r = v[FL::radius], fa = v[FL::flangeAngle];
        const double k = (t + r) / TanDeg(fa / 2.0), lw = wl - k, lf = fl - k;
        RefuseProfileIf(bendOutOfRange(fa), kBendAngle);
        RefuseProfileIf(wl <= 0 || t <= 0 || fl <= 0 || r <= 0 || 180 - fa <= 0 || lf < 0 || lw < 0,
                        L"Inconsistent geometry, check leg lengths");

        b.createSubSection(parent.name());
        CShapeAnalysis& an = b.annulus(L"_annulus", r, t, 180 - fa, P(0, 0, 0), 2, 3, 90);
        CShapeAnalysis& f = b.parallelogram(L"_flange", lf, t, 90, 90, P(0, 0, 0), 0, 1, 0);
        CShapeAnalysis& w = b.parallelogram(L"_web", lw, t, 90, 90, Anchor(an, 1), 0, 1, fa);

        const auto c = [](const CShapeAnalysis& s, int i) { return Corner(s, i); };
        CShapeAnalysis& u = b.finish(
            {wl, fl, t, r, fa, v[FL::iorig], v[FL::iDirection]},
            {c(f, 1), c(f, 2), Intersection(c(w, 0), c(w, 0) - c(w, 1), c(f, 3), c(f, 3) - c(f, 2)), c(w, 1), c(w, 2),
             Intersection(c(w, 3), c(w, 3) - c(w, 2), c(f, 0), c(f, 1) - c(f, 0))},
            parent.name(), 90 - fa);
        u.checkDist(wl, 6, 5);
        u.checkDist(fl, 1, 6);
        u.checkDist(t, 1, 2);
        u.checkAngle(fa, 5, 6, 1);
        b.checkPlacementAndDot();
        b.refresh();
    });
}

void AddFormedC(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    formedChannel(doc, parentName, name, v, false);
}

void AddFormedZ(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    formedChannel(doc, parentName, name, v, true);
}

}  // namespace ILorimant
