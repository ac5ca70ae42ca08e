// Selections made outside picking: selecting figures by tag, dropping an
// uncommitted selection, marking the selection for a command and counting
// what is marked.
//
// A selection is ordinary journaled store content written after the last
// mark, so it can be dropped by rolling the store back to that mark. What
// else the roll-back would undo is exactly what was changed since the mark
// and not committed, except the display flags, which are put back.
#include <vector>

#include "DisplayFlags.h"
#include "RefreshList.h"
#include "SelectRecord.h"
#include "fendal.h"

namespace {

enum : unsigned { kSelected = 4, kMarked = 6 };

// Every figure (class below 1000) whose select type is type.
std::vector<unsigned> figuresOfSelectType(unsigned type) {
    std::vector<unsigned> tags;
    const unsigned highest = dqGetHighestTag();
    for (unsigned t = 1; t < highest; ++t)
        if (static_cast<unsigned>(dqGetClass(t)) < 1000 && FE::storedSelectType(t) == type)
            tags.push_back(t);
    return tags;
}

void setSelectType(std::vector<unsigned>& tags, unsigned type) {
    if (!tags.empty()) dqSelectFigure(static_cast<unsigned>(tags.size()), tags.data(), type);
}

} // namespace

FE_API void feSelectFigures(unsigned int count, unsigned int* tags) {
    FE::endPickCycle();
    if (count == 0 || !tags) return;
    dqSelectFigure(count, tags, kSelected);
    for (unsigned i = 0; i < count; ++i) FE::appendRefresh(tags[i] + 1);
}

FE_API void feFreeSelectedFigure(int recent) {
    const FE::DisplayFlagSnapshot flags = FE::rememberDisplayFlags();
    FE::endPickCycle();

    // The figures selected since the last mark, newest first: their
    // highlight goes with the roll-back, so their pre-draw lists must be
    // rebuilt.
    unsigned serial = 0;
    int iterator = 0;
    unsigned tag = dqGetFirstSelectedTag(kSelected, &serial, &iterator);
    const long long newest = serial;
    while (tag != 0 && FE::refreshRoom() > 0) {
        if (recent != 0 && newest - static_cast<long long>(serial) > recent) break;
        FE::appendRefresh(tag + 1);
        tag = dqGetNextSelectedTag(kSelected, &serial, &iterator);
    }
    FE::appendRefresh(1);

    FE::RefreshList& list = FE::refreshList();
    int touched = 0;
    dqClearUntilMark(dqGetLastMark(), FE::refreshRoom(), &touched, list.names + list.count);
    if (touched > 0) list.count += touched;

    FE::restoreDisplayFlags(flags);
}

FE_API void feClearSelectColor(void) {
    FE::PickCycle& cycle = FE::pickCycle();
    if (cycle.position >= 0 && unsigned(cycle.position) < FE::kRefreshCapacity) {
        unsigned candidate = FE::refreshList().names[cycle.position];
        feSelectFigures(1, &candidate); // ends the cycle first
    }
    std::vector<unsigned> selected = figuresOfSelectType(kSelected);
    setSelectType(selected, kMarked);
    for (unsigned t : selected) FE::appendRefresh(t + 1);
}

FE_API void feGetSelectedTypes(int* counts) {
    if (!counts) return;
    for (int i = 0; i < 6; ++i) counts[i] = 0;
    for (unsigned t : figuresOfSelectType(kMarked)) {
        switch (dqGetClass(t)) {
        case dqCClassClPath: ++counts[1]; break;
        case dqCClassCutter: ++counts[2]; break;
        case dqCClassHolder: ++counts[3]; break;
        case dqCClassOrigin: ++counts[4]; break;
        case dqCClassSpindle: ++counts[5]; break;
        case dqCClassStl:
        case dqCClassBlock:
        case dqCClassCone:
        case dqCClassSphere: ++counts[0]; break;
        default: break;
        }
    }
}

FE_API void feSetMark(void) {
    std::vector<unsigned> marked = figuresOfSelectType(kMarked);
    setSelectType(marked, FE::kSelectNormal);
    dqSetMark();
}
