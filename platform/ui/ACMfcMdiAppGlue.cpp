// The multiple-document glue over wx's document manager and AUI frames.
#include "platform/ui/ACMfcMdiAppGlue.h"

#include <wx/app.h>
#include <wx/aui/tabmdi.h>
#include <wx/docview.h>

#include <vector>

namespace {

// The active child frame as a document frame; null without an application,
// a main window, or an active child.
wxDocChildFrameAnyBase* activeChild()
{
    if (wxTheApp == nullptr)
        return nullptr;
    auto* main = dynamic_cast<wxAuiMDIParentFrame*>(wxTheApp->GetTopWindow());
    if (main == nullptr)
        return nullptr;
    return dynamic_cast<wxDocChildFrameAnyBase*>(main->GetActiveChild());
}

// The manager's documents, template by template in the manager's order.
std::vector<wxDocument*> documentsInTemplateOrder()
{
    std::vector<wxDocument*> found;
    wxDocManager* manager = wxDocManager::GetDocumentManager();
    if (wxTheApp == nullptr || manager == nullptr)
        return found;
    for (wxObject* t : manager->GetTemplates())
        for (wxObject* d : manager->GetDocuments()) {
            auto* doc = static_cast<wxDocument*>(d);
            if (doc->GetDocumentTemplate() == t)
                found.push_back(doc);
        }
    return found;
}

} // namespace

wxDocument* ACMfcMdiAppGlue::GetActiveDoc()
{
    wxDocChildFrameAnyBase* child = activeChild();
    return child != nullptr ? child->GetDocument() : nullptr;
}

wxView* ACMfcMdiAppGlue::GetActiveViewWnd()
{
    wxDocChildFrameAnyBase* child = activeChild();
    return child != nullptr ? child->GetView() : nullptr;
}

BOOL ACMfcMdiAppGlue::CreateNewDocumentInstanceTriple(wxDocument*& out)
{
    out = nullptr;
    wxDocManager* manager = wxTheApp != nullptr ? wxDocManager::GetDocumentManager() : nullptr;
    if (manager == nullptr || manager->GetTemplates().empty())
        return FALSE;
    auto* first = static_cast<wxDocTemplate*>(manager->GetTemplates().GetFirst()->GetData());
    wxDocument* doc = first->CreateDocument(wxString(), wxDOC_NEW);
    if (doc == nullptr)
        return FALSE;
    doc->SetDocumentName(first->GetDocumentName());
    if (!doc->OnNewDocument()) {
        doc->DeleteAllViews();
        return FALSE;
    }
    if (wxView* view = doc->GetFirstView())
        view->Activate(true);
    out = doc;
    return TRUE;
}

void ACMfcMdiAppGlue::GetAllDocuments(CTypedPtrList<CPtrList, wxDocument*>& documents)
{
    for (wxDocument* doc : documentsInTemplateOrder())
        documents.AddTail(doc);
}

void ACMfcMdiAppGlue::GetAllViews(CTypedPtrList<CPtrList, wxView*>& views)
{
    for (wxDocument* doc : documentsInTemplateOrder())
        for (wxObject* v : doc->GetViews())
            views.AddTail(static_cast<wxView*>(v));
}

void ACMfcMdiAppGlue::GetAllFrameWnds(CTypedPtrList<CPtrList, wxWindow*>& frames)
{
    for (wxDocument* doc : documentsInTemplateOrder())
        if (wxView* view = doc->GetFirstView())
            frames.AddTail(view->GetFrame());
}
