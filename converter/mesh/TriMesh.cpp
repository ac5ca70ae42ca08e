#include "TriMesh.h"

#include <cmath>

namespace {

void Normalize(std::array<double, 3>& v)
{
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len > 0.0 && std::isfinite(len)) {
        for (double& c : v)
            c /= len;
    } else {
        v = {0.0, 0.0, 0.0};
    }
}

}  // namespace

void TriMesh::Clear()
{
    vert.clear();
    face.clear();
    bbox = TriBox{};
    dataMask = 0;
}

bool TriMesh::IsValidFace(const TriFace& f) const
{
    const std::size_t n = vert.size();
    return f.v[0] < n && f.v[1] < n && f.v[2] < n;
}

std::size_t TriMesh::LiveFaceCount() const
{
    std::size_t count = 0;
    for (const TriFace& f : face)
        if (!f.deleted && IsValidFace(f))
            ++count;
    return count;
}

std::array<double, 3> TriMesh::WindingNormal(const TriFace& f) const
{
    if (!IsValidFace(f))
        return {0.0, 0.0, 0.0};
    const auto& a = vert[f.v[0]].p;
    const auto& b = vert[f.v[1]].p;
    const auto& c = vert[f.v[2]].p;
    const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    return {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

void TriMesh::NormalizeVertexNormals()
{
    for (TriVertex& v : vert)
        if (!v.deleted)
            Normalize(v.n);
}

void TriMesh::ComputeFaceAndVertexNormals()
{
    for (TriVertex& v : vert)
        if (!v.deleted)
            v.n = {0.0, 0.0, 0.0};
    for (TriFace& f : face) {
        if (f.deleted || !IsValidFace(f))
            continue;
        const std::array<double, 3> w = WindingNormal(f);
        // The unnormalised winding normal weights each face by its area.
        for (std::uint32_t i : f.v) {
            TriVertex& v = vert[i];
            if (v.deleted)
                continue;
            for (int k = 0; k < 3; ++k)
                v.n[k] += w[k];
        }
        f.n = w;
        Normalize(f.n);
    }
    NormalizeVertexNormals();
}

void TriMesh::UpdateBoundingBox()
{
    bbox = TriBox{};
    for (const TriVertex& v : vert) {
        if (v.deleted)
            continue;
        if (bbox.empty) {
            bbox.min = bbox.max = v.p;
            bbox.empty = false;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            if (v.p[k] < bbox.min[k])
                bbox.min[k] = v.p[k];
            if (v.p[k] > bbox.max[k])
                bbox.max[k] = v.p[k];
        }
    }
}
