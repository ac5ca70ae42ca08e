#pragma once
// Reader of PLY polygon files, ASCII and binary of either byte order.
//
// The header declares elements with their counts and properties; every
// element is read (or stepped over) exactly as declared. From the element
// "vertex" the properties x, y, z and, when all three are present, nx, ny,
// nz are taken; from the element "face" the list "vertex_indices" (or
// "vertex_index"), whose polygons are split into fans of triangles. Other
// elements and properties are skipped. A file that ends before its elements
// do, a malformed header or number, a polygon of fewer than three corners or
// an index out of range fails the file. Counts from the header never size an
// allocation beyond what the file's bytes could hold.

#include "IoMask.h"
#include "TriMesh.h"

#include <cstddef>

bool ReadPly(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb);
