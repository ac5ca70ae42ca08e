// The comparison at the heart of the checks: the depth buffer of the swept
// model against the depth buffer of the tool part, both rendered with the
// same check projection.
#pragma once

#include <cstddef>
#include <memory>

namespace DQ {

// True as soon as one pixel has tool[i] <= 0.999999 (the tool covers it)
// and model[i] <= tool[i] (the model reaches the tool's surface or lies
// nearer the gauge point): material exactly at the tool's surface counts.
bool depthsMeet(const float* model, const float* tool, std::size_t count);

// A depth buffer read back from OpenGL. Check windows of ordinary size are
// read into storage kept per slot and thread, so a trace step does not fault
// in fresh pages for every read; larger ones get their own block.
class DepthBuffer {
public:
    // Reads the viewport (x, y, w, h) as floats, bottom row first, into the
    // storage of slot 0 or 1. data() is null when the viewport is empty or
    // memory runs out.
    DepthBuffer(const int* viewport, unsigned slot);
    const float* data() const { return data_; }

private:
    std::unique_ptr<float[]> own_;
    float* data_ = nullptr;
};

} // namespace DQ
