// IGES records and sections: lines, the Start, Global and Directory
// sections, the record end and skipped entity records.

#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "drevoline/iges/IgesReader.h"
#include "test_iges_support.h"

using namespace iges_test;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

IgesReaderState& S = gIgesReader;

// Two directory lines of one entity (columns as the writer puts them).
std::string directoryEntry(int type, int parameterLine, const char* status, int lineCount, int form,
                           int sequence)
{
    char one[80], two[80];
    std::snprintf(one, sizeof one, "%8d%8d%8d%8d%8d%8d%8d%8d%8s", type, parameterLine, 0, 1, 1, 0, 0, 0,
                  status);
    std::snprintf(two, sizeof two, "%8d%8d%8d%8d%8d%8d%8d%8s%8d", type, 2, 1, lineCount, form, 0, 0, "", 0);
    return record(one, 'D', sequence) + record(two, 'D', sequence + 1);
}

TEST(IgesSections, RecordLines)
{
    IgesInput in("ab\r\ncd" + std::string(78, 'x') + "\n" + std::string(83, 'y') + "\nlast");
    ASSERT_EQ(readRecordLine(), 0);
    EXPECT_EQ(currentLineText(), "ab");
    EXPECT_EQ(S.line[72], ' ');  // a short line is filled with blanks
    EXPECT_EQ(S.line[81], ' ');
    S.cursor = 5;
    ASSERT_EQ(readRecordLine(), 0);
    EXPECT_EQ(currentLineText().size(), 80u);
    EXPECT_EQ(S.cursor, 0);
    EXPECT_EQ(readRecordLine(), 4001);  // more than 82 characters
    EXPECT_EQ(readRecordLine(), 0);     // the rest of it
    EXPECT_EQ(readRecordLine(), 0);     // a last line without a line feed
    EXPECT_EQ(currentLineText(), "last");
    EXPECT_EQ(readRecordLine(), -1);
    EXPECT_EQ(currentLineText(), "last");
    EXPECT_EQ(S.lineCount, 3);
}

TEST(IgesSections, StartSection)
{
    const struct {
        const char* name;
        std::string text;
        int result;
        bool catia;
    } cases[] = {
        {"two lines", record("From a system", 'S', 1) + record("of ours", 'S', 2) + record("1H,", 'G'), 0, false},
        {"CATIA", record("made by CATIA V5", 'S') + record("1H,", 'G'), 0, true},
        {"catia", record("x", 'S') + record("catia too", 'S', 2) + record("1H,", 'G'), 0, true},
        {"Catia is not named", record("Catia", 'S') + record("1H,", 'G'), 0, false},
        {"first line Global", record("1H,,1H;;", 'G'), 4001, false},
        {"ends in the section", record("x", 'S'), -1, false},
        {"over-long line", std::string(90, 'S') + "\n", 4001, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IgesInput in(c.text);
        EXPECT_EQ(readStartSection(), c.result);
        EXPECT_EQ(S.errorCode, c.result);
        EXPECT_EQ(S.catiaFile, c.catia);
        if (c.result == 0) {
            EXPECT_EQ(S.line[72], 'G');
        }
    }
}

TEST(IgesSections, GlobalSectionOfTheProgramsOwnWriter)
{
    IgesInput in(fixture("rectangle_windows.igs"));
    ASSERT_EQ(readStartSection(), 0);
    CaptureStderr();
    EXPECT_EQ(ReadGlobal(), 0);
    EXPECT_EQ(GetCapturedStderr(), "");  // the open last field ends with the section
    EXPECT_EQ(S.errorCode, 0);
    const IgesGlobalSection& g = S.global;
    EXPECT_EQ(S.parameterDelimiter, ',');
    EXPECT_EQ(S.recordDelimiter, ';');
    EXPECT_STREQ(g.senderProductId, "Lorimant");
    EXPECT_STREQ(g.fileName, "{unspecified}");
    EXPECT_STREQ(g.nativeSystemId, "Quenholt");
    EXPECT_STREQ(g.preprocessorVersion, "2.0.4");
    EXPECT_EQ(g.integerBits, 32);
    EXPECT_EQ(g.singleMagnitude, 38);
    EXPECT_EQ(g.singleSignificance, 15);
    EXPECT_EQ(g.doubleMagnitude, 308);
    EXPECT_EQ(g.doubleSignificance, 15);
    EXPECT_STREQ(g.receiverProductId, "");
    EXPECT_DOUBLE_EQ(g.modelSpaceScale, 1.0);
    EXPECT_EQ(g.unitFlag, 1);
    EXPECT_STREQ(g.unitName, "IN");
    EXPECT_EQ(g.maxLineWeightGradations, 32768);
    EXPECT_DOUBLE_EQ(g.maxLineWidth, 0.0393701);
    EXPECT_STREQ(g.dateTime, "261210.153000");
    EXPECT_DOUBLE_EQ(g.minResolution, 0.0001);
    EXPECT_DOUBLE_EQ(g.maxCoordinate, 6.0);
    EXPECT_STREQ(g.author, "{unspecified}");
    EXPECT_STREQ(g.organisation, "{unspecified)");
    EXPECT_EQ(g.versionFlag, 11);
    EXPECT_EQ(g.draftingStandard, 3);
    EXPECT_STREQ(g.modificationDate, "");
    EXPECT_EQ(S.line[72], 'D');  // the Global section has been left
}

TEST(IgesSections, GlobalSectionEndedBySemicolon)
{
    IgesInput in(fixture("mixed_standard_catia.igs"));
    ASSERT_EQ(readStartSection(), 0);
    EXPECT_TRUE(S.catiaFile);
    EXPECT_EQ(ReadGlobal(), 0);
    EXPECT_EQ(S.errorCode, 0);
    EXPECT_STREQ(S.global.nativeSystemId, "CATIA5");
    EXPECT_STREQ(S.global.receiverProductId, "T");
    EXPECT_EQ(S.global.unitFlag, 2);
    EXPECT_STREQ(S.global.unitName, "MM");
    EXPECT_DOUBLE_EQ(S.global.minResolution, 1e-6);
    EXPECT_STREQ(S.global.organisation, "Company");
    EXPECT_STREQ(S.global.modificationDate, "20261210.153000");  // continued on the next line
    EXPECT_EQ(S.fieldStatus, -2);
    EXPECT_EQ(findRecordEnd(), 0);
    EXPECT_EQ(S.line[S.cursor], ';');
}

TEST(IgesSections, GlobalSectionDefaultsAndFailures)
{
    {
        SCOPED_TRACE("empty delimiters, then the record ends");
        IgesInput in(record(",,;", 'G'));
        firstLine();
        S.parameterDelimiter = '/';
        EXPECT_EQ(ReadGlobal(), 0);
        EXPECT_EQ(S.parameterDelimiter, ',');
        EXPECT_EQ(S.recordDelimiter, ';');
        EXPECT_DOUBLE_EQ(S.global.modelSpaceScale, 1.0);
        EXPECT_EQ(S.errorCode, 0);
    }
    {
        SCOPED_TRACE("another delimiter");
        IgesInput in(record("1H//1H;/4HProd/2Hf1/3Hsys/1Hv/16/;", 'G'));
        firstLine();
        EXPECT_EQ(ReadGlobal(), 0);
        EXPECT_EQ(S.parameterDelimiter, '/');
        EXPECT_STREQ(S.global.preprocessorVersion, "v");
        EXPECT_EQ(S.global.integerBits, 16);
    }
    {
        SCOPED_TRACE("not a Global line");
        IgesInput in(record("1H,,1H;;", 'D'));
        firstLine();
        CaptureStderr();
        EXPECT_EQ(ReadGlobal(), -1);
        EXPECT_EQ(GetCapturedStderr(), "ReadGlobal - failure in read of global section ");
    }
    const char* failing[] = {
        "1H,,1H;,4HProd,2Hf1,3Hsys,1Hv,-32,;",   // a malformed integer
        "1H,,1H;,4HProd,2Hf1,3Hsys,1Hv,32,38,6,308,15,,1.0.0,;",  // a malformed real
        "1H,,1H;,4Prod;",                          // a malformed string
        "1H.,1H;.;",                               // a delimiter reals are made of
    };
    for (const char* text : failing) {
        SCOPED_TRACE(text);
        IgesInput in(record(text, 'G') + record("", 'D'));
        firstLine();
        CaptureStderr();
        ReadGlobal();
        GetCapturedStderr();
        EXPECT_NE(S.errorCode, 0);
    }
}

TEST(IgesSections, OverlongGlobalTextIsCut)
{
    const std::string name(100, 'n');
    IgesInput in(record("1H,,1H;,100H" + name.substr(0, 60), 'G', 1) + record(name.substr(60) + ",2Hf1;", 'G', 2));
    firstLine();
    EXPECT_EQ(ReadGlobal(), 0);
    EXPECT_EQ(std::string(S.global.senderProductId), name.substr(0, 80));
    EXPECT_STREQ(S.global.fileName, "f1");
    EXPECT_EQ(S.errorCode, 0);
}

TEST(IgesSections, FindRecordEnd)
{
    IgesInput in(record("126,1,2;", 'P') + record("126,1,2,", 'P', 2));
    firstLine();
    S.cursor = 3;
    EXPECT_EQ(findRecordEnd(), 0);
    EXPECT_EQ(S.cursor, 7);
    ASSERT_EQ(readRecordLine(), 0);
    CaptureStdout();
    EXPECT_EQ(findRecordEnd(), -1);
    EXPECT_EQ(GetCapturedStdout(), "No end of record field:" + record("126,1,2,", 'P', 2));
    EXPECT_EQ(S.cursor, 72);
}

TEST(IgesSections, DirectoryOfTheProgramsOwnWriter)
{
    IgesInput in(fixture("rectangle_windows.igs"));
    ASSERT_EQ(readStartSection(), 0);
    ASSERT_EQ(ReadGlobal(), 0);
    ASSERT_EQ(readDirectory(), 0);
    ASSERT_EQ(S.directory.size(), 5u);
    const CDirectoryEntry& arc = *S.directory[1];
    EXPECT_EQ(arc.entityType, 126);
    EXPECT_EQ(arc.parameterData, 2);
    EXPECT_EQ(arc.lineFontPattern, 1);
    EXPECT_EQ(arc.level, 1);
    EXPECT_EQ(arc.status, 10001);
    EXPECT_FALSE(arc.blanked);
    EXPECT_EQ(arc.sequence, 3);
    EXPECT_EQ(arc.entityType2, 126);
    EXPECT_EQ(arc.lineWeight, 2);
    EXPECT_EQ(arc.color, 1);
    EXPECT_EQ(arc.parameterLineCount, 1);
    EXPECT_EQ(arc.form, 0);
    EXPECT_EQ(arc.label, 0);  // eight blanks
    EXPECT_EQ(arc.sequence2, 4);
    EXPECT_EQ(S.directory[4]->entityType, 102);
    EXPECT_EQ(S.directory[4]->status, 20001);
    EXPECT_EQ(S.line[72], 'P');
    EXPECT_EQ(S.cursor, 0);
    // The first record is read from the first Parameter line.
    EXPECT_EQ(readIgesInteger(), 126);
}

TEST(IgesSections, BlankedEntriesAndCatiaFiles)
{
    const std::string directory = directoryEntry(110, 1, "00010001", 1, 0, 1) +
                                  directoryEntry(110, 2, "01010001", 1, 0, 3) + record("110;", 'P');
    for (bool catia : {false, true}) {
        SCOPED_TRACE(catia);
        IgesInput in(record(catia ? "catia" : "x", 'S') + record("1H,,1H;;", 'G') + directory);
        ASSERT_EQ(readStartSection(), 0);
        ASSERT_EQ(ReadGlobal(), 0);
        ASSERT_EQ(readRecordLine(), 0);
        ASSERT_EQ(readDirectory(), 0);
        ASSERT_EQ(S.directory.size(), 2u);
        EXPECT_FALSE(S.directory[0]->blanked);
        EXPECT_EQ(S.directory[1]->blanked, !catia);
    }
}

TEST(IgesSections, CopiousDataOtherThanForm63IsRefused)
{
    IgesInput in(directoryEntry(106, 1, "00000000", 1, 12, 1) + record("106;", 'P'));
    firstLine();
    try {
        readDirectory();
        FAIL() << "no refusal";
    } catch (const wchar_t* text) {
        EXPECT_STREQ(text, L"Only form 63 (closed planar curve) of IGES type 106 (copious data)is currently supported");
    }
}

TEST(IgesSections, FileEndingInsideTheDirectory)
{
    const std::string one = directoryEntry(110, 1, "00000000", 1, 0, 1);
    const std::string cases[] = {
        one,                                  // no Parameter section
        one + one.substr(0, 81),              // one line of an entry
        one + directoryEntry(110, 1, "00000000", 1, 0, 3).substr(0, 100),
    };
    for (const std::string& text : cases) {
        // A reader that read the last line again would never stop.
        EXPECT_EXIT(
            {
                alarm(10);
                bool failed = false;
                {
                    IgesInput in(text);
                    readRecordLine();
                    failed = readDirectory() == -1 && S.errorCode != 0;
                }
                std::exit(failed ? 0 : 1);
            },
            testing::ExitedWithCode(0), "^readDirectory:Premature end of file\\.\n$");
    }
}

TEST(IgesSections, SkipEntityRecord)
{
    CDirectoryEntry entry;
    entry.parameterLineCount = 3;
    {
        IgesInput in(record("406,1,", 'P', 1) + record("2,", 'P', 2) + record("3;", 'P', 3) + record("110;", 'P', 4));
        firstLine();
        skipEntityRecord(&entry);
        EXPECT_EQ(S.fieldStatus, -2);
        EXPECT_TRUE(entry.geometryRead);
        EXPECT_EQ(S.errorCode, 0);
        EXPECT_EQ(currentLineText().substr(0, 2), "3;");
    }
    {
        SCOPED_TRACE("a count beyond the section");
        entry.parameterLineCount = 2000000000;
        IgesInput in(record("406,1,", 'P', 1) + record("S      1G      1D      2P      1", 'T'));
        firstLine();
        CaptureStderr();
        skipEntityRecord(&entry);
        GetCapturedStderr();
        EXPECT_EQ(S.fieldStatus, -4);
        EXPECT_EQ(S.errorCode, 1);
    }
}

}  // namespace
