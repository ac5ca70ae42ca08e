// Block interpretation: applies the words of one NC line to the reader's
// modal state and builds the move record the block produces.
#pragma once

#include "machining/ClRecord.h"
#include "machining/WordScanner.h"

#include <cstdint>

namespace DQ {

// Everything that survives from one block to the next. Positions are counts
// of the resolution so that incremental moves add up without rounding drift.
//
// Power-on state: the program is read in absolute distance mode and rapid
// motion until it states otherwise. That is how milling controls come up
// (G90 and G00 are their usual reset modals), and programs are expected to
// set both before their first axis word anyway.
struct NcState {
    std::int64_t axis[6] = {}; // X, Y, Z, A, B, C counts
    bool incremental = false;
    int plane = 0;  // 0 XY (G17), 1 YZ (G19), 2 ZX (G18)
    int motion = 0; // 0 rapid, 1 linear, 2 clockwise, 3 counter-clockwise
};

// The largest record a block can produce: nine values plus head and tail.
constexpr std::uint32_t kMaxRecordBytes = 8 * (2 + 9);

// Interprets one line (a zero byte or newline ends it early). On a word
// error returns that scanner status (1, 2, 3 or 5) and leaves `bytes` 0.
// Otherwise returns 0 and writes the block's record to out (room for
// kMaxRecordBytes), setting `bytes` to its length, or to 0 when the block
// carried no axis word.
// padded: the line lies in a buffer with at least scan::kPadding readable
// bytes after its end, which lets the scanner read digits eight at a time.
// end, when given, receives where the scanning stopped on success: at the
// newline or zero byte that ended the line, or at length.
int interpretBlock(const char* line, std::size_t length, const Resolutions& res, NcState& state,
                   unsigned char* out, std::uint32_t& bytes, bool padded = false,
                   std::size_t* end = nullptr);

} // namespace DQ
