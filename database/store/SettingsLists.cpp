#include "store/SettingsLists.h"

#include "korvex.h"
#include "store/Session.h"
#include "store/TypedList.h"

#include <cstring>
#include <numbers>

namespace DQ {
namespace {

constexpr double deg(double d) { return d * std::numbers::pi / 180.0; }

// Entries 0..5: path drawing and NC reader settings; 6..11: start values of
// the axes X, Y, Z, A, B, C; 12..26: line width, point size, trace interval,
// tessellation tolerance and the values copied into each new CL path.
constexpr double kRealDefaults[kRealSettingsCount] = {
    1.0,     3.0,       0.0001,    0.0001,    deg(10), deg(10), 0.0, 0.0, 100.0,
    0.0,     0.0,       0.0,       1.0,       3.0,     0.1,     0.01, 0.01,
    deg(0.01), deg(0.01), deg(50), 0.0,     0.0,     1.0,     0.0, 5.0, 0.01, 50.0,
};

constexpr unsigned kIntDefaults[kIntSettingsCount] = {0, 1, 10, 0, 0, 0, 0};

constexpr float kColorDefaults[kColorSettingsCount][4] = {
    {1, 1, 1, 1},          // work origin; figures without a colour
    {0, 1, 1, 1},          // new models
    {0, 0, 1, 1},          // new CL paths
    {0.1f, 0.1f, 0.1f, 1}, // CL path: rapid moves
    {1, 0.5f, 0.25f, 1},   // CL path: end points
    {0.5f, 0, 1, 1},
    {0, 0.5f, 0.5f, 1},
    {1, 1, 0, 1},          // pick candidate
    {0, 1, 0, 1},          // selected figure
    {0, 0, 0, 1},          // view background
    {1, 0, 0, 1},          // CL path markers; alarm
};

constexpr const char* kPatterns[kFileTypeCount] = {
    "*.stl;*.bstl", "*.nc;O*.*", "*.cl",  "*.3ds",  "*.ply", "*.obj", "*.off",
    "*.ptx",        "*.dae",     "*.v3d", "*.pts",  "*.apts", "*.xyz", "*.gts",
    "*.tri",        "*.asc",     "*.x3d", "*.x3dv", "*.wrl", "*.aln", "*.pdb",
};

} // namespace

void* newDefaultIntSettings() { return newIntList(kIntSettingsCount, kIntDefaults); }
void* newDefaultRealSettings() { return newRealList(kRealSettingsCount, kRealDefaults); }
void* newDefaultColorSettings() { return newColorList(kColorSettingsCount, &kColorDefaults[0][0]); }

const char* fileTypePattern(unsigned type) {
    return type < kFileTypeCount ? kPatterns[type] : nullptr;
}

} // namespace DQ

DQ_API void dqSetTitle(const char* title) {
    DQ::Session& s = DQ::session();
    if (!title || !s.hasTable() || s.count() < 2) return;
    // The root is changed directly: titles are not part of the undo history.
    void* copy = dqCreateData(title, static_cast<unsigned>(std::strlen(title) + 1));
    s.setDirect(0, s.linkOf(0), s.classOf(0), copy);
}

DQ_API const char* dqGetTitle(void) {
    DQ::Session& s = DQ::session();
    if (!s.hasTable() || s.count() < 2) return nullptr;
    return static_cast<const char*>(s.dataOf(0));
}
