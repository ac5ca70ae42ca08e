#include "StlWriter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

void PutU32(unsigned char* out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(v >> (8 * i));
}

void PutF32(unsigned char* out, double v)
{
    const float f = static_cast<float>(v);
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    PutU32(out, bits);
}

std::array<double, 3> FacetNormal(const TriMesh& m, const TriFace& face)
{
    std::array<double, 3> n = face.n;
    double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(len > 0.0)) {
        n = m.WindingNormal(face);
        len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    }
    if (!(len > 0.0) || !std::isfinite(len))
        return {0.0, 0.0, 0.0};
    return {n[0] / len, n[1] / len, n[2] / len};
}

}  // namespace

bool WriteBinaryStl(const TriMesh& m, std::FILE* f, CallBackPos cb)
{
    const std::size_t count = m.LiveFaceCount();
    if (count > std::numeric_limits<std::uint32_t>::max())
        return false;
    if (cb)
        cb(0, "Saving STL");

    unsigned char head[84] = {};
    std::memcpy(head, kStlHeaderText, sizeof kStlHeaderText - 1);
    PutU32(head + 80, static_cast<std::uint32_t>(count));
    if (std::fwrite(head, 1, sizeof head, f) != sizeof head)
        return false;

    std::size_t written = 0;
    int lastPercent = 0;
    for (const TriFace& face : m.face) {
        if (face.deleted || !m.IsValidFace(face))
            continue;
        unsigned char rec[50] = {};
        const std::array<double, 3> n = FacetNormal(m, face);
        for (int k = 0; k < 3; ++k)
            PutF32(rec + 4 * k, n[k]);
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                PutF32(rec + 12 + 12 * c + 4 * k, m.vert[face.v[c]].p[k]);
        // rec[48..49]: the attribute byte count, 0 as the format asks.
        if (std::fwrite(rec, 1, sizeof rec, f) != sizeof rec)
            return false;
        ++written;
        const int percent = static_cast<int>(written * 100 / count);
        if (cb && percent != lastPercent && percent < 100) {
            cb(percent, "Saving STL");
            lastPercent = percent;
        }
    }
    if (std::fflush(f) != 0)
        return false;
    if (cb)
        cb(100, "Saving STL");
    return true;
}
