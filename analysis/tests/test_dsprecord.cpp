// Display records: annotations, and drawing and picking on an off-screen
// OpenGL context.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/model/DspRecord.h"
#include "analysis/model/LightProperties.h"
#include "platform/gl/COffscreenContext.h"

namespace {

// A view that draws picked records in white and records its labels.
class FakeView : public DspRecordView {
 public:
  struct Label {
    double x, y, z;
    float r, g, b;
    std::string placement;
    std::string text;
    int font;
  };

  FakeView() : highlight_(1.0f, 1.0f, 1.0f) {}
  const LightProperties& highlight() const override { return highlight_; }
  void text3D(double x, double y, double z, float r, float g, float b, const char* placement, CStringA text,
              int fontList) override {
    labels.push_back({x, y, z, r, g, b, placement, text.str(), fontList});
  }

  std::vector<Label> labels;

 private:
  LightProperties highlight_;
};

const Rgba8 kClearPixel{0, 0, 0, 255};
const Rgba8 kRedPixel{255, 0, 0, 255};
const Rgba8 kWhitePixel{255, 255, 255, 255};

constexpr unsigned kAllTypes = 0xFFFFFFFFu;

std::unique_ptr<DspRecord> makeRecord(GLuint list, LightProperties* material, int type = 32) {
  static int shown;
  return std::make_unique<DspRecord>(L"test", &shown, nullptr, type, static_cast<int>(list), material, 1);
}

// A 16 x 16 context with identity matrices; each record's list is a quad
// over the whole viewport that sets no colour of its own.
class DspRecordGl : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.makeCurrent());
    glViewport(0, 0, 16, 16);
    clear();
  }

  GLuint newQuadList() {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glEndList();
    return list;
  }

  void clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0, 0, 0);
  }

  Rgba8 centre() {
    glFinish();
    return context_.pixel(8, 8);
  }

  // Draws the records in selection mode and returns the names of the hits.
  std::vector<GLuint> selectNames(const std::vector<DspRecord*>& records) {
    GLuint buffer[64] = {};
    glSelectBuffer(64, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    for (DspRecord* r : records) r->display(&view_, -1, kAllTypes, GL_SELECT, 0, -1);
    const GLint hits = glRenderMode(GL_RENDER);
    std::vector<GLuint> names;
    for (GLint h = 0, at = 0; h < hits; ++h) {
      const GLuint count = buffer[at];
      if (count > 0) names.push_back(buffer[at + 3 + count - 1]);
      at += 3 + static_cast<int>(count);
    }
    return names;
  }

  COffscreenContext context_{16, 16, PixelOrder::RGBA};
  FakeView view_;
  LightProperties red_{1.0f, 0.0f, 0.0f};
};

}  // namespace

TEST(DspRecord, ConstructionGivesAPostedPickableRecord) {
  LightProperties light;
  int shown = 0;
  DspRecord record(L"COpenGLView::dot", &shown, nullptr, 4, 0, &light, 7);
  EXPECT_EQ(record.name, L"COpenGLView::dot");
  EXPECT_EQ(record.object, &shown);
  EXPECT_EQ(record.type, 4u);
  EXPECT_EQ(record.visible, 1);
  EXPECT_EQ(record.posted, 1);
  EXPECT_EQ(record.pickable(), 1);
  EXPECT_EQ(record.picked, 0);
  EXPECT_EQ(record.layer, 0);
  EXPECT_EQ(record.overlayMask, 31);
  EXPECT_EQ(record.annotationCount, 0);
  record.priority(9);
  EXPECT_EQ(record.drawPriority, 9);
  EXPECT_EQ(record.pickPriority, 9);
}

TEST(DspRecord, AnnotationsFormatWithPercentGAndStopAtTwenty) {
  DspRecord record(L"r", nullptr, nullptr, 32, 0, nullptr, 1);
  const Point<double> p(1.0, 2.0, 3.0);
  record.annotation(&p, 0.5, "cc");
  record.annotation(&p, 1e-7, "lbx");  // only two placement letters are kept
  EXPECT_EQ(record.annotations[0].text, "0.5");
  EXPECT_EQ(record.annotations[1].text, "1e-07");
  EXPECT_STREQ(record.annotations[1].placement, "lb");
  EXPECT_EQ(record.annotations[1].position.z, 3.0);
  EXPECT_EQ(record.annotations[1].colour[0], 0.0f);

  for (int i = 2; i < 20; ++i) record.annotationText(&p, "label", "cb");
  EXPECT_EQ(record.annotationCount, 20);
  record.annotationText(&p, "twenty-first", "cb");
  record.annotation(&p, 21.0, "cb");
  EXPECT_EQ(record.annotationCount, 20);
  EXPECT_EQ(record.annotations[19].text, "label");
}

TEST_F(DspRecordGl, FilteredRecordsDrawNothingAndLoadNoName) {
  struct Case {
    const char* what;
    void (*change)(DspRecord&);
    unsigned mask;
    int priority;
    int layer;
  };
  const Case cases[] = {
      {"unposted", [](DspRecord& r) { r.posted = 0; }, kAllTypes, -1, -1},
      {"invisible", [](DspRecord& r) { r.visible = 0; }, kAllTypes, -1, -1},
      {"type outside the mask", [](DspRecord&) {}, 4u, -1, -1},
      {"other layer", [](DspRecord& r) { r.layer = 1; }, kAllTypes, -1, 0},
      {"other priority", [](DspRecord& r) { r.priority(5); }, kAllTypes, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto record = makeRecord(newQuadList(), &red_);
    c.change(*record);
    clear();
    record->display(&view_, c.priority, c.mask, GL_RENDER, 0, c.layer);
    EXPECT_EQ(centre(), kClearPixel);

    GLuint buffer[16] = {};
    glSelectBuffer(16, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    record->display(&view_, c.priority, c.mask, GL_SELECT, 0, c.layer);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0);
  }
}

TEST_F(DspRecordGl, PostedRecordDrawsInItsDiffuseColourAndPickedInTheHighlight) {
  auto record = makeRecord(newQuadList(), &red_);
  record->layer = 2;
  record->priority(3);
  record->display(&view_, 3, 32u, GL_RENDER, 0, 2);
  EXPECT_EQ(centre(), kRedPixel);

  clear();
  record->pick();
  record->display(&view_, -1, 32u, GL_RENDER, 0, -1);
  EXPECT_EQ(centre(), kWhitePixel);
  // The lit material takes the highlight too.
  GLfloat diffuse[4] = {};
  glGetMaterialfv(GL_BACK, GL_DIFFUSE, diffuse);
  EXPECT_EQ(std::vector<GLfloat>(diffuse, diffuse + 4), (std::vector<GLfloat>{1, 1, 1, 1}));
}

TEST_F(DspRecordGl, RecordWithoutMaterialKeepsTheCurrentColour) {
  auto record = makeRecord(newQuadList(), nullptr);
  glColor3f(1, 0, 0);
  record->display(&view_, -1, kAllTypes, GL_RENDER, 0, -1);
  EXPECT_EQ(centre(), kRedPixel);
}

TEST_F(DspRecordGl, LabelsAreDrawnOutsideSelectionModeOnly) {
  auto record = makeRecord(newQuadList(), &red_);
  const Point<double> p(1.5, -2.0, 0.0);
  record->annotation(&p, 0.25, "cc");
  record->display(&view_, -1, kAllTypes, GL_RENDER, 0, -1);
  ASSERT_EQ(view_.labels.size(), 1u);
  const FakeView::Label& label = view_.labels[0];
  EXPECT_EQ(label.x, 1.5);
  EXPECT_EQ(label.y, -2.0);
  EXPECT_EQ(label.r + label.g + label.b, 0.0f);
  EXPECT_EQ(label.placement, "cc");
  EXPECT_EQ(label.text, "0.25");
  EXPECT_EQ(label.font, -1);

  selectNames({record.get()});
  EXPECT_EQ(view_.labels.size(), 1u);
}

TEST_F(DspRecordGl, SelectionLoadsTheListIdOrZeroAndSkipsUnpickableRecords) {
  auto named = makeRecord(newQuadList(), &red_);
  auto unpickable = makeRecord(newQuadList(), &red_);
  unpickable->pickable(0);
  auto bare = makeRecord(newQuadList(), nullptr);

  EXPECT_EQ(selectNames({named.get()}), (std::vector<GLuint>{GLuint(named->listId)}));
  EXPECT_TRUE(selectNames({unpickable.get()}).empty());
  // Drawn after a named record, the record without material is a hit of
  // its own with name 0, not part of the other's hit.
  EXPECT_EQ(selectNames({named.get(), bare.get()}), (std::vector<GLuint>{GLuint(named->listId), 0u}));
}

TEST_F(DspRecordGl, APendingGlErrorThrows) {
  auto record = makeRecord(newQuadList(), &red_);
  glEnd();  // GL_INVALID_OPERATION outside glBegin
  try {
    record->display(&view_, -1, kAllTypes, GL_RENDER, 0, -1);
    FAIL() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "OpenGL display failure");
  }
}

TEST_F(DspRecordGl, DeletingARecordDeletesItsList) {
  const GLuint list = newQuadList();
  auto record = makeRecord(list, &red_);
  ASSERT_TRUE(glIsList(list));
  record.reset();
  EXPECT_FALSE(glIsList(list));
}

