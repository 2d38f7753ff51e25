// Journal replay: the statements of the journal's language, dispatch by name
// and number of arguments on the objects variables hold, the first failure
// stopping the run, and replays on a real document (its own journal header,
// the unit system, local size controls handed to the next meshing).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/tests/test_plastic_support.h"
#include "drevoline/tests/test_union_support.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/view/HeadlessRun.h"
#include "test_document_support.h"

namespace {

using Kind = JournalStatement::Kind;
using VKind = JournalValue::Kind;

// ---- parsing ---------------------------------------------------------------

TEST(JournalSyntax, StatementForms) {
  const struct {
    const wchar_t* line;
    Kind kind;
    const wchar_t* target;  // Assign: the variable; Dim: the names joined by '|'
    bool set;
    const wchar_t* object;
    const wchar_t* member;
    std::size_t args;
  } cases[] = {
      {L"xscn.ClearAll", Kind::Call, L"", false, L"xscn", L"ClearAll", 0},
      {L"xscn.SetUnitSystem QHT_SI", Kind::Call, L"", false, L"xscn", L"SetUnitSystem", 1},
      {L"xscn.MeshShape \"R1\",TRIANGLE_3NODES, 20,0.25,0", Kind::Call, L"", false, L"xscn", L"MeshShape", 5},
      {L"xscn.TranslateShape(\"R1\",1,2)", Kind::Call, L"", false, L"xscn", L"TranslateShape", 3},
      {L"  xscn.TranslateShape (\"R1\", 1, 2)  ", Kind::Call, L"", false, L"xscn", L"TranslateShape", 3},
      {L"boxForce = xscn.BendingBoxForce( 0,0,1,2)", Kind::Assign, L"boxForce", false, L"xscn", L"BendingBoxForce", 4},
      {L"ShearStress=xscn.ShapeVQIb(\"LC1\",\"R1\",100,2)", Kind::Assign, L"ShearStress", false, L"xscn", L"ShapeVQIb", 4},
      {L"Set polygon = xscn.AddArbitraryShape ( \"P1\",1)", Kind::Assign, L"polygon", true, L"xscn",
       L"AddArbitraryShape", 2},
      {L"polygon.AddPoint 1.5,2", Kind::Call, L"", false, L"polygon", L"AddPoint", 2},
      {L"polygon.LinearFit \"root\"", Kind::Call, L"", false, L"polygon", L"LinearFit", 1},
      {L"Set polygon = Nothing", Kind::Assign, L"polygon", true, L"", L"", 0},
      {L"area = xscn.GetValue(SA_Area) ' the area", Kind::Assign, L"area", false, L"xscn", L"GetValue", 1},
      {L"Dim boxForce As Double, boxQ As Double", Kind::Dim, L"boxForce|boxQ", false, L"", L"", 0},
      {L"Dim polygon As Quenholt.ArbitraryShape", Kind::Dim, L"polygon", false, L"", L"", 0},
      {L"Dim a, b", Kind::Dim, L"a|b", false, L"", L"", 0},
      // The journal's header and epilogue, blank lines and comments.
      {L"", Kind::None, L"", false, L"", L"", 0},
      {L"   \r", Kind::None, L"", false, L"", L"", 0},
      {L"'******", Kind::None, L"", false, L"", L"", 0},
      {L"Option Explicit", Kind::None, L"", false, L"", L"", 0},
      {L"Sub QuenholtLog", Kind::None, L"", false, L"", L"", 0},
      {L"On Error GoTo ErrHandler", Kind::None, L"", false, L"", L"", 0},
      {L"  If(obj.progID = \"Quenholt.LorimantDocument\") Then", Kind::None, L"", false, L"", L"", 0},
      {L"    Set xscn = obj.Object", Kind::None, L"", false, L"", L"", 0},
      {L"Next obj", Kind::None, L"", false, L"", L"", 0},
      {L"Exit Sub", Kind::End, L"", false, L"", L"", 0},
      {L"ErrHandler:", Kind::End, L"", false, L"", L"", 0},
      {L"End Sub\r", Kind::End, L"", false, L"", L"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(wideToUtf8(c.line));
    const JournalStatement s = ParseJournalStatement(c.line);
    ASSERT_EQ(s.kind, c.kind);
    if (c.kind == Kind::Dim) {
      CString joined;
      for (const CString& n : s.names) joined += (joined.IsEmpty() ? L"" : L"|") + n;
      EXPECT_EQ(joined, CString(c.target));
      continue;
    }
    if (c.kind == Kind::Assign) {
      EXPECT_EQ(s.target, CString(c.target));
    }
    EXPECT_EQ(s.set, c.set);
    EXPECT_EQ(s.call.object, CString(c.object));
    EXPECT_EQ(s.call.member, CString(c.member));
    EXPECT_EQ(s.call.args.size(), c.args);
  }
}

TEST(JournalSyntax, LiteralValues) {
  const JournalStatement s =
      ParseJournalStatement(L"xscn.M \"say \"\"hi\"\"\",-1.5e-05,+3,.5,True,false,Nothing,QHT_STRESSZZ,\"\"");
  ASSERT_EQ(s.call.args.size(), 9u);
  const auto& a = s.call.args;
  EXPECT_EQ(a[0].kind, VKind::Text);
  EXPECT_EQ(a[0].text, L"say \"hi\"");
  EXPECT_EQ(a[1].kind, VKind::Number);
  EXPECT_DOUBLE_EQ(a[1].number, -1.5e-05);
  EXPECT_FALSE(a[1].integer);
  EXPECT_DOUBLE_EQ(a[2].number, 3.0);
  EXPECT_TRUE(a[2].integer);
  EXPECT_DOUBLE_EQ(a[3].number, 0.5);
  EXPECT_EQ(a[4].kind, VKind::Boolean);
  EXPECT_TRUE(a[4].flag);
  EXPECT_FALSE(a[5].flag);
  EXPECT_EQ(a[6].kind, VKind::Nothing);
  EXPECT_EQ(a[7].kind, VKind::Name);
  EXPECT_EQ(a[7].text, L"QHT_STRESSZZ");
  EXPECT_EQ(a[8].kind, VKind::Text);
  EXPECT_TRUE(a[8].text.IsEmpty());
}

TEST(JournalSyntax, RefusedLines) {
  for (const wchar_t* line : {L"xscn.M \"open", L"= 3", L"xscn.", L"xscn.M 1 2", L"Dim", L"Dim a As", L"Set = x",
                              L"xscn.M (1,2) 3", L"xscn.M 1,", L"xscn.M 12abc", L"xscn.M #1", L"MsgBox \"x\"",
                              L"xscn.M -\"a\"", L"Set v"}) {
    SCOPED_TRACE(wideToUtf8(line));
    EXPECT_THROW(ParseJournalStatement(line), JournalSyntaxError);
  }
}

// ---- running, on stand-in objects -------------------------------------------

// A shape object: records its calls.
struct FakeShape {
  std::vector<std::string>* calls;
};

void shapeCall(FakeShape& s, DispatchCall& call) {
  std::string text = wideToUtf8(call.member);
  for (const auto& a : call.args) text += " " + JournalValueText(a);
  s.calls->push_back(text);
}

const CDispatchTable<FakeShape>& shapeTable() {
  static const CDispatchTable<FakeShape> table({
      {L"AddPoint", 1, {VT_R8, VT_R8}, VT_EMPTY, shapeCall},
      {L"LinearFit", 2, {VT_BSTR}, VT_EMPTY, shapeCall},
  });
  return table;
}

// A document: records its calls, hands out shapes, refuses "Fail".
struct FakeDoc {
  std::vector<std::string> calls;
};

void docCall(FakeDoc& d, DispatchCall& call) {
  FakeShape shape{&d.calls};
  shapeCall(shape, call);
}

const CDispatchTable<FakeDoc>& docTable() {
  static const CDispatchTable<FakeDoc> table({
      {L"AddArbitraryShape", 6, {VT_BSTR, VT_I2}, VT_DISPATCH,
       [](FakeDoc& d, DispatchCall& call) {
         docCall(d, call);
         auto shape = std::make_shared<FakeShape>(FakeShape{&d.calls});
         call.result = COleVariant::FromObject(std::shared_ptr<IAutomationObject>(
             std::make_shared<DispatchTableObject<FakeShape>>(L"ArbitraryShape", shapeTable(), shape)));
       }},
      {L"GetValue", 14, {VT_I2}, VT_R8, [](FakeDoc& d, DispatchCall& call) {
         docCall(d, call);
         call.result = COleVariant(29.41460);
       }},
      {L"SetUnitsystem", 110, {VT_I2}, VT_EMPTY, docCall},
      {L"ShapeVQIb", 111, {VT_BSTR, VT_R8, VT_R8}, VT_R8, [](FakeDoc& d, DispatchCall& call) {
         docCall(d, call);
         call.result = COleVariant(12.5);
       }},
      {L"Fail", 120, {}, VT_EMPTY, [](FakeDoc&, DispatchCall&) {
         AfxThrowOleDispatchException(1001, L"Group not found.");
       }},
  });
  return table;
}

struct JournalRun : ::testing::Test {
  FakeDoc doc;
  std::ostringstream out;
  JournalInterpreter interpreter{std::make_shared<DispatchTableObject<FakeDoc>>(
                                     L"LorimantDocument", docTable(), DispatchTableObject<FakeDoc>::Unowned(doc)),
                                 out};

  JournalRunResult run(const std::string& macro) {
    std::istringstream in(macro);
    return interpreter.Run(in);
  }
};

TEST_F(JournalRun, PolygonBlockDispatchesOnTheReturnedObject) {
  const auto r = run(
      "\xEF\xBB\xBFxscn.SetUnitSystem QHT_USCS\r\n"
      "Dim polygon As Quenholt.ArbitraryShape\r\n"
      "Set polygon = xscn.AddArbitraryShape ( \"P1\",1)\r\n"
      "polygon.AddPoint 0,0\r\n"
      "polygon.AddPoint 1.5,-2\r\n"
      "polygon.LinearFit \"root\"\r\n"
      "Set polygon = Nothing\r\n"
      "Dim area As Double\r\n"
      "area = xscn.GetValue(SA_Area)\r\n"
      "Dim ShearStress As Double\r\n"
      "ShearStress=xscn.ShapeVQIb(\"LC1\",\"R1\",100,2)\r\n"
      "Exit Sub\r\n"
      "xscn.Fail\r\n");
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.description;
  EXPECT_EQ(r.ExitStatus(), 0);
  // Enumeration names become their values; the four-argument ShapeVQIb of
  // the type library reaches the dispatch form without the load-case name.
  EXPECT_EQ(doc.calls, (std::vector<std::string>{"SetUnitsystem 1", "AddArbitraryShape \"P1\" 1", "AddPoint 0 0",
                                                  "AddPoint 1.5 -2", "LinearFit \"root\"", "GetValue 1",
                                                  "ShapeVQIb \"R1\" 100 2"}));
  EXPECT_EQ(interpreter.Variable(L"POLYGON").vt, VT_EMPTY);
  EXPECT_DOUBLE_EQ(interpreter.Variable(L"area").dblVal, 29.4146);
  const std::string printed = out.str();
  for (const char* expected : {"xscn.SetUnitSystem QHT_USCS\n", "Set polygon = xscn.AddArbitraryShape ( \"P1\",1)\n",
                               "polygon = (ArbitraryShape)\n", "polygon = Nothing\n", "area = 29.4146\n",
                               "ShearStress = 12.5\n"})
    EXPECT_NE(printed.find(expected), std::string::npos) << expected << " in\n" << printed;
  EXPECT_EQ(printed.find("Dim"), std::string::npos);  // declarations are not statements that run
}

TEST_F(JournalRun, FirstFailureStopsWithLineAndDescription) {
  const struct {
    const char* line;
    const char* description;  // a part of the description
  } cases[] = {
      {"xscn.Fail", "Group not found. (error 1001)"},
      {"xscn.Missing 1", "LorimantDocument has no method Missing."},
      {"xscn.GetValue 1,2", "GetValue takes 1 argument (valueID), 2 given."},
      {"xscn.GetValue \"many\"", "Type mismatch in argument 1 (valueID, Integer) of GetValue: \"many\" given."},
      {"xscn.GetValue 70000", "Overflow in argument 1 (valueID, Integer) of GetValue: 70000 given."},
      {"xscn.GetValue NoSuchName", "Variable not defined: NoSuchName."},
      {"shape.AddPoint 1,2", "Variable not defined: shape."},
      {"xscn.SetUnitSystem QHT_SI oops", "Unexpected text after the statement."},
      {"Set v = xscn.GetValue(1)", "Object required"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    doc.calls.clear();
    const auto r = run(std::string("Dim v\n\nxscn.SetUnitSystem QHT_SI\n") + c.line + "\r\nxscn.SetUnitSystem 1\n");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.ExitStatus(), 0);
    EXPECT_EQ(r.lineNumber, 4);
    EXPECT_EQ(r.line, c.line);
    EXPECT_NE(r.description.find(c.description), std::string::npos) << r.description;
    EXPECT_EQ(std::count(doc.calls.begin(), doc.calls.end(), "SetUnitsystem 1"), 0) << "ran past the failure";
  }
}

TEST_F(JournalRun, ReleasedObjectVariableRefusesCalls) {
  const auto r = run("Set xscn = Nothing\nxscn.GetValue 1\n");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.lineNumber, 2);
  EXPECT_EQ(r.description, "Object variable xscn is not set.");
}

// ---- running on a real document ---------------------------------------------

using document_test::DocumentTest;

class JournalReplay : public DocumentTest {
 protected:
  // The header the program's own journal starts with.
  std::string realHeader() {
    { CXSectionAnalysisDoc writer; }
    const auto files = journals();
    EXPECT_EQ(files.size(), 1u);
    const auto text = lines(files.at(0));
    std::string header;
    for (std::size_t i = 0; i < 16 && i < text.size(); ++i) header += text[i] + "\r\n";
    return header;
  }
  static std::string epilogue() {
    return "Set xscn = Nothing\r\nExit Sub\r\nErrHandler:\r\n\tMsgBox err.Description\r\n\tSet xscn = Nothing\r\n"
           "End Sub\r\n";
  }
  JournalRunResult replay(CXSectionAnalysisDoc& doc, const std::string& macro) {
    std::istringstream in(macro);
    std::ostringstream out;
    JournalInterpreter interpreter(DocumentAutomationObject(doc), out);
    return interpreter.Run(in);
  }
};

TEST_F(JournalReplay, RealHeaderAndEpilogueReplay) {
  const std::string header = realHeader();
  ASSERT_NE(header.find("xscn.ClearAll"), std::string::npos);
  CXSectionAnalysisDoc doc;
  doc.hidden = true;
  ASSERT_TRUE(doc.OnNewDocument());
  const auto r = replay(doc, header + "xscn.SetUnitSystem QHT_SI\r\nDim group As String\r\n"
                                      "group = xscn.GroupCurrent\r\n" + epilogue());
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line << ": " << r.description;
  // A new document takes the unit system, as the unit question that wrote
  // the line gave it; later calls publish it again.
  EXPECT_EQ(doc.unitSystem(), 0);
  EXPECT_EQ(gUnitSystem, SI);
  EXPECT_EQ(doc.model()->currentName, L"root");
}

TEST_F(JournalReplay, RefusedLineStopsTheReplay) {
  const std::string header = realHeader();
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  const auto r = replay(doc, header + "xscn.SetUnitSystem QHT_SI\r\nxscn.SetUnitSystem 7\r\n"
                                      "xscn.SetUnitSystem QHT_USCS\r\n" + epilogue());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.lineNumber, 18);
  EXPECT_EQ(r.line, "xscn.SetUnitSystem 7");
  EXPECT_EQ(r.description, "The unit system must be QHT_SI or QHT_USCS. (error 1)");
  EXPECT_EQ(gUnitSystem, SI);
}

TEST_F(JournalReplay, MembersTheProgramJournalsAreAccepted) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  // A section without a material has nothing to solve.
  const auto r = replay(doc, "xscn.ComputeCozzoneUnsymmetricMethod 0.5,0.002\r\n");
  EXPECT_EQ(r.description, "Section not composed of single material, or material doesn't exist (error 1)");
  EXPECT_EQ(replay(doc, "xscn.AddLocalSizeControl \"nothing\",1,1,0.1,1\r\n").description,
            "Object not found (error 1001)");
}

// The number of mesh vertices within radius of (x, y).
int verticesNear(const CMesh& m, double x, double y, double radius) {
  int count = 0;
  for (int i = 0; i < m.nNodes; ++i)
    count += std::hypot(m.vertices[i].x - x, m.vertices[i].y - y) <= radius;
  return count;
}

TEST_F(JournalReplay, LocalSizeControlRefinesTheNextMeshOfItsShape) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  CXSectionAnalysis& model = *doc.model();
  auto metal = std::make_shared<CMetal>();
  metal->name = L"steel";
  auto* shape = new CShapeAnalysis(union_test::polylineRectangle(0, 0, 10, 5).release());
  shape->name(L"R1");
  shape->material(metal);
  model.addShapeToLists(model.rootSubSection(), shape);

  auto meshOnce = [&]() {
    model.rootSubSection()->meshShape(shape, TRNG3, 20, 0, 1.0, 100000, 0);
    return model.rootSubSection()->meshes.back();
  };
  const CMesh* plain = meshOnce();
  // A size or radius of zero would ask for endless refinement.
  for (const char* refused : {"xscn.AddLocalSizeControl \"R1\",2,2,0,1\r\n", "xscn.AddLocalSizeControl \"R1\",2,2,0.1,-1\r\n"})
    EXPECT_EQ(replay(doc, refused).description, "The element size and the radius must be positive. (error 1)");
  EXPECT_TRUE(model.pendingSizeControls(L"R1").empty());
  const auto r = replay(doc, "xscn.AddLocalSizeControl \"R1\",2,2,0.1,1\r\n");
  ASSERT_TRUE(r.ok) << r.description;
  const CMesh* refined = meshOnce();
  ASSERT_EQ(refined->sizeControls.size(), 1u);
  EXPECT_EQ(refined->sizeControls[0].x, 2.0);
  EXPECT_EQ(refined->sizeControls[0].size, 0.1);
  EXPECT_EQ(refined->sizeControls[0].radius, 1.0);
  EXPECT_GT(refined->trng3Elements.size(), plain->trng3Elements.size());
  // The refinement is spent near the point: many more vertices within the
  // control's radius than the plain mesh has there.
  EXPECT_GT(verticesNear(*refined, 2, 2, 1), verticesNear(*plain, 2, 2, 1) + 10);
  // The control served that meshing; the next one is plain again.
  EXPECT_TRUE(meshOnce()->sizeControls.empty());
  // The replayed call is journalled as the view writes it.
  const auto text = lines(journals().at(0));
  EXPECT_NE(std::find(text.begin(), text.end(), "xscn.AddLocalSizeControl \"R1\",2,2,0.1,1"), text.end());
}

}  // namespace

TEST_F(JournalReplay, ShapeObjectsTheDocumentHandsOutTakeCalls) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  CXSectionAnalysis& model = *doc.model();
  auto* shape = new CShapeAnalysis(union_test::polylineRectangle(0, 0, 4, 2).release());
  shape->name(L"R1");
  model.addShapeToLists(model.rootSubSection(), shape);
  const auto r = replay(doc, "Set s = xscn.FindShape(\"R1\")\r\nname = s.Name\r\nSet s = Nothing\r\n");
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line << ": " << r.description;
}

TEST_F(JournalReplay, UnsymmetricCozzoneLineSolvesTheMeshedRectangle) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  CXSectionAnalysis& model = *doc.model();
  // One metal: E 10000, yield 50, ultimate 60, offset 0.002, exponent 10.
  auto metal = plastic_test::uniformMetal(10000, 50, 60, 0.002, 10);
  metal->maxCompressionStrain = 0.05;
  auto* shape = new CShapeAnalysis(union_test::polylineRectangle(0, 0, 10, 5).release());
  shape->name(L"R1");
  shape->material(metal);
  model.addShapeToLists(model.rootSubSection(), shape);
  CSubSection* root = model.rootSubSection();
  root->meshShape(shape, TRNG3, 5000, 0, 0.5, 100000, 0);
  plastic_test::refineTriangles(*root->meshes.back(), 0.3);
  ASSERT_TRUE(root->forceRecalcProperties());

  const auto r = replay(doc, "xscn.ComputeCozzoneUnsymmetricMethod 2.5,0.01\r\n");
  ASSERT_TRUE(r.ok) << r.description;
  // Axis at mid-depth: k = 1.5 from the two halves, M = (s + fo / 2) b h^2 / 6.
  const double s = root->solveRambergOsgoodForStress(metal.get(), 0.01, true, true);
  const double fo = root->foTanabe(s, true);
  EXPECT_NEAR(root->cozzoneMoment, (s + 0.5 * fo) * 10 * 25 / 6.0, 2e-3 * 2886.4);
  ASSERT_NE(root->findLoadCondition(L"Cozzone"), nullptr);
}

namespace fs = std::filesystem;

// The geometric properties GetValue gives for the document's current sub-section.
std::vector<double> geometricValues(CXSectionAnalysisDoc& doc) {
  std::vector<double> values;
  for (int id : {1, 2, 3, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 29})
    values.push_back(ILorimant::GetValue(doc, id));
  return values;
}

TEST_F(JournalReplay, TheDemosJournalReplaysToTheSameSection) {
  const fs::path run = root_ / "run";
  fs::create_directories(run);
  const fs::path saved = fs::current_path();
  fs::current_path(run);  // the demo names its files relative to the current folder
  // The test data folder is <source>/lorimant/tests/data (it need not exist).
  const fs::path source = fs::path(LORIMANT_TEST_DATA).parent_path().parent_path().parent_path();
  std::ifstream demo(source / "examples" / "demo.bas", std::ios::binary);
  ASSERT_TRUE(demo.good());
  std::ostringstream out;
  std::string journal;
  std::vector<double> built;
  const auto r = RunMacroHeadless(demo, out, &journal, [&](CXSectionAnalysisDoc& doc) { built = geometricValues(doc); });
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line << ": " << r.description;
  for (const char* file : {"demo.xml", "demo.igs", "demo.qhscn"}) EXPECT_TRUE(fs::exists(run / file)) << file;

  // Read whole before the replay: its document, opened within the same
  // second, takes the same journal name and truncates the file.
  std::ifstream file(journal, std::ios::binary);
  std::stringstream written;
  written << file.rdbuf();
  std::vector<double> replayed;
  const auto again =
      RunMacroHeadless(written, out, nullptr, [&](CXSectionAnalysisDoc& doc) { replayed = geometricValues(doc); });
  // The saved document opens to the same section.
  std::istringstream open("xscn.FileOpen \"demo.qhscn\"\r\nxscn.ComputeGeomSectionProperties\r\n");
  std::vector<double> reopened;
  const auto opened =
      RunMacroHeadless(open, out, nullptr, [&](CXSectionAnalysisDoc& doc) { reopened = geometricValues(doc); });
  fs::current_path(saved);
  ASSERT_TRUE(opened.ok) << opened.description;
  ASSERT_EQ(reopened.size(), built.size());
  for (std::size_t i = 0; i < built.size(); ++i)
    EXPECT_NEAR(reopened[i], built[i], 5e-6 * std::max(1.0, std::fabs(built[i]))) << "value " << i;
  ASSERT_TRUE(again.ok) << again.lineNumber << ": " << again.line << ": " << again.description;
  ASSERT_EQ(replayed.size(), built.size());
  EXPECT_GT(built[0], 0.0);
  for (std::size_t i = 0; i < built.size(); ++i)
    EXPECT_NEAR(replayed[i], built[i], 5e-6 * std::max(1.0, std::fabs(built[i]))) << "value " << i;
}
