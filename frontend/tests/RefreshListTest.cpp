// The refresh list, the end of a pick cycle, filters and colours.
#include <algorithm>
#include <cstring>

#include "FendalTestSupport.h"
#include "RefreshList.h"

namespace {

using fendal_testing::pendingNames;
using fendal_testing::SessionTest;

using RefreshList = SessionTest;

TEST_F(RefreshList, FreshFigureQueuesEveryTagAfterEmptying) {
    feSetRefreshedFigure(5000000);
    feFreshFigure();
    std::vector<unsigned> pending = pendingNames();
    const unsigned highest = dqGetHighestTag();
    ASSERT_EQ(pending.size(), highest - 1);
    for (unsigned i = 0; i < pending.size(); ++i) ASSERT_EQ(pending[i], i + 1);
    EXPECT_EQ(feGetHighestTag(), int(highest));
}

TEST_F(RefreshList, SetRefreshedFigureKeepsOneEntryPerName) {
    feSetRefreshedFigure(23);
    feSetRefreshedFigure(1);
    feSetRefreshedFigure(23);
    EXPECT_EQ(pendingNames(), (std::vector<unsigned>{23, 1}));
}

TEST_F(RefreshList, DropsNamesBeyondItsCapacity) {
    FE::RefreshList& list = FE::refreshList();
    std::fill(list.names, list.names + FE::kRefreshCapacity, 0xFFFFFFFFu);
    list.count = int(FE::kRefreshCapacity) - 1;
    feSetRefreshedFigure(7);
    feSetRefreshedFigure(8);
    feSetCutterFlag(0); // appends the scene list, which no longer fits
    EXPECT_EQ(list.count, int(FE::kRefreshCapacity));
    EXPECT_EQ(list.names[FE::kRefreshCapacity - 1], 7u);
    EXPECT_EQ(FE::refreshRoom(), 0u);

    // Undo with a full list still works; the list is rebuilt from scratch.
    dqSetMark();
    feUndo();
    ASSERT_LT(list.count, int(FE::kRefreshCapacity));
    EXPECT_EQ(list.names[0], 1u);
    EXPECT_EQ(list.names[list.count - 1], 1u); // the cutter flag put back
}

TEST_F(RefreshList, FreeKeepsTheCandidatesOfARunningCycle) {
    FE::RefreshList& list = FE::refreshList();
    list.names[0] = 22;
    list.names[1] = 24;
    list.count = 2;
    FE::pickCycle() = {0, -1, 0};
    feFreeRefreshedFigure();
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(FE::pickCycle().position, 0);

    FE::pickCycle().position = -1;
    feFreeRefreshedFigure();
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(FE::pickCycle().position, -2);
}

TEST_F(RefreshList, EndingACycleLeavesTheCandidatesPreDrawList) {
    FE::RefreshList& list = FE::refreshList();
    const unsigned candidates[] = {22, 24, 39};
    std::memcpy(list.names, candidates, sizeof candidates);
    list.count = 3;
    FE::pickCycle() = {2, 1, 1};
    FE::endPickCycle();
    EXPECT_EQ(pendingNames(), std::vector<unsigned>{40});
    EXPECT_EQ(FE::pickCycle().position, -2);
    EXPECT_EQ(FE::pickCycle().previous, -1);

    // Without a cycle nothing happens.
    FE::endPickCycle();
    EXPECT_EQ(pendingNames(), std::vector<unsigned>{40});
}

TEST(PickSettings, FiltersKeepInRangeIndices) {
    const int defaults[] = {0, 0, 1, 1, 1, 1, 1, 1};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(feGetFilterFlag(i), defaults[i]);
        EXPECT_EQ(feGetBaseFilterFlag(i), defaults[i]);
    }
    for (int index : {-1, 8, 1000}) {
        SCOPED_TRACE(index);
        feSetFilterFlag(index, 5);
        feSetBaseFilterFlag(index, 5);
        EXPECT_EQ(feGetFilterFlag(index), -1);
        EXPECT_EQ(feGetBaseFilterFlag(index), -1);
    }
    feSetFilterFlag(3, 0);
    feSetBaseFilterFlag(0, 1);
    EXPECT_EQ(feGetFilterFlag(3), 0);
    EXPECT_EQ(feGetBaseFilterFlag(3), 1); // the two sets are separate
    EXPECT_EQ(feGetBaseFilterFlag(0), 1);
    EXPECT_EQ(feGetFilterFlag(0), 0);
    feSetFilterFlag(3, 1);
    feSetBaseFilterFlag(0, 0);
}

TEST(PickSettings, ColoursRoundTrip) {
    float colour[4] = {9, 9, 9, 9};
    feGetCopiedColor(colour);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[3], 1.0f);
    float copied[4] = {0.25f, 0.5f, 0.75f, 0.5f};
    feSetCopiedColor(copied);
    feSetCopiedColor(nullptr);
    feGetCopiedColor(colour);
    EXPECT_EQ(std::memcmp(colour, copied, sizeof colour), 0);

    unsigned* custom = feGetCustColors();
    ASSERT_NE(custom, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(custom[i], 0u);
    unsigned values[16];
    for (unsigned i = 0; i < 16; ++i) values[i] = 0x00FF8000u + i;
    feSetCustColors(values);
    feSetCustColors(nullptr);
    EXPECT_EQ(feGetCustColors(), custom); // the library's own array
    EXPECT_EQ(std::memcmp(custom, values, sizeof values), 0);
}

} // namespace
