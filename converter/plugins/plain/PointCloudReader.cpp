#include "PointCloudReader.h"

#include "TextScanner.h"

#include <cstdint>
#include <limits>

namespace {

bool IsCountLine(const double* v, int n)
{
    return n == 1 && v[0] >= 0.0 && v[0] == static_cast<double>(static_cast<std::uint64_t>(v[0]));
}

}  // namespace

bool ReadPointCloud(PointFormat format, const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb)
{
    m.Clear();
    auto fail = [&m] {
        m.Clear();
        return false;
    };
    TextScanner scan(data, size, cb);
    const bool withNormals = format == PointFormat::Xyz || format == PointFormat::Apts;
    bool allNormals = true;
    // pts only: points still expected in the current block, and whether any
    // count line was seen.
    std::uint64_t blockLeft = 0;
    bool counted = false;

    std::string_view line;
    while (scan.NextDataLine(line)) {
        scan.Progress();
        double v[6];
        const int n = ParseNumberLine(line, v, 6);
        if (n < 0)
            return fail();
        if (format == PointFormat::Pts && IsCountLine(v, n)) {
            if (counted && blockLeft != 0)
                return fail();
            counted = true;
            blockLeft = static_cast<std::uint64_t>(v[0]);
            continue;
        }
        if (n < 3)
            return fail();
        if (format == PointFormat::Pts && counted) {
            if (blockLeft == 0)
                return fail();  // more points than the block announced
            --blockLeft;
        }
        if (m.vert.size() >= std::numeric_limits<std::uint32_t>::max())
            return fail();
        TriVertex p;
        p.p = {v[0], v[1], v[2]};
        if (withNormals && n >= 6)
            p.n = {v[3], v[4], v[5]};
        else
            allNormals = false;
        m.vert.push_back(p);
    }
    if (m.vert.empty() || (counted && blockLeft != 0))
        return fail();
    if (!withNormals || !allNormals)
        for (TriVertex& p : m.vert)
            p.n = {0.0, 0.0, 0.0};
    mask = IoMask::VertCoord | (withNormals && allNormals ? IoMask::VertNormal : 0);
    if (cb)
        cb(100, "Reading");
    return true;
}
