// Pick filters and the copied colour, read by picking and selection.
#pragma once

namespace FE {

inline constexpr int kFilterCount = 8;

// Current filters, indexed as in fendal.h.
const int* currentFilters();
// The copied colour, RGBA.
const float* copiedColor();

} // namespace FE
