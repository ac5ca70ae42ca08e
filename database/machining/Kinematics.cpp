// The forward and inverse transforms of the machine's axis chain.
#include "machining/Kinematics.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace DQ {

namespace {

void rotZ(double a, double* v) {
    double c = std::cos(a), s = std::sin(a);
    double x = v[0] * c - v[1] * s, y = v[0] * s + v[1] * c;
    v[0] = x;
    v[1] = y;
}

void rotY(double a, double* v) {
    double c = std::cos(a), s = std::sin(a);
    double x = v[0] * c + v[2] * s, z = -v[0] * s + v[2] * c;
    v[0] = x;
    v[2] = z;
}

// atan2, but 0 for a vector within 1e-9 of zero, so that an axis lying
// along +Z (or a missing one) takes no detour through an arbitrary angle.
double angleOf(double y, double x) {
    if (std::fabs(y) <= 1e-9 && std::fabs(x) <= 1e-9) return 0.0;
    return std::atan2(y, x);
}

double cross3(const double* a, const double* b, int i) {
    int j = (i + 1) % 3, k = (i + 2) % 3;
    return a[j] * b[k] - a[k] * b[j];
}

void cross(const double* a, const double* b, double* out) {
    for (int i = 0; i < 3; ++i) out[i] = cross3(a, b, i);
}

// The factor f with num = f * den for two parallel vectors, weighting the
// components by their size in den; false when den is (nearly) zero.
bool parallelRatio(const double* num, const double* den, double* f) {
    double sum = 0, weight = 0;
    for (int i = 0; i < 3; ++i) {
        double sign = den[i] > 0 ? 1.0 : den[i] < 0 ? -1.0 : 0.0;
        sum += sign * num[i];
        weight += std::fabs(den[i]);
    }
    if (!(weight >= 1e-6)) return false;
    *f = sum / weight;
    return true;
}

bool validAxis(unsigned i) { return i < 6; }

} // namespace

void rotateAbout(const double* u, double t, double* v) {
    const double phi = angleOf(u[1], u[0]);
    const double psi = angleOf(std::sqrt(u[0] * u[0] + u[1] * u[1]), u[2]);
    rotZ(-phi, v);
    rotY(-psi, v);
    rotZ(t, v);
    rotY(psi, v);
    rotZ(phi, v);
}

} // namespace DQ

using DQ::rotateAbout;

void gqCMachineTableData::GetMachinePos(const double* values, double* out) const {
    double p[3] = {0, 0, 0}, d[3] = {0, 0, 1};
    const unsigned n = chainCount > 6 ? 6 : chainCount;
    for (unsigned k = 0; k < n; ++k) {
        const unsigned i = chainOrder[k];
        if (!DQ::validAxis(i)) continue; // a damaged chain entry moves nothing
        const Axis& axis = axes[i];
        const double t = values[i] + axisOffsets[i];
        for (int c = 0; c < 3; ++c) p[c] -= axis.pivot[c];
        if (std::fabs(t) > 1e-9) {
            if (i < 3) {
                for (int c = 0; c < 3; ++c) p[c] += t * axis.direction[c];
            } else {
                rotateAbout(axis.direction, t, p);
                rotateAbout(axis.direction, t, d);
            }
        }
    }
    // The pivots are relative to one another: adding them all back undoes
    // the subtractions and leaves the rotations about each pivot.
    for (unsigned k = 0; k < n; ++k) {
        const unsigned i = chainOrder[k];
        if (!DQ::validAxis(i)) continue;
        for (int c = 0; c < 3; ++c) p[c] += axes[i].pivot[c];
    }
    for (int c = 0; c < 3; ++c) {
        out[c] = p[c] + tipOffset * d[c];
        out[c + 3] = d[c];
    }
}

void gqCMachineTableData::GetAxisDirections(const double* values, double* dirs) const {
    double all[6][3];
    for (int i = 0; i < 6; ++i) std::memcpy(all[i], axes[i].direction, sizeof all[i]);
    const unsigned n = chainCount > 6 ? 6 : chainCount;
    for (unsigned k = 0; k < n; ++k) {
        const unsigned i = chainOrder[k];
        if (!DQ::validAxis(i) || i < 3) continue;
        const double t = values[i] + axisOffsets[i];
        if (!(std::fabs(t) > 1e-9)) continue;
        // A rotary axis carries every axis below it in the chain.
        for (unsigned below = 0; below < k; ++below) {
            const unsigned j = chainOrder[below];
            if (DQ::validAxis(j)) rotateAbout(axes[i].direction, t, all[j]);
        }
    }
    std::memcpy(dirs, all, 9 * sizeof(double));
}

void gqCMachineTableData::GetAxisValues(const double* target, double* out) const {
    double q[6];
    std::memcpy(q, target, sizeof q);
    double reached[6], dirs[9];
    GetMachinePos(q, reached);
    GetAxisDirections(q, dirs);
    const double* d0 = dirs;
    const double* d1 = dirs + 3;
    const double* d2 = dirs + 6;
    double e[3];
    for (int c = 0; c < 3; ++c) e[c] = q[c] - reached[c];

    // e = dx d0 + dy d1 + dz d2. Crossing with d2 removes dz; crossing once
    // more with d1 x d2 (or d0 x d2) leaves one unknown along parallel
    // vectors.
    double a[3], b[3], e2[3], num[3], den[3];
    DQ::cross(d0, d2, a);
    DQ::cross(d1, d2, b);
    DQ::cross(e, d2, e2);
    double dx = 0, dy = 0, dz = 0;
    DQ::cross(e2, b, num);
    DQ::cross(a, b, den);
    bool solved = DQ::parallelRatio(num, den, &dx);
    DQ::cross(e2, a, num);
    DQ::cross(b, a, den);
    solved = solved && DQ::parallelRatio(num, den, &dy);
    double rest[3];
    for (int c = 0; c < 3; ++c) rest[c] = e[c] - dx * d0[c] - dy * d1[c];
    solved = solved && DQ::parallelRatio(rest, d2, &dz);

    std::memcpy(out, q, sizeof q);
    if (!solved) return; // a singular arrangement keeps the target as is
    out[0] += dx;
    out[1] += dy;
    out[2] += dz;
}

void gqCMachineTableData::ReexpressRotary(double* v) const {
    // A five-axis machine cannot tilt about the axis it lacks; a tilt asked
    // of that axis is the same tilt about the axis it has, with the table
    // turned a quarter so the tilt points the same way.
    const double half = std::numbers::pi / 2;
    auto small = [](double x) { return std::fabs(x) < 1e-6; };
    auto is = [&](const char* s) { return std::strcmp(rotaryAxes, s) == 0; };
    double& A = v[3];
    double& B = v[4];
    double& C = v[5];
    if (!small(A)) {
        if (is("BC") && small(B)) {
            B = A;
            C -= half;
            A = 0;
        } else if (is("CB") && small(C)) {
            C = A;
            B += half;
            A = 0;
        }
    }
    if (!small(B)) {
        if (is("CA") && small(C)) {
            C = B;
            A -= half;
            B = 0;
        } else if (is("AC") && small(A)) {
            A = B;
            C += half;
            B = 0;
        }
    }
    if (!small(C)) {
        if (is("AB") && small(A)) {
            A = C;
            B -= half;
            C = 0;
        } else if (is("BA") && small(B)) {
            B = C;
            A += half;
            C = 0;
        }
    }
}
