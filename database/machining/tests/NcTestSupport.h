// Helpers shared by the NC reader and trace tests: temporary program files
// and a fresh session per test.
#pragma once

#include "korvex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace nctest {

// A file in the temporary folder, removed when the object goes.
class TempFile {
public:
    explicit TempFile(const std::string& content = "") {
        char name[] = "/tmp/ORnctestXXXXXX";
        int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        path_ = name;
        if (!content.empty()) {
            EXPECT_EQ(write(fd, content.data(), content.size()), ssize_t(content.size()));
        }
        close(fd);
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    char* path() { return path_.data(); }

private:
    std::string path_;
};

// Every test starts from the default scene.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { dqCreateSession(); }
    void TearDown() override { dqDestroySession(); }

    // Loads a program given as text; 0 when the reader refuses it.
    unsigned load(const std::string& program, double* progress = nullptr) {
        TempFile file(program);
        double cell = 0;
        return dqCreateCLFromNCFile(file.path(), progress ? progress : &cell);
    }
};

// The CL buffer of a path as bytes.
inline std::vector<unsigned char> bufferOf(unsigned tag) {
    const auto* data = static_cast<const unsigned char*>(dqGetData(tag));
    if (!data) return {};
    std::uint32_t total;
    std::memcpy(&total, data, 4);
    return std::vector<unsigned char>(data, data + total);
}

} // namespace nctest
