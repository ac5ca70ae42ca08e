#pragma once
// Reader of TRI surface triangulations in their ASCII form: whitespace-
// separated numbers
//   nv nt                    the counts of vertices and triangles
//   nv times  x y z          vertices
//   nt times  i j k          triangles, 1-based vertex indices, wound
//                            counter-clockwise seen from outside
//   [nt times  component]    optional integer tag per triangle (ignored)
// Anything else after the triangles, a missing number, an index out of
// range or a malformed number fails the file.

#include "IoMask.h"
#include "TriMesh.h"

#include <cstddef>

bool ReadTri(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb);
