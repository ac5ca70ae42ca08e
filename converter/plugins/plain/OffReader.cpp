#include "OffReader.h"

#include "TextScanner.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::uint32_t>::max();

bool ReadCounts(FieldSplitter& fields, std::uint64_t& nv, std::uint64_t& nf)
{
    std::string_view a, b, c;
    std::uint64_t ne;
    return fields.Next(a) && fields.Next(b) && fields.Next(c) && ParseUnsigned(a, nv) && ParseUnsigned(b, nf) &&
           ParseUnsigned(c, ne) && !fields.Next(a);
}

}  // namespace

bool ReadOff(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb)
{
    m.Clear();
    auto fail = [&m] {
        m.Clear();
        return false;
    };
    TextScanner scan(data, size, cb);
    std::string_view line, word;
    if (!scan.NextDataLine(line))
        return fail();
    FieldSplitter head(line);
    if (!head.Next(word))
        return fail();
    bool normals = false;
    if (word == "NOFF" || word == "CNOFF" || word == "NCOFF")
        normals = true;
    else if (word != "OFF" && word != "COFF")
        return fail();
    std::uint64_t nv = 0, nf = 0;
    std::string_view rest;
    FieldSplitter probe = head;
    if (probe.Next(rest)) {
        if (!ReadCounts(head, nv, nf))
            return fail();
    } else {
        if (!scan.NextDataLine(line))
            return fail();
        FieldSplitter counts(line);
        if (!ReadCounts(counts, nv, nf))
            return fail();
    }
    if (nv == 0 || nv > kMaxCount || nf > kMaxCount)
        return fail();

    // Counts come from the file: reserve no more than its bytes could hold.
    m.vert.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(nv, size / 6)));
    for (std::uint64_t i = 0; i < nv; ++i) {
        if (!scan.NextDataLine(line))
            return fail();
        scan.Progress();
        double v[6];
        const int n = ParseNumberLine(line, v, 6);
        if (n < (normals ? 6 : 3))
            return fail();
        TriVertex p;
        p.p = {v[0], v[1], v[2]};
        if (normals)
            p.n = {v[3], v[4], v[5]};
        m.vert.push_back(p);
    }
    std::vector<std::uint32_t> poly;
    for (std::uint64_t i = 0; i < nf; ++i) {
        if (!scan.NextDataLine(line))
            return fail();
        scan.Progress();
        FieldSplitter fields(line);
        std::string_view f;
        std::uint64_t corners;
        if (!fields.Next(f) || !ParseUnsigned(f, corners) || corners < 3)
            return fail();
        poly.clear();
        for (std::uint64_t k = 0; k < corners; ++k) {
            std::uint64_t idx;
            if (!fields.Next(f) || !ParseUnsigned(f, idx) || idx >= nv)
                return fail();
            poly.push_back(static_cast<std::uint32_t>(idx));
        }
        // Anything after the corners is a colour: numbers only.
        while (fields.Next(f)) {
            double c;
            if (!ParseDouble(f, c))
                return fail();
        }
        for (std::size_t k = 1; k + 1 < poly.size(); ++k) {
            TriFace t;
            t.v = {poly[0], poly[k], poly[k + 1]};
            m.face.push_back(t);
        }
    }
    mask = IoMask::VertCoord | (m.face.empty() ? 0 : IoMask::FaceIndex) | (normals ? IoMask::VertNormal : 0);
    if (cb)
        cb(100, "Reading");
    return true;
}
