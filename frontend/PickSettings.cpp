#include "PickSettings.h"

#include <cstring>

#include "fendal.h"

namespace FE {

namespace {
// Shapes, paths, origin, cutter, holder and spindle pickable; no colour
// filter.
int g_filters[kFilterCount] = {0, 0, 1, 1, 1, 1, 1, 1};
int g_baseFilters[kFilterCount] = {0, 0, 1, 1, 1, 1, 1, 1};
float g_copiedColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
unsigned g_custColors[16] = {};

bool validIndex(int index) { return index >= 0 && index < kFilterCount; }
} // namespace

const int* currentFilters() { return g_filters; }
const float* copiedColor() { return g_copiedColor; }

} // namespace FE

FE_API void feSetFilterFlag(int index, int value) {
    if (FE::validIndex(index)) FE::g_filters[index] = value;
}

FE_API int feGetFilterFlag(int index) { return FE::validIndex(index) ? FE::g_filters[index] : -1; }

FE_API void feSetBaseFilterFlag(int index, int value) {
    if (FE::validIndex(index)) FE::g_baseFilters[index] = value;
}

FE_API int feGetBaseFilterFlag(int index) {
    return FE::validIndex(index) ? FE::g_baseFilters[index] : -1;
}

FE_API void feSetCopiedColor(float* rgba) {
    if (rgba) std::memcpy(FE::g_copiedColor, rgba, sizeof FE::g_copiedColor);
}

FE_API void feGetCopiedColor(float* rgba) {
    if (rgba) std::memcpy(rgba, FE::g_copiedColor, sizeof FE::g_copiedColor);
}

FE_API void feSetCustColors(unsigned int* colors) {
    if (colors) std::memcpy(FE::g_custColors, colors, sizeof FE::g_custColors);
}

FE_API unsigned int* feGetCustColors(void) { return FE::g_custColors; }
