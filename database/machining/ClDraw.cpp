// dqDrawCL: the passes of a CL path drawing over the one walk of its CL
// buffer, between the trace cursor's offsets.
#include "korvex.h"
#include "machining/ClDrawPass.h"
#include "machining/ClWalk.h"
#include "machining/TraceCursor.h"
#include "shapes/GlGuards.h"

#include <cmath>

using namespace DQ;

namespace {

bool usableSize(const double* v) { return v && std::isfinite(*v) && *v > 0; }

} // namespace

DQ_API void dqDrawCL(unsigned int tag, unsigned int preList, gqCOpenGL& context, double* point) {
    const ClBuffer buffer = pathBuffer(tag);
    if (!buffer.valid()) return;
    const ClDrawSettings s = loadClDrawSettings(tag);
    const ClDrawFrame frame(s.table);
    const ClWalkRange range = walkRange(findCursor(tag), buffer);

    // Line width and point size are restored with the colour, so the path
    // leaves no trace in the state of whatever is drawn after it.
    AttribGuard attrib(GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    // A size of 0 or below would only raise GL_INVALID_VALUE.
    if (usableSize(s.lineWidth)) glLineWidth(GLfloat(*s.lineWidth));
    if (usableSize(s.pointSize)) glPointSize(GLfloat(*s.pointSize));
    context.Color(s.pathColour);

    const bool rapid = s.switches[kSwitchRapid];
    const ClMoveFilter overlay = rapid ? ClMoveFilter::All : ClMoveFilter::Cutting;
    const bool drawing = context.mode == gqCOpenGL::Draw;

    auto runPass = [&](const float* colour, ClMoveFilter filter, ClDrawKind kind) {
        context.Color(colour);
        BodyGuard body(context, preList);
        ClDrawPass pass(s, frame, context, filter, kind);
        const ClPose reported = walkClPath(buffer, range, &pass);
        pass.finish();
        if (point)
            for (int i = 0; i < 6; ++i) point[i] = reported.v[i];
    };

    runPass(s.pathColour, ClMoveFilter::Cutting, ClDrawKind::Strips);
    if (s.switches[kSwitchToolAxis]) runPass(s.pathColour, overlay, ClDrawKind::ToolAxis);
    if (rapid) runPass(s.rapidColour, ClMoveFilter::Rapid, ClDrawKind::Strips);
    if (s.switches[kSwitchEndPoints] && drawing)
        runPass(s.endColour, overlay, ClDrawKind::EndPoints);
    if (s.anyMarker() && drawing) {
        const double* size = &s.params[kParamMarkerSize];
        if (usableSize(size)) glPointSize(GLfloat(*size));
        runPass(s.markerColour, overlay, ClDrawKind::Markers);
    }
}
