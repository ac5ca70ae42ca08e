// The outline of a solid of revolution in its (radius, height) half-plane:
// points (r, z, nr, nz) with the unit normal in the same plane. Two
// consecutive points at one position with different normals make a sharp
// edge; a profile runs from the bottom of the body to its top.
#pragma once

#include <vector>

namespace DQ {

struct Profile {
    static constexpr unsigned kValuesPerPoint = 4;

    unsigned valuesPerPoint = kValuesPerPoint;
    std::vector<double> values; // valuesPerPoint per point

    unsigned count() const { return static_cast<unsigned>(values.size() / valuesPerPoint); }
    void add(double r, double z, double nr, double nz) {
        values.insert(values.end(), {r, z, nr, nz});
    }
    const double* point(unsigned i) const { return values.data() + i * valuesPerPoint; }
};

} // namespace DQ
