// The cutter's exports: creation, the copy-on-write setters and getters,
// and the drawing of head and shank.
#include "shapes/Cutter.h"

#include "korvex.h"
#include "shapes/FigureData.h"
#include "shapes/GlGuards.h"
#include "shapes/MeshDrawing.h"
#include "shapes/Placement.h"
#include "store/TypedList.h"

#include <GL/gl.h>

namespace DQ {
namespace {

const CutterRecord* cutterOf(unsigned tag) {
    return static_cast<const CutterRecord*>(payload(tag, sizeof(CutterRecord)));
}

// Copy-on-write: change a copy of the record and hand it back through the
// journal. Nothing happens without a payload, and nothing to an element of
// another class: a cutter record there would not match the size its class
// claims, and the journal would read past the block.
template <class Change>
void changeCutter(unsigned tag, Change change) {
    const CutterRecord* old = cutterOf(tag);
    if (!old || dqGetClass(tag) != dqCClassCutter) return;
    CutterRecord copy = *old;
    change(copy);
    if (void* data = dqCreateData(&copy, sizeof copy)) dqSetData(tag, data);
}

double field(unsigned tag, double CutterRecord::*member) {
    const CutterRecord* c = cutterOf(tag);
    return c ? c->*member : 1.0;
}

// The setters of a length or diameter go on for values of at least 0.01;
// the comparison also turns away NaN.
bool acceptedSize(double v) { return v >= 0.01; }

} // namespace
} // namespace DQ

using namespace DQ;

DQ_API unsigned int dqCreateDefaultCutter(void) {
    CutterRecord record = defaultCutterRecord();
    unsigned tag = addFigure(dqCClassCutter, dqCreateData(&record, sizeof record));
    if (!tag) return 0;
    const float head[4] = {0.5f, 0.0f, 1.0f, 1.0f};
    const float shank[4] = {0.75f, 0.0f, 1.0f, 1.0f};
    const unsigned ints[2] = {1, 1}; // reference flag, shift type
    const double reals[9] = {0.01, 0.0, 0.01, 0.01, 0.0, 0.05, 0.01, 0.1, 0.1};
    const Placement place = Placement::identity();
    const unsigned mount = 0;
    dqAllocChild(tag, 0, 0, dqCClassColor, head);
    dqSetChild(tag, 0, 0, dqCClassColorList, newColorList(1, shank));
    dqSetChild(tag, 0, 0, dqCClassIntList, newIntList(2, ints));
    dqSetChild(tag, 0, 0, dqCClassRealList, newRealList(9, reals));
    dqAllocChild(tag, 0, 0, dqCClassPlacement, &place);
    dqAllocChild(tag, 0, 0, dqCClassAxisMount, &mount);
    return tag;
}

DQ_API void dqSetCutterType(unsigned int tag, unsigned int type) {
    if (type < 1 || type > 3) return;
    changeCutter(tag, [&](CutterRecord& c) { CutterRules::type(c, type); });
}

DQ_API unsigned int dqGetCutterType(unsigned int tag) {
    const CutterRecord* c = cutterOf(tag);
    return c ? c->type : 1;
}

#define DQ_SIZE_SETTER(name, rule)                                                      \
    DQ_API void name(unsigned int tag, double value) {                                  \
        if (!acceptedSize(value)) return;                                               \
        changeCutter(tag, [&](CutterRecord& c) { CutterRules::rule(c, value); });       \
    }

DQ_SIZE_SETTER(dqSetCutterDiameter, diameter)
DQ_SIZE_SETTER(dqSetCutterAxisDiameter, axisDiameter)
DQ_SIZE_SETTER(dqSetCutterNeckDiameter, neckDiameter)
DQ_SIZE_SETTER(dqSetCutterLength, length)
DQ_SIZE_SETTER(dqSetCutterHeadLength, headLength)
DQ_SIZE_SETTER(dqSetCutterCornerR, cornerR)
DQ_SIZE_SETTER(dqSetCutterEffectiveLength, effectiveLength)
#undef DQ_SIZE_SETTER

DQ_API void dqSetCutterShankAngle(unsigned int tag, double value) {
    changeCutter(tag, [&](CutterRecord& c) { CutterRules::shankAngle(c, value); });
}

DQ_API void dqSetCutterShiftLength(unsigned int tag, double value) {
    changeCutter(tag, [&](CutterRecord& c) { c.shiftLength = value; });
}

DQ_API void dqSetCutterShiftType(unsigned int tag, unsigned int shiftType) {
    if (shiftType > 3) return;
    unsigned list = childTag(tag, dqCClassIntList);
    if (!list || !dqGetIntListElem(list, 0)) return;
    dqSetIntListElem(list, 1, shiftType);
}

DQ_API unsigned int dqGetCutterShiftType(unsigned int tag) {
    unsigned list = childTag(tag, dqCClassIntList);
    const unsigned* value = list ? dqGetIntListElem(list, 1) : nullptr;
    return value ? *value : 0;
}

DQ_API double dqGetCutterDiameter(unsigned int tag) { return field(tag, &CutterRecord::diameter); }
DQ_API double dqGetCutterAxisDiameter(unsigned int tag) {
    return field(tag, &CutterRecord::axisDiameter);
}
DQ_API double dqGetCutterNeckDiameter(unsigned int tag) {
    return field(tag, &CutterRecord::neckDiameter);
}
DQ_API double dqGetCutterLength(unsigned int tag) { return field(tag, &CutterRecord::length); }
DQ_API double dqGetCutterHeadLength(unsigned int tag) {
    return field(tag, &CutterRecord::headLength);
}
DQ_API double dqGetCutterCornerR(unsigned int tag) { return field(tag, &CutterRecord::cornerR); }
DQ_API double dqGetCutterShiftLength(unsigned int tag) {
    return field(tag, &CutterRecord::shiftLength);
}

DQ_API double dqGetCutterEffectiveLength(unsigned int tag) {
    const CutterRecord* c = cutterOf(tag);
    return c ? effectiveHeight(*c) : 1.0;
}

DQ_API double dqGetCutterShankAngle(unsigned int tag) {
    const CutterRecord* c = cutterOf(tag);
    return c ? shankAngle(*c) : 1.0;
}

DQ_API void dqDrawCutter(unsigned int tag, unsigned int preList, gqCOpenGL& gl) {
    const float* head = static_cast<const float*>(childData(tag, dqCClassColor, 16));
    const double t = toleranceOf(tag);
    unsigned colorList = childTag(tag, dqCClassColorList);
    const float* shank = colorList ? dqGetColorListElem(colorList, 0) : nullptr;
    const bool placed = childData(tag, dqCClassPlacement, sizeof(Placement)) != nullptr;
    const Placement place = placementOf(tag);
    const CutterRecord* cutter = cutterOf(tag);

    AttribGuard attrib(GL_CURRENT_BIT);
    if (head) glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, head);
    {
        BodyGuard body(gl, preList);
        if (cutter) drawProfile(cutterHeadProfile(*cutter, t), t, place, gl);
    }
    if (shank) {
        // The shank takes the head's transparency, so a see-through tool
        // stays see-through as a whole.
        float material[4] = {shank[0], shank[1], shank[2], shank[3]};
        if (placed && head) material[3] = head[3];
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, material);
        BodyGuard body(gl, preList);
        if (cutter) drawProfile(cutterShankProfile(*cutter), t, place, gl);
    }
}
