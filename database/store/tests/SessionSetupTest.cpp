// What dqCreateSession builds: the root's children with their tags.
#include "StoreTestSupport.h"
#include "machining/MachineTable.h"
#include "shapes/MachineAxis.h"
#include "store/Session.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <string>

using namespace storetest;

namespace {

TEST(SessionSetup, RootChildrenHaveTheirStandardTags) {
    FreshSession session;
    EXPECT_EQ(dqGetClass(0), dqCClassRoot);
    EXPECT_EQ(dqGetClass(1), dqCClassChildHead);
    EXPECT_EQ(dqGetParamTag(33), 2u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(dqGetParamTag(25 + i), 3u + i);
    EXPECT_EQ(dqGetParamTag(34), 9u);
    EXPECT_EQ(dqGetParamTag(36), 10u);
    EXPECT_EQ(dqGetParamTag(37), 11u);
    EXPECT_EQ(dqGetParamTag(38), 12u);
    void* pattern = nullptr;
    EXPECT_EQ(dqGetChild(0, 0, 20, dqCClassText, &pattern), 33u);
    EXPECT_STREQ(static_cast<char*>(pattern), "*.pdb");
    EXPECT_EQ(dqGetChild(0, 0, 1, dqCClassText, &pattern), 14u);
    EXPECT_STREQ(static_cast<char*>(pattern), "*.nc;O*.*");

    // The ring of the root runs 2..33 in order.
    unsigned it, expected = 2;
    for (unsigned t = dqGetFirstChildTag(0, 0, &it); t; t = dqGetNextChildTag(&it))
        EXPECT_EQ(t, expected++);
    EXPECT_EQ(expected, 34u);
    EXPECT_EQ(*static_cast<unsigned*>(dqGetData(9)), 2u);
}

TEST(SessionSetup, MachineAndAxisRecords) {
    FreshSession session;
    auto* machine = static_cast<DQ::MachineRecord*>(dqGetData(dqGetParamTag(33)));
    EXPECT_EQ(machine->count, 6u);
    const unsigned order[6] = {2, 0, 1, 3, 4, 5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(machine->order[i], order[i]);
    const char* names[6] = {"XM", "YM", "ZM", "AR", "BR", "CR"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(names[i]);
        auto* axis = static_cast<DQ::AxisRecord*>(dqGetData(dqGetParamTag(25 + i)));
        EXPECT_EQ(std::string(axis->name, 2), names[i]);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(axis->direction[k], k == i % 3 ? 1.0 : 0.0);
            EXPECT_EQ(axis->pivot[k], 0.0);
        }
        EXPECT_EQ(std::string(axis->reserved, 6), std::string(6, '\0'));
    }
}

TEST(SessionSetup, DefaultSettings) {
    FreshSession session;
    const unsigned ints[7] = {0, 1, 10, 0, 0, 0, 0};
    for (unsigned i = 0; i < 7; ++i) EXPECT_EQ(*dqGetIntListElem(dqGetParamTag(36), i), ints[i]) << i;
    struct Real {
        unsigned index;
        double value;
    } reals[] = {{2, 0.0001}, {4, 0.17453292519943295}, {8, 100.0}, {14, 0.1},
                 {17, 0.00017453292519943296}, {19, 0.8726646259971648}, {24, 5.0}, {26, 50.0}};
    for (const Real& r : reals) EXPECT_DOUBLE_EQ(*dqGetRealListElem(dqGetParamTag(37), r.index), r.value) << r.index;
    EXPECT_EQ(dqGetRealListElem(dqGetParamTag(37), 27), nullptr);
    const float* grey = dqGetColorListElem(dqGetParamTag(38), 3);
    EXPECT_EQ(grey[0], 0.1f);
    EXPECT_EQ(grey[3], 1.0f);
    const float* alarm = dqGetColorListElem(dqGetParamTag(38), 10);
    EXPECT_EQ(std::vector<float>(alarm, alarm + 4), (std::vector<float>{1, 0, 0, 1}));
}

int journalFilesIn(const std::string& dir) {
    int n = 0;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d)) n += std::string(e->d_name).rfind("OR", 0) == 0;
    closedir(d);
    return n;
}

TEST(SessionSetup, RecreatingGivesTheSameTagsAndOneJournalFile) {
    char dir[] = "/tmp/orvane-journal-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    setenv("TMPDIR", dir, 1);
    dqCreateSession();
    unsigned high = dqGetHighestTag();
    dqAddData(dqCClassDouble, 0, nullptr);
    dqSetMark();
    dqCreateSession();
    EXPECT_EQ(dqGetHighestTag(), high);
    EXPECT_EQ(dqGetLastMark(), 0u);
    EXPECT_EQ(journalFilesIn(dir), 1);
    dqDestroySession();
    EXPECT_EQ(journalFilesIn(dir), 0);
    unsetenv("TMPDIR");
    rmdir(dir);
}


TEST(SessionSetup, AProcessThatExitsWithoutDestroyingLeavesNoJournal) {
    char dir[] = "/tmp/orvane-exit-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    pid_t child = fork();
    if (child == 0) {
        setenv("TMPDIR", dir, 1);
        dqCreateSession();
        dqCreateSession();
        std::exit(journalFilesIn(dir) == 1 ? 0 : 3); // no dqDestroySession
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "one journal file while the session lives";
    EXPECT_EQ(journalFilesIn(dir), 0);
    rmdir(dir);
}

} // namespace

namespace {

TEST(SessionSetup, StandardObjectsFollowTheRootChildren) {
    FreshSession session;
    EXPECT_EQ(dqGetParamTag(7), 34u);
    EXPECT_EQ(dqGetClass(34), dqCClassOrigin);
    EXPECT_EQ(dqGetParamTag(22), 38u);
    EXPECT_EQ(dqGetClass(38), dqCClassCutter);
    EXPECT_EQ(dqGetParamTag(24), 46u);
    EXPECT_EQ(dqGetClass(46), dqCClassHolder);
    EXPECT_EQ(dqGetParamTag(39), 52u);
    EXPECT_EQ(dqGetClass(52), dqCClassSpindle);
    EXPECT_EQ(dqGetHighestTag(), 59u);
    // The set-up makes no journal records and no marks.
    for (unsigned t = 0; t < dqGetHighestTag(); ++t) {
        unsigned cls = dqGetClass(t);
        EXPECT_TRUE(cls != dqCClassDataJournal && cls != dqCClassLinkJournal && cls != dqCClassMark)
            << t;
    }
    EXPECT_EQ(dqGetLastMark(), 0u);
}

// Any change of a stored layout or of a default shows up here: the scene file
// of a fresh session, byte for byte.
TEST(SessionSetup, FreshSessionSavesTheGoldenSceneFile) {
    FreshSession session;
    char dir[] = "/tmp/orvane-golden-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path = std::string(dir) + "/fresh.mcv";
    dqSaveMCVFile(path.c_str());
    auto slurp = [](const std::string& p) {
        std::FILE* f = std::fopen(p.c_str(), "rb");
        std::vector<unsigned char> bytes;
        if (!f) return bytes;
        for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(f);
        return bytes;
    };
    std::vector<unsigned char> golden = slurp(std::string(ORVANE_TEST_DIR) + "/data/fresh-session.mcv");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(slurp(path), golden);
    unlink(path.c_str());
    rmdir(dir);
}

} // namespace
