#pragma once
// Reader of OFF polygon files (ASCII):
//   [C][N]OFF [nv nf ne]      the keyword, with the counts on its own line
//                             or on the next one that is not a '#' comment
//   nv lines  x y z [nx ny nz] [colour...]   (normals present with the N)
//   nf lines  n i1 ... in [colour...]        0-based indices, n >= 3
// Polygons are split into fans of triangles. A missing line, a polygon with
// fewer corners than it announces, an index out of range or a malformed
// number fails the file.

#include "IoMask.h"
#include "TriMesh.h"

#include <cstddef>

bool ReadOff(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb);
