#pragma once
// Runs a mesh reader in a child process and takes the mesh over from it.
//
// The assimp readers do not survive every damaged file: some free memory
// twice or crash on a file that is merely odd. Reading in a child turns
// such a crash into a failed read of that one file, so that the converter
// still reports its load error and exits in order. The child sends the
// reader's progress and then the mesh through a pipe; only a child that
// ends normally after sending the whole mesh counts as a successful read.

#include "IoMask.h"
#include "TriMesh.h"

#include <functional>

using MeshReader = std::function<bool(TriMesh& m, int& mask, CallBackPos cb)>;

// Returns the reader's result, and false when the child could not be
// started, crashed or sent an incomplete mesh; m is then left empty.
bool ReadInChild(const MeshReader& read, TriMesh& m, int& mask, CallBackPos cb);
