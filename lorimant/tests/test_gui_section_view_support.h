// A window test's section: a new document with its section view, shown by a
// section canvas in a frame of its own. Torn down frame first, then the
// view, then the document.
#pragma once

#include <wx/frame.h>

#include <memory>

#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"

namespace gui_lorimant_test {

class GuiSectionViewTest : public GuiLorimantTest {
 protected:
  void TearDown() override {
    if (frame != nullptr) frame->Destroy();
    frame = nullptr;
    gui_test::Flush();
    view.reset();
    doc.reset();
    GuiLorimantTest::TearDown();
  }

  // A new document in the unit system given, its view (640 x 480) and the
  // root sub-section.
  void openDocument(int unitSystem) {
    doc = std::make_unique<CXSectionAnalysisDoc>();
    doc->OnNewDocument();
    doc->setUnitSystem(unitSystem);
    view = CThickSectionView::createFor(*doc, 640, 480);
    view->EnsureRootSubSection();
  }
  // The view on a canvas in a shown frame "Section view".
  void showInFrame() {
    frame = new wxFrame(nullptr, wxID_ANY, "Section view", wxPoint(40, 40), wxSize(500, 400));
    new SectionCanvas(frame, *view);
    frame->Show();
    gui_test::Flush();
  }

  std::unique_ptr<CXSectionAnalysisDoc> doc;
  std::unique_ptr<CThickSectionView> view;
  wxFrame* frame = nullptr;
};

}  // namespace gui_lorimant_test
