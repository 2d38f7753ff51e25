// A saved document reopens to the section it held. Each model-changing
// automation method is applied, as a macro, to a section that holds a
// union, a mirrored group, two meshes with a weld between them, loads and
// bending results; the document is saved, opened in a fresh document, and
// the two sections must describe alike: the tree (names, parents, sibling
// order), every shape (kind, owner, sign, materials, area, outline points)
// and the section properties of every sub-section.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "test_journal_support.h"

namespace {

// v with twelve significant digits, tiny values as 0.
std::string num(double v) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.12g", std::fabs(v) < 1e-12 ? 0.0 : v);
  return buffer;
}

std::string text(const CString& s) { return "[" + s.ToUtf8() + "]"; }

std::string names(const ShapeList* list) {
  std::string out;
  for (POSITION pos = list != nullptr ? list->GetHeadPosition() : nullptr; pos != nullptr;)
    out += text(list->GetNext(pos)->name());
  return out;
}

// One sub-section and, below it, its children in their order.
void describeTree(const CSubSection& s, std::vector<std::string>& out) {
  std::string line = "sub " + text(s.name()) + " parent " + (s.parent() ? text(s.parent()->name()) : "-") +
                     " kind " + std::to_string(s.sectionKind) + " children ";
  for (const CSubSection* c : s.children) line += text(c->name());
  line += " own " + names(&s.shapeList) + " union " + (s.unionShapes ? names(s.unionShapes) : "-");
  for (double a : s.kindArguments) line += " " + num(a);
  out.push_back(line);
  for (const CMesh* m : s.meshes)
    out.push_back("  mesh " + text(m->name) + " nodes " + std::to_string(m->nodes.size()) + " triangles " +
                  std::to_string(m->trng3Elements.size()) + " quads " + std::to_string(m->quad4Elements.size()));
  for (const CWeld* w : s.welds) out.push_back("  weld " + text(w->mesh1) + text(w->mesh2));
  for (const auto& lc : s.loadConditions) out.push_back("  load " + text(lc->name()));
  for (const CriticalPoint* p : s.criticalPoints)
    out.push_back("  critical " + num(p->location.x) + "," + num(p->location.y) + " " + num(p->allowable));
  for (const CDot* d : s.constructionPoints) out.push_back("  point " + num(d->location.x) + "," + num(d->location.y));
  for (const CSubSection* c : s.children) describeTree(*c, out);
}

std::string materialName(const std::shared_ptr<CMetal>& m) { return m ? text(m->name) : "-"; }

// Every shape the model holds, by name.
void describeShapes(const CXSectionAnalysis& model, std::vector<std::string>& out) {
  std::vector<std::string> lines;
  for (POSITION pos = model.shapes.GetHeadPosition(); pos != nullptr;) {
    const CShapeAnalysis* s = model.shapes.GetNext(pos);
    std::string line = "shape " + text(s->name()) + " kind " + std::to_string(static_cast<int>(s->kind)) +
                       " owner " + (s->subSection() ? text(s->subSection()->name()) : "-") +
                       (s->isNegative() ? " hole" : " solid") + " materials " + materialName(s->material()) +
                       materialName(s->matl2()) + " area " + num(s->area()) + " outline";
    int count = 0;
    Point<double>* points = s->computePolygon(&count);
    for (int i = 0; i < count; ++i) line += " " + num(points[i].x) + "," + num(points[i].y);
    delete[] points;
    lines.push_back(line);
  }
  std::sort(lines.begin(), lines.end());
  out.insert(out.end(), lines.begin(), lines.end());
}

// The section properties of every sub-section, computed afresh.
void describeProperties(CXSectionAnalysis& model, std::vector<std::string>& out) {
  static const wchar_t* const keys[] = {L"Area", L"ACGx",  L"ACGy",  L"ECGx", L"ECGy", L"nEArea", L"IxxEC",
                                        L"IxyEC", L"IyyEC", L"IXXE", L"IYYE", L"SxE",  L"SyE",    L"Pang"};
  std::vector<CSubSection*> sorted = model.subSections;
  std::sort(sorted.begin(), sorted.end(), [](const CSubSection* a, const CSubSection* b) {
    return a->name().ToUtf8() < b->name().ToUtf8();
  });
  for (CSubSection* s : sorted) {
    std::string line = "properties " + text(s->name());
    if (!s->forceRecalcProperties()) {
      out.push_back(line + " none");
      continue;
    }
    for (const wchar_t* key : keys)
      line += " " + CString(key).ToUtf8() + "=" + num(s->getValue(CXSectionAnalysis::StringToSectionValue(key)));
    out.push_back(line);
  }
}

// The whole section of doc as lines that two sections can be compared by.
std::vector<std::string> describeSection(CXSectionAnalysisDoc& doc) {
  doc.MakeCurrent();
  CXSectionAnalysis& model = *doc.model();
  std::vector<std::string> out{"units " + std::to_string(static_cast<int>(gUnitSystem)),
                               "current " + text(model.currentName),
                               "sub-sections " + std::to_string(model.subSections.size())};
  for (POSITION pos = model.materials.GetHeadPosition(); pos != nullptr;) {
    const std::shared_ptr<CMetal>& m = model.materials.GetNext(pos);
    out.push_back("material " + text(m->name) + " E " + num(m->E()));
  }
  // Sub-sections without a parent head trees of their own; their order in
  // the flat list is not kept by a save, so they go by name.
  std::vector<const CSubSection*> tops;
  for (const CSubSection* s : model.subSections)
    if (s->parent() == nullptr) tops.push_back(s);
  std::sort(tops.begin(), tops.end(), [](const CSubSection* a, const CSubSection* b) {
    return a->name().ToUtf8() < b->name().ToUtf8();
  });
  for (const CSubSection* s : tops) describeTree(*s, out);
  describeShapes(model, out);
  describeProperties(model, out);
  return out;
}

// Where two descriptions first part, for the failure message.
std::string firstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const std::string x = i < a.size() ? a[i] : "(nothing)";
    const std::string y = i < b.size() ? b[i] : "(nothing)";
    if (x != y) return "line " + std::to_string(i) + "\n saved:  " + x + "\n opened: " + y;
  }
  return "";
}

// Two metals for the section; %DIR% stands for the test's folder.
const char* const kMaterials =
    "xscn.CreateDatabase \"%DIR%/materials.sqldb\"\n"
    "xscn.AddMaterialDef \"steel\",\"Steel\",\"Plate\",\"T1\",\"Any\",\"S\",\"SI\",\"S1\",True,29000,29000,7.8,1,"
    "65,65,50,50,50,50,65,65,40,40,0.3,11000,0,0,0,0,0.5,0.5,0.5,0.002,0.002,0.002,0.002,"
    "10,10,10,10,10,10,10,10,0.01,0.01\n"
    "xscn.AddMaterialDef \"alu\",\"Aluminium\",\"Plate\",\"T6\",\"Any\",\"S\",\"SI\",\"A1\",True,10000,10000,2.7,1,"
    "60,60,50,50,50,50,60,60,35,35,0.33,3800,0,0,0,0,0.8,0.8,0.8,0.002,0.002,0.002,0.002,"
    "10,10,10,10,10,10,10,10,0.01,0.01\n";

// The section every method acts on: rectangles A and B side by side in
// "root", each meshed, with a weld over their common edge; the sub-section
// U under "root" with two overlapping rectangles in union; the group M1
// of A and B mirrored about x = -5; a section load and bending results; a
// critical point and a construction point.
const char* const kBaseSection =
    "xscn.SetUnitSystem QHT_SI\n"
    "xscn.AddRectangle \"root\",\"A\",4,2,0,0,0,1,0,1\n"
    "xscn.AddRectangle \"root\",\"B\",4,2,4,0,0,1,0,1\n"
    "xscn.CreateSubSection \"U\",\"root\"\n"
    "xscn.AddRectangle \"U\",\"U1\",2,2,10,0,0,1,0,1\n"
    "xscn.AddRectangle \"U\",\"U2\",2,2,11,1,0,1,0,1\n"
    "xscn.ApplyMaterialToAll \"root\",\"steel\"\n"
    "xscn.SetCurrentSubSection \"U\"\n"
    "xscn.Union\n"
    "xscn.SetCurrentSubSection \"root\"\n"
    "xscn.GroupMirrorDuplicate \"root\",\"M1\",-5,0,1,0\n"
    "xscn.MeshShape \"A\",TRIANGLE_3NODES,20,0.1,1\n"
    "xscn.MeshShape \"B\",TRIANGLE_3NODES,20,0.1,1\n"
    "xscn.CreateWeld 3.9,-0.1,4.1,2.1\n"
    "xscn.CreateFatSectionLoad \"L1\",0,0,1,2,3,0\n"
    "xscn.ApplyUnrestrainedBendingForces \"root\",\"LB\",8,10,0,1\n"
    "xscn.AddCriticalPoint \"root\",1,1,0.01\n"
    "xscn.AddPoint \"root\",0.5,0.5\n";

struct MethodCase {
  const char* name;   // the test's name: the method and, after it, what differs
  const char* macro;  // lines run after the base section
};

// One row per model-changing method of the document's dispatch table (and
// the arbitrary-shape object's fit). Methods that only read, compute values
// that are not stored, draw, or touch only the view or the database's rows
// are not rows.
const MethodCase kMethods[] = {
    {"AddAnnulus", "xscn.AddAnnulus \"root\",\"N\",1,0.5,90,20,0,0,1,0,1"},
    {"AddBlend", "xscn.AddBlend \"root\",\"N\",2,1,90,20,0,0,1,0,1"},
    {"AddDisk", "xscn.AddDisk \"root\",\"N\",1,20,0,1"},
    {"AddFillet", "xscn.AddFillet \"root\",\"N\",1,90,20,0,0,1,0,1"},
    {"AddParallelogram", "xscn.AddParallelogram \"root\",\"N\",2,1,60,60,20,0,0,1,0,1"},
    {"AddArbitraryShape",
     "Set p = xscn.AddArbitraryShape(\"N\",1)\np.AddPoint 20,0\np.AddPoint 22,0\np.AddPoint 21,2\n"
     "p.LinearFit \"M1\"\nSet p = Nothing"},
    {"AddRectangle", "xscn.AddRectangle \"root\",\"N\",2,1,20,0,0,1,0,1"},
    {"AddRectangleHole", "xscn.AddRectangle \"root\",\"N\",1,0.5,1,0.5,0,1,0,0"},
    {"AddSector", "xscn.AddSector \"root\",\"N\",1,90,20,0,0,1,0,1"},
    {"AddTriangle", "xscn.AddTriangle \"root\",\"N\",2,0.5,1,20,0,0,1,0,1"},
    {"AddSectorChord", "xscn.AddSectorChord \"root\",\"N\",2,1.5,20,0,0,1,0,1"},
    {"Union", "xscn.Union"},
    {"DeleteShape", "xscn.DeleteShape \"B_M1\""},
    {"DeleteShapeOfASubSection", "xscn.DeleteShape \"U\""},
    {"GroupAdd", "xscn.GroupAdd \"M1\",\"A\",False"},
    {"GroupAddResettingTheParent", "xscn.GroupAdd \"M1\",\"A_M1\",True"},
    {"GroupDelete", "xscn.GroupDelete \"M1\""},
    {"GroupRemove", "xscn.GroupRemove \"M1\",\"A_M1\""},
    {"MirrorShape", "xscn.MirrorShape \"B_M1\",0,0,0,1"},
    {"MirrorShapeOfAGroup", "xscn.MirrorShape \"M1\",0,0,0,1"},
    {"RotateAll", "xscn.RotateAll 1,1,30"},
    {"RotateDuplicateShape", "xscn.RotateDuplicateShape \"A\",\"A_R\",0,0,45"},
    {"RotateDuplicateShapeOfAProfile", "xscn.AddExtrudedL \"root\",\"L1\",10,1,8,1.2,0.5,90,0,2,30,0,0,0\n"
                                       "xscn.RotateDuplicateShape \"L1\",\"L1R\",0,0,45"},
    {"RotateShape", "xscn.RotateShape \"A_M1\",0,0,30"},
    {"TranslateAll", "xscn.TranslateAll 3,4"},
    {"TranslateDuplicateShape", "xscn.TranslateDuplicateShape \"A\",\"A_T\",0,10"},
    {"TranslateShape", "xscn.TranslateShape \"B_M1\",0,5"},
    {"FileOpen", "xscn.FileSave \"%DIR%/first.qhscn\"\nxscn.FileOpen \"%DIR%/first.qhscn\""},
    {"ClearAll", "xscn.ClearAll"},
    {"CreateSubSection", "xscn.CreateSubSection \"S2\",\"U\""},
    {"GroupMirrorDuplicateOfAUnion", "xscn.GroupMirrorDuplicate \"U\",\"M2\",0,-5,0,1"},
    {"GroupMirrorDuplicateOfAGroup", "xscn.GroupMirrorDuplicate \"M1\",\"M3\",0,-5,0,1"},
    {"AddExtrudedT", "xscn.AddExtrudedT \"root\",\"T1\",10,1,4,1.2,9,1.2,0.5,0.5,90,0,3,30,0,0,0"},
    {"AddExtrudedL", "xscn.AddExtrudedL \"root\",\"L1\",10,1,8,1.2,0.5,90,0,2,30,0,0,0"},
    {"AddFormedL", "xscn.AddFormedL \"root\",\"F1\",10,0.1,8,0.2,90,5,0,30,0,0"},
    {"DeleteSelected", "xscn.SelectShape \"B_M1\"\nxscn.DeleteSelected"},
    {"MirrorDuplicate", "xscn.MirrorDuplicate \"A\",\"A_X\",0,10,0,1"},
    {"MirrorDuplicateOfAUnion", "xscn.MirrorDuplicate \"U\",\"UX\",0,10,0,1"},
    {"Undo", "xscn.Undo"},
    {"Redo", "xscn.Undo\nxscn.Redo"},
    {"BreakUnion", "xscn.SetCurrentSubSection \"U\"\nxscn.BreakUnion"},
    {"DeleteSubSectionAndChildShapes", "xscn.DeleteSubSectionAndChildShapes \"U\""},
    {"DeleteSubSectionAndChildShapesOfAGroup", "xscn.DeleteSubSectionAndChildShapes \"M1\""},
    {"AddIBeam", "xscn.AddIBeam \"root\",\"I1\",10,1,4,1.2,9,1.2,0.5,0.5,90,4,1.2,9,1.2,0.5,0.5,90,0,3,30,0,0,0,0"},
    {"AddExtrudedZ", "xscn.AddExtrudedZ \"root\",\"Z1\",10,1,5,1,0.5,90,5,1,0.5,90,0,2,30,0,0,0.2"},
    {"AddExtrudedC", "xscn.AddExtrudedC \"root\",\"C1\",10,1,5,1,0.5,90,5,1,0.5,90,0,7,30,0,0,0.2,5"},
    {"AddExtrudedJ", "xscn.AddExtrudedJ \"root\",\"J1\",10,1,5,1,0.5,90,3,1,9,1,0.5,0.5,90,0,2,30,0,0,0.2"},
    {"AddFormedC", "xscn.AddFormedC \"root\",\"FC\",10,0.2,4,0.3,90,3,0.4,90,0,7,31.5,-2,0"},
    {"AddFormedZ", "xscn.AddFormedZ \"root\",\"FZ\",10,0.2,4,0.3,90,3,0.4,90,0,7,31.5,-2,0"},
    {"ApplyMaterialToSelected", "xscn.SelectShape \"A_M1\"\nxscn.ApplyMaterialToSelected \"root\",\"alu\""},
    {"ApplyMaterialToAll", "xscn.ApplyMaterialToAll \"M1\",\"alu\""},
    {"CreateDatabase",
     "xscn.CreateDatabase \"%DIR%/other.sqldb\"\n"
     "xscn.AddMaterialDef \"steel\",\"Steel\",\"Plate\",\"T1\",\"Any\",\"S\",\"SI\",\"S1\",True,29000,29000,7.8,1,"
     "65,65,50,50,50,50,65,65,40,40,0.3,11000,0,0,0,0,0.5,0.5,0.5,0.002,0.002,0.002,0.002,"
     "10,10,10,10,10,10,10,10,0.01,0.01"},
    {"ConnectDatabase", "xscn.ConnectDatabase \"%DIR%/materials.sqldb\""},
    {"DeleteMeshes", "xscn.DeleteMeshes"},
    {"SetMaterialOnSubSection", "xscn.SetMaterialOnSubSection \"M1\",\"alu\""},
    {"PlotResult", "xscn.PlotResult QHT_STRESSZZ"},
    {"CreateFatSectionLoad", "xscn.CreateFatSectionLoad \"L2\",0,0,1,5,6,0"},
    {"DeleteLoad", "xscn.DeleteLoad \"L1\""},
    {"SetCurrentLoad", "xscn.SetCurrentLoad \"L1\""},
    {"CreateWeld",
     "xscn.MeshShape \"A_M1\",TRIANGLE_3NODES,20,0.1,1\nxscn.MeshShape \"B_M1\",TRIANGLE_3NODES,20,0.1,1\n"
     "xscn.CreateWeld -14.1,-0.1,-13.9,2.1"},
    {"DeleteWelds", "xscn.DeleteWelds"},
    {"ExecuteWelds", "xscn.ExecuteWelds"},
    {"DeleteSubSection", "xscn.DeleteSubSection \"U\""},
    {"ChangeSubSectionParent", "xscn.ChangeSubSectionParent \"M1\",\"U\""},
    {"ChangeSubSectionParentOfAChild", "xscn.CreateSubSection \"S2\",\"root\"\nxscn.ChangeSubSectionParent \"U\",\"S2\""},
    {"ChangeShapeParent", "xscn.ChangeShapeParent \"A_M1\",\"M1\""},
    {"RenameShape", "xscn.RenameShape \"A_M1\",\"A9\""},
    {"RenameShapeThatIsMeshedAndWelded", "xscn.RenameShape \"A\",\"A9\""},
    {"ApplyUnrestrainedBendingForces", "xscn.ApplyUnrestrainedBendingForces \"root\",\"LB2\",0,10,5,1"},
    {"ApplyRestrainedBendingForces", "xscn.ApplyRestrainedBendingForces \"root\",\"LR\",8,30,100,1"},
    {"SetCurrentSubSection", "xscn.SetCurrentSubSection \"M1\""},
    {"RenameSubSection", "xscn.RenameSubSection \"U\",\"U9\""},
    {"RenameSubSectionOfAGroup", "xscn.RenameSubSection \"M1\",\"M9\""},
    {"BringSubSectionToFront",
     "xscn.CreateSubSection \"S2\",\"root\"\nxscn.CreateSubSection \"S3\",\"root\"\nxscn.BringSubSectionToFront \"S3\""},
    {"BruhnPlasticBendingAnalysis",
     "xscn.SetCurrentSubSection \"M1\"\nxscn.MeshShape \"A_M1\",TRIANGLE_3NODES,20,0.1,1\n"
     "xscn.MeshShape \"B_M1\",TRIANGLE_3NODES,20,0.1,1\nxscn.CreateFatSectionLoad \"LM\",0,0,0,10,0,0\n"
     "xscn.BruhnPlasticBendingAnalysis \"M1\",\"LM\",0"},
    {"AddCriticalPoint", "xscn.AddCriticalPoint \"M1\",-12,1,0.02"},
    {"ClearCriticalPoints", "xscn.ClearCriticalPoints \"root\""},
    {"ComputeAllSectionProperties", "xscn.ComputeAllSectionProperties \"U\""},
    {"SetMaterial", "xscn.SetMaterial \"root\",\"A\",\"alu\""},
    {"PushSubSectionToBack", "xscn.CreateSubSection \"S2\",\"root\"\nxscn.PushSubSectionToBack \"U\""},
    {"MoveSubSectionMeshesToRoot",
     "xscn.SetCurrentSubSection \"U\"\nxscn.MeshSubSection \"U\",TRIANGLE_3NODES,20,0.1,1\n"
     "xscn.SetCurrentSubSection \"root\"\nxscn.MoveSubSectionMeshesToRoot"},
    {"MeshSubSection", "xscn.MeshSubSection \"U\",TRIANGLE_3NODES,20,0.1,1"},
    {"MeshShape", "xscn.MeshShape \"A_M1\",QUAD_4NODES,20,0.1,1"},
    {"ChangeSign", "xscn.ChangeSign \"root\",\"A_M1\""},
    {"AddPoint", "xscn.AddPoint \"M1\",-12,1"},
    {"ApplyMaterialToSubSection", "xscn.ApplyMaterialToSubSection \"U\",\"alu\""},
    {"ApplyMaterialToShape", "xscn.ApplyMaterialToShape \"B\",\"alu\""},
    {"DeleteConstructionPoints", "xscn.DeleteConstructionPoints"},
    {"ApplyMaterial", "xscn.ApplyMaterial \"M1\",\"alu\""},
    {"ComputeCozzonePlasticMomentsGivenFo",
     "xscn.SetCurrentSubSection \"M1\"\nxscn.MeshShape \"A_M1\",TRIANGLE_3NODES,20,0.1,1\n"
     "xscn.MeshShape \"B_M1\",TRIANGLE_3NODES,20,0.1,1\nxscn.ComputeCozzonePlasticMomentsGivenFo 60,100"},
    {"SetUnitsystem", "xscn.SetUnitsystem QHT_USCS"},
    {"ReadIGES", "xscn.WriteIGES \"%DIR%/section.igs\"\nxscn.CreateSubSection \"I\",\"root\"\n"
                 "xscn.SetCurrentSubSection \"I\"\nxscn.ReadIGES \"%DIR%/section.igs\""},
    {"CopyPasteShape", "xscn.CopyPasteShape \"M1\",\"A\",\"A_C\""},
    {"CopyPasteSubSection", "xscn.CopyPasteSubSection \"root\",\"U\",\"U_C\""},
    {"AddLocalSizeControl", "xscn.AddLocalSizeControl \"A\",1,1,0.2,0.5"},
};

std::string withFolder(std::string macro, const std::string& folder) {
  for (std::size_t at = macro.find("%DIR%"); at != std::string::npos; at = macro.find("%DIR%", at))
    macro.replace(at, 5, folder);
  return macro;
}

class DocumentRoundTrip : public journal_test::JournalSessionTest,
                          public ::testing::WithParamInterface<MethodCase> {
 protected:
  // Runs the macro on target; a failing line fails the test.
  void runOk(CXSectionAnalysisDoc& target, const std::string& macro) {
    const JournalRunResult r = run(target, withFolder(macro, root_.string()) + "\n");
    ASSERT_TRUE(r.ok) << "line " << r.lineNumber << ": " << r.line << "\n" << r.description;
  }
};

TEST_P(DocumentRoundTrip, SavedDocumentOpensToTheSameSection) {
  const int renders = view->renderCount();
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, std::string(kMaterials) + kBaseSection));
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, GetParam().macro));
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, "xscn.FileSave \"%DIR%/g.qhscn\""));
  // Described before the other document loads: a load sets the unit system
  // and the current model for the whole program.
  const std::vector<std::string> saved = describeSection(*doc);

  CXSectionAnalysisDoc opened(&frame);
  opened.hidden = true;
  opened.OnNewDocument();
  std::unique_ptr<CThickSectionView> openedView = CThickSectionView::createFor(opened, 100, 100);
  ASSERT_NO_FATAL_FAILURE(runOk(opened, "xscn.FileOpen \"%DIR%/g.qhscn\""));
  const std::vector<std::string> reopened = describeSection(opened);
  EXPECT_EQ(saved, reopened) << firstDifference(saved, reopened);
  // No window looks at either view: the methods drew nothing.
  EXPECT_EQ(view->renderCount(), renders);
  EXPECT_EQ(openedView->renderCount(), 0);
  openedView.reset();
  doc->MakeCurrent();
}

INSTANTIATE_TEST_SUITE_P(EveryModelChangingMethod, DocumentRoundTrip, ::testing::ValuesIn(kMethods),
                         [](const ::testing::TestParamInfo<MethodCase>& info) { return std::string(info.param.name); });

}  // namespace
