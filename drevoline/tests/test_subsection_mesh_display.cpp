// A sub-section in the OpenGL view: shape fill and outline records on fresh
// display lists, the weld record, and the name labels.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "analysis/model/CMetal.h"
#include "analysis/tests/test_view_support.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_union_support.h"

using namespace union_test;

namespace {

// Records the labels instead of drawing them.
class LabelView : public TestView {
 public:
  struct Label {
    double x, y, z;
    float r, g, b;
    std::string placement;
    CStringA text;
    int font;
  };
  std::vector<Label> labels;
  void text3D(double x, double y, double z, float r, float g, float b, const char* placement, CStringA text,
              int font) override {
    labels.push_back({x, y, z, r, g, b, placement, text, font});
  }
};

struct SubSectionDisplay : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  std::shared_ptr<CMetal> metal = std::make_shared<CMetal>();

  CShapeAnalysis* rect(CSubSection* s, const wchar_t* name, double x0, double y0, double x1, double y1, int sign) {
    auto c = polylineRectangle(x0, y0, x1, y1);
    c->sign(sign);
    auto* shape = new CShapeAnalysis(c.release());
    shape->name(name);
    shape->supportKind = -1;  // neither bulb nor simple support
    if (sign > 0)
      shape->material(metal);
    model.addShapeToLists(s, shape);
    return shape;
  }
};

TEST_F(SubSectionDisplay, ShapesGetFillAndOutlineRecordsAndDraw) {
  SizedView v(64, 64);  // model window -5..5 in both directions
  metal->setColour(1.0, 0.0, 0.0);
  CShapeAnalysis* solid = rect(root, L"solid", -4, -4, 4, 4, 1);
  CShapeAnalysis* hole = rect(root, L"hole", -1, -1, 1, 1, -1);
  v.view.m_maxPriority = 0;
  root->displayShapes(&v.view.m_displayList, &v.view);

  ASSERT_EQ(v.view.m_displayList.GetCount(), 4);
  struct Expect {
    CShapeAnalysis* shape;
    int priority;
  } expected[] = {{solid, 3}, {solid, 3}, {hole, 4}, {hole, 4}};
  std::set<int> lists;
  POSITION pos = v.view.m_displayList.GetHeadPosition();
  for (const Expect& e : expected) {
    DspRecord* r = v.view.m_displayList.GetNext(pos);
    EXPECT_EQ(r->object, static_cast<void*>(e.shape));
    EXPECT_EQ(r->type, 32u);
    EXPECT_EQ(r->drawPriority, e.priority);
    EXPECT_EQ(r->flags, 0x20);
    EXPECT_NE(r->listId, 0);
    lists.insert(r->listId);
  }
  EXPECT_EQ(lists.size(), 4u);
  EXPECT_EQ(v.view.m_maxPriority, 5);
  EXPECT_EQ(solid->displayList1, static_cast<unsigned>(v.view.m_displayList.GetHead()->listId));

  v.view.resetCameraPostDisplayList(0, 1, 0);
  const COffscreenContext* b = v.view.buffer();
  EXPECT_EQ(b->pixel(48, 48), kRed);    // inside the solid
  EXPECT_EQ(b->pixel(32, 32), kWhite);  // inside the hole
  EXPECT_EQ(b->pixel(2, 2), kBackground);

  // Displaying again replaces the records on new lists.
  root->displayShapes(&v.view.m_displayList, &v.view);
  EXPECT_EQ(v.view.m_displayList.GetCount(), 4);
}

TEST_F(SubSectionDisplay, ShapeWithoutOwnerIsRefused) {
  SizedView v(8, 8);
  CShapeAnalysis loose;
  try {
    root->displayShape(&loose, &v.view.m_displayList, &v.view);
    FAIL() << "no error";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Parent object not defined");
  }
}

TEST_F(SubSectionDisplay, WeldsShowAsBoxes) {
  SizedView v(64, 64);
  auto* w = new CWeld(L"root");
  w->pt1 = Point<double>(-2, -2, 0);
  w->pt2 = Point<double>(2, 2, 0);
  w->limits();
  root->welds.push_back(w);
  DspRecord* r = root->showWelds();
  EXPECT_EQ(r->name, L"showWelds");
  EXPECT_EQ(r->type, 0x40000000u);
  EXPECT_NE(r->listId, 0);
  v.view.m_displayList.AddTail(r);
  v.view.resetCameraPostDisplayList(0, 1, 0);
  const COffscreenContext* b = v.view.buffer();
  EXPECT_NE(b->pixel(32, 32), kBackground);  // grey over the box
  EXPECT_EQ(b->pixel(4, 4), kBackground);
}

TEST_F(SubSectionDisplay, NamesAreLabelledInRedAtInteriorPoints) {
  LabelView view;
  rect(root, L"a", 0, 0, 2, 2, 1);
  auto* child = new CSubSection(&model, root);
  child->name(L"kid");
  root->addChildSubSection(child);
  model.subSections.push_back(child);
  CList<CCompositeCurve*> curves;
  curves.AddTail(signedCurve(polylineRectangle(10, 0, 12, 2), 1));
  child->createUnion(&curves, metal);

  root->displayIDs(&view);
  ASSERT_EQ(view.labels.size(), 2u);
  const char* texts[] = {"a", "kid"};
  const double xs[] = {0, 10};
  for (int i = 0; i < 2; ++i) {
    const auto& l = view.labels[i];
    EXPECT_EQ(l.text, texts[i]);
    EXPECT_GT(l.x, xs[i]);
    EXPECT_LT(l.x, xs[i] + 2);
    EXPECT_GT(l.y, 0.0);
    EXPECT_LT(l.y, 2.0);
    EXPECT_EQ(l.z, 0.0);
    EXPECT_EQ((std::vector<float>{l.r, l.g, l.b}), (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(l.placement, "cc");
    EXPECT_EQ(l.font, -1);
  }
}

}  // namespace
