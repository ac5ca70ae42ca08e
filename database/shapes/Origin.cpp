// The work origin (class 2): six axis values, X, Y, Z, A, B, C, that tool
// positions are measured from, shown as an unlit marker at its machine
// position.
#include "korvex.h"
#include "shapes/FigureData.h"
#include "shapes/GlGuards.h"
#include "store/TypedList.h"

#include <GL/gl.h>

namespace {
constexpr unsigned kOriginBytes = 6 * sizeof(double);
}

using namespace DQ;

DQ_API unsigned int dqCreateOrigin(double* values) {
    if (!values) return 0;
    void* data = dqCreateData(values, kOriginBytes);
    if (!data) return 0;
    unsigned tag = dqAddData(dqCClassOrigin, 0, data);
    if (!tag) return 0;
    unsigned owner = tag;
    // Without its head the origin cannot hold children; it keeps its tag
    // but loses its values, and the children below then find no list.
    if (!dqAddData(dqCClassChildHead, 0, dqCreateData(&owner, sizeof owner)))
        dqSetData(tag, nullptr);
    dqAllocChild(tag, 0, 0, dqCClassColor, sessionColor(0));
    const unsigned zero = 0;
    dqSetChild(tag, 0, 0, dqCClassIntList, newIntList(1, &zero));
    return tag;
}

DQ_API unsigned int dqCreateDefaultOrigin(void) {
    double zeros[6] = {0, 0, 0, 0, 0, 0};
    return dqCreateOrigin(zeros);
}

DQ_API void dqSetOrigin(unsigned int tag, double* values) {
    if (!values || tag == 0 || dqGetClass(tag) != dqCClassOrigin) return;
    dqAllocData(tag, values);
}

DQ_API void dqDrawOrigin(unsigned int tag, unsigned int preList, gqCOpenGL& gl) {
    const double* values = static_cast<const double*>(payload(tag, kOriginBytes));
    const float* color = static_cast<const float*>(childData(tag, dqCClassColor, 16));
    AttribGuard attrib(GL_CURRENT_BIT);
    if (color) gl.Color(color);
    BodyGuard frame(gl, preList);
    // An origin without values has no position; it shows nothing rather
    // than a marker at a made-up place.
    if (!values) return;
    double pose[6];
    dqGetMachinePos(values, pose);
    gl.DrawOriginMarker(pose);
}
