// The exports of the block, the cone and the sphere.
#include "korvex.h"
#include "shapes/FigureDrawing.h"
#include "shapes/MeshDrawing.h"
#include "shapes/SimpleShapes.h"
#include "store/TypedList.h"

namespace DQ {

unsigned createShape(dqCClassEnum cls, const void* record, unsigned bytes, bool withTolerance) {
    void* data = dqCreateData(record, bytes);
    if (!data) return 0;
    unsigned tag = addFigure(cls, data);
    if (!tag) return 0;
    // A missing session colour leaves a colour child without data, so the
    // figure keeps its slot and simply draws without a material.
    dqAllocChild(tag, 0, 0, dqCClassColor, sessionColor(1));
    if (withTolerance) {
        const double t = sessionReal(15, 0.01);
        dqSetChild(tag, 0, 0, dqCClassRealList, newRealList(1, &t));
    }
    const Placement place = Placement::identity();
    dqAllocChild(tag, 0, 0, dqCClassPlacement, &place);
    return tag;
}

namespace {

template <class Record>
const Record* recordOf(unsigned tag) {
    return static_cast<const Record*>(payload(tag, sizeof(Record)));
}

// Replaces the record of a figure of class cls; an element of another
// class is left alone, since its size rule would not fit the record.
template <class Record>
void replaceRecord(unsigned tag, dqCClassEnum cls, const Record& record) {
    if (tag == 0 || dqGetClass(tag) != cls) return;
    if (void* data = dqCreateData(&record, sizeof record)) dqSetData(tag, data);
}

template <class Record>
double fieldOf(unsigned tag, double Record::*member) {
    const Record* r = recordOf<Record>(tag);
    return r ? r->*member : 0.0;
}

} // namespace
} // namespace DQ

using namespace DQ;

// --- block ---

DQ_API unsigned int dqCreateBlock(double width, double length, double height) {
    if (!validBlock(width, length, height)) return 0;
    const BlockRecord block{width, length, height};
    return createShape(dqCClassBlock, &block, sizeof block, false);
}

DQ_API void dqSetBlock(unsigned int tag, double width, double length, double height) {
    if (validBlock(width, length, height)) replaceRecord(tag, dqCClassBlock, BlockRecord{width, length, height});
}

DQ_API double dqGetBlockWidth(unsigned int tag) { return fieldOf(tag, &BlockRecord::width); }
DQ_API double dqGetBlockLength(unsigned int tag) { return fieldOf(tag, &BlockRecord::length); }
DQ_API double dqGetBlockHeight(unsigned int tag) { return fieldOf(tag, &BlockRecord::height); }

DQ_API void dqDrawBlock(unsigned int tag, unsigned int preList, gqCOpenGL& gl) {
    const BlockRecord* block = recordOf<BlockRecord>(tag);
    drawFigure(tag, preList, gl, [&](const Placement& place) {
        if (!block) return;
        auto buffer = makeTriangleBuffer(blockTriangles(*block));
        drawTriangleBuffer(buffer.data(), buffer.size() * 8, place, gl);
    });
}

// --- cone ---

DQ_API unsigned int dqCreateCone(double top, double bottom, double height) {
    if (!validCone(top, bottom, height)) return 0;
    const ConeRecord cone{top, bottom, height};
    return createShape(dqCClassCone, &cone, sizeof cone, true);
}

DQ_API void dqSetCone(unsigned int tag, double top, double bottom, double height) {
    if (validCone(top, bottom, height)) replaceRecord(tag, dqCClassCone, ConeRecord{top, bottom, height});
}

DQ_API double dqGetConeTopDiameter(unsigned int tag) { return fieldOf(tag, &ConeRecord::top); }
DQ_API double dqGetConeBottomDiameter(unsigned int tag) {
    return fieldOf(tag, &ConeRecord::bottom);
}
DQ_API double dqGetConeHeight(unsigned int tag) { return fieldOf(tag, &ConeRecord::height); }

DQ_API void dqDrawCone(unsigned int tag, unsigned int preList, gqCOpenGL& gl) {
    const ConeRecord* cone = recordOf<ConeRecord>(tag);
    const double t = toleranceOf(tag);
    drawFigure(tag, preList, gl, [&](const Placement& place) {
        if (cone) drawProfile(coneProfile(*cone), t, place, gl);
    });
}

// --- sphere ---

DQ_API unsigned int dqCreateSphere(double diameter) {
    if (!validSphere(diameter)) return 0;
    const SphereRecord sphere{diameter};
    return createShape(dqCClassSphere, &sphere, sizeof sphere, true);
}

DQ_API void dqSetSphere(unsigned int tag, double diameter) {
    if (validSphere(diameter)) replaceRecord(tag, dqCClassSphere, SphereRecord{diameter});
}

DQ_API double dqGetSphereDiameter(unsigned int tag) {
    return fieldOf(tag, &SphereRecord::diameter);
}

DQ_API void dqDrawSphere(unsigned int tag, unsigned int preList, gqCOpenGL& gl) {
    const SphereRecord* sphere = recordOf<SphereRecord>(tag);
    const double t = toleranceOf(tag);
    drawFigure(tag, preList, gl, [&](const Placement& place) {
        if (sphere) drawProfile(sphereProfile(sphere->diameter, t), t, place, gl);
    });
}
