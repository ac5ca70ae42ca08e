// The CL path element (class 1): the CL buffer as data and the children
// copied from the session at load time, so that later changes of the
// settings do not change a loaded path.
#pragma once

#include "machining/NcReader.h"

namespace DQ {

// Stores a CL buffer as a new CL path with its child-list head and its
// eight children, copied from the session's settings, origin and cutter.
// Takes the block (the store owns it from then on, also on failure). path
// is the file name recorded in the path. Returns the tag, 0 on failure.
unsigned createClPath(ClBufferBlock block, const char* path);

// Counts are taken in these resolutions: real settings entries 2 and 3,
// 0.0001 when missing. start receives the start pose, entries 6..11.
Resolutions sessionResolutions();
void sessionStartPose(double start[6]);

} // namespace DQ
