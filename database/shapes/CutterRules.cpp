#include "shapes/Cutter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace DQ {

namespace {

// A ball end's radius may outgrow the head: lift every height above the
// tip by the excess so the hemisphere still fits below the head length.
void raiseHead(CutterRecord& c) {
    if (c.cornerR > c.headLength) {
        double d = c.cornerR - c.headLength;
        c.length += d;
        c.effectiveLength += d;
        c.headLength += d;
        c.taperEnd += d;
    }
}

} // namespace

namespace CutterRules {

void type(CutterRecord& c, std::uint32_t v) {
    c.type = v;
    if (v == BallEnd) {
        c.cornerR = c.diameter / 2;
        raiseHead(c);
    } else if (v == FlatEnd) {
        c.cornerR = 0;
    }
}

void diameter(CutterRecord& c, double v) {
    double d = v - c.diameter;
    c.diameter = v;
    if (c.type == BallEnd) {
        c.cornerR = v / 2;
        raiseHead(c);
    } else if (c.type == CornerRadiusEnd && c.cornerR > v / 2) {
        // A corner radius wider than the tip would put the arc's centre
        // beyond the axis; the narrower tool keeps the largest that fits.
        c.cornerR = v / 2;
    }
    // Neck and shank follow the head by the same amount, but a shrinking
    // head must not drive them to nothing or below zero.
    c.neckDiameter = std::max(c.neckDiameter + d, 0.01);
    c.axisDiameter = std::max(c.axisDiameter + d, c.neckDiameter);
}

void axisDiameter(CutterRecord& c, double v) { c.axisDiameter = std::max(v, c.neckDiameter); }

void neckDiameter(CutterRecord& c, double v) { c.neckDiameter = std::min(v, c.axisDiameter); }

void length(CutterRecord& c, double v) {
    c.length = std::max(v, c.cornerR);
    c.effectiveLength = std::min(c.effectiveLength, c.length);
    c.headLength = std::min(c.headLength, c.length);
    c.taperEnd = std::min(c.taperEnd, c.length);
}

void headLength(CutterRecord& c, double v) {
    double h = std::max(v, c.cornerR);
    double d = h - c.headLength;
    c.headLength = h;
    c.taperEnd += d; // the taper moves with the head
    if (c.length < c.taperEnd) c.length = c.taperEnd;
}

void cornerR(CutterRecord& c, double v) {
    c.cornerR = v;
    if (c.type == BallEnd) {
        c.diameter = 2 * v;
    } else if (c.type == CornerRadiusEnd && c.diameter < 2 * v) {
        double d = 2 * v - c.diameter;
        c.diameter = 2 * v;
        c.neckDiameter += d;
        c.axisDiameter += d;
    }
}

void effectiveLength(CutterRecord& c, double v) {
    c.effectiveLength = std::max(v, c.cornerR);
    if (c.headLength < c.effectiveLength) {
        double d = c.effectiveLength - c.headLength;
        c.headLength = c.effectiveLength;
        c.taperEnd += d;
        if (c.length < c.taperEnd) c.length = c.taperEnd;
    }
}

void shankAngle(CutterRecord& c, double v) {
    // NaN compares false both ways and would pass a clamp written with
    // min/max; it counts as 0 here.
    double value = v > 0 ? v : 0.0;
    if (value > std::numbers::pi / 2) value = std::numbers::pi / 2;
    double dz = c.length - c.headLength;
    double dr = (c.axisDiameter - c.neckDiameter) / 2;
    if (dz >= 1e-6 && dr >= 1e-6) {
        // Never steeper than the angle at which the taper just reaches L.
        double a = std::max(value, std::atan2(dr, dz));
        c.taperEnd = c.headLength + dr * std::tan(std::numbers::pi / 2 - a);
    }
}

} // namespace CutterRules

double effectiveHeight(const CutterRecord& c) {
    return std::max(std::min(c.effectiveLength, c.headLength), c.cornerR);
}

double shankAngle(const CutterRecord& c) {
    double dr = (c.axisDiameter - c.neckDiameter) / 2;
    if (dr < 1e-6) return 0.0;
    double dz = c.taperEnd - c.headLength;
    return dz >= 1e-6 ? std::atan2(dr, dz) : std::numbers::pi / 2;
}

CutterRecord defaultCutterRecord() {
    CutterRecord c{};
    CutterRules::type(c, BallEnd);
    CutterRules::diameter(c, 6.0);
    CutterRules::effectiveLength(c, 18.0);
    c.shiftLength = 3.0;
    return c;
}

} // namespace DQ
