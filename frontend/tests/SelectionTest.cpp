// Selecting by tag, dropping and committing selections, counting marks.
#include <algorithm>

#include "FendalTestSupport.h"
#include "RefreshList.h"
#include "SelectRecord.h"

namespace {

using fendal_testing::pendingNames;
using fendal_testing::SessionTest;
using fendal_testing::tagsOfClass;

class Selection : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        cutter = dqGetParamTag(22);
        holder = dqGetParamTag(24);
        origin = dqGetParamTag(7);
        spindle = dqGetParamTag(39);
    }
    unsigned cutter = 0, holder = 0, origin = 0, spindle = 0;
};

unsigned typeOf(unsigned tag) { return FE::storedSelectType(tag); }

TEST_F(Selection, SelectFiguresHighlightsAndQueuesTheirPreDrawLists) {
    unsigned tags[] = {cutter, holder};
    feSelectFigures(2, tags);
    EXPECT_EQ(typeOf(cutter), 4u);
    EXPECT_EQ(typeOf(holder), 4u);
    EXPECT_EQ(typeOf(origin), FE::kSelectNormal);
    EXPECT_EQ(pendingNames(), (std::vector<unsigned>{cutter + 1, holder + 1}));
    feSelectFigures(0, nullptr);
    EXPECT_EQ(pendingNames().size(), 2u);
}

TEST_F(Selection, SelectFiguresEndsAPickCycle) {
    FE::RefreshList& list = FE::refreshList();
    list.names[0] = origin;
    list.names[1] = holder;
    list.count = 2;
    FE::pickCycle() = {0, -1, 0};
    feSelectFigures(1, &cutter);
    EXPECT_EQ(pendingNames(), (std::vector<unsigned>{origin + 1, cutter + 1}));
    EXPECT_EQ(FE::pickCycle().position, -2);
}

TEST_F(Selection, FreeRollsBackTheSelectionButKeepsTheFlags) {
    const unsigned highestAtMark = dqGetHighestTag();
    feSelectFigures(1, &cutter);
    feSelectFigures(1, &holder);
    feSetOriginFlag(0); // a flag changed since the mark stays
    fendal_testing::resetRefreshState();

    feFreeSelectedFigure(0);
    EXPECT_EQ(typeOf(cutter), FE::kSelectNormal);
    EXPECT_EQ(typeOf(holder), FE::kSelectNormal);
    EXPECT_EQ(feGetOriginFlag(), 0);
    EXPECT_EQ(feGetUndoFlag(), 0); // no step was made

    // Newest selection first, then the scene list, then what the journal
    // touched; then the origin's flag was put back.
    std::vector<unsigned> pending = pendingNames();
    ASSERT_GE(pending.size(), 3u);
    EXPECT_EQ(pending[0], holder + 1);
    EXPECT_EQ(pending[1], cutter + 1);
    EXPECT_EQ(pending[2], 1u);
    // Only the put-back flag is left after the mark.
    EXPECT_LE(dqGetHighestTag(), highestAtMark + 2);
}

TEST_F(Selection, FreeWithRecentQueuesOnlyTheLatestSelections) {
    unsigned tags[] = {origin, holder, cutter};
    const std::vector<unsigned> all = {cutter + 1, holder + 1, origin + 1};
    for (int recent : {0, 1, 2, -1}) {
        SCOPED_TRACE(recent);
        for (unsigned& t : tags) feSelectFigures(1, &t);
        fendal_testing::resetRefreshState();
        feFreeSelectedFigure(recent);
        std::vector<unsigned> pending = pendingNames();
        // recent 0 walks every selection; otherwise those within recent
        // selection calls of the newest (a negative value stops at once).
        std::size_t walked = recent == 0 ? 3 : recent < 0 ? 0 : std::size_t(recent) + 1;
        ASSERT_GT(pending.size(), walked);
        EXPECT_EQ(std::vector<unsigned>(pending.begin(), pending.begin() + walked),
                  std::vector<unsigned>(all.begin(), all.begin() + walked));
        EXPECT_EQ(pending[walked], 1u);
        for (unsigned t : tags) EXPECT_EQ(typeOf(t), FE::kSelectNormal);
    }
}

TEST_F(Selection, ClearSelectColorMarksTheSelectionAndTheCandidate) {
    feSelectFigures(1, &cutter);
    FE::RefreshList& list = FE::refreshList();
    list.names[0] = origin;
    list.names[1] = holder;
    list.count = 2;
    FE::pickCycle() = {1, 0, 0}; // cycling, holder highlighted

    feClearSelectColor();
    EXPECT_EQ(typeOf(cutter), 6u);
    EXPECT_EQ(typeOf(holder), 6u);
    EXPECT_EQ(typeOf(origin), FE::kSelectNormal);
    EXPECT_EQ(FE::pickCycle().position, -2);
    std::vector<unsigned> pending = pendingNames();
    EXPECT_EQ(pending.front(), holder + 1);
    EXPECT_NE(std::find(pending.begin(), pending.end(), cutter + 1), pending.end());
}

TEST_F(Selection, CountsMarkedFiguresByKind) {
    std::string stl = copyFixture("wedge.stl", "wedge.stl");
    std::string nc = copyFixture("square.nc", "square.nc");
    ASSERT_EQ(feAddLoadFile(stl.data(), nullptr), 0);
    ASSERT_EQ(feAddLoadFile(nc.data(), nullptr), 0);
    unsigned block = dqCreateBlock(1, 2, 3);
    unsigned sphere = dqCreateSphere(4);
    ASSERT_NE(block, 0u);
    ASSERT_NE(sphere, 0u);
    std::vector<unsigned> figures = {tagsOfClass(dqCClassStl).at(0),
                                     tagsOfClass(dqCClassClPath).at(0),
                                     block,
                                     sphere,
                                     cutter,
                                     holder,
                                     origin,
                                     spindle};

    int counts[6] = {9, 9, 9, 9, 9, 9};
    feGetSelectedTypes(counts);
    for (int c : counts) EXPECT_EQ(c, 0);

    feSelectFigures(unsigned(figures.size()), figures.data());
    feGetSelectedTypes(counts); // selected is not yet marked
    for (int c : counts) EXPECT_EQ(c, 0);
    feClearSelectColor();
    feGetSelectedTypes(counts);
    const int expected[6] = {3, 1, 1, 1, 1, 1};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(counts[i], expected[i]);
    }
}

TEST_F(Selection, SetMarkCommitsAndReturnsMarkedFiguresToNormal) {
    feSelectFigures(1, &cutter);
    feClearSelectColor();
    ASSERT_EQ(typeOf(cutter), 6u);
    feSetMark();
    EXPECT_EQ(typeOf(cutter), FE::kSelectNormal);
    EXPECT_EQ(dqGetClass(dqGetHighestTag() - 1), dqCClassMark);
    // Nothing uncommitted is left to drop.
    const unsigned highest = dqGetHighestTag();
    feFreeSelectedFigure(0);
    EXPECT_EQ(dqGetHighestTag(), highest);
    EXPECT_EQ(typeOf(cutter), FE::kSelectNormal);
}

} // namespace
