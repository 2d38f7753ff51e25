// The automation methods that edit shapes and sub-sections, the transforms
// of a name, and the arbitrary-shape object, also replayed from a journal.
#include <cmath>
#include <sstream>

#include "lorimant/automation/CArbitraryShape.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "test_automation_objects_support.h"

using namespace automation_test;

namespace {


class AutomationShapeEdits : public AutomationObjectsTest {
 protected:
  void SetUp() override {
    AutomationObjectsTest::SetUp();
    group = subSection(root(), L"G");
    web = rectangle(group, L"web", 1, 3, 10, 0);
    r1 = rectangle(root(), L"R1", 4, 2);
  }
  std::vector<std::string> linesWith(const char* text) {
    std::vector<std::string> out;
    for (const std::string& l : journalLines())
      if (l.find(text) != std::string::npos) out.push_back(l);
    return out;
  }
  Point<double> mid(const wchar_t* name) {
    Point<double> p;
    doc->model()->findShape(name)->midPt(&p);
    return p;
  }
  CSubSection* group = nullptr;
  CShapeAnalysis* web = nullptr;
  CShapeAnalysis* r1 = nullptr;
};

}  // namespace

TEST_F(AutomationShapeEdits, GroupDeleteRefusesTheCurrentAndRoot) {
  for (const wchar_t* name : {L"root", L"G"}) {
    if (CString(name) == L"G") {
      ASSERT_EQ(invoke(L"SetCurrentSubSection", {T(L"G")}), S_OK);
    }
    expectRefused(invoke(L"GroupDelete", {T(name)}), 1001,
                  L"Cannot delete the current group or root group. Change current first");
  }
  ASSERT_EQ(invoke(L"SetCurrentSubSection", {T(L"root")}), S_OK);
  ASSERT_EQ(invoke(L"GroupDelete", {T(L"G")}), S_OK);
  EXPECT_EQ(doc->model()->findSubSection(L"G"), nullptr);
  EXPECT_EQ(doc->model()->findShape(L"web"), nullptr);
  EXPECT_NE(doc->model()->findShape(L"R1"), nullptr);
}

TEST_F(AutomationShapeEdits, AGroupHoldingTheRootIsNotDeleted) {
  // G2 heads a tree of its own; the root is moved under it, and the current
  // sub-section is another group outside both.
  ASSERT_EQ(invoke(L"GroupMirrorDuplicate", {T(L"G"), T(L"G2"), R(0), R(0), R(1), R(0)}), S_OK);
  subSection(root(), L"E");
  ASSERT_EQ(invoke(L"GroupMirrorDuplicate", {T(L"E"), T(L"G3"), R(0), R(0), R(1), R(0)}), S_OK);
  ASSERT_EQ(invoke(L"ChangeSubSectionParent", {T(L"root"), T(L"G2")}), S_OK);
  ASSERT_EQ(invoke(L"SetCurrentSubSection", {T(L"G3")}), S_OK);
  for (const wchar_t* method : {L"GroupDelete", L"DeleteSubSection"})
    expectRefused(invoke(method, {T(L"G2")}), 1001,
                  L"Cannot delete the current group or root group. Change current first");
  EXPECT_NE(doc->model()->rootSubSection(), nullptr);
  EXPECT_EQ(doc->model()->findShape(L"web"), web);
}

TEST_F(AutomationShapeEdits, DeleteShapeJournalsOnlyForASubSection) {
  ASSERT_EQ(invoke(L"DeleteShape", {T(L"R1")}), S_OK);
  EXPECT_EQ(doc->model()->findShape(L"R1"), nullptr);
  EXPECT_TRUE(linesWith("DeleteShape").empty());
  ASSERT_EQ(invoke(L"DeleteShape", {T(L"G")}), S_OK);
  EXPECT_EQ(doc->model()->findSubSection(L"G"), nullptr);
  EXPECT_EQ(doc->model()->findShape(L"web"), nullptr);
  // One line replays the deletion; the document's own line is held back.
  EXPECT_EQ(linesWith("xscn.Delete"), std::vector<std::string>{"xscn.DeleteShape \"G\""});
}

TEST_F(AutomationShapeEdits, SetCurrentSubSectionWithAnUnknownNameKeepsThePreviousOne) {
  ASSERT_EQ(invoke(L"SetCurrentSubSection", {T(L"G")}), S_OK);
  expectRefused(invoke(L"SetCurrentSubSection", {T(L"nowhere")}), 1, L"SubSection not found.");
  EXPECT_EQ(doc->model()->currentName, L"G");
}

TEST_F(AutomationShapeEdits, MirrorShapeTakesTheNormalOfTheMirrorLine) {
  // The line through the origin with normal (1, 0) is the y axis: x -> -x.
  ASSERT_EQ(invoke(L"MirrorShape", {T(L"R1"), R(0), R(0), R(1), R(0)}), S_OK);
  EXPECT_NEAR(mid(L"R1").x, -2.0, 1e-9);
  EXPECT_NEAR(mid(L"R1").y, 1.0, 1e-9);
  EXPECT_NEAR(r1->area(), 8.0, 1e-9);
  // A sub-section name mirrors every shape of it.
  ASSERT_EQ(invoke(L"MirrorShape", {T(L"G"), R(0), R(0), R(0), R(1)}), S_OK);
  EXPECT_NEAR(mid(L"web").x, 10.5, 1e-9);
  EXPECT_NEAR(mid(L"web").y, -1.5, 1e-9);
}

TEST_F(AutomationShapeEdits, TransformsOfANameMoveTheShapeOrTheSubSection) {
  ASSERT_EQ(invoke(L"TranslateShape", {T(L"R1"), R(1), R(-1)}), S_OK);
  EXPECT_NEAR(mid(L"R1").x, 3.0, 1e-9);
  EXPECT_NEAR(mid(L"R1").y, 0.0, 1e-9);
  ASSERT_EQ(invoke(L"RotateShape", {T(L"G"), R(10), R(0), R(90)}), S_OK);
  EXPECT_NEAR(mid(L"web").x, 10 - 1.5, 1e-9);
  EXPECT_NEAR(mid(L"web").y, 0.5, 1e-9);
}

TEST_F(AutomationShapeEdits, WholeSubSectionTransformsJournalOneLineEach) {
  ASSERT_EQ(invoke(L"TranslateAll", {R(1), R(2)}), S_OK);
  EXPECT_NEAR(mid(L"R1").x, 3.0, 1e-9);
  EXPECT_NEAR(mid(L"web").y, 3.5, 1e-9);
  ASSERT_EQ(invoke(L"RotateAll", {R(0), R(0), R(180)}), S_OK);
  EXPECT_NEAR(mid(L"R1").x, -3.0, 1e-9);
  EXPECT_NEAR(mid(L"R1").y, -3.0, 1e-9);
  EXPECT_EQ(linesWith("All "), (std::vector<std::string>{"xscn.TranslateAll 1,2", "xscn.RotateAll 0,0,180"}));
}

TEST_F(AutomationShapeEdits, UnknownNamesAreRefusedAndChangeNothing) {
  const Point<double> before = mid(L"R1");
  const int shapes = doc->model()->shapes.GetCount();
  const std::vector<std::pair<const wchar_t*, std::vector<COleVariant>>> calls = {
      {L"MirrorShape", {T(L"zz"), R(0), R(0), R(1), R(0)}},
      {L"RotateShape", {T(L"zz"), R(0), R(0), R(90)}},
      {L"TranslateShape", {T(L"zz"), R(1), R(1)}},
      {L"MirrorDuplicate", {T(L"zz"), T(L"c"), R(0), R(0), R(1), R(0)}},
      {L"ChangeSign", {T(L"zz"), T(L"R1")}},
      {L"ChangeSign", {T(L"root"), T(L"zz")}},
      {L"AddPoint", {T(L"zz"), R(1), R(1)}},
      {L"GroupAdd", {T(L"zz"), T(L"R1"), COleVariant::FromBool(true)}},
      {L"GroupAdd", {T(L"G"), T(L"zz"), COleVariant::FromBool(true)}},
      {L"GroupRemove", {T(L"zz"), T(L"R1")}},
      {L"DeleteShape", {T(L"zz")}},
      {L"SelectShape", {T(L"zz")}},
      {L"GroupMirrorDuplicate", {T(L"zz"), T(L"G9"), R(0), R(0), R(1), R(0)}},
  };
  for (const auto& [name, args] : calls) {
    EXPECT_EQ(invoke(name, args), DISP_E_EXCEPTION) << name;
    EXPECT_EQ(excep.wCode, 1) << name;
  }
  EXPECT_EQ(doc->model()->shapes.GetCount(), shapes);
  EXPECT_EQ(doc->model()->findSubSection(L"G9"), nullptr);
  EXPECT_NEAR(mid(L"R1").x, before.x, 1e-12);
  EXPECT_FALSE(r1->isNegative());
  EXPECT_EQ(group->findShape(L"R1"), nullptr);
}

TEST_F(AutomationShapeEdits, RotateDuplicateOfAGroupNamesItsCopiesRotated) {
  ASSERT_EQ(invoke(L"RotateDuplicateShape", {T(L"G"), T(L"ignored"), R(0), R(0), R(90)}), S_OK);
  CShapeAnalysis* copy = root()->findShape(L"G_Rotated");
  ASSERT_NE(copy, nullptr);
  EXPECT_NEAR(copy->area(), 3.0, 1e-9);
  EXPECT_EQ(doc->model()->findShape(L"ignored"), nullptr);
  // A shape of the current sub-section is copied under the new name.
  ASSERT_EQ(invoke(L"RotateDuplicateShape", {T(L"R1"), T(L"R2"), R(0), R(0), R(180)}), S_OK);
  ASSERT_NE(root()->findShape(L"R2"), nullptr);
  EXPECT_NEAR(mid(L"R2").x, -2.0, 1e-9);
  expectRefused(invoke(L"RotateDuplicateShape", {T(L"zz"), T(L"n"), R(0), R(0), R(90)}), 1001,
                L"Object doesn't exist");
}

TEST_F(AutomationShapeEdits, DuplicatesOfAShapeAreCopiesUnderTheNewName) {
  const Point<double> r1 = mid(L"R1");
  // The mirror line through the origin with normal (1, 0) maps x to -x; the
  // original stays where it was (a replayed MirrorDuplicate line makes the copy).
  ASSERT_EQ(invoke(L"MirrorDuplicate", {T(L"R1"), T(L"M1"), R(0), R(0), R(1), R(0)}), S_OK);
  ASSERT_NE(doc->model()->findShape(L"M1"), nullptr);
  EXPECT_NEAR(mid(L"M1").x, -r1.x, 1e-9);
  EXPECT_NEAR(mid(L"R1").x, r1.x, 1e-12);
  ASSERT_EQ(invoke(L"TranslateDuplicateShape", {T(L"R1"), T(L"T1"), R(1), R(2)}), S_OK);
  ASSERT_NE(root()->findShape(L"T1"), nullptr);
  EXPECT_NEAR(mid(L"T1").x, r1.x + 1, 1e-9);
  EXPECT_NEAR(mid(L"T1").y, r1.y + 2, 1e-9);
  EXPECT_NEAR(mid(L"R1").y, r1.y, 1e-12);
  expectRefused(invoke(L"TranslateDuplicateShape", {T(L"R1"), T(L"T1"), R(1), R(2)}), 2,
                L"Object with that name already exists.");
  expectRefused(invoke(L"MirrorDuplicate", {T(L"R1"), T(L"M1"), R(0), R(0), R(1), R(0)}), 2,
                L"Object with that name already exists.");
  expectRefused(invoke(L"TranslateDuplicateShape", {T(L"zz"), T(L"T2"), R(1), R(2)}), 1, L"Object doesn't exist");
}

TEST_F(AutomationShapeEdits, GroupMirrorDuplicateJournalsEachCopyAsAMirrorDuplicate) {
  ASSERT_EQ(invoke(L"GroupMirrorDuplicate", {T(L"G"), T(L"G2"), R(0), R(0), R(1), R(0)}), S_OK);
  CShapeAnalysis* copy = doc->model()->findShape(L"web_G2");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(root()->findShape(L"web_G2"), copy);
  const CSubSection* g2 = doc->model()->findSubSection(L"G2");
  ASSERT_NE(g2, nullptr);
  EXPECT_EQ(g2->findShape(L"web_G2"), copy);
  EXPECT_NEAR(mid(L"web_G2").x, -10.5, 1e-9);
  EXPECT_EQ(linesWith("MirrorDuplicate"), std::vector<std::string>{"xscn.MirrorDuplicate \"web\",\"web_G2\",0,0,1,0"});
  // An empty source gives an empty group and no line.
  subSection(root(), L"E");
  ASSERT_EQ(invoke(L"GroupMirrorDuplicate", {T(L"E"), T(L"G3"), R(0), R(0), R(1), R(0)}), S_OK);
  EXPECT_NE(doc->model()->findSubSection(L"G3"), nullptr);
  EXPECT_EQ(linesWith("MirrorDuplicate").size(), 1u);
}

TEST_F(AutomationShapeEdits, CreateSubSectionJournalsAndRefusesAMissingParent) {
  ASSERT_EQ(invoke(L"CreateSubSection", {T(L"S1"), T(L"G")}), S_OK);
  const CSubSection* s1 = doc->model()->findSubSection(L"S1");
  ASSERT_NE(s1, nullptr);
  EXPECT_EQ(s1->parent(), group);
  EXPECT_EQ(linesWith("CreateSubSection"), std::vector<std::string>{"xscn.CreateSubSection \"S1\",\"G\""});
  expectRefused(invoke(L"CreateSubSection", {T(L"S2"), T(L"nowhere")}), 1, L"Parent does not exist: nowhere");
  EXPECT_EQ(invoke(L"CreateSubSection", {T(L"S1"), T(L"root")}), DISP_E_EXCEPTION);
  EXPECT_EQ(linesWith("CreateSubSection").size(), 1u);
}

TEST_F(AutomationShapeEdits, ChangeSignGroupAddAndRename) {
  ASSERT_EQ(invoke(L"ChangeSign", {T(L"root"), T(L"R1")}), S_OK);
  EXPECT_TRUE(r1->isNegative());
  ASSERT_EQ(invoke(L"GroupAdd", {T(L"G"), T(L"R1"), COleVariant::FromBool(true)}), S_OK);
  EXPECT_EQ(group->findShape(L"R1"), r1);
  EXPECT_EQ(root()->findShape(L"R1"), nullptr);
  ASSERT_EQ(invoke(L"RenameShape", {T(L"R1"), T(L"R9")}), S_OK);
  EXPECT_EQ(doc->model()->findShape(L"R9"), r1);
  ASSERT_EQ(invoke(L"AddPoint", {T(L"G"), R(7), R(8)}), S_OK);
}

TEST_F(AutomationShapeEdits, CopiesAndTheTree) {
  // A sub-section of two shapes cannot be copied.
  rectangle(group, L"flange", 1, 1, 20, 0);
  expectRefused(invoke(L"CopyPasteSubSection", {T(L"root"), T(L"G"), T(L"G copy")}), 1,
                L"Subsection may have only one shape assocated with it");
  EXPECT_EQ(doc->model()->findSubSection(L"G copy"), nullptr);
  // One shape: the copy and its shape take the new name.
  CSubSection* single = subSection(root(), L"One");
  rectangle(single, L"only", 2, 2, 30, 0);
  ASSERT_EQ(invoke(L"CopyPasteSubSection", {T(L"G"), T(L"One"), T(L"Two")}), S_OK);
  const CSubSection* two = doc->model()->findSubSection(L"Two");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(two->parent(), group);
  ASSERT_NE(doc->model()->findShape(L"Two"), nullptr);
  EXPECT_NEAR(doc->model()->findShape(L"Two")->area(), 4.0, 1e-9);

  expectRefused(invoke(L"CopyPasteShape", {T(L"G"), T(L"zz"), T(L"c")}), 1, L"Shape object could not be found");
  ASSERT_EQ(invoke(L"CopyPasteShape", {T(L"G"), T(L"R1"), T(L"R1 copy")}), S_OK);
  EXPECT_NE(group->findShape(L"R1 copy"), nullptr);
  EXPECT_EQ(root()->findShape(L"R1"), r1);

  // A sub-section under its own descendant would leave the tree.
  EXPECT_EQ(invoke(L"ChangeSubSectionParent", {T(L"G"), T(L"Two")}), DISP_E_EXCEPTION);
  EXPECT_EQ(group->parent(), root());
  ASSERT_EQ(invoke(L"ChangeSubSectionParent", {T(L"One"), T(L"G")}), S_OK);
  EXPECT_EQ(single->parent(), group);
  ASSERT_EQ(invoke(L"ChangeShapeParent", {T(L"R1"), T(L"One")}), S_OK);
  EXPECT_EQ(r1->subSection(), single);
  EXPECT_EQ(root()->findShape(L"R1"), nullptr);

  ASSERT_EQ(invoke(L"AddPoint", {T(L"root"), R(7), R(8)}), S_OK);
  ASSERT_FALSE(root()->constructionPoints.empty());
  ASSERT_EQ(invoke(L"DeleteConstructionPoints", {}), S_OK);
  EXPECT_TRUE(root()->constructionPoints.empty());
}

// ---- the arbitrary-shape object ----

TEST_F(AutomationShapeEdits, PolygonBlockReplaysIntoAClosedTriangleAndIsJournalled) {
  std::istringstream macro(
      "Dim polygon As Quenholt.ArbitraryShape\r\n"
      "Set polygon = xscn.AddArbitraryShape ( \"P1\",1)\r\n"
      "polygon.AddPoint 0,0\r\n"
      "polygon.AddPoint 3,0\r\n"
      "polygon.AddPoint 0,2\r\n"
      "polygon.LinearFit \"root\"\r\n"
      "Set polygon = Nothing\r\n");
  std::ostringstream out;
  JournalInterpreter interpreter(DocumentAutomationObject(*doc), out);
  const JournalRunResult r = interpreter.Run(macro);
  ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line << ": " << r.description;
  CShapeAnalysis* p1 = root()->findShape(L"P1");
  ASSERT_NE(p1, nullptr);
  EXPECT_NEAR(p1->area(), 3.0, 1e-9);
  EXPECT_FALSE(p1->isNegative());
  const std::vector<std::string> expected = {
      "Dim polygon As Quenholt.ArbitraryShape", "Set polygon = xscn.AddArbitraryShape ( \"P1\",1)",
      "polygon.AddPoint 0,0", "polygon.AddPoint 3,0", "polygon.AddPoint 0,2", "polygon.AddPoint 0,0",
      "polygon.LinearFit \"root\"", "Set polygon = Nothing"};
  EXPECT_EQ(linesWith("olygon"), expected);
}

TEST_F(AutomationShapeEdits, ArbitraryShapeSignsAndRefusals) {
  auto shapeObject = [&](const wchar_t* name, int sign) {
    COleVariant v;
    EXPECT_EQ(invoke(L"AddArbitraryShape", {T(name), COleVariant(static_cast<SHORT>(sign))}, &v), S_OK) << name;
    return v.GetObject<CArbitraryShape>();
  };
  auto fit = [&](CArbitraryShape& s, const wchar_t* how, const wchar_t* parent) {
    return call(ArbitraryShapeDispatchTable(), s, how, DISPATCH_METHOD, {T(parent)});
  };
  expectRefused(invoke(L"AddArbitraryShape", {T(L"R1"), COleVariant(static_cast<SHORT>(1))}), 2,
                L"Object with that name already exists.");
  auto hole = shapeObject(L"H", 0);
  ASSERT_NE(hole, nullptr);
  hole->AddPoint(20, 0);
  hole->AddPoint(21, 0);
  expectRefused(fit(*hole, L"LinearFit", L"root"), 1, L"An arbitrary shape needs at least three points.");
  hole->AddPoint(21, 1);
  expectRefused(fit(*hole, L"LinearFit", L"nowhere"), 1, L"Parent does not exist: nowhere");
  EXPECT_EQ(doc->model()->findShape(L"H"), nullptr);
  ASSERT_EQ(fit(*hole, L"LinearFit", L"root"), S_OK);
  EXPECT_TRUE(doc->model()->findShape(L"H")->isNegative());
  EXPECT_NEAR(doc->model()->findShape(L"H")->area(), -0.5, 1e-9);
  // A second fit of the same name is refused.
  EXPECT_EQ(fit(*hole, L"LinearFit", L"root"), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 2);

  const std::size_t journalled = journalLines().size();
  auto spline = shapeObject(L"S", 1);
  for (double a = 0; a < 6.28; a += 0.5) spline->AddPoint(30 + std::cos(a), std::sin(a));
  ASSERT_EQ(fit(*spline, L"SplineFit", L"G"), S_OK);
  CShapeAnalysis* s = doc->model()->findShape(L"S");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->subSection(), group);
  EXPECT_EQ(group->findShape(L"S"), s);
  EXPECT_EQ(root()->findShape(L"S"), nullptr);
  EXPECT_GT(s->area(), 3.0);
  EXPECT_EQ(journalLines().size(), journalled);
}
