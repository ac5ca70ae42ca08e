// The three checks rendered for real in a headless context: blocks placed
// around the default tool (cutter length 18 below a holder of end height 25,
// so the tip lies 43 below the gauge point) and read back as depth buffers.
#include "HeadlessGL.h"
#include "korvex.h"
#include "machining/CheckRegion.h"
#include "machining/ToolPart.h"
#include "shapes/Cutter.h"
#include "shapes/Placement.h"
#include "shapes/SweepPath.h"
#include "store/Session.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace orvane_testing;
using DQ::CheckKind;

namespace {

constexpr double kTipBelowGauge = 43; // cutter length 18 + holder end height 25
constexpr double kGaugeZ = 50;        // axis Z of the test moves: tip at base z 7
constexpr double kTipZ = kGaugeZ - kTipBelowGauge;

struct Check {
    const char* name;
    bool (*pixel)(unsigned*);
    void (*prepare)(const double*, const double*);
    bool (*run)();
};
const Check kCutting{"cutting", dqGetCuttingCheckPixel, dqSetCuttingCheck, dqRunCuttingCheck};
const Check kShank{"shank", dqGetShankInterferenceCheckPixel, dqSetShankInterferenceCheck,
                   dqRunShankInterferenceCheck};
const Check kHolder{"holder", dqGetHolderInterferenceCheckPixel, dqSetHolderInterferenceCheck,
                    dqRunHolderInterferenceCheck};
const Check kAll[] = {kCutting, kShank, kHolder};

unsigned realList(unsigned tag) { return dqGetChild(tag, 0, 0, dqCClassRealList, nullptr); }

void placeAt(unsigned tag, double x, double y, double z) {
    DQ::Placement place = DQ::Placement::identity();
    place.position[0] = x;
    place.position[1] = y;
    place.position[2] = z;
    dqAllocChild(tag, 0, 0, dqCClassPlacement, &place);
}

// A block given by its extent along each axis in the base frame.
unsigned blockBetween(double x0, double x1, double y0, double y1, double z0, double z1) {
    unsigned tag = dqCreateBlock(x1 - x0, y1 - y0, z1 - z0);
    placeAt(tag, (x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2);
    return tag;
}

struct Move {
    double from[6] = {0, 0, kGaugeZ, 0, 0, 0};
    double to[6] = {0, 0, kGaugeZ, 0, 0, 0};
};

Move stay(double x = 0, double z = kGaugeZ) {
    Move m;
    m.from[0] = m.to[0] = x;
    m.from[2] = m.to[2] = z;
    return m;
}

class ChecksTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        dqCreateSession();
        for (unsigned entry : {3u, 4u, 5u}) dqSetIntListElem(dqGetParamTag(36), entry, 1);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { DQ::setSweepFastPath(true); }

    unsigned window(const Check& c) {
        unsigned n = 0;
        EXPECT_TRUE(c.pixel(&n)) << c.name;
        EXPECT_LE(n, unsigned(kMax)) << c.name;
        glViewport(0, 0, n, n);
        return n;
    }

    bool check(const Check& c, const Move& m) {
        window(c);
        const StackDepths before = stackDepths();
        c.prepare(m.from, m.to);
        const bool hit = c.run();
        EXPECT_EQ(stackDepths(), before) << c.name;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << c.name;
        return hit;
    }

    // The model's depth buffer as the preparation leaves it.
    std::vector<float> modelDepth(const Check& c, const Move& m) {
        unsigned n = window(c);
        c.prepare(m.from, m.to);
        std::vector<float> depth(std::size_t(n) * n);
        glReadPixels(0, 0, n, n, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        return depth;
    }

    static constexpr int kMax = 640;
    HeadlessGL gl{kMax, kMax};
};

} // namespace

TEST_F(ChecksTest, PixelQueriesFollowTheSwitchesAndPixelSizes) {
    unsigned n = 0;
    EXPECT_TRUE(dqGetCuttingCheckPixel(&n));
    EXPECT_EQ(n, 600u); // diameter 6 at 0.01
    EXPECT_TRUE(dqGetShankInterferenceCheckPixel(&n));
    EXPECT_EQ(n, 620u); // shank 6 plus twice 0.1 at 0.01
    EXPECT_TRUE(dqGetHolderInterferenceCheckPixel(&n));
    EXPECT_EQ(n, 64u); // radius 15 plus 1.0, at 0.5

    for (unsigned entry : {3u, 4u, 5u}) dqSetIntListElem(dqGetParamTag(36), entry, 0);
    for (const Check& c : kAll) {
        SCOPED_TRACE(c.name);
        unsigned untouched = 12345;
        EXPECT_FALSE(c.pixel(&untouched));
        EXPECT_EQ(untouched, 12345u);
    }
}

TEST_F(ChecksTest, WindowSizeIsBoundedForAnyPixelSize) {
    struct Case {
        double r, p;
        unsigned n;
    } cases[] = {
        {3, 0.01, 600},     {16, 0.5, 64},  {0.5, 1, 1},
        {0, 0.01, 1},       {-1, 0.01, 1},  {3, 0, DQ::kMaxCheckWindow},
        {3, -0.01, 1},      {3, NAN, 1},    {1e9, 0.01, DQ::kMaxCheckWindow},
        {3.000001, 0.01, 601},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "r " << c.r << " p " << c.p);
        EXPECT_EQ(DQ::checkWindowSize(c.r, c.p), c.n);
    }
}

TEST_F(ChecksTest, RegionsOfTheDefaultTool) {
    struct Case {
        CheckKind kind;
        double r, z0, z1;
    } cases[] = {
        {CheckKind::Cutting, 3.0, -43.0, -25.0},
        {CheckKind::Shank, 3.1, -25.1, 0.1},
        {CheckKind::Holder, 16.0, -26.0, 1.0},
    };
    for (const Case& c : cases) {
        DQ::CheckRegion g = DQ::checkRegion(c.kind);
        EXPECT_DOUBLE_EQ(g.r, c.r);
        EXPECT_DOUBLE_EQ(g.z0, c.z0);
        EXPECT_DOUBLE_EQ(g.z1, c.z1);
    }
}

TEST_F(ChecksTest, BlockBelowTheTipIsNoCutAboveItIsACut) {
    const unsigned block = blockBetween(-10, 10, -10, 10, kTipZ - 10.5, kTipZ - 0.5);
    EXPECT_FALSE(check(kCutting, stay()));
    dqSetBlock(block, 20, 20, 11); // top now 0.5 above the tip
    placeAt(block, 0, 0, kTipZ - 5);
    EXPECT_TRUE(check(kCutting, stay()));
}

TEST_F(ChecksTest, MaterialExactlyAtTheToolSurfaceCounts) {
    // A flat end without offset: the tip surface is the disc at the tip, and
    // a block top in that very plane has the same depth.
    const unsigned cutter = dqGetParamTag(22);
    dqSetCutterType(cutter, 2);
    dqSetRealListElem(realList(cutter), 2, 0.0);
    const unsigned block = blockBetween(-10, 10, -10, 10, kTipZ - 2, kTipZ);
    EXPECT_TRUE(check(kCutting, stay()));
    dqSetBlock(block, 20, 20, 1.999);
    placeAt(block, 0, 0, kTipZ - 1 - 0.0005); // top 0.001 below the tip
    EXPECT_FALSE(check(kCutting, stay()));
}

TEST_F(ChecksTest, ShankMarginDecidesAnInterference) {
    // Cutting part 6 long, so the shank runs from 6 to 18 above the tip.
    dqSetCutterEffectiveLength(dqGetParamTag(22), 6.0);
    struct Case {
        double gap; // distance of the block's face from the tool axis
        bool shank;
    } cases[] = {{3.05, true}, {3.2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gap);
        const unsigned block = blockBetween(c.gap, c.gap + 10, -5, 5, kTipZ + 8, kTipZ + 10);
        EXPECT_EQ(check(kShank, stay()), c.shank);
        EXPECT_FALSE(check(kCutting, stay())); // above the cutting part
        EXPECT_FALSE(check(kHolder, stay()));  // below the holder
        dqDeleteTag(block);
    }
}

TEST_F(ChecksTest, HolderMeetsABlockBesideIt) {
    // The holder's outline widens to 15 at 5 below the gauge point.
    const unsigned block = blockBetween(14, 30, -5, 5, kGaugeZ - 10, kGaugeZ - 4);
    EXPECT_TRUE(check(kHolder, stay()));
    EXPECT_FALSE(check(kCutting, stay()));
    placeAt(block, 40, 0, kGaugeZ - 7); // x from 32: outside the window
    EXPECT_FALSE(check(kHolder, stay()));
}

TEST_F(ChecksTest, MoveInTheAirFindsNothing) {
    blockBetween(-50, 50, -50, 50, -20, 0);
    dqCreateSphere(10); // at the origin, inside the block
    Move m;
    m.from[2] = 200;
    m.to[2] = 150;
    m.to[3] = 0.3; // and a tilt on the way
    for (const Check& c : kAll) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(check(c, m));
    }
}

TEST_F(ChecksTest, SweepFindsABlockBetweenTheEndPositions) {
    blockBetween(-2, 2, -2, 2, kTipZ - 10, kTipZ + 1);
    EXPECT_FALSE(check(kCutting, stay(-20)));
    EXPECT_FALSE(check(kCutting, stay(20)));
    Move m = stay(-20);
    m.to[0] = 20;
    EXPECT_TRUE(check(kCutting, m));
}

TEST_F(ChecksTest, AxesKeepTheToValuesAfterAPreparation) {
    Move m;
    const double to[6] = {1, 2, 60, 0.1, 0.2, 0.3};
    std::copy(std::begin(to), std::end(to), m.to);
    for (const Check& c : kAll) {
        SCOPED_TRACE(c.name);
        window(c);
        c.prepare(m.from, m.to);
        for (unsigned i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(dqGetMachAxisValue(i), to[i]);
        // The session's context goes back to the mode the display lists use.
        EXPECT_EQ(DQ::session().drawingContext.mode, unsigned(gqCOpenGL::Draw));
    }
    // Without both sets of values nothing moves.
    const double back[6] = {};
    dqCreateInterferenceModel(nullptr, back);
    dqSetCuttingCheck(back, nullptr);
    EXPECT_DOUBLE_EQ(dqGetMachAxisValue(2), to[2]);
}

TEST_F(ChecksTest, HiddenModelsAndOtherFiguresAreNotPartOfTheModel) {
    const unsigned block = blockBetween(-10, 10, -10, 10, kTipZ - 5, kTipZ + 5);
    EXPECT_TRUE(check(kCutting, stay()));
    unsigned tags[1] = {block};
    dqSelectFigure(1, tags, 0);
    EXPECT_FALSE(check(kCutting, stay()));
    dqSelectFigure(1, tags, 7); // alarm colour: shown, so part of the model
    EXPECT_TRUE(check(kCutting, stay()));
}

TEST_F(ChecksTest, MountedModelMovesWithTheTool) {
    // A block mounted at level 0 rides with the tool: its placement is in
    // the tool frame, and it stays at the tip wherever the machine goes.
    const unsigned block =
        blockBetween(-10, 10, -10, 10, -kTipBelowGauge - 5, -kTipBelowGauge + 1);
    const unsigned mount = 0;
    dqAllocChild(block, 0, 0, dqCClassAxisMount, &mount);
    Move m = stay(100, 300);
    EXPECT_TRUE(check(kCutting, m));
}

TEST_F(ChecksTest, MissingCutterDataFindsNothing) {
    blockBetween(-10, 10, -10, 10, kTipZ - 5, kTipZ + 5);
    dqAllocData(dqGetParamTag(22), nullptr);
    unsigned n = 0;
    EXPECT_TRUE(dqGetCuttingCheckPixel(&n));
    EXPECT_EQ(n, 1u);
    for (const Check& c : kAll) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(check(c, stay()));
    }
}

TEST_F(ChecksTest, ChecksLeaveTheCallersDepthStateAsItWas) {
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_TEXTURE);
    blockBetween(-10, 10, -10, 10, kTipZ - 5, kTipZ + 5);
    // Found even though the caller had the depth test off.
    EXPECT_TRUE(check(kCutting, stay()));
    GLint func = 0, mode = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(func, GL_ALWAYS);
    EXPECT_EQ(mode, GL_TEXTURE);
    glMatrixMode(GL_MODELVIEW);
}

// The fast sweep path must not change a single depth: the reference path
// (project and unproject every vertex, emit every side) against it on
// scenes that stand still, translate, tilt and lie partly outside the view.
TEST_F(ChecksTest, FastSweepGivesTheReferenceDepths) {
    blockBetween(-4, 3, -2, 5, kTipZ - 6, kTipZ + 2);
    const unsigned cone = dqCreateCone(2, 8, 6);
    placeAt(cone, 5, -1, kTipZ + 12);
    const unsigned sphere = dqCreateSphere(5);
    placeAt(sphere, -3, 9, kTipZ + 20);
    const unsigned collar = dqCreateSphere(3); // beside the shank and in the holder
    placeAt(collar, 1, -1, kGaugeZ - 15);
    const unsigned fixture = blockBetween(-1, 1, -1, 1, kTipZ - 1, kTipZ + 0.5);
    const unsigned mount = 2;
    dqAllocChild(fixture, 0, 0, dqCClassAxisMount, &mount);

    Move still = stay(0.5);
    Move along = stay(-3);
    along.to[0] = 2.5;
    along.to[1] = 1.25;
    Move tilt = stay(1);
    tilt.to[2] = kGaugeZ + 3;
    tilt.to[3] = 0.2;
    tilt.to[5] = -0.35;
    const Move* moves[] = {&still, &along, &tilt};
    for (const Check& c : kAll) {
        for (const Move* m : moves) {
            SCOPED_TRACE(testing::Message() << c.name << " move " << (m - moves[0]));
            DQ::setSweepFastPath(false);
            const std::vector<float> reference = modelDepth(c, *m);
            DQ::setSweepFastPath(true);
            const std::vector<float> fast = modelDepth(c, *m);
            ASSERT_EQ(reference.size(), fast.size());
            std::size_t differing = 0, covered = 0;
            for (std::size_t i = 0; i < fast.size(); ++i) {
                differing += reference[i] != fast[i];
                covered += reference[i] < 1.0f;
            }
            EXPECT_EQ(differing, 0u);
            EXPECT_GT(covered, 0u); // the scene does reach every region
        }
    }
}

TEST(ToolPartTest, ProfilesOfTheToolParts) {
    DQ::CutterRecord ball = DQ::defaultCutterRecord();
    DQ::CutterRecord flat = ball, corner = ball;
    flat.type = DQ::FlatEnd;
    corner.type = DQ::CornerRadiusEnd;
    corner.cornerR = 1.0;

    // Ball with offset 0.01: the arc alone, radius 2.99 centred on the axis.
    DQ::Profile p = DQ::cuttingPartProfile(ball, 0.01, 0.01);
    ASSERT_EQ(p.count(), DQ::cutterArcSegments(2.99, 0.01) + 1);
    EXPECT_NEAR(p.point(0)[0], 0.0, 1e-12);
    EXPECT_NEAR(p.point(0)[3], -1.0, 1e-12);
    EXPECT_NEAR(p.point(p.count() - 1)[0], 2.99, 1e-12);
    EXPECT_NEAR(p.point(p.count() - 1)[1], 2.99, 1e-12);

    // Flat with a positive offset: a disc of radius 3 - s.
    p = DQ::cuttingPartProfile(flat, 0.01, 0.01);
    ASSERT_EQ(p.count(), 2u);
    EXPECT_DOUBLE_EQ(p.point(1)[0], 2.99);
    // Flat with a negative offset: the widened disc with a rounded edge.
    p = DQ::cuttingPartProfile(flat, -0.5, 0.01);
    ASSERT_EQ(p.count(), DQ::cutterArcSegments(0.5, 0.01) + 2);
    EXPECT_DOUBLE_EQ(p.point(1)[0], 3.0); // arc starts at rho0 - rho
    EXPECT_NEAR(p.point(p.count() - 1)[0], 3.5, 1e-12);
    // Corner radius: the flat part, then the arc of radius R - s.
    p = DQ::cuttingPartProfile(corner, 0.01, 0.01);
    ASSERT_EQ(p.count(), DQ::cutterArcSegments(0.99, 0.01) + 2);
    EXPECT_NEAR(p.point(p.count() - 1)[1], 0.99, 1e-12);
    // Nothing when the offset eats the cutter, or for an unknown tip type.
    EXPECT_EQ(DQ::cuttingPartProfile(ball, 3.0, 0.01).count(), 0u);
    DQ::CutterRecord odd = ball;
    odd.type = 9;
    EXPECT_EQ(DQ::cuttingPartProfile(odd, 0.01, 0.01).count(), 0u);

    // Shank of a cutter with a taper from diameter 6 at 10 to 8 at 12, top
    // at 18, cutting part 6: disc, cylinder, taper, cylinder, in heights
    // from the effective height.
    DQ::CutterRecord taper = ball;
    taper.effectiveLength = 6;
    taper.headLength = 10;
    taper.taperEnd = 12;
    taper.axisDiameter = 8;
    p = DQ::shankPartProfile(taper, 0.1);
    const double expect[][2] = {{0, 0}, {3.1, 0}, {3.1, 0}, {3.1, 4},
                                {3.1, 4}, {4.1, 6}, {4.1, 6}, {4.1, 12}};
    ASSERT_EQ(p.count(), 8u);
    for (unsigned i = 0; i < 8; ++i) {
        EXPECT_NEAR(p.point(i)[0], expect[i][0], 1e-12) << i;
        EXPECT_NEAR(p.point(i)[1], expect[i][1], 1e-12) << i;
    }
    EXPECT_NEAR(p.point(4)[2], 2 / std::sqrt(5.0), 1e-12); // outward taper normal
    EXPECT_NEAR(p.point(4)[3], -1 / std::sqrt(5.0), 1e-12);

    // The default holder widened by 1 and lowered by 1; a narrowing point
    // keeps the widest radius so far.
    const double holder[] = {5, 0, 10, 20, 15, 20, 12, 22, 15, 25};
    p = DQ::holderPartProfile(5, holder, 1, 1);
    const double h[][2] = {{0, -1}, {0, -1}, {6, -1}, {6, -1}, {11, 19},
                           {11, 19}, {16, 19}, {16, 19}, {16, 21}, {16, 21}, {16, 24}};
    ASSERT_EQ(p.count(), 11u);
    for (unsigned i = 0; i < 11; ++i) {
        EXPECT_NEAR(p.point(i)[0], h[i][0], 1e-12) << i;
        EXPECT_NEAR(p.point(i)[1], h[i][1], 1e-12) << i;
    }
}
