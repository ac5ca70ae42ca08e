// The display flags of the machine parts, kept in the scene as the select
// type of their parameter elements.
#pragma once

namespace FE {

// The four flags as the user last set them. Undo, redo, clearing the
// session and rolling back a selection all replace store content wholesale,
// which would otherwise bring back whatever flags that content had.
struct DisplayFlagSnapshot {
    int cutter, holder, origin, spindle;
};

DisplayFlagSnapshot rememberDisplayFlags();
// Writes back each flag that now reads differently, so a flag that already
// agrees (for instance a selected cutter, which reads as shown) is left
// untouched.
void restoreDisplayFlags(const DisplayFlagSnapshot& flags);

} // namespace FE
