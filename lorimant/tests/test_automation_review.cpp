// Hostile use of the shape methods, the arbitrary-shape object and the
// journal interpreter: closed documents, copies of groups, non-finite
// numbers, odd names and malformed macros.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "lorimant/automation/CArbitraryShape.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "test_automation_objects_support.h"

using namespace automation_test;

namespace {

COleVariant S(int v) { return COleVariant(static_cast<SHORT>(v)); }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class AutomationReview : public AutomationObjectsTest {
 protected:
  void SetUp() override {
    AutomationObjectsTest::SetUp();
    group = subSection(root(), L"G");
    rectangle(group, L"web", 1, 3, 10, 0);
    rectangle(group, L"flange", 4, 1, 10, 3);
    rectangle(root(), L"R1", 4, 2);
  }
  std::vector<std::string> linesWith(const char* text) {
    std::vector<std::string> out;
    for (const std::string& l : journalLines())
      if (l.find(text) != std::string::npos) out.push_back(l);
    return out;
  }
  int shapeCount() { return static_cast<int>(doc->model()->shapes.GetCount()); }
  // Every shape's middle is a finite point.
  bool allGeometryFinite() {
    for (POSITION pos = doc->model()->shapes.GetHeadPosition(); pos;) {
      Point<double> p;
      doc->model()->shapes.GetNext(pos)->midPt(&p);
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    }
    return true;
  }
  JournalRunResult run(const std::string& text, std::string* printed = nullptr) {
    std::istringstream macro(text);
    std::ostringstream out;
    JournalInterpreter interpreter(DocumentAutomationObject(*doc), out);
    JournalRunResult r = interpreter.Run(macro);
    if (printed != nullptr) *printed = out.str();
    return r;
  }
  CSubSection* group = nullptr;
};

}  // namespace

// ---- the arbitrary-shape object outliving its document ----

TEST_F(AutomationReview, ArbitraryShapeRefusesOnceItsDocumentHasClosed) {
  COleVariant v;
  ASSERT_EQ(invoke(L"AddArbitraryShape", {T(L"P"), S(1)}, &v), S_OK);
  std::shared_ptr<CArbitraryShape> polygon = v.GetObject<CArbitraryShape>();
  ASSERT_NE(polygon, nullptr);
  for (const auto& xy : {std::pair{0.0, 0.0}, {3.0, 0.0}, {0.0, 2.0}})
    ASSERT_EQ(call(ArbitraryShapeDispatchTable(), *polygon, L"AddPoint", DISPATCH_METHOD, {R(xy.first), R(xy.second)}),
              S_OK);
  doc.reset();
  for (const wchar_t* fit : {L"LinearFit", L"SplineFit"})
    expectRefused(call(ArbitraryShapeDispatchTable(), *polygon, fit, DISPATCH_METHOD, {T(L"root")}), 1,
                  L"The document of this shape has been closed.");
  expectRefused(call(ArbitraryShapeDispatchTable(), *polygon, L"AddPoint", DISPATCH_METHOD, {R(1), R(1)}), 1,
                L"The document of this shape has been closed.");
}

// ---- copies of a group of several shapes ----

TEST_F(AutomationReview, CopiesOfAGroupOfSeveralShapesAreRefusedBeforeAnyIsMade) {
  const int before = shapeCount();
  expectRefused(invoke(L"RotateDuplicateShape", {T(L"G"), T(L"ignored"), R(0), R(0), R(90)}), 1,
                L"A group of more than one shape cannot be copied under one name.");
  expectRefused(invoke(L"MirrorDuplicate", {T(L"G"), T(L"M"), R(0), R(0), R(1), R(0)}), 1,
                L"A group of more than one shape cannot be copied under one name.");
  EXPECT_EQ(shapeCount(), before);
  EXPECT_EQ(doc->model()->findShape(L"G_Rotated"), nullptr);
  EXPECT_EQ(doc->model()->findShape(L"M_Mirrored"), nullptr);
  EXPECT_TRUE(linesWith("Rotated").empty());
  EXPECT_TRUE(linesWith("Mirrored").empty());

  // A group of one shape is still copied, once; a second copy's name is taken.
  ASSERT_EQ(invoke(L"GroupRemove", {T(L"G"), T(L"flange")}), S_OK);
  ASSERT_EQ(invoke(L"RotateDuplicateShape", {T(L"G"), T(L"ignored"), R(0), R(0), R(90)}), S_OK);
  EXPECT_NE(doc->model()->findShape(L"G_Rotated"), nullptr);
  EXPECT_EQ(invoke(L"RotateDuplicateShape", {T(L"G"), T(L"ignored"), R(0), R(0), R(90)}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 2);
  EXPECT_EQ(shapeCount(), before + 1);
}

TEST_F(AutomationReview, GroupMirrorDuplicateWithATakenCopyNameMakesNothing) {
  rectangle(root(), L"flange_G2", 1, 1, 50, 50);
  const int before = shapeCount();
  expectRefused(invoke(L"GroupMirrorDuplicate", {T(L"G"), T(L"G2"), R(0), R(0), R(1), R(0)}), 2,
                L"Object with that name already exists.");
  EXPECT_EQ(shapeCount(), before);
  EXPECT_EQ(doc->model()->findShape(L"web_G2"), nullptr);
  EXPECT_EQ(doc->model()->findSubSection(L"G2"), nullptr);
  EXPECT_TRUE(linesWith("MirrorDuplicate").empty());
}

// ---- deleting the current sub-section or root ----

TEST_F(AutomationReview, DeleteShapeRefusesTheCurrentSubSectionAndRoot) {
  subSection(group, L"H");
  ASSERT_EQ(invoke(L"SetCurrentSubSection", {T(L"H")}), S_OK);
  for (const wchar_t* name : {L"H", L"G", L"root"})
    expectRefused(invoke(L"DeleteShape", {T(name)}), 1001,
                  L"Cannot delete the current group or root group. Change current first");
  EXPECT_NE(doc->model()->findSubSection(L"G"), nullptr);
  EXPECT_NE(doc->model()->findShape(L"web"), nullptr);
  EXPECT_NE(doc->model()->rootSubSection(), nullptr);
  EXPECT_NE(doc->model()->currentSubSectionMutable(), nullptr);
  EXPECT_TRUE(linesWith("DeleteShape").empty());
}

// ---- numbers that are not finite ----

TEST_F(AutomationReview, NonFiniteArgumentsAreRefusedAndBuildNothing) {
  struct Case {
    const wchar_t* method;
    std::vector<COleVariant> args;
  };
  const double bad[] = {kNaN, kInf, -kInf};
  for (const double b : bad) {
    const std::vector<Case> cases = {
        {L"AddRectangle", {T(L"root"), T(L"N1"), R(b), R(1), R(0), R(0), S(0), S(1), R(0), S(1)}},
        {L"AddRectangle", {T(L"root"), T(L"N1"), R(1), R(1), R(0), R(0), S(0), S(1), R(b), S(1)}},
        {L"AddDisk", {T(L"root"), T(L"N2"), R(1), R(b), R(0), S(1)}},
        {L"AddSector", {T(L"root"), T(L"N3"), R(1), R(b), R(0), R(0), S(0), S(1), R(0), S(1)}},
        {L"AddTriangle", {T(L"root"), T(L"N4"), R(1), R(0), R(b), R(0), R(0), S(0), S(1), R(0), S(1)}},
        {L"AddPoint", {T(L"root"), R(b), R(0)}},
        {L"MirrorShape", {T(L"R1"), R(0), R(0), R(b), R(0)}},
        {L"RotateShape", {T(L"R1"), R(0), R(0), R(b)}},
        {L"TranslateShape", {T(L"R1"), R(b), R(0)}},
        {L"RotateAll", {R(0), R(b), R(0)}},
        {L"TranslateAll", {R(b), R(0)}},
        {L"TranslateDuplicateShape", {T(L"R1"), T(L"N5"), R(0), R(b)}},
        {L"RotateDuplicateShape", {T(L"R1"), T(L"N6"), R(b), R(0), R(1)}},
        {L"MirrorDuplicate", {T(L"R1"), T(L"N7"), R(0), R(0), R(0), R(b)}},
        {L"GroupMirrorDuplicate", {T(L"G"), T(L"G2"), R(b), R(0), R(1), R(0)}},
    };
    for (const Case& c : cases) {
      const int before = shapeCount();
      expectRefused(invoke(c.method, c.args), 1, L"Invalid number.");
      EXPECT_EQ(shapeCount(), before) << CStringA(c.method).GetString();
      EXPECT_TRUE(allGeometryFinite()) << CStringA(c.method).GetString();
    }
  }
  // A mirror line without a direction has no normal either.
  expectRefused(invoke(L"MirrorShape", {T(L"R1"), R(0), R(0), R(0), R(0)}), 1, L"The mirror line needs a direction.");
  EXPECT_TRUE(allGeometryFinite());
  EXPECT_EQ(doc->model()->findSubSection(L"G2"), nullptr);

  COleVariant v;
  ASSERT_EQ(invoke(L"AddArbitraryShape", {T(L"P"), S(1)}, &v), S_OK);
  auto polygon = v.GetObject<CArbitraryShape>();
  expectRefused(call(ArbitraryShapeDispatchTable(), *polygon, L"AddPoint", DISPATCH_METHOD, {R(kNaN), R(0)}), 1,
                L"Invalid number.");
  EXPECT_TRUE(polygon->points().empty());
}

// ---- the journal interpreter on odd input ----

TEST_F(AutomationReview, InterpreterRefusesANumberTooLargeForADouble) {
  const Point<double> before = [&] {
    Point<double> p;
    doc->model()->findShape(L"R1")->midPt(&p);
    return p;
  }();
  const JournalRunResult r = run("xscn.TranslateShape \"R1\",1e999,0\n");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.lineNumber, 1);
  EXPECT_NE(r.description.find("out of range"), std::string::npos) << r.description;
  Point<double> after;
  doc->model()->findShape(L"R1")->midPt(&after);
  EXPECT_EQ(after.x, before.x);
}

TEST_F(AutomationReview, InterpreterReadsDoubledQuotesBomCrlfAndLongLines) {
  // A name with a quote in it, written doubled as the language has it,
  // after a byte-order mark, with CRLF endings.
  const JournalRunResult r = run(
      "\xEF\xBB\xBFxscn.RenameShape \"R1\",\"a\"\"b\"\r\n"
      "xscn.RenameShape \"a\"\"b\",\"\xC3\xA9t\xC3\xA9\"\r\n");
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.description;
  EXPECT_NE(doc->model()->findShape(L"\u00e9t\u00e9"), nullptr);

  // A line far past 64 KiB: an unknown name refused by the method, not by the reader.
  const std::string longName(70000, 'x');
  const JournalRunResult l = run("xscn.DeleteShape \"" + longName + "\"\n");
  EXPECT_FALSE(l.ok);
  EXPECT_NE(l.description.find("Object doesn't exist"), std::string::npos) << l.description.substr(0, 200);
  // An empty name is an unknown name.
  const JournalRunResult e = run("xscn.DeleteShape \"\"\n");
  EXPECT_FALSE(e.ok);
  EXPECT_NE(doc->model()->findShape(L"web"), nullptr);
}

TEST_F(AutomationReview, InterpreterStopsCleanlyOnGarbage) {
  const int before = shapeCount();
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  const std::vector<std::string> macros = {
      garbage,
      std::string("xscn.DeleteShape \"R1\0\"\n", 24),
      "\xFF\xFE\x00x\n",
      "xscn.DeleteShape \"unterminated\n",
      "xscn.RotateAll " + std::string(10000, '(') + "\n",
      "xscn.RotateAll (" + std::string(10000, ')') + "\n",
      "xscn." + std::string(5000, '.') + "\n",
      "Set = \n",
      "xscn.RotateAll 1,2\n",  // too few arguments
  };
  for (const std::string& m : macros) {
    const JournalRunResult r = run(m);
    EXPECT_FALSE(r.ok) << m.substr(0, 40);
    EXPECT_FALSE(r.description.empty());
    EXPECT_GE(r.lineNumber, 1);
  }
  EXPECT_EQ(shapeCount(), before);
  EXPECT_NE(doc->model()->findShape(L"R1"), nullptr);
}

TEST_F(AutomationReview, NamesWithQuotesAreJournalledDoubledAndReplay) {
  const std::string macro =
      "xscn.CreateSubSection \"s\"\"t\",\"root\"\n"
      "xscn.DeleteShape \"s\"\"t\"\n";
  const JournalRunResult r = run(macro);
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.description;
  EXPECT_EQ(linesWith("s\"\"t"),
            (std::vector<std::string>{"xscn.CreateSubSection \"s\"\"t\",\"root\"", "xscn.DeleteShape \"s\"\"t\""}));
  // The journal's own lines replay on a fresh start.
  std::string written;
  for (const std::string& l : linesWith("s\"\"t")) written += l + "\n";
  const JournalRunResult again = run(written);
  ASSERT_TRUE(again.ok) << again.lineNumber << ": " << again.description;
  EXPECT_EQ(doc->model()->findSubSection(L"s\"t"), nullptr);
}

TEST_F(AutomationReview, InterpreterReportsAMacroThatCannotBeRead) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  std::ifstream macro(folder, std::ios::binary);
  ASSERT_TRUE(macro.is_open());
  std::ostringstream out;
  JournalInterpreter interpreter(DocumentAutomationObject(*doc), out);
  const JournalRunResult r = interpreter.Run(macro);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.ExitStatus(), 1);
  EXPECT_EQ(r.description, "The macro could not be read.");
}

// ---- renaming onto a name that is empty or taken ----

TEST_F(AutomationReview, RenamesRefuseEmptyAndTakenNames) {
  expectRefused(invoke(L"RenameShape", {T(L"R1"), T(L"")}), 1, L"A name cannot be empty.");
  expectRefused(invoke(L"RenameShape", {T(L"R1"), T(L"web")}), 2, L"Object with that name already exists.");
  expectRefused(invoke(L"RenameSubSection", {T(L"G"), T(L"")}), 1, L"A name cannot be empty.");
  expectRefused(invoke(L"RenameSubSection", {T(L"G"), T(L"root")}), 1, L"Subsection already exists.");
  EXPECT_NE(doc->model()->findShape(L"R1"), nullptr);
  EXPECT_EQ(doc->model()->findSubSection(L"G"), group);
  EXPECT_EQ(doc->model()->findSubSection(L"root"), root());
  EXPECT_TRUE(linesWith("Rename").empty());
  // A long name, and renaming to the name it has, still work.
  const CString longName(std::wstring(100000, L'n').c_str());
  ASSERT_EQ(invoke(L"RenameShape", {T(L"R1"), COleVariant(longName)}), S_OK);
  EXPECT_NE(doc->model()->findShape(longName), nullptr);
  ASSERT_EQ(invoke(L"RenameSubSection", {T(L"G"), T(L"G")}), S_OK);
  EXPECT_EQ(doc->model()->findSubSection(L"G"), group);
}

// ---- outlines with too few distinct corners ----

TEST_F(AutomationReview, ArbitraryShapeRefusesFewerThanThreeDistinctCorners) {
  const std::vector<std::vector<std::pair<double, double>>> outlines = {
      {{0, 0}, {0, 0}, {0, 0}, {1, 1}},
      {{0, 0}, {1e-7, 0}, {1, 1}, {1, 1}},
      {{5, 5}, {5, 5}, {5, 5}, {5, 5}},
  };
  int k = 0;
  for (const auto& outline : outlines) {
    for (const wchar_t* fit : {L"LinearFit", L"SplineFit"}) {
      CString name;
      name.Format(L"D%d", k++);
      COleVariant v;
      ASSERT_EQ(invoke(L"AddArbitraryShape", {COleVariant(name), S(1)}, &v), S_OK);
      auto polygon = v.GetObject<CArbitraryShape>();
      for (const auto& [x, y] : outline) polygon->AddPoint(x, y);
      expectRefused(call(ArbitraryShapeDispatchTable(), *polygon, fit, DISPATCH_METHOD, {T(L"root")}), 1,
                    L"An arbitrary shape needs at least three points.");
      EXPECT_EQ(doc->model()->findShape(name), nullptr);
    }
  }
  // Repeated points among three distinct corners still make the triangle.
  COleVariant v;
  ASSERT_EQ(invoke(L"AddArbitraryShape", {T(L"T"), S(1)}, &v), S_OK);
  auto triangle = v.GetObject<CArbitraryShape>();
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{0, 0}, {0, 0}, {2, 0}, {2, 0}, {0, 1}})
    triangle->AddPoint(x, y);
  ASSERT_EQ(call(ArbitraryShapeDispatchTable(), *triangle, L"LinearFit", DISPATCH_METHOD, {T(L"root")}), S_OK);
  EXPECT_NEAR(doc->model()->findShape(L"T")->area(), 1.0, 1e-12);
}
