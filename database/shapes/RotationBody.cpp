#include "shapes/RotationBody.h"

#include "korvex.h"
#include "shapes/FigureData.h"
#include "shapes/FigureDrawing.h"
#include "shapes/MeshDrawing.h"
#include "store/TypedList.h"

#include <cmath>
#include <cstring>
#include <new>

namespace DQ {

void* newRotationBody(unsigned n, const double* points) {
    if (n && !points) return nullptr;
    const std::size_t bytes = sizeof(RotationBodyHeader) + 16 * std::size_t(n);
    unsigned char* block = new (std::nothrow) unsigned char[bytes];
    if (!block) return nullptr;
    RotationBodyHeader header{};
    header.count = n;
    double* out = reinterpret_cast<double*>(block + sizeof header);
    if (n) std::memcpy(out, points, 16 * std::size_t(n));
    if (n) {
        header.startHeight = out[1];
        header.endHeight = out[2 * (n - 1) + 1];
        if (header.endHeight < header.startHeight) {
            for (unsigned i = 0, j = n - 1; i < j; ++i, --j) {
                std::swap(out[2 * i], out[2 * j]);
                std::swap(out[2 * i + 1], out[2 * j + 1]);
            }
            std::swap(header.startHeight, header.endHeight);
        }
        header.maxRadius = 0;
        for (unsigned i = 0; i < n; ++i)
            if (out[2 * i] > header.maxRadius) header.maxRadius = out[2 * i];
    }
    std::memcpy(block, &header, sizeof header);
    return block;
}

const RotationBodyHeader* rotationBodyOf(unsigned tag) {
    auto* body = static_cast<const RotationBodyHeader*>(payload(tag, sizeof(RotationBodyHeader)));
    if (!body) return nullptr;
    // The count is read from the block; a block of another class, or a
    // damaged one, must not make us read beyond its end.
    if (payloadSize(tag) < sizeof(RotationBodyHeader) + 16 * std::size_t(body->count))
        return nullptr;
    return body;
}

Profile rotationProfile(unsigned n, const double* pts) {
    Profile p;
    if (n == 0) return p;
    if (pts[0] >= 1e-6) {
        p.add(0, pts[1], 0, -1);
        p.add(pts[0], pts[1], 0, -1);
    }
    double rq = pts[0], zq = pts[1];
    for (unsigned i = 1; i < n; ++i) {
        double ri = pts[2 * i], zi = pts[2 * i + 1];
        double l = std::sqrt((ri - rq) * (ri - rq) + (zi - zq) * (zi - zq));
        if (!(l >= 1e-6)) continue;
        double nr = (zi - zq) / l, nz = (rq - ri) / l;
        p.add(rq, zq, nr, nz);
        p.add(ri, zi, nr, nz);
        rq = ri;
        zq = zi;
    }
    if (rq >= 1e-6) {
        p.add(rq, zq, 0, 1);
        p.add(0, zq, 0, 1);
    }
    return p;
}

namespace {

unsigned createRotationBody(dqCClassEnum cls, const double (&points)[4][2], const float* color,
                            const double (&reals)[5]) {
    unsigned tag = addFigure(cls, newRotationBody(4, &points[0][0]));
    if (!tag) return 0;
    const Placement place = Placement::identity();
    const unsigned mount = 0;
    dqAllocChild(tag, 0, 0, dqCClassColor, color);
    dqSetChild(tag, 0, 0, dqCClassRealList, newRealList(5, reals));
    dqAllocChild(tag, 0, 0, dqCClassPlacement, &place);
    dqAllocChild(tag, 0, 0, dqCClassAxisMount, &mount);
    return tag;
}

double headerField(unsigned tag, double RotationBodyHeader::*member) {
    const RotationBodyHeader* body = rotationBodyOf(tag);
    return body ? body->*member : 0.0;
}

} // namespace
} // namespace DQ

using namespace DQ;

DQ_API unsigned int dqCreateDefaultHolder(void) {
    const double points[4][2] = {{5, 0}, {10, 20}, {15, 20}, {15, 25}};
    const float color[4] = {0.0f, 0.5f, 0.5f, 1.0f};
    const double reals[5] = {0.1, 0.1, 0.5, 1.0, 1.0};
    return createRotationBody(dqCClassHolder, points, color, reals);
}

DQ_API unsigned int dqCreateDefaultSpindle(void) {
    const double points[4][2] = {{40, 0}, {40, 5}, {45, 5}, {45, 70}};
    const float color[4] = {0.0f, 0.75f, 0.75f, 0.5f};
    const double reals[5] = {0.01, 0.1, 0.5, 1.0, 1.0};
    unsigned tag = createRotationBody(dqCClassSpindle, points, color, reals);
    if (!tag) return 0;
    // Hidden until the front end switches the spindle on.
    const unsigned select[2] = {0, 0};
    dqAllocChild(tag, 0, 0, dqCClassSelect, select);
    return tag;
}

DQ_API void dqSetRotation(unsigned int tag, unsigned int n, const double* points) {
    // Only a holder or spindle takes an outline: in an element of another
    // class the block would not be the size its class claims.
    const dqCClassEnum cls = dqGetClass(tag);
    if (tag == 0 || (cls != dqCClassHolder && cls != dqCClassSpindle)) return;
    void* block = newRotationBody(n, points);
    if (block) dqSetData(tag, block);
}

DQ_API void dqGetRotation(unsigned int tag, unsigned int* n, double* points) {
    const RotationBodyHeader* body = rotationBodyOf(tag);
    unsigned count = body ? body->count : 0;
    if (n) *n = count;
    if (points && count) std::memcpy(points, rotationPoints(body), 16 * std::size_t(count));
}

DQ_API double dqGetRotationMaxRadius(unsigned int tag) {
    return headerField(tag, &RotationBodyHeader::maxRadius);
}
DQ_API double dqGetRotationStartHeight(unsigned int tag) {
    return headerField(tag, &RotationBodyHeader::startHeight);
}
DQ_API double dqGetRotationEndHeight(unsigned int tag) {
    return headerField(tag, &RotationBodyHeader::endHeight);
}
DQ_API double dqGetRotationLength(unsigned int tag) {
    const RotationBodyHeader* body = rotationBodyOf(tag);
    return body ? body->endHeight - body->startHeight : 0.0;
}

DQ_API void dqDrawRotation(unsigned int tag, unsigned int preList, gqCOpenGL& gl) {
    const double t = toleranceOf(tag);
    const RotationBodyHeader* body = rotationBodyOf(tag);
    drawFigure(tag, preList, gl, [&](const Placement& place) {
        if (body) drawProfile(rotationProfile(body->count, rotationPoints(body)), t, place, gl);
    });
}
