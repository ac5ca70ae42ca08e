// Small RAII brackets for OpenGL state, so that no early return can leave a
// pushed attribute or matrix behind.
#pragma once

#include "korvex.h"

#include <GL/gl.h>

namespace DQ {

// glPushAttrib(mask) ... glPopAttrib.
class AttribGuard {
public:
    explicit AttribGuard(GLbitfield mask) { glPushAttrib(mask); }
    ~AttribGuard() { glPopAttrib(); }
    AttribGuard(const AttribGuard&) = delete;
    AttribGuard& operator=(const AttribGuard&) = delete;
};

// gl.PushCallList(preList) ... gl.PopMatrix: one body of a figure, drawn
// under the machine transformation that the pre-draw list supplies.
class BodyGuard {
public:
    BodyGuard(gqCOpenGL& gl, unsigned preList) : gl_(gl) { gl_.PushCallList(preList); }
    ~BodyGuard() { gl_.PopMatrix(); }
    BodyGuard(const BodyGuard&) = delete;
    BodyGuard& operator=(const BodyGuard&) = delete;

private:
    gqCOpenGL& gl_;
};

// glPushMatrix ... glPopMatrix on the current matrix mode.
class MatrixGuard {
public:
    MatrixGuard() { glPushMatrix(); }
    ~MatrixGuard() { glPopMatrix(); }
    MatrixGuard(const MatrixGuard&) = delete;
    MatrixGuard& operator=(const MatrixGuard&) = delete;
};

} // namespace DQ
