// Integer, real and colour lists: one contiguous block each, a count word
// first (the real list has a second word holding the count it was made
// with), then the values.
#pragma once

namespace DQ {

// New list blocks from a count and initial values (values may be null for
// zero-filled entries); null when out of memory.
void* newIntList(unsigned count, const unsigned* values);
void* newRealList(unsigned count, const double* values);
void* newColorList(unsigned count, const float* rgba);

} // namespace DQ
