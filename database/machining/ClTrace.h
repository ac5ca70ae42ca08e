// Moving a trace cursor through a CL buffer. The dq trace exports are thin
// wrappers that load the path's cursor, call these and store it back; the
// functions work on a cursor value so they can be tested and fuzzed without
// a session.
#pragma once

#include "machining/ClRecord.h"
#include "machining/TraceCursor.h"

#include <cstdint>

namespace DQ {

// One record forward: false (nothing changed) at or past the end.
bool stepForward(const ClBuffer& buffer, TraceCursor& cursor);
// n records forward (n >= 0) or -n backward (n < 0), stopping at the first
// step that fails. Returns 0, or 1 when a step could not be made; a partly
// made move is kept.
unsigned stepBy(const ClBuffer& buffer, TraceCursor& cursor, std::int64_t n);
// Lands on the first record boundary at or after total * rate + 0.5 (held
// to [8, total]); the base is not changed.
void jumpToRate(const ClBuffer& buffer, TraceCursor& cursor, double rate);

// Puts the cursor on the first record boundary at or after target, with the
// pose replayed from the base (when the base lies at or before target and
// before the end of the path) or from the start.
void replayTo(const ClBuffer& buffer, TraceCursor& cursor, std::uint32_t target);

// The step count of a trace: integer settings entry 2 (default 10), signed.
std::int64_t traceStepCount();

} // namespace DQ
