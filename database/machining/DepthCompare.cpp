#include "machining/DepthCompare.h"

#include <GL/gl.h>

#include <new>

namespace DQ {

bool depthsMeet(const float* model, const float* tool, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (double(tool[i]) <= 0.999999 && model[i] <= tool[i]) return true;
    return false;
}

std::unique_ptr<float[]> readDepthBuffer(const int* vp) {
    if (vp[2] <= 0 || vp[3] <= 0) return nullptr;
    const std::size_t count = std::size_t(vp[2]) * std::size_t(vp[3]);
    std::unique_ptr<float[]> depth(new (std::nothrow) float[count]);
    if (!depth) return nullptr;
    // Tightly packed rows whatever pixel packing the caller has set.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(vp[0], vp[1], vp[2], vp[3], GL_DEPTH_COMPONENT, GL_FLOAT, depth.get());
    glPopClientAttrib();
    return depth;
}

} // namespace DQ
