#include "korvex.h"
#include "machining/Kinematics.h"
#include "machining/MachineTable.h"
#include "shapes/MachineAxis.h"
#include "shapes/Placement.h"
#include "store/Session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

using namespace DQ;

namespace {

constexpr double kDeg = std::numbers::pi / 180;

class KinematicsTest : public testing::Test {
protected:
    void SetUp() override {
        dqCreateSession();
        cutter = dqGetParamTag(22);
        holder = dqGetParamTag(24);
        ASSERT_NE(cutter, 0u);
        ASSERT_NE(holder, 0u);
    }
    void TearDown() override { dqDestroySession(); }

    static double gauge() {
        unsigned reals = dqGetChild(dqGetParamTag(22), 0, 0, dqCClassRealList, nullptr);
        return *dqGetRealListElem(reals, 1);
    }
    // Gives the session an origin (class 2, six values).
    static void setOrigin(const double (&values)[6]) {
        unsigned tag = dqAddData(dqCClassOrigin, 0, dqCreateData(values, sizeof values));
        session().setStandardTag(Session::Origin, tag);
    }
    static void setChain(unsigned count, std::initializer_list<unsigned> order) {
        MachineRecord m{};
        m.count = count;
        unsigned i = 0;
        for (unsigned a : order) m.order[i++] = a;
        dqAllocData(dqGetParamTag(33), &m);
    }
    static void setAxis(unsigned axis, const double (&pivot)[3], const double (&dir)[3]) {
        unsigned tag = dqGetParamTag(25 + axis);
        AxisRecord a = *static_cast<const AxisRecord*>(dqGetData(tag));
        std::memcpy(a.pivot, pivot, sizeof pivot);
        std::memcpy(a.direction, dir, sizeof dir);
        dqAllocData(tag, &a);
    }
    static void expectNear6(const double* a, const double* b, double eps) {
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(a[i], b[i], eps) << "component " << i;
    }

    unsigned cutter = 0, holder = 0;
};

} // namespace

TEST_F(KinematicsTest, SetUpPlacesCutterAndHolderBelowTheGaugePoint) {
    // L 18, holder end height 25, reference flag 1: reference at the centre
    // of the ball (corner radius 3).
    EXPECT_DOUBLE_EQ(dqGetCutterShiftLength(cutter), 3);
    EXPECT_DOUBLE_EQ(gauge(), 18 + 25 - 3);
    void* data = nullptr;
    dqGetChild(cutter, 0, 0, dqCClassPlacement, &data);
    const Placement cutterPlace = *static_cast<Placement*>(data);
    EXPECT_EQ(cutterPlace.position[2], -43);
    EXPECT_EQ(cutterPlace.axis[2], 1);
    EXPECT_EQ(cutterPlace.reference[0], 1);
    dqGetChild(holder, 0, 0, dqCClassPlacement, &data);
    EXPECT_EQ(static_cast<Placement*>(data)->position[2], -25);

    // Without the reference flag the tip is the reference point.
    unsigned ints = dqGetChild(cutter, 0, 0, dqCClassIntList, nullptr);
    dqSetIntListElem(ints, 0, 0);
    dqSetCutterLength(cutter, 30);
    dqSetToolPosition();
    EXPECT_DOUBLE_EQ(dqGetCutterShiftLength(cutter), 0);
    EXPECT_DOUBLE_EQ(gauge(), 55);
    dqGetChild(cutter, 0, 0, dqCClassPlacement, &data);
    EXPECT_EQ(static_cast<Placement*>(data)->position[2], -55);

    // The axes start at the settings' start values: Z 100, the rest 0.
    for (unsigned i = 0; i < 6; ++i) EXPECT_EQ(dqGetMachAxisValue(i), i == 2 ? 100.0 : 0.0);
}

TEST_F(KinematicsTest, MachineTableAndString) {
    char text[7] = "??????";
    dqGetMachineString(dqGetParamTag(33), text);
    EXPECT_STREQ(text, "ZXYABC");
    gqCMachineTableData t;
    dqGetMachineTable(&t);
    EXPECT_EQ(t.chainCount, 6u);
    const unsigned order[6] = {2, 0, 1, 3, 4, 5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(t.chainOrder[i], order[i]);
    EXPECT_STREQ(t.rotaryAxes, "ABC");
    EXPECT_EQ(t.toolLength, 18 + 25);
    EXPECT_EQ(t.tipOffset, 0);
    EXPECT_EQ(t.shiftType, 0u);
    EXPECT_EQ(t.axes[1].direction[1], 1);
    EXPECT_EQ(t.axes[5].direction[2], 1);

    double origin[6] = {1, 2, 3, 4, 5, 6};
    unsigned shift = 2;
    double lengths[2] = {7, 8};
    dqGetMachineTable2(&t, origin, &shift, lengths);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(t.axisOffsets[i], origin[i]);
    EXPECT_EQ(t.shiftType, 2u);
    EXPECT_EQ(t.tipOffset, -7);
    EXPECT_EQ(t.toolLength, 8);
    dqGetMachineTable2(&t, nullptr, nullptr, nullptr);
    EXPECT_EQ(t.axisOffsets[3], 0);
    EXPECT_EQ(t.toolLength, 43);

    // Chains read from a file may be damaged: counts above 6 and axis
    // numbers beyond C are skipped, not followed.
    setChain(9, {4, 7, 5, 0, 100, 2});
    dqGetMachineString(dqGetParamTag(33), text);
    EXPECT_STREQ(text, "BCXZ");
    dqGetMachineTable(&t);
    EXPECT_STREQ(t.rotaryAxes, "BC");
    double values[6] = {1, 2, 3, 0.1, 0.2, 0.3}, out[6];
    t.GetMachinePos(values, out); // no out-of-range read (checked under ASan)
    setChain(0, {});
    dqGetMachineString(dqGetParamTag(33), text);
    EXPECT_STREQ(text, "");
    dqGetMachineString(0, text);
    EXPECT_STREQ(text, "");
    dqGetMachineTable(&t);
    EXPECT_STREQ(t.rotaryAxes, "");
}

TEST_F(KinematicsTest, SetMachAxisValueReportsChanges) {
    EXPECT_EQ(dqSetMachAxisValue(0, 5.0), 1);
    EXPECT_EQ(dqGetMachAxisValue(0), 5.0);
    EXPECT_EQ(dqSetMachAxisValue(0, 5.0), 0);
    EXPECT_EQ(dqSetMachAxisValue(0, 5.0 + 1e-7), 0);
    EXPECT_EQ(dqGetMachAxisValue(0), 5.0);
    EXPECT_EQ(dqSetMachAxisValue(3, -0.5), 1);
    EXPECT_EQ(dqGetMachAxisValue(3), -0.5);
    EXPECT_EQ(dqSetMachAxisValue(6, 1.0), 0);
    EXPECT_EQ(dqGetMachAxisValue(6), 0.0);
    EXPECT_EQ(dqSetMachAxisValue(1, std::nan("")), 0);

    unsigned mark = dqSetMark();
    EXPECT_EQ(dqSetMachAxisValue(2, 9.0), 1);
    dqSetMark();
    int count = 0;
    dqDoToMark(mark, 0, &count, nullptr);
    EXPECT_EQ(dqGetMachAxisValue(2), 100.0);
}

TEST(Rotation, MatchesRodriguesAndIsRightHanded) {
    double v[3] = {0, 1, 0};
    const double x[3] = {1, 0, 0};
    rotateAbout(x, std::numbers::pi / 2, v);
    EXPECT_NEAR(v[0], 0, 1e-15);
    EXPECT_NEAR(v[1], 0, 1e-15);
    EXPECT_NEAR(v[2], 1, 1e-15);

    std::mt19937 rng(3);
    std::normal_distribution<double> g;
    for (int i = 0; i < 200; ++i) {
        double u[3] = {g(rng), g(rng), g(rng)}, p[3] = {g(rng), g(rng), g(rng)};
        double t = g(rng) * 3;
        double len = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
        double k[3] = {u[0] / len, u[1] / len, u[2] / len};
        double kxp[3] = {k[1] * p[2] - k[2] * p[1], k[2] * p[0] - k[0] * p[2],
                         k[0] * p[1] - k[1] * p[0]};
        double kp = k[0] * p[0] + k[1] * p[1] + k[2] * p[2];
        double expected[3];
        for (int c = 0; c < 3; ++c)
            expected[c] = p[c] * std::cos(t) + kxp[c] * std::sin(t) + k[c] * kp * (1 - std::cos(t));
        rotateAbout(u, t, p);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], expected[c], 1e-12);
    }
}

TEST_F(KinematicsTest, ForwardTransformOfTheDefaultMachine) {
    const double values[6] = {10, 0, 0, 90 * kDeg, 0, 0};
    double out[6];
    dqGetMachinePos(values, out);
    const double expected[6] = {10, 0, 0, 0, -1, 0};
    expectNear6(out, expected, 1e-12);

    // The chain is Z, X, Y, A, B, C from the tool outward: C turns
    // everything, including the tilt made by A.
    const double tilted[6] = {0, 0, 5, 90 * kDeg, 0, 90 * kDeg};
    dqGetMachinePos(tilted, out);
    const double turned[6] = {5, 0, 0, 1, 0, 0};
    expectNear6(out, turned, 1e-12);
}

TEST_F(KinematicsTest, ToolPositionsByShiftType) {
    const double g = gauge();
    const double tool[6] = {1, 2, 3, 0, 0, 0};
    struct Case {
        unsigned shift;
        double expected[6];
    } cases[] = {
        {0, {1, 2, 3, 0, 0, 0}},
        {1, {1, 2, 3 + g, 0, 0, 0}},
        {2, {1, 2, 3 + g, 0, 0, 0}},
        {3, {1, 2, 3 + g, 0, 0, 0}}, // the tool axis is +Z
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shift);
        dqSetCutterShiftType(cutter, c.shift);
        double axes[6], back[6];
        dqGetCutterPos(tool, axes);
        expectNear6(axes, c.expected, 1e-12);
        dqGetCutterRevPos(axes, back);
        expectNear6(back, tool, 1e-12);
    }
    // Tilted 90 degrees about X, the tool axis is (0, -1, 0): the gauge
    // point lies g along it from the reference point.
    dqSetCutterShiftType(cutter, 3);
    const double tiltedTool[6] = {0, 0, 0, 90 * kDeg, 0, 0};
    double axes[6], reached[6];
    dqGetCutterPos(tiltedTool, axes);
    dqGetMachinePos(axes, reached);
    EXPECT_NEAR(reached[0], 0, 1e-9);
    EXPECT_NEAR(reached[1], -g, 1e-9);
    EXPECT_NEAR(reached[2], 0, 1e-9);
    EXPECT_NEAR(axes[3], 90 * kDeg, 1e-15);

    // Without a gauge offset (no real list entry 1) the shift is skipped.
    unsigned reals = dqGetChild(cutter, 0, 0, dqCClassRealList, nullptr);
    dqSetData(reals, nullptr);
    dqSetCutterShiftType(cutter, 1);
    dqGetCutterPos(tool, axes);
    expectNear6(axes, tool, 1e-12);
}

TEST_F(KinematicsTest, OriginShiftsEveryValue) {
    const double origin[6] = {100, 200, 300, 10 * kDeg, 0, 0};
    setOrigin(origin);
    const double tool[6] = {1, 2, 3, 0.5, 0.25, 0.125};
    double axes[6];
    dqSetCutterShiftType(cutter, 0);
    dqGetCutterPos(tool, axes);
    const double shifted[6] = {101, 202, 303, 0.5 + 10 * kDeg, 0.25, 0.125};
    expectNear6(axes, shifted, 1e-12);
}

// dqGetCutterRevPos(dqGetCutterPos(t)) == t over random tool positions, for
// every shift type, with and without an origin.
TEST_F(KinematicsTest, RoundTripOverRandomToolPositions) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> len(-500, 500), ang(-2 * std::numbers::pi,
                                                               2 * std::numbers::pi);
    for (bool withOrigin : {false, true}) {
        if (withOrigin) setOrigin({12.5, -40, 250, 0.3, -0.2, 1.1});
        for (unsigned shift = 0; shift < 4; ++shift) {
            SCOPED_TRACE(testing::Message() << "shift " << shift << " origin " << withOrigin);
            dqSetCutterShiftType(cutter, shift);
            for (int i = 0; i < 300; ++i) {
                const double tool[6] = {len(rng), len(rng), len(rng), ang(rng), ang(rng), ang(rng)};
                double axes[6], back[6];
                dqGetCutterPos(tool, axes);
                dqGetCutterRevPos(axes, back);
                expectNear6(back, tool, 1e-9);
                if (HasFailure()) return;
            }
        }
    }
}

// On a machine with pivots on its rotary axes, the axis values that
// dqGetCutterPos finds bring the tool reference point to the wanted point.
TEST_F(KinematicsTest, FiveAxisChainReachesTheWantedPoint) {
    struct Machine {
        const char* rotary;
        std::initializer_list<unsigned> order;
    } machines[] = {
        {"BC", {2, 0, 1, 4, 5}}, {"CB", {2, 0, 1, 5, 4}}, {"CA", {2, 0, 1, 5, 3}},
        {"AC", {2, 0, 1, 3, 5}}, {"AB", {2, 0, 1, 3, 4}}, {"BA", {2, 0, 1, 4, 3}},
    };
    setAxis(3, {0, 10, -50}, {1, 0, 0});
    setAxis(4, {20, 0, -30}, {0, 1, 0});
    setAxis(5, {5, 5, 0}, {0, 0, 1});
    setOrigin({10, 20, -100, 0, 0, 0});
    dqSetCutterShiftType(cutter, 3);
    const double g = gauge();
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> len(-300, 300), ang(-1.5, 1.5);
    std::bernoulli_distribution zero(0.4);
    for (const Machine& m : machines) {
        SCOPED_TRACE(m.rotary);
        setChain(5, m.order);
        gqCMachineTableData t;
        dqGetMachineTable(&t);
        EXPECT_STREQ(t.rotaryAxes, m.rotary);
        double origin[6] = {10, 20, -100, 0, 0, 0}, base[6];
        t.GetMachinePos(origin, base);
        for (int i = 0; i < 200; ++i) {
            // Rotary values are often exactly 0, so the re-expression runs.
            double tool[6] = {len(rng), len(rng), len(rng), 0, 0, 0};
            for (int r = 3; r < 6; ++r) tool[r] = zero(rng) ? 0 : ang(rng);
            double axes[6], pose[6];
            dqGetCutterPos(tool, axes);
            t.GetMachinePos(axes, pose);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(pose[c] - g * pose[3 + c] - base[c], tool[c], 1e-9) << c;
            if (HasFailure()) return;
        }
    }
}

TEST_F(KinematicsTest, FiveAxisReexpression) {
    setChain(5, {2, 0, 1, 4, 5}); // B and C only
    gqCMachineTableData t;
    dqGetMachineTable(&t);
    struct Case {
        const char* rotary;
        double in[3], out[3];
    } cases[] = {
        {"BC", {30, 0, 10}, {0, 30, -80}},
        {"BC", {30, 5, 10}, {30, 5, 10}}, // B already used: nothing
        {"CB", {30, 7, 0}, {0, 97, 30}},
        {"CA", {4, 30, 0}, {-86, 0, 30}},
        {"AC", {0, 30, 1}, {30, 0, 91}},
        {"AB", {0, 2, 30}, {30, -88, 0}},
        {"BA", {3, 0, 30}, {93, 30, 0}},
        {"AB", {0, 0, 0}, {0, 0, 0}},
        {"ABC", {30, 0, 0}, {30, 0, 0}}, // not a five-axis text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotary);
        std::strcpy(t.rotaryAxes, c.rotary);
        double v[6] = {0, 0, 0, c.in[0] * kDeg, c.in[1] * kDeg, c.in[2] * kDeg};
        t.ReexpressRotary(v);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[3 + i], c.out[i] * kDeg, 1e-12);
    }
    // The B/C machine asked for A = 30 degrees tilts the tool the same way.
    dqSetCutterShiftType(cutter, 3);
    const double tool[6] = {0, 0, 0, 30 * kDeg, 0, 0};
    double axes[6];
    dqGetCutterPos(tool, axes);
    EXPECT_NEAR(axes[3], 0, 1e-15);
    EXPECT_NEAR(axes[4], 30 * kDeg, 1e-12);
    EXPECT_NEAR(axes[5], -90 * kDeg, 1e-12);
    double pose[6];
    dqGetMachinePos(axes, pose);
    EXPECT_NEAR(pose[3], 0, 1e-12);
    EXPECT_NEAR(pose[4], -0.5, 1e-12);
    EXPECT_NEAR(pose[5], std::sqrt(3) / 2, 1e-12);
}

TEST_F(KinematicsTest, SingularArrangementKeepsTheTarget) {
    setAxis(0, {0, 0, 0}, {0, 1, 0}); // X along Y: no way to move along x
    gqCMachineTableData t;
    dqGetMachineTable(&t);
    const double target[6] = {1, 2, 3, 0, 0, 0};
    double out[6];
    t.GetAxisValues(target, out);
    expectNear6(out, target, 0);
}

TEST_F(KinematicsTest, InverseUndoesForwardOnASkewedMachine) {
    // Linear axes that are not orthogonal, rotary axes with pivots: the
    // inverse still lands exactly, since the linear axes enter linearly.
    const double s = 1 / std::sqrt(2.0);
    setAxis(0, {1, 2, 3}, {1, 0, 0});
    setAxis(1, {0, 0, 0}, {s, s, 0});
    setAxis(2, {0, -4, 0}, {0, 0, 1});
    setAxis(3, {0, 0, 40}, {1, 0, 0});
    setAxis(4, {7, 0, 0}, {0, s, s});
    gqCMachineTableData t;
    dqGetMachineTable(&t);
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> len(-100, 100), ang(-3, 3);
    for (int i = 0; i < 300; ++i) {
        double target[6] = {len(rng), len(rng), len(rng), ang(rng), ang(rng), ang(rng)};
        double values[6], pose[6];
        t.GetAxisValues(target, values);
        t.GetMachinePos(values, pose);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(pose[c], target[c], 1e-9);
        for (int c = 3; c < 6; ++c) EXPECT_EQ(values[c], target[c]);
    }
}

TEST_F(KinematicsTest, AbsolutePositionOfAMountedElement) {
    // Without pivots the mounted cutter's frame is the forward transform.
    const double values[6] = {10, 20, 30, 0.3, -0.4, 0.5};
    for (unsigned i = 0; i < 6; ++i) dqSetMachAxisValue(i, values[i]);
    double abs[6], fwd[6];
    dqGetCutterAbsPosition(cutter, abs);
    dqGetMachinePos(values, fwd);
    expectNear6(abs, fwd, 1e-12);

    // Mounted from chain position 3 on: only A, B, C move it.
    unsigned mount = 3;
    dqAllocChild(cutter, 0, 0, dqCClassAxisMount, &mount);
    const double rotaryOnly[6] = {0, 0, 0, 0.3, -0.4, 0.5};
    dqGetMachinePos(rotaryOnly, fwd);
    dqGetCutterAbsPosition(cutter, abs);
    expectNear6(abs, fwd, 1e-12);

    // The offset child translates in the mounted frame.
    const double offset[6] = {0, 0, 5, 0, 0, 0};
    dqAllocChild(cutter, 0, 0, dqCClassOffset, offset);
    dqGetCutterAbsPosition(cutter, abs);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(abs[c], 5 * fwd[3 + c], 1e-12);

    // An element without a mount child stays at the origin.
    unsigned block = dqCreateBlock(1, 1, 1);
    dqGetCutterAbsPosition(block, abs);
    const double still[6] = {0, 0, 0, 0, 0, 1};
    expectNear6(abs, still, 0);
}
