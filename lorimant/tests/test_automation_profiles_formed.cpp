// The formed L, C and Z and the I-beam: closed-form properties, the
// bend-angle and slope boundaries, self-checks at other angles, and the
// refusals that replace a message box, an escaping exception and an
// overlapping sloped beam.
#include <cmath>

#include "test_automation_profiles_support.h"

using namespace profile_test;

namespace {

constexpr int kFormedLAt = 5, kFormedCAt = 8, kIBeamAt = 16;

// Formed L: web 10, thickness 0.1, flange 8, inside radius 0.2, bend 90.
std::vector<double> formedL(double flange = 8, double angle = 90)
{
    return {10, 0.1, flange, 0.2, angle, 5, 0, 0, 0, 0};
}
// Formed C or Z: web 10, thickness 0.2, flanges 4 and 3, radii 0.3 and 0.4.
std::vector<double> formedC(double upper, double lower, int iorig = 0, int idir = 7, double rot = 0)
{
    return {10, 0.2, 4, 0.3, upper, 3, 0.4, lower, double(iorig), double(idir), 1.5, -2, rot};
}
// The symmetric I-beam: web 10 x 1, outstands 4 x 1.2 of 9-wide flanges, fillets 0.5.
std::vector<double> iBeam(double slope = 0, double lower = 90, double upper = 90, double toe = 0)
{
    return {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, lower, 4, 1.2, 9, 1.2, 0.5, 0.5, upper, 0, 3, 0, 0, 0, toe, slope};
}

}  // namespace

TEST_F(ProfileTest, FormedLAgreesWithItsLegsAndBend) {
    ASSERT_EQ(build(L"AddFormedL", L"root", L"F1", formedL(), kFormedLAt), S_OK) << excep.bstrDescription.ToUtf8();
    // k = (0.1 + 0.2) / tan 45 = 0.3: the straight legs are 9.7 and 7.7,
    // joined by a quarter ring of radii 0.2 and 0.3; the outer heel at the origin.
    Composite c;
    c.rect(0, 0.3, 0.1, 10);
    c.rect(0.3, 0, 8, 0.1);
    c.quarterDisc(0.3, 0.3, 0.3, -1, -1);
    c.quarterDisc(0.3, 0.3, 0.2, -1, -1, -1);
    const Props m = measured(L"F1");
    const Props e = c.props();
    EXPECT_NEAR(m.area, e.area, 1e-7);
    EXPECT_NEAR(m.cx, e.cx, 1e-7);
    EXPECT_NEAR(m.cy, e.cy, 1e-7);
    EXPECT_NEAR(m.ixc, e.ixc, 1e-6);
    EXPECT_NEAR(m.iyc, e.iyc, 1e-6);
    EXPECT_NEAR(m.area, 1.7792699082, 1e-8);
    EXPECT_NEAR(m.cx, 1.8262814563, 1e-8);
    EXPECT_NEAR(m.cy, 2.8323120714, 1e-8);
    EXPECT_NEAR(m.ixc, 19.0627221825, 1e-6);
    EXPECT_NEAR(m.iyc, 11.1356045971, 1e-6);
    EXPECT_EQ(doc->model()->findSubSection(L"F1")->kindArguments, (std::vector<double>{10, 8, 0.1, 0.2, 90, 5, 0}));
    EXPECT_EQ(profileShape(L"F1")->kind, 13);
    EXPECT_EQ(journalLines().back(), "xscn.AddFormedL \"root\",\"F1\",10,0.1,8,0.2,90,5,0,0,0,0");
}

TEST_F(ProfileTest, FormedBendAnglesAndLegLengths) {
    struct Case {
        const wchar_t* method;
        std::vector<double> v;
        int iorigAt;
        const wchar_t* text;  // null: accepted
    };
    const wchar_t* angles = L"Angle inputs must be between 20 and 170 degrees.";
    const Case cases[] = {
        {L"AddFormedL", formedL(8, 20), kFormedLAt, nullptr},
        {L"AddFormedL", formedL(8, 170), kFormedLAt, nullptr},
        {L"AddFormedL", formedL(8, 19.99), kFormedLAt, angles},
        {L"AddFormedL", formedL(8, 170.01), kFormedLAt, angles},
        // A leg shorter than k is inconsistent: a refusal, not an escaping exception.
        {L"AddFormedL", formedL(0.29), kFormedLAt, L"Inconsistent geometry, check leg lengths"},
        // A leg exactly k long leaves a zero-length flange, which the shape refuses.
        {L"AddFormedL", formedL((0.1 + 0.2) / std::tan(std::numbers::pi / 4)), kFormedLAt, L"Invalid length or width"},
        {L"AddFormedC", formedC(90, 19), kFormedCAt, angles},
        {L"AddFormedC", [] { auto v = formedC(90, 90); v[0] = 0.5; return v; }(), kFormedCAt,
         L"Inconsistent geometry, check leg lengths and angle inputs"},
    };
    int n = 0;
    for (const Case& k : cases) {
        const CString name = CString(L"F") + CString(std::to_wstring(n++).c_str());
        SCOPED_TRACE(name.ToUtf8());
        const HRESULT hr = build(k.method, L"root", name, k.v, k.iorigAt);
        if (k.text == nullptr) {
            EXPECT_EQ(hr, S_OK) << excep.bstrDescription.ToUtf8();
            continue;
        }
        ASSERT_EQ(hr, DISP_E_EXCEPTION);
        EXPECT_EQ(excep.wCode, 1);
        EXPECT_EQ(excep.bstrDescription, CString(k.text)) << excep.bstrDescription.ToUtf8();
        EXPECT_EQ(doc->model()->findSubSection(name), nullptr);
        EXPECT_EQ(doc->journal()->isBlocked(), 0);
        EXPECT_FALSE(doc->busy);
    }
}

TEST_F(ProfileTest, FormedChannelsPassTheirSelfChecksAtManyBends) {
    const double bends[][2] = {{90, 90}, {70, 100}, {120, 60}, {30, 160}};
    int n = 0;
    for (const wchar_t* method : {L"AddFormedC", L"AddFormedZ"}) {
        for (const auto& bend : bends) {
            for (int placement = 0; placement < 2; ++placement) {
                const CString name = CString(L"G") + CString(std::to_wstring(n++).c_str());
                SCOPED_TRACE(name.ToUtf8() + " " + CString(method).ToUtf8());
                const std::vector<double> v =
                    placement == 0 ? formedC(bend[0], bend[1]) : formedC(bend[0], bend[1], 2, 5, 40);
                ASSERT_EQ(build(method, L"root", name, v, kFormedCAt), S_OK) << excep.bstrDescription.ToUtf8();
                ASSERT_NE(profileShape(name), nullptr);
                EXPECT_EQ(profileShape(name)->definingPoints.size(), 8u);
            }
        }
    }
    EXPECT_EQ(profileShape(L"G0")->kind, 17);
    EXPECT_EQ(profileShape(L"G8")->kind, 18);
}

TEST_F(ProfileTest, FormedChannelNamesAndParents) {
    ASSERT_EQ(build(L"AddFormedC", L"", L"C1", formedC(90, 90), kFormedCAt), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.bstrDescription, CString(L"Parent of formed C is not defined."));
    ASSERT_EQ(build(L"AddFormedZ", L"root", L"Z1", formedC(90, 90), kFormedCAt), S_OK);
    // A taken name is a refusal with code 2, not a message box and a success.
    ASSERT_EQ(build(L"AddFormedZ", L"root", L"Z1", formedC(90, 90), kFormedCAt), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.wCode, 2);
    EXPECT_EQ(excep.bstrDescription, CString(L"Object with that name already exists."));
}

TEST_F(ProfileTest, SymmetricIBeamAgreesWithItsPiecesAndThePublishedFigures) {
    ASSERT_EQ(build(L"AddIBeam", L"root", L"I1", iBeam(), kIBeamAt), S_OK) << excep.bstrDescription.ToUtf8();
    Composite c;
    c.rect(4, 0, 5, 10);
    for (double y0 : {0.0, 8.8}) {
        c.rect(0, y0, 4, y0 + 1.2);
        c.rect(5, y0, 9, y0 + 1.2);
    }
    c.fillet(4, 1.2, 0.5, -1, 1);
    c.fillet(5, 1.2, 0.5, 1, 1);
    c.fillet(4, 8.8, 0.5, -1, -1);
    c.fillet(5, 8.8, 0.5, 1, -1);
    const Props m = measured(L"I1");
    const Props e = c.props();
    // The upper fillets are a thousandth of a degree wider than square.
    EXPECT_NEAR(m.area, e.area, 1e-5);
    EXPECT_NEAR(m.ixc, e.ixc, 1e-4);
    EXPECT_NEAR(m.iyc, e.iyc, 1e-4);
    EXPECT_NEAR(m.area, 29.41460, 1e-5);
    EXPECT_NEAR(m.cx, 4.5, 1e-6);
    EXPECT_NEAR(m.cy, 5.0, 1e-6);
    EXPECT_NEAR(m.ixc, 460.27053, 1e-4);
    EXPECT_NEAR(m.iyc, 146.51551, 1e-4);
    const CShapeAnalysis* u = profileShape(L"I1");
    EXPECT_EQ(u->kind, 14);
    EXPECT_EQ(u->definingPoints.size(), 13u);
    EXPECT_EQ(doc->model()->findSubSection(L"I1")->kindArguments.size(), 20u);
    EXPECT_EQ(journalLines().back(),
              "xscn.AddIBeam  \"root\",\"I1\",10,1,4,1.2,9,1.2,0.5,0.5,90,4,1.2,9,1.2,0.5,0.5,90,0,3,0,0,0,0,0");
}

TEST_F(ProfileTest, SlopedIBeamHasItsTrianglesAndBothFlangesSquare) {
    ASSERT_EQ(build(L"AddIBeam", L"root", L"S1", iBeam(5, 90, 90, 0.3), kIBeamAt), S_OK)
        << excep.bstrDescription.ToUtf8();
    // Every triangle has the lower right outstand's height Lr tan 5, Lr = 9 - 4 - 1.
    const double h = 4 * std::tan(5 * std::numbers::pi / 180);
    for (const wchar_t* t : {L"S1_lowerTriangle", L"S1_lowerLeftTriangle", L"S1_upperTriangle", L"S1_upperLeftTriangle"}) {
        const CShapeAnalysis* tri = doc->model()->findShape(t);
        ASSERT_NE(tri, nullptr) << CString(t).ToUtf8();
        const auto& p = tri->definingPoints;
        const Point<double> base = p[1] - p[0], side = p[2] - p[0];
        EXPECT_NEAR(std::fabs(base.x * side.y - base.y * side.x) / base.length(), h, 1e-9) << CString(t).ToUtf8();
    }
    // A slope up to 0.001 is flat: no triangles, and a flange off square is fine.
    ASSERT_EQ(build(L"AddIBeam", L"root", L"S2", iBeam(0.001, 80, 90), kIBeamAt), S_OK)
        << excep.bstrDescription.ToUtf8();
    EXPECT_EQ(doc->model()->findShape(L"S2_lowerTriangle"), nullptr);
    ASSERT_EQ(build(L"AddIBeam", L"root", L"S3", iBeam(0.0011, 80, 90), kIBeamAt), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.bstrDescription, CString(L"Sloped flanges assumes flanges perpendicular to web"));
    // Triangles 7.7e-5 high are slivers the union may not resolve; whatever
    // happens, no half-built beam stays.
    if (build(L"AddIBeam", L"root", L"S7", iBeam(0.0011), kIBeamAt) != S_OK) {
        EXPECT_EQ(doc->model()->findSubSection(L"S7"), nullptr);
        EXPECT_EQ(doc->model()->findShape(L"S7_lowerTriangle"), nullptr);
        EXPECT_FALSE(doc->busy);
    }
    // One flange off square would overlap the sloped pieces: refused.
    for (const auto& angles : {std::pair<double, double>{80, 90}, {90, 80}, {80, 100}}) {
        ASSERT_EQ(build(L"AddIBeam", L"root", L"S4", iBeam(5, angles.first, angles.second), kIBeamAt),
                  DISP_E_EXCEPTION);
        EXPECT_EQ(excep.bstrDescription, CString(L"Sloped flanges assumes flanges perpendicular to web"));
    }
    ASSERT_EQ(build(L"AddIBeam", L"root", L"S5", iBeam(0, 80, 95, 0.3), kIBeamAt), S_OK)
        << excep.bstrDescription.ToUtf8();
    ASSERT_EQ(build(L"AddIBeam", L"root", L"S6", iBeam(0, 90, 90, 1.3), kIBeamAt), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.bstrDescription, CString(L"Toe radius may not be greater than minimum flange thickness"));
}
