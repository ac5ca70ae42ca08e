#include "PtxReader.h"

#include "TextScanner.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

bool ReadCount(TextScanner& scan, std::uint64_t& count)
{
    std::string_view line;
    double v[2];
    if (!scan.NextDataLine(line) || ParseNumberLine(line, v, 2) != 1 || v[0] < 1.0 || v[0] > 4294967295.0 ||
        v[0] != static_cast<double>(static_cast<std::uint64_t>(v[0])))
        return false;
    count = static_cast<std::uint64_t>(v[0]);
    return true;
}

bool ReadRow(TextScanner& scan, double* out, int n)
{
    std::string_view line;
    return scan.NextDataLine(line) && ParseNumberLine(line, out, n) == n;
}

}  // namespace

bool ReadPtx(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb)
{
    m.Clear();
    auto fail = [&m] {
        m.Clear();
        return false;
    };
    TextScanner scan(data, size, cb);
    bool anyScan = false;
    for (;;) {
        std::uint64_t cols = 0, rows = 0;
        {
            // The end of the file is allowed only where a scan would begin.
            std::string_view probe;
            TextScanner ahead = scan;
            if (!ahead.NextDataLine(probe))
                break;
        }
        if (!ReadCount(scan, cols) || !ReadCount(scan, rows))
            return fail();
        double header[3];
        for (int i = 0; i < 4; ++i)
            if (!ReadRow(scan, header, 3))
                return fail();
        double mat[4][4];
        for (auto& row : mat)
            if (!ReadRow(scan, row, 4))
                return fail();

        const std::uint64_t samples = cols * rows;  // both below 2^32: no overflow
        for (std::uint64_t s = 0; s < samples; ++s) {
            std::string_view line;
            if (!scan.NextDataLine(line))
                return fail();
            scan.Progress();
            double v[7];
            const int n = ParseNumberLine(line, v, 7);
            if (n < 3)
                return fail();
            if (v[0] == 0.0 && v[1] == 0.0 && v[2] == 0.0)
                continue;
            if (m.vert.size() >= std::numeric_limits<std::uint32_t>::max())
                return fail();
            TriVertex p;
            for (int j = 0; j < 3; ++j)
                p.p[j] = v[0] * mat[0][j] + v[1] * mat[1][j] + v[2] * mat[2][j] + mat[3][j];
            if (!std::isfinite(p.p[0]) || !std::isfinite(p.p[1]) || !std::isfinite(p.p[2]))
                return fail();
            m.vert.push_back(p);
        }
        anyScan = true;
    }
    if (!anyScan || m.vert.empty())
        return fail();
    mask = IoMask::VertCoord;
    if (cb)
        cb(100, "Reading");
    return true;
}
