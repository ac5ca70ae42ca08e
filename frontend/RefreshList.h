// The process-wide refresh list and pick cycle.
//
// One array of display-list names serves three purposes in turn: the names
// waiting to be rebuilt before the next frame, the OpenGL selection buffer
// while a pick runs, and the candidate list while the user cycles through
// the figures under one click. Keeping it one array is what lets a cycle
// end by reducing the list to the chosen candidate's pre-draw list.
#pragma once

namespace FE {

inline constexpr unsigned kRefreshCapacity = 0x40000; // 262144 names

struct RefreshList {
    unsigned names[kRefreshCapacity];
    int count; // pending names, 0..kRefreshCapacity
};

// Cycle position: index of the current candidate in the refresh list, or
// below 0 when no cycle runs (-1 until the first completed pick, -2 after).
struct PickCycle {
    int position;
    int previous; // candidate shown before the current one, -1 for none
    int lastType; // type argument of the pick that started the cycle
};

RefreshList& refreshList();
PickCycle& pickCycle();

// Free entries left in the refresh list.
unsigned refreshRoom();
// Appends one name; dropped when the list is full.
void appendRefresh(unsigned name);
// Appends every tag 1 .. highest tag - 1 while room remains.
void appendAllTags();
// If a cycle runs, reduces the list to the current candidate's pre-draw
// list (candidate + 1) and marks the cycle ended (-2, previous -1).
void endPickCycle();

} // namespace FE
