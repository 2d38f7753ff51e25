// OpenGL 1.x and GLU as the views and display records use them. Both come
// from Mesa: libOSMesa supplies the GL entry points (there is no libGL or
// libGLX in the process), and GLU's own GL calls resolve to the same ones,
// so everything draws into the current COffscreenContext.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
