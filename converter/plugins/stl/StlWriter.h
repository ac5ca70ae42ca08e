#pragma once
// Binary STL output: an 80-byte header, the triangle count as a 32-bit
// little-endian word, then per triangle the facet normal and the three
// vertices as little-endian 32-bit floats and a 16-bit attribute word of 0.

#include "IoMask.h"
#include "TriMesh.h"

#include <cstdio>

// Text at the start of the header. It must not begin with "solid", which
// would make readers take the file for ASCII STL.
inline constexpr char kStlHeaderText[] = "Binary STL written by Trimbal";

// Writes the live, valid faces of `m` to `f`. The facet normal is the face
// normal, or the unit normal of the winding when the face normal is zero
// (a reader that took normals from the file leaves face normals unset).
// Reports progress 0..100 through `cb` when given. False on a write error
// or more faces than a 32-bit count holds.
bool WriteBinaryStl(const TriMesh& m, std::FILE* f, CallBackPos cb);
