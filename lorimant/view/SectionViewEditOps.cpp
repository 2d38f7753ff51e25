// The section view's editing commands that change the model through the
// picks: Delete, and Undo Union.
#include <algorithm>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

// What a Delete removes, gathered before anything is freed: a shape and
// the vertex dot of it, or two pieces of one profile, are each one target.
struct DeleteTargets {
    std::vector<CDot*> dots;
    std::vector<CString> shapes;
    std::vector<CString> profiles;

    static void addOnce(std::vector<CString>& names, const CString& name)
    {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
};

}  // namespace

void CThickSectionView::DeleteSelected()
{
    CXSectionAnalysis* m = model();
    if (m == nullptr || m_document == nullptr) return;
    journal(L"xscn.DeleteSelected");
    {
        // Unblocked on every way out, so that a deletion that throws does not
        // silence the rest of the session's journal.
        CLogBlock blocked(m_document->journal(), L"Delete Selected");
        DeleteTargets targets;
        for (POSITION pos = COpenGLView::m_pickList.GetHeadPosition(); pos;) {
            DspRecord* r = findDspRecord(COpenGLView::m_pickList.GetNext(pos));
            if (r == nullptr || r->object == nullptr) continue;
            if (r->type & SectionRecord::kDot) {
                targets.dots.push_back(static_cast<CDot*>(r->object));
            } else if (r->type & SectionRecord::kShape) {
                auto* shape = static_cast<CShapeAnalysis*>(r->object);
                CSubSection* owner = shape->subSection();
                if (owner != nullptr && owner->isFormedOrExtrudedSection())
                    DeleteTargets::addOnce(targets.profiles, owner->name());
                else
                    DeleteTargets::addOnce(targets.shapes, shape->name());
            }
        }
        // Points first, while every picked object is still alive; a shape's
        // deletion then finds its removed dots gone.
        if (CSubSection* current = m->currentSubSectionMutable())
            for (CDot* dot : targets.dots) current->deleteDot(dot);
        for (const CString& name : targets.shapes)
            if (m->findShape(name) != nullptr) m->deleteShape(name);
        for (const CString& name : targets.profiles)
            if (m->findSubSection(name) != nullptr) m_document->DeleteSubSectionAndChildShapes(name);
    }
    turnOffPickFlags();
    m->geometryChanged();
    RebuildAndRedraw();
    m_document->ModelChanged();
}

void CThickSectionView::OnBreakUnion()
{
    CXSectionAnalysis* m = model();
    if (m == nullptr || m_document == nullptr) return;
    CSubSection* current = m->currentSubSectionMutable();
    if (current == nullptr) return;
    if (!current->meshes.empty()) {
        const CString text(L"Meshes must be deleted before breaking section apart");
        if (m_pHost != nullptr)
            m_pHost->messageBox(text, CString(L"Break Apart"), MB_OK | MB_ICONINFORMATION);
        else
            Hooks::messageBox(text, CString(L"Break Apart"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    current->removeUnion();
    RebuildAndRedraw();
    m_document->ModelChanged();
    ClearPicks();
    // Written once the union is gone, so a replay never breaks a union that
    // the session kept.
    journal(L"xscn.BreakUnion");
}

bool CThickSectionView::SelectShapes(const std::vector<const void*>& shapes)
{
    updateDisplayLists();
    bool allFound = true;
    for (const void* shape : shapes) {
        bool found = false;
        for (POSITION pos = m_pActiveList ? m_pActiveList->GetHeadPosition() : nullptr; pos;) {
            DspRecord* r = m_pActiveList->GetNext(pos);
            if (r->object != shape || !(r->type & SectionRecord::kShape)) continue;
            found = true;
            if (!r->picked) addPickList(r);
        }
        allFound = allFound && found;
    }
    RefreshScene();
    return allFound;
}
