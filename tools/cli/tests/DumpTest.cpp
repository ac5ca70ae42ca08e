#include "ClDump.h"

#include "korvex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const fs::path kGolden = fs::path(ORVANE_TEST_DIR) / "golden";

// The dump of a program loaded into a fresh default session, or "error\n".
std::string dumpOf(const fs::path& program) {
    dqCreateSession();
    std::string path = program.string();
    double progress = 0;
    unsigned tag = dqCreateCLFromNCFile(path.data(), &progress);
    std::string text = tag ? formatClDump(dqGetData(tag)) : "error\n";
    dqDestroySession();
    return text;
}

TEST(Dump, GoldenCases) {
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(kGolden)) {
        if (!entry.is_directory()) continue;
        SCOPED_TRACE(entry.path().filename().string() + ": " + readFile(entry.path() / "README"));
        ASSERT_TRUE(fs::exists(entry.path() / "program.nc"));
        EXPECT_EQ(dumpOf(entry.path() / "program.nc"), readFile(entry.path() / "expected"));
        ++cases;
    }
    EXPECT_GE(cases, 10);
}

struct CliRun {
    int status;
    std::string out, err;
};

CliRun runCli(const std::string& args) {
    // Unique names: ctest runs the cases of this file side by side.
    auto unique = [] {
        char name[] = "/tmp/ORcliXXXXXX";
        close(mkstemp(name));
        return std::string(name);
    };
    std::string out = unique(), err = unique();
    std::string cmd = std::string("'") + ORVANE_BIN_DIR + "/orvane-cli' " + args + " >" + out + " 2>" + err;
    int raw = std::system(cmd.c_str());
    CliRun r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    fs::remove(out);
    fs::remove(err);
    return r;
}

TEST(Dump, ProgramPrintsTheDumpAndExitsZero) {
    fs::path c = kGolden / "xyz-digits";
    CliRun r = runCli("dump '" + (c / "program.nc").string() + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, readFile(c / "expected"));
    EXPECT_EQ(r.err, "");
}

TEST(Dump, FailuresExitNonZeroWithOneLine) {
    const std::string cases[] = {
        "dump '" + (kGolden / "error5-open-comment" / "program.nc").string() + "'",
        "dump /nonexistent/program.nc",
        "dump",
        "frobnicate",
        "",
    };
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        CliRun r = runCli(args);
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        if (args.rfind("dump ", 0) == 0) {
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        }
    }
}

} // namespace
