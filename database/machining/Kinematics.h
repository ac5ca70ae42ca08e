// Machine kinematics: the rotations of the chain and the tool-position
// conversions built on gqCMachineTableData. Axis numbers X 0, Y 1, Z 2,
// A 3, B 4, C 5; indices 3 and above are rotary.
#pragma once

#include "korvex.h"

namespace DQ {

// Rotates v (three doubles, in place) about the direction u by angle t,
// right-handed: u is turned onto +Z, the rotation made about Z, and u
// turned back. A zero u therefore rotates about Z.
void rotateAbout(const double* u, double t, double* v);

// The session's machine table (as dqGetMachineTable fills it).
gqCMachineTableData machineTable();

// The origin's six values (lengths and radians), zeros without an origin.
void originValues(double* out);

// The cutter's gauge offset (entry 1 of its real list): distance along the
// tool axis from the spindle's gauge point to the tool reference point.
// False when the cutter has none.
bool gaugeOffset(double* g);

} // namespace DQ
