// The extruded profile builders (L, T, C, Z, J) and the frame they share:
// closed-form properties, self-checks at other angles and placements,
// validation boundaries, journal lines and replay, and what a refused or
// failed build leaves behind.
#include <sstream>

#include "analysis/model/CLog.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/view/CThickSectionView.h"
#include "test_automation_profiles_support.h"

using namespace profile_test;

namespace {

// The extruded L of the examples: web 10 x 1, flange 8 x 1.2, fillet 0.5, 90 degrees.
std::vector<double> extrudedL(double toe = 0, double fillet = 0.5, double angle = 90)
{
    return {10, 1, 8, 1.2, fillet, angle, 0, 2, 0, 0, 0, toe};
}
// The extruded T of the examples: web 10 x 1, flanges 4 x 1.2 of a 9 total, fillets 0.5.
std::vector<double> extrudedT() { return {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0}; }
std::vector<double> extrudedC(double lower, double upper, double slope, double toe = 0.2)
{
    return {10, 1, 5, 1, 0.5, lower, 5, 1, 0.5, upper, 0, 7, 0, 0, 0, toe, slope};
}
std::vector<double> extrudedZ(double lower, double upper, double toe = 0.2)
{
    return {10, 1, 5, 1, 0.5, lower, 5, 1, 0.5, upper, 0, 2, 0, 0, 0, toe};
}
std::vector<double> extrudedJ(double lower, double upper, double toe = 0.2)
{
    return {10, 1, 5, 1, 0.5, lower, 3, 1, 9, 1, 0.5, 0.5, upper, 0, 2, 0, 0, 0, toe};
}

struct Builder {
    const wchar_t* method;
    int iorigAt;
};
const Builder kL{L"AddExtrudedL", 6}, kT{L"AddExtrudedT", 9}, kC{L"AddExtrudedC", 10}, kZ{L"AddExtrudedZ", 10},
    kJ{L"AddExtrudedJ", 13};

// The values with a new placement: origin and direction indices, (x, y), rotation.
std::vector<double> placed(std::vector<double> v, const Builder& b, int iorig, int idir, double x, double y,
                           double rot)
{
    v[b.iorigAt] = iorig;
    v[b.iorigAt + 1] = idir;
    v[b.iorigAt + 2] = x;
    v[b.iorigAt + 3] = y;
    v[b.iorigAt + 4] = rot;
    return v;
}

void expectProps(const Props& m, const Props& e, double tol)
{
    EXPECT_NEAR(m.area, e.area, tol);
    EXPECT_NEAR(m.cx, e.cx, tol);
    EXPECT_NEAR(m.cy, e.cy, tol);
    EXPECT_NEAR(m.ixc, e.ixc, tol);
    EXPECT_NEAR(m.iyc, e.iyc, tol);
}

}  // namespace

TEST_F(ProfileTest, ExtrudedLAgreesWithItsPiecesAndThePublishedFigures) {
    ASSERT_EQ(build(kL.method, L"root", L"L1", extrudedL(), kL.iorigAt), S_OK) << excep.bstrDescription.ToUtf8();
    // Placed with its outer heel at the origin and its flange along +x.
    Composite c;
    c.rect(0, 0, 1, 10);
    c.rect(1, 0, 8, 1.2);
    c.fillet(1, 1.2, 0.5, 1, 1);
    const Props m = measured(L"L1");
    expectProps(m, c.props(), 1e-6);
    EXPECT_NEAR(m.area, 18.4536504592, 1e-8);
    EXPECT_NEAR(m.cx, 2.3225563121, 1e-8);
    EXPECT_NEAR(m.cy, 2.9864211728, 1e-8);
    EXPECT_NEAR(m.ixc, 172.875328195, 1e-6);
    EXPECT_NEAR(m.iyc, 108.2561754661, 1e-6);
    EXPECT_NEAR(m.imax(), 227.0654862942, 1e-6);
    EXPECT_NEAR(m.imin(), 54.0660173669, 1e-6);

    const CSubSection* sub = doc->model()->findSubSection(L"L1");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->parent(), doc->model()->rootSubSection());
    EXPECT_EQ(sub->sectionKind, 12);
    EXPECT_EQ(sub->kindArguments, (std::vector<double>{10, 1, 8, 1.2, 0.5, 90, 0, 2, 0}));
    const CShapeAnalysis* u = profileShape(L"L1");
    EXPECT_EQ(u->name(), CString(L"L1"));
    EXPECT_EQ(u->kind, 12);
    EXPECT_EQ(u->definingPoints.size(), 6u);
    EXPECT_FALSE(u->mark);
    for (const wchar_t* piece : {L"L1_flange", L"L1_fillet", L"L1_web"})
        EXPECT_NE(doc->model()->findShape(piece), nullptr) << CString(piece).ToUtf8();
    EXPECT_EQ(doc->model()->findShape(L"L1FlangeFillet"), nullptr);
    EXPECT_EQ(journalLines().back(), "xscn.AddExtrudedL \"root\",\"L1\",10,1,8,1.2,0.5,90,0,2,0,0,0,0");
    EXPECT_FALSE(doc->busy);
    EXPECT_FALSE(doc->checkPointSuppressed);
    EXPECT_EQ(doc->journal()->isBlocked(), 0);

    // Rounded toes are holes cut from the free corners.
    ASSERT_EQ(build(kL.method, L"root", L"L2", extrudedL(0.3), kL.iorigAt), S_OK);
    const Props toes = measured(L"L2");
    EXPECT_NEAR(toes.area, 18.4150221286, 1e-8);
    EXPECT_NEAR(toes.area, c.props().area - 2 * 0.09 * (1 - std::numbers::pi / 4), 1e-8);
    EXPECT_NE(doc->model()->findShape(L"L2FlangeFillet"), nullptr);
    EXPECT_NE(doc->model()->findShape(L"L2webFillet"), nullptr);
}

TEST_F(ProfileTest, ExtrudedTAgreesWithItsPiecesAndThePublishedFigures) {
    ASSERT_EQ(build(kT.method, L"root", L"T1", extrudedT(), kT.iorigAt), S_OK) << excep.bstrDescription.ToUtf8();
    Composite c;
    c.rect(4, 0, 5, 10);
    c.rect(0, 0, 4, 1.2);
    c.rect(5, 0, 9, 1.2);
    c.fillet(4, 1.2, 0.5, -1, 1);
    c.fillet(5, 1.2, 0.5, 1, 1);
    const Props m = measured(L"T1");
    expectProps(m, c.props(), 1e-6);
    EXPECT_NEAR(m.area, 19.7073009183, 1e-8);
    EXPECT_NEAR(m.cx, 4.5, 1e-8);
    EXPECT_NEAR(m.cy, 2.8365500241, 1e-8);
    EXPECT_NEAR(m.ixc, 179.5616300179, 1e-6);
    EXPECT_NEAR(m.iyc, 73.6744238924, 1e-6);

    const CSubSection* sub = doc->model()->findSubSection(L"T1");
    EXPECT_EQ(sub->sectionKind, 11);
    // Construction arguments in their own order, not the argument order.
    EXPECT_EQ(sub->kindArguments, (std::vector<double>{10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0}));
    EXPECT_EQ(journalLines().back(), "xscn.AddExtrudedT \"root\",\"T1\",10,1,4,1.2,9,1.2,0.5,0.5,90,0,3,0,0,0,0");
}

// Every build runs the profile's dimension checks and the placement checks;
// a failed one would refuse the call.
TEST_F(ProfileTest, SelfChecksPassAtOtherAnglesSlopesAndPlacements) {
    struct Case {
        Builder b;
        std::vector<double> v;
    };
    const Case cases[] = {
        {kL, extrudedL(0.3, 0.5, 75)}, {kL, extrudedL(0, 0.5, 105)},
        {kT, [] { auto v = extrudedT(); v[8] = 80; return v; }()},
        {kC, extrudedC(80, 95, 0)},    {kC, extrudedC(90, 90, 5)},  {kC, extrudedC(90, 90, 5, 0)},
        {kZ, extrudedZ(80, 95)},       {kZ, extrudedZ(90, 90, 0)},  {kJ, extrudedJ(80, 95)},
        {kJ, extrudedJ(90, 90, 0)},
    };
    int n = 0;
    for (const Case& k : cases) {
        for (int turn = 0; turn < 2; ++turn) {
            const CString name = CString(L"P") + CString(std::to_wstring(n++).c_str());
            const std::vector<double> v = turn == 0 ? k.v : placed(k.v, k.b, 1, 3, 2.5, -1.25, 30);
            SCOPED_TRACE(name.ToUtf8() + " " + CString(k.b.method).ToUtf8());
            ASSERT_EQ(build(k.b.method, L"root", name, v, k.b.iorigAt), S_OK) << excep.bstrDescription.ToUtf8();
            const CShapeAnalysis* u = profileShape(name);
            ASSERT_NE(u, nullptr);
            if (turn == 1) {
                EXPECT_NEAR(u->definingPoints[1].x, 2.5, 1e-9);
                EXPECT_NEAR(u->definingPoints[1].y, -1.25, 1e-9);
            }
        }
    }
    // The sloped C has its two triangles; flat flanges have none.
    EXPECT_NE(doc->model()->findShape(L"P8_lowerTriangle"), nullptr);
    EXPECT_NE(doc->model()->findShape(L"P8_upperTriangle"), nullptr);
    EXPECT_EQ(doc->model()->findShape(L"P6_lowerTriangle"), nullptr);
}

TEST_F(ProfileTest, ValidationBoundariesAndRefusalTexts) {
    struct Case {
        Builder b;
        const wchar_t* parent;
        const wchar_t* name;
        std::vector<double> v;
        WORD code;  // 0: accepted
        const wchar_t* text;
    };
    const wchar_t* angle = L"Flange angle cannot exceed 90 +/- 70 degrees";
    const wchar_t* points = L"Origin and Direction points incompatible or out of range";
    auto withL = [](int at, double value) { auto v = extrudedL(); v[at] = value; return v; };
    auto withC = [](int at, double value) { auto v = extrudedC(90, 90, 5); v[at] = value; return v; };
    const Case cases[] = {
        {kL, L"root", L"A1", extrudedL(0, 0.5, 20), 0, L""},
        {kL, L"root", L"A2", extrudedL(0, 0.5, 160), 0, L""},
        {kL, L"root", L"A3", extrudedL(0, 0.5, 19.9), 1, angle},
        {kL, L"root", L"A4", extrudedL(0, 0.5, 160.1), 1, angle},
        {kL, L"root", L"A5", withL(6, 6), 1, points},
        {kL, L"root", L"A6", withL(6, 2), 1, points},
        {kL, L"root", L"A7", withL(6, -1), 1, points},
        {kL, L"root", L"A8", extrudedL(1.3), 1, L"End radius may not be greater than flange or web thickness"},
        {kL, L"root", L"A9", withL(0, 0), 1, L"All lengths must be greater than zero"},
        {kL, L"root", L"A10", extrudedL(0, 8.5), 1, L"fillet radius > webLength or flangeLength"},
        {kL, L"root", L"", extrudedL(), 1, L"Must specify name for object"},
        {kL, L"", L"A11", extrudedL(), 1, L"Parent object is not defined"},
        {kL, L"nowhere", L"A12", extrudedL(), 1, L"Parent object not found:nowhere"},
        {kT, L"", L"A13", extrudedT(), 1, L"Parent object is not defined for extruded T"},
        {kT, L"nowhere", L"A14", extrudedT(), 1, L"Parent object not found:nowhere"},
        {kC, L"root", L"A15", withC(5, 91), 3,
         L"Slope for flanges is not supported for flanges not perpendicular to the web"},
        {kC, L"root", L"A16", withC(16, 21), 1, L"Flange slope must be between 0 and 20 degrees"},
        {kJ, L"root", L"A17", extrudedJ(90, 90, 1.5), 1,
         L"Toe radius may not be greater than minimum flange thickness"},
        {kZ, L"root", L"A18", extrudedZ(90, 90, 1.5), 1, L"Toe radius may not be greater than minimum thickness"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(CString(k.name).ToUtf8() + " " + CString(k.b.method).ToUtf8());
        const std::size_t before = journalLines().size();
        const HRESULT hr = build(k.b.method, k.parent, k.name, k.v, k.b.iorigAt);
        if (k.code == 0) {
            EXPECT_EQ(hr, S_OK) << excep.bstrDescription.ToUtf8();
            continue;
        }
        ASSERT_EQ(hr, DISP_E_EXCEPTION);
        EXPECT_EQ(excep.wCode, k.code);
        EXPECT_EQ(excep.bstrDescription, CString(k.text));
        EXPECT_EQ(journalLines().size(), before);
        EXPECT_EQ(doc->journal()->isBlocked(), 0);
        EXPECT_FALSE(doc->busy);
        if (*k.name) {
            EXPECT_EQ(doc->model()->findSubSection(k.name), nullptr);
        }
    }
}

TEST_F(ProfileTest, ToeRadiusAboveOneThousandthRoundsTheToes) {
    ASSERT_EQ(build(kL.method, L"root", L"S", extrudedL(0.001), kL.iorigAt), S_OK);
    ASSERT_EQ(build(kL.method, L"root", L"R", extrudedL(0.0011), kL.iorigAt), S_OK);
    EXPECT_EQ(doc->model()->findShape(L"SFlangeFillet"), nullptr);
    EXPECT_NE(doc->model()->findShape(L"RFlangeFillet"), nullptr);
    // The C's slope counts from above 0.001: 0.0005 is flat.
    ASSERT_EQ(build(kC.method, L"root", L"C", extrudedC(90, 90, 0.0005), kC.iorigAt), S_OK);
    EXPECT_EQ(doc->model()->findShape(L"C_lowerTriangle"), nullptr);
}

TEST_F(ProfileTest, TakenNamesAreRefused) {
    ASSERT_EQ(build(kL.method, L"root", L"L1", extrudedL(), kL.iorigAt), S_OK);
    ASSERT_EQ(build(kL.method, L"root", L"L1", extrudedL(), kL.iorigAt), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.wCode, 2);
    EXPECT_EQ(excep.bstrDescription, CString(L"Object with that name already exists."));
    // A piece's name is a shape, not a sub-section: the later test refuses it.
    ASSERT_EQ(build(kL.method, L"root", L"L1_web", extrudedL(), kL.iorigAt), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.wCode, 1);
    EXPECT_EQ(excep.bstrDescription, CString(L"Part with that name already exists"));
}

// A zero fillet passes the length tests and is refused by the fillet itself,
// half-way through the pieces: nothing of the profile may stay.
TEST_F(ProfileTest, AFailedBuildLeavesNothingBehind) {
    const std::size_t before = journalLines().size();
    const std::size_t shapes = doc->model()->shapes.GetCount();
    ASSERT_EQ(build(kL.method, L"root", L"L1", extrudedL(0, 0), kL.iorigAt), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.wCode, 1);
    EXPECT_EQ(doc->model()->findSubSection(L"L1"), nullptr);
    EXPECT_EQ(doc->model()->findShape(L"L1_flange"), nullptr);
    EXPECT_EQ(doc->model()->shapes.GetCount(), shapes);
    EXPECT_TRUE(doc->model()->rootSubSection()->children.empty());
    EXPECT_EQ(journalLines().size(), before);
    EXPECT_EQ(doc->journal()->isBlocked(), 0);
    EXPECT_FALSE(doc->busy);
    EXPECT_FALSE(doc->checkPointSuppressed);
    // The name is free again.
    EXPECT_EQ(build(kL.method, L"root", L"L1", extrudedL(), kL.iorigAt), S_OK);
}

TEST_F(ProfileTest, OneUndoCheckPointPerBuild) {
    ASSERT_EQ(build(kL.method, L"root", L"A", extrudedL(), kL.iorigAt), S_OK);
    ASSERT_EQ(build(kZ.method, L"root", L"B", extrudedZ(80, 95), kZ.iorigAt), S_OK);
    doc->Undo();
    EXPECT_EQ(doc->model()->findSubSection(L"B"), nullptr);
    ASSERT_NE(doc->model()->findSubSection(L"A"), nullptr);
    EXPECT_EQ(doc->model()->findSubSection(L"A")->sectionKind, 12);
}

TEST_F(ProfileTest, ReplayingTheJournalLineRebuildsTheSameProfile) {
    struct Case {
        Builder b;
        std::vector<double> v;
    };
    // The I-beam's line has two blanks after the method's name.
    const Builder ibeam{L"AddIBeam", 16};
    const Case cases[] = {
        {kJ, placed(extrudedJ(80, 95), kJ, 1, 4, 2.5, -1.25, 30)},
        {ibeam, placed({10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0.2, 0},
                       ibeam, 2, 7, -3, 4, 200)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(CString(k.b.method).ToUtf8());
        ASSERT_EQ(build(k.b.method, L"root", L"P1", k.v, k.b.iorigAt), S_OK) << excep.bstrDescription.ToUtf8();
        const std::string line = journalLines().back();
        const std::vector<Point<double>> built = profileShape(L"P1")->definingPoints;

        CXSectionAnalysisDoc other;
        other.hidden = true;
        ASSERT_TRUE(other.OnNewDocument());
        std::istringstream in(line + "\r\n");
        std::ostringstream out;
        JournalInterpreter interpreter(DocumentAutomationObject(other), out);
        const JournalRunResult r = interpreter.Run(in);
        ASSERT_TRUE(r.ok) << r.description;
        const CSubSection* sub = other.model()->findSubSection(L"P1");
        ASSERT_NE(sub, nullptr) << line << "\n" << out.str();
        const std::vector<Point<double>>& again = sub->getUnionShapes()->GetHead()->definingPoints;
        ASSERT_EQ(again.size(), built.size());
        for (std::size_t i = 0; i < built.size(); ++i) {
            EXPECT_NEAR(again[i].x, built[i].x, 1e-5);
            EXPECT_NEAR(again[i].y, built[i].y, 1e-5);
        }
        doc->MakeCurrent();
        doc->DeleteSubSectionAndChildShapes(L"P1");
    }
}

TEST_F(ProfileTest, TheViewGetsItsLabelsBackOnEveryPath) {
    std::unique_ptr<CThickSectionView> view = CThickSectionView::createFor(*doc, 120, 80);
    view->m_labelMode = 2;
    ASSERT_EQ(build(kJ.method, L"root", L"J1", extrudedJ(80, 95), kJ.iorigAt), S_OK) << excep.bstrDescription.ToUtf8();
    EXPECT_EQ(view->m_labelMode, 2);
    EXPECT_EQ(view->m_redrawEnabled, 1);
    EXPECT_NO_THROW(view->ValidateDisplayList());

    ASSERT_EQ(build(kL.method, L"root", L"L1", extrudedL(0, 0), kL.iorigAt), DISP_E_EXCEPTION);
    EXPECT_EQ(view->m_labelMode, 2);
    EXPECT_EQ(view->m_redrawEnabled, 1);
    EXPECT_NO_THROW(view->ValidateDisplayList());
    view.reset();
}
