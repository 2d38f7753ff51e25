// A section view on a real document for the view tests: a recording window
// host, a headless main frame whose result pane keeps its rows, and
// builders for rectangles, meshes and construction points.
#pragma once

#include <memory>
#include <vector>

#include "analysis/tests/test_view_support.h"
#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/HeadlessResultPane.h"
#include "test_document_support.h"

namespace view_test {

// A window host that also keeps the status texts and message boxes.
class SectionHost : public RecordingHost {
 public:
  std::vector<CString> statuses;
  std::vector<CString> messages;
  std::vector<CString> captions;
  void statusText(const CString& text) override { statuses.push_back(text); }
  int messageBox(const CString& text, const CString& caption, UINT) override {
    messages.push_back(text);
    captions.push_back(caption);
    return 1;
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

  // The active records of that exact type.
  std::vector<DspRecord*> records(unsigned type) const {
    std::vector<DspRecord*> out;
    for (POSITION pos = view->m_displayList.GetHeadPosition(); pos != nullptr;) {
      DspRecord* r = view->m_displayList.GetNext(pos);
      if (r->type == type) out.push_back(r);
    }
    return out;
  }

  // The pixel at (x, y) counted from the lower left, after the renderer finished.
  Rgba8 pixel(int x, int y) const {
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
