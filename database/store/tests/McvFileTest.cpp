// Scene files: save and merge back, the list merge, mounted models, damaged
// files and saves that fail half-way.
#include "StoreTestSupport.h"
#include "store/TypedList.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

using namespace storetest;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class McvFile : public ::testing::Test {
protected:
    void SetUp() override {
        char d[] = "/tmp/orvane-mcv-XXXXXX";
        ASSERT_NE(mkdtemp(d), nullptr);
        dir = d;
        dqCreateSession();
    }
    void TearDown() override {
        dqDestroySession();
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string file(const char* name) const { return dir + "/" + name; }

    // A block mounted on the machine, as a command plug-in would make it.
    static unsigned mountedBlock(double width) {
        double size[3] = {width, 2, 3};
        unsigned t = addObject(dqCClassBlock, dqCreateData(size, sizeof size));
        unsigned mount = 0;
        dqAllocChild(t, 0, 0, dqCClassAxisMount, &mount);
        return t;
    }
    static int countClass(unsigned cls) {
        int n = 0;
        for (unsigned t = 0; t < dqGetHighestTag(); ++t) n += dqGetClass(t) == cls;
        return n;
    }

    std::string dir;
};

TEST_F(McvFile, SavedSessionLoadsIntoAFreshOneUnchanged) {
    dqSetTitle("fixture");
    std::string path = file("scene.mcv");
    dqSaveMCVFile(path.c_str());
    Bytes saved = readFile(path);
    ASSERT_GT(saved.size(), 4u);
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 4), (Bytes{1, 0, 0, 0}));

    dqCreateSession();
    unsigned high = dqGetHighestTag();
    double progress = -5;
    ASSERT_EQ(dqLoadMCVFile(path.c_str(), &progress), 0);
    EXPECT_EQ(progress, 1.0);
    EXPECT_STREQ(dqGetTitle(), "fixture");
    // Nothing new but journal records, and saving again gives the same bytes.
    for (unsigned t = high; t < dqGetHighestTag(); ++t)
        EXPECT_TRUE(dqGetClass(t) == dqCClassDataJournal || dqGetClass(t) == dqCClassLinkJournal) << t;
    std::string again = file("again.mcv");
    dqSaveMCVFile(again.c_str());
    EXPECT_EQ(readFile(again), saved);
}

TEST_F(McvFile, AMountedModelSurvivesTwoLoadsAsOneCopy) {
    mountedBlock(7);
    std::string path = file("scene.mcv");
    dqSaveMCVFile(path.c_str());
    dqCreateSession();
    ASSERT_EQ(dqLoadMCVFile(path.c_str(), nullptr), 0);
    ASSERT_EQ(dqLoadMCVFile(path.c_str(), nullptr), 0);
    EXPECT_EQ(countClass(dqCClassBlock), 1);
    for (unsigned t = 0; t < dqGetHighestTag(); ++t) {
        if (dqGetClass(t) != dqCClassBlock) continue;
        EXPECT_EQ(static_cast<double*>(dqGetData(t))[0], 7.0);
        EXPECT_NE(dqGetChild(t, 0, 0, dqCClassAxisMount, nullptr), 0u);
    }
}

TEST_F(McvFile, AShorterStoredListTakesTheSessionsEntriesItLacks) {
    // Store a real settings list of 20 entries.
    std::vector<double> twenty(20);
    for (int i = 0; i < 20; ++i) twenty[i] = 1000 + i;
    unsigned real = dqGetParamTag(37);
    dqSetData(real, DQ::newRealList(20, twenty.data()));
    std::string path = file("short.mcv");
    dqSaveMCVFile(path.c_str());

    dqCreateSession();
    real = dqGetParamTag(37);
    double entry26 = *dqGetRealListElem(real, 26);
    ASSERT_EQ(dqLoadMCVFile(path.c_str(), nullptr), 0);
    real = dqGetParamTag(37);
    EXPECT_EQ(*static_cast<std::uint32_t*>(dqGetData(real)), 27u);
    EXPECT_EQ(*dqGetRealListElem(real, 0), 1000.0);
    EXPECT_EQ(*dqGetRealListElem(real, 19), 1019.0);
    EXPECT_EQ(*dqGetRealListElem(real, 26), entry26);
}

TEST_F(McvFile, ALoadCanBeUndoneAsAWhole) {
    unsigned before = mountedBlock(1);
    std::string path = file("scene.mcv");
    dqSaveMCVFile(path.c_str());
    dqSetIntListElem(dqGetParamTag(36), 2, 99);
    dqSetMark();
    ASSERT_EQ(dqLoadMCVFile(path.c_str(), nullptr), 0);
    dqSetMark();
    EXPECT_EQ(dqGetClass(before), dqCClassEmpty); // replaced by the file's copy
    EXPECT_EQ(*dqGetIntListElem(dqGetParamTag(36), 2), 10u);
    int count;
    dqDoToMark(dqGetUndoMark(), 0, &count, nullptr);
    EXPECT_EQ(dqGetClass(before), dqCClassBlock);
    EXPECT_EQ(*dqGetIntListElem(dqGetParamTag(36), 2), 99u);
    EXPECT_EQ(countClass(dqCClassBlock), 1 + 1); // the loaded copy stays, emptied of data
}

TEST_F(McvFile, APathIsNotStoredAndSurvivesALoad) {
    std::string nc = file("part.nc");
    writeFile(nc, {'G', '0', '1', ' ', 'X', '1', '.', '\n'});
    double progress = 0;
    unsigned path = dqCreateCLFromNCFile(nc.data(), &progress);
    ASSERT_NE(path, 0u);
    void* buffer = dqGetData(path);
    std::string scene = file("scene.mcv");
    dqSaveMCVFile(scene.c_str());
    Bytes saved = readFile(scene);
    dqCreateSession();
    dqSaveMCVFile(scene.c_str());
    EXPECT_EQ(readFile(scene), saved) << "the path must not change the file";

    dqCreateSession();
    path = dqCreateCLFromNCFile(nc.data(), &progress);
    buffer = dqGetData(path);
    ASSERT_EQ(dqLoadMCVFile(scene.c_str(), nullptr), 0);
    EXPECT_EQ(dqGetClass(path), dqCClassClPath);
    EXPECT_EQ(dqGetData(path), buffer);
}

TEST_F(McvFile, RefusedFilesChangeNothing) {
    mountedBlock(1);
    unsigned high = dqGetHighestTag();
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"version 2", {2, 0, 0, 0}},
        {"short version word", {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(file("bad.mcv"), c.bytes);
        EXPECT_EQ(dqLoadMCVFile(file("bad.mcv").c_str(), nullptr), 1);
        EXPECT_EQ(dqGetHighestTag(), high);
    }
    EXPECT_EQ(dqLoadMCVFile(file("missing.mcv").c_str(), nullptr), 1);
    EXPECT_EQ(dqLoadMCVFile(nullptr, nullptr), 1);
}

TEST_F(McvFile, AVersionWordAloneRemovesTheMountedModels) {
    unsigned model = mountedBlock(1);
    double size[3] = {1, 1, 1};
    unsigned loose = addObject(dqCClassBlock, dqCreateData(size, sizeof size)); // not mounted
    writeFile(file("only.mcv"), {1, 0, 0, 0});
    double progress = 0;
    EXPECT_EQ(dqLoadMCVFile(file("only.mcv").c_str(), &progress), 0);
    EXPECT_EQ(progress, 1.0);
    EXPECT_EQ(dqGetClass(model), dqCClassEmpty);
    EXPECT_EQ(dqGetClass(loose), dqCClassBlock);
}

TEST_F(McvFile, ACutOrDamagedFileKeepsWhatWasReadBeforeTheDamage) {
    std::string path = file("scene.mcv");
    dqSetTitle("whole");
    dqSaveMCVFile(path.c_str());
    Bytes whole = readFile(path);
    // Every cut point loads what lies before it and never crashes.
    for (std::size_t n = 4; n < whole.size(); n += 7) {
        SCOPED_TRACE(n);
        dqCreateSession();
        writeFile(file("cut.mcv"), Bytes(whole.begin(), whole.begin() + n));
        EXPECT_EQ(dqLoadMCVFile(file("cut.mcv").c_str(), nullptr), 0);
    }
    // A record claiming more bytes than the file holds ends the load.
    dqCreateSession();
    Bytes huge = {1, 0, 0, 0, 0xD0, 7, 0, 0, 0xF0, 0xFF, 0xFF, 0xFF, 'x', 0};
    writeFile(file("huge.mcv"), huge);
    EXPECT_EQ(dqLoadMCVFile(file("huge.mcv").c_str(), nullptr), 0);
    EXPECT_EQ(dqGetTitle(), nullptr);
}

TEST_F(McvFile, RecordsThatDisagreeWithTheirSizeLoadEmpty) {
    mountedBlock(1);
    std::string path = file("scene.mcv");
    dqSaveMCVFile(path.c_str());
    Bytes bytes = readFile(path);
    // The colour settings list is the 11th root child; raise its count word
    // past what its bytes hold.
    const std::uint8_t colourList[4] = {0xFA, 0x03, 0, 0}; // class 1018
    auto at = std::search(bytes.begin(), bytes.end(), colourList, colourList + 4);
    ASSERT_NE(at, bytes.end());
    at[8] = 200; // count word, right after class and size
    writeFile(file("damaged.mcv"), bytes);
    dqCreateSession();
    ASSERT_EQ(dqLoadMCVFile(file("damaged.mcv").c_str(), nullptr), 0);
    // The damaged record became an empty child; the session's list is intact.
    EXPECT_EQ(*static_cast<std::uint32_t*>(dqGetData(dqGetParamTag(38))), 11u);
    EXPECT_NE(dqGetColorListElem(dqGetParamTag(38), 10), nullptr);
}

TEST_F(McvFile, AFailedSaveLeavesTheOldFileUntouched) {
    std::string path = file("scene.mcv");
    dqSaveMCVFile(path.c_str());
    Bytes good = readFile(path);
    ASSERT_FALSE(good.empty());

    // Make every write beyond 64 bytes fail, as a full disk would.
    for (int i = 0; i < 40; ++i) mountedBlock(i);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    dqSaveMCVFile(path.c_str());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(readFile(path), good);
    // No temporary file is left beside it.
    std::string cmd = "test $(ls -A '" + dir + "' | wc -l) -eq 1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);

    dqSaveMCVFile(path.c_str()); // and a save that succeeds replaces it
    EXPECT_GT(readFile(path).size(), good.size());
}

TEST_F(McvFile, SaveIntoAMissingFolderWritesNothing) {
    dqSaveMCVFile(file("no/such/folder.mcv").c_str());
    std::string cmd = "test $(ls -A '" + dir + "' | wc -l) -eq 0";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

} // namespace
