// The section model root: a new model, property keys and units, creating and
// deleting sub-sections, finding by name, the tree checks, registration.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/tests/test_section_support.h"

namespace {

std::string logicText(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "";
}

using section_test::child;

CShapeAnalysis* square(const wchar_t* n, double x = 0.0, double y = 0.0) {
  return section_test::unitSquare(n, x, y, false);
}

std::vector<std::wstring> flatNames(const CXSectionAnalysis& m) {
  std::vector<std::wstring> out;
  for (const CSubSection* s : m.subSections)
    out.push_back(s->name().str());
  return out;
}

}  // namespace

TEST(SectionModel, NewModelHoldsOnlyCurrentRoot) {
  CXSectionAnalysis m;
  EXPECT_EQ(vAveVAvezeze, &m);
  EXPECT_EQ(gModel, &m);
  EXPECT_EQ(flatNames(m), std::vector<std::wstring>{L"root"});
  ASSERT_NE(m.currentSubSection(), nullptr);
  EXPECT_EQ(m.currentSubSection()->name(), L"root");
  EXPECT_EQ(m.rootSubSection()->parent(), nullptr);
  m.FullSection();
  EXPECT_EQ(m.currentName, m.name);
  EXPECT_EQ(m.currentSubSection(), nullptr);
  EXPECT_EQ(m.currentShapes(), nullptr);
}

TEST(SectionModel, DestroyedModelIsNoLongerCurrent) {
  auto* m = new CXSectionAnalysis();
  delete m;
  EXPECT_EQ(vAveVAvezeze, nullptr);
  EXPECT_THROW(CXSectionAnalysis::scn(), std::logic_error);
}

TEST(SectionModel, StringToSectionValueKnowsEveryKey) {
  const std::pair<const wchar_t*, int> keys[] = {
      {L"ECGx", 135}, {L"ECGy", 136}, {L"ACGx", 132}, {L"ACGy", 133}, {L"MCGx", 138}, {L"MCGy", 139},
      {L"SCx", 32}, {L"ShearCenterXAlfano", 32}, {L"ShearCenterYAlfano", 33}, {L"SCy", 33},
      {L"ShearCenterXJonssen", 34}, {L"SCFemX", 34}, {L"ShearCenterYJonssen", 35}, {L"SCFemY", 35},
      {L"Area", 17}, {L"nEArea", 18}, {L"IxxEC", 74}, {L"2ndMomentOfInertiaAboutY", 74},
      {L"ProductOfInertia", 75}, {L"IxyEC", 75}, {L"2ndMomentOfInertiaAboutX", 76}, {L"IyyEC", 76},
      {L"2ndMomentOfInertiaAboutPrincipalX", 142}, {L"IYYE", 142},
      {L"2ndMomentOfInertiaAboutPrincipalY", 141}, {L"IXXE", 141},
      {L"1stMomentOfInertiaAboutX", 123}, {L"SyE", 123}, {L"1stMomentOfInertiaAboutY", 122}, {L"SxE", 122},
      {L"1stMomentOfInertiaAboutPrincipalX", 129}, {L"SypE", 129},
      {L"1stMomentOfInertiaAboutPrincipalY", 128}, {L"SxpE", 128}, {L"IrEC", 77}, {L"SwE", 26},
      {L"Iww", 29}, {L"IWW", 29}, {L"IWWFem", 29}, {L"WarpingConstantJonssen", 29},
      {L"WarpingConstantAlfano", 28}, {L"JFem", 30}, {L"TorsionConstantJonssen", 30}, {L"Cells", 0},
      {L"Gshearmin", 1}, {L"Gbendmin", 3}, {L"Emin", 4}, {L"J", 5}, {L"TorsionConstantAlfano", 5},
      {L"wo", 6}, {L"Vx", 7}, {L"Vxp", 8}, {L"Vyp", 9}, {L"Mx", 10}, {L"My", 11}, {L"Mxp", 12},
      {L"Myp", 13}, {L"Vy", 14}, {L"Vz", 15}, {L"ACGz", 134}, {L"ECGz", 137}, {L"MCGz", 140},
      {L"SCz", 36}, {L"IxwE", 147}, {L"IXwE", 152}, {L"IywE", 148}, {L"IYwE", 153}, {L"Nxp", 37},
      {L"Nyp", 38}, {L"Pang", 40}, {L"PrincipalAngle", 40}, {L"Dxx", 42}, {L"Dyy", 43}, {L"Dxy", 44},
      {L"RunningLoad", 45}, {L"GJ", 49}, {L"GJFem", 48},
  };
  static_assert(std::size(keys) == 77);
  for (const auto& [key, code] : keys)
    EXPECT_EQ(CXSectionAnalysis::StringToSectionValue(key), code) << CString(key).ToUtf8();
  for (const wchar_t* unknown : {L"area", L"", L"Areas", L"ecgx"})
    EXPECT_EQ(CXSectionAnalysis::StringToSectionValue(unknown), 206);
}

TEST(SectionModel, GetUnitsComposesPlainDigits) {
  CXSectionAnalysis m;
  const EUnitSystem saved = gUnitSystem;
  gUnitSystem = static_cast<EUnitSystem>(0);
  CString out;
  m.getUnits(L"Ixx", out);
  EXPECT_EQ(out, L"cm4");
  EXPECT_EQ(m.unitLabels[kForceLabel], L"GPa");
  EXPECT_EQ(m.unitLabels[kLengthLabel], L"cm");
  const std::pair<const wchar_t*, const wchar_t*> siCases[] = {
      {L"Cells", L""}, {L"Area", L"cm2"}, {L"Sxp", L"cm3"}, {L"IWW", L"cm6"}, {L"CGy", L"cm"},
      {L"Pang", L"deg"}, {L"Bogus", L"NoMatch"}, {L"ixx", L"NoMatch"},
  };
  for (const auto& [key, unit] : siCases) {
    m.getUnits(key, out);
    EXPECT_EQ(out, unit) << CString(key).ToUtf8();
  }
  gUnitSystem = static_cast<EUnitSystem>(1);
  m.getUnits(L"J", out);
  EXPECT_EQ(out, L"in4");
  EXPECT_EQ(m.unitLabels[kForceLabel], L"lbs");
  gUnitSystem = saved;
}

TEST(SectionModel, CreateSubSectionWithoutParentLeavesNothing) {
  CXSectionAnalysis m;
  CShapeAnalysis* shape = square(L"s");
  EXPECT_EQ(logicText([&] { m.createSubSection(nullptr, m.rootSubSection(), shape); }),
            "Subsection has no parent.");
  EXPECT_EQ(logicText([&] { m.createSubSection(m.rootSubSection(), shape); }), "Subsection has no parent.");
  EXPECT_EQ(m.subSections.size(), 1u);
  EXPECT_EQ(shape->parent, nullptr);
  delete shape;
}

TEST(SectionModel, CreateSubSectionCopiesTemplateAndHoldsShape) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CSubSection* templ = child(m, root, L"templ");
  templ->sectionKind = 13;
  templ->originPointIndex = 3;
  templ->directionPointIndex = 2;
  templ->kindArguments = {1.0, 2.0, 3.0};
  templ->auxText = L"x";
  CShapeAnalysis* shape = square(L"s");
  m.createSubSection(root, templ, shape);
  CSubSection* made = m.subSections.back();
  EXPECT_EQ(made->parent(), root);
  EXPECT_EQ(root->children.back(), made);
  EXPECT_EQ(made->sectionKind, 13);
  EXPECT_EQ(made->originPointIndex, 3);
  EXPECT_EQ(made->directionPointIndex, 2);
  EXPECT_EQ(made->kindArguments, (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_TRUE(made->auxText.IsEmpty());
  ASSERT_NE(made->unionShapes, nullptr);
  EXPECT_EQ(made->unionShapes->GetHead(), shape);
  EXPECT_EQ(shape->parent, made);

  CShapeAnalysis* other = square(L"sibling");
  m.createSubSection(made, other);
  EXPECT_EQ(m.subSections.back()->name(), L"sibling");
  EXPECT_EQ(m.subSections.back()->parent(), root);
  EXPECT_NO_THROW(m.verifySubsections());
  delete shape;
  delete other;
}

TEST(SectionModel, DeleteRootKeepsRootAndCurrentName) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CSubSection* a = child(m, root, L"a");
  CSubSection* b = child(m, a, L"b");
  m.addShapeToLists(root, square(L"r1"));
  m.addShapeToLists(a, square(L"a1"));
  m.addShapeToLists(b, square(L"b1"));
  m.addShapeToLists(b, square(L"b2"));
  EXPECT_EQ(root->nShapes(), 4);
  CString rootName(L"root");
  m.deleteSubSectionAndChildShapes(rootName);
  EXPECT_EQ(flatNames(m), std::vector<std::wstring>{L"root"});
  EXPECT_TRUE(root->children.empty());
  EXPECT_EQ(m.shapes.GetCount(), 0);
  EXPECT_TRUE(root->dots.empty());
  EXPECT_EQ(m.currentName, L"root");
  CString none(L"nothing");
  EXPECT_NO_THROW(m.deleteSubSectionAndChildShapes(none));
}

TEST(SectionModel, FindGeomObjTrimsNames) {
  CXSectionAnalysis other;
  CXSectionAnalysis m;  // current
  CShapeAnalysis* s = square(L" padded ");
  other.addShapeToLists(other.rootSubSection(), s);
  CSubSection* root = other.rootSubSection();
  root->name(L" root");
  CString key(L"  root ");
  EXPECT_EQ(other.findGeomObj(key), root);
  EXPECT_EQ(key, L"root");
  EXPECT_EQ(other.rootSubSection()->name(), L"root");
  CString shapeKey(L"padded");
  EXPECT_EQ(other.findGeomObj(shapeKey), s);
  EXPECT_EQ(s->name(), L"padded");
  CString modelKey = CString(L" ") + m.name;
  EXPECT_EQ(other.findGeomObj(modelKey), &m);
  CString missing(L"missing");
  EXPECT_EQ(other.findGeomObj(missing), nullptr);
}

TEST(SectionModel, AddShapeToListsRefusesNameClashBeforeChanging) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CShapeAnalysis* first = square(L"s");
  m.addShapeToLists(root, first);
  m.addShapeToLists(root, first);  // already listed: nothing changes
  EXPECT_EQ(m.shapes.GetCount(), 1);
  EXPECT_EQ(root->shapeList.GetCount(), 1);
  CShapeAnalysis* clash = square(L"s");
  EXPECT_FALSE(logicText([&] { m.addShapeToLists(root, clash); }).empty());
  EXPECT_EQ(clash->parent, nullptr);
  EXPECT_EQ(m.shapes.GetCount(), 1);
  EXPECT_EQ(root->shapeList.GetCount(), 1);
  delete clash;
  EXPECT_THROW(m.addShape(L"s"), std::logic_error);
  EXPECT_EQ(m.shapes.GetCount(), 1);
  CShapeAnalysis* added = m.addShape(L"t");
  EXPECT_EQ(added->parent, root);
  EXPECT_EQ(m.findShape(L"t"), added);
  added->id = 4711;
  EXPECT_EQ(m.findShape(4711u), added);
  EXPECT_EQ(m.findShape(4712u), nullptr);
}

TEST(SectionModel, DeleteShapeAndOrphans) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CShapeAnalysis* a = square(L"a");
  m.addShapeToLists(root, a);
  root->addDot(0.0, 0.0, a);
  m.deleteShape(L"a");
  EXPECT_EQ(m.shapes.GetCount(), 0);
  EXPECT_TRUE(root->shapeList.IsEmpty());
  EXPECT_TRUE(root->dots.empty());
  m.shapes.AddTail(square(L"orphan1"));
  m.addShapeToLists(root, square(L"kept"));
  m.shapes.AddTail(square(L"orphan2"));
  m.deleteOrphanShapes();
  ASSERT_EQ(m.shapes.GetCount(), 1);
  EXPECT_EQ(m.shapes.GetHead()->name(), L"kept");
  m.removeFromCurrent(m.shapes.GetHead());
  EXPECT_EQ(m.shapes.GetCount(), 0);
  EXPECT_TRUE(root->shapeList.IsEmpty());
}

TEST(SectionModel, VerifyMessages) {
  CXSectionAnalysis m;
  CSubSection* a = child(m, m.rootSubSection(), L"a");
  m.addShapeToLists(a, square(L"s1"));
  m.addShapeToLists(a, square(L"s2"));
  EXPECT_NO_THROW(m.verifySubSectionHasShapes(L"a", 2, 2));
  EXPECT_EQ(logicText([&] { m.verifySubSectionHasShapes(L"a", 2, 1); }),
            "Number of child shapes is not correct for a");
  EXPECT_EQ(logicText([&] { m.verifySubSectionHasShapes(L"a", 3, 2); }),
            "Subsection shapes count does not match for a");
  EXPECT_EQ(logicText([&] { m.verifySubSectionShapesRemoved(L"a"); }),
            "Shapes of a  have not all been removed, e.g., s1");
  EXPECT_NO_THROW(m.verifySubSectionShapesRemoved(L"root"));
  EXPECT_NO_THROW(m.verifySubsections());
  a->parent(nullptr);
  EXPECT_EQ(logicText([&] { m.verifySubsections(); }), "Subsection tree is corrupted");
  a->parent(m.rootSubSection());
}

TEST(SectionModel, SectionLoadsGoToCurrentSubSection) {
  CXSectionAnalysis m;
  CString n(L"fat");
  m.createFatSectionLoad(n, 1, 2, 3, 4, 5, 6);
  CSubSection* root = m.rootSubSection();
  ASSERT_EQ(root->loadConditions.size(), 1u);
  ASSERT_EQ(root->curAppLC(), root->loadConditions[0]);
  const CSectionForces* f = root->loadConditions[0]->scnForces();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(root->loadConditions[0]->type(), 3);
  EXPECT_EQ(f->Vx, 0.0);
  EXPECT_EQ(f->Vy, 0.0);
  EXPECT_EQ(f->axial, 3.0);
  EXPECT_EQ(f->Mx, 4.0);
  EXPECT_EQ(f->My, 5.0);
  EXPECT_EQ(f->Mz, 0.0);
  CLoadCondition* lc = m.addScnLoadCondition(L"scn");
  ASSERT_EQ(root->loadConditions.size(), 2u);
  EXPECT_EQ(lc, root->loadConditions[1].get());
  EXPECT_EQ(lc->firstValue(), 0);
  EXPECT_EQ(lc->secondValue(), 0);
  m.FullSection();
  EXPECT_THROW(m.addScnLoadCondition(L"x"), std::logic_error);
}

TEST(SectionModel, ClassesAreCreatedByName) {
  const std::pair<const char*, unsigned> classes[] = {
      {"CSubSection", 3}, {"CShapeAnalysis", 1}, {"CXSectionAnalysis", 1}};
  for (const auto& [n, schema] : classes) {
    CRuntimeClass* cls = CRuntimeClass::FromName(n);
    ASSERT_NE(cls, nullptr) << n;
    EXPECT_EQ(cls->Schema(), schema) << n;
    EXPECT_EQ(cls->IsVersionable(), std::string(n) == "CSubSection") << n;
    CObject* o = cls->CreateObject();
    ASSERT_NE(o, nullptr);
    EXPECT_STREQ(o->GetRuntimeClass()->m_lpszClassName, n);
    delete o;
  }
  EXPECT_TRUE(RUNTIME_CLASS(CXSectionAnalysis)->IsDerivedFrom(RUNTIME_CLASS(CBaseXSectionAnalysis)));
  EXPECT_TRUE(RUNTIME_CLASS(CSubSection)->IsDerivedFrom(RUNTIME_CLASS(CObject)));
}

// A tree of 50 groups and 1,000 shapes (its time is a row of `make bench`).
TEST(SectionModel, LargeTreesBuildAndDelete) {
  {
    CXSectionAnalysis m;
    std::vector<CSubSection*> groups;
    for (int g = 0; g < 50; ++g)
      groups.push_back(child(m, g < 10 ? m.rootSubSection() : groups[g % 10], (L"g" + std::to_wstring(g)).c_str()));
    for (int i = 0; i < 1000; ++i) {
      CShapeAnalysis* s = square((L"s" + std::to_wstring(i)).c_str(), i, 0.0);
      m.addShapeToLists(groups[i % 50], s);
      s->addDots(groups[i % 50]);
    }
    EXPECT_EQ(m.rootSubSection()->nShapes(), 1000);
    CString g3(L"g3");
    m.deleteSubSectionAndChildShapes(g3);  // g3 with its child g13, g23, ...
    EXPECT_EQ(m.rootSubSection()->nShapes(), 1000 - 5 * 20);
    EXPECT_NO_THROW(m.verifySubsections());
  }
}

TEST(SectionModel, FindCompositeCurveByShapeThenNearestUnionShape) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CShapeAnalysis* s = square(L"plain");
  m.addShapeToLists(root, s);
  EXPECT_EQ(m.findCompositeCurve(0, 0, L"plain"), s->boundary);
  CSubSection* g = child(m, root, L"group");
  EXPECT_EQ(m.findCompositeCurve(0, 0, L"group"), nullptr);
  CShapeAnalysis* left = square(L"u1", 0, 0);
  CShapeAnalysis* right = square(L"u2", 10, 0);
  CShapeAnalysis* twin = square(L"u3", 10, 0);
  g->unionShapes = new ShapeList(10);
  for (CShapeAnalysis* u : {left, right, twin})
    g->unionShapes->AddTail(u);
  EXPECT_EQ(m.findCompositeCurve(9.0, 0.5, L"group"), right->boundary);  // first of equals
  EXPECT_EQ(m.findCompositeCurve(-1.0, 0.0, L"group"), left->boundary);
  EXPECT_EQ(m.findCompositeCurve(0, 0, L"nothing"), nullptr);
  CCurveResolver* resolver = &m;
  EXPECT_EQ(resolver->findCompositeCurve(0, 0, L"plain"), s->boundary);
  for (CShapeAnalysis* u : {left, right, twin})
    m.shapes.AddTail(u);  // the model owns and deletes them
}

TEST(SectionModel, WeldsMoveWithTheirSubSection) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  auto* w = new CWeld(L"w");
  w->pt1 = Point<double>(1, 0, 0);
  w->pt2 = Point<double>(2, 1, 0);
  root->welds.push_back(w);
  root->translate(1.0, 1.0);
  EXPECT_EQ(w->pt1, Point<double>(2, 1, 0));
  root->rotate(0, 0, 90);
  EXPECT_NEAR(w->pt2.x, -2.0, 1e-12);
  EXPECT_NEAR(w->pt2.y, 3.0, 1e-12);
}

TEST(SectionModel, MeshesAreFoundRenamedAndDeletedByName) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  for (const wchar_t* n : {L"a", L"b", L"a"}) {
    auto* mesh = new CMesh();
    mesh->name = n;
    root->meshes.push_back(mesh);
  }
  CMesh* firstA = root->meshes[0];
  EXPECT_EQ(root->findMesh(L"a"), firstA);
  EXPECT_EQ(root->findMesh(L"none"), nullptr);
  root->renameMesh(L"b", L"c");
  EXPECT_EQ(root->meshes[1]->name, L"c");
  CString a(L"a");
  m.deleteMesh(a);  // every mesh of that name
  ASSERT_EQ(root->meshes.size(), 1u);
  EXPECT_EQ(root->meshes[0]->name, L"c");
  root->translate(1.0, 0.0);  // meshes without nodes move without harm
  EXPECT_FALSE(m.childMeshesExists());
}
