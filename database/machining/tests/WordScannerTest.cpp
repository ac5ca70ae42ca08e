#include "machining/WordScanner.h"
#include "machining/WordScannerCore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

using namespace DQ;

namespace {

// Scans a whole line and renders every word as "A raw counts", separated by
// '|', ending with the final status ("end" or "eN").
// kPadded: the line is scanned inside a buffer that continues with digits
// past its end, which the eight-at-a-time reads must never take in.
template <bool kFast = true, bool kPadded = false>
std::string scanAll(const std::string& text, Resolutions res = Resolutions()) {
    std::string buffer = kPadded ? text + std::string(scan::kPadding, '7') : text;
    const std::string& line = buffer;
    std::string out;
    std::size_t pos = 0;
    for (int guard = 0; guard < 1000; ++guard) {
        NcWord w;
        ScanStatus st = scan::scanWord<kFast, kPadded>(line.data(), text.size(), pos, res, w);
        if (st == kScanEndOfLine) return out + "end";
        if (st != kScanWord) return out + "e" + std::to_string(int(st));
        std::string a = w.address == '\r' ? "CR" : w.address == '\t' ? "TAB" : std::string(1, w.address);
        out += a + " " + std::to_string(w.raw) + " " + std::to_string(w.counts) + "|";
    }
    return out + "runaway";
}

struct Case {
    const char* line;
    const char* words;
};

TEST(WordScanner, ReadsWordsAsTheControlsWriteThem) {
    const Case cases[] = {
        // Integers are counts already; a decimal point scales by the resolution.
        {"G00 X10 Y20", "G 0 0|X 10 10|Y 20 20|end"},
        {"X10. Y20.", "X 10 100000|Y 20 200000|end"},
        {"X100", "X 100 100|end"},
        {"X-.5", "X -5 -5000|end"},
        {"X1.23456", "X 123456 12346|end"},  // half a count rounds up
        {"X-1.23455", "X -123455 -12346|end"}, // magnitude rounded, then negated
        {"A90. C-45.5", "A 90 900000|C -455 -455000|end"},
        // Blanks anywhere, also inside a number and between the address and it.
        {"X 10", "X 10 10|end"},
        {"N10 20", "N 1020 1020|end"},
        {"X1 0.5", "X 105 105000|end"},
        // Comments anywhere, also inside a number.
        {"X1(c)2 (note) Y3", "X 12 12|Y 3 3|end"},
        {"(only a comment)", "end"},
        // Any other character is an address: '+' makes a word of its own.
        {"X+10", "X 0 0|+ 10 10|end"},
        {"x10", "x 10 10|end"},
        {"G1.0", "G 10 10000|end"},
        {"X10\r\n", "X 10 10|CR 0 0|end"},
        {"\tX1", "TAB 0 0|X 1 1|end"},
        {"X", "X 0 0|end"},
        {"%", "% 0 0|end"},
        {"X1\nY2", "X 1 1|end"}, // a newline ends the line
        {"", "end"},
        {"   ", "end"},
        // The four errors.
        {"1234", "e1"},
        {"X1 (open", "e5"},
        {"(open", "e5"},
        {"X1.2.3", "e2"},
        {".5", "e2"},
        {"X1-2", "e3"},
        {"X--1", "e3"},
        {"-1", "e3"},
        {"X.-1", "e3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(scanAll(c.line), c.words);
        EXPECT_EQ(scanAll<false>(c.line), c.words);
        EXPECT_EQ((scanAll<true, true>(c.line)), c.words);
    }
}

TEST(WordScanner, AngularAddressesUseTheAngularResolution) {
    Resolutions res(0.001, 0.01);
    EXPECT_EQ(scanAll("X1. A1. B1. C1. I1. R1.", res),
              "X 1 1000|A 1 100|B 1 100|C 1 100|I 1 1000|R 1 1000|end");
}

TEST(WordScanner, HugeNumbersSaturateInsteadOfOverflowing) {
    const Case cases[] = {
        // Integer counts: the raw value pins at INT64_MAX.
        {"X99999999999999999999999", "X 9223372036854775807 9223372036854775807|end"},
        {"X-99999999999999999999999", "X -9223372036854775807 -9223372036854775807|end"},
        {"X9223372036854775807", "X 9223372036854775807 9223372036854775807|end"},
        // Decimal numbers: counts pin at the 32-bit range.
        {"X300000.", "X 300000 2147483647|end"},
        {"X-300000.", "X -300000 -2147483647|end"},
        {"X214748.3647", "X 2147483647 2147483647|end"},
        // Fraction digits beyond 64 bits are dropped, not turned into garbage.
        {"X1.0000000000000000000000000000", "X 1000000000000000000 10000|end"},
        {"X0.00000000000000000000000000000000000001", "X 1 0|end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(scanAll(c.line), c.words);
        EXPECT_EQ(scanAll<false>(c.line), c.words);
    }
}

TEST(WordScanner, ExactHalfCountsRoundLikeTheDivision) {
    // 0.00005 / 0.0001 - 0.5 is 0 in double arithmetic; the multiplication by
    // the reciprocal must not move such cases to the other count.
    for (const char* line : {"X0.00005", "X0.00015", "X-0.00025", "X1.00005", "X0.35", "X2.5"}) {
        SCOPED_TRACE(line);
        std::string s = line;
        std::size_t pos = 0;
        NcWord w;
        ASSERT_EQ(scanWord(s.data(), s.size(), pos, Resolutions(), w), kScanWord);
        double magnitude = std::abs(double(w.raw));
        std::size_t dot = s.find('.');
        for (std::size_t i = dot + 1; i < s.size(); ++i) magnitude *= 0.1;
        std::int64_t expect = std::int64_t(std::ceil(magnitude / 0.0001 - 0.5));
        EXPECT_EQ(w.counts, w.raw < 0 ? -expect : expect);
    }
}

// The fast path for ordinary numbers must agree with the general loop on
// every line, however odd.
TEST(WordScanner, FastPathAgreesWithTheGeneralLoopOnRandomLines) {
    std::mt19937 rng(17);
    const std::string alphabet = "XYZABCGIJKNF0123456789999999999.-  ()\r\t+x";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), len(0, 40);
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        for (std::size_t n = len(rng); n; --n) line += alphabet[pick(rng)];
        SCOPED_TRACE(line);
        std::string reference = scanAll<false>(line);
        ASSERT_EQ(scanAll(line), reference);
        ASSERT_EQ((scanAll<true, true>(line)), reference);
    }
}

} // namespace
