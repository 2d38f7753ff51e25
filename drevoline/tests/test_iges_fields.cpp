// The IGES parameter field parsers: integers, reals and Hollerith strings,
// on Global lines and across Parameter lines of both layouts.

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "drevoline/iges/IgesReader.h"
#include "test_iges_support.h"

using namespace iges_test;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

struct FieldCase {
    const char* data;        // one Global line
    double value;
    int fieldStatus;
    int errorCode;
    const char* diagnostic;  // on stderr
};

TEST(IgesFields, IntegerFields)
{
    const char* bad = "Bad integer  number\n";
    const FieldCase cases[] = {
        {"12,", 12, -1, 0, ""},
        {"7;", 7, -2, 0, ""},
        {",", 0, -1, 0, ""},                 // empty field
        {"   42   ,", 42, -1, 0, ""},
        {"2147483647,", INT_MAX, -1, 0, ""},
        {"-3,", 0, -4, 1, bad},               // no sign
        {"1 2,", 1, -4, 1, bad},
        {"4X,", 4, -4, 1, bad},
        {"2147483648,", 0, -4, 1, bad},       // beyond int
        {"99999999999999999999999,", 0, -4, 1, bad},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.data);
        IgesInput in(record(c.data, 'G') + record("", 'G', 2));
        firstLine();
        CaptureStderr();
        const int v = readIgesInteger();
        EXPECT_EQ(GetCapturedStderr(), c.diagnostic);
        if (c.errorCode == 0) {
            EXPECT_EQ(v, static_cast<int>(c.value));
        }
        EXPECT_EQ(gIgesReader.fieldStatus, c.fieldStatus);
        EXPECT_EQ(gIgesReader.errorCode, c.errorCode);
    }
}

TEST(IgesFields, RealFields)
{
    const char* bad = "Bad floating POINTd number";
    const FieldCase cases[] = {
        {"1.5D2,", 150.0, -1, 0, ""},
        {"1. 5,", 1.5, -1, 0, ""},            // blanks inside are dropped
        {"-3.25E-1;", -0.325, -2, 0, ""},
        {"+2.,", 2.0, -1, 0, ""},
        {",", 0.0, -1, 0, ""},                // empty field
        {"1.E-400,", 0.0, -1, 0, ""},         // underflow reads as zero
        {"1.5X,", 0.0, -4, 1, bad},
        {"1.2.3,", 0.0, -4, 1, bad},
        {"-,", 0.0, -4, 1, bad},
        {"1E999,", 0.0, -4, 1, bad},          // beyond double
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.data);
        IgesInput in(record(c.data, 'G') + record("", 'G', 2));
        firstLine();
        CaptureStderr();
        const double v = readIgesReal();
        EXPECT_EQ(GetCapturedStderr(), c.diagnostic);
        if (c.errorCode == 0) {
            EXPECT_DOUBLE_EQ(v, c.value);
        }
        EXPECT_EQ(gIgesReader.fieldStatus, c.fieldStatus);
        EXPECT_EQ(gIgesReader.errorCode, c.errorCode);
    }
}

TEST(IgesFields, OverlongRealIsMalformed)
{
    // 81 digits, running on from one line to the next.
    IgesInput in(record(std::string(72, '1'), 'G', 1) + record("123456789,", 'G', 2));
    firstLine();
    CaptureStderr();
    readIgesReal();
    EXPECT_EQ(GetCapturedStderr(), "Bad floating POINTd number");
    EXPECT_EQ(gIgesReader.errorCode, 1);
}

TEST(IgesFields, RealAtTheEndOfAGlobalLineEndsThere)
{
    IgesInput in(record("1,0.0393701", 'G', 1) + record("13H261210.153000;", 'G', 2));
    firstLine();
    EXPECT_EQ(readIgesInteger(), 1);
    EXPECT_DOUBLE_EQ(readIgesReal(), 0.0393701);
    EXPECT_EQ(gIgesReader.fieldStatus, -1);
    char text[20];
    EXPECT_EQ(readIgesString(text, sizeof text), 0);
    EXPECT_STREQ(text, "261210.153000");
    EXPECT_EQ(gIgesReader.fieldStatus, -2);
}

TEST(IgesFields, HollerithFields)
{
    IgesInput in(record("1H,,1H;,   ,3Habc,6Habcdef,2H;;,", 'G'));
    firstLine();
    char text[81];
    EXPECT_EQ(readIgesString(text, sizeof text), 0);
    EXPECT_STREQ(text, ",");
    EXPECT_EQ(readIgesString(text, sizeof text), 0);
    EXPECT_STREQ(text, ";");
    EXPECT_EQ(readIgesString(text, sizeof text), 0);  // blanks then ',': empty
    EXPECT_STREQ(text, "");
    EXPECT_EQ(readIgesString(text, sizeof text), 0);
    EXPECT_STREQ(text, "abc");
    char small[4];
    EXPECT_EQ(readIgesString(small, sizeof small), 0);  // cut to the capacity
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(gIgesReader.fieldStatus, -1);
    EXPECT_EQ(readIgesString(text, sizeof text), 0);
    EXPECT_STREQ(text, ";;");
    EXPECT_EQ(gIgesReader.fieldStatus, -1);
    EXPECT_EQ(gIgesReader.errorCode, 0);
}

TEST(IgesFields, MalformedHollerithFields)
{
    const struct {
        const char* data;
        const char* diagnostic;
    } cases[] = {
        {"3Xabc,", "IGESREAD:: Bad string constant.\n"},
        {"3Habcd,", "Bad string constant\n"},
        {"999999999Habc,", "IGESREAD:: Bad string constant.\n"},  // longer than the file
        {"99999999999999999999Habc,", "IGESREAD:: Bad string constant.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        IgesInput in(record(c.data, 'G') + record("", 'G', 2));
        firstLine();
        char text[81];
        CaptureStderr();
        EXPECT_EQ(readIgesString(text, sizeof text), -1);
        EXPECT_EQ(GetCapturedStderr(), c.diagnostic);
        EXPECT_EQ(gIgesReader.errorCode, 1);
        EXPECT_EQ(gIgesReader.fieldStatus, -4);
    }
}

// 100 characters, blanks among them, none of them a digit.
std::string hundredCharacters()
{
    std::string s;
    for (int i = 0; i < 100; ++i)
        s += (i % 7 == 3) ? ' ' : static_cast<char>('a' + i % 26);
    return s;
}

TEST(IgesFields, HollerithContinuesOnTheNextGlobalLine)
{
    const std::string text = hundredCharacters();
    // The text starts in column 41: columns 41-72 and then 1-68.
    const std::string first = std::string(36, ' ') + "100H" + text.substr(0, 32);
    IgesInput in(record(first, 'G', 1) + record(text.substr(32) + ",5,", 'G', 2));
    firstLine();
    char out[101];
    EXPECT_EQ(readIgesString(out, sizeof out), 0);
    EXPECT_EQ(std::string(out), text);
    EXPECT_EQ(readIgesInteger(), 5);
}

TEST(IgesFields, HollerithOnParameterLinesLeavesThePointerOut)
{
    const std::string text = "ABCDEFGHIJKLMNOPQRST";
    // The text starts in column 59; columns 65-72 hold blanks and the pointer.
    IgesInput in(standardParameter(std::string(55, ' ') + "20H" + text.substr(0, 6), 1001, 1) +
                 standardParameter(text.substr(6) + ";", 1001, 2));
    firstLine();
    char out[81];
    EXPECT_EQ(readIgesString(out, sizeof out), 0);
    EXPECT_EQ(std::string(out), text);
    EXPECT_EQ(gIgesReader.fieldStatus, -2);
}

// Reads a record of an integer type followed by reals up to its ';'.
std::vector<double> readRealRecord()
{
    std::vector<double> values{static_cast<double>(readIgesInteger())};
    while (gIgesReader.fieldStatus == -1)
        values.push_back(readIgesReal());
    return values;
}

TEST(IgesFields, RealsContinueAcrossParameterLinesOfBothLayouts)
{
    const std::string sixteen = [] {
        std::string s;
        for (int i = 0; i < 16; ++i)
            s += "1.5,";
        return s;
    }();
    std::vector<double> withSixteen{110};
    withSixteen.insert(withSixteen.end(), 16, 1.5);
    withSixteen.push_back(7.25);
    const struct {
        const char* name;
        std::string text;
        std::vector<double> values;
    } cases[] = {
        // Standard files with 501 and 5001 entities: four- and five-digit pointers.
        {"standard, pointer 1001", standardParameter("110,1.,2.,", 1001, 1) + standardParameter("3.5;", 1001, 2),
         {110, 1, 2, 3.5}},
        {"standard, pointer 10001", standardParameter("110,1.,2.,", 10001, 1) + standardParameter("3.5;", 10001, 2),
         {110, 1, 2, 3.5}},
        // The program's own writer: data up to column 68 touching the pointer.
        {"writer, data to column 68", writerParameter("110," + sixteen, 1001, 1) + writerParameter("7.25;", 1001, 2),
         withSixteen},
        {"writer, short line", writerParameter("110,1.,2.,", 9, 1) + writerParameter("3.5;", 9, 2), {110, 1, 2, 3.5}},
        // A number that runs up to the end of the data goes on at column 1.
        {"number split at column 64", standardParameter("110," + std::string(56, ' ') + "12.3", 1001, 1) +
                                          standardParameter("45;", 1001, 2),
         {110, 12.345}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IgesInput in(c.text);
        firstLine();
        const std::vector<double> values = readRealRecord();
        ASSERT_EQ(values.size(), c.values.size());
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_DOUBLE_EQ(values[i], c.values[i]) << "field " << i;
        EXPECT_EQ(gIgesReader.fieldStatus, -2);
        EXPECT_EQ(gIgesReader.errorCode, 0);
    }
}

TEST(IgesFields, IntegerSplitAtTheEndOfParameterDataGoesOn)
{
    IgesInput in(standardParameter("102," + std::string(58, ' ') + "12", 3, 1) + standardParameter("34;", 3, 2));
    firstLine();
    EXPECT_EQ(readIgesInteger(), 102);
    EXPECT_EQ(readIgesInteger(), 1234);
    EXPECT_EQ(gIgesReader.fieldStatus, -2);
}

TEST(IgesFields, AParameterRecordCutShortIsMalformed)
{
    // The record runs into the Terminate section, or the file ends inside it.
    const std::string cases[] = {
        standardParameter("110,1.,2.,", 1, 1) + record("S      1G      1D      2P      1", 'T'),
        standardParameter("110,1.,2.,", 1, 1),
    };
    for (const std::string& text : cases) {
        IgesInput in(text);
        firstLine();
        CaptureStderr();
        readRealRecord();
        EXPECT_EQ(GetCapturedStderr(), "IGESREAD:: premature end of section\n");
        EXPECT_EQ(gIgesReader.fieldStatus, -4);
        EXPECT_EQ(gIgesReader.errorCode, 1);
    }
}

}  // namespace
