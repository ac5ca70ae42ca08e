// Matching a file name against the ";"-separated wildcard patterns of the
// file-type table.
#pragma once

namespace FE {

// See feCheckTypeFileName in fendal.h for the rules.
bool matchFileName(const char* name, const char* patterns);

} // namespace FE
