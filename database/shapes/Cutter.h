// The cutter (class 3): the tip type and the lengths and diameters of the
// milling tool, kept consistent by the setters' rules. Heights are measured
// from the tip along the tool axis. The 96-byte record is stored as it is in
// scene files.
#pragma once

#include "shapes/Profile.h"

#include <cstdint>

namespace DQ {

struct CutterRecord {
    std::uint32_t type; // 1 ball end, 2 flat end, 3 corner-radius end
    std::uint32_t reserved0;
    double diameter;
    double cornerR;
    double length;          // tip to top of the shank
    double effectiveLength; // cutting part as last set
    double axisDiameter;    // shank
    double headLength;      // where the taper from neck to shank begins
    double reserved1;
    double reserved2;
    double taperEnd;     // where the taper reaches the shank diameter
    double shiftLength;  // tip to the tool's reference point
    double neckDiameter; // between the cutting part and the taper
};
static_assert(sizeof(CutterRecord) == 96);

enum CutterType : std::uint32_t { BallEnd = 1, FlatEnd = 2, CornerRadiusEnd = 3 };

// The dependency rules, applied to a record in place. Each takes a value
// the caller has already accepted (see the dqSetCutter* exports).
namespace CutterRules {
void type(CutterRecord& c, std::uint32_t v);           // T
void diameter(CutterRecord& c, double v);              // D
void axisDiameter(CutterRecord& c, double v);          // shank >= neck
void neckDiameter(CutterRecord& c, double v);          // neck <= shank
void length(CutterRecord& c, double v);                // L
void headLength(CutterRecord& c, double v);            // H
void cornerR(CutterRecord& c, double v);               // R
void effectiveLength(CutterRecord& c, double v);       // E
void shankAngle(CutterRecord& c, double v);            // A
} // namespace CutterRules

// max(min(effective length, head length), corner radius): the top of the
// cutting head.
double effectiveHeight(const CutterRecord& c);
// The taper's half-angle from the tool axis.
double shankAngle(const CutterRecord& c);

// The default cutter's record: ball end, D 6, R 3, L 18, E 18, shank 6,
// H 18, taper end 18, shift 3, neck 6.
CutterRecord defaultCutterRecord();

// Segments of the tip's quarter arc of radius rho at tolerance t.
unsigned cutterArcSegments(double rho, double t);
// The outline of the cutting head from the tip to the effective height.
Profile cutterHeadProfile(const CutterRecord& c, double t);
// The outline of the neck, taper and shank from the effective height up.
Profile cutterShankProfile(const CutterRecord& c);

} // namespace DQ
