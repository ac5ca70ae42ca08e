// Select types: the small per-figure state (first word of the class-1004
// child) that decides whether a figure is drawn, highlighted or hidden, and
// which colour the scene display and the picking see for it.
#pragma once

#include "korvex.h"

#include <cstdint>

namespace DQ {

// The class-1004 record.
struct SelectRecord {
    std::uint32_t type;
    std::uint32_t serial; // selection serial of the dqSelectFigure call
};
static_assert(sizeof(SelectRecord) == 8);

// Codes 0 and 1 of dqGetColor / dqGetSelectType: the figure is neither
// drawn, boxed nor picked.
inline bool isHiddenCode(unsigned code) { return code == 0 || code == 1; }

// Solids are lit with materials; paths and origins are unlit lines and
// markers.
inline bool isSolidClass(unsigned cls) { return cls == dqCClassStl || (cls >= 3 && cls <= 8); }
inline bool isMarkerClass(unsigned cls) { return cls == dqCClassClPath || cls == dqCClassOrigin; }
inline bool isFigureClass(unsigned cls) { return cls < 1000; }

// dqGetColor and dqGetSelectType without the pointer juggling: the code and
// the colour (null when there is none).
unsigned colorState(unsigned tag, unsigned index, const float** colour);
unsigned selectState(unsigned tag, const float** colour);

} // namespace DQ
