// The extruded profile builders: L, T, C, Z and J. Each is the frame of
// ProfileFrame.h with its own validation, pieces, defining points,
// construction arguments and dimension checks.
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

// Argument positions of each builder, in dispatch order after the two texts.
namespace L {
enum { webLength, webThickness, flangeLength, flangeThickness, filletRadius, flangeAngle, iorig, iDirection, x, y,
       rotation, toeRadius, count };
}
namespace T {
enum { webLength, webThickness, rightFlangeLength, rightFlangeThickness, totalFlangeLength, leftFlangeThickness,
       rightFilletRadius, leftFilletRadius, flangeAngle, iorig, iDirection, x, y, rotation, toeRadius, count };
}
namespace C {
enum { webLength, webThickness, lowerFlangeLength, lowerRightFlangeThickness, lowerRightFilletRadius, lowerAngle,
       upperFlangeLength, upperRightFlangeThickness, upperRightFilletRadius, upperAngle, iorig, iDirection, x, y,
       rotation, toeRadius, flangeSlope, count };
}
namespace Z {
enum { webLength, webThickness, lowerFlangeLength, lowerLeftFlangeThickness, lowerLeftFilletRadius, lowerAngle,
       upperFlangeLength, upperRightFlangeThickness, upperRightFilletRadius, upperAngle, iorig, iDirection, x, y,
       rotation, toeRadius, count };
}
namespace J {
enum { webLength, webThickness, lowerFlangeLength, lowerFlangeThickness, lowerFilletRadius, lowerAngle,
       upperLeftFlangeLength, upperLeftFlangeThickness, upperFlangeLength, upperRightFlangeThickness,
       upperLeftFilletRadius, upperRightFilletRadius, upperAngle, iorig, iDirection, x, y, rotation, toeRadius,
       count };
}

const ProfileKind kExtrudedL{L"AddExtrudedL", 12, 6, L::count, L::iorig};
const ProfileKind kExtrudedT{L"AddExtrudedT", 11, 8, T::count, T::iorig};
const ProfileKind kExtrudedC{L"AddExtrudedC", 15, 8, C::count, C::iorig};
const ProfileKind kExtrudedZ{L"AddExtrudedZ", 16, 8, Z::count, Z::iorig};
const ProfileKind kExtrudedJ{L"AddExtrudedJ", 19, 10, J::count, J::iorig};

}  // namespace

void AddExtrudedL(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ProfileBuild b(doc, model, kExtrudedL, name, v);
        const CSubSection& parent = b.requireParent(parentName, kNoParent);
        b.begin();
        const double wl = v[L::webLength], wt = v[L::webThickness], fl = v[L::flangeLength];
        const double ft = v[L::flangeThickness], fr = v[L::filletRadius], fa = v[L::flangeAngle];
        const double toe = v[L::toeRadius], a = 90.0 - fa;
        RefuseProfileIf(toe > kSquareToe && toe > std::min(wt, ft),
                 L"End radius may not be greater than flange or web thickness");
        b.checkNameAndPoints(name);
        RefuseProfileIf(wl <= 0 || wt <= 0 || fl <= 0 || ft < 0 || fr < 0, kAllLengths);
        RefuseShortFlange(fl - wt / SinDeg(fa), L"flangeLength must exceed the web thickness across the flange "
                                                L"(webThickness / sin(flangeAngle))");
        RefuseProfileIf(fr > wl || fr > fl, L"fillet radius > webLength or flangeLength");
        RefuseProfileIf(angleOutOfRange(fa), kFlangeAngle);

        b.createSubSection(parent.name());
        const bool toes = toe > kSquareToe;
        CShapeAnalysis& fl_ = b.parallelogram(L"_flange", fl - wt / SinDeg(fa), ft, fa, 90, P(b.x(), b.y(), 0), 0, 1, a);
        CShapeAnalysis* flangeToe = nullptr;
        if (toes)
            flangeToe = &b.fillet(L"FlangeFillet", toe, 90, Anchor(fl_, 3), 0, 1,
                                  DirectionDeg(Anchor(fl_, 3), Anchor(fl_, 4)), -1);
        CShapeAnalysis& fillet = b.fillet(L"_fillet", fr, fa, Anchor(fl_, 4), 0, 1, a);
        CShapeAnalysis& w = b.parallelogram(L"_web", wl - wt / TanDeg(fa), wt, a + 90, 90, Anchor(fl_, 1), 0, 1, 90);
        CShapeAnalysis* webToe = nullptr;
        if (toes)
            webToe = &b.fillet(L"webFillet", toe, 90, Anchor(w, 2), 0, 1, DirectionDeg(Anchor(w, 2), Anchor(w, 3)), -1);
        b.groupAdd({&fl_, &fillet, &w});
        if (toes) b.groupAdd({flangeToe, webToe});

        CShapeAnalysis& u =
            b.finish({wl, wt, fl, ft, fr, fa, v[L::iorig], v[L::iDirection], toe},
                     {Corner(w, 3), Corner(w, 0), Corner(fl_, 1), Corner(fl_, 2), Corner(w, 1), Corner(w, 2)},
                     parent.name());
        u.checkDist(wl, 1, 6);
        u.checkDist(fl, 1, 3);
        u.checkDist(ft, 4, 3);
        u.checkAngle(fa, 6, 1, 3);
        b.checkPlacementAndDot();
        b.refresh();
    });
}

void AddExtrudedT(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ProfileBuild b(doc, model, kExtrudedT, name, v);
        b.requireParent(parentName, L"Parent object is not defined for extruded T");
        b.begin();
        const double wl = v[T::webLength], wt = v[T::webThickness], rfl = v[T::rightFlangeLength];
        const double rft = v[T::rightFlangeThickness], tfl = v[T::totalFlangeLength];
        const double lft = v[T::leftFlangeThickness], rfr = v[T::rightFilletRadius], lfr = v[T::leftFilletRadius];
        const double fa = v[T::flangeAngle], toe = v[T::toeRadius], a = 90.0 - fa;
        const double d = wt / SinDeg(fa), lr = tfl - rfl - d, q = rfr / TanDeg((180.0 - fa) / 2.0);
        RefuseProfileIf(std::min({wl, wt, rfl, rft, tfl, lft, rfr, lfr}) < 1e-5, L"A parameter undefined, negative  or zero");
        b.checkNameAndPoints(name);
        RefuseProfileIf(rfl - q < 0, kFlangeSum);
        RefuseProfileIf(wl <= 0 || wt <= 0 || std::min({lft, rfl, rft, lfr, rfr}) < 0, kAllLengths);
        RefuseShortFlange(lr, L"totalFlangeLength must exceed rightFlangeLength plus the web thickness across the "
                              L"flange (webThickness / sin(flangeAngle))");
        RefuseProfileIf(lfr > wl || lfr > lr, kRightFillet);

        const CSubSection* current = model.currentSubSection();
        if (current == nullptr) RefuseProfile(L"There is no current sub-section.");
        b.createSubSection(current->name());
        const bool toes = toe > kSquareToe;
        CShapeAnalysis& r = b.parallelogram(L"_lowerRightFlange", lr, lft, fa, 90, P(b.x(), b.y(), 0), 0, 1, a);
        b.fillet(L"_lowerRightFillet", lfr, fa, Anchor(r, 4), 0, 1, a);
        if (toes) b.fillet(L"_lowerRightToeFillet", toe, 90, Anchor(r, 3), 0, 1, 270 - fa, -1);
        CShapeAnalysis& w = b.parallelogram(L"_web", wl, wt, a + 90, 90, Anchor(r, 1), 0, 1, 90);
        CShapeAnalysis& l = b.parallelogram(L"_lowerLeftFlange", rfl, rft, 90, a + 90, Anchor(w, 4), 1, 2, 90);
        b.fillet(L"_lowerLeftFillet", rfr, a + 90, Anchor(l, 3), 0, 1, 90);
        if (toes) b.fillet(L"_lowerLeftToeFillet", toe, 90, Anchor(l, 4), 0, 1, 360 - fa, -1);

        CShapeAnalysis& u = b.finish({wl, wt, rfl, lft, tfl, rft, lfr, rfr, fa, v[T::iorig], v[T::iDirection], toe},
                                     {Corner(l, 0), Corner(w, 3), Corner(w, 0), Corner(r, 1), Corner(r, 2),
                                      Corner(w, 1), Corner(w, 2), Corner(l, 3)},
                                     parentName);
        u.checkDist(wl, 3, 6);
        u.checkDist(rfl, 1, 2);
        u.checkDist(lft, 4, 5);
        u.checkDist(tfl, 1, 4);
        u.checkDist(rft, 1, 8);
        u.checkAngle(fa, 6, 3, 4);
        b.checkPlacementAndDot();
        b.refresh();
    });
}

void AddExtrudedC(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ProfileBuild b(doc, model, kExtrudedC, name, v);
        const double wl = v[C::webLength], wt = v[C::webThickness], lfl = v[C::lowerFlangeLength];
        const double lrft = v[C::lowerRightFlangeThickness], lrfr = v[C::lowerRightFilletRadius];
        const double la = v[C::lowerAngle], ufl = v[C::upperFlangeLength];
        const double urft = v[C::upperRightFlangeThickness], urfr = v[C::upperRightFilletRadius];
        const double ua = v[C::upperAngle], toe = v[C::toeRadius], s = v[C::flangeSlope];
        const double al = 90.0 - la, ll = lfl - wt / SinDeg(la);
        const double lu = ufl - wt / SinDeg(ua) + urft * TanDeg(ua - 90.0);
        const bool sloped = s > 0.001;
        if (sloped && (std::fabs(la - 90.0) > 0.001 || std::fabs(ua - 90.0) > 0.001))
            RefuseProfile(L"Slope for flanges is not supported for flanges not perpendicular to the web", 3);
        b.requireParent(parentName, kNoParent);
        b.begin();
        RefuseProfileIf(toe > std::min(lrft, urft), L"Toe radius may not be greater than minimum thickness");
        b.checkNameAndPoints(name);
        RefuseProfileIf(wl <= 0 || wt <= 0 || lrft < 0 || lrfr < 0, kAllLengths);
        RefuseShortFlange(ll, L"lowerFlangeLength must exceed the web thickness across the lower flange "
                              L"(webThickness / sin(lowerAngle))");
        RefuseProfileIf(urft < 0 || urfr < 0, kAllLengths);
        RefuseShortFlange(lu, L"upperFlangeLength must exceed the web thickness across the upper flange");
        RefuseProfileIf(lrfr > wl || lrfr > ll, kRightFillet);
        RefuseProfileIf(angleOutOfRange(la) || angleOutOfRange(ua), kFlangeAngle);
        RefuseProfileIf(urfr > wl || urfr > lu, kUpperFillet);
        RefuseProfileIf(s < 0 || s > 20, kFlangeSlope);

        b.createSubSection(parentName);
        const bool toes = toe > kSquareToe;
        const double h = ll * TanDeg(s);  // both triangles take the lower one's height
        CShapeAnalysis& r = b.parallelogram(L"_lowerRightFlange", ll, lrft, la, 90, P(b.x(), b.y(), 0), 0, 1, al);
        if (sloped) {
            CShapeAnalysis& tl = b.triangle(L"_lowerTriangle", ll, 0, h, Anchor(r, 4), 0, 2, 90);
            b.fillet(L"_lowerRightFillet", lrfr, 90 + s, Anchor(tl, 3), 0, 2, 90);
            if (toes) b.fillet(L"_lowerRightToeFillet", toe, 90 + s, Anchor(r, 3), 0, 1, 180 - s, -1);
        } else {
            b.fillet(L"_lowerRightFillet", lrfr, la, Anchor(r, 4), 0, 1, al);
            if (toes) b.fillet(L"_lowerRightToeFillet", toe, 90, Anchor(r, 3), 0, 1, 270 - la, -1);
        }
        CShapeAnalysis& w = b.parallelogram(L"_web", wl, wt, ua, la, Anchor(r, 1), 2, 3, 90);
        CShapeAnalysis& up = b.parallelogram(L"_upperRightFlange", lu, urft, 180 - ua, 90, Anchor(w, 4), 3, 0, 270);
        if (sloped) {
            CShapeAnalysis& tu = b.triangle(L"_upperTriangle", lu, lu, h, Anchor(up, 1), 1, 2, 270);
            b.fillet(L"_upperRightFillet", urfr, 90 + s, Anchor(tu, 3), 0, 2, s);
            if (toes) b.fillet(L"_upperRightToeFillet", toe, 90 + s, Anchor(up, 2), 0, 1, ua, -1);
        } else {
            b.fillet(L"_upperRightFillet", urfr, ua, Anchor(up, 1), 0, 1, 270);
            if (toes) b.fillet(L"_upperRightToeFillet", toe, 90, Anchor(up, 2), 0, 1, ua, -1);
        }

        CShapeAnalysis& u = b.finish(
            {wl, wt, lfl, lrft, lrfr, la, ufl, urft, urfr, ua, v[C::iorig], v[C::iDirection], toe, s},
            {Corner(w, 1), Corner(w, 2), Corner(r, 1), Corner(r, 2), Corner(up, 1), Corner(up, 2), Corner(w, 3),
             Corner(w, 0)},
            parentName);
        u.checkDist(wl, 1, 8);
        u.checkDist(lfl, 1, 3);
        u.checkDist(lrft, 3, 4);
        u.checkAngle(la, 3, 2, 7);
        u.checkDist(ufl, 8, 6);
        u.checkDist(urft, 5, 6);
        u.checkAngle(ua, 2, 7, 6);
        b.checkPlacementAndDot();
        b.refresh();
    });
}

void AddExtrudedZ(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ProfileBuild b(doc, model, kExtrudedZ, name, v);
        const CSubSection& parent = b.requireParent(parentName, kNoParent);
        b.begin();
        const double wl = v[Z::webLength], wt = v[Z::webThickness], lfl = v[Z::lowerFlangeLength];
        const double llft = v[Z::lowerLeftFlangeThickness], llfr = v[Z::lowerLeftFilletRadius];
        const double la = v[Z::lowerAngle], ufl = v[Z::upperFlangeLength];
        const double urft = v[Z::upperRightFlangeThickness], urfr = v[Z::upperRightFilletRadius];
        const double ua = v[Z::upperAngle], toe = v[Z::toeRadius];
        const double ll = lfl - wt / SinDeg(la);
        const double lu = ufl - wt / SinDeg(180.0 - ua) + urft * TanDeg(ua - 90.0);
        RefuseProfileIf(toe > std::min({wt, urft, llft}), L"Toe radius may not be greater than minimum thickness");
        b.checkNameAndPoints(name);
        RefuseProfileIf(wl <= 0 || wt <= 0 || llft < 0 || llfr < 0, kAllLengths);
        RefuseProfileIf(urft < 0 || urfr < 0, kAllLengths);
        RefuseShortFlange(lu, L"upperFlangeLength must exceed the web thickness across the upper flange");
        RefuseProfileIf(angleOutOfRange(la) || angleOutOfRange(ua), kFlangeAngle);
        RefuseProfileIf(urfr > wl || urfr > lu, kUpperFillet);

        b.createSubSection(parent.name());
        const bool toes = toe > kSquareToe;
        CShapeAnalysis& w = b.parallelogram(L"_web", wl, wt, la, 180 - ua, P(0, 0, 0), 0, 1, 90);
        CShapeAnalysis& l = b.parallelogram(L"_lowerLeftFlange", ll, llft, 90, la, Anchor(w, 4), 1, 2, 90);
        b.fillet(L"_lowerLeftFillet", llfr, la, Anchor(l, 3), 0, 1, 90);
        if (toes) b.fillet(L"_lowerLeftToeFillet", toe, 90, Anchor(l, 4), 0, 1, la + 180, -1);
        CShapeAnalysis& up = b.parallelogram(L"_upperRightFlange", lu, urft, 180 - ua, 90, Anchor(w, 2), 3, 0, 270);
        b.fillet(L"_upperRightFillet", urfr, ua, Anchor(up, 1), 0, 1, 270);
        if (toes) b.fillet(L"_upperRightToeFillet", toe, 90, Anchor(up, 2), 0, 1, ua, -1);

        CShapeAnalysis& u =
            b.finish({wl, wt, lfl, llft, llfr, la, ufl, urft, urfr, ua, v[Z::iorig], v[Z::iDirection], toe},
                     {Corner(l, 0), Corner(w, 3), Corner(w, 0), Corner(up, 1), Corner(up, 2), Corner(w, 1),
                      Corner(w, 2), Corner(l, 3)},
                     parentName);
        u.checkDist(wl, 3, 6);
        u.checkDist(lfl, 1, 3);
        u.checkDist(llft, 1, 8);
        u.checkAngle(la, 1, 2, 7);
        u.checkDist(ufl, 7, 5);
        u.checkDist(urft, 4, 5);
        u.checkAngle(ua, 3, 6, 5);
        b.checkPlacementAndDot();
        b.refresh();
    });
}

void AddExtrudedJ(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, const ProfileValues& v)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const double wl = v.at(J::webLength), wt = v[J::webThickness], lfl = v[J::lowerFlangeLength];
        const double lft = v[J::lowerFlangeThickness], lfr = v[J::lowerFilletRadius], la = v[J::lowerAngle];
        const double ulfl = v[J::upperLeftFlangeLength], ulft = v[J::upperLeftFlangeThickness];
        const double ufl = v[J::upperFlangeLength], urft = v[J::upperRightFlangeThickness];
        const double ulfr = v[J::upperLeftFilletRadius], urfr = v[J::upperRightFilletRadius];
        const double ua = v[J::upperAngle], toe = v.at(J::toeRadius);
        const double al = 90.0 - la, ll = lfl - wt / SinDeg(la), lur = ufl - ulfl - wt / CosDeg(ua - 90.0);
        RefuseProfileIf(toe > std::min({wt, lft, ulft, urft}), L"Toe radius may not be greater than minimum flange thickness");
        ProfileBuild b(doc, model, kExtrudedJ, name, v);
        const CSubSection& parent = b.requireParent(parentName, kNoParent);
        b.begin();
        b.checkNameAndPoints(name);
        RefuseProfileIf(angleOutOfRange(la) || angleOutOfRange(ua), kFlangeAngle);
        RefuseProfileIf(lfl - lfr < 0, kFlangeSum);
        RefuseProfileIf(wl <= 0 || wt <= 0 || lfl <= 0 || lft < 0 || lfr < 0, kAllLengths);
        RefuseProfileIf(std::min({urft, ulfl, ulft, urfr, ulfr}) < 0, kAllLengths);
        RefuseShortFlange(lur, L"upperFlangeLength must exceed upperLeftFlangeLength plus the web thickness across "
                               L"the upper flange");
        RefuseProfileIf(lfr > wl || lfr > lfl, L"fillet radius > web length or FlangeLength");
        RefuseProfileIf(urfr > wl || urfr > lur, kUpperFillet);

        b.createSubSection(parent.name());
        const bool toes = toe > kSquareToe;
        CShapeAnalysis& f = b.parallelogram(L"_lowerFlange", ll, lft, la, 90, P(b.x(), b.y(), 0), 0, 1, al);
        b.fillet(L"_lowerFillet", lfr, la, Anchor(f, 4), 0, 1, al);
        if (toes) b.fillet(L"_lowerRightToeFillet", toe, 90, Anchor(f, 3), 0, 1, 270 - la, -1);
        CShapeAnalysis& w = b.parallelogram(L"_web", wl, wt, ua, la, Anchor(f, 1), 2, 3, 90);
        CShapeAnalysis& r = b.parallelogram(L"_upperRightFlange", lur, urft, 90, ua, Anchor(w, 4), 1, 2, 270);
        // Raised a hair so that the fillet's corner does not sit exactly on
        // the flange's edge: 1e-8, or a billionth of the web when that is
        // less, so that a profile given in metres is not bent out of shape.
        b.fillet(L"_upperRightFillet", urfr, ua, Anchor(r, 3) + P(0, std::min(1e-8, 1e-9 * wl), 0), 0, 1, 270);
        if (toes) b.fillet(L"_upperRightToeFillet", toe, 90, Anchor(r, 4), 0, 1, ua, -1);
        CShapeAnalysis& l = b.parallelogram(L"_upperLeftFlange", ulfl, ulft, 180 - ua, 90, Anchor(w, 1), 0, 1, ua + 90);
        b.fillet(L"_upperLeftFillet", ulfr, 180 - ua, Anchor(l, 4), 0, 2, 270);
        if (toes) b.fillet(L"_upperLeftToeFillet", toe, 90, Anchor(l, 3), 0, 1, ua - 90, -1);

        CShapeAnalysis& u = b.finish({wl, wt, lfl, lft, lfr, la, ulfl, urft, ufl, ulft, urfr, ulfr, ua, v[J::iorig],
                                      v[J::iDirection], toe},
                                     {Corner(w, 1), Corner(w, 2), Corner(f, 1), Corner(f, 2), Corner(r, 3),
                                      Corner(r, 0), Corner(w, 3), Corner(w, 0), Corner(l, 1), Corner(l, 2)},
                                     parentName);
        u.checkDist(wl, 8, 1);
        u.checkDist(lfl, 1, 3);
        u.checkDist(lft, 3, 4);
        u.checkAngle(la, 7, 2, 3);
        u.checkAngle(ua, 6, 7, 2);
        u.checkDist(ulfl, 9, 8);
        u.checkDist(urft, 5, 6);
        u.checkDist(ufl, 6, 9);
        u.checkDist(ulft, 9, 10);
        b.checkPlacementAndDot();
        b.refresh(true);
    });
}

}  // namespace ILorimant
