// The macro writer's reference: every automation member described, the help
// texts built from the dispatch tables, docs/macros.md kept equal to what
// the data gives, suggestions for misspelt names, and the interpreter's
// messages, output arguments and full-precision values on a real document.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "lorimant/automation/MacroReference.h"
#include "lorimant/view/BuilderPointTables.h"
#include "test_automation_analyses_support.h"

namespace test_macro_reference {

TEST(MacroReference, EveryDispatchEntryIsDescribed) {
  EXPECT_EQ(MacroMembersLackingDescriptions(), std::vector<std::string>{});
  // Every row of the document's table, the repeated DISPIDs included, has
  // its reference under the same name and parameter count.
  for (const auto& e : ILorimantDispatchTable().Entries()) {
    const std::string name = wideToUtf8(e.name);
    const MacroMember* m = FindMacroMember("LorimantDocument", name, e.params.size());
    ASSERT_NE(m, nullptr) << name;
    EXPECT_EQ(m->params.size(), e.params.size()) << name;
    EXPECT_FALSE(MacroMemberHelpText(name).empty()) << name;
  }
}

TEST(MacroReference, HelpOfAddIBeamNamesItsParameters) {
  const std::string help = MacroMemberHelpText("addibeam");
  // The 23 numbers of the I-beam builder, in order, after its two names.
  const char* names[] = {"parentName", "name", "webLength", "webThickness", "lowerLeftFlangeLength",
                         "lowerLeftFlangeThickness", "lowerFlangeLength", "lowerRightFlangeThickness",
                         "lowerLeftFilletRadius", "lowerRightFilletRadius", "lowerAngle", "upperLeftFlangeLength",
                         "upperLeftFlangeThickness", "upperFlangeLength", "upperRightFlangeThickness",
                         "upperLeftFilletRadius", "upperRightFilletRadius", "upperAngle", "iorig", "iDirection",
                         "x", "y", "rotation", "toeRadius", "flangeRadius"};
  std::size_t at = 0;
  for (std::size_t i = 0; i < std::size(names); ++i) {
    const std::string entry = std::to_string(i + 1) + ". " + names[i] + " (";
    const std::size_t found = help.find(entry, at);
    ASSERT_NE(found, std::string::npos) << entry << " in\n" << help;
    at = found;
  }
  EXPECT_NE(help.find("19. iorig (Integer)"), std::string::npos);
  EXPECT_NE(help.find("Journal: its own AddIBeam line"), std::string::npos);
  EXPECT_TRUE(MacroMemberHelpText("NoSuchMethod").empty());
  // Output parameters say that they take a variable.
  EXPECT_NE(MacroMemberHelpText("ExtremeValues").find("2. max (out Double: a variable name)"), std::string::npos);
}

TEST(MacroReference, ListNamesMembersAndEnumerations) {
  const std::string list = MacroListText();
  for (const char* expected : {"\n  AddRectangle\n", "\n  GroupCurrent\n", "ArbitraryShape (polygon):\n  AddPoint\n",
                               "QHT_RESULT:\n  QHT_NO_VALUE = 1\n  QHT_STRESSZZ = 3\n  QHT_STRAINZZ = 4\n",
                               "  SA_PlasticMaximumShapeFactor_Kmax = 72\n", "  QHT_LOCKED = 46\n"})
    EXPECT_NE(list.find(expected), std::string::npos) << expected;
}

TEST(MacroReference, NearestNamesAreSlipsOnly) {
  const std::vector<std::string> constants = {"TRIANGLE_3NODES", "QUAD_4NODES", "QHT_SI", "SA_Area", "SA_AreaCGx"};
  EXPECT_EQ(NearestNames("TRIANGLES", constants), std::vector<std::string>{"TRIANGLE_3NODES"});
  EXPECT_EQ(NearestNames("sa_aera", constants), std::vector<std::string>{"SA_Area"});
  EXPECT_EQ(NearestNames("SA_Area", constants), (std::vector<std::string>{"SA_Area", "SA_AreaCGx"}));
  EXPECT_TRUE(NearestNames("Zebra", constants).empty());
  EXPECT_EQ(DidYouMean("QHT_SJ", constants), " Did you mean QHT_SI?");
  EXPECT_EQ(DidYouMean("nothing near", constants), "");
}

TEST(MacroReference, EnumerationNamesIgnoreCase) {
  LONG value = 0;
  EXPECT_TRUE(TypeLibraryConstant(L"sa_area", &value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(TypeLibraryConstant(L"Qht_StressZZ", &value));
  EXPECT_EQ(value, 3);
  EXPECT_FALSE(TypeLibraryConstant(L"SA_Areas", &value));
}

TEST(MacroReference, NumbersPrintInTheirShortestExactForm) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{0.1, "0.1"}, {1.0 / 3.0, "0.3333333333333333"}, {2.0, "2"}, {-1.5e-5, "-1.5e-05"},
               {1e300, "1e+300"}, {123456789.125, "123456789.125"}};
  for (const auto& c : cases) EXPECT_EQ(JournalValueText(COleVariant(c.value)), c.text);
}

// The file in the source tree; LORIMANT_WRITE_DOCS=1 (make docs) rewrites it.
TEST(MacroReference, DocsFileIsWhatTheDataGives) {
  // The source tree's root holds lorimant/tests/data.
  const std::string path =
      (std::filesystem::path(LORIMANT_TEST_DATA).parent_path().parent_path().parent_path() / "docs" / "macros.md")
          .string();
  const std::string generated = MacroReferenceMarkdown(BuilderPointTables());
  if (const char* write = std::getenv("LORIMANT_WRITE_DOCS"); write != nullptr && std::string(write) == "1")
    std::ofstream(path, std::ios::binary) << generated;
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_TRUE(text.str() == generated) << path << " differs from the reference the program's data gives; run "
                                       << "`make docs` to write it again";
  // Every member of every object has its section.
  for (const MacroMember& m : MacroMembers())
    EXPECT_NE(generated.find("### " + m.object + "." + m.name + "\n"), std::string::npos) << m.name;
  // The rectangle's points: corners 0 to 3 counter-clockwise from (0, 0).
  EXPECT_NE(generated.find("| 0 | 0 | 0 |\n| 1 | 4 | 0 |\n| 2 | 4 | 2 |\n| 3 | 0 | 2 |\n"), std::string::npos);
}

// ---- the interpreter on a real document ------------------------------------

class MacroRun : public analysis_methods_test::AnalysisMethodsTest {
 protected:
  void SetUp() override {
    AnalysisMethodsTest::SetUp();
    interpreter = std::make_unique<JournalInterpreter>(DocumentAutomationObject(*doc), out);
  }
  void TearDown() override {
    interpreter.reset();
    AnalysisMethodsTest::TearDown();
  }
  JournalRunResult run(const std::string& macro) {
    std::istringstream in(macro);
    out.str("");
    return interpreter->Run(in);
  }
  std::ostringstream out;
  std::unique_ptr<JournalInterpreter> interpreter;
};

TEST_F(MacroRun, MessagesSayWhatIsWantedAndSuggestNames) {
  const struct {
    const char* line;
    const char* description;
  } cases[] = {
      {"xscn.AddRectangle \"root\",\"R\",1,2,0,0",
       "AddRectangle takes 10 arguments (parentName, nm, length, width, x, y, origin, dir, rot, sgn), 6 given."},
      {"xscn.ClearAll 1", "ClearAll takes no arguments, 1 given."},
      {"xscn.GetValue(\"area\")", "Type mismatch in argument 1 (valueID, Integer) of GetValue: \"area\" given."},
      {"xscn.AddDisk \"root\",\"D\",1,0,0,70000",
       "Overflow in argument 6 (sgn, Integer) of AddDisk: 70000 given."},
      {"xscn.AddRectange \"root\",\"R\",1,2,0,0,0,1,0,1",
       "LorimantDocument has no method AddRectange. Did you mean AddRectangle?"},
      {"xscn.MeshShape \"R\",TRIANGLES,20,0.1,0", "Variable not defined: TRIANGLES. Did you mean TRIANGLE_3NODES?"},
      {"xscn.ExtremeValues QHT_STRESSZZ, 1, 2",
       "argument 2 (max, out Double: a variable name) of ExtremeValues is an output: pass a variable name to receive "
       "the value."},
      {"xscn.ComputeGeomSectionProperties",
       "The section has no shapes: add shapes to the sub-section \"root\" before computing its properties. (error 1)"},
      {"xscn.AddRectangle \"root\",\"R\",1,2,0,0,0,0,0,1",
       "Origin and Direction must be two different point numbers from 0 to 3 (origin 0 and direction 0 given). "
       "(error 1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const JournalRunResult r = run(std::string(c.line) + "\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.description, c.description);
  }
}

// The refusals that named a wrong cause now say the real one.
TEST_F(MacroRun, RefusalsNameTheirRealCause) {
  solid(root(), L"a", 0, 0, 4, 1);
  solid(root(), L"b", 0, 1, 1, 4);
  const struct {
    const char* line;
    const char* description;  // the start of it
  } cases[] = {
      {"xscn.AddRectangle \"root\",\"R\",1e300,1,0,0,0,1,0,1",
       "Lengths and coordinates must lie between -1e+50 and 1e+50 (1e+300 given). (error 1)"},
      {"xscn.AddDisk \"root\",\"D\",1,0,-2e60,1",
       "Lengths and coordinates must lie between -1e+50 and 1e+50 (-2e+60 given). (error 1)"},
      // The flange is 4.5 wide, its right part 4 and the web 1 thick.
      {"xscn.AddExtrudedT \"root\",\"T\",10,1,4,1.2,4.5,1.2,0.5,0.5,90,0,1,0,0,0,0",
       "totalFlangeLength must exceed rightFlangeLength plus the web thickness across the flange "
       "(webThickness / sin(flangeAngle)); it is 0.5 too short. (error 1)"},
      {"xscn.AddIBeam \"root\",\"I\",20,1,0,1.5,0.75,1.5,0,0,90,5,1.5,10,1.5,0,0,90,0,1,0,0,0,0,0",
       "lowerFlangeLength must exceed lowerLeftFlangeLength plus the web thickness across the lower flange "
       "(webThickness / sin(lowerAngle)); it is 0.25 too short. (error 1)"},
      {"xscn.ApplyMaterialToAll \"root\",\"Al\"",
       "No material database is connected: CreateDatabase or ConnectDatabase first"},
      {"xscn.MeshSubSection \"root\",TRIANGLE_3NODES,20,0.1,0",
       "The sub-section's shapes are not united: unite the shapes with Union before meshing them together."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const JournalRunResult r = run(std::string(c.line) + "\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.description.rfind(c.description, 0), 0u) << r.description;
  }
  EXPECT_EQ(model()->findShape(CString(L"R")), nullptr);
  EXPECT_TRUE(root()->meshes.empty());
}

TEST_F(MacroRun, OutputArgumentsReceiveTheExtremeStresses) {
  solid(root(), L"plate", 0, 0, 4, 2);
  // A moment of 8 about x on a 4 x 2 rectangle: I = 4 x 2^3 / 12 = 8/3,
  // so the fibres at 1 from the axis carry 8 x 1 / (8/3) = 3.
  const JournalRunResult r = run(
      "xscn.MeshShape \"plate\",triangle_3nodes,5,0.01,0.5\n"
      "xscn.ApplyUnrestrainedBendingForces \"root\",\"bend\",0,8,0,1\n"
      "xscn.ExtremeValues QHT_STRESSZZ, mx, mn\n");
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.description;
  const double mx = interpreter->Variable(L"mx").dblVal, mn = interpreter->Variable(L"MN").dblVal;
  EXPECT_NEAR(mx, 3.0, 1e-6);
  EXPECT_NEAR(mn, -3.0, 1e-6);
  EXPECT_NE(out.str().find("mx = " + JournalValueText(COleVariant(mx)) + "\nmn = "), std::string::npos) << out.str();

  // Every output parameter works so, the shape object's too: point 3 of the
  // 4 x 2 plate (counted from 1) is its corner (4, 2).
  const JournalRunResult point = run("Set s = xscn.FindShape(\"plate\")\ns.PointCoord 3, px, py\n");
  ASSERT_TRUE(point.ok) << point.description;
  EXPECT_DOUBLE_EQ(interpreter->Variable(L"px").dblVal, 4.0);
  EXPECT_DOUBLE_EQ(interpreter->Variable(L"py").dblVal, 2.0);
}

TEST_F(MacroRun, ValuesPrintToFullPrecision) {
  const JournalRunResult r = run(
      "x = 0.1\n"
      "xscn.AddRectangle \"root\",\"R\",0.33333333333333331,1,0,0,0,1,0,1\n"
      "xscn.ComputeGeomSectionProperties\n"
      "a = xscn.GetValue(SA_Area)\n");
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.description;
  const std::string printed = out.str();
  EXPECT_NE(printed.find("\nx = 0.1\n"), std::string::npos) << printed;
  const std::size_t at = printed.find("\na = 0");
  ASSERT_NE(at, std::string::npos) << printed;
  const std::string text = printed.substr(at + 5, printed.find('\n', at + 1) - at - 5);
  // The printed area reads back to the very double computed, a third to
  // within a few units in the last place: 16 or 17 significant digits.
  double back = 0;
  std::from_chars(text.data(), text.data() + text.size(), back);
  EXPECT_EQ(back, interpreter->Variable(L"a").dblVal);
  EXPECT_NEAR(back, 1.0 / 3.0, 1e-15);
  EXPECT_GE(text.size(), 18u) << text;  // "0." and at least 16 digits
}

}  // namespace test_macro_reference
