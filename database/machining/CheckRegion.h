// The region of the tool that each of the three checks looks at: a square of
// half-width r around the tool axis and a height interval [z0, z1] along it,
// in the tool frame (origin at the spindle's gauge point, tool axis +Z, the
// tip at -(cutter length + holder end height)). The check's orthographic
// view looks from the gauge point down -Z and covers exactly this region.
#pragma once

namespace DQ {

enum class CheckKind { Cutting, Shank, Holder };

struct CheckRegion {
    double r = 0, z0 = 0, z1 = 0;
};

// The parameters a check reads from the cutter's and holder's real lists.
// Missing lists or entries give the pixel sizes and tolerances 0.01, the
// margins and the offset 0.
struct CheckParameters {
    double cuttingTolerance = 0.01; // cutter 0
    double cuttingOffset = 0;       // cutter 2
    double cuttingPixel = 0.01;     // cutter 3
    double cuttingMargin = 0;       // cutter 4
    double shankTolerance = 0.01;   // cutter 5
    double shankPixel = 0.01;       // cutter 6
    double shankRadialMargin = 0;   // cutter 7
    double shankAxialMargin = 0;    // cutter 8
    double holderTolerance = 0.01;  // holder 1
    double holderPixel = 0.01;      // holder 2
    double holderRadialMargin = 0;  // holder 3
    double holderAxialMargin = 0;   // holder 4
};

CheckParameters checkParameters();

// The session's cutter and holder tags (0 when missing).
unsigned checkCutter();
unsigned checkHolder();

// The check's region; all zero when the cutter (or, for the holder check,
// the holder) has no data.
CheckRegion checkRegion(CheckKind kind);

// The side of the square check window in pixels for a region of half-width
// r at pixel size p: trunc(2r / p - 1e-6) + 1, held to 1..kMaxCheckWindow so
// that a zero, negative or absurd pixel size cannot ask for an unbounded
// depth buffer.
constexpr unsigned kMaxCheckWindow = 4096;
unsigned checkWindowSize(double r, double p);
double checkPixelSize(CheckKind kind);

// The check's switch: integer settings entry 3 (cutting), 4 (shank) or 5
// (holder); off when the list or the entry is missing.
bool checkEnabled(CheckKind kind);

// Loads the check projection on the current matrix: glOrtho(-r, r, -r, r,
// -z1, -(z0 - 0.01 (z1 - z0))), so depth 0 is the plane z = z1 and depth 1
// lies 1 % of the region's height below z0.
void loadCheckProjection(const CheckRegion& region);

} // namespace DQ
