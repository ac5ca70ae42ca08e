#include "machining/DepthCompare.h"

#include <GL/gl.h>

#include <new>

namespace DQ {

bool depthsMeet(const float* model, const float* tool, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (double(tool[i]) <= 0.999999 && model[i] <= tool[i]) return true;
    return false;
}

namespace {

constexpr std::size_t kKeptFloats = std::size_t(1) << 22; // 16 MB a slot

struct KeptStorage {
    std::unique_ptr<float[]> block;
    std::size_t size = 0;
};
thread_local KeptStorage kept[2];

} // namespace

DepthBuffer::DepthBuffer(const int* vp, unsigned slot) {
    if (vp[2] <= 0 || vp[3] <= 0) return;
    const std::size_t count = std::size_t(vp[2]) * std::size_t(vp[3]);
    KeptStorage& k = kept[slot & 1];
    if (count <= kKeptFloats) {
        if (k.size < count) {
            k.block.reset(new (std::nothrow) float[count]);
            k.size = k.block ? count : 0;
        }
        data_ = k.block.get();
    } else {
        own_.reset(new (std::nothrow) float[count]);
        data_ = own_.get();
    }
    if (!data_) return;
    // Tightly packed rows whatever pixel packing the caller has set.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(vp[0], vp[1], vp[2], vp[3], GL_DEPTH_COMPONENT, GL_FLOAT, data_);
    glPopClientAttrib();
}

} // namespace DQ
