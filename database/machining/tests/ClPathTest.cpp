#include "NcTestSupport.h"

#include "machining/ClRecord.h"
#include "machining/TraceCursor.h"
#include "store/Session.h"
#include "store/TypedList.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

using namespace DQ;
using nctest::bufferOf;

namespace {

constexpr double deg(double d) { return d * std::numbers::pi / 180.0; }

class ClPath : public nctest::SessionTest {};

std::vector<unsigned> childClasses(unsigned tag) {
    std::vector<unsigned> out;
    unsigned it;
    for (unsigned c = dqGetFirstChildTag(tag, 0, &it); c; c = dqGetNextChildTag(&it))
        out.push_back(dqGetClass(c));
    return out;
}

TEST_F(ClPath, LoadMakesTheElementWithItsEightChildren) {
    nctest::TempFile file("G01 X1. Y2.\n");
    double progress = 0;
    unsigned tag = dqCreateCLFromNCFile(file.path(), &progress);
    ASSERT_NE(tag, 0u);
    EXPECT_EQ(dqGetClass(tag), dqCClassClPath);
    EXPECT_EQ(dqGetClass(tag + 1), dqCClassChildHead);
    EXPECT_EQ(*static_cast<unsigned*>(dqGetData(tag + 1)), tag);
    EXPECT_EQ(childClasses(tag), (std::vector<unsigned>{1000, 1016, 1013, 1013, 1017, 1001, 1018, 1007}));

    void* data;
    dqGetChild(tag, 0, 0, dqCClassFilePath, &data);
    EXPECT_STREQ(static_cast<char*>(data), file.path());

    unsigned ints = dqGetChild(tag, 0, 0, dqCClassIntList, nullptr);
    std::vector<unsigned> iv;
    for (unsigned i = 0; dqGetIntListElem(ints, i); ++i) iv.push_back(*dqGetIntListElem(ints, i));
    // The session's cutter and origin, when the set-up makes them (0 otherwise).
    unsigned cutter = dqGetParamTag(22);
    const unsigned* shift = dqGetIntListElem(dqGetChild(cutter, 0, 0, dqCClassIntList, nullptr), 1);
    const double* gauge = dqGetRealListElem(dqGetChild(cutter, 0, 0, dqCClassRealList, nullptr), 1);
    const double* origin = dqGetParamTag(7) ? static_cast<double*>(dqGetData(dqGetParamTag(7))) : nullptr;
    EXPECT_EQ(iv, (std::vector<unsigned>{0, 1, 0, 0, 0, 0, 0, 0, 0, shift ? *shift : 0}));

    dqGetChild(tag, 0, 0, dqCClassDouble, &data);
    EXPECT_EQ(*static_cast<double*>(data), 1.0);
    dqGetChild(tag, 0, 1, dqCClassDouble, &data);
    EXPECT_EQ(*static_cast<double*>(data), 3.0);

    unsigned reals = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
    double expect[21] = {deg(10), deg(10), 0.01, deg(0.01), deg(0.01), deg(50), 0, 0, 1, 0, 5.0,
                         0, 0, 0, 0, 0, 0, 0, 0, 0.01, 50.0};
    for (int i = 0; i < 6 && origin; ++i) expect[11 + i] = origin[i];
    expect[17] = expect[18] = gauge ? *gauge : 0.0;
    for (unsigned i = 0; i < 21; ++i) {
        ASSERT_NE(dqGetRealListElem(reals, i), nullptr) << i;
        EXPECT_DOUBLE_EQ(*dqGetRealListElem(reals, i), expect[i]) << i;
    }
    EXPECT_EQ(dqGetRealListElem(reals, 21), nullptr);

    dqGetChild(tag, 0, 0, dqCClassColor, &data);
    const float blue[4] = {0, 0, 1, 1};
    EXPECT_EQ(std::memcmp(data, blue, 16), 0);
    unsigned colours = dqGetChild(tag, 0, 0, dqCClassColorList, nullptr);
    const float list[3][4] = {{0.1f, 0.1f, 0.1f, 1}, {1, 0.5f, 0.25f, 1}, {1, 0, 0, 1}};
    for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(std::memcmp(dqGetColorListElem(colours, i), list[i], 16), 0) << i;

    const TraceCursor* c = findCursor(tag);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->current, 8u);
    EXPECT_EQ(c->base, bufferOf(tag).size());
    const double pose[9] = {0, 0, 100, 0, 0, 0, 0, 0, 100};
    EXPECT_EQ(std::memcmp(c->currentPose.v, pose, sizeof pose), 0);
    EXPECT_EQ(std::memcmp(c->basePose.v, pose, sizeof pose), 0);
    EXPECT_EQ(progress, 1.0);
}

TEST_F(ClPath, ChildrenAreCopiedFromTheSessionAtLoadTime) {
    dqSetIntListElem(dqGetParamTag(36), 0, 1);
    dqSetIntListElem(dqGetParamTag(36), 1, 0);
    dqSetRealListElem(dqGetParamTag(37), 0, 2.5);
    dqSetRealListElem(dqGetParamTag(37), 24, 7.0);
    const float red[4] = {1, 0, 0, 1};
    dqSetColorListElem(dqGetParamTag(38), 2, red);

    // An origin and a cutter with its lists, as the session set-up will make them.
    const double origin[6] = {1, 2, 3, 4, 5, 6};
    unsigned o = dqAddData(dqCClassOrigin, 0, dqCreateData(origin, sizeof origin));
    session().setStandardTag(Session::Origin, o);
    unsigned cutter = dqAddData(dqCClassCutter, 0, dqCreateData(nullptr, 96));
    unsigned head = cutter;
    dqAddData(dqCClassChildHead, 0, dqCreateData(&head, 4));
    const unsigned cutterInts[2] = {1, 3};
    const double cutterReals[2] = {0.01, 42.5};
    dqSetChild(cutter, 0, 0, dqCClassIntList, newIntList(2, cutterInts));
    dqSetChild(cutter, 0, 0, dqCClassRealList, newRealList(2, cutterReals));
    session().setStandardTag(Session::Cutter, cutter);

    unsigned tag = load("X1\n");
    ASSERT_NE(tag, 0u);
    unsigned ints = dqGetChild(tag, 0, 0, dqCClassIntList, nullptr);
    EXPECT_EQ(*dqGetIntListElem(ints, 0), 1u);
    EXPECT_EQ(*dqGetIntListElem(ints, 1), 0u);
    EXPECT_EQ(dqGetCLCutterShiftType(tag), 3u);
    void* data;
    dqGetChild(tag, 0, 0, dqCClassDouble, &data);
    EXPECT_EQ(*static_cast<double*>(data), 2.5);
    unsigned reals = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
    EXPECT_EQ(*dqGetRealListElem(reals, 10), 7.0);
    EXPECT_EQ(*dqGetRealListElem(reals, 17), 42.5);
    EXPECT_EQ(*dqGetRealListElem(reals, 18), 42.5);
    const double* stored = dqGetCLOrigin(tag);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::vector<double>(stored, stored + 6), std::vector<double>(origin, origin + 6));
    dqGetChild(tag, 0, 0, dqCClassColor, &data);
    EXPECT_EQ(std::memcmp(data, red, 16), 0);

    // Later changes of the session leave the loaded path alone.
    const double moved[6] = {9, 9, 9, 9, 9, 9};
    dqAllocData(o, moved);
    dqSetIntListElem(dqGetChild(cutter, 0, 0, dqCClassIntList, nullptr), 1, 2);
    EXPECT_EQ(dqGetCLOrigin(tag)[0], 1.0);
    EXPECT_EQ(dqGetCLCutterShiftType(tag), 3u);
}

TEST_F(ClPath, MissingSettingsGiveTheFallbacks) {
    // Settings lists cut down to one entry: every other source is missing.
    dqSetData(dqGetParamTag(36), newIntList(1, nullptr));
    dqSetData(dqGetParamTag(37), newRealList(1, nullptr));
    dqSetData(dqGetParamTag(38), newColorList(1, nullptr));
    unsigned tag = load("X10\n");
    ASSERT_NE(tag, 0u);
    std::vector<unsigned char> buf = bufferOf(tag);
    EXPECT_EQ(loadF64(&buf[32]), 100.0); // start Z
    EXPECT_EQ(loadF64(&buf[104]), 10 * 0.0001);
    unsigned ints = dqGetChild(tag, 0, 0, dqCClassIntList, nullptr);
    EXPECT_EQ(*dqGetIntListElem(ints, 1), 1u);
    void* data;
    dqGetChild(tag, 0, 1, dqCClassDouble, &data);
    EXPECT_EQ(*static_cast<double*>(data), 3.0);
    unsigned reals = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
    EXPECT_DOUBLE_EQ(*dqGetRealListElem(reals, 5), deg(50));
    EXPECT_EQ(*dqGetRealListElem(reals, 20), 50.0);
    dqGetChild(tag, 0, 0, dqCClassColor, &data);
    const float blue[4] = {0, 0, 1, 1}, black[4] = {0, 0, 0, 1};
    EXPECT_EQ(std::memcmp(data, blue, 16), 0);
    unsigned colours = dqGetChild(tag, 0, 0, dqCClassColorList, nullptr);
    for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(std::memcmp(dqGetColorListElem(colours, i), black, 16), 0);
}

TEST_F(ClPath, UndoThroughTheJournalBringsTheBufferBackByteForByte) {
    dqSetMark();
    unsigned tag = load("G90 G17\nG01 X1. Y2.\nG02 X3. I1. J1.\nA30. B-20. C400.\n");
    ASSERT_NE(tag, 0u);
    std::vector<unsigned char> loaded = bufferOf(tag);
    unsigned afterLoad = dqSetMark();
    dqStartCLTrace(tag);
    dqGoCLNextTrace(tag);
    dqSetMark();
    dqDeleteTag(tag);
    dqSetMark();
    EXPECT_EQ(dqGetData(tag), nullptr);

    int count = 0;
    dqDoToMark(afterLoad, 0, &count, nullptr); // through the journal file
    EXPECT_EQ(bufferOf(tag), loaded);
    const TraceCursor* c = findCursor(tag);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->current, 8u); // the trace step came after the mark
}

} // namespace
