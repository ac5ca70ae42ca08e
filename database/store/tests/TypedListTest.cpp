// Integer, real and colour lists: byte layouts, growth and copy-on-write.
#include "StoreTestSupport.h"
#include "store/ClassSize.h"
#include "store/TypedList.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace storetest;

namespace {

class TypedList : public ::testing::Test {
protected:
    FreshSession session;
    static unsigned intList() { return dqGetParamTag(36); }
    static unsigned realList() { return dqGetParamTag(37); }
    static unsigned colorList() { return dqGetParamTag(38); }
    static std::uint32_t word(unsigned tag, int i) {
        std::uint32_t w;
        std::memcpy(&w, static_cast<char*>(dqGetData(tag)) + 4 * i, 4);
        return w;
    }
};

// The lists are stored byte for byte in the journal and in scene files.
TEST_F(TypedList, GoldenByteLayouts) {
    const unsigned ints[2] = {7, 0x01020304};
    const double reals[1] = {1.5};
    const float colour[4] = {1.0f, 0.5f, 0.0f, 0.25f};
    struct Case {
        const char* name;
        void* block;
        dqCClassEnum cls;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"integer", DQ::newIntList(2, ints), dqCClassIntList,
         {2, 0, 0, 0, 7, 0, 0, 0, 4, 3, 2, 1}},
        {"real", DQ::newRealList(1, reals), dqCClassRealList,
         {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}},
        {"colour", DQ::newColorList(1, colour), dqCClassColorList,
         {1, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0, 0x3F, 0, 0, 0, 0, 0, 0, 0x80, 0x3E}},
        {"empty integer", DQ::newIntList(0, nullptr), dqCClassIntList, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned t = dqAddData(c.cls, 0, c.block);
        ASSERT_NE(dqGetData(t), nullptr);
        EXPECT_EQ(bytesOf(dqGetData(t), c.bytes.size()), c.bytes);
    }
}

TEST_F(TypedList, GettersStopAtTheCount) {
    ASSERT_NE(dqGetRealListElem(realList(), 26), nullptr);
    EXPECT_EQ(*dqGetRealListElem(realList(), 26), 50.0);
    EXPECT_EQ(dqGetRealListElem(realList(), 27), nullptr);
    EXPECT_EQ(dqGetIntListElem(intList(), 7), nullptr);
    EXPECT_EQ(dqGetColorListElem(colorList(), 11), nullptr);
    // A tag of another kind is not read as a list.
    EXPECT_EQ(dqGetIntListElem(realList(), 0), nullptr);
    EXPECT_EQ(dqGetIntListElem(dqGetHighestTag() + 3, 0), nullptr);
}

TEST_F(TypedList, SettingInsideKeepsTheCountAndBeyondGrowsIt) {
    dqSetIntListElem(intList(), 2, 25);
    EXPECT_EQ(word(intList(), 0), 7u);
    EXPECT_EQ(*dqGetIntListElem(intList(), 2), 25u);

    dqSetIntListElem(intList(), 9, 99);
    EXPECT_EQ(word(intList(), 0), 10u);
    const unsigned expected[7] = {0, 1, 25, 0, 0, 0, 0};
    for (unsigned i = 0; i < 7; ++i) EXPECT_EQ(*dqGetIntListElem(intList(), i), expected[i]) << i;
    EXPECT_EQ(*dqGetIntListElem(intList(), 9), 99u);

    const float red[4] = {1, 0, 0, 1};
    dqSetColorListElem(colorList(), 11, red);
    EXPECT_EQ(word(colorList(), 0), 12u);
    EXPECT_EQ(DQ::classSize(dqCClassColorList, dqGetData(colorList())), 196u);

    dqSetRealListElem(realList(), 29, 4.0);
    EXPECT_EQ(word(realList(), 0), 30u);
    EXPECT_EQ(word(realList(), 1), 27u); // the second word keeps the count it was made with
}

TEST_F(TypedList, RunsCopyValuesAndARunPastTheCountStillReplacesTheBlock) {
    const double values[3] = {7, 8, 9};
    dqSetRealListElems(realList(), 25, 3, values);
    EXPECT_EQ(word(realList(), 0), 28u);
    EXPECT_EQ(*dqGetRealListElem(realList(), 27), 9.0);

    void* before = dqGetData(intList());
    dqSetIntListElems(intList(), 12, 0, nullptr); // grows to 12, writes nothing
    EXPECT_NE(dqGetData(intList()), before);
    EXPECT_EQ(word(intList(), 0), 12u);
}

TEST_F(TypedList, OldPointersKeepOldValuesAndUndoRestores) {
    unsigned* old = dqGetIntListElem(intList(), 2);
    ASSERT_EQ(*old, 10u);
    dqSetMark();
    dqSetIntListElem(intList(), 2, 11);
    dqSetMark();
    EXPECT_EQ(*old, 10u);
    EXPECT_EQ(*dqGetIntListElem(intList(), 2), 11u);
    int count;
    dqDoToMark(dqGetUndoMark(), 0, &count, nullptr);
    EXPECT_EQ(*dqGetIntListElem(intList(), 2), 10u);
}

TEST_F(TypedList, ListWithoutDataIsLeftAlone) {
    unsigned t = dqAddData(dqCClassIntList, 0, nullptr);
    dqSetIntListElem(t, 0, 5);
    EXPECT_EQ(dqGetData(t), nullptr);
    EXPECT_EQ(dqGetIntListElem(t, 0), nullptr);
}

} // namespace
