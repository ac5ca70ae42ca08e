#include "machining/ClDrawSettings.h"

#include "shapes/FigureData.h"

#include <cmath>
#include <initializer_list>
#include <numbers>

namespace DQ {
namespace {

constexpr double deg(double d) { return d * std::numbers::pi / 180.0; }

// The values a path without a real list (or with a short one) is drawn with.
constexpr double kDefaults[kParamCount] = {
    deg(10), deg(10), 0.01, deg(0.01), deg(0.01), deg(50), 0, 0, 1, 0, 5.0,
    0,       0,       0,    0,         0,         0,       0, 0, 0, 50.0,
};

// A child's data when it holds at least count values of T: a damaged block
// is treated as missing rather than read past its end.
template <class T> const T* childOf(unsigned tag, dqCClassEnum cls, unsigned index, unsigned count) {
    void* data = nullptr;
    unsigned child = dqGetChild(tag, 0, index, cls, &data);
    if (!child || !data || payloadSize(child) < count * sizeof(T)) return nullptr;
    return static_cast<const T*>(data);
}

constexpr double kMinStep = 1e-4;

} // namespace

bool ClDrawSettings::anyMarker() const {
    for (int i = kSwitchShortMove; i <= kSwitchReversal; ++i)
        if (switches[i]) return true;
    return false;
}

ClDrawSettings loadClDrawSettings(unsigned tag) {
    ClDrawSettings s;
    const unsigned ints = dqGetChild(tag, 0, 0, dqCClassIntList, nullptr);
    for (unsigned i = 0; i < kSwitchCount; ++i) {
        const unsigned* v = dqGetIntListElem(ints, i);
        s.switches[i] = v && *v != 0;
    }
    const unsigned* shift = dqGetIntListElem(ints, 9);
    s.shiftType = shift ? *shift : 0;
    if (s.shiftType > 3) s.shiftType = 1;

    const unsigned reals = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
    for (unsigned i = 0; i < kParamCount; ++i) {
        const double* v = dqGetRealListElem(reals, i);
        s.params[i] = v ? *v : kDefaults[i];
    }
    // A step of 0, a negative or a NaN one would split a move without end;
    // a tiny one is held to a ten-thousandth of a radian so a move stays a
    // bounded number of vertices.
    for (unsigned i : {unsigned(kParamArcStep), unsigned(kParamRotaryStep)}) {
        double& step = s.params[i];
        if (!(step > 0) || !std::isfinite(step)) step = kDefaults[i];
        if (step < kMinStep) step = kMinStep;
    }
    // The origin only as a whole: six values or none.
    double* origin = dqGetRealListElem(reals, kParamOrigin + 5) ? &s.params[kParamOrigin] : nullptr;
    double lengths[2] = {s.params[kParamGauge], s.params[kParamToolLength]};
    unsigned shiftType = s.shiftType;
    dqGetMachineTable2(&s.table, origin, &shiftType, lengths);

    s.pathColour = childOf<float>(tag, dqCClassColor, 0, 4);
    const unsigned colours = dqGetChild(tag, 0, 0, dqCClassColorList, nullptr);
    s.rapidColour = dqGetColorListElem(colours, 0);
    s.endColour = dqGetColorListElem(colours, 1);
    s.markerColour = dqGetColorListElem(colours, 2);
    s.lineWidth = childOf<double>(tag, dqCClassDouble, 0, 1);
    s.pointSize = childOf<double>(tag, dqCClassDouble, 1, 1);
    return s;
}

} // namespace DQ
