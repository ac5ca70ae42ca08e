// Loading, saving and restarting the scene through the front end.
#include <clocale>
#include <filesystem>

#include "FendalTestSupport.h"
#include "RefreshList.h"

namespace {

using fendal_testing::fixture;
using fendal_testing::pendingNames;
using fendal_testing::SessionTest;
using fendal_testing::tagsOfClass;

using SceneFiles = SessionTest;

std::vector<unsigned> allTags(unsigned highest) {
    std::vector<unsigned> tags;
    for (unsigned t = 1; t < highest; ++t) tags.push_back(t);
    return tags;
}

TEST_F(SceneFiles, LoadsNcAndStlAndClosesAnUndoStep) {
    const struct {
        const char* fixtureName;
        const char* as;
        dqCClassEnum cls;
    } cases[] = {
        {"square.nc", "square.nc", dqCClassClPath},
        {"square.nc", "O1001", dqCClassClPath},
        {"wedge.stl", "wedge.STL", dqCClassStl},
        {"wedge.stl", "wedge.bstl", dqCClassStl},
        // What the converter leaves behind is an STL file, whatever it was.
        {"wedge.stl", "OR1234.ply.orm", dqCClassStl},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.as);
        std::string path = copyFixture(c.fixtureName, c.as);
        const std::size_t before = tagsOfClass(c.cls).size();
        fendal_testing::resetRefreshState();
        double progress = -0.5;
        ASSERT_EQ(feAddLoadFile(path.data(), &progress), 0);
        EXPECT_EQ(tagsOfClass(c.cls).size(), before + 1);
        EXPECT_EQ(progress, 1.0);
        EXPECT_EQ(pendingNames(), std::vector<unsigned>{1});
        // The load is a step of its own: the newest tag is a mark.
        EXPECT_EQ(dqGetClass(dqGetHighestTag() - 1), dqCClassMark);
        EXPECT_EQ(feGetUndoFlag(), 1);
        std::filesystem::remove(path);
    }
}

TEST_F(SceneFiles, RefusesWhatItCannotReadWithoutChangingTheScene) {
    std::string ply = copyFixture("tetra.ply", "tetra.ply");
    std::string renamedStl = copyFixture("wedge.stl", "wedge.obj");
    std::string emptyNc = tempPath("empty.nc");
    std::FILE* f = std::fopen(emptyNc.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    std::string missing[] = {tempPath("missing.nc"), tempPath("missing.stl"),
                             tempPath("missing.mcv"), tempPath("missing.orm")};
    std::vector<std::string> names = {ply, renamedStl, emptyNc, tempPath("notes.txt")};
    names.insert(names.end(), std::begin(missing), std::end(missing));

    const unsigned highest = dqGetHighestTag();
    for (std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(feAddLoadFile(name.data(), nullptr), -1);
        EXPECT_EQ(dqGetHighestTag(), highest);
        EXPECT_TRUE(pendingNames().empty());
    }
    EXPECT_EQ(feAddLoadFile(nullptr, nullptr), -1);
    EXPECT_EQ(feGetUndoFlag(), 0);
}

// Scene files keep the parameter elements (loaded models are not stored
// in them), so the cutter's diameter shows whether a scene came back.
double cutterDiameter() { return dqGetCutterDiameter(dqGetParamTag(22)); }

TEST_F(SceneFiles, MergesASceneFileAndRefreshesEverything) {
    dqSetCutterDiameter(dqGetParamTag(22), 8.0);
    std::string scene = tempPath("scene.MCV");
    feSaveMCVFile(scene.data());
    ASSERT_TRUE(std::filesystem::exists(scene));
    feSaveMCVFile(nullptr);

    feClearLoadFile(nullptr); // the default scene
    ASSERT_EQ(cutterDiameter(), 6.0);
    fendal_testing::resetRefreshState();

    double progress = 0;
    ASSERT_EQ(feAddLoadFile(scene.data(), &progress), 0);
    EXPECT_EQ(progress, 1.0);
    EXPECT_EQ(cutterDiameter(), 8.0);
    EXPECT_EQ(dqGetClass(dqGetHighestTag() - 1), dqCClassMark);
    EXPECT_EQ(pendingNames(), allTags(dqGetHighestTag()));

    // The merge is one undo step.
    feUndo();
    EXPECT_EQ(cutterDiameter(), 6.0);
}

TEST_F(SceneFiles, LoadsFilesWithJapaneseNames) {
    const char* saved = std::setlocale(LC_CTYPE, nullptr);
    std::string restore = saved ? saved : "C";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    std::string stl = copyFixture("wedge.stl", "図面/部品.STL");
    std::string nc = copyFixture("square.nc", "加工/外形.nc");
    EXPECT_EQ(feAddLoadFile(stl.data(), nullptr), 0);
    EXPECT_EQ(feAddLoadFile(nc.data(), nullptr), 0);
    std::setlocale(LC_CTYPE, restore.c_str());
    EXPECT_EQ(tagsOfClass(dqCClassStl).size(), 1u);
    EXPECT_EQ(tagsOfClass(dqCClassClPath).size(), 1u);
}

TEST_F(SceneFiles, ALoadEndsAPickCycle) {
    std::string stl = copyFixture("wedge.stl", "wedge.stl");
    FE::RefreshList& list = FE::refreshList();
    list.names[0] = 22;
    list.names[1] = 24;
    list.count = 2;
    FE::pickCycle() = {1, 0, 0};

    ASSERT_EQ(feAddLoadFile(stl.data(), nullptr), 0);
    // Only the chosen candidate's pre-draw list and the scene list remain.
    EXPECT_EQ(pendingNames(), (std::vector<unsigned>{25, 1}));
    EXPECT_EQ(FE::pickCycle().position, -2);
    EXPECT_EQ(FE::pickCycle().previous, -1);
}

TEST_F(SceneFiles, ClearingWithANameKeepsTheSceneAndDropsTheHistory) {
    std::string stl = copyFixture("wedge.stl", "wedge.stl");
    std::string nc = copyFixture("square.nc", "square.nc");
    ASSERT_EQ(feAddLoadFile(stl.data(), nullptr), 0);
    ASSERT_EQ(feAddLoadFile(nc.data(), nullptr), 0);
    dqSetCutterDiameter(dqGetParamTag(22), 8.0);
    feSetTitle("pocket");
    ASSERT_EQ(feGetUndoFlag(), 1);
    fendal_testing::resetRefreshState();
    const unsigned oldHighest = dqGetHighestTag();

    std::string working = tempPath("Orvane.mcv");
    feClearLoadFile(working.data());

    EXPECT_TRUE(std::filesystem::exists(working));
    EXPECT_EQ(cutterDiameter(), 8.0);
    EXPECT_STREQ(feGetTitle(), "pocket");
    EXPECT_EQ(feGetUndoFlag(), 0);
    EXPECT_EQ(feGetRedoFlag(), 0);
    // Every list of the old scene was queued for deletion or rebuild.
    std::vector<unsigned> pending = pendingNames();
    ASSERT_GE(pending.size(), oldHighest - 1);
    EXPECT_EQ(std::vector<unsigned>(pending.begin(), pending.begin() + (oldHighest - 1)),
              allTags(oldHighest));

    // With no name the scene goes back to the defaults.
    feClearLoadFile(nullptr);
    EXPECT_TRUE(tagsOfClass(dqCClassStl).empty());
    EXPECT_TRUE(tagsOfClass(dqCClassClPath).empty());
    EXPECT_EQ(cutterDiameter(), 6.0);
    EXPECT_EQ(feGetUndoFlag(), 0);
    EXPECT_EQ(feGetTitle(), nullptr);
}

TEST_F(SceneFiles, ClearingKeepsTheSceneWhenTheFileCannotBeWritten) {
    dqSetCutterDiameter(dqGetParamTag(22), 9.0);
    dqSetMark();
    // Reloading a file that was never written would give the default scene.
    std::string unwritable = tempPath("missing-folder/Orvane.mcv");
    feClearLoadFile(unwritable.data());
    EXPECT_EQ(cutterDiameter(), 9.0);
    EXPECT_EQ(feGetUndoFlag(), 0); // the history went as usual
    EXPECT_FALSE(std::filesystem::exists(unwritable));
}

TEST_F(SceneFiles, ViewEndSavesWhatViewStartReadsBack) {
    dqSetCutterDiameter(dqGetParamTag(22), 8.0);
    std::string working = tempPath("Orvane.mcv");
    feViewEnd(working.data());
    ASSERT_TRUE(std::filesystem::exists(working));

    feViewStart(working.data());
    EXPECT_EQ(cutterDiameter(), 8.0);
    EXPECT_EQ(dqGetClass(dqGetHighestTag() - 1), dqCClassMark);
    EXPECT_EQ(feGetUndoFlag(), 0);

    // A working file that is not there leaves the default scene.
    std::string absent = tempPath("absent.mcv");
    feViewEnd(nullptr);
    feViewStart(absent.data());
    EXPECT_EQ(cutterDiameter(), 6.0);
    EXPECT_FALSE(std::filesystem::exists(absent));
    feViewEnd(nullptr);
    feViewStart(nullptr);
    EXPECT_EQ(cutterDiameter(), 6.0);
}

} // namespace
