// The trace cursor of a CL path (class 1007 child, index 0; 152 bytes,
// stored as it lies in memory): where a trace stands in the CL buffer and
// where the visible trail begins, each with its pose state.
#pragma once

#include "machining/ClRecord.h"

#include <cstdint>

namespace DQ {

struct TraceCursor {
    std::uint32_t current = kClFirstRecord; // next record to apply
    std::uint32_t base = 0;                 // where the drawn trail begins
    ClPose currentPose;                     // after every record before current
    ClPose basePose;                        // the pose belonging to base
};
static_assert(sizeof(TraceCursor) == 152, "stored layout of the trace cursor");

// A fresh cursor: at the first record, base at the end (the whole path is
// drawn), both poses that of the initial record. Note that the base pose
// then belongs to offset 8, not to the base offset.
TraceCursor freshCursor(const ClBuffer& buffer);

// The path's cursor child, or null when it has none (or a block of the wrong
// size). The pointer is into the store.
const TraceCursor* findCursor(unsigned pathTag);
// The path's cursor, or a fresh one when it has none.
TraceCursor loadCursor(unsigned pathTag, const ClBuffer& buffer);
// Writes the cursor back as the path's class-1007 child, index 0 (a copy).
void storeCursor(unsigned pathTag, const TraceCursor& cursor);

// The CL buffer of a tag when it is a CL path with data; invalid otherwise.
ClBuffer pathBuffer(unsigned tag);

} // namespace DQ
