#pragma once
// Checks a Collada document for the damage that the assimp Collada reader
// does not survive, before the library sees the file: a stray character in
// a number list makes it loop forever, an array without its count makes it
// crash, and an accessor that reaches past its array makes it read beyond
// the array. The check looks only at those places; everything else is left
// to the library.
//
// Rules:
//  - the content of <p>, <vcount>, <v>, <h>, <float_array> and <int_array>
//    holds only blanks and the characters of numbers;
//  - every <float_array> and <int_array> has a count attribute equal to the
//    number of values it holds;
//  - every <accessor> names (source="#id") an array of the document, and
//    offset + count * stride (stride 1 and offset 0 when not given) stays
//    within that array's count.

#include <string_view>

bool ColladaLooksSafe(std::string_view text);

// The document's length unit in metres: the meter attribute of its first
// <unit> element, or 1 when there is none or it is not a positive number.
double ColladaUnitMeter(std::string_view text);
