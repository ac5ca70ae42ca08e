// The drawing frame shared by the figures of classes 4 to 7: colour as the
// material, the body between PushCallList(preList) and PopMatrix, all in a
// GL_CURRENT_BIT attribute bracket. The body is drawn even without a
// payload (then it draws nothing) so that the pre-draw list is always
// called once.
#pragma once

#include "korvex.h"
#include "shapes/FigureData.h"
#include "shapes/GlGuards.h"
#include "shapes/Placement.h"

#include <GL/gl.h>

namespace DQ {

template <class DrawBody>
void drawFigure(unsigned tag, unsigned preList, gqCOpenGL& gl, DrawBody drawBody) {
    const float* color = static_cast<const float*>(childData(tag, dqCClassColor, 16));
    const Placement place = placementOf(tag);
    AttribGuard attrib(GL_CURRENT_BIT);
    if (color) glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, color);
    BodyGuard frame(gl, preList);
    drawBody(place);
}

// Adds a block, cone or sphere with its head, the session colour 1 and, when
// withTolerance, a real list holding the session's tolerance (real 15).
unsigned createShape(dqCClassEnum cls, const void* record, unsigned bytes, bool withTolerance);

} // namespace DQ
