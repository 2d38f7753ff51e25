// IGES round trips: a section written by the IGES writer and read back by
// the IGES import keeps its area and second moments (closed forms).
// Values: 17 area, 78/79 the integrals of x² dA and y² dA about the axes,
// 60/62 the same about the centroid.

#include <numbers>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/tests/AllocationProbe.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

namespace fs = std::filesystem;
constexpr double kTol = 1e-5;

// A source model to build, written to a scratch file and read into a
// fresh target model. The shape builders register in the model made last,
// so the target is made only after the source is written.
struct RoundTrip {
    CXSectionAnalysis source;
    std::unique_ptr<CXSectionAnalysis> target;
    CSubSection* root = source.rootSubSection();
    fs::path file = fs::temp_directory_path() / ("iges_roundtrip_" + std::to_string(getpid()) + ".igs");
    int count = 0;

    ~RoundTrip() { fs::remove(file); }

    void box(double x0, double y0, double x1, double y1)
    {
        std::vector<Point<double>> pts{{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
        auto* s = new CShapeAnalysis(&source);
        s->polygon(root, CString(("q" + std::to_string(++count)).c_str()), pts.data(), 4, 0, nullptr);
    }
    void disk(double r, double x, double y, bool hole = false)
    {
        auto* s = new CShapeAnalysis(&source);
        CString n(("d" + std::to_string(++count)).c_str());
        s->sector(root, &source, n, x, y, r, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0, hole);
    }

    // Writes the source, reads the file into the target and computes the
    // target's properties; the number of outlines read.
    int run()
    {
        CString path = CString::FromUtf8(file.string());
        CStringA version("2.0.4");
        source.writeIGES(path, version);
        target = std::make_unique<CXSectionAnalysis>();
        CaptureStderr();  // the import reports a unit other than the model's
        target->readIGES(path, true);
        GetCapturedStderr();
        CSubSection* current = target->currentSubSectionMutable();
        EXPECT_NE(current, nullptr);
        if (current == nullptr)
            return 0;
        EXPECT_TRUE(current->forceRecalcProperties());
        POSITION pos = target->shapes.GetHeadPosition();
        while (pos)
            EXPECT_EQ(target->shapes.GetNext(pos)->kind, qhtShapeCurve);  // read, not built
        return static_cast<int>(target->shapes.GetCount());
    }
    double v(int id) { return target->currentSubSectionMutable()->getValue(id); }
};

// Restores the unit system the tests change.
struct IgesRoundTrip : ::testing::Test {
    EUnitSystem units = gUnitSystem;
    ~IgesRoundTrip() override { gUnitSystem = units; }
};

TEST_F(IgesRoundTrip, RectangleKeepsAreaAndMomentsAboutTheAxes)
{
    // In inches and in centimetres: the coordinates come back unscaled.
    for (EUnitSystem system : {USCS, SI}) {
        SCOPED_TRACE(system == SI ? "centimetres" : "inches");
        gUnitSystem = system;
        RoundTrip t;
        t.box(0, 0, 4, 2);
        ASSERT_EQ(t.run(), 1);
        EXPECT_NEAR(t.v(17), 8.0, kTol);
        EXPECT_NEAR(t.v(78), 128.0 / 3.0, kTol);  // ∫x² dA over [0,4]×[0,2]
        EXPECT_NEAR(t.v(79), 32.0 / 3.0, kTol);   // ∫y² dA
        EXPECT_NEAR(t.v(60), 32.0 / 3.0, kTol);   // about the centroid (2, 1): b³h/12
        EXPECT_NEAR(t.v(62), 8.0 / 3.0, kTol);
    }
}

TEST_F(IgesRoundTrip, CircleKeepsAreaAndCentroidalMoments)
{
    gUnitSystem = USCS;
    RoundTrip t;
    t.disk(1.5, 1, 2);
    ASSERT_EQ(t.run(), 1);
    const double r4 = std::pow(1.5, 4);
    EXPECT_NEAR(t.v(17), 7.068583, kTol);
    EXPECT_NEAR(t.v(17), std::numbers::pi * 2.25, kTol);
    EXPECT_NEAR(t.v(60), 3.976078, kTol);
    EXPECT_NEAR(t.v(62), std::numbers::pi * r4 / 4.0, kTol);
    // About the axes: I + A d² with the centre at (1, 2). The file holds six
    // significant digits, so these larger values agree to a relative 1e-6.
    EXPECT_NEAR(t.v(78), std::numbers::pi * r4 / 4.0 + std::numbers::pi * 2.25 * 1.0, 1e-6 * 32.0);
    EXPECT_NEAR(t.v(79), std::numbers::pi * r4 / 4.0 + std::numbers::pi * 2.25 * 4.0, 1e-6 * 32.0);
}

TEST_F(IgesRoundTrip, DiskWithHoleComesBackWithItsHole)
{
    gUnitSystem = USCS;
    RoundTrip t;
    t.disk(2.0, 0, 0);
    t.disk(1.0, 0, 0, true);
    ASSERT_EQ(t.run(), 2);
    EXPECT_NEAR(t.v(17), 3.0 * std::numbers::pi, kTol);
    EXPECT_NEAR(t.v(60), std::numbers::pi * (16.0 - 1.0) / 4.0, kTol);  // π(R⁴ − r⁴)/4
    EXPECT_NEAR(t.v(62), std::numbers::pi * (16.0 - 1.0) / 4.0, kTol);
    // The import's hole rule: the outline inside the other is the hole.
    POSITION pos = t.target->shapes.GetHeadPosition();
    while (pos) {
        const CShapeAnalysis* s = t.target->shapes.GetNext(pos);
        const double r = std::fabs(s->area()) > 2.0 * std::numbers::pi ? 2.0 : 1.0;
        EXPECT_EQ(s->boundary->sign(), r == 2.0 ? 1 : -1);
        EXPECT_NEAR(std::fabs(s->area()), std::numbers::pi * r * r, kTol);
    }
}

}  // namespace

// An empty section writes Start, Global and Terminate lines only; reading
// that file back imports nothing and fails nothing.
TEST_F(IgesRoundTrip, EmptySectionComesBackEmpty)
{
    RoundTrip t;
    CString path = CString::FromUtf8(t.file.string());
    CStringA version("2.0.4");
    t.source.writeIGES(path, version);
    t.target = std::make_unique<CXSectionAnalysis>();
    CaptureStderr();
    const auto usage = allocation_probe::measure([&] { EXPECT_NO_THROW(t.target->readIGES(path, true)); });
    GetCapturedStderr();
    EXPECT_LT(usage.seconds, 2.0);
    if (usage.measured) {
        EXPECT_LT(usage.largestRequest, 200u << 20);
    }
    EXPECT_EQ(t.target->shapes.GetCount(), 0);
}

// The Terminate line counts the Directory and Parameter lines. One that
// follows the Global section straight away but counts lines that are not
// there is a file cut short, not an empty section: it is refused instead
// of importing nothing as a success. A file that stops after its Global
// section has no Terminate line at all and is refused too.
TEST_F(IgesRoundTrip, TerminateAfterGlobalIsEmptyOnlyWhenItCountsNothing)
{
    RoundTrip t;
    CString path = CString::FromUtf8(t.file.string());
    CStringA version("2.0.4");
    t.source.writeIGES(path, version);
    std::vector<std::string> lines;
    {
        std::ifstream in(t.file);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    ASSERT_FALSE(lines.empty());
    ASSERT_EQ(lines.back().substr(0, 32), "S      1G      3D      0P      0");
    struct Case {
        const char* what;
        std::string terminate;  // empty: no Terminate line
        const wchar_t* refusal;  // null: reads, importing nothing
    };
    const std::string tail = lines.back().substr(32);
    const Case cases[] = {
        {"counts nothing", "S      1G      3D      0P      0" + tail, nullptr},
        {"counts two directory lines", "S      1G      3D      2P      1" + tail,
         L"Failure to read Directory Section of IGES file"},
        {"no Terminate line", "", L"Failure to read Global section of IGES file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            std::ofstream out(t.file, std::ios::trunc);
            for (std::size_t i = 0; i + 1 < lines.size(); ++i)
                out << lines[i] << '\n';
            if (!c.terminate.empty())
                out << c.terminate << '\n';
        }
        auto target = std::make_unique<CXSectionAnalysis>();
        std::wstring thrown;
        CaptureStderr();
        try {
            target->readIGES(path, true);
        } catch (const wchar_t* text) {
            thrown = text;
        }
        GetCapturedStderr();
        EXPECT_EQ(thrown, c.refusal ? std::wstring(c.refusal) : std::wstring());
        EXPECT_EQ(target->shapes.GetCount(), 0);
    }
}
