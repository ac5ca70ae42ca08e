// Reading a figure's select type straight from its class-1004 child.
#pragma once

#include "korvex.h"

namespace FE {

// Select type of a figure that shows normally: no record, or a record
// without data.
inline constexpr unsigned kSelectNormal = 2;

// The first word of the figure's first class-1004 child, or kSelectNormal.
inline unsigned storedSelectType(unsigned tag) {
    void* data = nullptr;
    if (!dqGetChild(tag, 0, 0, dqCClassSelect, &data) || !data) return kSelectNormal;
    return static_cast<const unsigned*>(data)[0];
}

} // namespace FE
