#pragma once
// Readers of the ASCII point-cloud formats. They give vertices and no
// faces. Every line that is neither blank nor a '#' comment is a record
// whose fields (separated by blanks, tabs, commas or semicolons) must all be
// numbers; a record with fewer than three of them, or a field that is not a
// number, fails the whole file, and so does a file without points.
//
//  xyz   x y z [nx ny nz]: the normals are taken when every point has them.
//  apts  the same records as xyz, under a header of '#' lines.
//  asc   x y z [further columns, ignored].
//  pts   blocks, each a line with the count of points that follow and then
//        that many lines x y z [intensity [r g b]]; a block that ends early
//        fails the file. A file without count lines is read as bare points.

#include "IoMask.h"
#include "TriMesh.h"

#include <cstddef>

enum class PointFormat { Xyz, Apts, Asc, Pts };

bool ReadPointCloud(PointFormat format, const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb);
