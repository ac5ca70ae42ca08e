// The machine axis chain record (class 1012): the order in which the axes
// carry each other, from the tool outward.
#pragma once

#include <cstdint>

namespace DQ {

struct MachineRecord {
    std::uint32_t count;    // axes in the chain, 0..6
    std::uint32_t order[6]; // axis numbers: X 0, Y 1, Z 2, A 3, B 4, C 5
};
static_assert(sizeof(MachineRecord) == 28);

// A new 28-byte block for the chain; counts above 6 are stored as 6. Null
// when out of memory.
void* newMachineRecord(unsigned count, const unsigned* order);

} // namespace DQ
