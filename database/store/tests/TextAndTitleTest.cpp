// The scene title and the two text utilities.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace storetest;

namespace {

TEST(TextUtil, FloatStringDropsSpacesAndTrailingZeros) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"12.5000", "12.5"}, {"12.000", "12."}, {"1 200", "1200"}, {"0.0", "0."},
        {" -3.1400 ", "-3.14"}, {"100", "100"}, {"", ""},        {"1.05", "1.05"},
        {"10.010", "10.01"}, {" ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::string s = c.in;
        dqChangeFloatString(s.data());
        EXPECT_STREQ(s.c_str(), c.out);
    }
}

TEST(TextUtil, LinedStringFoldsBlanks) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"\tG01  X10\t\tY5 ", "G01 X10 Y5 "},
        {"   ", ""},
        {"A", "A"},
        {"a \t b", "a b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::string s = c.in;
        dqChangeLinedString(s.data());
        EXPECT_STREQ(s.c_str(), c.out);
    }
}

TEST(Title, IsCopiedAndNotPartOfTheHistory) {
    FreshSession session;
    EXPECT_EQ(dqGetTitle(), nullptr);
    char text[] = "Part A";
    dqSetMark();
    dqSetTitle(text);
    text[0] = 'X';
    EXPECT_STREQ(dqGetTitle(), "Part A");
    unsigned t = dqAddData(dqCClassDouble, 0, nullptr);
    dqSetData(t, block(1.0));
    dqSetMark();
    int count;
    dqDoToMark(dqGetUndoMark(), 0, &count, nullptr);
    EXPECT_STREQ(dqGetTitle(), "Part A");
    dqSetTitle(nullptr);
    EXPECT_STREQ(dqGetTitle(), "Part A");
}

} // namespace
