// The scene's own settings: the default integer, real and colour lists and
// the table of input file-type patterns.
#pragma once

namespace DQ {

constexpr unsigned kIntSettingsCount = 7;
constexpr unsigned kRealSettingsCount = 27;
constexpr unsigned kColorSettingsCount = 11;
constexpr unsigned kFileTypeCount = 21;

// New list blocks holding the defaults; null when out of memory.
void* newDefaultIntSettings();
void* newDefaultRealSettings();
void* newDefaultColorSettings();

// The name pattern of file type 0..20 (semicolon-separated wildcards).
const char* fileTypePattern(unsigned type);

} // namespace DQ
