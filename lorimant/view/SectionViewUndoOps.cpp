// The section view's undo, redo and delete-all-meshes commands and the line plot, without
// any window: the menu commands and the automation methods both run them.
#include <exception>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

void CThickSectionView::OnUndo()
{
    CXSectionAnalysisDoc* doc = GetDocument();
    if (doc == nullptr) return;
    journal(L"xscn.Undo");
    // Clearing first and then finding no snapshot would leave an empty
    // model where the user's section was.
    if (!doc->CanUndo()) return;
    // The document reads the snapshot into a fresh model and swaps it in only
    // once it is complete: a snapshot that cannot be restored throws and
    // leaves the section, the view and both lists as they were.
    doc->Undo();
    EnsureRootSubSection();
    if (m_redrawEnabled) RebuildAndRedraw();
    doc->frame()->RefreshSectionTree();
}

void CThickSectionView::OnRedo()
{
    CXSectionAnalysisDoc* doc = GetDocument();
    if (doc == nullptr) return;
    journal(L"xscn.Redo");
    if (!doc->CanRedo()) return;
    CLogBlock blocked(doc->journal(), L"Redo");
    doc->Redo();  // as Undo: a failure throws and changes nothing
    EnsureRootSubSection();
    RebuildAndRedraw();
    fullView();
    doc->frame()->RefreshSectionTree();
}

void CThickSectionView::DeleteMeshes()
{
    CXSectionAnalysisDoc* doc = GetDocument();
    CXSectionAnalysis* m = model();
    if (doc == nullptr || m == nullptr) return;
    try {
        if (CSubSection* sub = m->currentSubSectionMutable()) {
            resultKind(sub, 0);
            sub->resultKind = 0;
            for (CMesh* mesh : sub->meshes) {
                DspRecord* record = findDspRecord(static_cast<const void*>(mesh));
                if (record == nullptr) continue;
                if (POSITION pos = m_displayList.Find(record)) deleteActive(pos);
            }
        }
        doc->DeleteMeshes();
        RebuildAndRedraw();
        doc->ModelChanged();
    } catch (const std::exception& e) {
        AfxMessageBox(CString(e.what()), L"Mesh Deletion Failure", MB_ICONSTOP);
    }
}

void CThickSectionView::ShowLinePlot(DspRecord* record)
{
    constexpr int kLinePlotPriority = 8;
    maxPriority(kLinePlotPriority);
    // Added to lists out of date, the plot would go with their rebuild.
    updateDisplayLists();
    m_displayList.AddTail(record);
    RefreshScene();
}
