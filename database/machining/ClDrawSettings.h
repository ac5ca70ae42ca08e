// What a CL path carries for its own drawing: the display switches, the
// marker and subdivision parameters, the colours and the machine table of
// the path's origin, shift type and gauge offset, read from its children
// once per dqDrawCL with the fallbacks for missing ones.
#pragma once

#include "korvex.h"

namespace DQ {

// Entries of the path's integer list.
enum ClSwitch {
    kSwitchRapid = 0,      // include rapid moves
    kSwitchEndPoints = 1,
    kSwitchToolAxis = 2,
    kSwitchShortMove = 3,  // marker
    kSwitchTooLittle = 4,  // marker
    kSwitchTooMuch = 5,    // marker
    kSwitchPlane = 6,      // marker
    kSwitchReversal = 7,   // marker
    kSwitchCount = 8,
};

// Entries of the path's real list.
enum ClParam {
    kParamArcStep = 0,         // radians per arc segment
    kParamRotaryStep = 1,      // radians of a rotary axis per segment
    kParamShortLinear = 2,     // linear travel below which a move is short
    kParamShortRotary = 3,     // rotary travel (radians) likewise
    kParamLittleRotary = 4,    // radians per unit of tool travel
    kParamMuchRotary = 5,      // radians per unit of tool travel
    kParamPlaneNormal = 6,     // 6, 7, 8
    kParamPlaneOffset = 9,
    kParamMarkerSize = 10,
    kParamOrigin = 11,         // 11..16
    kParamGauge = 17,
    kParamToolLength = 18,
    kParamLittleLinear = 19,
    kParamMuchLinear = 20,
    kParamCount = 21,
};

struct ClDrawSettings {
    bool switches[kSwitchCount] = {};
    double params[kParamCount] = {};
    // Shift type of the path, 0..3 (others are drawn as 1).
    unsigned shiftType = 0;
    // Origin, shift type and gauge offset of the path; tipOffset is the
    // negative gauge offset, toolLength the length of tool-axis vectors.
    gqCMachineTableData table{};

    const float* pathColour = nullptr;   // moves and tool-axis vectors
    const float* rapidColour = nullptr;  // colour list entry 0
    const float* endColour = nullptr;    // colour list entry 1
    const float* markerColour = nullptr; // colour list entry 2
    const double* lineWidth = nullptr;
    const double* pointSize = nullptr;

    bool anyMarker() const;
};

// Reads the settings of the CL path tag. Pointers are into the store.
ClDrawSettings loadClDrawSettings(unsigned tag);

} // namespace DQ
