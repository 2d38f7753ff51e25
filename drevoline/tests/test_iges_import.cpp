// IGES import end to end: hand-written files read into a section model,
// checked by the shapes and areas they give.

#include <numbers>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/iges/IgesImport.h"
#include "drevoline/section/CXSectionAnalysis.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {


std::string importPath(const std::string& name)
{
    return std::string(LORIMANT_TEST_DATA) + "/iges/import/" + name;
}

// A fresh model reading one fixture into its current sub-section.
struct Imported {
    CXSectionAnalysis model;
    std::wstring failure;  // the wide text the import threw, if any

    explicit Imported(const std::string& name, bool intoCurrent = true)
    {
        CString path(name.empty() ? L"" : CString(importPath(name).c_str()));
        try {
            model.readIGES(path, intoCurrent);
        } catch (const wchar_t* text) {
            failure = text;
        }
    }
    ~Imported()
    {
        for (CShapeAnalysis* s : shapes())
            delete s;
    }
    std::vector<CShapeAnalysis*> shapes() const
    {
        std::vector<CShapeAnalysis*> out;
        POSITION pos = model.shapes.GetHeadPosition();
        while (pos)
            out.push_back(model.shapes.GetNext(pos));
        return out;
    }
    // The signed sum of the outlines' areas (holes count negative).
    double netArea() const
    {
        double a = 0.0;
        for (const CShapeAnalysis* s : shapes())
            a += s->area();
        return a;
    }
};

TEST(IgesImport, ShapesAndNetAreas)
{
    struct Case {
        const char* file;
        int shapes;
        double area;
    } cases[] = {
        {"circle.igs", 1, 4.0 * std::numbers::pi},                // full circle r = 2
        {"open_126.igs", 0, 0.0},                    // an open curve makes no outline
        {"rectangle_102.igs", 1, 8.0},               // open 126s closed by a 102, drawn clockwise
        {"blanked_102.igs", 0, 0.0},
        {"blanked_102_catia.igs", 1, 8.0},           // CATIA files have no blanking
        {"plate_hole.igs", 2, 8.0 - std::numbers::pi / 4.0},      // the circle inside the plate is a hole
        {"assoc_402.igs", 1, 4.0 * std::numbers::pi},             // 5000 associativity members passed over
        {"shared_member.igs", 2, 16.0},              // one curve in two composites: two copies
        {"surface_no_trim.igs", 1, 4.0 * std::numbers::pi},       // surfaces without trimming: curve route
        {"trimmed_hole.igs", 2, 8.0 - std::numbers::pi / 4.0},    // the inner boundary is a hole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Imported in(c.file);
        EXPECT_EQ(in.failure, L"");
        ASSERT_EQ(in.shapes().size(), static_cast<size_t>(c.shapes));
        EXPECT_NEAR(in.netArea(), c.area, 1e-6);
        for (const CShapeAnalysis* s : in.shapes()) {
            EXPECT_EQ(s->kind, qhtShapeCurve);
            EXPECT_EQ(s->area() > 0.0, s->boundary->sign() == 1);  // solids counter-clockwise
            EXPECT_NE(s->subSection(), nullptr);
        }
    }
}

TEST(IgesImport, PlateWithHoleGivesOneSolidAndOneHole)
{
    Imported in("plate_hole.igs");
    const std::vector<CShapeAnalysis*> s = in.shapes();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0]->boundary->sign(), 1);
    EXPECT_EQ(s[1]->boundary->sign(), -1);
    EXPECT_NEAR(in.netArea(), 7.214602, 1e-6);
}

TEST(IgesImport, RefusalsEndTheImportWithTheirText)
{
    struct Case {
        const char* file;
        const wchar_t* text;
    } cases[] = {
        {"conic_104.igs", L"Conics (type 104) are currently not supported."},
        {"start_g.igs", L"Not an IGES file"},
        {"no_linefeeds.igs", L"Not an IGES file"},
        {"no_such_file.igs", L"Can't open IGES file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Imported in(c.file);
        EXPECT_EQ(in.failure, c.text);
        EXPECT_TRUE(in.shapes().empty());
        EXPECT_TRUE(importedShapes.empty());
    }
}

TEST(IgesImport, TransformationMatricesMoveTheirCurves)
{
    {
        SCOPED_TRACE("matrix on the member of a 102");
        Imported in("member_matrix.igs");
        ASSERT_EQ(in.shapes().size(), 1u);  // the member has no outline of its own
        Point<double> lo, hi;
        in.shapes()[0]->boundary->extents(lo, hi);
        EXPECT_NEAR(lo.x, 10.0, 1e-9);
        EXPECT_NEAR(lo.y, 5.0, 1e-9);
        EXPECT_NEAR(hi.x, 14.0, 1e-9);
        EXPECT_NEAR(hi.y, 7.0, 1e-9);
    }
    {
        SCOPED_TRACE("the curve's own matrix: a unit circle about the origin turned and moved to x = 7");
        Imported in("own_matrix.igs");
        ASSERT_EQ(in.shapes().size(), 1u);
        Point<double> lo, hi;
        in.shapes()[0]->boundary->extents(lo, hi);
        EXPECT_NEAR(lo.x, 6.0, 1e-3);  // extents are sampled
        EXPECT_NEAR(hi.x, 8.0, 1e-3);
        EXPECT_NEAR(lo.y, -1.0, 1e-3);
        EXPECT_NEAR(in.netArea(), std::numbers::pi, 1e-6);
    }
}

TEST(IgesImport, BadCompositeCurvesAreSkippedAndTheOthersBuilt)
{
    CaptureStderr();
    Imported in("bad_members.igs");
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(in.failure, L"");
    EXPECT_NE(err.find("Read102:FAILURE: reference iges entity has no associated B-spline structure \n"),
              std::string::npos);
    EXPECT_NE(err.find("Composite curve not contiguous"), std::string::npos);
    ASSERT_EQ(in.shapes().size(), 1u);
    EXPECT_NEAR(in.netArea(), 8.0, 1e-9);
}

TEST(IgesImport, TrimmedSurfaceOutlineIsMovedIntoTheXYPlane)
{
    Imported in("trimmed_yz.igs");
    EXPECT_EQ(in.failure, L"");
    ASSERT_EQ(in.shapes().size(), 1u);
    POSITION pos = in.shapes()[0]->boundary->arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = in.shapes()[0]->boundary->arcs().GetNext(pos);
        for (int i = 0; i < arc->nPts(); ++i)
            EXPECT_NEAR(arc->cpts(i).z, 0.0, 1e-9);
    }
    EXPECT_NEAR(in.netArea(), 8.0, 1e-9);
}

TEST(IgesImport, KnotsStartingBelowZeroAreShiftedToZero)
{
    Imported in("knots_minus1.igs");
    ASSERT_EQ(in.shapes().size(), 1u);
    const Bspline* arc = in.shapes()[0]->boundary->arcs().GetHead();
    EXPECT_EQ(arc->knotVector()[0], 0.0);
    EXPECT_EQ(arc->knotVector()[arc->nKts() - 1], 6.0);
}

TEST(IgesImport, IntoTheUnionListMarksHoles)
{
    Imported in("plate_hole.igs", false);
    const CSubSection* current = in.model.currentSubSection();
    ASSERT_NE(current, nullptr);
    ASSERT_NE(current->getUnionShapes(), nullptr);
    EXPECT_EQ(current->getUnionShapes()->GetCount(), 2);
    EXPECT_NEAR(in.netArea(), 8.0 - std::numbers::pi / 4.0, 1e-6);
}

TEST(IgesImport, AnotherUnitIsReportedAndCoordinatesKept)
{
    CXSectionAnalysis model;
    model.unitLabels[kLengthLabel] = L"mm";
    CString path(importPath("circle.igs").c_str());  // unit flag 1, inches
    CaptureStderr();
    model.readIGES(path, true);
    EXPECT_NE(GetCapturedStderr().find("IGES unit flag 1 (IN) differs"), std::string::npos);
    ASSERT_EQ(model.shapes.GetCount(), 1);
    CShapeAnalysis* s = model.shapes.GetHead();
    EXPECT_NEAR(s->area(), 4.0 * std::numbers::pi, 1e-6);
    delete s;
}

}  // namespace
