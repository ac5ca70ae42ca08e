#include "machining/CheckRegion.h"

#include "korvex.h"
#include "shapes/Cutter.h"
#include "shapes/FigureData.h"
#include "shapes/RotationBody.h"

#include <GL/gl.h>

#include <cmath>

namespace DQ {

unsigned checkCutter() { return dqGetParamTag(22); }
unsigned checkHolder() { return dqGetParamTag(24); }

CheckParameters checkParameters() {
    CheckParameters p;
    const unsigned cutter = checkCutter(), holder = checkHolder();
    p.cuttingTolerance = realListEntry(cutter, 0, 0.01);
    p.cuttingOffset = realListEntry(cutter, 2, 0.0);
    p.cuttingPixel = realListEntry(cutter, 3, 0.01);
    p.cuttingMargin = realListEntry(cutter, 4, 0.0);
    p.shankTolerance = realListEntry(cutter, 5, 0.01);
    p.shankPixel = realListEntry(cutter, 6, 0.01);
    p.shankRadialMargin = realListEntry(cutter, 7, 0.0);
    p.shankAxialMargin = realListEntry(cutter, 8, 0.0);
    p.holderTolerance = realListEntry(holder, 1, 0.01);
    p.holderPixel = realListEntry(holder, 2, 0.01);
    p.holderRadialMargin = realListEntry(holder, 3, 0.0);
    p.holderAxialMargin = realListEntry(holder, 4, 0.0);
    return p;
}

CheckRegion checkRegion(CheckKind kind) {
    const auto* cutter =
        static_cast<const CutterRecord*>(payload(checkCutter(), sizeof(CutterRecord)));
    const RotationBodyHeader* holder = rotationBodyOf(checkHolder());
    // The tool frame needs both: the tip lies at -(L + H).
    if (!cutter || !holder) return {};
    const CheckParameters p = checkParameters();
    const double lh = cutter->length + holder->endHeight;
    const double e = effectiveHeight(*cutter);
    switch (kind) {
    case CheckKind::Cutting:
        return {cutter->diameter / 2 - p.cuttingMargin, -lh + p.cuttingMargin,
                e - lh - p.cuttingMargin};
    case CheckKind::Shank:
        return {cutter->axisDiameter / 2 + p.shankRadialMargin, e - lh - p.shankAxialMargin,
                p.shankAxialMargin};
    case CheckKind::Holder:
        return {holder->maxRadius + p.holderRadialMargin,
                -(holder->endHeight + p.holderAxialMargin), p.holderAxialMargin};
    }
    return {};
}

unsigned checkWindowSize(double r, double p) {
    const double q = 2 * r / p - 1e-6;
    if (!(q >= 0)) return 1; // negative width, or not a number
    if (q >= kMaxCheckWindow - 1) return kMaxCheckWindow;
    return static_cast<unsigned>(q) + 1;
}

double checkPixelSize(CheckKind kind) {
    const CheckParameters p = checkParameters();
    switch (kind) {
    case CheckKind::Cutting: return p.cuttingPixel;
    case CheckKind::Shank: return p.shankPixel;
    case CheckKind::Holder: return p.holderPixel;
    }
    return 0.01;
}

bool checkEnabled(CheckKind kind) {
    const unsigned entry = kind == CheckKind::Cutting ? 3 : kind == CheckKind::Shank ? 4 : 5;
    const unsigned list = dqGetParamTag(36);
    const unsigned* value = list ? dqGetIntListElem(list, entry) : nullptr;
    return value && *value != 0;
}

void loadCheckProjection(const CheckRegion& g) {
    glLoadIdentity();
    const double nearZ = -g.z1, farZ = -(g.z0 - 0.01 * (g.z1 - g.z0));
    // A region of no extent (missing cutter or holder) would make glOrtho
    // fail with an error; the identity serves, since its tool part draws
    // nothing.
    if (g.r == 0 || nearZ == farZ || !std::isfinite(g.r) || !std::isfinite(nearZ) ||
        !std::isfinite(farZ))
        return;
    glOrtho(-g.r, g.r, -g.r, g.r, nearZ, farZ);
}

} // namespace DQ
