// Off-screen OpenGL contexts: buffer layout, depth, GLU drawing into the
// buffer, and a process with a single GL implementation.
#include <gtest/gtest.h>

#include <link.h>

#include <string>
#include <vector>

#include "platform/gl/COffscreenContext.h"

namespace {

const Rgba8 kBlack{0, 0, 0, 255};
const Rgba8 kRed{255, 0, 0, 255};
const Rgba8 kGreen{0, 255, 0, 255};
const Rgba8 kBlue{0, 0, 255, 255};

// Pixel coordinates map to window coordinates one to one.
void pixelProjection(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void clearTo(float r, float g, float b) {
  glClearColor(r, g, b, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void rect(float x0, float y0, float x1, float y1, float z = 0.0f) {
  glBegin(GL_QUADS);
  glVertex3f(x0, y0, z);
  glVertex3f(x1, y0, z);
  glVertex3f(x1, y1, z);
  glVertex3f(x0, y1, z);
  glEnd();
}

}  // namespace

TEST(GlOffscreen, BytesFollowThePixelOrderBottomRowFirst) {
  struct Case {
    PixelOrder order;
    std::vector<std::uint8_t> redBytes;
  };
  for (const Case& c : {Case{PixelOrder::RGBA, {255, 0, 0, 255}}, Case{PixelOrder::BGRA, {0, 0, 255, 255}}}) {
    COffscreenContext context(4, 2, c.order);
    ASSERT_TRUE(context.isValid());
    ASSERT_TRUE(context.makeCurrent());
    EXPECT_TRUE(context.isCurrent());
    pixelProjection(4, 2);
    clearTo(0, 0, 1);
    glColor3f(1, 0, 0);
    rect(0, 0, 4, 1);  // the bottom row only
    glFinish();
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    const std::vector<std::uint8_t> first(context.bits(), context.bits() + 4);
    EXPECT_EQ(first, c.redBytes);
    EXPECT_EQ(context.pixel(3, 0), kRed);
    EXPECT_EQ(context.pixel(0, 1), kBlue);
    EXPECT_EQ(context.rowBytes(), 16u);
    EXPECT_EQ(context.pixel(4, 0), Rgba8{});
  }
}

TEST(GlOffscreen, DepthBufferKeepsTheNearerSurface) {
  COffscreenContext context(8, 8);
  ASSERT_TRUE(context.makeCurrent());
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 24);

  pixelProjection(8, 8);
  glEnable(GL_DEPTH_TEST);
  clearTo(0, 0, 0);
  glColor3f(0, 1, 0);
  rect(0, 0, 8, 8, 0.5f);  // glOrtho looks down -z: larger z is nearer
  glColor3f(1, 0, 0);
  rect(0, 0, 8, 8, -0.5f);
  glFinish();
  EXPECT_EQ(context.pixel(4, 4), kGreen);
}

// GLU sets the projection and draws the disk with its own GL calls; both
// must reach the context's buffer.
TEST(GlOffscreen, GluCallsDrawIntoTheBuffer) {
  COffscreenContext context(32, 32);
  ASSERT_TRUE(context.makeCurrent());
  glViewport(0, 0, 32, 32);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(-1, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  clearTo(0, 0, 0);
  glColor3f(1, 0, 0);
  GLUquadric* quadric = gluNewQuadric();
  ASSERT_NE(quadric, nullptr);
  gluDisk(quadric, 0.0, 0.5, 32, 1);
  gluDeleteQuadric(quadric);
  glFinish();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  EXPECT_EQ(context.pixel(16, 16), kRed);   // inside the disk
  EXPECT_EQ(context.pixel(1, 1), kBlack);   // outside it
  EXPECT_EQ(context.pixel(16, 30), kBlack);
}

TEST(GlOffscreen, NoSecondGlLibraryIsLoaded) {
  std::vector<std::string> loaded;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name ? info->dlpi_name : "");
        return 0;
      },
      &loaded);
  bool osmesa = false;
  for (const std::string& name : loaded) {
    const std::string file = name.substr(name.find_last_of('/') + 1);
    EXPECT_NE(file.rfind("libGL.so", 0), 0u) << name;
    EXPECT_NE(file.rfind("libGLX", 0), 0u) << name;
    osmesa = osmesa || file.rfind("libOSMesa.so", 0) == 0;
  }
  EXPECT_TRUE(osmesa);
}

TEST(GlOffscreen, CurrentContextFollowsMakeCurrentAndRelease) {
  COffscreenContext a(4, 4);
  COffscreenContext b(4, 4);
  ASSERT_TRUE(a.makeCurrent());
  ASSERT_TRUE(b.makeCurrent());
  EXPECT_FALSE(a.isCurrent());
  EXPECT_TRUE(b.isCurrent());

  // Drawing in b leaves a's buffer alone.
  clearTo(1, 0, 0);
  glFinish();
  EXPECT_EQ(b.pixel(0, 0), kRed);
  EXPECT_EQ(a.pixel(0, 0), Rgba8{});

  COffscreenContext::releaseCurrent();
  EXPECT_FALSE(b.isCurrent());
}

TEST(GlOffscreen, ResizeKeepsDisplayListsAndRebindsACurrentContext) {
  COffscreenContext context(4, 4);
  ASSERT_TRUE(context.makeCurrent());
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glColor3f(0, 1, 0);
  rect(-1, -1, 1, 1);  // the whole viewport under identity matrices
  glEndList();

  ASSERT_TRUE(context.resize(8, 2));
  EXPECT_TRUE(context.isCurrent());
  EXPECT_EQ(context.width(), 8);
  EXPECT_EQ(context.height(), 2);
  EXPECT_TRUE(glIsList(list));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 8);
  EXPECT_EQ(viewport[3], 2);

  clearTo(0, 0, 0);
  glCallList(list);
  glFinish();
  EXPECT_EQ(context.pixel(0, 0), kGreen);
  EXPECT_EQ(context.pixel(7, 1), kGreen);

  // An empty buffer cannot be bound: nothing draws.
  EXPECT_FALSE(context.resize(0, 5));
  EXPECT_EQ(context.width(), 0);
  EXPECT_EQ(context.height(), 0);
  EXPECT_FALSE(context.makeCurrent());
}

