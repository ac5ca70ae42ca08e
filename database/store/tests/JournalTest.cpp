// Marks, undo and redo, the journal file and selection iteration.
#include "StoreTestSupport.h"
#include "store/Session.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <unistd.h>

using namespace storetest;

namespace {

class Journal : public ::testing::Test {
protected:
    FreshSession session;

    static double valueOf(unsigned tag) { return *static_cast<double*>(dqGetData(tag)); }
    static void setValue(unsigned tag, double v) { dqSetData(tag, block(v)); }
    static int undo() {
        int n = 0;
        return dqDoToMark(dqGetUndoMark(), 0, &n, nullptr);
    }
    static int redo() {
        int n = 0;
        return dqDoToMark(dqGetRedoMark(), 0, &n, nullptr);
    }
    static int countClass(unsigned cls) {
        int n = 0;
        for (unsigned t = 0; t < dqGetHighestTag(); ++t) n += dqGetClass(t) == cls;
        return n;
    }
};

TEST_F(Journal, FreshSessionHasNoHistory) {
    EXPECT_EQ(dqGetLastMark(), 0u);
    EXPECT_EQ(dqGetUndoMark(), 0u);
    EXPECT_EQ(dqGetRedoMark(), 0u);
    EXPECT_EQ(dqGetFirstMark(), 0u);
    for (unsigned cls : {2003u, 2004u, 2006u}) EXPECT_EQ(countClass(cls), 0) << cls;
}

TEST_F(Journal, FirstMarkHasNeitherUndoNorRedo) {
    unsigned m = dqSetMark();
    EXPECT_NE(m, 0u);
    EXPECT_EQ(dqGetLinkTag(m), m);
    EXPECT_EQ(dqGetFirstMark(), m);
    EXPECT_EQ(dqGetUndoMark(), 0u);
    EXPECT_EQ(dqGetRedoMark(), 0u);
    EXPECT_EQ(dqSetMark(), m); // nothing changed since
}

TEST_F(Journal, TwoChangesMakeOneRecordAndUndoRestoresTheMarkedState) {
    unsigned t = dqAddData(dqCClassDouble, 0, block(1.0));
    dqSetMark();
    setValue(t, 2.0);
    setValue(t, 3.0);
    EXPECT_EQ(countClass(dqCClassDataJournal), 1);
    dqSetMark();
    EXPECT_EQ(undo(), 1);
    EXPECT_EQ(valueOf(t), 1.0);
    redo();
    EXPECT_EQ(valueOf(t), 3.0);
}

TEST_F(Journal, AnEqualReplacementMakesNoRecord) {
    unsigned t = dqAddData(dqCClassDouble, 0, block(1.0));
    unsigned m = dqSetMark();
    setValue(t, 1.0); // another block, same bytes
    dqAllocData(t, dqGetData(t));
    EXPECT_EQ(dqGetHighestTag(), m + 1);
    EXPECT_EQ(dqSetMark(), m);
}

TEST_F(Journal, EntriesMadeAfterAMarkKeepTheirClassWhenUndone) {
    dqSetMark();
    unsigned t = dqAddData(dqCClassDouble, 0, block(4.0));
    EXPECT_EQ(countClass(dqCClassDataJournal), 0); // new entries are not journaled
    dqSetMark();
    undo();
    EXPECT_EQ(dqGetClass(t), dqCClassDouble);
    EXPECT_EQ(dqGetData(t), nullptr);
    redo();
    EXPECT_EQ(valueOf(t), 4.0);
}

TEST_F(Journal, UndoAndRedoWalkTheChainOfMarks) {
    unsigned t = dqAddData(dqCClassDouble, 0, block(1.0));
    dqSetMark(); // M1: 1
    setValue(t, 2.0);
    dqSetMark(); // M2: 2
    setValue(t, 3.0);
    dqSetMark(); // M3: 3
    undo();
    EXPECT_EQ(valueOf(t), 2.0);
    undo();
    EXPECT_EQ(valueOf(t), 1.0);
    EXPECT_EQ(dqGetUndoMark(), 0u);
    redo();
    EXPECT_EQ(valueOf(t), 2.0);
    redo();
    EXPECT_EQ(valueOf(t), 3.0);
    EXPECT_EQ(dqGetRedoMark(), 0u);
    undo();
    EXPECT_EQ(valueOf(t), 2.0);
    // A new change after an undo cuts the redo branch off.
    setValue(t, 9.0);
    dqSetMark();
    EXPECT_EQ(dqGetRedoMark(), 0u);
    undo();
    EXPECT_EQ(valueOf(t), 2.0);
    undo();
    EXPECT_EQ(valueOf(t), 1.0);
}

TEST_F(Journal, AffectedTagsFillTheListOnlyUpToItsCapacity) {
    unsigned a = dqAddData(dqCClassDouble, 0, block(1.0));
    unsigned b = dqAddData(dqCClassDouble, 0, block(1.0));
    unsigned c = dqAddData(dqCClassDouble, 0, block(1.0));
    unsigned m = dqSetMark();
    for (unsigned t : {a, b, c}) setValue(t, 5.0);
    unsigned list[2] = {0, 0};
    int count = -1;
    EXPECT_EQ(dqDoToMark(m, 2, &count, list), 3);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(list[0], c); // newest record first
    EXPECT_EQ(list[1], b);
    for (unsigned t : {a, b, c}) EXPECT_EQ(valueOf(t), 1.0);
}

TEST_F(Journal, DoToMarkRefusesATagThatIsNotAMark) {
    unsigned t = dqAddData(dqCClassDouble, 0, block(1.0));
    int count = 7;
    EXPECT_EQ(dqDoToMark(t, 0, &count, nullptr), 0);
    EXPECT_EQ(count, 0);
    count = 7;
    dqClearUntilMark(0, 0, &count, nullptr);
    EXPECT_EQ(count, 0);
}

TEST_F(Journal, UndoingADeletionRestoresTheWholeObject) {
    unsigned obj = addObject(dqCClassBlock, block(std::array<double, 3>{1, 2, 3}));
    const double eight = 8.0;
    unsigned child = dqAllocChild(obj, 0, 0xFFFFFFFF, dqCClassDouble, &eight);
    dqSetMark();
    dqDeleteTag(obj);
    dqSetMark();
    undo();
    EXPECT_EQ(dqGetClass(obj), dqCClassBlock);
    EXPECT_EQ(dqGetClass(obj + 1), dqCClassChildHead);
    EXPECT_EQ(valueOf(child), 8.0);
    unsigned it;
    EXPECT_EQ(dqGetFirstChildTag(obj, 0, &it), child);
}

TEST_F(Journal, LinkChangesAreUndone) {
    unsigned t = dqAddData(dqCClassDouble, 0, nullptr);
    dqSetMark();
    dqSetLinkTag(t, 3);
    dqSetLinkTag(t, 4);
    EXPECT_EQ(countClass(dqCClassLinkJournal), 1);
    dqSetMark();
    undo();
    EXPECT_EQ(dqGetLinkTag(t), t);
    redo();
    EXPECT_EQ(dqGetLinkTag(t), 4u);
}

TEST_F(Journal, ClearUntilTheLastMarkDropsUnmarkedChanges) {
    unsigned t = dqAddData(dqCClassDouble, 0, block(1.0));
    unsigned m = dqSetMark();
    int count;
    dqClearUntilMark(dqGetLastMark(), 0, &count, nullptr);
    EXPECT_EQ(dqGetHighestTag(), m + 1); // adds no entries

    setValue(t, 2.0);
    unsigned extra = dqAddData(dqCClassDouble, 0, block(3.0));
    dqClearUntilMark(dqGetLastMark(), 0, &count, nullptr);
    EXPECT_EQ(valueOf(t), 1.0);
    EXPECT_EQ(dqGetHighestTag(), m + 1);
    EXPECT_EQ(dqGetClass(extra), dqCClassInvalid);
    EXPECT_EQ(dqGetLastMark(), m);
    // The dropped tags are handed out again.
    EXPECT_EQ(dqAddData(dqCClassDouble, 0, block(4.0)), m + 1);
}

TEST_F(Journal, JournalFileLivesInTheTemporaryFolderAndGoesWithTheSession) {
    std::string name = DQ::session().journalName();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.rfind('/') + 3, name.rfind("OR") + 2) << name; // name begins with "OR"
    EXPECT_EQ(access(name.c_str(), F_OK), 0);
    dqCreateSession();
    std::string second = DQ::session().journalName();
    EXPECT_NE(second, name);
    EXPECT_NE(access(name.c_str(), F_OK), 0) << "the old journal must be gone";
    dqDestroySession();
    EXPECT_NE(access(second.c_str(), F_OK), 0);
    dqCreateSession();
}

TEST_F(Journal, WithoutAJournalFileChangesHappenButCannotBeUndone) {
    dqDestroySession();
    setenv("TMPDIR", "/nonexistent-orvane-folder", 1);
    dqCreateSession();
    unsetenv("TMPDIR");
    EXPECT_FALSE(DQ::session().hasJournal());
    unsigned t = dqAddData(dqCClassDouble, 0, block(1.0));
    dqSetMark();
    setValue(t, 2.0);
    dqSetMark();
    undo();
    EXPECT_EQ(valueOf(t), 2.0);
}

TEST_F(Journal, SelectedTagsSinceTheLastMarkNewestFirst) {
    unsigned a = addObject(dqCClassBlock, nullptr);
    unsigned b = addObject(dqCClassBlock, nullptr);
    std::uint32_t hidden[2] = {0, 0};
    unsigned sa = dqAllocChild(a, 0, 0, dqCClassSelect, hidden);
    dqAllocChild(b, 0, 0, dqCClassSelect, hidden);
    dqSetMark();
    int it;
    unsigned serial = 9;
    EXPECT_EQ(dqGetFirstSelectedTag(2, &serial, &it), 0u); // nothing since the mark
    EXPECT_EQ(serial, 0u);

    std::uint32_t selectedA[2] = {2, 11}, selectedB[2] = {2, 12};
    dqAllocChild(a, 0, 0, dqCClassSelect, selectedA); // journaled change of an old child
    dqAllocChild(b, 0, 0, dqCClassSelect, selectedB);
    unsigned c = addObject(dqCClassBlock, nullptr);
    dqAllocChild(c, 0, 0, dqCClassSelect, selectedA); // a new child
    std::vector<std::pair<unsigned, unsigned>> found;
    for (unsigned t = dqGetFirstSelectedTag(2, &serial, &it); t;
         t = dqGetNextSelectedTag(2, &serial, &it))
        found.push_back({t, serial});
    EXPECT_EQ(found, (std::vector<std::pair<unsigned, unsigned>>{{c, 11}, {b, 12}, {a, 11}}));
    EXPECT_EQ(dqGetFirstSelectedTag(3, &serial, &it), 0u);
    (void)sa;
}

} // namespace
