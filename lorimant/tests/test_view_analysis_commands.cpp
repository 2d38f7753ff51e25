// The section view's analysis commands with fake dialogs: their refusals,
// the dialogs they open and what those are given, the blocking of the
// shape commands by a bending dialog; and the result overlays (plastic
// arrows and section markers) read from the pixels of the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "lorimant/view/CThickSectionView.h"
#include "test_view_support.h"

namespace test_view_analysis_commands {

namespace C = SectionCommand;
using view_test::SectionViewTest;
using Texts = std::vector<CString>;

// An analysis dialog that records what the view gave and asked of it.
class FakeAnalysisDialog : public SectionDialog {
 public:
  explicit FakeAnalysisDialog(SectionDialogKind k) : kind(k) {}
  void DestroyWindow() override { ++destroys; }
  void setDocument(CXSectionAnalysisDoc* d, CXSectionAnalysis* m) override {
    doc = d;
    model = m;
  }
  void setAnalysisType(int restrained) override { type = restrained; }
  void setSubSection(CSubSection* s) override { sub = s; }
  void setUnitTexts(const CString& moment, const CString& stress, const CString& modulus,
                    const CString& force) override {
    units = {moment, stress, modulus, force};
  }
  int runModal() override {
    ++modalRuns;
    if (duringModal) duringModal();
    return 1;
  }
  void bringToFront() override { ++fronts; }
  void show() override { ++shows; }

  SectionDialogKind kind;
  CXSectionAnalysisDoc* doc = nullptr;
  CXSectionAnalysis* model = nullptr;
  CSubSection* sub = nullptr;
  int type = -1;
  Texts units;
  int shows = 0, fronts = 0, modalRuns = 0, destroys = 0;
  std::function<void()> duringModal;
};

constexpr SectionDialogKind kAnalysisKinds[] = {
    SectionDialogKind::Bending,         SectionDialogKind::PlasticBending,
    SectionDialogKind::Cozzone,         SectionDialogKind::CozzoneUnsymmetric,
    SectionDialogKind::ForceConversion, SectionDialogKind::ProjectForce,
    SectionDialogKind::RambergOsgoodStress,
};

// A material complete enough for Cozzone's method.
std::shared_ptr<CMetal> cozzoneMetal(const wchar_t* name) {
  auto metal = std::make_shared<CMetal>();
  metal->name = name;
  metal->E(10.0e6);
  metal->Gshear(3.8e6);
  metal->Fty_L = 50000.0;
  metal->Ftu_L = 60000.0;
  metal->Fcy_L = 50000.0;
  metal->maxTensileStrain = 0.1;
  return metal;
}

class AnalysisCommands : public SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    for (SectionDialogKind k : kAnalysisKinds)
      factory.registerMaker(k, [this, k](CThickSectionView&) {
        auto d = std::make_unique<FakeAnalysisDialog>(k);
        made.push_back(d.get());
        return d;
      });
    // A basic-shape dialog, so that Rectangle has a handler to enable.
    factory.registerMaker(SectionDialogKind::BasicShape, [](CThickSectionView&) {
      return std::make_unique<FakeAnalysisDialog>(SectionDialogKind::BasicShape);
    });
  }

  // Opens the view with the factory; the basic-shape dialog is not counted.
  void open() {
    openView();
    view->setDialogFactory(&factory);
    made.clear();
  }

  // Meshes shape into the root sub-section with metal (none: none).
  void meshWith(CShapeAnalysis* shape, std::shared_ptr<CMetal> metal) {
    shape->material(std::move(metal));
    root()->meshShape(shape, TRNG3, 5, 0, 0.5, 100000, 0);
  }

  bool enabled(UINT id) const { return view->OnUpdateCommandUI(id).enabled; }

  SectionDialogFactory factory;
  std::vector<FakeAnalysisDialog*> made;
};

TEST_F(AnalysisCommands, NeedTheirDialogMakers) {
  openView();
  for (UINT id : {C::RestrainedBending, C::UnrestrainedBending, C::PlasticAnalysis, C::CozzoneMethod,
                  C::UnsymmetricSection, C::ConvertForces, C::ProjectForces, C::RambergOsgood})
    EXPECT_FALSE(view->hasHandler(id)) << id;
}

TEST_F(AnalysisCommands, UnmeshedSectionRefusesEachAnalysis) {
  rectangle(L"R", 0, 0, 2, 1)->material(cozzoneMetal(L"A"));
  open();
  const struct {
    UINT id;
    const wchar_t* text;
  } cases[] = {
      {C::RestrainedBending, L"All objects must be meshed before performing a bending analysis."},
      {C::UnrestrainedBending, L"All objects must be meshed before performing bending analysis."},
      {C::PlasticAnalysis, L"All objects must be meshed before performing a plastic bending analysis."},
  };
  for (const auto& c : cases) {
    host.messages.clear();
    host.captions.clear();
    EXPECT_TRUE(view->RunCommand(c.id));
    EXPECT_EQ(host.messages, Texts{c.text});
    EXPECT_EQ(host.captions, Texts{L""});
  }
  EXPECT_TRUE(made.empty());
  EXPECT_EQ(view->m_bendingDialog, nullptr);
  EXPECT_TRUE(enabled(C::Rectangle));
}

TEST_F(AnalysisCommands, OneBendingDialogBlocksShapeCommandsUntilItCloses) {
  meshWith(rectangle(L"R", 0, 0, 2, 1), cozzoneMetal(L"A"));
  open();
  ASSERT_TRUE(enabled(C::Rectangle));
  ASSERT_TRUE(view->RunCommand(C::RestrainedBending));
  ASSERT_EQ(made.size(), 1u);
  FakeAnalysisDialog& first = *made[0];
  EXPECT_EQ(first.kind, SectionDialogKind::Bending);
  EXPECT_EQ(first.type, 1);
  EXPECT_EQ(first.shows, 1);
  EXPECT_EQ(first.doc, doc.get());
  EXPECT_EQ(first.model, model());
  EXPECT_EQ(first.sub, root());
  EXPECT_EQ(view->m_bendingDialog, &first);
  EXPECT_EQ(view->m_unrestrainedDialog, &first);
  EXPECT_FALSE(enabled(C::Rectangle));
  EXPECT_TRUE(host.messages.empty());

  // Either bending command while it is open brings it to the front.
  EXPECT_TRUE(view->RunCommand(C::RestrainedBending));
  EXPECT_TRUE(view->RunCommand(C::UnrestrainedBending));
  EXPECT_EQ(made.size(), 1u);
  EXPECT_EQ(first.fronts, 2);
  EXPECT_EQ(first.type, 1);

  view->bendingDialogClosed(&first);
  EXPECT_TRUE(enabled(C::Rectangle));
  EXPECT_EQ(view->m_unrestrainedDialog, nullptr);

  // Closed, the next command makes a new dialog of its own type.
  ASSERT_TRUE(view->RunCommand(C::UnrestrainedBending));
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(made[1]->type, 0);
  EXPECT_EQ(made[1]->shows, 1);
  EXPECT_FALSE(enabled(C::Rectangle));
}

TEST_F(AnalysisCommands, UnrestrainedBendingRefusesShapesWithoutMaterial) {
  meshWith(rectangle(L"R", 0, 0, 2, 1), cozzoneMetal(L"A"));
  rectangle(L"S", 0, 2, 2, 1);
  open();
  ASSERT_TRUE(root()->isMeshed());
  EXPECT_TRUE(view->RunCommand(C::UnrestrainedBending));
  EXPECT_EQ(host.messages, Texts{L"Material is not defined for all objects"});
  EXPECT_EQ(host.captions, Texts{L"Plotting"});
  EXPECT_TRUE(made.empty());
  EXPECT_EQ(view->m_bendingDialog, nullptr);
  EXPECT_TRUE(enabled(C::Rectangle));
}

TEST_F(AnalysisCommands, PlasticAnalysisOpensWithoutBlocking) {
  meshWith(rectangle(L"R", 0, 0, 2, 1), cozzoneMetal(L"A"));
  open();
  ASSERT_TRUE(view->RunCommand(C::PlasticAnalysis));
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0]->kind, SectionDialogKind::PlasticBending);
  EXPECT_EQ(made[0]->model, model());
  EXPECT_EQ(made[0]->sub, root());
  EXPECT_EQ(made[0]->shows, 1);
  EXPECT_EQ(view->m_plasticDialog, made[0]);
  EXPECT_TRUE(enabled(C::Rectangle));
  // Open: brought to the front; closed: a new one.
  EXPECT_TRUE(view->RunCommand(C::PlasticAnalysis));
  EXPECT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0]->fronts, 1);
  view->plasticDialogClosed(made[0]);
  EXPECT_EQ(view->m_plasticDialog, nullptr);
  EXPECT_TRUE(view->RunCommand(C::PlasticAnalysis));
  EXPECT_EQ(made.size(), 2u);
}

TEST_F(AnalysisCommands, ClosingTheDocumentClosesTheResultDialogs) {
  meshWith(rectangle(L"R", 0, 0, 2, 1), cozzoneMetal(L"A"));
  open();
  ASSERT_TRUE(view->RunCommand(C::RestrainedBending));
  ASSERT_TRUE(view->RunCommand(C::PlasticAnalysis));
  ASSERT_EQ(made.size(), 2u);
  gCloseWithoutAsking = true;
  EXPECT_TRUE(doc->SaveModified());
  gCloseWithoutAsking = false;
  gDeletingScn = nullptr;
  EXPECT_EQ(made[0]->destroys, 1);
  EXPECT_EQ(made[1]->destroys, 1);
  EXPECT_EQ(view->m_bendingDialog, nullptr);
  EXPECT_EQ(view->m_plasticDialog, nullptr);
  EXPECT_TRUE(enabled(C::Rectangle));
}

TEST_F(AnalysisCommands, CozzoneChecksTheSingleMaterial) {
  CShapeAnalysis* a = rectangle(L"R", 0, 0, 2, 1);
  CShapeAnalysis* b = rectangle(L"S", 0, 1, 2, 1);
  a->material(cozzoneMetal(L"A"));
  b->material(cozzoneMetal(L"B"));
  open();
  const auto refused = [&](UINT id, const wchar_t* text) {
    root()->scnPrpUTD(true);
    host.messages.clear();
    host.captions.clear();
    EXPECT_TRUE(view->RunCommand(id));
    EXPECT_EQ(host.messages, Texts{text});
    EXPECT_EQ(host.captions, Texts{L"Cozzone Method"});
    EXPECT_FALSE(root()->scnPrpUTD());
    EXPECT_TRUE(made.empty());
  };
  for (UINT id : {C::CozzoneMethod, C::UnsymmetricSection})
    refused(id, L"Material not defined, or there are multiple materials used in the section");
  b->material(a->material());
  // Each value Cozzone's method reads, in turn missing.
  const std::vector<std::function<void(CMetal&)>> missing = {
      [](CMetal& m) { m.Fty_L = 0.0; }, [](CMetal& m) { m.Ftu_L = -99999.0; }, [](CMetal& m) { m.E(0.0); },
      [](CMetal& m) { m.maxTensileStrain = 0.0; }};
  for (const auto& spoil : missing) {
    auto metal = cozzoneMetal(L"A");
    spoil(*metal);
    a->material(metal);
    b->material(metal);
    refused(C::CozzoneMethod, L"Method requires a material definition with values for Fty_l,Ftu_l,E,_maxTensileStrain");
  }
}

TEST_F(AnalysisCommands, CozzoneRunsModallyWithTheUnitTexts) {
  rectangle(L"R", 0, 0, 2, 1)->material(cozzoneMetal(L"A"));
  open();
  const struct {
    int units;
    UINT id;
    SectionDialogKind kind;
    Texts texts;
  } cases[] = {
      {1, C::CozzoneMethod, SectionDialogKind::Cozzone, {L"in-lbs", L"psi", L"in^3", L"lbs"}},
      {0, C::CozzoneMethod, SectionDialogKind::Cozzone, {L"N-cm", L"kPa", L"cm^3", L"N"}},
      {1, C::UnsymmetricSection, SectionDialogKind::CozzoneUnsymmetric, {L"in-lbs", L"psi", L"in^3", L"lbs"}},
  };
  for (const auto& c : cases) {
    doc->setUnitSystem(c.units);
    made.clear();
    frame.subSection = nullptr;
    frame.rows.clear();
    bool sawDialog = false;
    factory.registerMaker(c.kind, [&](CThickSectionView&) {
      auto d = std::make_unique<FakeAnalysisDialog>(c.kind);
      FakeAnalysisDialog* raw = d.get();
      made.push_back(raw);
      // The solution leaves the properties up to date.
      d->duringModal = [&, raw] {
        sawDialog = raw->units == c.texts;
        root()->forceRecalcProperties();
      };
      return d;
    });
    ASSERT_TRUE(view->RunCommand(c.id));
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(sawDialog) << c.units;
    EXPECT_TRUE(host.messages.empty());
    // Afterwards the result pane lists the fresh properties.
    EXPECT_EQ(frame.subSection, root());
    double area = 0.0;
    EXPECT_TRUE(frame.value(L"Area", &area));
    EXPECT_DOUBLE_EQ(area, 2.0);
  }
}

TEST_F(AnalysisCommands, CozzoneLeavesThePaneAloneWhenNothingWasSolved) {
  rectangle(L"R", 0, 0, 2, 1)->material(cozzoneMetal(L"A"));
  open();
  // The modal dialog lives for its run only: what it saw is kept here.
  int runs = 0;
  CSubSection* given = nullptr;
  factory.registerMaker(SectionDialogKind::Cozzone, [&](CThickSectionView&) {
    auto d = std::make_unique<FakeAnalysisDialog>(SectionDialogKind::Cozzone);
    d->duringModal = [&, raw = d.get()] {
      ++runs;
      given = raw->sub;
    };
    return d;
  });
  ASSERT_TRUE(view->RunCommand(C::CozzoneMethod));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(given, root());
  EXPECT_EQ(frame.subSection, nullptr);
  EXPECT_TRUE(frame.rows.empty());
}

TEST_F(AnalysisCommands, CalculatorsOpenTheirDialogs) {
  open();
  const std::map<UINT, SectionDialogKind> commands = {{C::ConvertForces, SectionDialogKind::ForceConversion},
                                                      {C::ProjectForces, SectionDialogKind::ProjectForce},
                                                      {C::RambergOsgood, SectionDialogKind::RambergOsgoodStress}};
  for (const auto& [id, kind] : commands) {
    made.clear();
    ASSERT_TRUE(view->RunCommand(id));
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0]->kind, kind);
    EXPECT_EQ(made[0]->shows, 1);
    // Again: the same dialog is shown again.
    ASSERT_TRUE(view->RunCommand(id));
    EXPECT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0]->shows, 2);
  }
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(enabled(C::Rectangle));
}

// ---- result overlays ----

// A view that shows the stress result of the applied load condition.
class PlasticResultView : public CThickSectionView {
 protected:
  int resultKind(const CSubSection*) const override { return 3; }
};

// Pixels of an 800 x 600 picture; the fit puts the box of the section in
// the middle, half-width 0.6 x the larger of its width and its height / 0.75.
class ResultOverlays : public SectionViewTest {
 protected:
  int count(int x0, int y0, int x1, int y1, Rgba8 colour) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += pixel(x, y) == colour;
    return n;
  }

  // A 4 x 2 rectangle centred at (2, 1) with its properties computed: its
  // centroid at pixel (400, 300), 400 / 2.4 pixels to the unit; a plastic
  // result of kind with the resultant moment (mx, my) and the neutral axis
  // through (2, 0.2), at angle 0: it starts at pixel (400, 166.7).
  void plasticResult(int kind, double mx, double my) {
    CShapeAnalysis* r = rectangle(L"R", 0, 0, 4, 2);
    r->material(cozzoneMetal(L"A"));
    ASSERT_TRUE(root()->forceRecalcProperties());
    auto lc = std::make_shared<CLoadCondition>();
    lc->ScnLoadCondition(CString(L"plastic"));
    CSectionForces* f = lc->scnForcesMutable();
    f->kind = kind;
    f->resultantMx = mx;
    f->resultantMy = my;
    f->resultantMagnitude = std::hypot(mx, my);
    f->neutralPoint = Point<double>(2.0, 0.2, 0.0);
    f->resultantNeutralAxisAngle = 0.0;
    f->resultantNeutralAxisMoment = 5.0;
    root()->curAppLC(lc);
    openView<PlasticResultView>(800, 600);
    view->SetGridPosition(GridPosition::NoShow);
  }
};

TEST_F(ResultOverlays, CozzoneResultDrawsOnlyTheResistingMomentArrow) {
  // The moment points up: the arrow runs 96 pixels (12 % of 800) upwards.
  plasticResult(7, 0.0, 3.0);
  ASSERT_TRUE(root()->scnPrpUTD());
  ASSERT_NEAR(root()->getValue(135), 2.0, 1e-9);
  ASSERT_NEAR(root()->getValue(136), 1.0, 1e-9);
  // Its shaft above the marker's cross, below its label box.
  for (int y = 314; y <= 334; ++y) EXPECT_GT(count(398, y, 401, y, kBlue), 0) << y;
  // Not along x: a swapped angle would run to the right.
  EXPECT_EQ(count(420, 298, 440, 302, kBlue), 0);
  // No neutral-axis arrow.
  EXPECT_EQ(count(415, 160, 470, 173, kBlue), 0);
}

TEST_F(ResultOverlays, PlasticResultDrawsBothArrows) {
  plasticResult(6, 0.0, 3.0);
  for (int y = 314; y <= 334; ++y) EXPECT_GT(count(398, y, 401, y, kBlue), 0) << y;
  // The neutral-axis arrow runs right from (400, 166.7) to its label box.
  for (int x = 412; x <= 424; ++x) EXPECT_GT(count(x, 164, x, 169, kBlue), 0) << x;
  // With the properties out of date nothing is drawn.
  root()->scnPrpUTD(false);
  view->RefreshScene();
  EXPECT_EQ(count(398, 314, 401, 334, kBlue), 0);
  EXPECT_EQ(count(412, 164, 430, 169, kBlue), 0);
}

TEST_F(ResultOverlays, AreaCentroidMarkerWithoutResult) {
  CShapeAnalysis* r = rectangle(L"R", 0, 0, 4, 2);
  r->material(cozzoneMetal(L"A"));
  ASSERT_TRUE(root()->forceRecalcProperties());
  ASSERT_NEAR(root()->getValue(132), 2.0, 1e-9);
  ASSERT_NEAR(root()->getValue(133), 1.0, 1e-9);
  openView(800, 600);
  view->SetGridPosition(GridPosition::NoShow);
  const Rgba8 black{0, 0, 0, 255};
  // The disc at pixel (400, 300): black in the first and third quadrants,
  // white in the others; the blue cross reaches past it.
  EXPECT_EQ(pixel(403, 303), black);
  EXPECT_EQ(pixel(396, 296), black);
  EXPECT_EQ(pixel(396, 303), kWhite);
  EXPECT_EQ(pixel(403, 296), kWhite);
  EXPECT_EQ(pixel(408, 300), kBlue);
  EXPECT_EQ(pixel(400, 292), kBlue);
  // Its label "ACG" left of it and above; no "MCG" left and below without
  // densities.
  EXPECT_GT(count(360, 303, 388, 320, black), 0);
  EXPECT_EQ(count(360, 280, 388, 296, black), 0);
  // With a density the mass centroid (the same point) has its label there.
  r->material()->density(0.1);
  ASSERT_TRUE(root()->forceRecalcProperties());
  ASSERT_NEAR(root()->getValue(138), 2.0, 1e-9);
  ASSERT_NEAR(root()->getValue(139), 1.0, 1e-9);
  view->RefreshScene();
  EXPECT_GT(count(360, 280, 388, 296, black), 0);
  // Out of date: no marker.
  root()->scnPrpUTD(false);
  view->RefreshScene();
  EXPECT_NE(pixel(403, 303), black);
  EXPECT_NE(pixel(408, 300), kBlue);
}

TEST_F(ResultOverlays, PlasticCentroidMarkerNeedsAMesh) {
  // An L of one material with Fcy: bottom 4 x 1, stem 1 x 3. Half the
  // area (3.5) lies below y = 0.875 and left of x = 0.875: the plastic
  // centroid. The box (0,0)-(4,4) puts (2, 2) at pixel (400, 300), 125
  // pixels to the unit: the plastic centroid at (259.4, 159.4).
  auto metal = cozzoneMetal(L"A");
  CShapeAnalysis* bottom = rectangle(L"B", 0, 0, 4, 1);
  CShapeAnalysis* stem = rectangle(L"S", 0, 1, 1, 3);
  bottom->material(metal);
  stem->material(metal);
  ASSERT_TRUE(root()->forceRecalcProperties());
  ASSERT_NEAR(root()->plasticCentroid.x, 0.875, 1e-6);
  ASSERT_NEAR(root()->plasticCentroid.y, 0.875, 1e-6);
  openView(800, 600);
  view->SetGridPosition(GridPosition::NoShow);
  const Rgba8 black{0, 0, 0, 255};
  const auto markerAtPlasticCentroid = [&] {
    return pixel(262, 162) == black && pixel(256, 162) == kWhite && pixel(267, 159) == kBlue;
  };
  EXPECT_FALSE(markerAtPlasticCentroid());
  root()->meshShape(bottom, TRNG3, 5, 0, 0.5, 100000, 0);
  root()->meshShape(stem, TRNG3, 5, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root()->forceRecalcProperties());
  view->RebuildAndRedraw();
  EXPECT_TRUE(markerAtPlasticCentroid());
}

}  // namespace test_view_analysis_commands
