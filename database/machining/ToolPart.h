// The tool parts the checks compare the model against, each a solid of
// revolution about the tool axis with heights measured from the bottom z0 of
// its check region: the cutter's tip surface moved inwards (cutting), the
// cutter's body above its cutting part widened by the margins (shank), and
// the holder's outline widened by its margins (holder).
#pragma once

#include "machining/CheckRegion.h"
#include "shapes/Profile.h"

namespace DQ {

struct CutterRecord;

// The tip surface of a cutter whose offset is s, at tolerance t. Empty when
// the surface would vanish (radius below 1e-6) or the tip type is unknown.
Profile cuttingPartProfile(const CutterRecord& cutter, double s, double t);
// The shank widened by the radial margin a, heights from the effective
// height.
Profile shankPartProfile(const CutterRecord& cutter, double a);
// A holder outline of n (r, z) points widened by the radial margin a and
// lowered by the axial margin b; the radius never shrinks upwards.
Profile holderPartProfile(unsigned n, const double* points, double a, double b);

// The check's tool part for the session's cutter and holder with the
// tolerance to revolve it at; an empty profile when their data is missing.
Profile toolPartProfile(CheckKind kind, double* tolerance);

// Draws the check's tool part on the current matrix in draw mode.
void drawToolPart(CheckKind kind);

} // namespace DQ
