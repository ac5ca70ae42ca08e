// The NC reader proper: one pass over an NC program, producing its CL
// buffer.
#pragma once

#include "machining/WordScanner.h"

#include <cstdint>
#include <cstdio>

namespace DQ {

// A CL buffer owned by the caller: a malloc'd block of exactly `size`
// bytes (its first word holds the same size). Released with std::free.
struct ClBufferBlock {
    unsigned char* data = nullptr;
    std::uint32_t size = 0;
};

// Files this large are refused: their offsets and the buffer's 32-bit total
// length could no longer be trusted.
constexpr std::uint64_t kNcFileLimit = std::uint64_t(1) << 31;

// Reads the NC program at path. start holds the start pose X, Y, Z (program
// units) and A, B, C (radians). progress may be null; otherwise it is the
// shared progress cell (see ProgressCell.h) and must stay valid for the call.
// Returns a block with data null on any failure: null path, no status, an
// empty file or one of 2 GiB or more, no access, a read error, a word error,
// a stop request, a buffer past 4 GiB, or no memory.
ClBufferBlock readNcFile(const char* path, const Resolutions& res, const double start[6],
                         double* progress);

// The same over an open stream of `size` bytes (size drives the progress
// fraction and the first allocation; the stream is read to its end). The
// stream stays open.
ClBufferBlock readNcStream(std::FILE* file, std::uint64_t size, const Resolutions& res,
                           const double start[6], double* progress);

} // namespace DQ
