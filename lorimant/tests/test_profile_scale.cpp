// Profiles and basic shapes with every length scaled by powers of ten from
// 1e-6 to 1e8: each build either gives the closed-form area (times s^2) and
// centroid (times s) or is refused with a message; never a wrong number.
// Metres are as ordinary as millimetres, so 1e-4 to 1e4 must build.
#include <numbers>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "lorimant/automation/ILorimant.h"
#include "platform/ole/COleDispatchException.h"
#include "test_automation_profiles_support.h"

using namespace profile_test;

namespace {

// a fillet of radius r with square corner: r^2 (1 - pi/4).
double filletArea(double r) { return r * r * (1 - std::numbers::pi / 4); }

using Build = std::function<void(CXSectionAnalysisDoc&, const CString&, const std::vector<double>&)>;

// One profile builder at unit scale: its values, the positions of the
// lengths among them, the closed-form area and, where its placement makes
// it easy to state, the closed-form centroid (NAN otherwise: then the
// centroid must scale with s from the unit build).
struct ProfileCase {
    const char* label;
    Build build;
    std::vector<double> values;
    std::vector<int> lengths;
    double area, cx, cy;
};

template <void (*F)(CXSectionAnalysisDoc&, const CString&, const CString&, const std::vector<double>&)>
Build profile()
{
    return [](CXSectionAnalysisDoc& d, const CString& name, const std::vector<double>& v) { F(d, L"root", name, v); };
}

const std::vector<ProfileCase>& profileCases()
{
    static const std::vector<ProfileCase> cases = {
        // Web 10 x 1, flange 8 x 1.2 (7 beyond the web), fillet 0.5; heel at the origin.
        {"extruded L", profile<ILorimant::AddExtrudedL>(), {10, 1, 8, 1.2, 0.5, 90, 0, 2, 0, 0, 0, 0},
         {0, 1, 2, 3, 4, 11}, 10 + 7 * 1.2 + filletArea(0.5), 2.3225563121, 2.9864211728},
        // Web 10 x 1 between two 4 x 1.2 outstands, fillets 0.5.
        {"extruded T", profile<ILorimant::AddExtrudedT>(), {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0},
         {0, 1, 2, 3, 4, 5, 6, 7, 14}, 10 + 8 * 1.2 + 2 * filletArea(0.5), 4.5, 2.8365500241},
        // Web 10 x 1, flanges 5 x 1 overall (4 beyond the web), fillets 0.5.
        {"extruded C", profile<ILorimant::AddExtrudedC>(),
         {10, 1, 5, 1, 0.5, 90, 5, 1, 0.5, 90, 0, 7, 0, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 6, 7, 8, 15},
         10 + 4 + 4 + 2 * filletArea(0.5), NAN, NAN},
        {"extruded Z", profile<ILorimant::AddExtrudedZ>(), {10, 1, 5, 1, 0.5, 90, 5, 1, 0.5, 90, 0, 2, 0, 0, 0, 0},
         {0, 1, 2, 3, 4, 6, 7, 8, 15}, 10 + 4 + 4 + 2 * filletArea(0.5), NAN, NAN},
        // Web 10 x 1, lower flange 4 beyond it, upper flanges 3 left and 5 right, three fillets 0.5.
        {"extruded J", profile<ILorimant::AddExtrudedJ>(),
         {10, 1, 5, 1, 0.5, 90, 3, 1, 9, 1, 0.5, 0.5, 90, 0, 2, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 18},
         10 + 4 + 5 + 3 + 3 * filletArea(0.5), NAN, NAN},
        // Legs 10 and 8 to the outer corner, thickness 0.1, inside radius 0.2: straight legs
        // 9.7 and 7.7 and a quarter annulus 0.2 to 0.3.
        {"formed L", profile<ILorimant::AddFormedL>(), {10, 0.1, 8, 0.2, 90, 5, 0, 0, 0, 0}, {0, 1, 2, 3},
         0.1 * (9.7 + 7.7) + std::numbers::pi / 4 * (0.09 - 0.04), 1.8262814563, 2.8323120714},
        // Web 10, flanges 4 and 3, thickness 0.2, radii 0.3 and 0.4: straight parts
        // 8.9, 3.5 and 2.4 and two quarter annuli.
        {"formed C", profile<ILorimant::AddFormedC>(), {10, 0.2, 4, 0.3, 90, 3, 0.4, 90, 0, 7, 0, 0, 0},
         {0, 1, 2, 3, 5, 6}, 0.2 * (8.9 + 3.5 + 2.4) + std::numbers::pi / 4 * (0.25 - 0.09 + 0.36 - 0.16), NAN, NAN},
        // The Z's web runs to the outer face of the lower flange and the inner face of the
        // upper one: its straight part is 10 - 0.3 - 0.6 = 9.1.
        {"formed Z", profile<ILorimant::AddFormedZ>(), {10, 0.2, 4, 0.3, 90, 3, 0.4, 90, 0, 7, 0, 0, 0},
         {0, 1, 2, 3, 5, 6}, 0.2 * (9.1 + 3.5 + 2.4) + std::numbers::pi / 4 * (0.25 - 0.09 + 0.36 - 0.16), NAN, NAN},
        // Web 10 x 1, four outstands 4 x 1.2, four fillets 0.5; symmetric about (4.5, 5).
        {"I-beam", profile<ILorimant::AddIBeam>(),
         {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0, 0},
         {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 21}, 10 + 16 * 1.2 + 4 * filletArea(0.5), 4.5, 5.0},
    };
    return cases;
}

// A basic shape at unit scale built by make(doc, name, s).
struct ShapeCase {
    const char* label;
    std::function<void(CXSectionAnalysisDoc&, const CString&, double)> make;
    double area, cx, cy;
};

const std::vector<ShapeCase>& shapeCases()
{
    static const std::vector<ShapeCase> cases = {
        {"rectangle",
         [](CXSectionAnalysisDoc& d, const CString& n, double s) {
             ILorimant::AddRectangle(d, L"root", n, 10 * s, 4 * s, 0, 0, 0, 1, 0, 1);
         },
         40, NAN, NAN},
        {"disk", [](CXSectionAnalysisDoc& d, const CString& n, double s) { ILorimant::AddDisk(d, L"root", n, 3 * s, 2 * s, s, 1); },
         9 * std::numbers::pi, 2, 1},
        // Inner radius 5, width 1, half turn.
        {"annulus",
         [](CXSectionAnalysisDoc& d, const CString& n, double s) {
             ILorimant::AddAnnulus(d, L"root", n, 5 * s, s, 180, 0, 0, 0, 1, 0, 1);
         },
         std::numbers::pi / 2 * (36 - 25), NAN, NAN},
        {"fillet",
         [](CXSectionAnalysisDoc& d, const CString& n, double s) {
             ILorimant::AddFillet(d, L"root", n, 2 * s, 90, 0, 0, 0, 1, 0, 1);
         },
         filletArea(2), NAN, NAN},
        {"sector",
         [](CXSectionAnalysisDoc& d, const CString& n, double s) {
             ILorimant::AddSector(d, L"root", n, 3 * s, 60, 0, 0, 0, 1, 0, 1);
         },
         1.5 * std::numbers::pi, NAN, NAN},
    };
    return cases;
}

// Unit scale first: the other scales compare with it.
constexpr double kScales[] = {1, 1e-6, 1e-5, 1e-4, 1e-3, 50, 150, 1e3, 1e4, 1e6, 1e8};

// Ordinary units: a build at these scales may not be refused.
bool ordinary(double s) { return s >= 1e-4 && s <= 1e4; }

class ProfileScale : public ProfileTest {
protected:
    // The area and centroid of a shape, or nothing when absent.
    bool shapeProps(const CString& name, Props& p)
    {
        CShapeAnalysis* s = doc->model()->findShape(name);
        if (s == nullptr) return false;
        s->areaProperties();
        p.area = s->m_area;
        p.cx = s->centroidA.x;
        p.cy = s->centroidA.y;
        return true;
    }
    // Runs one build; true when it succeeded, false when it was refused
    // with a message (anything else fails the test).
    bool attempt(const std::function<void()>& run, double s)
    {
        try {
            run();
            return true;
        } catch (const COleDispatchException& e) {
            EXPECT_FALSE(e.m_strDescription.IsEmpty());
            EXPECT_FALSE(ordinary(s)) << "refused: " << e.m_strDescription.ToUtf8();
            return false;
        }
    }
    // The result is right: area relative 1e-6 of s^2 area, centroid within
    // 1e-6 of s times the shape's size (about 10).
    void expectRight(const Props& m, double s, double area, double cx, double cy)
    {
        EXPECT_NEAR(m.area / (s * s), area, 1e-6 * area);
        EXPECT_NEAR(m.cx / s, cx, 1e-5);
        EXPECT_NEAR(m.cy / s, cy, 1e-5);
    }
};

TEST_F(ProfileScale, ProfilesAreRightOrRefusedAtEveryScale) {
    int n = 0;
    for (const ProfileCase& c : profileCases()) {
        Props unit;
        for (double s : kScales) {
            SCOPED_TRACE(std::string(c.label) + " at scale " + std::to_string(s));
            std::vector<double> v = c.values;
            for (int i : c.lengths) v[i] *= s;
            const CString name = CString(L"P") + CString(std::to_wstring(++n).c_str());
            if (!attempt([&] { c.build(*doc, name, v); }, s)) continue;
            const Props m = measured(name);
            if (s == 1) unit = m;
            const double cx = std::isnan(c.cx) ? unit.cx : c.cx, cy = std::isnan(c.cy) ? unit.cy : c.cy;
            expectRight(m, s, c.area, cx, cy);
        }
    }
}

TEST_F(ProfileScale, BasicShapesAreRightOrRefusedAtEveryScale) {
    int n = 0;
    for (const ShapeCase& c : shapeCases()) {
        Props unit;
        for (double s : kScales) {
            SCOPED_TRACE(std::string(c.label) + " at scale " + std::to_string(s));
            const CString name = CString(L"S") + CString(std::to_wstring(++n).c_str());
            if (!attempt([&] { c.make(*doc, name, s); }, s)) continue;
            Props m;
            ASSERT_TRUE(shapeProps(name, m));
            if (s == 1) unit = m;
            expectRight(m, s, c.area, std::isnan(c.cx) ? unit.cx : c.cx, std::isnan(c.cy) ? unit.cy : c.cy);
        }
    }
}

}  // namespace
