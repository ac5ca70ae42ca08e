// The dq exports of the three checks: pixel query, preparation and run of
// the cutting, shank and holder checks, and the interference model.
#include "korvex.h"
#include "machining/CheckRegion.h"
#include "machining/DepthCompare.h"
#include "machining/InterferenceModel.h"
#include "machining/ToolPart.h"

#include <GL/gl.h>

using namespace DQ;

namespace {

// The depth state a check needs, whatever the caller left: the depth test
// on with GL_LESS and depth writes, clearing to 1.0, no face culling (swept
// solids are not consistently wound). The matrix mode is restored too.
class CheckDepthState {
public:
    CheckDepthState() {
        glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_TRANSFORM_BIT);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glClearDepth(1.0);
    }
    ~CheckDepthState() { glPopAttrib(); }
    CheckDepthState(const CheckDepthState&) = delete;
    CheckDepthState& operator=(const CheckDepthState&) = delete;
};

bool pixelQuery(CheckKind kind, unsigned* n) {
    if (!checkEnabled(kind)) return false;
    if (n) *n = checkWindowSize(checkRegion(kind).r, checkPixelSize(kind));
    return true;
}

void prepare(CheckKind kind, const double* from, const double* to) {
    if (!from || !to) return;
    const CheckRegion region = checkRegion(kind);
    CheckDepthState state;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    loadCheckProjection(region);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    createInterferenceModel(from, to);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

bool run(CheckKind kind) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const CheckRegion region = checkRegion(kind);
    CheckDepthState state;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    loadCheckProjection(region);

    const DepthBuffer model(viewport, 0);
    glFlush();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(0, 0, region.z0);
    drawToolPart(kind);
    glPopMatrix();
    if (!model.data()) {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        return false;
    }
    const DepthBuffer tool(viewport, 1);
    glFlush();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();

    if (!tool.data()) return false;
    return depthsMeet(model.data(), tool.data(), std::size_t(viewport[2]) * viewport[3]);
}

} // namespace

DQ_API bool dqGetCuttingCheckPixel(unsigned int* n) { return pixelQuery(CheckKind::Cutting, n); }
DQ_API bool dqGetShankInterferenceCheckPixel(unsigned int* n) {
    return pixelQuery(CheckKind::Shank, n);
}
DQ_API bool dqGetHolderInterferenceCheckPixel(unsigned int* n) {
    return pixelQuery(CheckKind::Holder, n);
}

DQ_API void dqSetCuttingCheck(const double* from, const double* to) {
    prepare(CheckKind::Cutting, from, to);
}
DQ_API void dqSetShankInterferenceCheck(const double* from, const double* to) {
    prepare(CheckKind::Shank, from, to);
}
DQ_API void dqSetHolderInterferenceCheck(const double* from, const double* to) {
    prepare(CheckKind::Holder, from, to);
}

DQ_API bool dqRunCuttingCheck(void) { return run(CheckKind::Cutting); }
DQ_API bool dqRunShankInterferenceCheck(void) { return run(CheckKind::Shank); }
DQ_API bool dqRunHolderInterferenceCheck(void) { return run(CheckKind::Holder); }

DQ_API void dqCreateInterferenceModel(const double* from, const double* to) {
    createInterferenceModel(from, to);
}
