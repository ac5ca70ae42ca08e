// The placement of a figure (class 1015): position P, axis A and reference
// direction B. Local (x, y, z) maps to B*x + C*y + A*z + P with C = A x B;
// A and B are used as stored, never normalised.
#pragma once

namespace DQ {

struct Placement {
    double position[3];
    double axis[3];
    double reference[3];

    static Placement identity() { return {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}}; }

    // C = A x B.
    void third(double* c) const;
    void mapPoint(const double* local, double* out) const;
    void mapNormal(const double* local, double* out) const;
};
static_assert(sizeof(Placement) == 72);

// The figure's placement child, or the identity placement when it has none
// (or one of the wrong size).
Placement placementOf(unsigned tag);

} // namespace DQ
