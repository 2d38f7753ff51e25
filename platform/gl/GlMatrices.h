// The current OpenGL matrices and viewport, read once, with GLU's maps
// between object and window coordinates over them.
#pragma once

#include "platform/gl/OpenGL.h"

// A snapshot of the model-view and projection matrices and the viewport of
// the current context.
struct GlMatrices {
    GLdouble modelView[16] = {};
    GLdouble projection[16] = {};
    GLint viewport[4] = {};

    // Reads the three from the current context (zeros without one).
    static GlMatrices current();

    // Window coordinates (origin bottom left) of an object point; false when
    // the point cannot be projected.
    bool project(double x, double y, double z, double* wx, double* wy, double* wz) const;
    // Object coordinates of a window point; false when the matrices cannot
    // be inverted.
    bool unProject(double wx, double wy, double wz, double* x, double* y, double* z) const;
};

// The text of an OpenGL or GLU error code ("invalid operation", ...).
const char* glErrorText(GLenum code);
