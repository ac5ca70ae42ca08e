#include "NcTestSupport.h"

#include "machining/ClRecord.h"
#include "machining/NcReader.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace DQ;
using nctest::bufferOf;
using nctest::TempFile;

namespace {

struct Record {
    std::uint32_t offset;
    std::int32_t code;
    std::vector<double> values;
};

// The records after the initial one, read by the stored layout.
std::vector<Record> movesOf(const std::vector<unsigned char>& buf) {
    std::vector<Record> out;
    ClBuffer b(buf.data(), buf.size());
    std::uint32_t at = kClFirstMove;
    std::int32_t code;
    while (b.recordAt(at, code)) {
        Record r{at, code, {}};
        for (std::uint32_t s = 1; s + 1 < recordSlots(code); ++s) r.values.push_back(loadF64(&buf[at + 8 * s]));
        EXPECT_EQ(loadI32(&buf[at + recordBytes(code) - 8]), code) << "tail of record at " << at;
        out.push_back(r);
        at += recordBytes(code);
    }
    EXPECT_EQ(at, buf.size()) << "records must fill the buffer exactly";
    return out;
}

class NcReader : public nctest::SessionTest {};

TEST_F(NcReader, BufferLayoutOfARapidMove) {
    unsigned tag = load("G00 X10 Y20\n");
    ASSERT_NE(tag, 0u);
    std::vector<unsigned char> buf = bufferOf(tag);
    ASSERT_EQ(buf.size(), 128u);

    auto word = [&](std::size_t at) { return loadI32(&buf[at]); };
    EXPECT_EQ(word(0), 128);
    EXPECT_EQ(word(4), 0);
    // Initial record: start pose 0, 0, 100, the same as centre, A B C in degrees.
    EXPECT_EQ(word(8), 77700);
    EXPECT_EQ(word(12), 0);
    const double initial[9] = {0, 0, 100, 0, 0, 100, 0, 0, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(loadF64(&buf[16 + 8 * i]), initial[i]) << i;
    EXPECT_EQ(word(88), 77700);
    EXPECT_EQ(word(92), 0);
    // Integers are counts: 10 and 20 counts of 0.0001.
    EXPECT_EQ(word(96), 40000);
    EXPECT_EQ(word(100), 0);
    EXPECT_EQ(loadF64(&buf[104]), 10 * 0.0001);
    EXPECT_EQ(loadF64(&buf[112]), 20 * 0.0001);
    EXPECT_EQ(word(120), 40000);
    EXPECT_EQ(word(124), 0);
}

TEST_F(NcReader, BlocksBecomeRecords) {
    struct Case {
        const char* program;
        std::vector<std::int32_t> codes;
        std::vector<double> lastValues;
    };
    const Case cases[] = {
        {"G00 X10. Y20.\n", {40000}, {10.0, 20.0}},
        {"X10.Z5.\n", {60000}, {5.0, 10.0}}, // digit 6: Z before X
        {"X100\n", {10000}, {100 * 0.0001}},
        {"X100.\n", {10000}, {100.0}},
        {"X-.5\n", {10000}, {-0.5}},
        {"X+10\n", {10000}, {0.0}},
        {"x10\n", {}, {}},
        {"G91 X1.\nX1.\n", {10000, 10000}, {2.0}},
        // G90 in the middle of a block rules the words after it.
        {"G91 X1. G90 Y5.\nG91 X1. Y1. G90 Z3.\n", {40000, 70000}, {2.0, 6.0, 3.0}},
        {"G02 X10. Y0 I5.\n", {41002}, {10.0, 0.0, 5.0}},
        {"G03 X1. Y2. Z-3. I4. J5. K6.\n", {77003}, {1, 2, -3, 4, 5, 106}}, // K relative to the start Z 100
        {"G18 G01 Z-5. X2. K1.\n", {63021}, {-5, 2, 101}},
        {"G19 G1 Y1. A10. B20. C30.\n", {20711}, {1, 10, 20, 30}},
        {"B10. C20.\n", {500}, {10, 20}},
        {"A10. C20.\n", {600}, {20, 10}}, // digit 6: C before A
        {"F100 S2000 M03\nN10\nG90\n(comment)\n", {}, {}},
        {"X1 (a) Y2 (b)\n", {40000}, {0.0001, 0.0002}},
        {"G1.0 X1.\n", {10000}, {1.0}}, // G1.0 is raw 10: no motion change
        {"G17 G2 G1 X1.\n", {10001}, {1.0}},
        {"G01 X0 X1.\n", {10001}, {1.0}}, // the last word of an axis wins
        {"G0 R5. X1.\n", {10000}, {1.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        unsigned tag = load(c.program);
        ASSERT_NE(tag, 0u);
        std::vector<Record> moves = movesOf(bufferOf(tag));
        std::vector<std::int32_t> codes;
        for (const Record& r : moves) codes.push_back(r.code);
        EXPECT_EQ(codes, c.codes);
        if (!moves.empty()) {
            EXPECT_EQ(moves.back().values, c.lastValues);
        }
    }
}

TEST_F(NcReader, RefusesWhatCannotBeRead) {
    TempFile empty;
    mkdir("/tmp/ORncdir", 0700);
    char missing[] = "/tmp/ORnc-does-not-exist.nc";
    char dir[] = "/tmp/ORncdir";
    unsigned before = dqGetHighestTag();
    for (char* path : {static_cast<char*>(nullptr), empty.path(), missing, dir}) {
        SCOPED_TRACE(path ? path : "null");
        double progress = 0.5;
        EXPECT_EQ(dqCreateCLFromNCFile(path, &progress), 0u);
        EXPECT_EQ(progress, 0.0);
    }
    rmdir(dir);
    EXPECT_EQ(dqGetHighestTag(), before);
}

TEST_F(NcReader, RefusesFilesOfTwoGibibytes) {
    TempFile big;
    int fd = open(big.path(), O_WRONLY);
    ASSERT_EQ(ftruncate(fd, off_t(kNcFileLimit)), 0); // sparse: no disk space used
    close(fd);
    double progress = 0;
    EXPECT_EQ(dqCreateCLFromNCFile(big.path(), &progress), 0u);
}

TEST_F(NcReader, WordErrorsFailTheWholeFile) {
    const char* programs[] = {
        "G0 X1.\n1234\n", "G0 X1.\nX1.2.\n", "G0 X1.\nX1-2\n", "G0 X1.\nX1 (comment\n",
        "G0 X1.\nX--1\n", "G0 X1.\n.5\n",
    };
    for (const char* p : programs) {
        SCOPED_TRACE(p);
        unsigned before = dqGetHighestTag();
        double progress = 0;
        EXPECT_EQ(load(p, &progress), 0u);
        EXPECT_EQ(dqGetHighestTag(), before);
        // The last fraction written stays: the line with the error was read.
        EXPECT_GT(progress, 0.0);
        EXPECT_LE(progress, 1.0);
    }
}

TEST_F(NcReader, ProgramsWithoutMovesHoldOnlyTheInitialRecord) {
    for (const char* p : {"\n\n\n", "   \n", "%\nO1000\nM30\n%\n", "\r\n"}) {
        SCOPED_TRACE(p);
        double progress = 0;
        unsigned tag = load(p, &progress);
        ASSERT_NE(tag, 0u);
        EXPECT_EQ(bufferOf(tag).size(), 96u);
        EXPECT_EQ(progress, 1.0);
    }
}

TEST_F(NcReader, CrlfReadsLikeLf) {
    const std::string lf = "G90 G17\nG01 X1. Y2.(a)\nG02 X3. I1.\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(bufferOf(load(lf)), bufferOf(load(crlf)));
}

TEST_F(NcReader, LongLinesAreCutAfter255Characters) {
    // X1 ends exactly at character 255; Y2 is read as the next block.
    std::string cut = std::string(253, ' ') + "X1Y2\n";
    std::vector<Record> moves = movesOf(bufferOf(load(cut)));
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].code, 10000);
    EXPECT_EQ(moves[1].code, 20000);
    // A number split by the cut leaves digits at the start of a line: error 1.
    EXPECT_EQ(load(std::string(252, ' ') + "X1234\n"), 0u);
    // A comment may not cross the cut either.
    EXPECT_EQ(load("(" + std::string(300, 'c') + ")\n"), 0u);
}

TEST_F(NcReader, SettingsGiveResolutionsAndStartPose) {
    unsigned reals = dqGetParamTag(37);
    dqSetRealListElem(reals, 2, 0.001);
    dqSetRealListElem(reals, 3, 0.01);
    dqSetRealListElem(reals, 6, 1.5);
    dqSetRealListElem(reals, 11, 3.14159265358979323846 / 2); // C start: 90 degrees
    std::vector<unsigned char> buf = bufferOf(load("G91 X10 C10\n"));
    ASSERT_EQ(buf.size(), 96u + 32u);
    EXPECT_EQ(loadF64(&buf[16]), 1.5);
    EXPECT_DOUBLE_EQ(loadF64(&buf[80]), 90.0);
    // Start counts are the pose rounded to the resolution; incremental words add.
    EXPECT_EQ(loadI32(&buf[96]), 10300);
    EXPECT_DOUBLE_EQ(loadF64(&buf[104]), 1.5 + 10 * 0.001);
    EXPECT_DOUBLE_EQ(loadF64(&buf[112]), 90.0 + 10 * 0.01);
}

TEST_F(NcReader, UnusableResolutionsFallBackToTheDefault) {
    for (double bad : {0.0, -1.0, std::nan("")}) {
        SCOPED_TRACE(bad);
        dqSetRealListElem(dqGetParamTag(37), 2, bad);
        std::vector<Record> moves = movesOf(bufferOf(load("X10\n")));
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(moves[0].values[0], 10 * 0.0001);
    }
}

TEST_F(NcReader, SumsPastTheCountRangeSaturate) {
    std::vector<Record> moves =
        movesOf(bufferOf(load("G91 X9223372036854775807\nX9223372036854775807\nX-1\n"
                              "G90 Z-99999999999999999999\nG91 Z-5\n")));
    ASSERT_EQ(moves.size(), 5u);
    const double top = 9223372036854775807.0 * 0.0001;
    EXPECT_EQ(moves[1].values[0], top);
    EXPECT_EQ(moves[2].values[0], 9223372036854775806.0 * 0.0001);
    EXPECT_EQ(moves[4].values[0], -9223372036854775807.0 * 0.0001 - 0.0); // pinned at the bottom
}

TEST_F(NcReader, DenseProgramsGrowTheBufferAndFitIt) {
    // "X" alone is a word worth 24 bytes from 2 bytes of text: twelve times the
    // first allocation's guess.
    const int lines = 200000;
    std::string program;
    for (int i = 0; i < lines; ++i) program += "X\n";
    double progress = 0;
    unsigned tag = load(program, &progress);
    ASSERT_NE(tag, 0u);
    EXPECT_EQ(bufferOf(tag).size(), 96u + 24u * lines);
    EXPECT_EQ(progress, 1.0);
}

TEST_F(NcReader, ZeroBytesEndALine) {
    std::string program = std::string("X1\0Y2\nZ3\n", 9);
    std::vector<Record> moves = movesOf(bufferOf(load(program)));
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].code, 10000);
    EXPECT_EQ(moves[1].code, 30000);
}

// A large program for the stop tests, written once.
const std::string& bigProgram() {
    static const std::string text = [] {
        std::string t;
        for (int i = 0; t.size() < (40u << 20); ++i)
            t += "N" + std::to_string(i) + " G01 X" + std::to_string(i % 1000) + ".5 Y-2.25 F500\n";
        return t;
    }();
    return text;
}

TEST_F(NcReader, StopRequestFromAnotherThreadCreatesNothing) {
    TempFile file(bigProgram());
    // On a loaded machine the other thread may not run before the whole file
    // is read; such a run proves nothing and is tried again.
    bool stoppedOnce = false;
    for (int attempt = 0; attempt < 5 && !stoppedOnce; ++attempt) {
        unsigned before = dqGetHighestTag();
        double progress = 0;
        std::atomic<bool> done{false};
        // The other thread keeps asking to stop once reading has begun (the
        // reader writes 0 first, then a fraction after every line).
        std::thread stopper([&] {
            std::atomic_ref<double> cell(progress);
            while (!done) {
                double v = cell.load(std::memory_order_relaxed);
                if (v > 0.0 && v < 1.0) cell.store(-2.0, std::memory_order_relaxed);
                std::this_thread::yield();
            }
        });
        unsigned tag = dqCreateCLFromNCFile(file.path(), &progress);
        done = true;
        stopper.join();
        if (tag) continue; // read to the end before the request came
        stoppedOnce = true;
        EXPECT_EQ(dqGetHighestTag(), before);
        EXPECT_EQ(progress, -2.0);
    }
    EXPECT_TRUE(stoppedOnce);
}

TEST_F(NcReader, MinusOneDoesNotStopTheReading) {
    TempFile file(bigProgram());
    double progress = 0;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        std::atomic_ref<double> cell(progress);
        while (!done) cell.store(-1.0, std::memory_order_relaxed);
    });
    unsigned tag = dqCreateCLFromNCFile(file.path(), &progress);
    done = true;
    writer.join();
    EXPECT_NE(tag, 0u);
}

} // namespace
