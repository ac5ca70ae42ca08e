#include "RefreshList.h"

#include "fendal.h"

namespace FE {

namespace {
// Static storage: the array must exist before any call and never move,
// since OpenGL writes into it during selection mode.
RefreshList g_list = {{}, 0};
PickCycle g_cycle = {-1, -1, -1};
} // namespace

RefreshList& refreshList() { return g_list; }
PickCycle& pickCycle() { return g_cycle; }

unsigned refreshRoom() {
    int used = g_list.count < 0 ? 0 : g_list.count;
    return used >= int(kRefreshCapacity) ? 0u : kRefreshCapacity - unsigned(used);
}

void appendRefresh(unsigned name) {
    if (g_list.count < 0) g_list.count = 0;
    if (g_list.count >= int(kRefreshCapacity)) return;
    g_list.names[g_list.count++] = name;
}

void appendAllTags() {
    unsigned highest = dqGetHighestTag();
    for (unsigned t = 1; t + 1 <= highest && refreshRoom() > 0; ++t) appendRefresh(t);
}

void endPickCycle() {
    if (g_cycle.position < 0) return;
    unsigned pos = unsigned(g_cycle.position);
    unsigned candidate = pos < kRefreshCapacity ? g_list.names[pos] : 0;
    g_list.names[0] = candidate + 1;
    g_list.count = 1;
    g_cycle.position = -2;
    g_cycle.previous = -1;
}

} // namespace FE

FE_API void feFreshFigure(void) {
    FE::g_list.count = 0;
    FE::appendAllTags();
}

FE_API void feSetRefreshedFigure(unsigned int name) {
    FE::RefreshList& list = FE::g_list;
    for (int i = 0; i < list.count; ++i)
        if (list.names[i] == name) return;
    FE::appendRefresh(name);
}

FE_API void feFreeRefreshedFigure(void) {
    if (FE::g_cycle.position >= 0) return;
    FE::g_list.count = 0;
    FE::g_cycle.position = -2;
}

FE_API int feGetHighestTag(void) { return int(dqGetHighestTag()); }
