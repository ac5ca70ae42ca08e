// Block (class 5), cone (class 6) and sphere (class 7): parametric figures
// centred on their placement position.
#pragma once

#include "shapes/Profile.h"
#include "shapes/TriangleBuffer.h"

#include <vector>

namespace DQ {

struct BlockRecord {
    double width, length, height; // along x, y, z; each at least 1e-6
};
struct ConeRecord {
    double top, bottom, height; // diameters and height
};
struct SphereRecord {
    double diameter;
};
static_assert(sizeof(BlockRecord) == 24 && sizeof(ConeRecord) == 24 && sizeof(SphereRecord) == 8);

bool validBlock(double width, double length, double height);
// Accepts and normalises (diameters down to -1e-6 become 0).
bool validCone(double& top, double& bottom, double height);
bool validSphere(double diameter);

// The block's 12 triangles, two per face, counter-clockwise from outside.
std::vector<TriangleRecord> blockTriangles(const BlockRecord& block);
Profile coneProfile(const ConeRecord& cone);
// Arc segments of the sphere's half circle at tolerance t: [12, 1024].
unsigned sphereSegments(double radius, double t);
Profile sphereProfile(double diameter, double t);

} // namespace DQ
