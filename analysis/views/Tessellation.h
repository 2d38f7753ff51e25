// The GLU tessellator callbacks that draw a tessellated outline, and the
// scope that owns what they make. GLU calls back into C++ from C: nothing
// may be thrown through it, so the error callback only records the error,
// and the caller throws once the polygon has ended:
//
//     TessellationScope scope;
//     gluTessCallback(tess, GLU_TESS_ERROR, (_GLUfuncptr)COpenGLView::errorCallback);
//     gluTessCallback(tess, GLU_TESS_COMBINE, (_GLUfuncptr)COpenGLView::combineCallback);
//     ... gluTessBeginPolygon ... gluTessEndPolygon(tess);
//     scope.rethrow();   // throws the GLU error text (const wchar_t*), if any
//
// The vertices the combine callback makes belong to the innermost scope
// of the thread and are freed with it.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/CString.h"
#include "platform/gl/OpenGL.h"

class TessellationScope {
public:
    // Opens a scope on this thread (scopes nest). With coloured vertices the
    // vertices fed are six doubles (x, y, z, red, green, blue) and a
    // combined vertex gets the weighted colour of its neighbours; otherwise
    // they are three doubles and a combined vertex's colour is black.
    explicit TessellationScope(bool colouredVertices = false);
    // Frees the combined vertices and closes the scope.
    ~TessellationScope();
    TessellationScope(const TessellationScope&) = delete;
    TessellationScope& operator=(const TessellationScope&) = delete;

    // The first error GLU reported in this scope (0: none).
    GLenum error() const { return m_error; }
    // Throws the GLU text of the first error as a wide text (const
    // wchar_t*); nothing when there was none.
    void rethrow() const;
    // Number of vertices the combine callback made in this scope.
    std::size_t combinedCount() const { return m_combined.size(); }

    // The innermost scope of the thread, or null.
    static TessellationScope* current();
    // Records an error (the first one is kept).
    void recordError(GLenum code);
    // A new six-double vertex owned by the scope.
    double* newVertex();
    bool colouredVertices() const { return m_coloured; }

private:
    bool m_coloured;
    GLenum m_error = 0;
    std::vector<std::unique_ptr<double[]>> m_combined;
    TessellationScope* m_previous;
};
