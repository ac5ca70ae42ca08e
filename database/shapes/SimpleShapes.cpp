#include "shapes/SimpleShapes.h"

#include "shapes/Tessellator.h"

#include <cmath>
#include <numbers>

namespace DQ {

// Written as "at least" so that NaN is refused as well.
bool validBlock(double w, double l, double h) { return w >= 1e-6 && l >= 1e-6 && h >= 1e-6; }

bool validCone(double& top, double& bottom, double height) {
    if (!(top >= -1e-6) || !(bottom >= -1e-6) || !(height >= 1e-6)) return false;
    if (top < 0) top = 0;
    if (bottom < 0) bottom = 0;
    return top + bottom >= 1e-6 && std::isfinite(top + bottom + height);
}

bool validSphere(double d) { return d >= 1e-6; }

std::vector<TriangleRecord> blockTriangles(const BlockRecord& block) {
    const double a = block.width / 2, b = block.length / 2, c = block.height / 2;
    struct Face {
        double n[3];
        double v[4][3]; // the quad; triangles (0, 1, 2) and (0, 2, 3)
    };
    const Face faces[6] = {
        {{-1, 0, 0}, {{-a, b, -c}, {-a, -b, -c}, {-a, -b, c}, {-a, b, c}}},
        {{1, 0, 0}, {{a, -b, -c}, {a, b, -c}, {a, b, c}, {a, -b, c}}},
        {{0, -1, 0}, {{-a, -b, -c}, {a, -b, -c}, {a, -b, c}, {-a, -b, c}}},
        {{0, 1, 0}, {{a, b, -c}, {-a, b, -c}, {-a, b, c}, {a, b, c}}},
        {{0, 0, -1}, {{-a, b, -c}, {a, b, -c}, {a, -b, -c}, {-a, -b, -c}}},
        {{0, 0, 1}, {{-a, -b, c}, {a, -b, c}, {a, b, c}, {-a, b, c}}},
    };
    std::vector<TriangleRecord> tris;
    tris.reserve(12);
    for (const Face& f : faces) {
        for (int second = 0; second < 2; ++second) {
            TriangleRecord t{};
            const int idx[3] = {0, 1 + second, 2 + second};
            for (int i = 0; i < 3; ++i) {
                t.normal[i] = f.n[i];
                for (int k = 0; k < 3; ++k) t.vertex[i][k] = f.v[idx[i]][k];
            }
            tris.push_back(t);
        }
    }
    return tris;
}

Profile coneProfile(const ConeRecord& cone) {
    const double rt = cone.top / 2, rb = cone.bottom / 2, h = cone.height;
    Profile p;
    if (cone.bottom > 1e-6) {
        p.add(0, -h / 2, 0, -1);
        p.add(rb, -h / 2, 0, -1);
    }
    const double d = rb - rt;
    if (d * d + h * h > 1e-6) {
        const double l = std::sqrt(d * d + h * h);
        p.add(rb, -h / 2, h / l, d / l);
        p.add(rt, h / 2, h / l, d / l);
    }
    if (cone.top > 1e-6) {
        p.add(rt, h / 2, 0, 1);
        p.add(0, h / 2, 0, 1);
    }
    return p;
}

unsigned sphereSegments(double radius, double t) {
    return arcSegments(radius, t, std::numbers::pi, 12, 1024);
}

Profile sphereProfile(double diameter, double t) {
    const double r = diameter / 2;
    const unsigned m = sphereSegments(r, t);
    Profile p;
    for (unsigned i = 0; i <= m; ++i) {
        double theta = -std::numbers::pi / 2 + i * std::numbers::pi / m;
        p.add(r * std::cos(theta), r * std::sin(theta), std::cos(theta), std::sin(theta));
    }
    return p;
}

} // namespace DQ
