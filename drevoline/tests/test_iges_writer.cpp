// The IGES writer: golden output for hand-made outlines, the order of solids
// and holes, units, failures, and a read-back through our own reader.

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "drevoline/iges/IgesReader.h"
#include "drevoline/iges/IgesWriter.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_iges_support.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

namespace fs = std::filesystem;
using P = Point<double>;

std::string line(const std::string& data, char letter, int sequence)
{
    return iges_test::record(data, letter, sequence);
}

// A closed polygon of straight arcs; sign -1 makes a hole.
CCompositeCurve* polygon(std::vector<P> pts, int sign = 1)
{
    auto* c = new CCompositeCurve();
    for (size_t i = 0; i < pts.size(); ++i)
        c->addArc(new Bspline(&pts[i], &pts[(i + 1) % pts.size()], false));
    c->sign(sign);
    return c;
}

CCompositeCurve* rectangle(double x0, double y0, double x1, double y1, int sign = 1)
{
    return polygon({P(x0, y0, 0), P(x1, y0, 0), P(x1, y1, 0), P(x0, y1, 0)}, sign);
}

struct IgesWriter : ::testing::Test {
    CXSectionAnalysis model;
    fs::path file = fs::temp_directory_path() / ("iges_writer_" + std::to_string(getpid()) + ".igs");
    EUnitSystem units = gUnitSystem;

    IgesWriter()
    {
        gUnitSystem = USCS;
        gIgesWriter.clock = [] {
            std::tm t{};
            t.tm_year = 2026 - 1900;
            t.tm_mon = 11;
            t.tm_mday = 10;
            t.tm_hour = 15;
            t.tm_min = 30;
            t.tm_sec = 0;
            return t;
        };
    }
    ~IgesWriter() override
    {
        gUnitSystem = units;
        gIgesWriter.clock = nullptr;
        fs::remove(file);
    }

    void add(CCompositeCurve* boundary) { model.addShapeToLists(model.rootSubSection(), new CShapeAnalysis(boundary)); }

    // Writes the model with the program's frame and returns the file's text.
    std::string written()
    {
        CString path = CString::FromUtf8(file.string());
        CStringA version("2.0.4");
        model.writeIGES(path, version);
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

const std::string kStartGlobal =
    line("IGES from Quenholt   Lorimant", 'S', 1) +
    line("1H,,1H;,8HLorimant,13H{unspecified},8HQuenholt,", 'G', 1) +
    line("5H2.0.4,32,38,15,308,15,,1.0,1,2HIN,32768,0.0393701,", 'G', 2) +
    line("13H261210.153000,.0001,6,13H{unspecified},13H{unspecified),11,3,,;", 'G', 3);

std::string directoryLines(int type, int parameterLine, const char* status, int lineCount, int number)
{
    char one[100], two[100];
    std::snprintf(one, sizeof one, "%8d%8d%8d%8d%8d%8d%8d%8d%s", type, parameterLine, 0, 1, 1, 0, 0, 0, status);
    std::snprintf(two, sizeof two, "%8d%8d%8d%8d%8d%8d%8d", type, 2, 1, lineCount, 0, 0, 0);
    return line(one, 'D', number) + line(two, 'D', number + 1);
}

TEST_F(IgesWriter, RectangleOfFourLines)
{
    add(rectangle(0, 0, 4, 2));
    const std::string expected =
        kStartGlobal + directoryLines(126, 1, "00010001", 1, 1) + directoryLines(126, 2, "00010001", 1, 3) +
        directoryLines(126, 3, "00010001", 1, 5) + directoryLines(126, 4, "00010001", 1, 7) +
        directoryLines(102, 5, "00000000", 1, 9) +
        iges_test::standardParameter("126,1,1,1,0,1,0,0,0,4,4,1,1,0,0,0,4,0,0 ,0, 4, 0., 0., 1.;", 1, 1) +
        iges_test::standardParameter("126,1,1,1,0,1,0,0,0,2,2,1,1,4,0,0,4,2,0 ,0, 2, 0., 0., 1.;", 3, 2) +
        iges_test::standardParameter("126,1,1,1,0,1,0,0,0,4,4,1,1,4,2,0,0,2,0 ,0, 4, 0., 0., 1.;", 5, 3) +
        iges_test::standardParameter("126,1,1,1,0,1,0,0,0,2,2,1,1,0,2,0,0,0,0 ,0, 2, 0., 0., 1.;", 7, 4) +
        iges_test::standardParameter("102,4,1,3,5,7 ;", 9, 5) +
        line("S      1G      3D     10P      5", 'T', 1);
    EXPECT_EQ(written(), expected);
    const IgesFrame& frame = model.rootSubSection()->igesFrame;
    EXPECT_TRUE(frame.defined);
    EXPECT_EQ(frame.firstPoint.z, -1.0);
    EXPECT_EQ(frame.secondPoint.x, 1.0);
}

TEST_F(IgesWriter, SingleArcKnotsFromZeroAndSixDigits)
{
    // One arc with knots 2, 2, 3, 3 from (12.3456789, 0, 0).
    P pts[] = {P(12.3456789, 0, 0), P(13.3456789, 0, 0)};
    double w[] = {1, 1};
    double k[] = {2, 2, 3, 3};
    auto* c = new CCompositeCurve();
    c->addArc(new Bspline(1, 2, pts, w, 4, k));
    add(c);
    const std::string expected =
        kStartGlobal + directoryLines(126, 1, "00000000", 2, 1) +
        iges_test::standardParameter("126,1,1,1,0,1,0,0,0,1,1,1,1,12.3457,0,0,13.3457,0,0 ,0, 1, 0.,", 1, 1) +
        iges_test::standardParameter(" 0., 1.;", 1, 2) + line("S      1G      3D      2P      2", 'T', 1);
    EXPECT_EQ(written(), expected);
}

TEST_F(IgesWriter, CircleGolden)
{
    // Circle about (1, 2) of radius 1.5 from (2.5, 2): three 120-degree
    // rational quadratic spans. On-curve points at 0, 120 and 240 degrees,
    // corners at twice the radius (cos 60 = 1/2); normalised weights 2/3
    // and 1/3; knots at thirds of the length 3 pi, rounded to six digits.
    P centre(1, 2, 0), start(2.5, 2, 0), normal(0, 0, 1);
    auto* c = new CCompositeCurve();
    c->addArc(new Bspline(&centre, &start, &start, &normal));
    add(c);
    const std::string expected =
        kStartGlobal + directoryLines(126, 1, "00000000", 4, 1) +
        iges_test::standardParameter("126,6,2,1,1,0,0,0,0,0,3.14159,3.14159,6.28319,6.28319,9.42478,", 1, 1) +
        iges_test::standardParameter("9.42478,9.42478,0.666667,0.333333,0.666667,0.333333,0.666667,", 1, 2) +
        iges_test::standardParameter("0.333333,0.666667,2.5,2,0,2.5,4.59808,0,0.25,3.29904,0,-2,2,0,", 1, 3) +
        iges_test::standardParameter("0.25,0.700962,0,2.5,-0.598076,0,2.5,2,0 ,0, 9.42478, 0., 0., 1.;", 1, 4) +
        line("S      1G      3D      2P      4", 'T', 1);
    EXPECT_EQ(written(), expected);
}

// The parameter record of each directory entry, as our reader reads it.
struct ReadBack {
    std::vector<CDirectoryEntry> entries;
    std::vector<std::vector<double>> records;
    std::string diagnostics;
};

ReadBack readBack(const std::string& text)
{
    ReadBack out;
    iges_test::IgesInput in(text);
    CaptureStderr();
    EXPECT_EQ(readStartSection(), 0);
    EXPECT_EQ(ReadGlobal(), 0);
    EXPECT_EQ(findRecordEnd(), 0);
    EXPECT_EQ(readRecordLine(), 0);
    EXPECT_EQ(readDirectory(), 0);
    for (CDirectoryEntry* e : gIgesReader.directory) {
        out.entries.push_back(*e);
        std::vector<double> values{static_cast<double>(readIgesInteger())};
        while (gIgesReader.fieldStatus == -1)
            values.push_back(readIgesReal());
        out.records.push_back(values);
        readRecordLine();
    }
    EXPECT_EQ(gIgesReader.errorCode, 0);
    out.diagnostics = GetCapturedStderr();
    return out;
}

TEST_F(IgesWriter, CircleReadsBackThroughOurReader)
{
    P centre(1, 2, 0), start(2.5, 2, 0), normal(0, 0, 1);
    auto* c = new CCompositeCurve();
    auto* circle = new Bspline(&centre, &start, &start, &normal);
    c->addArc(circle);
    add(c);
    const std::string text = written();
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) {
        EXPECT_EQ(l.size(), 80u) << l;
        if (l[72] == 'P') {
            EXPECT_EQ(l[64], ' ') << l;  // column 65
        }
    }
    const ReadBack back = readBack(text);
    EXPECT_EQ(back.diagnostics, "");
    ASSERT_EQ(back.entries.size(), 1u);
    EXPECT_EQ(back.entries[0].status, 0);
    const std::vector<double>& r = back.records[0];
    const int n = circle->nPts();
    const int kts = circle->nKts();
    ASSERT_EQ(r.size(), static_cast<size_t>(7 + kts + n + 3 * n + 5));
    EXPECT_EQ(r[0], 126);
    EXPECT_EQ(r[1], n - 1);
    EXPECT_EQ(r[2], 2);     // degree
    EXPECT_EQ(r[4], 1);     // closed
    EXPECT_EQ(r[5], 0);     // rational: not polynomial
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(r[7 + kts + i], circle->wts(i), 1e-5);
        const P p = circle->cpts(i);
        EXPECT_NEAR(r[7 + kts + n + 3 * i], p.x, 1e-5);
        EXPECT_NEAR(r[7 + kts + n + 3 * i + 1], p.y, 1e-5);
    }
    // Every control point lies at distance r or 2r (the corners of 120-degree spans).
    for (int i = 0; i < n; ++i) {
        const double d = std::hypot(r[7 + kts + n + 3 * i] - 1, r[7 + kts + n + 3 * i + 1] - 2);
        EXPECT_TRUE(std::fabs(d - 1.5) < 1e-4 || std::fabs(d - 3.0) < 1e-4) << d;
    }
}

TEST_F(IgesWriter, SolidsComeWithTheirHolesAndStrayHolesAreDropped)
{
    add(rectangle(0, 0, 4, 2));                  // solid A
    add(rectangle(10, 0, 12, 2));                // solid B
    add(rectangle(1, 0.5, 2, 1.5, -1));          // hole inside A
    add(rectangle(20, 0, 21, 1, -1));            // hole inside nothing
    const ReadBack back = readBack(written());
    std::vector<double> firstX;  // x of each outline's first point
    for (size_t i = 0; i < back.records.size(); ++i) {
        if (back.entries[i].entityType == 102)
            firstX.push_back(back.records[i - 4][13]);
    }
    EXPECT_EQ(firstX, (std::vector<double>{0, 1, 10}));
}

TEST_F(IgesWriter, CentimetreModelsAreWrittenInCentimetres)
{
    gUnitSystem = SI;
    add(rectangle(0, 0, 4, 2));
    const std::string text = written();
    EXPECT_NE(text.find(line("5H2.0.4,32,38,15,308,15,,1.0,10,2HCM,32768,0.1,", 'G', 2)), std::string::npos);
    EXPECT_NE(text.find(line("13H261210.153000,.000254,15.24,13H{unspecified},13H{unspecified),11,3,,;", 'G', 3)),
              std::string::npos);
    iges_test::IgesInput in(text);
    readStartSection();
    ReadGlobal();
    EXPECT_EQ(gIgesReader.global.unitFlag, 10);
    EXPECT_STREQ(gIgesReader.global.unitName, "CM");
}

TEST_F(IgesWriter, LongRecordsSplitAfterTheirLastDelimiter)
{
    // A 30-point polygon arc: its record runs over many lines.
    std::vector<P> pts;
    for (int i = 0; i < 30; ++i)
        pts.push_back(P(std::cos(i * 0.2) * 3.14159, std::sin(i * 0.2) * 2.71828, 0));
    auto* c = new CCompositeCurve();
    c->addArc(new Bspline(static_cast<int>(pts.size()), pts.data()));
    add(c);
    const std::string text = written();
    std::istringstream lines(text);
    int parameterLines = 0;
    for (std::string l; std::getline(lines, l);) {
        if (l[72] != 'P')
            continue;
        ++parameterLines;
        const std::string data = l.substr(0, 64);
        const size_t end = data.find_last_not_of(' ');
        EXPECT_TRUE(data[end] == ',' || data[end] == ';') << l;
    }
    EXPECT_GT(parameterLines, 3);
    const ReadBack back = readBack(text);
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_NEAR(back.records[0][7 + 32 + 30 + 3 * 29], pts[29].x, 1e-5);
}

TEST_F(IgesWriter, GlobalLinesNeverPassColumn72)
{
    gUnitSystem = SI;
    gIgesWriter.clock = [] {
        std::tm t{};
        t.tm_year = 2100 - 1900;  // a three-digit year
        t.tm_mday = 1;
        return t;
    };
    add(rectangle(0, 0, 4, 2));
    CString path = CString::FromUtf8(file.string());
    ASSERT_EQ(WrtIGES(&model, path, std::string(100, 'v').c_str(), 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 1), 0);
    std::ifstream in(file, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    // The line is cut after its last delimiter within column 72.
    EXPECT_NE(text.find(line("14H1000101.000000,.000254,15.24,13H{unspecified},13H{unspecified),11,3,,", 'G', 3) +
                        line(";", 'G', 4)),
              std::string::npos);
    EXPECT_NE(text.find("S      1G      4D     10P      5"), std::string::npos);
    iges_test::IgesInput reader(text);
    readStartSection();
    EXPECT_EQ(ReadGlobal(), 0);
    EXPECT_EQ(gIgesReader.errorCode, 0);
    EXPECT_STREQ(gIgesReader.global.dateTime, "1000101.000000");
    EXPECT_DOUBLE_EQ(gIgesReader.global.maxCoordinate, 15.24);
    EXPECT_EQ(gIgesReader.global.draftingStandard, 3);
}

TEST_F(IgesWriter, Failures)
{
    add(rectangle(0, 0, 4, 2));
    CString path(L"/nonexistent-folder/out.igs");
    CStringA version("2.0.4");
    CaptureStderr();
    try {
        model.writeIGES(path, version);
        ADD_FAILURE() << "no refusal";
    } catch (const wchar_t* text) {
        EXPECT_STREQ(text, L"Can't open IGES file for writing");
    }
    EXPECT_EQ(GetCapturedStderr(), "iges,336,WrtIGES:Cant open /nonexistent-folder/out.igs.\n");

    CString good = CString::FromUtf8(file.string());
    EXPECT_EQ(WrtIGES(&model, good, "v", 0, 0, 0, 0, 0, 2, 1, 0, 0, 1, 1), 4003);  // normal not unit
    EXPECT_EQ(WrtIGES(&model, good, "v", 0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 1), 4003);  // axis not unit
    EXPECT_EQ(WrtIGES(&model, good, "v", 0, 0, 0, 0, 0, 1, 0.6, 0, 0.8, 1, 1), 4003);  // not at right angles
    CaptureStderr();
    EXPECT_EQ(WrtIGES(nullptr, good, "v", 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 1), -1);
    EXPECT_EQ(GetCapturedStderr(), "Iges: WriteSection: null section passed\n");
}

}  // namespace
