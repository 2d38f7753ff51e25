// Finds the documents, views and frames of the running multiple-document
// program through the application object, its main frame (tabbed MDI frame
// of wx's AUI) and its document manager, for code that holds no pointer to
// them.
#pragma once

#include "platform/core/CList.h"
#include "platform/core/Types.h"

class wxDocument;
class wxView;
class wxWindow;

class ACMfcMdiAppGlue {
public:
    ~ACMfcMdiAppGlue() {}

    // The active child frame's document; null without an application, a
    // main window or an active child.
    static wxDocument* GetActiveDoc();
    // The active child frame's view; null in the same cases.
    static wxView* GetActiveViewWnd();
    // Opens a new untitled, visible document of the document manager's first
    // template (with its frame and view); out is the document. FALSE, with
    // out null, when there is no template or the document cannot be made.
    static BOOL CreateNewDocumentInstanceTriple(wxDocument*& out);
    // Appends every open document, template by template in the manager's
    // order, each template's documents in their order.
    static void GetAllDocuments(CTypedPtrList<CPtrList, wxDocument*>& documents);
    // Appends every view of every document, in document order.
    static void GetAllViews(CTypedPtrList<CPtrList, wxView*>& views);
    // Appends the frame of the first view of every document that has one.
    static void GetAllFrameWnds(CTypedPtrList<CPtrList, wxWindow*>& frames);
};
