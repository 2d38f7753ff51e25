// The OpenGL view's picking: choosing a record from selection hits, the
// ordered pick list, construction-point dots and the feedback read-back.
#include <unordered_map>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/views/COpenGLView.h"
#include "analysis/views/FeedbackParser.h"

namespace {

// Type bit of construction-point dot records.
constexpr UINT kDotType = 4;
// Values in the feedback buffer.
constexpr int kFeedbackValues = 20000;

// Feedback mode into a buffer, left again however the drawing pass ends: a
// pass that throws must not leave the context writing into the buffer
// after it is gone.
class FeedbackMode {
public:
    explicit FeedbackMode(std::vector<GLfloat>& values) {
        glFeedbackBuffer(static_cast<GLsizei>(values.size()), GL_3D_COLOR_TEXTURE, values.data());
        glRenderMode(GL_FEEDBACK);
    }
    ~FeedbackMode() {
        if (!m_ended) glRenderMode(GL_RENDER);
    }
    FeedbackMode(const FeedbackMode&) = delete;
    FeedbackMode& operator=(const FeedbackMode&) = delete;

    // Back to rendering: the number of values written, -1 after an overflow.
    GLint end() {
        m_ended = true;
        return glRenderMode(GL_RENDER);
    }

private:
    bool m_ended = false;
};

}  // namespace

DspRecord* COpenGLView::processHits(int hits, GLuint* buffer, UINT /*unused*/) {
    if (hits <= 0 || buffer == nullptr || m_pActiveList == nullptr) return nullptr;
    // The candidates by list id, in list order.
    std::unordered_map<GLuint, std::vector<DspRecord*>> candidates;
    for (POSITION pos = m_pActiveList->GetHeadPosition(); pos != nullptr;) {
        DspRecord* r = m_pActiveList->GetNext(pos);
        if (r->pickable() && !r->picked) candidates[static_cast<GLuint>(r->listId)].push_back(r);
    }
    DspRecord* best = nullptr;
    const GLuint* hit = buffer;
    for (int h = 0; h < hits; ++h) {
        // Name count, minimum and maximum depth, then the names; the
        // record's list id is the innermost name.
        const GLuint names = hit[0];
        hit += 3;
        if (names == 0) continue;
        const auto found = candidates.find(hit[names - 1]);
        hit += names;
        if (found == candidates.end()) continue;
        for (DspRecord* r : found->second) {
            if (best == nullptr || r->pickPriority > best->pickPriority) best = r;
        }
    }
    return best;
}

DspRecord* COpenGLView::dspRecord(int listId) const {
    if (DspRecord* r = findDspRecord(listId)) return r;
    for (POSITION pos = m_overlayList.GetHeadPosition(); pos != nullptr;) {
        DspRecord* r = m_overlayList.GetNext(pos);
        if (r->listId == listId) return r;
    }
    return nullptr;
}

void COpenGLView::addPickList(DspRecord* record) {
    if (record == nullptr || record->picked) return;
    if (m_pickList.Find(record->listId) != nullptr) {
        turnOffPickFlags();
        return;
    }
    record->pick();
    m_pickList.AddTail(record->listId);
}

void COpenGLView::turnOffPickFlags() {
    for (POSITION pos = m_pickList.GetHeadPosition(); pos != nullptr;) {
        if (DspRecord* r = dspRecord(m_pickList.GetNext(pos))) r->unpick();
    }
    m_pickList.RemoveAll();
}

void COpenGLView::turnOffPickFlags(UINT typeMask) {
    for (POSITION pos = m_pickList.GetHeadPosition(); pos != nullptr;) {
        DspRecord* r = dspRecord(m_pickList.GetNext(pos));
        if (r != nullptr && (r->type & typeMask) != 0) r->unpick();
    }
}

void COpenGLView::turnOffAllButLastPickFlags() {
    if (m_pickList.GetCount() < 2) return;
    const POSITION last = m_pickList.GetTailPosition();
    for (POSITION pos = m_pickList.GetHeadPosition(); pos != last;) {
        const POSITION here = pos;
        DspRecord* r = dspRecord(m_pickList.GetNext(pos));
        if (r == nullptr) continue;
        r->unpick();
        m_pickList.RemoveAt(here);
    }
}

void COpenGLView::unpickLast() {
    if (m_pickList.IsEmpty()) return;
    if (DspRecord* r = dspRecord(m_pickList.RemoveTail())) r->unpick();
}

DspRecord* COpenGLView::lastPick() const {
    if (m_pickList.IsEmpty()) return nullptr;
    return dspRecord(m_pickList.GetTail());
}

namespace {

// Walks the pick list in pick order until an id names no record; visit
// returns false to stop early.
template <class Visit>
void walkPicks(const COpenGLView& view, const CList<int, int>& picks, Visit visit) {
    for (POSITION pos = picks.GetHeadPosition(); pos != nullptr;) {
        DspRecord* r = view.dspRecord(picks.GetNext(pos));
        if (r == nullptr || !visit(r)) return;
    }
}

bool isDot(const DspRecord* r) { return (r->type & kDotType) != 0; }

}  // namespace

int COpenGLView::isPicked(const void* object) const {
    int found = 0;
    walkPicks(*this, m_pickList, [&](DspRecord* r) {
        if (r->object == object) found = 1;
        return found == 0;
    });
    return found;
}

void* COpenGLView::searchPicks(int type) const {
    void* found = nullptr;
    walkPicks(*this, m_pickList, [&](DspRecord* r) {
        if (r->type == static_cast<UINT>(type)) found = r->object;
        return found == nullptr && r->type != static_cast<UINT>(type);
    });
    return found;
}

CDot* COpenGLView::getPickedDot() const {
    CDot* found = nullptr;
    walkPicks(*this, m_pickList, [&](DspRecord* r) {
        if (isDot(r)) found = static_cast<CDot*>(r->object);
        return !isDot(r);
    });
    return found;
}

bool COpenGLView::get2points(Point<double>* a, Point<double>* b) const {
    Point<double>* out[2] = {a, b};
    int n = 0;
    walkPicks(*this, m_pickList, [&](DspRecord* r) {
        if (isDot(r)) *out[n++] = static_cast<CDot*>(r->object)->location;
        return n < 2;
    });
    return n == 2;
}

bool COpenGLView::get3points(Point<double>* a, Point<double>* b, Point<double>* c) const {
    Point<double>* out[3] = {a, b, c};
    int n = 0;
    walkPicks(*this, m_pickList, [&](DspRecord* r) {
        if (isDot(r)) *out[n++] = static_cast<CDot*>(r->object)->location;
        return n < 3;
    });
    return n == 3;
}

int COpenGLView::dotsPicked() const {
    int n = 0;
    walkPicks(*this, m_pickList, [&](DspRecord* r) {
        if (isDot(r)) ++n;
        return true;
    });
    return n;
}

void COpenGLView::displayDot(CDot* dot) {
    if (dot == nullptr) return;
    // A list id of the context's own, never the dot's unique id: that id
    // may be a list another record already compiled.
    const GLuint list = GetNewDisplayListIDs(1);
    if (list == 0) return;
    auto* record = new DspRecord(L"COpenGLView::dot", dot, nullptr, static_cast<int>(kDotType),
                                 static_cast<int>(list), &m_green, 1);
    m_displayList.AddTail(record);
    maxPriority(9);
    record->priority(9);
    glNewList(list, GL_COMPILE);
    glPointSize(7.0f);
    glEnable(GL_BLEND);
    glBegin(GL_POINTS);
    glVertex2d(dot->location.x, dot->location.y);
    glEnd();
    glEndList();
}

void COpenGLView::feedback(long x, long y, Point<float>* vertex, RGBAf* colour, RGBAf* texture, float* token,
                           Point<float>* /*unused*/, Point<float>* reflection) {
    if (!ensureCurrent()) return;
    std::vector<GLfloat> values(kFeedbackValues);
    FeedbackMode mode(values);
    resetCameraPostDisplayList(0, 1, 0);
    const GLint written = mode.end();

    const FeedbackNearest nearest =
        parseFeedback(values.data(), kFeedbackValues, written, static_cast<float>(x), static_cast<float>(y), m_direction);
    if (nearest.found) {
        const FeedbackVertex& v = nearest.vertex;
        if (vertex != nullptr) *vertex = {v.x, v.y, v.z};
        if (colour != nullptr) *colour = {v.colour[0], v.colour[1], v.colour[2], v.colour[3]};
        if (texture != nullptr) *texture = {v.texture[0], v.texture[1], v.texture[2], v.texture[3]};
        if (token != nullptr) *token = nearest.token;
    }
    if (nearest.hasPrimitive && reflection != nullptr) *reflection = nearest.reflection;
}
