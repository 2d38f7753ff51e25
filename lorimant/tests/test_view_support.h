// A section view on a real document for the view tests: a recording window
// host, a headless main frame whose result pane keeps its rows, and
// builders for rectangles, meshes and construction points.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/tests/test_view_support.h"
#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/HeadlessResultPane.h"
#include "lorimant/view/SectionViewHost.h"
#include "test_document_support.h"

// Picks the first record of object as a click would: the view's records
// are brought up to date first, since changes only mark them out of date.
inline DspRecord* PickRecordOf(CThickSectionView& view, const void* object) {
  view.updateDisplayLists();
  DspRecord* record = view.findDspRecord(object);
  view.addPickList(record);
  return record;
}

namespace view_test {

// A window host that records what the view asked of its window (the
// counts, status texts, message boxes, timers, hover requests, menus and
// programs) and answers its questions from scripted values.
class SectionHost : public SectionViewHost {
 public:
  CRect client{0, 0, 64, 64};
  int invalidates = 0;
  int updates = 0;
  int presents = 0;
  int captures = 0;
  int releases = 0;
  ViewCursor cursor = ViewCursor::Arrow;
  std::vector<CString> statuses;
  std::vector<CString> messages;
  std::vector<CString> captions;
  // Timers running: id -> milliseconds.
  std::map<int, int> timers;
  int hoverRequests = 0;
  std::vector<ViewMenu> menus;
  std::vector<CPoint> menuPoints;
  std::vector<CString> programs;
  bool programsStart = true;
  // The answer to the next number question (none: cancelled), and the
  // prompts and preset values asked.
  std::optional<double> valueAnswer;
  std::vector<CString> prompts;
  std::vector<double> presets;
  // The answer to the next colour question (none: cancelled).
  std::optional<std::array<int, 3>> colourAnswer;
  // The answers to the text, point and points-at-angles questions (none:
  // cancelled), and what those questions were preset to.
  std::optional<CString> textAnswer;
  std::vector<CString> textPresets;
  std::optional<std::array<double, 2>> pointAnswer;
  std::vector<std::array<double, 2>> pointPresets;
  std::optional<PointsAtAngles> anglesAnswer;
  // The answers to the mesh and local size control questions (none:
  // cancelled), the metal the material manager applies (null: closed
  // without one), and how often the materials were edited and the window
  // asked for attention.
  std::optional<MeshParameters> meshAnswer;
  std::optional<std::array<double, 2>> localControlAnswer;
  std::shared_ptr<CMetal> materialAnswer;
  int materialEdits = 0;
  int attentionRequests = 0;

  CRect clientRect() const override { return client; }
  void invalidate(bool) override { ++invalidates; }
  void updateWindow() override { ++updates; }
  void presentBuffer() override { ++presents; }
  ViewCursor setCursor(ViewCursor c) override {
    const ViewCursor previous = cursor;
    cursor = c;
    return previous;
  }
  void captureMouse() override { ++captures; }
  void releaseMouse() override { ++releases; }
  void statusText(const CString& text) override { statuses.push_back(text); }
  int messageBox(const CString& text, const CString& caption, UINT) override {
    messages.push_back(text);
    captions.push_back(caption);
    return 1;
  }
  void startTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
  void killTimer(int id) override { timers.erase(id); }
  void trackHover(int) override { ++hoverRequests; }
  void popupMenu(const ViewMenu& menu, CPoint at) override {
    menus.push_back(menu);
    menuPoints.push_back(at);
  }
  bool startProgram(const CString& commandLine) override {
    programs.push_back(commandLine);
    return programsStart;
  }
  bool askValue(const CString& prompt, double& value) override {
    prompts.push_back(prompt);
    presets.push_back(value);
    if (!valueAnswer) return false;
    value = *valueAnswer;
    return true;
  }
  bool askText(const CString& prompt, CString& text) override {
    prompts.push_back(prompt);
    textPresets.push_back(text);
    if (!textAnswer) return false;
    text = *textAnswer;
    return true;
  }
  bool askPoint(double& x, double& y) override {
    pointPresets.push_back({x, y});
    if (!pointAnswer) return false;
    x = (*pointAnswer)[0];
    y = (*pointAnswer)[1];
    return true;
  }
  bool pointsAtAngles(PointsAtAngles& request) override {
    if (!anglesAnswer) return false;
    request = *anglesAnswer;
    return true;
  }
  bool meshParameters(MeshParameters& parameters) override {
    if (!meshAnswer) return false;
    parameters = *meshAnswer;
    return true;
  }
  bool localControl(double& size, double& radius) override {
    if (!localControlAnswer) return false;
    size = (*localControlAnswer)[0];
    radius = (*localControlAnswer)[1];
    return true;
  }
  std::shared_ptr<CMetal> chooseMaterial(CXSectionAnalysisDoc&) override { return materialAnswer; }
  void editMaterials(CXSectionAnalysisDoc&) override { ++materialEdits; }
  void requestAttention() override { ++attentionRequests; }
  bool askColour(int rgb[3]) override {
    if (!colourAnswer) return false;
    for (int i = 0; i < 3; ++i) rgb[i] = (*colourAnswer)[static_cast<size_t>(i)];
    return true;
  }
};

// A new document with a section view of 200 x 200 pixels on it.
class SectionViewTest : public document_test::DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    doc = std::make_unique<CXSectionAnalysisDoc>(&frame);
    doc->OnNewDocument();
  }
  void TearDown() override {
    view.reset();
    doc.reset();
    DocumentTest::TearDown();
  }

  // Creates, sizes and initialises the view (type V) and makes it the
  // document's active view.
  template <class V = CThickSectionView>
  V* openView(int width = 200, int height = 200) {
    auto v = std::make_unique<V>();
    V* raw = v.get();
    host.client = CRect(0, 0, width, height);
    raw->setHost(&host);
    raw->setDocument(doc.get());
    raw->OnCreate();
    raw->OnSize(0, width, height);
    doc->setActiveView(raw);
    raw->OnInitialUpdate();
    // The first picture, as a window's first paint draws it.
    raw->renderPixels();
    view = std::move(v);
    return raw;
  }

  CXSectionAnalysis* model() const { return doc->model(); }
  CSubSection* root() const { return doc->model()->rootSubSection(); }

  // A rectangle of width w and height h with its lower-left corner at (x, y).
  CShapeAnalysis* rectangle(const wchar_t* name, double x, double y, double w, double h) {
    auto* s = new CShapeAnalysis(model());
    CString n(name);
    s->sector(root(), model(), n, x, y, w, h, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
    return s;
  }

  // Gives the shape a plain metal and meshes it into the root sub-section.
  void mesh(CShapeAnalysis* shape) {
    auto metal = std::make_shared<CMetal>();
    metal->name = L"steel";
    shape->material(metal);
    root()->meshShape(shape, TRNG3, 5, 0, 0.5, 100000, 0);
  }

  // The active records of that exact type, brought up to date first.
  std::vector<DspRecord*> records(unsigned type) const {
    view->updateDisplayLists();
    std::vector<DspRecord*> out;
    for (POSITION pos = view->m_displayList.GetHeadPosition(); pos != nullptr;) {
      DspRecord* r = view->m_displayList.GetNext(pos);
      if (r->type == type) out.push_back(r);
    }
    return out;
  }

  // The pixel at (x, y) counted from the lower left of the picture as it
  // is now (drawn first when out of date).
  Rgba8 pixel(int x, int y) const {
    view->renderPixels();
    view->makeCurrent();
    glFinish();
    return view->buffer()->pixel(x, y);
  }

  HeadlessSectionFrame frame;
  SectionHost host;
  std::unique_ptr<CXSectionAnalysisDoc> doc;
  std::unique_ptr<CThickSectionView> view;
};

}  // namespace view_test
