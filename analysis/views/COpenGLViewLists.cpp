// The OpenGL view's record lists: posting, finding and removing records,
// and the drawing pass that orders them by layer, priority and pick state.
#include <algorithm>
#include <vector>

#include "analysis/model/Globals.h"
#include "analysis/views/COpenGLView.h"

namespace {

// Drawing priorities 0 to this are drawn; others never are.
constexpr int kTopPriority = 12;
constexpr UINT kAllTypes = 0xFFFFFFFFu;

// Layered-pass groups at equal layer and priority, in drawing order.
enum Group { ActiveUnpicked = 0, OverlayUnpicked = 1, OverlayPicked = 2 };

struct Entry {
    int layer;
    int priority;
    int group;
    DspRecord* record;
};

template <class Match>
POSITION findFirst(const DspRecordList* list, Match match) {
    if (list == nullptr) return nullptr;
    for (POSITION pos = list->GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        if (match(list->GetNext(pos))) return here;
    }
    return nullptr;
}

}  // namespace

UINT COpenGLView::GetNewDisplayListIDs(int n) {
    if (!ensureCurrent()) return 0;
    return glGenLists(n);
}

void COpenGLView::post(int listId, int posted, int pickable) {
    if (DspRecord* r = findDspRecord(listId)) {
        r->posted = posted;
        r->pickable(pickable);
    }
}

void COpenGLView::postObj(void* object, int posted, int pickable) {
    auto shows = [object](const DspRecord* r) { return r->object == object; };
    POSITION pos = findFirst(m_pActiveList, shows);
    DspRecord* r = pos != nullptr ? m_pActiveList->GetAt(pos) : nullptr;
    if (r == nullptr) {
        pos = findFirst(&m_overlayList, shows);
        r = pos != nullptr ? m_overlayList.GetAt(pos) : nullptr;
    }
    if (r != nullptr) {
        r->posted = posted;
        r->pickable(pickable);
    }
}

void COpenGLView::postType(int type) {
    const POSITION pos = findFirst(m_pActiveList, [type](const DspRecord* r) { return r->type == UINT(type); });
    if (pos != nullptr) m_pActiveList->GetAt(pos)->posted = 1;
}

void COpenGLView::unpostType(int type) {
    const POSITION pos = findFirst(m_pActiveList, [type](const DspRecord* r) { return r->type == UINT(type); });
    if (pos != nullptr) m_pActiveList->GetAt(pos)->posted = 0;
}

void COpenGLView::maxPriority(int p) {
    if (p >= m_maxPriority) m_maxPriority = p;
}

DspRecord* COpenGLView::isUsed(int listId) const { return findDspRecord(listId); }

DspRecord* COpenGLView::findDspRecord(int listId) const {
    const POSITION pos = findFirst(m_pActiveList, [listId](const DspRecord* r) { return r->listId == listId; });
    return pos != nullptr ? m_pActiveList->GetAt(pos) : nullptr;
}

DspRecord* COpenGLView::findDspRecord(const void* object) const {
    const POSITION pos = findFirst(m_pActiveList, [object](const DspRecord* r) { return r->object == object; });
    return pos != nullptr ? m_pActiveList->GetAt(pos) : nullptr;
}

void COpenGLView::deleteActive(POSITION pos) {
    DspRecord* r = m_pActiveList->GetAt(pos);
    m_pActiveList->RemoveAt(pos);
    delete r;  // deletes its display list too
}

void COpenGLView::deleteRecords(DspRecordList& list) {
    while (!list.IsEmpty()) delete list.RemoveHead();
}

void COpenGLView::remove(UINT listId) {
    const POSITION pos =
        findFirst(m_pActiveList, [listId](const DspRecord* r) { return r->listId == static_cast<int>(listId); });
    if (pos == nullptr) return;
    if (ensureCurrent())
        errCheck();
    else
        COffscreenContext::releaseCurrent();
    deleteActive(pos);
}

void COpenGLView::removeType(UINT type) {
    if (m_pActiveList == nullptr) return;
    bindForDeletion();
    for (POSITION pos = m_pActiveList->GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        if (m_pActiveList->GetNext(pos)->type == type) deleteActive(here);
    }
}

void COpenGLView::removeDisplay(const void* object) {
    const POSITION pos = findFirst(m_pActiveList, [object](const DspRecord* r) { return r->object == object; });
    if (pos == nullptr) return;
    bindForDeletion();
    deleteActive(pos);
}

void COpenGLView::clearDisplay() {
    if (m_pActiveList == nullptr) return;
    bindForDeletion();
    deleteRecords(*m_pActiveList);
}

void COpenGLView::removeAll() {
    bindForDeletion();
    if (m_pActiveList != nullptr) deleteRecords(*m_pActiveList);
    deleteRecords(m_overlayList);
    if (ensureCurrent()) glFinish();
    m_pickList.RemoveAll();
}

void COpenGLView::ExecuteDisplayList(UINT mode, UINT typeMask, int lit, int unused) {
    if (!ensureCurrent()) return;
    errCheck();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    if (lit) {
        lightsOn();
    } else {
        glShadeModel(GL_FLAT);
        glDisable(GL_DEPTH_TEST);
    }
    runDisplayList(mode, typeMask, lit, unused);
    errCheck();
    glFinish();
}

void COpenGLView::runDisplayList(UINT mode, UINT typeMask, int lit, int /*unused*/) {
    m_maxPriority = kTopPriority;
    const int topLayer = m_layerCount + 1;
    const bool selecting = mode == GL_SELECT;
    auto drawable = [topLayer](const DspRecord* r) {
        return r->layer >= 0 && r->layer <= topLayer && r->drawPriority >= 0 && r->drawPriority <= kTopPriority;
    };

    // One sorted pass instead of a scan of every list per layer and
    // priority: the same records in the same order.
    std::vector<Entry> order;
    if (m_pActiveList != nullptr) {
        for (POSITION pos = m_pActiveList->GetHeadPosition(); pos != nullptr;) {
            DspRecord* r = m_pActiveList->GetNext(pos);
            if (!r->picked && drawable(r)) order.push_back({r->layer, r->drawPriority, ActiveUnpicked, r});
        }
    }
    if (!gShowAnimation) {
        for (POSITION pos = m_overlayList.GetHeadPosition(); pos != nullptr;) {
            DspRecord* r = m_overlayList.GetNext(pos);
            if ((r->overlayMask & m_overlayMask) != 0 && drawable(r))
                order.push_back({r->layer, r->drawPriority, r->picked ? OverlayPicked : OverlayUnpicked, r});
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const Entry& a, const Entry& b) {
        if (a.layer != b.layer) return a.layer > b.layer;
        if (a.priority != b.priority) return a.priority < b.priority;
        return a.group < b.group;
    });
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Entry& e = order[i];
        e.record->display(this, e.priority, typeMask, static_cast<int>(mode), lit, e.layer);
        const bool groupEnds =
            i + 1 == order.size() || order[i + 1].layer != e.layer || order[i + 1].priority != e.priority;
        if (selecting && groupEnds) glLoadName(0);
    }
    if (selecting && topLayer >= 0) glLoadName(0);

    // Picked records last, over everything else, whatever their layer.
    std::vector<DspRecord*> picked;
    if (m_pActiveList != nullptr) {
        for (POSITION pos = m_pActiveList->GetHeadPosition(); pos != nullptr;) {
            DspRecord* r = m_pActiveList->GetNext(pos);
            if (r->picked && r->drawPriority >= 0 && r->drawPriority <= kTopPriority) picked.push_back(r);
        }
    }
    std::stable_sort(picked.begin(), picked.end(),
                     [](const DspRecord* a, const DspRecord* b) { return a->drawPriority < b->drawPriority; });
    for (DspRecord* r : picked) r->display(this, r->drawPriority, typeMask, static_cast<int>(mode), lit, -1);
}

void COpenGLView::annotations(DspRecord* record) {
    if (record == nullptr) return;
    for (int i = 0; i < record->annotationCount; ++i) {
        const DspAnnotation& a = record->annotations[i];
        text3D(a.position.x, a.position.y, a.position.z, a.colour[0], a.colour[1], a.colour[2], a.placement, a.text,
               -1);
    }
}

void COpenGLView::resetCameraPostDisplayList(int /*unused1*/, int clear, int /*unused2*/) {
    if (!ensureCurrent()) return;
    projection();
    cameraPosition();
    if (clear) {
        glClearColor(m_background[0], m_background[1], m_background[2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    bitmapRedraw(GL_RENDER, kAllTypes, 1);
}

void COpenGLView::updateDisplay(LONG_PTR hint, CObject* hintObject) {
    OnUpdate(nullptr, hint, hintObject);
    resetCameraPostDisplayList(0, 1, 0);
}
