// Basic-shape builders: argument checks, local outlines, placing, polygons
// with their journal lines, spline fits and the argument record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/ole/COleDispatchException.h"

namespace {

namespace fs = std::filesystem;

struct Args {
  double x0 = 0, y0 = 0, a3 = 0, a4 = 0, a5 = 0, a6 = 0, a7 = 0;
  ShapeType kind = qhtShapeRectangle;
  short origin = 0, direction = 1;
  double rotation = 0;
  bool hole = false;
};

struct Builder : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  int count = 0;

  // Builds a shape into root; the model owns it once registered.
  CShapeAnalysis* build(const Args& a) {
    auto* s = new CShapeAnalysis(&model);
    CString n(("s" + std::to_string(++count)).c_str());
    try {
      s->sector(root, &model, n, a.x0, a.y0, a.a3, a.a4, a.a5, a.a6, a.a7, a.kind, a.origin, a.direction,
                a.rotation, a.hole);
    } catch (...) {
      delete s;
      throw;
    }
    return s;
  }

  // The description of the dispatch failure of a build, or "" when it succeeds.
  std::string refusal(const Args& a) {
    try {
      build(a);
    } catch (const COleDispatchException& e) {
      EXPECT_EQ(e.m_wCode, 1);
      return e.m_strDescription.ToUtf8();
    }
    return "";
  }
};

void expectNearPoint(const Point<double>& p, double x, double y, double tol = 1e-4) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
}

}  // namespace

TEST_F(Builder, EveryArgumentCheckReportsItsText) {
  struct Case {
    Args args;
    const char* text;
  };
  auto with = [](ShapeType k, double a3, double a4, double a5, double a6, double a7 = 0, short o = 0, short d = 1) {
    Args a;
    a.kind = k;
    a.a3 = a3;
    a.a4 = a4;
    a.a5 = a5;
    a.a6 = a6;
    a.a7 = a7;
    a.origin = o;
    a.direction = d;
    return a;
  };
  const Case cases[] = {
      // Point numbers count from 0: origin 0 is valid, so the text says so.
      {with(qhtShapeRectangle, 1, 1, 0, 90, 90, -1, 1),
       "Origin and Direction must be two different point numbers from 0 to 3 (origin -1 and direction 1 given)."},
      {with(qhtShapeRectangle, 1, 1, 0, 90, 90, 0, 0),
       "Origin and Direction must be two different point numbers from 0 to 3 (origin 0 and direction 0 given)."},
      {with(qhtShapeTriangle, 1, 0.5, 1, 0, 0, 2, 2),
       "Origin and Direction must be two different point numbers from 0 to 2 (origin 2 and direction 2 given)."},
      {with(qhtShapeSector, 1e-9, 0, 0, 90), "Invalid radius"},
      {with(qhtShapeSector, 1, 0, 0, 0.001), "Sweep angle is too small"},
      {with(qhtShapeSector, 1, 0, 0, 360), "Sweep angle must be less than 360. deg"},
      {with(qhtShapeFillet, 0, 0, 0, 90), "Invalid radius"},
      {with(qhtShapeFillet, 1, 0, 0, -1), "Sweep angle is too small"},
      {with(qhtShapeFillet, 1, 0, 0, 170.5), "Sweep angle must be less than 170. deg"},
      {with(qhtShapeFillet, 1, 0, 0, 4.9), "Sweep angle must be greater than 5. deg"},
      {with(qhtShapeBlend, 0, 1, 0, 45), "Invalid radius"},
      {with(qhtShapeBlend, 1, 1, 0, 0), "Sweep angle is too small"},
      {with(qhtShapeBlend, 1, 0, 0, 45), "Invalid radius 1"},
      {with(qhtShapeDisk, 0, 0, 0, 0, 0, -1, -1), "Invalid radius"},
      {with(qhtShapeAnnulus, 0, 1, 0, 90), "Radius must be positive"},
      {with(qhtShapeAnnulus, 1, 0, 0, 90), "Width must be positive"},
      {with(qhtShapeAnnulus, 1, 1, 0, 0), "Sweep must be positive and less than 359 degrees"},
      {with(qhtShapeAnnulus, 1, 1, 0, 359.5), "Sweep must be positive and less than 359 degrees"},
      {with(qhtShapeParallelogram, 1, 0, 0, 60, 60), "Invalid length or width"},
      {with(qhtShapeRectangle, 1e-9, 1, 0, 90, 90), "Invalid length or width"},
      {with(qhtShapeTriangle, 1, 1, 1e-9, 0), "Invalid dimensions"},
      {with(qhtShapeSectorChord, 1, 0, 0, 0), "Bad leg length or radius"},
      {with(qhtShapeSectorChord, 0, 1, 0, 0), "Bad leg length or radius"},
      {with(qhtShapeSectorChord, 10, 0.0009, 0, 0), "Leg length is too small"},
      {with(qhtShapeSectorChord, 1, 2, 0, 0), "Leg length can't be greater than 2 times radius."},
      {with(qhtShapeRectangle, 1, 1, 0, 90, 90, 0, 4),
       "origin or direction is out of range: point numbers run from 0 to 3 (origin 0 and direction 4 given)."},
      {with(qhtShapeSectorChord, 1, 1, 0, 0, 0, 0, 2),
       "origin or direction is out of range: point numbers run from 0 to 1 (origin 0 and direction 2 given)."},
      {with(qhtShapeParallelogram, 1, 1, 0, 30, 30), "Interior angles need to be adjusted; legs cross"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(refusal(c.args), c.text) << "kind " << c.args.kind;
  EXPECT_EQ(model.shapes.GetCount(), 0);
  EXPECT_TRUE(root->shapeList.IsEmpty());
  EXPECT_TRUE(root->dots.empty());
}

TEST_F(Builder, SectorCornersBeforeAndAfterPlacing) {
  Args a;
  a.kind = qhtShapeSector;
  a.a3 = 10;
  a.a6 = 90;
  a.x0 = 3;
  a.y0 = 4;
  a.rotation = 30;
  CShapeAnalysis* s = build(a);
  // Placed: the centre at (3, 4), the first arc point 30 degrees from it.
  expectNearPoint(s->definingPoints[0], 3, 4, 1e-12);
  const Point<double> dir = s->definingPoints[1] - s->definingPoints[0];
  EXPECT_NEAR(std::atan2(dir.y, dir.x) * 180 / 3.141592653589793, 30.0, 1e-9);
  // Back in the local frame the corners are the closed-form ones.
  Point<double> back(-3, -4, 0), o(0, 0, 0);
  s->translate(&back);
  s->rotate(&o, -30 - 45);  // the local direction of A is -45 degrees
  expectNearPoint(s->definingPoints[0], 0, 0);
  expectNearPoint(s->definingPoints[1], 7.0711, -7.0711);
  expectNearPoint(s->definingPoints[2], 7.0711, 7.0711);
  EXPECT_EQ(s->boundary->nArcs(), 3);
  EXPECT_TRUE(s->isCounterClockwise());
  EXPECT_EQ(root->getShapeDots(s)->size(), 3u);
  EXPECT_EQ(s->parent, root);
  EXPECT_NE(model.shapes.Find(s), nullptr);
}

TEST_F(Builder, RectanglePlacedByItsSecondCorner) {
  Args a;
  a.a3 = 10;
  a.a4 = 5;
  a.a6 = a.a7 = 90;
  a.origin = 1;
  a.direction = 2;
  CShapeAnalysis* s = build(a);
  Point<double> lo, hi;
  s->extents(&lo, &hi, 1);
  expectNearPoint(lo, 0, 0, 1e-12);
  expectNearPoint(hi, 5, 10, 1e-12);
  EXPECT_TRUE(s->isCounterClockwise());
  EXPECT_NEAR(s->boundary->area(), 50.0, 1e-9);
}

TEST_F(Builder, HoleIsReversed) {
  Args a;
  a.a3 = 10;
  a.a4 = 5;
  a.a6 = a.a7 = 90;
  a.hole = true;
  CShapeAnalysis* s = build(a);
  EXPECT_TRUE(s->isNegative());
  EXPECT_NEAR(s->boundary->area(), -50.0, 1e-9);
  ASSERT_NE(s->sectorArgs, nullptr);
  EXPECT_EQ(s->sectorArgs->isHole, 1);
}

TEST_F(Builder, FilletTriangleAnnulusChordAndDiskOutlines) {
  Args f;
  f.kind = qhtShapeFillet;
  f.a3 = 10;
  f.a6 = 90;
  CShapeAnalysis* fillet = build(f);
  EXPECT_NEAR(fillet->boundary->area(), 100.0 - 25.0 * 3.141592653589793, 1e-6);
  Args t;
  t.kind = qhtShapeTriangle;
  t.a3 = 6;
  t.a4 = 0;
  t.a5 = 3;
  EXPECT_NEAR(build(t)->boundary->area(), 9.0, 1e-12);
  Args an;
  an.kind = qhtShapeAnnulus;
  an.a3 = 1;
  an.a4 = 1;
  an.a6 = 180;
  EXPECT_NEAR(build(an)->boundary->area(), 1.5 * 3.141592653589793, 1e-6);
  Args c;
  c.kind = qhtShapeSectorChord;
  c.a3 = 1;
  c.a4 = std::sqrt(2.0);
  c.x0 = 5;
  CShapeAnalysis* chord = build(c);
  EXPECT_NEAR(chord->boundary->area(), 3.141592653589793 / 4 - 0.5, 1e-6);  // quarter-circle segment
  expectNearPoint(chord->definingPoints[0], 5, 0, 1e-12);
  Args d;
  d.kind = qhtShapeDisk;
  d.a3 = 2;
  d.x0 = 1;
  d.y0 = -1;
  d.origin = d.direction = -7;  // ignored for the disk
  d.rotation = 33;
  CShapeAnalysis* disk = build(d);
  EXPECT_EQ(disk->definingPoints.size(), 1u);
  expectNearPoint(disk->origin(), 1, -1, 1e-12);
  EXPECT_NEAR(disk->boundary->area(), 4 * 3.141592653589793, 1e-6);
}

TEST_F(Builder, BlendGetsLegsOnlyWhenTangentPointIsAwayFromP1) {
  Args a;
  a.kind = qhtShapeBlend;
  a.a3 = 1;
  a.a4 = 1;
  a.a6 = 90;  // the second leg along +y touches the circle at (0, 1)
  CShapeAnalysis* full = build(a);
  EXPECT_EQ(full->boundary->nArcs(), 3);
  expectNearPoint(full->definingPoints[2], 0, 1, 1e-9);
  EXPECT_NEAR(full->boundary->area(), 1.0 - 3.141592653589793 / 4, 1e-6);
  // Nearly along the first leg the tangent point comes close to P1: 0.042
  // away for a3 = 1 (legs kept), 0.084 < 0.001 a3 for a3 = 100 (arc only).
  a.a6 = 0.05;
  EXPECT_EQ(build(a)->boundary->nArcs(), 3);
  a.a3 = 100;
  a.a6 = 0.002;
  EXPECT_EQ(build(a)->boundary->nArcs(), 1);
}

TEST_F(Builder, ArgumentRecordGivesBackTheInputs) {
  struct Case {
    Args args;
    double dim1, dim2, dim3, dim4, dim5, sweep;
  };
  auto make = [](ShapeType k, double a3, double a4, double a5, double a6, double a7) {
    Args a;
    a.kind = k;
    a.a3 = a3;
    a.a4 = a4;
    a.a5 = a5;
    a.a6 = a6;
    a.a7 = a7;
    a.x0 = 2;
    a.y0 = 1;
    a.rotation = 20;
    return a;
  };
  const Case cases[] = {
      {make(qhtShapeSector, 4, 0, 0, 60, 0), 4, 0, 0, 60, 0, 60},
      {make(qhtShapeFillet, 4, 0, 0, 70, 0), 4, 0, 0, 70, 0, 110},
      {make(qhtShapeRectangle, 4, 3, 0, 90, 90), 4, 3, 0, 90, 90, 0},
      {make(qhtShapeParallelogram, 4, 3, 0, 60, 70), 4, 3, 0, 60, 70, 0},
      {make(qhtShapeTriangle, 4, 1, 2, 0, 0), 4, 1, 2, 0, 0, 0},
      {make(qhtShapeAnnulus, 2, 1, 0, 120, 0), 2, 1, 0, 120, 0, 0},
      {make(qhtShapeSectorChord, 3, 2, 0, 0, 0), 3, 2, 0, 0, 0, 0},
      {make(qhtShapeDisk, 3, 0, 0, 0, 0), 3, 0, 0, 0, 360, 0},
      {make(qhtShapeBlend, 2, 3, 0, 50, 0), 2, 3, 0, 20, 70, 0},
  };
  for (const Case& c : cases) {
    CShapeAnalysis* s = build(c.args);
    ASSERT_NE(s->sectorArgs, nullptr);
    const ShapeSectorArgs& r = *s->sectorArgs;
    SCOPED_TRACE(CShapeAnalysis::getSectorTypeName(c.args.kind).ToUtf8());
    EXPECT_EQ(r.kind, c.args.kind);
    EXPECT_NEAR(r.dim1, c.dim1, 1e-9);
    EXPECT_NEAR(r.dim2, c.dim2, 1e-9);
    EXPECT_NEAR(r.dim3, c.dim3, 1e-9);
    EXPECT_NEAR(r.dim4, c.dim4, 1e-9);
    EXPECT_NEAR(r.dim5, c.dim5, 1e-9);
    EXPECT_NEAR(r.sweepDeg, c.sweep, 1e-6);
    EXPECT_EQ(r.originNumber, 1);
    EXPECT_EQ(r.directionNumber, 2);
    if (c.args.kind != qhtShapeFillet && c.args.kind != qhtShapeDisk) {
      EXPECT_NEAR(r.rotationDeg, 20.0, 1e-6);
    }
  }
}

TEST_F(Builder, KindNamesAndPointCounts) {
  for (int k : {0, 1, 2, 3, 4, 7, 8, 9, 10})
    EXPECT_EQ(CShapeAnalysis::getSectorType(CShapeAnalysis::getSectorTypeName(k)), k);
  EXPECT_EQ(CShapeAnalysis::getSectorType(L"qhtShapeAnnulus"), 9);
  EXPECT_EQ(CShapeAnalysis::getSectorType(L"qhtShapePolygon"), -1);
  EXPECT_TRUE(CShapeAnalysis::getSectorTypeName(5).IsEmpty());
  const int points[] = {3, 2, 3, 3, 4, 0, 0, 4, 0, 4, 3};
  for (int k = 0; k <= 10; ++k)
    EXPECT_EQ(CShapeAnalysis::nSectorPoints(static_cast<ShapeType>(k)), points[k]) << k;
}

namespace {

// Points HOME at a fresh folder so that a journal can be read back.
struct JournalHome {
  fs::path home = fs::temp_directory_path() / ("section_journal_" + std::to_string(::getpid()));
  std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
  JournalHome() {
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
  }
  ~JournalHome() {
    setenv("HOME", saved.c_str(), 1);
    fs::remove_all(home);
  }
  // The lines after the 16 header lines.
  std::vector<std::string> body(const std::string& name) const {
    std::ifstream in(home / "temp" / ("Lorimant_" + name + ".log"), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
      lines.push_back(line);
    return std::vector<std::string>(lines.begin() + std::min<std::size_t>(16, lines.size()), lines.end());
  }
};

}  // namespace

TEST_F(Builder, PolygonJournalsFiveGroupsAndClosesAt1e5) {
  JournalHome home;
  std::vector<std::string> lines;
  {
    CLog log(L"poly", 2, 0, "Lorimant");
    Point<double> pts[] = {{0, 0, 0}, {2.5, 0, 0}, {2.5, 1, 0}, {0, 1e-6, 0}};
    auto* s = new CShapeAnalysis(&model);
    s->polygon(root, L"poly1", pts, 4, 1, &log);
    EXPECT_EQ(s->boundary->nArcs(), 3);  // the last point repeats the first within 1e-5
    EXPECT_TRUE(s->isNegative());
    EXPECT_EQ(s->kind, qhtShapePolygon);
    EXPECT_EQ(s->parent, root);
    EXPECT_EQ(root->findShape(L"poly1"), s);
    EXPECT_EQ(root->getShapeDots(s)->size(), 3u);  // the repeated first point shares its dot
  }
  lines = home.body("poly");
  const std::vector<std::string> expected = {
      "Dim polygon As Quenholt.ArbitraryShape\r",
      "Set polygon = xscn.AddArbitraryShape ( \"poly1\",0)\r",
      "polygon.AddPoint 0,0\r",
      "polygon.AddPoint 2.5,0\r",
      "polygon.AddPoint 2.5,1\r",
      "polygon.AddPoint 0,1e-06\r",
      "polygon.LinearFit \"root\"\r",
      "Set polygon = Nothing\r",
  };
  EXPECT_EQ(lines, expected);

  Point<double> open[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  CShapeAnalysis loose;
  loose.polygon(L"tri", open, 3);
  EXPECT_EQ(loose.boundary->nArcs(), 3);
  EXPECT_FALSE(loose.isNegative());
  CShapeAnalysis single;
  single.polygon(L"dot", open, 1);
  EXPECT_EQ(single.boundary->nArcs(), 0);
}

TEST_F(Builder, SplineFitAndBoundaryEditing) {
  Point<double> pts[] = {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, -1, 0}};
  auto* s = new CShapeAnalysis(&model);
  s->parent = root;
  s->splineFit(pts, 4, 1);
  EXPECT_EQ(s->boundary->nArcs(), 1);
  EXPECT_TRUE(s->isNegative());
  EXPECT_EQ(root->findShape(s->name()), s);
  EXPECT_EQ(root->getShapeDots(s)->size(), 4u);

  CShapeAnalysis edit;
  Point<double> a(1, 0, 0), b(2, 0, 0), c(0, 0, 0);
  edit.addSegment(new Bspline(&a, &b, false));
  edit.addHead(new Bspline(&c, &a, false));
  EXPECT_EQ(edit.boundary->nArcs(), 2);
  expectNearPoint(edit.boundary->startPoint(), 0, 0, 1e-12);
  EXPECT_NEAR(edit.boundary->arcs().GetTail()->globalOffset(), 1.0, 1e-12);
  edit.advanceGlobal(0.5);
  EXPECT_NEAR(edit.boundary->arcs().GetHead()->globalOffset(), 0.5, 1e-12);
}
