#include "FendalTestSupport.h"

#include <unistd.h>

#include "RefreshList.h"

namespace fendal_testing {

std::string fixture(const std::string& name) {
    return std::string(ORVANE_TEST_DIR) + "/data/" + name;
}

std::vector<unsigned> pendingNames() {
    const FE::RefreshList& list = FE::refreshList();
    return std::vector<unsigned>(list.names, list.names + list.count);
}

void resetRefreshState() {
    FE::refreshList().count = 0;
    FE::pickCycle() = {-1, -1, -1};
}

std::vector<unsigned> tagsOfClass(dqCClassEnum cls) {
    std::vector<unsigned> tags;
    for (unsigned t = 1; t < dqGetHighestTag(); ++t)
        if (dqGetClass(t) == cls) tags.push_back(t);
    return tags;
}

void SessionTest::SetUp() {
    feViewStart(nullptr);
    resetRefreshState();
    std::string pattern =
        (std::filesystem::temp_directory_path() / "fendal-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
}

void SessionTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    dqDestroySession();
}

std::string SessionTest::tempPath(const std::string& name) const { return (dir_ / name).string(); }

std::string SessionTest::copyFixture(const std::string& fixtureName, const std::string& as) const {
    std::filesystem::path target = dir_ / as;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(fixture(fixtureName), target);
    return target.string();
}

} // namespace fendal_testing
