#include "shapes/TriangleBuffer.h"

#include <cstring>

namespace DQ {

std::vector<std::uint64_t> makeTriangleBuffer(const std::vector<TriangleRecord>& triangles) {
    const std::uint32_t n = static_cast<std::uint32_t>(triangles.size());
    std::vector<std::uint64_t> block(7 + 12 * std::size_t(n), 0);
    TriangleBufferHeader header{};
    for (int i = 0; i < 3; ++i) {
        header.minimum[i] = n ? triangles[0].vertex[0][i] : 0.0;
        header.maximum[i] = header.minimum[i];
    }
    for (const TriangleRecord& t : triangles)
        for (const auto& v : t.vertex)
            for (int i = 0; i < 3; ++i) {
                if (v[i] < header.minimum[i]) header.minimum[i] = v[i];
                if (v[i] > header.maximum[i]) header.maximum[i] = v[i];
            }
    header.count = n;
    std::memcpy(block.data(), &header, sizeof header);
    if (n) std::memcpy(block.data() + 7, triangles.data(), sizeof(TriangleRecord) * n);
    return block;
}

} // namespace DQ
