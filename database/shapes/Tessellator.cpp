#include "shapes/Tessellator.h"

#include <cmath>
#include <new>
#include <numbers>

namespace DQ {

unsigned arcSegments(double rho, double t, double span, unsigned lo, unsigned hi) {
    if (t >= rho) return lo;
    // Written so that a NaN tolerance or radius also lands on the finest
    // count instead of reaching the integer conversion.
    double alpha = (t > 0.0) ? std::acos(1.0 - t / rho) : 0.0;
    if (!(2.0 * alpha >= 1e-6)) return hi;
    double n = std::trunc(span / (2.0 * alpha) - 1e-6) + 1.0;
    if (!(n >= lo)) return lo;
    if (n > hi) return hi;
    return static_cast<unsigned>(n);
}

unsigned ringCount(double rho, double t) {
    return arcSegments(rho, t, 2.0 * std::numbers::pi, 6, 512);
}

unsigned stitchRings(RevolvedMesh& mesh, unsigned first1, unsigned k1, unsigned first2,
                     unsigned k2) {
    // A zipper: step along whichever ring lags behind in angle, so rings of
    // different counts meet without gaps. A single vertex counts as an
    // empty ring that every triangle of the other one shares.
    const unsigned n1 = k1 == 1 ? 0 : k1;
    const unsigned n2 = k2 == 1 ? 0 : k2;
    auto P = [&](unsigned i) { return RevolvedMesh::Corner{first1 + i, first1 + i}; };
    auto C = [&](unsigned i) { return RevolvedMesh::Corner{first2 + i, first2 + i}; };
    // The strip lists the triangles that advanced on P before those that
    // advanced on C: walk the zipper twice, keeping one kind each time.
    const std::size_t before = mesh.triangles.size();
    for (bool keepP : {true, false}) {
        unsigned a = 0, b = 0;
        while (a < n1 || b < n2) {
            bool advanceP =
                a < n1 && (b >= n2 || static_cast<double>(a) / k1 <= static_cast<double>(b) / k2);
            if (advanceP) {
                if (keepP) mesh.triangles.push_back({P(a), C(b >= n2 ? 0 : b), P((a + 1) % n1)});
                ++a;
            } else {
                if (!keepP) mesh.triangles.push_back({P(a >= n1 ? 0 : a), C(b), C((b + 1) % n2)});
                ++b;
            }
        }
    }
    return static_cast<unsigned>(mesh.triangles.size() - before);
}

std::optional<RevolvedMesh> revolve(const Profile& profile, double t) {
    if (profile.valuesPerPoint != Profile::kValuesPerPoint || profile.count() < 2)
        return std::nullopt;
    try {
        // Outlines come from scene files too: one of many thousand points at
        // a fine tolerance would ask for gigabytes. Every figure of the
        // system stays far below this bound (a sphere at its finest has
        // 525 313 vertices).
        std::vector<unsigned> rings(profile.count());
        std::size_t vertices = 0, triangles = 0;
        auto stripSide = [](unsigned k) { return k == 1 ? 0u : k; };
        for (unsigned i = 0; i < profile.count(); ++i) {
            const double r = profile.point(i)[0];
            rings[i] = std::fabs(r) < 1e-6 ? 1 : ringCount(r, t);
            vertices += rings[i];
            if (i > 0) triangles += stripSide(rings[i - 1]) + stripSide(rings[i]);
        }
        if (vertices > kMaxRevolvedVertices) return std::nullopt;
        // Sized once up front: growing by a fixed step per ring would copy
        // the arrays over and over for the large rings of a fine tolerance.
        RevolvedMesh mesh;
        mesh.positions.reserve(3 * vertices);
        mesh.normals.reserve(3 * vertices);
        mesh.triangles.reserve(triangles);
        unsigned prevFirst = 0, prevCount = 0;
        for (unsigned i = 0; i < profile.count(); ++i) {
            const double* pt = profile.point(i);
            const double r = pt[0], z = pt[1], nr = pt[2], nz = pt[3];
            const unsigned first = mesh.vertexCount();
            const unsigned k = rings[i];
            if (k == 1) {
                mesh.positions.insert(mesh.positions.end(), {r, 0.0, z});
                mesh.normals.insert(mesh.normals.end(), {nr, 0.0, nz});
            } else {
                for (unsigned j = 0; j < k; ++j) {
                    double theta = j * 2.0 * std::numbers::pi / k;
                    double c = std::cos(theta), s = std::sin(theta);
                    mesh.positions.insert(mesh.positions.end(), {r * c, r * s, z});
                    mesh.normals.insert(mesh.normals.end(), {nr * c, nr * s, nz});
                }
            }
            if (i > 0 && !(prevCount == 1 && k == 1))
                stitchRings(mesh, prevFirst, prevCount, first, k);
            prevFirst = first;
            prevCount = k;
        }
        return mesh;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace DQ
