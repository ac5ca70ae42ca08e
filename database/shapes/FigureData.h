// Safe access to figure payloads and children. A payload is taken only when
// the element's stored size covers the record that is read from it, so a
// tag of another class (or tag 0, whose data is the title) can never make a
// figure read past the end of a block.
#pragma once

#include "korvex.h"

#include <cstddef>

namespace DQ {

// The tag's data when it holds at least size bytes; null otherwise (tag 0,
// beyond the highest tag, empty, or too small).
const void* payload(unsigned tag, std::size_t size);
// The stored byte size of the tag's data (0 for tag 0 and invalid tags).
std::size_t payloadSize(unsigned tag);

// The first child of class cls in list 0 when its data holds at least size
// bytes; null otherwise.
const void* childData(unsigned tag, dqCClassEnum cls, std::size_t size);
// The tag of that child (0 when none).
unsigned childTag(unsigned tag, dqCClassEnum cls);

// Entry index of the figure's real list (class 1017), or fallback.
double realListEntry(unsigned tag, unsigned index, double fallback);
// The chordal tolerance of a figure: entry 0 of its real list, 0.01 when
// missing.
double toleranceOf(unsigned tag);
// Entry k of the session colour list, or null.
const float* sessionColor(unsigned k);
// Entry k of the session real list, or fallback.
double sessionReal(unsigned k, double fallback);

// Creates an object of class cls holding data (owned by the store from then
// on) and its class-2001 child-list head. Returns the tag, or 0 (then the
// object's data is cleared when the head failed).
unsigned addFigure(dqCClassEnum cls, void* data);

} // namespace DQ
