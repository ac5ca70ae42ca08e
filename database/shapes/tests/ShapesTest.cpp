#include "korvex.h"
#include "shapes/MachineAxis.h"
#include "shapes/RotationBody.h"
#include "shapes/SimpleShapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace DQ;

namespace {

class ShapesTest : public testing::Test {
protected:
    void SetUp() override { dqCreateSession(); }
    void TearDown() override { dqDestroySession(); }
};

struct P {
    double r, z, nr, nz;
};

void expectProfile(const Profile& p, std::initializer_list<P> points) {
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

std::vector<unsigned> childClasses(unsigned tag) {
    std::vector<unsigned> classes;
    unsigned it = 0;
    for (unsigned c = dqGetFirstChildTag(tag, 0, &it); c; c = dqGetNextChildTag(&it))
        classes.push_back(dqGetClass(c));
    return classes;
}

} // namespace

TEST_F(ShapesTest, DefaultHolderAndSpindle) {
    struct Case {
        const char* what;
        unsigned (*create)();
        dqCClassEnum cls;
        double points[8];
        double maxR, start, end;
        float color[4];
        double tolerance;
        std::vector<unsigned> children;
    } cases[] = {
        {"holder", dqCreateDefaultHolder, dqCClassHolder, {5, 0, 10, 20, 15, 20, 15, 25}, 15, 0, 25,
         {0, 0.5f, 0.5f, 1}, 0.1,
         {dqCClassColor, dqCClassRealList, dqCClassPlacement, dqCClassAxisMount}},
        {"spindle", dqCreateDefaultSpindle, dqCClassSpindle, {40, 0, 40, 5, 45, 5, 45, 70}, 45, 0,
         70, {0, 0.75f, 0.75f, 0.5f}, 0.01,
         {dqCClassColor, dqCClassRealList, dqCClassPlacement, dqCClassAxisMount, dqCClassSelect}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unsigned tag = c.create();
        ASSERT_NE(tag, 0u);
        EXPECT_EQ(dqGetClass(tag), c.cls);
        EXPECT_EQ(dqGetClass(tag + 1), dqCClassChildHead);
        EXPECT_EQ(childClasses(tag), c.children);
        unsigned n = 0;
        double pts[8] = {};
        dqGetRotation(tag, &n, pts);
        ASSERT_EQ(n, 4u);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(pts[i], c.points[i]);
        EXPECT_EQ(dqGetRotationMaxRadius(tag), c.maxR);
        EXPECT_EQ(dqGetRotationStartHeight(tag), c.start);
        EXPECT_EQ(dqGetRotationEndHeight(tag), c.end);
        EXPECT_EQ(dqGetRotationLength(tag), c.end - c.start);
        void* data = nullptr;
        dqGetChild(tag, 0, 0, dqCClassColor, &data);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<float*>(data)[i], c.color[i]);
        unsigned reals = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
        EXPECT_EQ(*dqGetRealListElem(reals, 0), c.tolerance);
        EXPECT_EQ(*dqGetRealListElem(reals, 4), 1.0);
        dqGetChild(tag, 0, 0, dqCClassAxisMount, &data);
        EXPECT_EQ(*static_cast<unsigned*>(data), 0u);
    }
    unsigned spindle = dqCreateDefaultSpindle();
    void* select = nullptr;
    dqGetChild(spindle, 0, 0, dqCClassSelect, &select);
    EXPECT_EQ(static_cast<unsigned*>(select)[0], 0u); // hidden
}

TEST_F(ShapesTest, SetRotationStoresBottomToTop) {
    unsigned tag = dqCreateDefaultHolder();
    const void* before = dqGetData(tag);
    const double down[6] = {3, 10, -1, 4, 2, -5}; // last z below the first; one negative r
    dqSetRotation(tag, 3, down);
    EXPECT_NE(dqGetData(tag), before);
    unsigned n = 0;
    double pts[6];
    dqGetRotation(tag, &n, pts);
    ASSERT_EQ(n, 3u);
    const double up[6] = {2, -5, -1, 4, 3, 10};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(pts[i], up[i]);
    EXPECT_EQ(dqGetRotationStartHeight(tag), -5);
    EXPECT_EQ(dqGetRotationEndHeight(tag), 10);
    EXPECT_EQ(dqGetRotationLength(tag), 15);
    EXPECT_EQ(dqGetRotationMaxRadius(tag), 3);

    const double inward[2] = {-2, 1}; // the maximum radius starts from 0
    dqSetRotation(tag, 1, inward);
    EXPECT_EQ(dqGetRotationMaxRadius(tag), 0);
    dqSetRotation(tag, 0, nullptr);
    dqGetRotation(tag, &n, nullptr);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(dqGetRotationEndHeight(tag), 0);

    // No payload: tag 0, an empty tag, and data too short for its count.
    unsigned empty = dqAddData(dqCClassHolder, 0, nullptr);
    RotationBodyHeader lie{1, 2, 3, 1000, 0};
    unsigned liar = dqAddData(dqCClassBlock, 0, dqCreateData(&lie, 24));
    for (unsigned none : {0u, empty, liar}) {
        n = 7;
        dqGetRotation(none, &n, pts);
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(dqGetRotationMaxRadius(none), 0);
        EXPECT_EQ(dqGetRotationLength(none), 0);
    }
}

TEST(RotationProfile, DiscsAndSegments) {
    const double s = 1 / std::sqrt(2.0);
    {
        SCOPED_TRACE("default holder");
        const double pts[] = {5, 0, 10, 20, 15, 20, 15, 25};
        const double l = std::sqrt(25.0 + 400.0);
        expectProfile(rotationProfile(4, pts), {{0, 0, 0, -1},
                                                {5, 0, 0, -1},
                                                {5, 0, 20 / l, -5 / l},
                                                {10, 20, 20 / l, -5 / l},
                                                {10, 20, 0, -1},
                                                {15, 20, 0, -1},
                                                {15, 20, 1, 0},
                                                {15, 25, 1, 0},
                                                {15, 25, 0, 1},
                                                {0, 25, 0, 1}});
    }
    {
        SCOPED_TRACE("first point on the axis: no bottom disc");
        const double pts[] = {0, 0, 1, 1};
        expectProfile(rotationProfile(2, pts),
                      {{0, 0, s, -s}, {1, 1, s, -s}, {1, 1, 0, 1}, {0, 1, 0, 1}});
    }
    {
        SCOPED_TRACE("points closer than 1e-6 are one");
        const double pts[] = {1, 0, 1, 0.5e-6, 1, 2};
        expectProfile(rotationProfile(3, pts), {{0, 0, 0, -1},
                                                {1, 0, 0, -1},
                                                {1, 0, 1, 0},
                                                {1, 2, 1, 0},
                                                {1, 2, 0, 1},
                                                {0, 2, 0, 1}});
    }
    {
        SCOPED_TRACE("a single point: the two discs only");
        const double pts[] = {2, 3};
        expectProfile(rotationProfile(1, pts),
                      {{0, 3, 0, -1}, {2, 3, 0, -1}, {2, 3, 0, 1}, {0, 3, 0, 1}});
    }
    EXPECT_EQ(rotationProfile(0, nullptr).count(), 0u);
}

TEST_F(ShapesTest, BlockConeSphereValidation) {
    struct Case {
        const char* what;
        unsigned tag;
        bool made;
    } cases[] = {
        {"block", dqCreateBlock(10, 20, 30), true},
        {"flat block", dqCreateBlock(10, 20, 0), false},
        {"block NaN", dqCreateBlock(10, std::nan(""), 1), false},
        {"block at the limit", dqCreateBlock(1e-6, 1e-6, 1e-6), true},
        {"pointed cone", dqCreateCone(0, 10, 20), true},
        {"cone of no diameter", dqCreateCone(0, 0, 5), false},
        {"cone of no height", dqCreateCone(1, 1, 0), false},
        {"cone below -1e-6", dqCreateCone(-2e-6, 4, 5), false},
        {"cone tiny negative", dqCreateCone(-1e-7, 4, 5), true},
        {"sphere", dqCreateSphere(2), true},
        {"sphere of nothing", dqCreateSphere(1e-7), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.tag != 0, c.made);
    }
    unsigned block = cases[0].tag, cone = cases[8].tag, sphere = cases[9].tag;
    EXPECT_EQ(dqGetBlockWidth(block), 10);
    EXPECT_EQ(dqGetBlockLength(block), 20);
    EXPECT_EQ(dqGetBlockHeight(block), 30);
    EXPECT_EQ(dqGetConeTopDiameter(cone), 0.0); // -1e-7 stored as 0
    EXPECT_FALSE(std::signbit(dqGetConeTopDiameter(cone)));
    EXPECT_EQ(dqGetConeBottomDiameter(cone), 4);
    EXPECT_EQ(dqGetConeHeight(cone), 5);
    EXPECT_EQ(dqGetSphereDiameter(sphere), 2);

    dqSetBlock(block, 1, 2, 0); // refused
    EXPECT_EQ(dqGetBlockHeight(block), 30);
    dqSetBlock(block, 1, 2, 3);
    EXPECT_EQ(dqGetBlockHeight(block), 3);
    dqSetCone(cone, 0, 0, 1); // refused
    EXPECT_EQ(dqGetConeBottomDiameter(cone), 4);
    dqSetCone(cone, 6, -1e-7, 2);
    EXPECT_EQ(dqGetConeTopDiameter(cone), 6);
    EXPECT_EQ(dqGetConeBottomDiameter(cone), 0);
    dqSetSphere(sphere, -1);
    EXPECT_EQ(dqGetSphereDiameter(sphere), 2);
    dqSetSphere(sphere, 7);
    EXPECT_EQ(dqGetSphereDiameter(sphere), 7);

    for (unsigned none : {0u, dqAddData(dqCClassBlock, 0, nullptr)}) {
        EXPECT_EQ(dqGetBlockHeight(none), 0);
        EXPECT_EQ(dqGetConeHeight(none), 0);
        EXPECT_EQ(dqGetSphereDiameter(none), 0);
    }
    dqSetBlock(0, 1, 2, 3); // never writes the root
    EXPECT_EQ(dqGetClass(0), dqCClassRoot);
}

TEST_F(ShapesTest, ShapeChildrenUseTheSessionDefaults) {
    unsigned block = dqCreateBlock(1, 2, 3);
    unsigned cone = dqCreateCone(1, 2, 3);
    unsigned sphere = dqCreateSphere(4);
    EXPECT_EQ(childClasses(block), (std::vector<unsigned>{dqCClassColor, dqCClassPlacement}));
    for (unsigned tag : {cone, sphere}) {
        EXPECT_EQ(childClasses(tag), (std::vector<unsigned>{dqCClassColor, dqCClassRealList,
                                                            dqCClassPlacement}));
        unsigned reals = dqGetChild(tag, 0, 0, dqCClassRealList, nullptr);
        EXPECT_EQ(*dqGetRealListElem(reals, 0), 0.01);
        EXPECT_EQ(dqGetRealListElem(reals, 1), nullptr);
    }
    for (unsigned tag : {block, cone, sphere}) {
        void* color = nullptr;
        dqGetChild(tag, 0, 0, dqCClassColor, &color);
        const float cyan[4] = {0, 1, 1, 1};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<float*>(color)[i], cyan[i]);
    }
}

TEST(ShapeProfiles, Cones) {
    {
        SCOPED_TRACE("pointed cone: no top disc");
        const double l = std::sqrt(25.0 + 400.0);
        expectProfile(coneProfile({0, 10, 20}), {{0, -10, 0, -1},
                                                 {5, -10, 0, -1},
                                                 {5, -10, 20 / l, 5 / l},
                                                 {0, 10, 20 / l, 5 / l}});
    }
    {
        SCOPED_TRACE("frustum wider at the top");
        const double l = std::sqrt(4.0 + 16.0);
        expectProfile(coneProfile({6, 2, 4}), {{0, -2, 0, -1},
                                               {1, -2, 0, -1},
                                               {1, -2, 4 / l, -2 / l},
                                               {3, 2, 4 / l, -2 / l},
                                               {3, 2, 0, 1},
                                               {0, 2, 0, 1}});
    }
    {
        SCOPED_TRACE("upside-down point: no bottom disc");
        expectProfile(coneProfile({2, 0, 2}),
                      {{0, -1, 2 / std::sqrt(5.0), -1 / std::sqrt(5.0)},
                       {1, 1, 2 / std::sqrt(5.0), -1 / std::sqrt(5.0)},
                       {1, 1, 0, 1},
                       {0, 1, 0, 1}});
    }
}

TEST(ShapeProfiles, SphereSegmentsAndPoints) {
    struct Case {
        double diameter, t;
        unsigned segments;
    } cases[] = {
        {2, 0.01, 12},     // acos(0.99) gives 11.1: the lower bound 12
        {2, 2, 12},        // tolerance above the radius
        {100, 0.01, 79},   // pi / (2 acos(0.9998)) = 78.5
        {1e7, 1e-9, 1024}, // capped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.diameter);
        EXPECT_EQ(sphereSegments(c.diameter / 2, c.t), c.segments);
        Profile p = sphereProfile(c.diameter, c.t);
        ASSERT_EQ(p.count(), c.segments + 1);
        const double* south = p.point(0);
        const double* north = p.point(c.segments);
        EXPECT_NEAR(south[0], 0, 1e-9 * c.diameter);
        EXPECT_DOUBLE_EQ(south[1], -c.diameter / 2);
        EXPECT_DOUBLE_EQ(south[3], -1);
        EXPECT_NEAR(north[0], 0, 1e-9 * c.diameter);
        EXPECT_DOUBLE_EQ(north[1], c.diameter / 2);
        for (unsigned i = 0; i <= c.segments; ++i) {
            const double* v = p.point(i);
            EXPECT_NEAR(std::hypot(v[0], v[1]), c.diameter / 2, 1e-9 * c.diameter);
            EXPECT_NEAR(v[2], v[0] / (c.diameter / 2), 1e-9);
            EXPECT_NEAR(v[3], v[1] / (c.diameter / 2), 1e-9);
        }
    }
}

TEST(ShapeProfiles, BlockTrianglesFaceOutwards) {
    auto tris = blockTriangles({2, 4, 6});
    ASSERT_EQ(tris.size(), 12u);
    for (const auto& t : tris) {
        double e1[3], e2[3], n[3];
        for (int i = 0; i < 3; ++i) {
            e1[i] = t.vertex[1][i] - t.vertex[0][i];
            e2[i] = t.vertex[2][i] - t.vertex[0][i];
        }
        n[0] = e1[1] * e2[2] - e1[2] * e2[1];
        n[1] = e1[2] * e2[0] - e1[0] * e2[2];
        n[2] = e1[0] * e2[1] - e1[1] * e2[0];
        double dot = n[0] * t.normal[0] + n[1] * t.normal[1] + n[2] * t.normal[2];
        EXPECT_GT(dot, 0); // counter-clockwise seen from outside
        const double half[3] = {1, 2, 3};
        for (const auto& v : t.vertex)
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(std::fabs(v[i]), half[i]);
                if (t.normal[i] != 0) EXPECT_EQ(v[i], t.normal[i] * half[i]);
            }
    }
}

TEST_F(ShapesTest, AxesAreCreatedByLetter) {
    EXPECT_EQ(dqCreateAxis('Q'), 0u);
    EXPECT_EQ(dqCreateAxis('x'), 0u);
    EXPECT_EQ(dqCreateAxis(0), 0u);
    struct Case {
        char letter;
        const char* name;
        double dir[3];
    } cases[] = {{'X', "XM", {1, 0, 0}}, {'Y', "YM", {0, 1, 0}}, {'Z', "ZM", {0, 0, 1}},
                 {'A', "AR", {1, 0, 0}}, {'B', "BR", {0, 1, 0}}, {'C', "CR", {0, 0, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        unsigned tag = dqCreateAxis(c.letter);
        ASSERT_NE(tag, 0u);
        EXPECT_EQ(dqGetClass(tag), dqCClassAxis);
        const auto* a = static_cast<const AxisRecord*>(dqGetData(tag));
        EXPECT_EQ(a->value, 0);
        EXPECT_EQ(a->name[0], c.name[0]);
        EXPECT_EQ(a->name[1], c.name[1]);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(a->reserved[i], 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(a->pivot[i], 0);
            EXPECT_EQ(a->direction[i], c.dir[i]);
        }
    }
}

TEST_F(ShapesTest, SettersLeaveOtherClassesAlone) {
    // A record of one figure in another's element would not be the size
    // that element's class claims, so each setter keeps to its own class.
    unsigned holder = dqCreateDefaultHolder();
    unsigned block = dqCreateBlock(1, 2, 3);
    unsigned cone = dqCreateCone(1, 2, 3);
    unsigned sphere = dqCreateSphere(4);
    unsigned cutter = dqCreateDefaultCutter();
    struct Case {
        const char* what;
        unsigned target;
        void (*set)(unsigned);
    } cases[] = {
        {"rotation on a block", block,
         [](unsigned t) {
             const double pts[4] = {1, 0, 1, 1};
             dqSetRotation(t, 2, pts);
         }},
        {"rotation on a cutter", cutter, [](unsigned t) { dqSetRotation(t, 0, nullptr); }},
        {"block on a holder", holder, [](unsigned t) { dqSetBlock(t, 5, 5, 5); }},
        {"cone on a sphere", sphere, [](unsigned t) { dqSetCone(t, 5, 5, 5); }},
        {"sphere on a cone", cone, [](unsigned t) { dqSetSphere(t, 5); }},
        {"cutter on a holder", holder, [](unsigned t) { dqSetCutterDiameter(t, 5); }},
        {"cutter type on a holder", holder, [](unsigned t) { dqSetCutterType(t, 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const void* before = dqGetData(c.target);
        c.set(c.target);
        EXPECT_EQ(dqGetData(c.target), before);
    }
}
