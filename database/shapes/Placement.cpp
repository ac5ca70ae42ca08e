#include "shapes/Placement.h"

#include "shapes/FigureData.h"

namespace DQ {

void Placement::third(double* c) const {
    const double* a = axis;
    const double* b = reference;
    c[0] = a[1] * b[2] - a[2] * b[1];
    c[1] = a[2] * b[0] - a[0] * b[2];
    c[2] = a[0] * b[1] - a[1] * b[0];
}

void Placement::mapNormal(const double* n, double* out) const {
    double c[3];
    third(c);
    for (int i = 0; i < 3; ++i) out[i] = reference[i] * n[0] + c[i] * n[1] + axis[i] * n[2];
}

void Placement::mapPoint(const double* v, double* out) const {
    mapNormal(v, out);
    for (int i = 0; i < 3; ++i) out[i] += position[i];
}

Placement placementOf(unsigned tag) {
    const void* data = childData(tag, dqCClassPlacement, sizeof(Placement));
    if (!data) return Placement::identity();
    return *static_cast<const Placement*>(data);
}

} // namespace DQ
