// Rotation bodies (holder, class 4; spindle, class 8): an outline of (r, z)
// points from the bottom of the body to its top, revolved about its axis.
//   0   f64  maximum radius (at least 0)
//   8   f64  start height: z of the first point
//   16  f64  end height: z of the last point
//   24  u32  number of points n
//   28  u32  reserved, 0
//   32  f64 x 2 x n  the points (r, z)
#pragma once

#include "shapes/Profile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace DQ {

struct RotationBodyHeader {
    double maxRadius;
    double startHeight;
    double endHeight;
    std::uint32_t count;
    std::uint32_t reserved;
};
static_assert(sizeof(RotationBodyHeader) == 32);

// A new block from n (r, z) pairs, reversed when they run top to bottom;
// null when out of memory.
void* newRotationBody(unsigned n, const double* points);

// The body's header when its data holds the header and all its points;
// null otherwise.
const RotationBodyHeader* rotationBodyOf(unsigned tag);
inline const double* rotationPoints(const RotationBodyHeader* body) {
    return reinterpret_cast<const double*>(body + 1);
}

// The outline as a profile: bottom disc, one straight segment per pair of
// points at least 1e-6 apart, top disc.
Profile rotationProfile(unsigned n, const double* points);

} // namespace DQ
