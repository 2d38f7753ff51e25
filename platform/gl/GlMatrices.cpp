// Matrix snapshots and the maps of GLU over them.
#include "platform/gl/GlMatrices.h"

GlMatrices GlMatrices::current() {
    GlMatrices m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, m.projection);
    glGetIntegerv(GL_VIEWPORT, m.viewport);
    return m;
}

bool GlMatrices::project(double x, double y, double z, double* wx, double* wy, double* wz) const {
    return gluProject(x, y, z, modelView, projection, viewport, wx, wy, wz) == GL_TRUE;
}

bool GlMatrices::unProject(double wx, double wy, double wz, double* x, double* y, double* z) const {
    return gluUnProject(wx, wy, wz, modelView, projection, viewport, x, y, z) == GL_TRUE;
}

const char* glErrorText(GLenum code) {
    const GLubyte* text = gluErrorString(code);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "unknown error";
}
