// Reading STL files, ASCII and binary, into a triangle buffer.
#pragma once

#include <cstddef>

namespace DQ {

struct StlBuffer {
    void* data = nullptr; // triangle buffer block (malloc'd), exactly `bytes` long
    std::size_t bytes = 0;
    char name[80] = {}; // the model name, NUL-terminated
};

// Reads path as ASCII STL, and when that fails for any reason as binary STL.
// progress (may be null) receives 0, the fraction consumed and 1.0; a value
// below -1.0 written into it by another thread stops the reading. False on
// failure (nothing allocated then).
bool readStl(const char* path, double* progress, StlBuffer& out);

// The two readers on their own, for tests and benchmarks.
bool readAsciiStl(const char* path, double fileSize, double* progress, StlBuffer& out);
bool readBinaryStl(const char* path, double fileSize, double* progress, StlBuffer& out);

// Parses one number as the C library's "%lf" conversion does (leading white
// space, sign, decimal or hexadecimal, inf and nan), independent of the
// process locale. The text must be NUL-terminated at or after end. On
// success advances p past what "%lf" would consume.
bool scanDouble(const char*& p, const char* end, double& value);

} // namespace DQ
