// The section view's mesh, weld and material commands run as the window
// runs them (RunCommand) on a real document with a material database of
// the test's own: their refusals, the model they leave, their journal lines
// and the replay of those lines; and the node and element labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CWeld.h"
#include "lorimant/automation/MaterialRecord.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "test_journal_support.h"

using namespace journal_test;

namespace mesh_commands_test {

namespace MC = SectionCommand;

class MeshCommands : public JournalSessionTest {
 protected:
  void SetUp() override {
    JournalSessionTest::SetUp();
    database = root_ / "materials.sqldb";
    CSQLDatabase db(database.wstring());
    db.createDatabase(database.wstring());
    db.createMetalTable();
    db.createControlsTable();
    const struct {
      const wchar_t* name;
      const wchar_t* units;
      double E;
    } metals[] = {{L"Steel Default", L"USCSin", 29e6}, {L"Aluminum Default", L"USCSin", 10.5e6}, {L"S235", L"SIcm", 2.1e7}};
    for (const auto& m : metals) {
      MaterialRecord record;
      record.metal.name = m.name;
      record.metal.units = m.units;
      record.metal.E(m.E);
      ASSERT_TRUE(record.write(db, false));
    }
    db.close();
    model()->materialDatabasePath = CString(database.wstring().c_str());
    doc->setUnitSystem(1);
    host.meshAnswer = MeshParameters{};  // the dialog's defaults, confirmed
  }

  // Runs set-up lines on the document and keeps them for the replay.
  void script(const std::string& lines) {
    const JournalRunResult r = run(*doc, lines);
    ASSERT_TRUE(r.ok) << r.line << ": " << r.description;
    script_ += lines;
    view->RebuildAndRedraw();
  }
  CShapeAnalysis* shape(const wchar_t* name) const { return model()->findShape(CString(name)); }
  void pick(const CShapeAnalysis* s) { ASSERT_NE(PickRecordOf(*view, s), nullptr); }
  // Picks the dot (vertex or construction point) at (x, y) of the root.
  void pickDot(double x, double y) {
    // Brought up to date first: a rebuild makes the vertex dots anew.
    view->updateDisplayLists();
    std::vector<CDot*> all(root()->dots.begin(), root()->dots.end());
    all.insert(all.end(), root()->constructionPoints.begin(), root()->constructionPoints.end());
    for (CDot* d : all)
      if (std::fabs(d->location.x - x) < 1e-12 && std::fabs(d->location.y - y) < 1e-12) {
        ASSERT_NE(PickRecordOf(*view, d), nullptr);
        return;
      }
    FAIL() << "no dot at " << x << "," << y;
  }
  // The journal lines that start with prefix.
  std::vector<std::string> journalled(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : journalLines(*doc))
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }
  void clearMessages() {
    host.messages.clear();
    host.captions.clear();
  }
  // A fresh document on the same database that replays the set-up and
  // then the journal lines starting with one of prefixes.
  std::unique_ptr<CXSectionAnalysisDoc> replay(const std::vector<std::string>& prefixes) {
    std::string macro = script_;
    for (const std::string& p : prefixes)
      for (const std::string& l : journalled(p)) macro += l + "\n";
    auto other = std::make_unique<CXSectionAnalysisDoc>(&frame);
    other->hidden = true;
    other->OnNewDocument();
    other->model()->materialDatabasePath = CString(database.wstring().c_str());
    other->setUnitSystem(1);
    const JournalRunResult r = run(*other, macro);
    EXPECT_TRUE(r.ok) << r.line << ": " << r.description << "\n" << macro;
    doc->MakeCurrent();
    return other;
  }
  // Mesh name -> node count of a sub-section.
  static std::map<std::string, std::size_t> meshNodes(const CSubSection& sub) {
    std::map<std::string, std::size_t> out;
    for (const CMesh* m : sub.meshes) out[m->name.ToUtf8()] = m->nodes.size();
    return out;
  }
  // Shape name -> material name ("" for none) over the whole model.
  static std::map<std::string, std::string> materials(CXSectionAnalysis& model) {
    std::map<std::string, std::string> out;
    for (POSITION pos = model.shapes.GetHeadPosition(); pos != nullptr;) {
      const CShapeAnalysis* s = model.shapes.GetNext(pos);
      out[s->name().ToUtf8()] = s->material() ? s->material()->name.ToUtf8() : "";
    }
    return out;
  }

  std::filesystem::path database;
  std::string script_;
};

constexpr const char* kThreeRectangles =
    "xscn.AddRectangle \"root\",\"a\",1,1,0,0,0,1,0,1\n"
    "xscn.AddRectangle \"root\",\"h\",1,1,3,0,0,1,0,0\n"
    "xscn.AddRectangle \"root\",\"b\",1,1,5,0,0,1,0,1\n";
constexpr const char* kExtrudedL = "xscn.AddExtrudedL \"root\",\"L1\",10,1,8,1.2,0.5,90,0,2,0,0,0,0\n";

TEST_F(MeshCommands, MeshSelectedStopsAtAHoleAndReplays) {
  script(kThreeRectangles);
  script("xscn.ApplyMaterial \"a\", \"Steel Default\"\nxscn.ApplyMaterial \"b\", \"Steel Default\"\n");
  pick(shape(L"a"));
  pick(shape(L"h"));
  pick(shape(L"b"));
  root()->scnPrpUTD(true);
  ASSERT_TRUE(view->RunCommand(MC::MeshSelected));
  EXPECT_EQ(journalled("xscn.MeshShape"), std::vector<std::string>{"xscn.MeshShape \"a\",TRIANGLE_3NODES,100,0.001,1"});
  EXPECT_EQ(host.messages, std::vector<CString>{L"Meshing negative objects is not allowed."});
  EXPECT_EQ(host.captions, std::vector<CString>{L"Meshing"});
  ASSERT_EQ(root()->meshes.size(), 1u);
  EXPECT_EQ(root()->meshes[0]->name, CString(L"a"));
  // Still rebuilt and the change routine run (properties out of date).
  EXPECT_TRUE(view->listsOutOfDate());
  EXPECT_FALSE(root()->scnPrpUTD());
  EXPECT_EQ(Hooks::waitCursorDepth(), 0);

  const auto other = replay({"xscn.MeshShape"});
  EXPECT_EQ(meshNodes(*other->model()->rootSubSection()), meshNodes(*root()));
}

TEST_F(MeshCommands, MeshSelectedRefusesAShapeWithoutMaterialAndCancelDoesNothing) {
  script(kThreeRectangles);
  pick(shape(L"a"));
  ASSERT_TRUE(view->RunCommand(MC::MeshSelected));
  EXPECT_EQ(host.messages, std::vector<CString>{L"Material must be defined for object before it may be meshed"});
  EXPECT_EQ(host.captions, std::vector<CString>{L"Meshing"});
  EXPECT_TRUE(root()->meshes.empty());

  clearMessages();
  host.meshAnswer.reset();
  script("xscn.ApplyMaterial \"a\", \"Steel Default\"\n");
  pick(shape(L"a"));
  ASSERT_TRUE(view->RunCommand(MC::MeshSelected));
  EXPECT_TRUE(root()->meshes.empty());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(journalled("xscn.Mesh").empty());
}

TEST_F(MeshCommands, MeshSelectedWithoutCurrentSubSectionThrows) {
  script(kThreeRectangles);
  pick(shape(L"a"));
  CString none(L"none");
  model()->setSubSection(none);
  ASSERT_EQ(model()->currentSubSectionMutable(), nullptr);
  try {
    view->RunCommand(MC::MeshSelected);
    FAIL() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "current subsection does not exist");
  }
}

TEST_F(MeshCommands, MeshSelectedMeshesAProfileOnceAndReplays) {
  script(kExtrudedL);
  script("xscn.ApplyMaterial \"L1\", \"Steel Default\"\n");
  const CSubSection* l1 = model()->findSubSection(CString(L"L1"));
  ASSERT_NE(l1, nullptr);
  const std::unique_ptr<ShapeList> shown = l1->getShapes();
  ASSERT_GE(shown->GetCount(), 1);
  // Two pieces of the profile: one meshing of it.
  pick(shown->GetHead());
  if (shown->GetCount() > 1) pick(shown->GetTail());
  ASSERT_TRUE(view->RunCommand(MC::MeshSelected));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(journalled("xscn.MeshSubSection"),
            std::vector<std::string>{"xscn.MeshSubSection \"L1\", TRIANGLE_3NODES,100,0.001,1"});
  ASSERT_FALSE(root()->meshes.empty());
  const auto other = replay({"xscn.MeshSubSection"});
  EXPECT_EQ(meshNodes(*other->model()->rootSubSection()), meshNodes(*root()));
}

TEST_F(MeshCommands, MoveChildMeshesToRootIsJournalled) {
  script("xscn.CreateSubSection \"c\",\"root\"\nxscn.AddRectangle \"c\",\"p\",1,1,0,0,0,1,0,1\n"
         "xscn.ApplyMaterial \"p\", \"Steel Default\"\n");
  CSubSection* c = model()->findSubSectionMutable(CString(L"c"));
  ASSERT_NE(c, nullptr);
  c->meshShape(shape(L"p"), TRNG3, 5, 0, 0.5, 100000, 0);
  ASSERT_EQ(c->meshes.size(), 1u);
  ASSERT_TRUE(view->RunCommand(MC::MoveChildMeshes));
  EXPECT_TRUE(c->meshes.empty());
  EXPECT_EQ(root()->meshes.size(), 1u);
  EXPECT_EQ(journalled("xscn.MoveSubSectionMeshesToRoot"), std::vector<std::string>{"xscn.MoveSubSectionMeshesToRoot"});
}

TEST_F(MeshCommands, LocalSizeControlIsKeptByTheModelAndJournalled) {
  script(kThreeRectangles);
  pickDot(0, 0);
  host.localControlAnswer = std::array<double, 2>{0.1, 0.5};
  ASSERT_TRUE(view->RunCommand(MC::LocalMeshSize));
  EXPECT_TRUE(host.messages.empty());
  const std::vector<LocalSizeControl> kept = model()->pendingSizeControls(CString(L"a"));
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].x, 0.0);
  EXPECT_EQ(kept[0].y, 0.0);
  EXPECT_EQ(kept[0].size, 0.1);
  EXPECT_EQ(kept[0].radius, 0.5);
  EXPECT_EQ(journalled("xscn.AddLocalSizeControl"),
            std::vector<std::string>{"xscn.AddLocalSizeControl \"a\",0,0,0.1,0.5"});
  EXPECT_EQ(view->pickedCountLenient(), 0);
}

TEST_F(MeshCommands, LocalSizeControlRefusesFreePointsAndSizesNotPositive) {
  script(kThreeRectangles);
  root()->addConstructionPoint(-2, 2);
  view->RebuildAndRedraw();
  const struct {
    double size, radius;
    bool freePoint;
    const wchar_t* message;
  } cases[] = {
      {0.1, 0.5, true, L"Point is not associated with a shape."},
      {0.0, 0.5, false, L"The element size and the radius must be positive."},
      {0.1, -1.0, false, L"The element size and the radius must be positive."},
  };
  for (const auto& c : cases) {
    clearMessages();
    if (c.freePoint)
      pickDot(-2, 2);
    else
      pickDot(0, 0);
    host.localControlAnswer = std::array<double, 2>{c.size, c.radius};
    ASSERT_TRUE(view->RunCommand(MC::LocalMeshSize));
    EXPECT_EQ(host.messages, std::vector<CString>{c.message});
    EXPECT_EQ(host.captions, std::vector<CString>{L"Local Size Control Failure"});
    view->ClearPicks();
  }
  EXPECT_TRUE(model()->pendingSizeControls(CString(L"a")).empty());
  EXPECT_TRUE(journalled("xscn.AddLocalSizeControl").empty());
}

// Two meshed unit squares side by side, [0,1] x [0,1] and [1,2] x [0,1], in
// a view showing x 0..2 and y -0.5..1.5 (0.01 per pixel).
class WeldCommands : public MeshCommands {
 protected:
  void SetUp() override {
    MeshCommands::SetUp();
    left = rectangle(L"left", 0, 0, 1, 1);
    right = rectangle(L"right", 1, 0, 1, 1);
    // Meshed as Mesh Selected meshes with the dialog's defaults: fine
    // enough that border segments lie wholly between y 0.2 and 0.8.
    for (CShapeAnalysis* s : {left, right}) {
      s->material(doc->FetchMaterial(L"Steel Default"));
      model()->meshShape(s, TRNG3, 100, 1.0, 0.001, -1, 100000);
    }
    view->RebuildAndRedraw();
    view->m_center = Point<float>(1.0f, 0.5f, 0.0f);
    view->m_eye = Point<float>(1.0f, 0.5f, 100.0f);
    view->viewWindow(1.0f);
    view->RefreshScene();
    view->renderPixels();
  }
  // Client pixel (y downwards) of a model point.
  CPoint at(double x, double y) const {
    return CPoint(static_cast<int>(std::lround(x * 100.0)), static_cast<int>(std::lround((1.5 - y) * 100.0)));
  }
  void dragBox(double x1, double y1, double x2, double y2) {
    view->mouseLoopEvent(ViewMouseEvent::LeftDown, at(x1, y1));
    view->mouseLoopEvent(ViewMouseEvent::Move, at(x2, y2));
    view->mouseLoopEvent(ViewMouseEvent::LeftUp, at(x2, y2));
  }
  CShapeAnalysis* left = nullptr;
  CShapeAnalysis* right = nullptr;
};

TEST_F(WeldCommands, ABoxOverTheBorderMakesAWeld) {
  // The pixels of the box's corners are where the test takes them.
  int pixel[2] = {95, 130};
  float corner[2];
  view->pixel2Model(pixel, corner);
  ASSERT_NEAR(corner[0], 0.95, 1e-6);
  ASSERT_NEAR(corner[1], 0.2, 1e-6);

  ASSERT_TRUE(view->RunCommand(MC::CreateWeld));
  const CString prompt(
      L"Draw a NARROW rectangular box on the border between two objects you want to  treat as effectively welded "
      L"together.");
  ASSERT_FALSE(host.statuses.empty());
  EXPECT_EQ(host.statuses.back(), prompt);
  EXPECT_EQ(host.attentionRequests, 1);
  const std::size_t before = host.statuses.size();
  dragBox(0.95, 0.2, 1.05, 0.8);
  ASSERT_GT(host.statuses.size(), before);
  EXPECT_EQ(host.statuses[before], CString());
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].ToUtf8();
  ASSERT_EQ(root()->welds.size(), 1u);
  EXPECT_EQ(journalled("xscn.CreateWeld"), std::vector<std::string>{"xscn.CreateWeld 0.95,0.2,1.05,0.8"});

  ASSERT_TRUE(view->RunCommand(MC::DeleteWelds));
  EXPECT_TRUE(root()->welds.empty());
  EXPECT_EQ(journalled("xscn.DeleteWelds"), std::vector<std::string>{"xscn.DeleteWelds"});

  view->createWeldIn(Point<double>(0.95, 0.2, 0), Point<double>(1.05, 0.8, 0));
  ASSERT_EQ(root()->welds.size(), 1u);
  ASSERT_TRUE(view->RunCommand(MC::ExecuteWelds));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(root()->welds.empty());
  EXPECT_EQ(journalled("xscn.ExecuteWelds"), std::vector<std::string>{"xscn.ExecuteWelds"});
}

TEST_F(WeldCommands, ABoxInsideOneMeshOrTooSmallMakesNoWeld) {
  view->createWeldIn(Point<double>(0.2, 0.2, 0), Point<double>(0.4, 0.4, 0));
  EXPECT_EQ(host.messages, std::vector<CString>{L"The weld rectangle must contain only border elements of two meshes"});
  EXPECT_EQ(host.captions, std::vector<CString>{L"Weld Construction"});
  clearMessages();
  // A diagonal below 1e-4 is a click: nothing at all.
  view->createWeldIn(Point<double>(1.0, 0.5, 0), Point<double>(1.00005, 0.50005, 0));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(root()->welds.empty());
  EXPECT_TRUE(journalled("xscn.CreateWeld").empty());
}

TEST_F(MeshCommands, SetMaterialAllIsRefusedOverAMeshAndReplaysHolesIncluded) {
  script(kThreeRectangles);
  host.materialAnswer = doc->FetchMaterial(L"Aluminum Default");
  mesh(shape(L"a"));
  ASSERT_TRUE(view->RunCommand(MC::SetMaterialAll));
  EXPECT_EQ(host.messages, std::vector<CString>{
                               L"Must delete all meshes in the root, and/or current subsection before changing the material"});
  EXPECT_EQ(host.captions, std::vector<CString>{L"Set Material"});
  EXPECT_TRUE(journalled("xscn.ApplyMaterialToAll").empty());

  root()->deleteMesh();
  shape(L"a")->material(nullptr);
  ASSERT_TRUE(view->RunCommand(MC::SetMaterialAll));
  EXPECT_EQ(journalled("xscn.ApplyMaterialToAll"),
            std::vector<std::string>{"xscn.ApplyMaterialToAll \"root\",\"Aluminum Default\""});
  const std::map<std::string, std::string> expected = {
      {"a", "Aluminum Default"}, {"b", "Aluminum Default"}, {"h", ""}};
  EXPECT_EQ(materials(*model()), expected);
  EXPECT_TRUE(model()->findMaterial(L"Aluminum Default"));
  const auto other = replay({"xscn.ApplyMaterialToAll"});
  EXPECT_EQ(materials(*other->model()), expected);
}

TEST_F(MeshCommands, SetMaterialForSelectedChecksUnitsAndNamesShapesAndProfiles) {
  script(kThreeRectangles);
  script(kExtrudedL);
  const CSubSection* l1 = model()->findSubSection(CString(L"L1"));
  ASSERT_NE(l1, nullptr);
  host.materialAnswer = doc->FetchMaterial(L"S235");
  pick(shape(L"a"));
  ASSERT_TRUE(view->RunCommand(MC::SetMaterialSelected));
  EXPECT_EQ(host.messages, std::vector<CString>{L"The unit system doesn't match the unit system of the document, to use "
                                                L"this material, create a similar material and then convert the units"});
  EXPECT_EQ(host.captions, std::vector<CString>{L"Material Settings"});
  EXPECT_FALSE(shape(L"a")->material());

  clearMessages();
  view->ClearPicks();
  host.materialAnswer = doc->FetchMaterial(L"Steel Default");
  pick(shape(L"a"));
  const std::unique_ptr<ShapeList> shown = l1->getShapes();
  pick(shown->GetHead());
  ASSERT_TRUE(view->RunCommand(MC::SetMaterialContext));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(journalled("xscn.ApplyMaterial "),
            (std::vector<std::string>{"xscn.ApplyMaterial \"a\", \"Steel Default\"",
                                      "xscn.ApplyMaterial \"L1\", \"Steel Default\""}));
  std::map<std::string, std::string> given = materials(*model());
  EXPECT_EQ(given["a"], "Steel Default");
  EXPECT_EQ(given["b"], "");
  // The profile's shown shapes (its union) take it.
  for (POSITION pos = shown->GetHeadPosition(); pos != nullptr;) {
    const CShapeAnalysis* piece = shown->GetNext(pos);
    ASSERT_TRUE(piece->material()) << piece->name().ToUtf8();
    EXPECT_EQ(piece->material()->name, CString(L"Steel Default"));
  }
  const auto other = replay({"xscn.ApplyMaterial "});
  EXPECT_EQ(materials(*other->model()), given);

  // Closed without a material: the picks go, nothing else.
  pick(shape(L"b"));
  host.materialAnswer = nullptr;
  ASSERT_TRUE(view->RunCommand(MC::SetMaterialSelected));
  EXPECT_EQ(view->pickedCountLenient(), 0);
  EXPECT_EQ(materials(*model())["b"], "");
}

TEST_F(MeshCommands, EditMaterialsSaysWhenTheDatabaseCannotOpen) {
  ASSERT_TRUE(view->RunCommand(MC::EditMaterials));
  EXPECT_EQ(host.materialEdits, 1);
  EXPECT_TRUE(host.messages.empty());

  model()->materialDatabasePath = CString((root_ / "missing" / "none.sqldb").wstring().c_str());
  ASSERT_TRUE(view->RunCommand(MC::EditMaterials));
  EXPECT_EQ(host.materialEdits, 1);
  ASSERT_EQ(host.captions, std::vector<CString>{L"SQL error"});
  EXPECT_FALSE(host.messages[0].IsEmpty());
}

// A meshed unit square [0,1] x [0,1] fitted into the 200 x 200 view: x and
// y -0.1..1.1, so a model point p lies at pixel (p + 0.1) / 1.2 * 200.
class MeshLabels : public MeshCommands {
 protected:
  void SetUp() override {
    MeshCommands::SetUp();
    view->SetGridPosition(GridPosition::NoShow);
    square = rectangle(L"sq", 0, 0, 1, 1);
    mesh(square);
    view->RebuildAndRedraw();
    view->fullView();
  }
  static int toPixel(double v) { return static_cast<int>(std::lround((v + 0.1) / 1.2 * 200.0)); }
  // Pixels of colour within 6 pixels of the model point.
  int countNear(const Point<double>& p, const std::function<bool(const Rgba8&)>& test) const {
    int n = 0;
    for (int y = toPixel(p.y) - 6; y <= toPixel(p.y) + 6; ++y)
      for (int x = toPixel(p.x) - 6; x <= toPixel(p.x) + 6; ++x)
        if (x >= 0 && y >= 0 && x < 200 && y < 200 && test(pixel(x, y))) ++n;
    return n;
  }
  CShapeAnalysis* square = nullptr;
};

TEST_F(MeshLabels, NodeIdentifiersShowOnWhiteAtTheirNodes) {
  const CMesh* m = root()->meshes.at(0);
  const CFENodeAnalysis* first = nullptr;
  for (const auto& n : m->nodes)
    if (n && (first == nullptr || n->id() < first->id())) first = n.get();
  ASSERT_NE(first, nullptr);
  const auto white = [](const Rgba8& p) { return p == Rgba8{255, 255, 255, 255}; };
  EXPECT_EQ(countNear(first->position, white), 0);
  ASSERT_TRUE(view->RunCommand(MC::DisplayNodeIds));
  EXPECT_GT(countNear(first->position, white), 10);
  ASSERT_TRUE(view->RunCommand(MC::DisplayNodeIds));
  EXPECT_EQ(countNear(first->position, white), 0);
}

TEST_F(MeshLabels, ElementNumbersShowAtTheirCentres) {
  const CMesh* m = root()->meshes.at(0);
  ASSERT_FALSE(m->trng3Elements.empty());
  const auto& e = m->trng3Elements.front();
  const Point<double> centre = e->center();
  const auto blue = [](const Rgba8& p) { return p.red == 0 && p.green == 0 && p.blue == 153; };
  EXPECT_EQ(countNear(centre, blue), 0);
  ASSERT_TRUE(view->RunCommand(MC::DisplayElementIds));
  EXPECT_GT(countNear(centre, blue), 3);
  ASSERT_TRUE(view->RunCommand(MC::DisplayElementIds));
  EXPECT_EQ(countNear(centre, blue), 0);
}

}  // namespace mesh_commands_test
