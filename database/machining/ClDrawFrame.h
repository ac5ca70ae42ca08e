// Where a pose of a CL path lands in the drawing: the program position
// taken through the machine chain the way the path's cutter shift type
// says, with the path's own origin and gauge offset.
#pragma once

#include "korvex.h"

namespace DQ {

// A pose as drawn: X, Y, Z (program units) and A, B, C (degrees).
struct ClPose6 {
    double v[6];
};

class ClDrawFrame {
public:
    explicit ClDrawFrame(const gqCMachineTableData& table);

    // The drawing point of the pose (out[0..2]) and the tool direction
    // there (out[3..5]):
    //   shift type 3:  the origin's machine point plus X, Y, Z, with the
    //                  tool direction of the all-zero axis values;
    //   otherwise:     the pose taken as axis values through the chain, and
    //                  for shift type 0 moved by the tip offset along the
    //                  tool direction (the program holds the gauge point).
    void point(const ClPose6& pose, double* out) const;

    // The machine axis values (lengths, radians) that bring the tool
    // reference point of a shift-type-3 program to the pose on the path's
    // machine, origin removed. The markers judge the machine by these.
    void axisValues(const ClPose6& pose, double* out) const;

    unsigned shiftType() const { return shiftType_; }

private:
    // The chain with the path's origin but without the tip offset, which
    // is applied by shift type here.
    gqCMachineTableData chain_;
    // The same chain without the origin, for the inverse transform.
    gqCMachineTableData bare_;
    unsigned shiftType_;
    double tipOffset_;
    double zero_[6]; // the all-zero axis values through chain_
};

} // namespace DQ
