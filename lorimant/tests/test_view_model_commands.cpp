// The section view's model commands run as the window runs them
// (RunCommand) on a real document: their refusals, the model they leave,
// their journal lines and the replay of those lines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "lorimant/automation/ILorimant.h"
#include "test_journal_support.h"

using namespace journal_test;

namespace {

namespace MC = SectionCommand;

// A transformation dialog that records how the view opened it.
class ModelCommandDialog : public SectionDialog {
 public:
  void show() override { ++shows; }
  void DestroyWindow() override {}
  void setTransformMode(TransformMode m, const CString& name) override {
    mode = m;
    copyName = name;
  }
  void setMirrorDirection(Point<double> d) override { direction = d; }
  void setRotation(Point<double> c, double a, double i) override {
    centre = c;
    angle = a;
    increment = i;
  }
  int shows = 0;
  TransformMode mode = TransformMode::All;
  CString copyName;
  Point<double> direction{-1, -1, 0};
  Point<double> centre{-1, -1, 0};
  double angle = -1, increment = -1;
};

class ModelCommands : public JournalSessionTest {
 protected:
  // Picks the shape's first record, as a click would.
  void pickShape(CShapeAnalysis* s) { PickRecordOf(*view, s); }
  // Picks the dot (vertex or construction point) at (x, y) of the current
  // sub-section; the view must show it.
  void pickDot(double x, double y) {
    // Brought up to date before the dots are looked at: a rebuild makes
    // the vertex dots anew.
    view->updateDisplayLists();
    CSubSection* sub = model()->currentSubSectionMutable();
    std::vector<CDot*> all(sub->dots.begin(), sub->dots.end());
    all.insert(all.end(), sub->constructionPoints.begin(), sub->constructionPoints.end());
    for (CDot* d : all)
      if (std::fabs(d->location.x - x) < 1e-12 && std::fabs(d->location.y - y) < 1e-12) {
        DspRecord* r = view->findDspRecord(static_cast<const void*>(d));
        ASSERT_NE(r, nullptr);
        view->addPickList(r);
        return;
      }
    FAIL() << "no dot at " << x << "," << y;
  }
  // Adds construction points without journal lines and shows them.
  void points(std::initializer_list<std::array<double, 2>> ps) {
    for (const auto& p : ps) root()->addConstructionPoint(p[0], p[1]);
    view->RebuildAndRedraw();
  }
  std::vector<std::array<double, 2>> constructionPoints() const {
    std::vector<std::array<double, 2>> out;
    for (const CDot* d : root()->constructionPoints) out.push_back({d->location.x, d->location.y});
    return out;
  }
  // The journal lines that start with prefix.
  std::vector<std::string> journalled(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : journalLines(*doc))
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }
  // A w x h rectangle with its lower-left corner at (x, y), added through
  // the automation; the shape dialogs journal their shapes, the automation
  // does not, so the line the replay needs is kept here.
  CShapeAnalysis* scriptedRectangle(const char* name, double x, double y, double w, double h,
                                    const char* parent = "root") {
    const std::string line = std::string("xscn.AddRectangle \"") + parent + "\",\"" + name + "\"," + number(w) + "," +
                             number(h) + "," + number(x) + "," + number(y) + ",0,1,0,1";
    const JournalRunResult r = run(*doc, line + "\n");
    EXPECT_TRUE(r.ok) << r.description;
    script_ += line + "\n";
    view->RebuildAndRedraw();
    return model()->findShape(CString(name));
  }
  // A sub-section below root, journalled by the automation itself.
  void subSection(const wchar_t* name) {
    ILorimant::CreateSubSection(*doc, name, L"root");
    script_ += "xscn.CreateSubSection \"" + CString(name).ToUtf8() + "\",\"root\"\n";
  }
  std::shared_ptr<CMetal> metal(const wchar_t* name) {
    auto m = std::make_shared<CMetal>();
    m->name = name;
    return m;
  }
  void expectBox(const CShapeAnalysis* s, double x0, double y0, double x1, double y1) {
    Point<double> lo, hi;
    s->extents(&lo, &hi, 1);
    EXPECT_NEAR(lo.x, x0, 1e-9);
    EXPECT_NEAR(lo.y, y0, 1e-9);
    EXPECT_NEAR(hi.x, x1, 1e-9);
    EXPECT_NEAR(hi.y, y1, 1e-9);
  }
  // Replays the scripted set-up and this document's journal body (less the
  // new document's own first line) into a fresh document and gives the
  // model there as lines.
  std::vector<std::string> replayed() {
    std::string macro = script_;
    for (const std::string& l : journalLines(*doc))
      if (l.rfind("xscn.", 0) == 0 && l.rfind("xscn.CreateSubSection", 0) != 0 && l != "xscn.ClearAll")
        macro += l + "\n";
    CXSectionAnalysisDoc other(&frame);
    other.hidden = true;
    other.OnNewDocument();
    const JournalRunResult r = run(other, macro);
    EXPECT_TRUE(r.ok) << r.line << ": " << r.description << "\n" << macro;
    return describe(*other.model());
  }
  std::string script_;
};

TEST_F(ModelCommands, UnionRefusalsAndTheLineOfAUnionMade) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 4, 2);
  CShapeAnalysis* b = rectangle(L"b", 2, 1, 4, 2);
  a->material(metal(L"steel"));
  b->material(metal(L"brass"));
  view->RebuildAndRedraw();
  ASSERT_TRUE(view->RunCommand(MC::Union));
  EXPECT_EQ(host.messages, std::vector<CString>{L"Union of objects with differing materials is undefined."});
  EXPECT_EQ(host.captions, std::vector<CString>{L"Union Operation"});

  b->material(metal(L"steel"));
  mesh(a);
  host.messages.clear();
  host.captions.clear();
  ASSERT_TRUE(view->RunCommand(MC::Union));
  EXPECT_EQ(host.messages,
            std::vector<CString>{L"Cannot union objects when meshes are defined.   Delete the meshes first"});
  EXPECT_EQ(host.captions, std::vector<CString>{L"Union Operation"});
  EXPECT_FALSE(root()->isUnionOn());
  EXPECT_TRUE(journalled("xscn.Union").empty());

  ASSERT_TRUE(view->RunCommand(MC::DeleteAllMeshes));
  host.messages.clear();
  ASSERT_TRUE(view->RunCommand(MC::Union));
  EXPECT_TRUE(host.messages.empty());
  ASSERT_TRUE(root()->isUnionOn());
  // Two overlapping 4 x 2 rectangles sharing a 2 x 1 corner.
  double area = 0;
  for (POSITION pos = root()->getUnionShapes()->GetHeadPosition(); pos != nullptr;)
    area += root()->getUnionShapes()->GetNext(pos)->area();
  EXPECT_NEAR(area, 14.0, 1e-9);
  EXPECT_EQ(journalled("xscn.Union"), std::vector<std::string>{"xscn.Union"});
}

TEST_F(ModelCommands, ChangeSignNamesTheSubSectionHoldingTheShapeAndReplays) {
  scriptedRectangle("a", 0, 0, 4, 2);
  subSection(L"c");
  CShapeAnalysis* p = scriptedRectangle("p", 5, 0, 1, 1, "c");
  ASSERT_NE(p, nullptr);
  view->RebuildAndRedraw();
  ASSERT_GT(p->area(), 0);
  pickShape(p);
  ASSERT_TRUE(view->RunCommand(MC::ChangeSign));
  EXPECT_LT(p->area(), 0);
  EXPECT_EQ(journalled("xscn.ChangeSign"), std::vector<std::string>{"xscn.ChangeSign \"c\", \"p\""});
  EXPECT_EQ(view->pickedCountLenient(), 0);
  // The replay builds the same section: "p" a hole there too.
  EXPECT_EQ(replayed(), describe(*model()));
}

TEST_F(ModelCommands, RenameRefusesTakenAndEmptyNames) {
  CShapeAnalysis* a = scriptedRectangle("a", 0, 0, 4, 2);
  subSection(L"c");
  ASSERT_NE(scriptedRectangle("q", 5, 0, 1, 1, "c"), nullptr);
  view->RebuildAndRedraw();
  const struct {
    const wchar_t* answer;
    const wchar_t* message;
  } refused[] = {
      {L"q", L"Object with that name already exists."},  // a shape of another sub-section
      {L"c", L"Object with that name already exists."},  // a sub-section
      {L"", L"A name cannot be empty."},
  };
  for (const auto& r : refused) {
    host.messages.clear();
    host.captions.clear();
    host.textAnswer = CString(r.answer);
    pickShape(a);
    ASSERT_TRUE(view->RunCommand(MC::Rename));
    EXPECT_EQ(host.messages, std::vector<CString>{r.message});
    EXPECT_EQ(host.captions, std::vector<CString>{L"Rename Shape"});
    EXPECT_EQ(a->name(), CString(L"a"));
    view->ClearPicks();
  }
  EXPECT_EQ(host.prompts.back(), CString(L"Enter new name for shape"));
  host.textAnswer = CString(L"z");
  pickShape(a);
  ASSERT_TRUE(view->RunCommand(MC::Rename));
  EXPECT_EQ(a->name(), CString(L"z"));
  EXPECT_EQ(journalled("xscn.RenameShape"), std::vector<std::string>{"xscn.RenameShape \"a\",\"z\""});
  EXPECT_EQ(replayed(), describe(*model()));
}

TEST_F(ModelCommands, AddPointsBetweenTakesOneToTenThousand) {
  rectangle(L"a", 10, 10, 1, 1);
  const struct {
    double answer;
    std::vector<std::array<double, 2>> added;
  } cases[] = {
      {3, {{1, 0}, {2, 0}, {3, 0}}},
      {1, {{2, 0}}},
      {1.9, {{2, 0}}},  // truncated
      {0, {}},
      {1e9, {}},
      {std::numeric_limits<double>::quiet_NaN(), {}},
      {1e30, {}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(view->RunCommand(MC::DeletePoints));
    points({{0, 0}, {4, 0}});
    pickDot(0, 0);
    pickDot(4, 0);
    host.valueAnswer = c.answer;
    ASSERT_TRUE(view->RunCommand(MC::AddPointsBetween)) << c.answer;
    std::vector<std::array<double, 2>> expected = {{0, 0}, {4, 0}};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(constructionPoints(), expected) << c.answer;
  }
  EXPECT_EQ(host.prompts.back(), CString(L"How many points?"));
  EXPECT_EQ(host.presets.back(), 1.0);
  EXPECT_EQ(host.messages.back(), CString(L"The number of points must be from 1 to 10000."));
  // Lines of the run with 3, then two of the midpoint.
  EXPECT_EQ(journalled("xscn.AddPoint"),
            (std::vector<std::string>{"xscn.AddPoint \"root\",1,0", "xscn.AddPoint \"root\",2,0",
                                      "xscn.AddPoint \"root\",3,0", "xscn.AddPoint \"root\",2,0",
                                      "xscn.AddPoint \"root\",2,0"}));
}

TEST_F(ModelCommands, MeasurementsAndPointAtDistance) {
  // Picked vertices (0,0) and (3,4) of a 3 x 4 rectangle.
  rectangle(L"a", 0, 0, 3, 4);
  view->RebuildAndRedraw();
  const struct {
    UINT id;
    const wchar_t* status;
  } measures[] = {
      {MC::Distance2Points, L"Distance 5"},
      {MC::Deltas2Points, L"Delta x: 3  Delta y: 4 "},
      {MC::Angle2Points, L"Angle in degrees: 53.1301"},
  };
  for (const auto& m : measures) {
    view->ClearPicks();
    pickDot(0, 0);
    pickDot(3, 4);
    ASSERT_TRUE(view->RunCommand(m.id));
    EXPECT_EQ(host.statuses.back(), CString(m.status));
  }
  view->ClearPicks();
  pickDot(0, 0);
  pickDot(3, 4);
  host.valueAnswer = 5;
  ASSERT_TRUE(view->RunCommand(MC::PointAtDistance));
  EXPECT_EQ(host.prompts.back(), CString(L"Distance From First Point Along Vector"));
  EXPECT_EQ(constructionPoints(), (std::vector<std::array<double, 2>>{{3, 4}}));

  // Coincident points (the vertex and the construction point at (3,4)):
  // the point lands on them, never at NaN.
  pickDot(3, 4);
  PickRecordOf(*view, root()->constructionPoints[0]);
  ASSERT_EQ(view->pickedDots().size(), 2u);
  ASSERT_TRUE(view->RunCommand(MC::PointAtDistance));
  EXPECT_EQ(journalled("xscn.AddPoint"),
            (std::vector<std::string>{"xscn.AddPoint \"root\",3,4", "xscn.AddPoint \"root\",3,4"}));
}

TEST_F(ModelCommands, AngleOfThreePointsIsAtMost180) {
  rectangle(L"a", 10, 10, 1, 1);
  const struct {
    std::array<double, 2> a, b, c;
    const wchar_t* status;
  } cases[] = {
      {{1, 0}, {0, 0}, {0, 1}, L"Angle in degrees: 90"},
      {{0, 1}, {0, 0}, {1, 0}, L"Angle in degrees: 90"},
      // -135 and +135 degrees: 270 apart the other way round.
      {{-1, -1}, {0, 0}, {-1, 1}, L"Angle in degrees: 90"},
      {{-1, 0}, {0, 0}, {1, 0}, L"Angle in degrees: 180"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(view->RunCommand(MC::DeletePoints));
    points({c.a, c.b, c.c});
    for (const CDot* d : root()->constructionPoints) PickRecordOf(*view, d);
    ASSERT_TRUE(view->RunCommand(MC::Angle3Points));
    EXPECT_EQ(host.statuses.back(), CString(c.status));
  }
}

TEST_F(ModelCommands, PointsAtRadiusSpreadAWholeTurnWithoutDoubling) {
  rectangle(L"a", 10, 10, 1, 1);
  points({{1, 2}});
  pickDot(1, 2);
  host.anglesAnswer = PointsAtAngles{};
  ASSERT_TRUE(view->RunCommand(MC::PointsAtRadius));
  const auto made = constructionPoints();
  ASSERT_EQ(made.size(), 9u);
  for (int k = 0; k < 8; ++k) {
    const double a = k * M_PI / 4;
    EXPECT_NEAR(made[k + 1][0], 1 + 10 * std::cos(a), 1e-12) << k;
    EXPECT_NEAR(made[k + 1][1], 2 + 10 * std::sin(a), 1e-12) << k;
  }
  EXPECT_EQ(journalled("xscn.AddPoint").front(), "xscn.AddPoint \"root\",11,2");

  // An arc gets a point at each end: 3 points over 0..90 at 0, 45, 90.
  ASSERT_TRUE(view->RunCommand(MC::DeletePoints));
  points({{0, 0}});
  pickDot(0, 0);
  host.anglesAnswer = PointsAtAngles{1.0, 3, 0.0, 90.0};
  ASSERT_TRUE(view->RunCommand(MC::PointsAtRadius));
  const auto arc = constructionPoints();
  ASSERT_EQ(arc.size(), 4u);
  EXPECT_NEAR(arc[2][0], std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(arc[3][0], 0, 1e-12);
  EXPECT_NEAR(arc[3][1], 1, 1e-12);
}

TEST_F(ModelCommands, KeyinLocationAndDeletePointsReplay) {
  scriptedRectangle("a", 0, 0, 1, 1);
  host.pointAnswer = std::array<double, 2>{2.5, -1.25};
  ASSERT_TRUE(view->RunCommand(MC::KeyinLocation));
  EXPECT_EQ(constructionPoints(), (std::vector<std::array<double, 2>>{{2.5, -1.25}}));
  EXPECT_EQ(journalled("xscn.AddPoint"), std::vector<std::string>{"xscn.AddPoint \"root\",2.5,-1.25"});
  // Cancelled: nothing added.
  host.pointAnswer.reset();
  ASSERT_TRUE(view->RunCommand(MC::KeyinLocation));
  EXPECT_EQ(constructionPoints().size(), 1u);
  ASSERT_TRUE(view->RunCommand(MC::DeletePoints));
  EXPECT_TRUE(constructionPoints().empty());
  EXPECT_EQ(journalled("xscn.DeleteConstructionPoints").size(), 1u);
  EXPECT_EQ(replayed(), describe(*model()));
}

TEST_F(ModelCommands, VertexMovesAndMirrors) {
  CShapeAnalysis* a = scriptedRectangle("a", 0, 0, 4, 2);
  view->RebuildAndRedraw();
  pickDot(0, 0);
  host.pointAnswer = std::array<double, 2>{1, 2};
  ASSERT_TRUE(view->RunCommand(MC::MoveVertexToLocation));
  EXPECT_EQ(host.pointPresets.back(), (std::array<double, 2>{0, 0}));
  expectBox(a, 1, 2, 5, 4);
  EXPECT_EQ(journalled("xscn.TranslateShape"), std::vector<std::string>{"xscn.TranslateShape \"a\",1,2"});
  EXPECT_EQ(replayed(), describe(*model()));

  // A free construction point has no shape to move.
  points({{9, 9}});
  view->ClearPicks();
  pickDot(9, 9);
  ASSERT_TRUE(view->RunCommand(MC::MoveVertexToLocation));
  EXPECT_EQ(host.messages.back(), CString(L"Vertex must be associated with a shape"));
  EXPECT_EQ(host.captions.back(), CString(L"Pick Error"));

  // Match vertex: (1,2) onto the free point (9,9).
  view->ClearPicks();
  pickDot(1, 2);
  pickDot(9, 9);
  ASSERT_TRUE(view->RunCommand(MC::MoveVertexToVertex));
  expectBox(a, 9, 9, 13, 11);

  // Meshed: both moves refused, the shape stays.
  mesh(a);
  view->RebuildAndRedraw();
  for (UINT id : {UINT(MC::MoveVertexToLocation), UINT(MC::MoveVertexToVertex)}) {
    view->ClearPicks();
    pickDot(9, 9);
    if (id == MC::MoveVertexToVertex) pickDot(13, 11);
    host.messages.clear();
    ASSERT_TRUE(view->RunCommand(id));
    EXPECT_EQ(host.messages, std::vector<CString>{L"Mesh must be deleted before object may be moved"});
    EXPECT_EQ(host.captions.back(), CString(L"Move Shape"));
    expectBox(a, 9, 9, 13, 11);
  }
}

TEST_F(ModelCommands, MirrorAboutVertexHorizontallyFlipsLeftToRight) {
  CShapeAnalysis* a = scriptedRectangle("a", 0, 0, 4, 2);
  view->RebuildAndRedraw();
  pickShape(a);
  pickDot(4, 0);
  ASSERT_TRUE(view->RunCommand(MC::MirrorHorizontalAboutVertex));
  expectBox(a, 4, 0, 8, 2);
  EXPECT_EQ(journalled("xscn.MirrorShape"), std::vector<std::string>{"xscn.MirrorShape \"a\", 4,0,1,0"});
  pickShape(a);
  pickDot(4, 2);
  ASSERT_TRUE(view->RunCommand(MC::MirrorVerticalAboutVertex));
  expectBox(a, 4, 2, 8, 4);
  EXPECT_EQ(replayed(), describe(*model()));
}

TEST_F(ModelCommands, TransformationsOpenTheirDialogs) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 4, 2);
  CShapeAnalysis* b = rectangle(L"b", 2, 1, 4, 2);
  std::vector<ModelCommandDialog*> made;
  SectionDialogFactory factory;
  for (SectionDialogKind k : {SectionDialogKind::Rotate, SectionDialogKind::Mirror, SectionDialogKind::Translate})
    factory.registerMaker(k, [&made](CThickSectionView&) {
      auto d = std::make_unique<ModelCommandDialog>();
      made.push_back(d.get());
      return d;
    });
  view->setDialogFactory(&factory);
  ASSERT_EQ(made.size(), 3u);
  ModelCommandDialog& rotate = *made[0];
  ModelCommandDialog& mirror = *made[1];
  ModelCommandDialog& translate = *made[2];

  // A union on: each refused with its own text.
  ILorimant::Union(*doc);
  view->RebuildAndRedraw();
  ASSERT_TRUE(root()->isUnionOn());
  // The selection commands need a picked shape: a union shape will do.
  PickRecordOf(*view, root()->getUnionShapes()->GetHead());
  const struct {
    UINT id;
    const wchar_t* message;
  } refusals[] = {
      {MC::TranslateAll, L"Turn off union before performing translation"},
      {MC::RotateAll, L"Turn off union before performing rotation"},
      {MC::MirrorHorizontal, L"Turn off union before performing mirror"},
      {MC::MirrorDuplicateVertical, L"Turn off union before performing mirror and duplicate."},
  };
  for (const auto& r : refusals) {
    host.messages.clear();
    host.captions.clear();
    ASSERT_TRUE(view->RunCommand(r.id));
    EXPECT_EQ(host.messages, std::vector<CString>{r.message});
    EXPECT_EQ(host.captions, std::vector<CString>{L"Transformations"});
  }
  host.messages.clear();
  ASSERT_TRUE(view->RunCommand(MC::TranslateSelected));
  EXPECT_EQ(host.messages, std::vector<CString>{L"Turn off union before performing translation"});
  EXPECT_EQ(translate.shows, 0);
  ASSERT_TRUE(view->RunCommand(MC::UndoUnion));

  pickShape(a);
  ASSERT_TRUE(view->RunCommand(MC::TranslateSelected));
  EXPECT_EQ(translate.shows, 1);
  EXPECT_EQ(translate.mode, TransformMode::Selected);
  EXPECT_TRUE(doc->IsModelessDialogOpen(&translate));
  // Open: a second command leaves it as it is.
  ASSERT_TRUE(view->RunCommand(MC::TranslateAll));
  EXPECT_EQ(translate.mode, TransformMode::Selected);
  EXPECT_EQ(translate.shows, 1);

  ASSERT_TRUE(view->RunCommand(MC::MirrorDuplicateVertical));
  EXPECT_EQ(mirror.mode, TransformMode::Duplicate);
  EXPECT_FALSE(mirror.copyName.IsEmpty());
  EXPECT_EQ(mirror.direction.x, 0);
  EXPECT_EQ(mirror.direction.y, 1);
  ASSERT_TRUE(view->RunCommand(MC::RotateAll));
  EXPECT_EQ(rotate.mode, TransformMode::All);
  doc->CloseModelessDialog(&rotate);

  // Rotate about a vertex: centre there, angle and increment 0, selected.
  pickShape(b);
  pickDot(2, 1);
  ASSERT_TRUE(view->RunCommand(MC::RotateAboutVertex));
  EXPECT_EQ(rotate.mode, TransformMode::Selected);
  EXPECT_EQ(rotate.centre.x, 2);
  EXPECT_EQ(rotate.centre.y, 1);
  EXPECT_EQ(rotate.angle, 0);
  EXPECT_EQ(rotate.increment, 0);
  EXPECT_TRUE(doc->IsModelessDialogOpen(&rotate));
  EXPECT_EQ(rotate.shows, 2);
}

TEST_F(ModelCommands, WithoutAWindowEveryQuestionIsCancelled) {
  auto headless = CThickSectionView::createFor(*doc);
  ASSERT_EQ(headless->prompts(), nullptr);
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 4, 2);
  headless->RebuildAndRedraw();
  PickRecordOf(*headless, a);
  ASSERT_TRUE(headless->RunCommand(MC::Rename));
  EXPECT_EQ(a->name(), CString(L"a"));
  ASSERT_TRUE(headless->RunCommand(MC::KeyinLocation));
  EXPECT_TRUE(root()->constructionPoints.empty());
}

}  // namespace
