// Hostile inputs to the profile builders and the section-property export:
// numbers that are not finite, and section names holding XML's own marks.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "lorimant/analyses/SectionPropertiesXml.h"
#include "test_automation_profiles_support.h"

using namespace profile_test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A valid call of each builder: its arguments and where iorig sits.
struct GoodCall {
    const wchar_t* method;
    std::vector<double> v;
    int iorigAt;
};

const GoodCall kGoodCalls[] = {
    {L"AddExtrudedL", {10, 1, 8, 1.2, 0.5, 90, 0, 2, 0, 0, 0, 0}, 6},
    {L"AddExtrudedT", {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0}, 9},
    {L"AddExtrudedC", {10, 1, 5, 1, 0.5, 90, 5, 1, 0.5, 90, 0, 7, 0, 0, 0, 0.2, 5}, 10},
    {L"AddExtrudedZ", {10, 1, 5, 1, 0.5, 90, 5, 1, 0.5, 90, 0, 2, 0, 0, 0, 0.2}, 10},
    {L"AddExtrudedJ", {10, 1, 5, 1, 0.5, 90, 3, 1, 9, 1, 0.5, 0.5, 90, 0, 2, 0, 0, 0, 0.2}, 13},
    {L"AddIBeam", {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0, 0}, 16},
    {L"AddFormedL", {10, 0.1, 8, 0.2, 90, 5, 0, 0, 0, 0}, 5},
    {L"AddFormedC", {10, 0.2, 4, 0.3, 90, 3, 0.4, 90, 0, 7, 1.5, -2, 0}, 8},
    {L"AddFormedZ", {10, 0.2, 4, 0.3, 90, 3, 0.4, 90, 0, 7, 1.5, -2, 0}, 8},
};

}  // namespace

// A web length, a thickness, an angle or a placement that is NaN or infinite
// passes every "<= 0" and "greater than" test: it must be refused (code 1)
// before anything is made, journalled or left blocked.
TEST_F(ProfileTest, NonFiniteDimensionsAreRefusedBeforeAnythingIsMade)
{
    int n = 0;
    for (const GoodCall& call : kGoodCalls) {
        // Web length, thickness, the x of the placement and the last value.
        const std::size_t positions[] = {0, 1, static_cast<std::size_t>(call.iorigAt + 2), call.v.size() - 1};
        for (std::size_t at : positions) {
            for (double bad : {kNaN, kInf, -kInf}) {
                std::vector<double> v = call.v;
                v[at] = bad;
                const CString name = CString(L"N") + CString(std::to_wstring(++n).c_str());
                SCOPED_TRACE(CString(call.method).ToUtf8() + " at " + std::to_string(at) + " = " +
                             std::to_string(bad));
                const std::size_t before = journalLines().size();
                const std::size_t shapes = doc->model()->shapes.GetCount();
                ASSERT_EQ(build(call.method, L"root", name, v, call.iorigAt), DISP_E_EXCEPTION);
                EXPECT_EQ(excep.wCode, 1);
                // NaN fails every comparison, so only the finiteness test
                // can catch it; an infinity may meet a builder's own test first.
                if (std::isnan(bad))
                    EXPECT_EQ(excep.bstrDescription.ToUtf8(), "All dimensions must be finite numbers");
                EXPECT_EQ(doc->model()->findSubSection(name), nullptr);
                EXPECT_EQ(doc->model()->shapes.GetCount(), shapes);
                EXPECT_EQ(journalLines().size(), before);
                EXPECT_EQ(doc->journal()->isBlocked(), 0);
                EXPECT_FALSE(doc->busy);
                EXPECT_FALSE(doc->checkPointSuppressed);
            }
        }
        // The same call with finite values still builds.
        const CString name = CString(L"G") + CString(std::to_wstring(++n).c_str());
        EXPECT_EQ(build(call.method, L"root", name, call.v, call.iorigAt), S_OK) << excep.bstrDescription.ToUtf8();
    }
}

// A section name holding the marks XML reserves is written escaped: the file
// is well formed and the name reads back unchanged.
TEST_F(ProfileTest, SectionNamesWithXmlMarksAreEscapedAndReadBack)
{
    const CString name(L"a<b & \"c\" 'd' >e");
    const document_test::fs::path file = root_ / "marks.xml";
    WriteSectionPropertiesXml(CString(file.wstring().c_str()), name, [](short id) { return id * 0.5; }, false);
    EXPECT_EQ(std::system(("xmllint --noout '" + file.string() + "' 2>/dev/null").c_str()), 0);
    std::unique_ptr<SectionPropertiesRecord> record = ReadSectionPropertiesXml(CString(file.wstring().c_str()));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sectionName, name);
    EXPECT_EQ(record->value(1), 0.5);
}
