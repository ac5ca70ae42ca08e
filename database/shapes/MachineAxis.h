// The machine axis record (class 1010): one linear or rotary axis of the
// machine's kinematic chain.
#pragma once

#include <cstdint>

namespace DQ {

struct AxisRecord {
    double value;        // distance, or angle in radians for a rotary axis
    char name[2];        // axis letter, then 'M' (linear) or 'R' (rotary)
    char reserved[6];
    double pivot[3];
    double direction[3];
};
static_assert(sizeof(AxisRecord) == 64);

// A new 64-byte axis block for 'X'..'Z' (linear) or 'A'..'C' (rotary) with
// value 0, pivot at the origin and the direction of its letter; null for any
// other letter or when out of memory.
void* newAxisRecord(char letter);

inline bool isRotary(const AxisRecord& axis) { return axis.name[1] == 'R'; }

} // namespace DQ
