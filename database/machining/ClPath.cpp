#include "machining/ClPath.h"

#include "korvex.h"
#include "machining/ClRecord.h"
#include "machining/TraceCursor.h"
#include "store/TypedList.h"

#include <cstdlib>
#include <cstring>
#include <numbers>

namespace DQ {
namespace {

constexpr double deg(double d) { return d * std::numbers::pi / 180.0; }

constexpr unsigned kPathInts = 10;
constexpr unsigned kPathReals = 21;
constexpr unsigned kPathColors = 3;

// Settings entries with the value used when the entry is missing.
double realSetting(unsigned index, double fallback) {
    const double* v = dqGetRealListElem(dqGetParamTag(37), index);
    return v ? *v : fallback;
}
unsigned intSetting(unsigned index, unsigned fallback) {
    const unsigned* v = dqGetIntListElem(dqGetParamTag(36), index);
    return v ? *v : fallback;
}
void colorSetting(unsigned index, const float fallback[4], float out[4]) {
    const float* v = dqGetColorListElem(dqGetParamTag(38), index);
    std::memcpy(out, v ? v : fallback, 16);
}

// The session's cutter and its typed-list children; 0 when missing.
unsigned cutterList(dqCClassEnum cls) {
    unsigned cutter = dqGetParamTag(22);
    if (!cutter || dqGetClass(cutter) != dqCClassCutter) return 0;
    return dqGetChild(cutter, 0, 0, cls, nullptr);
}

void buildInts(unsigned out[kPathInts]) {
    std::memset(out, 0, sizeof(unsigned) * kPathInts);
    out[0] = intSetting(0, 0);
    out[1] = intSetting(1, 1);
    const unsigned* shift = dqGetIntListElem(cutterList(dqCClassIntList), 1);
    out[9] = shift ? *shift : 0;
}

void buildReals(double out[kPathReals]) {
    out[0] = realSetting(4, deg(10));
    out[1] = realSetting(5, deg(10));
    out[2] = realSetting(16, 0.01);
    out[3] = realSetting(17, deg(0.01));
    out[4] = realSetting(18, deg(0.01));
    out[5] = realSetting(19, deg(50));
    out[6] = realSetting(20, 0.0);
    out[7] = realSetting(21, 0.0);
    out[8] = realSetting(22, 1.0);
    out[9] = realSetting(23, 0.0);
    out[10] = realSetting(24, 5.0);
    // The origin as it is now, so a trace can put the scene back the way it
    // was when the path was loaded.
    unsigned origin = dqGetParamTag(7);
    const void* o = origin && dqGetClass(origin) == dqCClassOrigin ? dqGetData(origin) : nullptr;
    if (o)
        std::memcpy(out + 11, o, 6 * sizeof(double));
    else
        for (int i = 11; i <= 16; ++i) out[i] = 0.0;
    const double* gauge = dqGetRealListElem(cutterList(dqCClassRealList), 1);
    out[17] = out[18] = gauge ? *gauge : 0.0;
    out[19] = realSetting(25, 0.01);
    out[20] = realSetting(26, 50.0);
}

} // namespace

Resolutions sessionResolutions() {
    return Resolutions{realSetting(2, 0.0001), realSetting(3, 0.0001)};
}

void sessionStartPose(double start[6]) {
    static constexpr double kDefault[6] = {0, 0, 100, 0, 0, 0};
    for (unsigned i = 0; i < 6; ++i) start[i] = realSetting(6 + i, kDefault[i]);
}

unsigned createClPath(ClBufferBlock block, const char* path) {
    if (!block.data) return 0;
    unsigned tag = dqAddData(dqCClassClPath, 0, block.data);
    if (!tag) {
        std::free(block.data); // never reached the store
        return 0;
    }
    unsigned* owner = static_cast<unsigned*>(dqCreateData(&tag, sizeof tag));
    if (!owner || !dqAddData(dqCClassChildHead, 0, owner)) {
        // Without its head the path could hold no children; an element left
        // with data but nothing else would pass for a loaded path, so the
        // data is detached and the load fails.
        dqAllocData(tag, nullptr);
        return 0;
    }

    dqAllocChild(tag, 0, 0, dqCClassFilePath, path ? path : "");

    unsigned ints[kPathInts];
    buildInts(ints);
    if (void* list = newIntList(kPathInts, ints)) dqSetChild(tag, 0, 0, dqCClassIntList, list);

    double width = realSetting(0, 1.0), size = realSetting(1, 3.0);
    dqAllocChild(tag, 0, 0, dqCClassDouble, &width);
    dqAllocChild(tag, 0, 1, dqCClassDouble, &size);

    double reals[kPathReals];
    buildReals(reals);
    if (void* list = newRealList(kPathReals, reals)) dqSetChild(tag, 0, 0, dqCClassRealList, list);

    static constexpr float kBlue[4] = {0, 0, 1, 1};
    static constexpr float kBlack[4] = {0, 0, 0, 1};
    float colour[4];
    colorSetting(2, kBlue, colour);
    dqAllocChild(tag, 0, 0, dqCClassColor, colour);

    float colours[kPathColors][4];
    colorSetting(3, kBlack, colours[0]);  // rapid moves
    colorSetting(4, kBlack, colours[1]);  // end points
    colorSetting(10, kBlack, colours[2]); // markers
    if (void* list = newColorList(kPathColors, &colours[0][0]))
        dqSetChild(tag, 0, 0, dqCClassColorList, list);

    TraceCursor cursor = freshCursor(ClBuffer::fromStore(block.data));
    dqAllocChild(tag, 0, 0, dqCClassTraceCursor, &cursor);
    return tag;
}

} // namespace DQ

using namespace DQ;

DQ_API unsigned int dqCreateCLFromNCFile(char* path, double* progress) {
    Resolutions res = sessionResolutions();
    double start[6];
    sessionStartPose(start);
    ClBufferBlock block = readNcFile(path, res, start, progress);
    if (!block.data) return 0;
    return createClPath(block, path);
}

DQ_API double* dqGetCLOrigin(unsigned int tag) {
    if (!pathBuffer(tag).valid()) return nullptr;
    unsigned list = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
    if (!dqGetRealListElem(list, 16)) return nullptr; // all six entries or none
    return dqGetRealListElem(list, 11);
}

DQ_API unsigned int dqGetCLCutterShiftType(unsigned int tag) {
    if (!pathBuffer(tag).valid()) return 0;
    const unsigned* v = dqGetIntListElem(dqGetChild(tag, 0, 0, dqCClassIntList, nullptr), 9);
    return v ? *v : 0;
}
