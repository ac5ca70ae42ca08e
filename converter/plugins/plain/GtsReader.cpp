#include "GtsReader.h"

#include "TextScanner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::uint32_t>::max();

// The first `n` fields of the line as unsigned integers; further fields are
// allowed (GTS lets a line carry data of derived classes after the indices).
bool ParseIndices(std::string_view line, std::uint64_t* out, int n)
{
    FieldSplitter fields(line);
    std::string_view f;
    for (int i = 0; i < n; ++i)
        if (!fields.Next(f) || !ParseUnsigned(f, out[i]))
            return false;
    return true;
}

bool ParseCoords(std::string_view line, std::array<double, 3>& p)
{
    FieldSplitter fields(line);
    std::string_view f;
    for (double& c : p)
        if (!fields.Next(f) || !ParseDouble(f, c))
            return false;
    return true;
}

}  // namespace

bool ReadGts(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb)
{
    m.Clear();
    auto fail = [&m] {
        m.Clear();
        return false;
    };
    TextScanner scan(data, size, cb);
    std::string_view line;
    std::uint64_t head[3];
    if (!scan.NextDataLine(line) || !ParseIndices(line, head, 3))
        return fail();
    const std::uint64_t nv = head[0], ne = head[1], nf = head[2];
    if (nv == 0 || nv > kMaxCount || ne > kMaxCount || nf > kMaxCount)
        return fail();

    // Counts come from the file: reserve no more than the bytes could hold
    // (a vertex line is at least six bytes).
    m.vert.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(nv, size / 6)));
    for (std::uint64_t i = 0; i < nv; ++i) {
        TriVertex v;
        if (!scan.NextDataLine(line) || !ParseCoords(line, v.p))
            return fail();
        scan.Progress();
        m.vert.push_back(v);
    }

    std::vector<std::array<std::uint32_t, 2>> edges;
    edges.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(ne, size / 4)));
    for (std::uint64_t i = 0; i < ne; ++i) {
        std::uint64_t e[2];
        if (!scan.NextDataLine(line) || !ParseIndices(line, e, 2))
            return fail();
        scan.Progress();
        if (e[0] < 1 || e[0] > nv || e[1] < 1 || e[1] > nv || e[0] == e[1])
            return fail();
        edges.push_back({static_cast<std::uint32_t>(e[0] - 1), static_cast<std::uint32_t>(e[1] - 1)});
    }

    m.face.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(nf, size / 6)));
    for (std::uint64_t i = 0; i < nf; ++i) {
        std::uint64_t t[3];
        if (!scan.NextDataLine(line) || !ParseIndices(line, t, 3))
            return fail();
        scan.Progress();
        for (std::uint64_t k : t)
            if (k < 1 || k > ne)
                return fail();
        const auto& e1 = edges[t[0] - 1];
        const auto& e2 = edges[t[1] - 1];
        const auto& e3 = edges[t[2] - 1];
        std::uint32_t a, b;
        if (e1[1] == e2[0] || e1[1] == e2[1]) {
            a = e1[0];
            b = e1[1];
        } else if (e1[0] == e2[0] || e1[0] == e2[1]) {
            a = e1[1];
            b = e1[0];
        } else {
            return fail();
        }
        const std::uint32_t c = e2[0] == b ? e2[1] : e2[0];
        const bool closes = (e3[0] == c && e3[1] == a) || (e3[0] == a && e3[1] == c);
        if (!closes || c == a)
            return fail();
        TriFace f;
        f.v = {a, b, c};
        m.face.push_back(f);
    }
    mask = IoMask::VertCoord | (m.face.empty() ? 0 : IoMask::FaceIndex);
    if (cb)
        cb(100, "Reading");
    return true;
}
