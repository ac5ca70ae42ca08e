#pragma once
// Reader of PTX range scans, ASCII. The file is a sequence of scans, each:
//   columns                      one integer
//   rows                         one integer
//   scanner position and axes    four lines of three numbers (not used)
//   transformation               four lines of four numbers, row-major with
//                                the translation in the last row
//   columns x rows samples       x y z [intensity [r g b]]
// A sample at exactly (0, 0, 0) is one the scanner did not measure and is
// skipped; the others are transformed into the common frame:
// p'_j = sum_i p_i M[i][j] + M[3][j]. A scan cut short, a malformed line or
// a file without points fails.

#include "IoMask.h"
#include "TriMesh.h"

#include <cstddef>

bool ReadPtx(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb);
