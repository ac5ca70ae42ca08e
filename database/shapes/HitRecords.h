// The OpenGL selection buffer turned into a list of figure tags.
#pragma once

#include <cstddef>

namespace DQ {

// Takes h hit records of the standard layout (name count, minimum depth,
// maximum depth, names) from the start of buffer, which holds size words:
//   - of consecutive records with the same first name, only the one with the
//     smaller maximum depth keeps it (the earlier on a tie); the others'
//     first names become 0;
//   - with sortByDepth (and h > 1), records are ordered by maximum depth,
//     ascending, keeping the order of equal ones;
//   - every name that is not 0 is written, in record order, over the start
//     of the buffer; *count receives how many, and *depthOut (when a name
//     was written) the minimum depth of the first one's record over
//     4294967295.
// A record that would run past size words ends the walk there. count and
// depthOut may be null.
void compactHits(unsigned* buffer, std::size_t size, int h, bool sortByDepth, unsigned* count,
                 double* depthOut);

} // namespace DQ
