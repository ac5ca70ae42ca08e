// The revolve tessellator: a profile turned about the local z axis into a
// triangle mesh whose rings keep every chord's sagitta within a tolerance.
#pragma once

#include "shapes/Profile.h"

#include <optional>
#include <vector>

namespace DQ {

struct RevolvedMesh {
    struct Corner {
        unsigned position;
        unsigned normal;
    };
    struct Triangle {
        Corner corner[3];
    };

    std::vector<double> positions; // 3 per vertex
    std::vector<double> normals;   // 3 per vertex
    std::vector<Triangle> triangles;

    unsigned vertexCount() const { return static_cast<unsigned>(positions.size() / 3); }
};

// Segments of a full circle of radius rho whose chords stay within t of the
// arc: 6 when t >= rho, otherwise trunc(2pi / 2acos(1 - t/rho)) + 1 in
// [6, 512]. A tolerance that is zero, negative or not a number gives 512.
unsigned ringCount(double rho, double t);

// Segments of an arc of `span` radians at that tolerance, clamped to
// [lo, hi]: the counting rule shared by the rings, the cutter's corner arcs
// and the sphere.
unsigned arcSegments(double rho, double t, double span, unsigned lo, unsigned hi);

// Appends to mesh the strip joining the previous ring (k1 vertices from
// index first1) to the current one (k2 from first2); a ring of one vertex
// is a point on the axis. Returns the number of triangles added.
unsigned stitchRings(RevolvedMesh& mesh, unsigned first1, unsigned k1, unsigned first2,
                     unsigned k2);

// The most vertices a revolved mesh may have.
constexpr unsigned kMaxRevolvedVertices = 1u << 21;

// The revolved mesh of a profile, or none when it has fewer than two points,
// not four values per point, would exceed kMaxRevolvedVertices, or memory
// runs out.
std::optional<RevolvedMesh> revolve(const Profile& profile, double t);

} // namespace DQ
