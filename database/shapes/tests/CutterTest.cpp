#include "korvex.h"
#include "shapes/Cutter.h"
#include "shapes/Tessellator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

using namespace DQ;

namespace {

// type, D, R, L, E, A (shank), H, K (taper end), S, N (neck)
struct Fields {
    unsigned type;
    double D, R, L, E, A, H, K, S, N;
};

CutterRecord recordOf(const Fields& f) {
    CutterRecord c{};
    c.type = f.type;
    c.diameter = f.D;
    c.cornerR = f.R;
    c.length = f.L;
    c.effectiveLength = f.E;
    c.axisDiameter = f.A;
    c.headLength = f.H;
    c.taperEnd = f.K;
    c.shiftLength = f.S;
    c.neckDiameter = f.N;
    return c;
}

void expectFields(const CutterRecord& c, const Fields& f) {
    EXPECT_EQ(c.type, f.type);
    EXPECT_NEAR(c.diameter, f.D, 1e-12);
    EXPECT_NEAR(c.cornerR, f.R, 1e-12);
    EXPECT_NEAR(c.length, f.L, 1e-12);
    EXPECT_NEAR(c.effectiveLength, f.E, 1e-12);
    EXPECT_NEAR(c.axisDiameter, f.A, 1e-12);
    EXPECT_NEAR(c.headLength, f.H, 1e-12);
    EXPECT_NEAR(c.taperEnd, f.K, 1e-12);
    EXPECT_NEAR(c.shiftLength, f.S, 1e-12);
    EXPECT_NEAR(c.neckDiameter, f.N, 1e-12);
    EXPECT_EQ(c.reserved0, 0u);
    EXPECT_EQ(c.reserved1, 0.0);
    EXPECT_EQ(c.reserved2, 0.0);
}

const Fields kDefault = {1, 6, 3, 18, 18, 6, 18, 18, 3, 6};
const Fields kShortBall = {1, 4, 2, 2, 2, 4, 2, 2, 0, 4};
const Fields kCorner = {3, 4, 1, 20, 10, 6, 12, 15, 0, 3};
const Fields kFlat = {2, 8, 0, 30, 20, 8, 25, 25, 0, 8};

class CutterTest : public testing::Test {
protected:
    void SetUp() override { dqCreateSession(); }
    void TearDown() override { dqDestroySession(); }

    static unsigned cutterWith(const Fields& f) {
        CutterRecord c = recordOf(f);
        return dqAddData(dqCClassCutter, 0, dqCreateData(&c, sizeof c));
    }
    static const CutterRecord& record(unsigned tag) {
        return *static_cast<const CutterRecord*>(dqGetData(tag));
    }
};

} // namespace

TEST_F(CutterTest, DefaultCutterAndItsChildren) {
    unsigned tag = dqCreateDefaultCutter();
    ASSERT_NE(tag, 0u);
    EXPECT_EQ(dqGetClass(tag), dqCClassCutter);
    expectFields(record(tag), kDefault);
    EXPECT_EQ(dqGetClass(tag + 1), dqCClassChildHead);
    EXPECT_EQ(*static_cast<unsigned*>(dqGetData(tag + 1)), tag);

    void* data = nullptr;
    ASSERT_NE(dqGetChild(tag, 0, 0, dqCClassColor, &data), 0u);
    const float* head = static_cast<float*>(data);
    EXPECT_EQ(head[0], 0.5f);
    EXPECT_EQ(head[2], 1.0f);
    unsigned colors = dqGetChild(tag, 0, 0, dqCClassColorList, nullptr);
    ASSERT_NE(dqGetColorListElem(colors, 0), nullptr);
    EXPECT_EQ(dqGetColorListElem(colors, 0)[0], 0.75f);
    EXPECT_EQ(dqGetColorListElem(colors, 1), nullptr);
    unsigned ints = dqGetChild(tag, 0, 0, dqCClassIntList, nullptr);
    EXPECT_EQ(*dqGetIntListElem(ints, 0), 1u);
    EXPECT_EQ(*dqGetIntListElem(ints, 1), 1u);
    unsigned reals = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
    const double expected[9] = {0.01, 0.0, 0.01, 0.01, 0.0, 0.05, 0.01, 0.1, 0.1};
    for (unsigned i = 0; i < 9; ++i) EXPECT_EQ(*dqGetRealListElem(reals, i), expected[i]);
    EXPECT_EQ(dqGetRealListElem(reals, 9), nullptr);
    ASSERT_NE(dqGetChild(tag, 0, 0, dqCClassPlacement, &data), 0u);
    const double identity[9] = {0, 0, 0, 0, 0, 1, 1, 0, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(static_cast<double*>(data)[i], identity[i]);
    ASSERT_NE(dqGetChild(tag, 0, 0, dqCClassAxisMount, &data), 0u);
    EXPECT_EQ(*static_cast<unsigned*>(data), 0u);

    // The children follow in the creation order.
    const dqCClassEnum order[] = {dqCClassColor,    dqCClassColorList, dqCClassIntList,
                                  dqCClassRealList, dqCClassPlacement, dqCClassAxisMount};
    unsigned it = 0, child = dqGetFirstChildTag(tag, 0, &it);
    for (dqCClassEnum cls : order) {
        ASSERT_NE(child, 0u);
        EXPECT_EQ(dqGetClass(child), cls);
        child = dqGetNextChildTag(&it);
    }
    EXPECT_EQ(child, 0u);
}

TEST_F(CutterTest, SettersApplyTheDependencyRules) {
    using Set = std::function<void(unsigned)>;
    auto type = [](unsigned v) { return Set([v](unsigned t) { dqSetCutterType(t, v); }); };
    auto with = [](void (*f)(unsigned, double), double v) {
        return Set([f, v](unsigned t) { f(t, v); });
    };
    const double taperAt = 12 + 1.5 * (8 / 1.5); // angle raised to reach L exactly
    struct Case {
        const char* what;
        Fields start;
        Set set;
        Fields after;
    } cases[] = {
        {"D 10 on the default: R follows, lengths stay", kDefault, with(dqSetCutterDiameter, 10),
         {1, 10, 5, 18, 18, 10, 18, 18, 3, 10}},
        {"D 10 on a short ball raises all heights by 3", kShortBall,
         with(dqSetCutterDiameter, 10), {1, 10, 5, 5, 5, 10, 5, 5, 0, 10}},
        {"D on a corner end keeps a fitting corner", kCorner, with(dqSetCutterDiameter, 8),
         {3, 8, 1, 20, 10, 10, 12, 15, 0, 7}},
        {"D narrower than the corner clamps the corner", kCorner, with(dqSetCutterDiameter, 1.5),
         {3, 1.5, 0.75, 20, 10, 3.5, 12, 15, 0, 0.5}},
        {"D shrinking the neck to nothing stops at 0.01", kCorner,
         with(dqSetCutterDiameter, 0.5), {3, 0.5, 0.25, 20, 10, 2.5, 12, 15, 0, 0.01}},
        {"type 2 zeroes the corner", kDefault, type(2), {2, 6, 0, 18, 18, 6, 18, 18, 3, 6}},
        {"type 1 restores R = D/2", kFlat, type(1), {1, 8, 4, 30, 20, 8, 25, 25, 0, 8}},
        {"type 1 on a short head raises it", {3, 8, 1, 5, 2, 8, 2, 3, 0, 8}, type(1),
         {1, 8, 4, 7, 4, 8, 4, 5, 0, 8}},
        {"type 3 changes nothing else", kDefault, type(3), {3, 6, 3, 18, 18, 6, 18, 18, 3, 6}},
        {"corner R widens a corner end", kCorner, with(dqSetCutterCornerR, 3),
         {3, 6, 3, 20, 10, 8, 12, 15, 0, 5}},
        {"corner R on a ball sets D only", kDefault, with(dqSetCutterCornerR, 2),
         {1, 4, 2, 18, 18, 6, 18, 18, 3, 6}},
        {"corner R on a flat end is stored", kFlat, with(dqSetCutterCornerR, 1),
         {2, 8, 1, 30, 20, 8, 25, 25, 0, 8}},
        {"length 5 pulls the heights down", kDefault, with(dqSetCutterLength, 5),
         {1, 6, 3, 5, 5, 6, 5, 5, 3, 6}},
        {"length below R gives R", kDefault, with(dqSetCutterLength, 1),
         {1, 6, 3, 3, 3, 6, 3, 3, 3, 6}},
        {"neck above the shank stores the shank", kCorner, with(dqSetCutterNeckDiameter, 9),
         {3, 4, 1, 20, 10, 6, 12, 15, 0, 6}},
        {"shank below the neck stores the neck", kCorner, with(dqSetCutterAxisDiameter, 2),
         {3, 4, 1, 20, 10, 3, 12, 15, 0, 3}},
        {"head length moves the taper", kCorner, with(dqSetCutterHeadLength, 16),
         {3, 4, 1, 20, 10, 6, 16, 19, 0, 3}},
        {"head length below R gives R", kCorner, with(dqSetCutterHeadLength, 0.5),
         {3, 4, 1, 20, 10, 6, 1, 4, 0, 3}},
        {"head length pushing the taper past L", kCorner, with(dqSetCutterHeadLength, 18),
         {3, 4, 1, 21, 10, 6, 18, 21, 0, 3}},
        {"effective length above the head", kCorner, with(dqSetCutterEffectiveLength, 14),
         {3, 4, 1, 20, 14, 6, 14, 17, 0, 3}},
        {"effective length below R gives R", kCorner, with(dqSetCutterEffectiveLength, 0.5),
         {3, 4, 1, 20, 1, 6, 12, 15, 0, 3}},
        {"effective length pushing past L", kCorner, with(dqSetCutterEffectiveLength, 19),
         {3, 4, 1, 22, 19, 6, 19, 22, 0, 3}},
        {"shank angle 45 degrees", kCorner, with(dqSetCutterShankAngle, std::numbers::pi / 4),
         {3, 4, 1, 20, 10, 6, 12, 13.5, 0, 3}},
        {"small shank angle is raised to reach L", kCorner, with(dqSetCutterShankAngle, 0.1),
         {3, 4, 1, 20, 10, 6, 12, taperAt, 0, 3}},
        {"shank angle -1 acts as 0", kCorner, with(dqSetCutterShankAngle, -1),
         {3, 4, 1, 20, 10, 6, 12, taperAt, 0, 3}},
        {"shank angle 2 acts as pi/2", kCorner, with(dqSetCutterShankAngle, 2),
         {3, 4, 1, 20, 10, 6, 12, 12, 0, 3}},
        {"shank angle without a taper changes nothing", kDefault,
         with(dqSetCutterShankAngle, 0.5), kDefault},
        {"shift length takes any value", kDefault, with(dqSetCutterShiftLength, -2),
         {1, 6, 3, 18, 18, 6, 18, 18, -2, 6}},
        // Refused values change nothing.
        {"D below 0.01", kDefault, with(dqSetCutterDiameter, 0.005), kDefault},
        {"D NaN", kDefault, with(dqSetCutterDiameter, std::nan("")), kDefault},
        {"L below 0.01", kDefault, with(dqSetCutterLength, 0.0099), kDefault},
        {"H below 0.01", kDefault, with(dqSetCutterHeadLength, -1), kDefault},
        {"E below 0.01", kDefault, with(dqSetCutterEffectiveLength, 0), kDefault},
        {"R below 0.01", kDefault, with(dqSetCutterCornerR, 0.001), kDefault},
        {"neck below 0.01", kCorner, with(dqSetCutterNeckDiameter, 0.001), kCorner},
        {"shank below 0.01", kCorner, with(dqSetCutterAxisDiameter, 0.001), kCorner},
        {"type 0", kDefault, type(0), kDefault},
        {"type 4", kDefault, type(4), kDefault},
        {"exactly 0.01 is accepted", kCorner, with(dqSetCutterNeckDiameter, 0.01),
         {3, 4, 1, 20, 10, 6, 12, 15, 0, 0.01}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unsigned tag = cutterWith(c.start);
        const void* before = dqGetData(tag);
        c.set(tag);
        expectFields(record(tag), c.after);
        // Copy-on-write: the old block still shows the starting values.
        expectFields(*static_cast<const CutterRecord*>(before), c.start);
    }
}

TEST_F(CutterTest, DerivedEffectiveHeightAndShankAngle) {
    struct Case {
        const char* what;
        Fields f;
        double height, angle;
    } cases[] = {
        {"default", kDefault, 18, 0},
        {"corner end: E below H", kCorner, 10, std::atan2(1.5, 3)},
        {"taper end at the head length", {3, 4, 1, 20, 10, 6, 12, 12, 0, 3}, 10,
         std::numbers::pi / 2},
        {"H below E", {2, 4, 0, 20, 15, 6, 12, 16, 0, 2}, 12, std::atan2(2, 4)},
        {"corner radius above both", {1, 10, 5, 20, 2, 10, 3, 3, 0, 10}, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unsigned tag = cutterWith(c.f);
        EXPECT_DOUBLE_EQ(dqGetCutterEffectiveLength(tag), c.height);
        EXPECT_DOUBLE_EQ(dqGetCutterShankAngle(tag), c.angle);
    }
}

TEST_F(CutterTest, GettersAndFallbacks) {
    unsigned tag = cutterWith(kCorner);
    EXPECT_EQ(dqGetCutterType(tag), 3u);
    EXPECT_EQ(dqGetCutterDiameter(tag), 4);
    EXPECT_EQ(dqGetCutterCornerR(tag), 1);
    EXPECT_EQ(dqGetCutterLength(tag), 20);
    EXPECT_EQ(dqGetCutterHeadLength(tag), 12);
    EXPECT_EQ(dqGetCutterAxisDiameter(tag), 6);
    EXPECT_EQ(dqGetCutterNeckDiameter(tag), 3);
    EXPECT_EQ(dqGetCutterShiftLength(tag), 0);
    EXPECT_EQ(dqGetCutterShiftType(tag), 0u); // no int list

    // No payload: tag 0 (whose data is the title), an empty element, a tag
    // beyond the highest, and a block too small to be a cutter.
    dqSetTitle("a title that is long enough to be mistaken for a cutter record if read");
    double block[3] = {1, 2, 3};
    unsigned small = dqAddData(dqCClassBlock, 0, dqCreateData(block, sizeof block));
    unsigned empty = dqAddData(dqCClassCutter, 0, nullptr);
    for (unsigned none : {0u, empty, small, dqGetHighestTag() + 5}) {
        SCOPED_TRACE(none);
        EXPECT_EQ(dqGetCutterType(none), 1u);
        EXPECT_EQ(dqGetCutterShiftType(none), 0u);
        for (auto get : {dqGetCutterDiameter, dqGetCutterAxisDiameter, dqGetCutterNeckDiameter,
                         dqGetCutterLength, dqGetCutterHeadLength, dqGetCutterCornerR,
                         dqGetCutterShiftLength, dqGetCutterEffectiveLength,
                         dqGetCutterShankAngle})
            EXPECT_EQ(get(none), 1.0);
        dqSetCutterDiameter(none, 5); // ignored, nothing to copy
    }
    EXPECT_EQ(dqGetData(empty), nullptr);
    EXPECT_EQ(static_cast<double*>(dqGetData(small))[0], 1.0);
}

TEST_F(CutterTest, ShiftTypeLivesInTheIntList) {
    unsigned tag = dqCreateDefaultCutter();
    EXPECT_EQ(dqGetCutterShiftType(tag), 1u);
    for (unsigned v : {0u, 3u, 2u}) {
        dqSetCutterShiftType(tag, v);
        EXPECT_EQ(dqGetCutterShiftType(tag), v);
    }
    dqSetCutterShiftType(tag, 4);
    EXPECT_EQ(dqGetCutterShiftType(tag), 2u);
    unsigned ints = dqGetChild(tag, 0, 0, dqCClassIntList, nullptr);
    EXPECT_EQ(*dqGetIntListElem(ints, 0), 1u); // the reference flag stays
}

TEST_F(CutterTest, ChangesAreJournaled) {
    unsigned tag = dqCreateDefaultCutter();
    unsigned mark = dqSetMark();
    ASSERT_NE(mark, 0u);
    dqSetCutterDiameter(tag, 10);
    dqSetCutterShiftType(tag, 3);
    dqSetMark();
    EXPECT_EQ(dqGetCutterDiameter(tag), 10);
    int count = 0;
    dqDoToMark(mark, 0, &count, nullptr);
    EXPECT_EQ(dqGetCutterDiameter(tag), 6);
    EXPECT_EQ(dqGetCutterShiftType(tag), 1u);
}

TEST(CutterProfile, ArcSegments) {
    // A tolerance of 0.01 on the default ball: alpha = acos(1 - 0.01/3),
    // (pi/2) / (2 alpha) = 9.6, so 10 segments.
    EXPECT_EQ(cutterArcSegments(3, 0.01), 10u);
    EXPECT_EQ(cutterArcSegments(3, 3), 6u);
    EXPECT_EQ(cutterArcSegments(3, 5), 6u);
    EXPECT_EQ(cutterArcSegments(1, 0.01), 6u); // 5.5 -> 6, also the lower bound
    EXPECT_EQ(cutterArcSegments(100, 0.01), 56u);
    EXPECT_EQ(cutterArcSegments(1e6, 1e-9), 512u);
}

namespace {

struct P {
    double r, z, nr, nz;
};

void expectProfile(const Profile& p, std::initializer_list<P> points) {
    ASSERT_EQ(p.valuesPerPoint, 4u);
    ASSERT_EQ(p.count(), points.size());
    unsigned i = 0;
    for (const P& e : points) {
        SCOPED_TRACE(testing::Message() << "point " << i);
        const double* v = p.point(i++);
        EXPECT_NEAR(v[0], e.r, 1e-12);
        EXPECT_NEAR(v[1], e.z, 1e-12);
        EXPECT_NEAR(v[2], e.nr, 1e-12);
        EXPECT_NEAR(v[3], e.nz, 1e-12);
    }
}

} // namespace

TEST(CutterProfile, HeadProfilesOfEveryTipType) {
    // Ball end, 6 segments (tolerance as large as the radius).
    {
        SCOPED_TRACE("ball");
        CutterRecord c = recordOf(kDefault);
        const double s = std::sin(std::numbers::pi / 12), k = std::cos(std::numbers::pi / 12);
        const double s2 = 0.5, k2 = std::sqrt(3) / 2, h = std::sqrt(0.5);
        expectProfile(cutterHeadProfile(c, 3),
                      {{0, 0, 0, -1},
                       {3 * s, 3 - 3 * k, s, -k},
                       {3 * s2, 3 - 3 * k2, s2, -k2},
                       {3 * h, 3 - 3 * h, h, -h},
                       {3 * k2, 3 - 3 * s2, k2, -s2},
                       {3 * k, 3 - 3 * s, k, -s},
                       {3, 3, 1, 0},
                       {3, 18, 1, 0},
                       {3, 18, 0, 1},
                       {0, 18, 0, 1}});
        EXPECT_EQ(cutterHeadProfile(c, 0.01).count(), 11u + 3u);
    }
    {
        SCOPED_TRACE("flat");
        expectProfile(cutterHeadProfile(recordOf(kFlat), 0.01),
                      {{0, 0, 0, -1}, {4, 0, 0, -1}, {4, 0, 1, 0}, {4, 20, 1, 0}, {4, 20, 0, 1},
                       {0, 20, 0, 1}});
    }
    {
        SCOPED_TRACE("corner radius");
        Profile p = cutterHeadProfile(recordOf(kCorner), 0.01);
        ASSERT_EQ(p.count(), 1u + 7u + 3u); // R 1 at 0.01: 6 segments
        expectProfile(p, {{0, 0, 0, -1},
                          {1, 0, 0, -1},
                          {1 + std::sin(std::numbers::pi / 12), 1 - std::cos(std::numbers::pi / 12),
                           std::sin(std::numbers::pi / 12), -std::cos(std::numbers::pi / 12)},
                          {1.5, 1 - std::sqrt(3) / 2, 0.5, -std::sqrt(3) / 2},
                          {1 + std::sqrt(0.5), 1 - std::sqrt(0.5), std::sqrt(0.5), -std::sqrt(0.5)},
                          {1 + std::sqrt(3) / 2, 0.5, std::sqrt(3) / 2, -0.5},
                          {1 + std::cos(std::numbers::pi / 12), 1 - std::sin(std::numbers::pi / 12),
                           std::cos(std::numbers::pi / 12), -std::sin(std::numbers::pi / 12)},
                          {2, 1, 1, 0},
                          {2, 10, 1, 0},
                          {2, 10, 0, 1},
                          {0, 10, 0, 1}});
    }
}

TEST(CutterProfile, ShankProfilesWithAndWithoutTaper) {
    expectProfile(cutterShankProfile(recordOf(kDefault)),
                  {{0, 18, 0, -1}, {3, 18, 0, -1}, {3, 18, 1, 0}, {3, 18, 1, 0}, {3, 18, 0, 1},
                   {0, 18, 0, 1}});
    const double l = std::sqrt(1.5 * 1.5 + 3 * 3);
    expectProfile(cutterShankProfile(recordOf(kCorner)),
                  {{0, 10, 0, -1},
                   {1.5, 10, 0, -1},
                   {1.5, 10, 1, 0},
                   {1.5, 12, 1, 0},
                   {1.5, 12, 3 / l, -1.5 / l},
                   {3, 15, 3 / l, -1.5 / l},
                   {3, 15, 1, 0},
                   {3, 20, 1, 0},
                   {3, 20, 0, 1},
                   {0, 20, 0, 1}});
}
