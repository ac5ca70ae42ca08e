#pragma once
// Reader of GTS surfaces (the GNU Triangulated Surface text format):
//   nv ne nf [class names]    the header, the first line that is not a '#'
//                             comment
//   nv lines  x y z [...]     vertices
//   ne lines  a b [...]       edges, 1-based vertex indices
//   nf lines  e1 e2 e3 [...]  triangles, 1-based edge indices
// The triangle runs along e1, then e2, then e3: its first two vertices are
// those of e1 with the one it shares with e2 second, and the third is the
// other end of e2. Edges that do not close a triangle, indices out of range,
// a missing line or a malformed number fail the file.

#include "IoMask.h"
#include "TriMesh.h"

#include <cstddef>

bool ReadGts(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb);
