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

// The depth buffer of the viewport (x, y, w, h) as floats, bottom row first;
// null when it cannot be allocated or the viewport is empty.
std::unique_ptr<float[]> readDepthBuffer(const int* viewport);

} // namespace DQ
