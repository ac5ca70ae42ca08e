// Display flags, status and view command, and undo/redo keeping the flags.
#include "FendalTestSupport.h"

namespace {

using fendal_testing::pendingNames;
using fendal_testing::SessionTest;
using fendal_testing::tagsOfClass;

using DisplayFlags = SessionTest;
using UndoRedo = SessionTest;

struct FlagApi {
    const char* part;
    int slot;
    void (*set)(int);
    int (*get)();
    int initial;
};

// The default spindle is created hidden; everything else shows.
const FlagApi kFlags[] = {
    {"cutter", 22, feSetCutterFlag, feGetCutterFlag, 1},
    {"holder", 24, feSetHolderFlag, feGetHolderFlag, 1},
    {"spindle", 39, feSetSpindleFlag, feGetSpindleFlag, 0},
    {"origin", 7, feSetOriginFlag, feGetOriginFlag, 1},
};

unsigned selectType(unsigned tag) {
    void* data = nullptr;
    if (!dqGetChild(tag, 0, 0, dqCClassSelect, &data)) return ~0u; // no record
    return data ? static_cast<unsigned*>(data)[0] : 2u;            // 2: normal
}

TEST_F(DisplayFlags, HideAndShowThroughTheSelectRecord) {
    for (const FlagApi& f : kFlags) {
        SCOPED_TRACE(f.part);
        const unsigned tag = dqGetParamTag(f.slot);
        ASSERT_NE(tag, 0u);
        EXPECT_EQ(f.get(), f.initial);

        fendal_testing::resetRefreshState();
        f.set(0);
        EXPECT_EQ(f.get(), 0);
        EXPECT_EQ(selectType(tag), 0u);
        EXPECT_EQ(pendingNames(), std::vector<unsigned>{1});

        f.set(7); // any value but 0 shows
        EXPECT_EQ(f.get(), 1);
        EXPECT_EQ(selectType(tag), 2u);
        f.set(0);
        f.set(1);
        EXPECT_EQ(f.get(), 1);
    }
}

TEST_F(DisplayFlags, ReadTheSelectTypeAsHiddenOrShown) {
    const unsigned cutter = dqGetParamTag(22);
    const struct {
        unsigned type;
        int flag;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {99, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const unsigned record[2] = {c.type, 3};
        ASSERT_NE(dqAllocChild(cutter, 0, 0, dqCClassSelect, record), 0u);
        EXPECT_EQ(feGetCutterFlag(), c.flag);
    }
}

TEST_F(DisplayFlags, MissingPartsReadAsShownAndIgnoreSetters) {
    // A session that was never set up has no parameter elements.
    dqDestroySession();
    EXPECT_EQ(feGetCutterFlag(), 1);
    EXPECT_EQ(feGetSpindleFlag(), 1);
    const unsigned highest = dqGetHighestTag();
    feSetHolderFlag(0);
    feSetOriginFlag(0);
    EXPECT_EQ(dqGetHighestTag(), highest);
    EXPECT_TRUE(pendingNames().empty());
}

TEST(StatusAndViewCommand, KeepWhatTheApplicationSets) {
    EXPECT_EQ(feGetStatusType(), 0);
    EXPECT_EQ(feGetViewCommandType(), feCmdViewNone);
    for (int status : {1, 2, 3, 4, 5, 6, 1000, 1017, -7, 0}) {
        feSetStatusType(status);
        EXPECT_EQ(feGetStatusType(), status);
    }
    feSetViewCommandType(feCmdViewChecks);
    EXPECT_EQ(feGetViewCommandType(), feCmdViewChecks);
    feSetViewCommandType(feCmdViewNone);
    EXPECT_EQ(feGetViewCommandType(), feCmdViewNone);
}

TEST_F(UndoRedo, StepsThroughLoadsAndQueuesEveryFigure) {
    std::string stl = copyFixture("wedge.stl", "wedge.stl");
    std::string nc = copyFixture("square.nc", "square.nc");
    EXPECT_EQ(feGetUndoFlag(), 0);
    EXPECT_EQ(feGetRedoFlag(), 0);
    ASSERT_EQ(feAddLoadFile(stl.data(), nullptr), 0);
    ASSERT_EQ(feAddLoadFile(nc.data(), nullptr), 0);
    const unsigned model = tagsOfClass(dqCClassStl).at(0);
    const unsigned path = tagsOfClass(dqCClassClPath).at(0);

    fendal_testing::resetRefreshState();
    feUndo(); // the NC program goes
    EXPECT_EQ(dqGetData(path), nullptr);
    EXPECT_NE(dqGetData(model), nullptr);
    std::vector<unsigned> pending = pendingNames();
    ASSERT_EQ(pending.size(), dqGetHighestTag() - 1);
    for (unsigned i = 0; i < pending.size(); ++i) ASSERT_EQ(pending[i], i + 1);
    EXPECT_EQ(feGetUndoFlag(), 1);
    EXPECT_EQ(feGetRedoFlag(), 1);

    feUndo(); // and the model
    EXPECT_EQ(dqGetData(model), nullptr);
    EXPECT_EQ(feGetUndoFlag(), 0);

    feRedo();
    EXPECT_NE(dqGetData(model), nullptr);
    EXPECT_EQ(dqGetData(path), nullptr);
    feRedo();
    EXPECT_NE(dqGetData(path), nullptr);
    EXPECT_EQ(feGetRedoFlag(), 0);
}

TEST_F(UndoRedo, WithoutAStepChangesNothing) {
    const unsigned highest = dqGetHighestTag();
    feUndo();
    feRedo();
    EXPECT_EQ(dqGetHighestTag(), highest);
    EXPECT_TRUE(pendingNames().empty());
}

TEST_F(UndoRedo, KeepTheDisplayFlagsTheUserSetLast) {
    std::string stl = copyFixture("wedge.stl", "wedge.stl");
    ASSERT_EQ(feAddLoadFile(stl.data(), nullptr), 0);
    const unsigned model = tagsOfClass(dqCClassStl).at(0);

    // Hidden after the last step: undo would bring the cutter back.
    feSetCutterFlag(0);
    feSetSpindleFlag(1);
    feUndo();
    EXPECT_EQ(dqGetData(model), nullptr);
    EXPECT_EQ(feGetCutterFlag(), 0);
    EXPECT_EQ(feGetSpindleFlag(), 1);

    // Shown again between undo and redo: redo keeps that too.
    feSetCutterFlag(1);
    feRedo();
    EXPECT_NE(dqGetData(model), nullptr);
    EXPECT_EQ(feGetCutterFlag(), 1);
    EXPECT_EQ(feGetSpindleFlag(), 1);

    // A hide that went into a step is undone like anything else... and
    // then put back, since it is still what the user last chose.
    feSetHolderFlag(0);
    dqSetMark();
    feUndo();
    EXPECT_EQ(feGetHolderFlag(), 0);
}

TEST_F(UndoRedo, ClearingKeepsTheDisplayFlags) {
    feSetHolderFlag(0);
    feSetSpindleFlag(1);
    std::string working = tempPath("Orvane.mcv");
    feClearLoadFile(working.data());
    EXPECT_EQ(feGetHolderFlag(), 0);
    EXPECT_EQ(feGetSpindleFlag(), 1);
    EXPECT_EQ(feGetCutterFlag(), 1);
    EXPECT_EQ(feGetUndoFlag(), 0);

    feSetCutterFlag(0);
    feClearLoadFile(nullptr); // the defaults would show the cutter
    EXPECT_EQ(feGetCutterFlag(), 0);
    EXPECT_EQ(feGetHolderFlag(), 0);
    EXPECT_EQ(feGetSpindleFlag(), 1);
}

} // namespace
