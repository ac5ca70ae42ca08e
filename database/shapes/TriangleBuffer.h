// The triangle buffer: a mesh in one contiguous little-endian block, the
// payload of an STL model and the in-memory mesh of a block.
//   0   f64 x 3  minimum x, y, z over all vertices
//   24  f64 x 3  maximum x, y, z
//   48  u32      triangle count n
//   52  u32      reserved, 0
//   56  n triangle records of 96 bytes: facet normal, then three vertices
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace DQ {

struct TriangleRecord {
    double normal[3];
    double vertex[3][3];
};
static_assert(sizeof(TriangleRecord) == 96);

struct TriangleBufferHeader {
    double minimum[3];
    double maximum[3];
    std::uint32_t count;
    std::uint32_t reserved;
};
static_assert(sizeof(TriangleBufferHeader) == 56);

inline std::size_t triangleBufferBytes(std::uint32_t count) {
    return sizeof(TriangleBufferHeader) + sizeof(TriangleRecord) * std::size_t(count);
}

// A buffer of the triangles with its bounding box filled in, in 8-byte
// units (the block is sized 7 + 12n of them).
std::vector<std::uint64_t> makeTriangleBuffer(const std::vector<TriangleRecord>& triangles);

inline const TriangleBufferHeader* bufferHeader(const void* buffer) {
    return static_cast<const TriangleBufferHeader*>(buffer);
}
inline const TriangleRecord* bufferTriangles(const void* buffer) {
    return reinterpret_cast<const TriangleRecord*>(static_cast<const unsigned char*>(buffer) +
                                                   sizeof(TriangleBufferHeader));
}

} // namespace DQ
