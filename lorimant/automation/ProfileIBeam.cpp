// The I-beam builder: a web between two flanges of two outstands each,
// fillets at the web, optional rounded toes and optional sloped (tapered)
// inner flange faces.
#include <algorithm>
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

namespace IB {
enum { webLength, webThickness, lowerLeftFlangeLength, lowerLeftFlangeThickness, lowerFlangeLength,
       lowerRightFlangeThickness, lowerLeftFilletRadius, lowerRightFilletRadius, lowerAngle, upperLeftFlangeLength,
       upperLeftFlangeThickness, upperFlangeLength, upperRightFlangeThickness, upperLeftFilletRadius,
       upperRightFilletRadius, upperAngle, iorig, iDirection, x, y, rotation, toeRadius, flangeRadius, count };
}

// Its journal line has two blanks after the method's name.
const ProfileKind kIBeam{L"AddIBeam", 14, 13, IB::count, IB::iorig, L"  "};

}  // namespace

void AddIBeam(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ProfileBuild b(doc, model, kIBeam, name, v);
        b.requireParent(parentName, kNoParent);
        b.begin();
        const double wl = v[IB::webLength], wt = v[IB::webThickness];
        const double llfl = v[IB::lowerLeftFlangeLength], llft = v[IB::lowerLeftFlangeThickness];
        const double lfl = v[IB::lowerFlangeLength], lrft = v[IB::lowerRightFlangeThickness];
        const double llfr = v[IB::lowerLeftFilletRadius], lrfr = v[IB::lowerRightFilletRadius];
        const double la = v[IB::lowerAngle], ulfl = v[IB::upperLeftFlangeLength];
        const double ulft = v[IB::upperLeftFlangeThickness], ufl = v[IB::upperFlangeLength];
        const double urft = v[IB::upperRightFlangeThickness], ulfr = v[IB::upperLeftFilletRadius];
        const double urfr = v[IB::upperRightFilletRadius], ua = v[IB::upperAngle];
        const double toe = v[IB::toeRadius], s = v[IB::flangeRadius];
        const bool sloped = s > 0.001;
        const double al = 90.0 - la;
        const double lr = lfl - llfl - wt / SinDeg(la), ur = ufl - ulfl - wt / CosDeg(ua - 90.0);
        const double q = llfr / TanDeg((180.0 - la) / 2.0), h = lr * TanDeg(s);

        RefuseProfileIf(toe > std::min({llft, lrft, ulft, urft}),
                        L"Toe radius may not be greater than minimum flange thickness");
        // Either flange off square overlaps the sloped pieces: both must be square.
        RefuseProfileIf(sloped && (std::fabs(la - 90.0) > 1e-5 || std::fabs(ua - 90.0) > 1e-5),
                        L"Sloped flanges assumes flanges perpendicular to web");
        RefuseProfileIf(s < 0 || s > 20, kFlangeSlope);
        b.checkNameAndPoints(name);
        RefuseProfileIf(llfl - q < 0, kFlangeSum);
        RefuseProfileIf(wl <= 0 || wt <= 0 || std::min({lrft, llfl, llft, lrfr, llfr}) < 0, kAllLengths);
        RefuseShortFlange(lr, L"lowerFlangeLength must exceed lowerLeftFlangeLength plus the web thickness across "
                              L"the lower flange (webThickness / sin(lowerAngle))");
        RefuseProfileIf(std::min({urft, ulfl, ulft, urfr, ulfr}) < 0, kAllLengths);
        RefuseShortFlange(ur, L"upperFlangeLength must exceed upperLeftFlangeLength plus the web thickness across "
                              L"the upper flange");
        RefuseProfileIf(lrfr > wl || lrfr > lr, kRightFillet);
        RefuseProfileIf(angleOutOfRange(la) || angleOutOfRange(ua), kFlangeAngle);
        RefuseProfileIf(urfr > wl || urfr > ur, kUpperFillet);

        b.createSubSection(parentName);
        const bool toes = toe > kSquareToe;
        const double ss = s + 90.0;
        CShapeAnalysis& lrf = b.parallelogram(L"_lowerRightFlange", lr, lrft, la, 90, P(b.x(), b.y(), 0), 0, 1, al);
        if (sloped) {
            CShapeAnalysis& t1 = b.triangle(L"_lowerTriangle", lr, 0, h, Anchor(lrf, 4), 0, 2, 90);
            b.fillet(L"_lowerRightFillet", lrfr, ss, Anchor(t1, 3), 0, 2, 90);
            if (toes) b.fillet(L"_lowerRightToeFillet", toe, ss, Anchor(lrf, 3), 0, 1, 180 - s, -1);
        } else {
            b.fillet(L"_lowerRightFillet", lrfr, la, Anchor(lrf, 4), 0, 1, al);
            if (toes) b.fillet(L"_lowerRightToeFillet", toe, 90, Anchor(lrf, 3), 0, 1, 270 - la, -1);
        }
        CShapeAnalysis& w = b.parallelogram(L"_web", wl, wt, ua, la, Anchor(lrf, 1), 2, 3, 90);
        CShapeAnalysis& ll = b.parallelogram(L"_lowerLeftFlange", llfl, llft, 90, 180 - la, Anchor(w, 2), 1, 2, 90);
        if (sloped) {
            CShapeAnalysis& t2 = b.triangle(L"_lowerLeftTriangle", llfl, llfl, h, Anchor(ll, 3), 1, 2, 90);
            b.fillet(L"_lowerLeftFillet", llfr, ss, Anchor(t2, 3), 0, 1, 90);
            if (toes) b.fillet(L"_lowerLeftToeFillet", toe, ss, Anchor(ll, 4), 0, 1, 270, -1);
        } else {
            b.fillet(L"_lowerLeftFillet", llfr, 180 - la, Anchor(ll, 3), 0, 1, 90);
            if (toes) b.fillet(L"_lowerLeftToeFillet", toe, 90, Anchor(ll, 4), 0, 1, 360 - la, -1);
        }
        // The upper fillets' sweeps are widened a thousandth of a degree so
        // that they overlap the flange rather than touch it.
        CShapeAnalysis& urf = b.parallelogram(L"_upperRightFlange", ur, urft, 90, ua, Anchor(w, 4), 1, 2, 270);
        if (sloped) {
            CShapeAnalysis& t3 = b.triangle(L"_upperTriangle", ur, ur, h, Anchor(urf, 3), 1, 2, 270);
            b.fillet(L"_upperRightFillet", urfr, ss + 0.001, Anchor(t3, 3), 0, 1, 270);
            if (toes) b.fillet(L"_upperRightToeFillet", toe, ss + 0.001, Anchor(urf, 4), 0, 1, 90, -1);
        } else {
            b.fillet(L"_upperRightFillet", urfr, ua + 0.001, Anchor(urf, 3), 0, 1, 270);
            if (toes) b.fillet(L"_upperRightToeFillet", toe, 90, Anchor(urf, 4), 0, 1, ua, -1);
        }
        CShapeAnalysis& ul = b.parallelogram(L"_upperLeftFlange", ulfl, ulft, 180 - ua, 90, Anchor(w, 1), 0, 3, 270);
        if (sloped) {
            CShapeAnalysis& t4 = b.triangle(L"_upperLeftTriangle", ulfl, 0, h, Anchor(ul, 4), 0, 1, 180);
            b.fillet(L"_upperLeftFillet", ulfr, ss + 0.001, Anchor(t4, 3), 0, 2, 270);
            if (toes) b.fillet(L"_upperLeftToeFillet", toe, ss + 0.001, Anchor(ul, 3), 0, 2, 90, -1);
        } else {
            b.fillet(L"_upperLeftFillet", ulfr, 180 - ua, Anchor(ul, 4), 0, 2, 270);
            if (toes) b.fillet(L"_upperLeftToeFillet", toe, 90, Anchor(ul, 3), 0, 1, ua - 90, -1);
        }

        // Twelve points from the pieces; the thirteenth stays at zero.
        CShapeAnalysis& u = b.finish(
            {wl, wt, llfl, lrft, lfl, llft, lrfr, llfr, la, ulfl, urft, ufl, ulft, urfr, ulfr, ua, v[IB::iorig],
             v[IB::iDirection], toe, s},
            {Corner(ll, 0), Corner(w, 1), Corner(w, 2), Corner(lrf, 1), Corner(lrf, 2), Corner(urf, 3), Corner(urf, 0),
             Corner(w, 3), Corner(w, 0), Corner(ul, 1), Corner(ul, 2), Corner(ll, 3), P(0, 0, 0)},
            parentName);
        u.checkDist(wl, 2, 9);
        u.checkDist(llfl, 1, 2);
        u.checkDist(lrft, 4, 5);
        u.checkDist(lfl, 1, 4);
        u.checkDist(llft, 1, 12);
        u.checkAngle(la, 8, 3, 4);
        u.checkDist(ulfl, 10, 9);
        u.checkDist(urft, 6, 7);
        u.checkDist(ufl, 10, 7);
        u.checkDist(ulft, 10, 11);
        u.checkAngle(ua, 3, 8, 7);
        b.checkPlacementAndDot();
        b.refresh();
    });
}

}  // namespace ILorimant
