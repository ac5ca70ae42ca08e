// Helpers of the front-end tests: a fresh session per test, a private
// temporary folder and the fixtures in data/.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fendal.h"

namespace fendal_testing {

// Path of a fixture in frontend/tests/data.
std::string fixture(const std::string& name);

// The refresh list's pending names, copied out.
std::vector<unsigned> pendingNames();
// Empties the refresh list and ends any pick cycle (back to the load state).
void resetRefreshState();
// Tags of the given class, in increasing order.
std::vector<unsigned> tagsOfClass(dqCClassEnum cls);

// Each test starts on a fresh session (feViewStart without a file) and
// an empty refresh list, and gets its own temporary folder.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path in the test's temporary folder; the copy variant copies a
    // fixture there under the given name first.
    std::string tempPath(const std::string& name) const;
    std::string copyFixture(const std::string& fixtureName, const std::string& as) const;

    std::filesystem::path dir_;
};

} // namespace fendal_testing
