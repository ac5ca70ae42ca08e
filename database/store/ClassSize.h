// Byte sizes of element data blocks, by class.
#pragma once

#include "korvex.h"

#include <cstddef>

namespace DQ {

// The number of bytes of a data block that go to the journal and to scene
// files: 0 for null data, otherwise the size rule of the class (objects with
// variable size read their count from the block).
unsigned classSize(unsigned cls, const void* data);

// Whether a record of this class may be read back from a file; records of
// any other class load as empty elements.
bool isStoredClass(unsigned cls);

// Whether n bytes of data are exactly what the class's size rule computes
// from the block's own content. Never reads outside the n bytes. Used on
// blocks read from files, which may disagree with themselves.
bool recordSizeMatches(unsigned cls, const void* data, std::size_t n);

} // namespace DQ
