// Turns one move of a CL path into the poses that are drawn for it: a line
// split by its rotary change, an arc (with helix) split by its sweep. The
// poses are program positions; where they land is ClDrawFrame's business.
#pragma once

#include "machining/ClDrawFrame.h"
#include "machining/ClRecord.h"

namespace DQ {

class ClPoseSink {
public:
    virtual void pose(const ClPose6& pose) = 0;

protected:
    ~ClPoseSink() = default;
};

struct ClSubdivision {
    double arcStep;    // radians per arc segment
    double rotaryStep; // radians of a rotary axis per segment
    unsigned shiftType;
};

// Emits the poses after the start of the move from previous to current:
// k / n of the way for k = 1..n. motion is the move code's motion digit
// (2 clockwise arc, 3 counter-clockwise, anything else a line), plane its
// plane digit (1 YZ, 2 ZX, anything else XY). Rotary axes take the short
// way round. The count per move is bounded whatever the steps are.
void subdivideMove(const ClPose& previous, const ClPose& current, int plane, int motion,
                   const ClSubdivision& steps, ClPoseSink& sink);

// The largest number of segments one move is split into: a step set to a
// tiny value must not stall the drawing.
constexpr unsigned kMaxSegmentsPerMove = 20000;

// ceiling(ratio), at least 1 and at most kMaxSegmentsPerMove; NaN gives 1.
// A ratio within 1e-9 above a whole number counts as that number, so that
// a 90 degree arc in 10 degree steps is 9 segments despite rounding.
unsigned segmentCount(double ratio);

// Brings an angle difference into [-180, 180] degrees (the short way).
double shortDegrees(double delta);

} // namespace DQ
