// The GLU tessellator callbacks and the scope that owns their vertices.
#include <cstdio>
#include <map>
#include <string>

#include "analysis/views/COpenGLView.h"
#include "analysis/views/Tessellation.h"

namespace {

thread_local TessellationScope* tCurrentScope = nullptr;

}  // namespace

TessellationScope::TessellationScope(bool colouredVertices)
    : m_coloured(colouredVertices), m_previous(tCurrentScope) {
    tCurrentScope = this;
}

TessellationScope::~TessellationScope() { tCurrentScope = m_previous; }

TessellationScope* TessellationScope::current() { return tCurrentScope; }

void TessellationScope::recordError(GLenum code) {
    if (m_error == 0) m_error = code;
}

void TessellationScope::rethrow() const {
    if (m_error == 0) return;
    // Thrown as a wide text literal is: a pointer to text that lives as long
    // as the process, one per error code.
    static std::map<GLenum, std::wstring> texts;
    auto it = texts.find(m_error);
    if (it == texts.end()) {
        const GLubyte* text = gluErrorString(m_error);
        const CString wide(text != nullptr ? reinterpret_cast<const char*>(text) : "unknown tessellation error");
        it = texts.emplace(m_error, std::wstring(wide.GetString())).first;
    }
    throw static_cast<const wchar_t*>(it->second.c_str());
}

double* TessellationScope::newVertex() {
    m_combined.push_back(std::make_unique<double[]>(6));
    return m_combined.back().get();
}

void COpenGLView::vertexCallback(void* vertex) {
    const auto* v = static_cast<const GLdouble*>(vertex);
    glColor3dv(v + 3);
    glVertex3dv(v);
}

void COpenGLView::errorCallback(GLenum code) {
    if (TessellationScope* scope = TessellationScope::current()) {
        scope->recordError(code);
        return;
    }
    const GLubyte* text = gluErrorString(code);
    std::fprintf(stderr, "tessellation error outside a scope: %s\n",
                 text != nullptr ? reinterpret_cast<const char*>(text) : "unknown");
}

void COpenGLView::combineCallback(GLdouble coords[3], GLdouble* data[4], GLfloat weight[4], GLdouble** out) {
    if (out == nullptr) return;
    TessellationScope* scope = TessellationScope::current();
    if (scope == nullptr) {
        // Without a scope nobody could free the vertex: GLU gets none and
        // reports that it needed one.
        *out = nullptr;
        return;
    }
    double* v = scope->newVertex();
    v[0] = coords[0];
    v[1] = coords[1];
    v[2] = coords[2];
    v[3] = v[4] = v[5] = 0.0;
    if (scope->colouredVertices()) {
        for (int i = 0; i < 4; ++i) {
            if (data[i] == nullptr) continue;
            for (int c = 3; c < 6; ++c) v[c] += weight[i] * data[i][c];
        }
    }
    *out = v;
}
