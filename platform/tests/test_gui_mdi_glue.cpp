// The multiple-document glue over a small document/view program of its
// own: tabbed frames, two documents, one of them with two views.
#include <gtest/gtest.h>

#include <wx/docview.h>
// after wx/docview.h: it needs wx's configuration to declare anything
#include <wx/aui/tabmdi.h>

#include "platform/tests/GuiTestSupport.h"
#include "platform/ui/ACMfcMdiAppGlue.h"

namespace {

using ParentFrame = wxDocParentFrameAny<wxAuiMDIParentFrame>;
using ChildFrame = wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame>;

class GlueDocument : public wxDocument {
    wxDECLARE_DYNAMIC_CLASS(GlueDocument);
};
wxIMPLEMENT_DYNAMIC_CLASS(GlueDocument, wxDocument);

// A view in a tab of the top window.
class GlueView : public wxView {
public:
    bool OnCreate(wxDocument* doc, long) override
    {
        auto* parent = static_cast<wxAuiMDIParentFrame*>(wxTheApp->GetTopWindow());
        (new ChildFrame(doc, this, parent, wxID_ANY, doc->GetUserReadableName()))->Show();
        return true;
    }
    void OnDraw(wxDC*) override {}
    bool OnClose(bool) override { return true; }

    wxDECLARE_DYNAMIC_CLASS(GlueView);
};
wxIMPLEMENT_DYNAMIC_CLASS(GlueView, wxView);

class GuiMdiGlue : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gui_test::StartWx()) << "wx could not start: the GUI tests need a display (xvfb-run)";
        manager_ = new wxDocManager;
    }
    void TearDown() override
    {
        manager_->CloseDocuments(true);
        gui_test::Flush();
        if (frame_ != nullptr)
            frame_->Destroy();
        delete manager_;
        wxTheApp->SetTopWindow(nullptr);
        gui_test::Flush();
    }
    // The top window with the document template (as a program has them).
    void makeProgram(bool withTemplate = true)
    {
        if (withTemplate)
            new wxDocTemplate(manager_, "Glue", "*.glue", "", "glue", "GlueDoc", "GlueView",
                              wxCLASSINFO(GlueDocument), wxCLASSINFO(GlueView));
        frame_ = new ParentFrame(manager_, nullptr, wxID_ANY, "Glue", wxDefaultPosition, wxSize(500, 400));
        wxTheApp->SetTopWindow(frame_);
        frame_->Show();
    }
    wxDocTemplate* firstTemplate() const
    {
        return static_cast<wxDocTemplate*>(manager_->GetTemplates().GetFirst()->GetData());
    }

    wxDocManager* manager_ = nullptr;
    ParentFrame* frame_ = nullptr;
};

TEST_F(GuiMdiGlue, NoMainWindowOrNoChildGivesNull)
{
    EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), nullptr);
    EXPECT_EQ(ACMfcMdiAppGlue::GetActiveViewWnd(), nullptr);
    makeProgram();
    EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), nullptr);
    EXPECT_EQ(ACMfcMdiAppGlue::GetActiveViewWnd(), nullptr);
}

TEST_F(GuiMdiGlue, ListsAppendDocumentsViewsAndFirstFrames)
{
    makeProgram();
    wxDocument* a = manager_->CreateNewDocument();
    wxDocument* b = manager_->CreateNewDocument();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    wxView* second = firstTemplate()->CreateView(a);
    ASSERT_NE(second, nullptr);
    // A document with no view is listed but brings no view or frame.
    auto* bare = new GlueDocument;
    bare->SetDocumentTemplate(firstTemplate());
    manager_->AddDocument(bare);
    gui_test::Flush();

    CTypedPtrList<CPtrList, wxDocument*> docs;
    CTypedPtrList<CPtrList, wxView*> views;
    CTypedPtrList<CPtrList, wxWindow*> frames;
    wxWindow* already = frame_;
    frames.AddTail(already);  // lists are appended to, not cleared
    ACMfcMdiAppGlue::GetAllDocuments(docs);
    ACMfcMdiAppGlue::GetAllViews(views);
    ACMfcMdiAppGlue::GetAllFrameWnds(frames);

    ASSERT_EQ(docs.GetCount(), 3);
    POSITION p = docs.GetHeadPosition();
    EXPECT_EQ(docs.GetNext(p), a);
    EXPECT_EQ(docs.GetNext(p), b);
    EXPECT_EQ(docs.GetNext(p), bare);

    ASSERT_EQ(views.GetCount(), 3);
    p = views.GetHeadPosition();
    EXPECT_EQ(views.GetNext(p), a->GetFirstView());
    EXPECT_EQ(views.GetNext(p), second);
    EXPECT_EQ(views.GetNext(p), b->GetFirstView());

    ASSERT_EQ(frames.GetCount(), 3);
    p = frames.GetHeadPosition();
    EXPECT_EQ(frames.GetNext(p), already);
    EXPECT_EQ(frames.GetNext(p), a->GetFirstView()->GetFrame());
    EXPECT_EQ(frames.GetNext(p), b->GetFirstView()->GetFrame());

    // The tab shown last is the active child: its document and view.
    EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), a);
    EXPECT_EQ(ACMfcMdiAppGlue::GetActiveViewWnd(), second);
    manager_->RemoveDocument(bare);
    delete bare;
}

TEST_F(GuiMdiGlue, NewDocumentFromTheFirstTemplate)
{
    makeProgram();
    wxDocument* made = reinterpret_cast<wxDocument*>(1);
    ASSERT_TRUE(ACMfcMdiAppGlue::CreateNewDocumentInstanceTriple(made));
    gui_test::Flush();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(manager_->GetDocuments().GetCount(), 1u);
    EXPECT_EQ(made->GetDocumentTemplate(), firstTemplate());
    ASSERT_NE(made->GetFirstView(), nullptr);
    EXPECT_TRUE(made->GetFirstView()->GetFrame()->IsShown());
    EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), made);
}

TEST_F(GuiMdiGlue, NoTemplateMakesNoDocument)
{
    makeProgram(false);
    wxDocument* made = reinterpret_cast<wxDocument*>(1);
    EXPECT_FALSE(ACMfcMdiAppGlue::CreateNewDocumentInstanceTriple(made));
    EXPECT_EQ(made, nullptr);
    EXPECT_TRUE(manager_->GetDocuments().empty());
}

} // namespace
