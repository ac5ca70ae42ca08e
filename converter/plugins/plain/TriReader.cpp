#include "TriReader.h"

#include "TextScanner.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::uint32_t>::max();

bool NextUnsigned(TextScanner& scan, std::uint64_t& v)
{
    std::string_view t;
    return scan.NextToken(t) && ParseUnsigned(t, v);
}

bool NextDouble(TextScanner& scan, double& v)
{
    std::string_view t;
    return scan.NextToken(t) && ParseDouble(t, v);
}

}  // namespace

bool ReadTri(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb)
{
    m.Clear();
    auto fail = [&m] {
        m.Clear();
        return false;
    };
    TextScanner scan(data, size, cb);
    std::uint64_t nv = 0, nt = 0;
    if (!NextUnsigned(scan, nv) || !NextUnsigned(scan, nt) || nv == 0 || nv > kMaxCount || nt > kMaxCount)
        return fail();

    // Counts come from the file: reserve no more than its bytes could hold.
    m.vert.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(nv, size / 6)));
    for (std::uint64_t i = 0; i < nv; ++i) {
        TriVertex v;
        for (double& c : v.p)
            if (!NextDouble(scan, c))
                return fail();
        scan.Progress();
        m.vert.push_back(v);
    }
    m.face.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(nt, size / 6)));
    for (std::uint64_t i = 0; i < nt; ++i) {
        TriFace f;
        for (std::uint32_t& idx : f.v) {
            std::uint64_t k;
            if (!NextUnsigned(scan, k) || k < 1 || k > nv)
                return fail();
            idx = static_cast<std::uint32_t>(k - 1);
        }
        scan.Progress();
        m.face.push_back(f);
    }
    // Either nothing more, or exactly one component tag per triangle.
    std::string_view t;
    if (scan.NextToken(t)) {
        if (nt == 0)
            return fail();
        std::uint64_t tag;
        if (!ParseUnsigned(t, tag))
            return fail();
        for (std::uint64_t i = 1; i < nt; ++i)
            if (!NextUnsigned(scan, tag))
                return fail();
        if (scan.NextToken(t))
            return fail();
    }
    mask = IoMask::VertCoord | (m.face.empty() ? 0 : IoMask::FaceIndex);
    if (cb)
        cb(100, "Reading");
    return true;
}
