// The scene's display lists rendered into a headless context: the passes of
// list 1, hidden figures, what a refresh recompiles, the view box and the
// view directions.
#include "SceneFixture.h"
#include "shapes/FigureData.h"

#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

using namespace scene_testing;

namespace {

const float kRed[4] = {1, 0, 0, 1};
const float kBlue[4] = {0, 0, 1, 1};

class SceneDisplayTest : public SceneFixture {};

} // namespace

TEST_F(SceneDisplayTest, TranslucentSolidIsDrawnLastWithoutDepthWrites) {
    // The red block has the lower tag and lies in front, overlapping the
    // blue one in x from -10 to 10. Drawn in tag order with depth writes it
    // would hide the blue block where they overlap.
    struct Case {
        const char* what;
        float alpha;
        bool opaque;
    } cases[] = {{"alpha 0.5", 0.5f, false}, {"alpha 0.99995 counts as opaque", 0.99995f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const float red[4] = {1, 0, 0, c.alpha};
        unsigned front = block(-10, 0, 20, 40, 40, 10, red);
        unsigned back = block(10, 0, 0, 40, 40, 10, kBlue);
        unsigned one = 1;
        dqRefreshFigure(1, &one);
        Image img = frame();
        std::vector<float> depth = gl.readDepth();
        auto depthOf = [&](int x, int y) { return depth[std::size_t(y) * kSize + x]; };
        if (std::getenv("ORVANE_DUMP")) writePpm(img, "/tmp/scene-passes.ppm");

        const std::uint8_t* onlyFront = img.at(px(-25), px(0));
        const std::uint8_t* both = img.at(px(0), px(0));
        const std::uint8_t* onlyBack = img.at(px(25), px(0));
        EXPECT_EQ(onlyBack[2], 255);
        EXPECT_NEAR(depthOf(px(25), px(0)), depthAt(5), 1e-5);
        if (c.opaque) {
            EXPECT_GE(onlyFront[0], 254);
            EXPECT_NEAR(depthOf(px(-25), px(0)), depthAt(25), 1e-5);
            // The front block hides the back one.
            EXPECT_GE(both[0], 254);
            EXPECT_EQ(both[2], 0);
            EXPECT_NEAR(depthOf(px(0), px(0)), depthAt(25), 1e-5);
        } else {
            // Without depth writes both the bottom face (facing away: only
            // the 0.2 ambient share) and then the top face blend in:
            // 0.5 * 1 + 0.5 * (0.5 * 0.2) of red, a quarter of what lay below.
            EXPECT_NEAR(onlyFront[0], 0.55 * 255, 2);
            EXPECT_EQ(depthOf(px(-25), px(0)), 1.0f); // nothing written
            // Blended over the blue block, whose depth stays.
            EXPECT_NEAR(both[0], 0.55 * 255, 2);
            EXPECT_NEAR(both[2], 0.25 * 255, 2);
            EXPECT_NEAR(depthOf(px(0), px(0)), depthAt(5), 1e-5);
        }
        dqDeleteTag(front);
        dqDeleteTag(back);
    }
}

TEST_F(SceneDisplayTest, PathsAndOriginsAreDrawnUnlitBeforeTheSolids) {
    dqSetRealListElem(dqGetParamTag(37), 12, 2.5);
    dqSetRealListElem(dqGetParamTag(37), 13, 4.0);
    unsigned path = DQ::addFigure(dqCClassClPath, nullptr);
    unsigned hiddenPath = DQ::addFigure(dqCClassClPath, nullptr);
    unsigned origin = dqGetParamTag(7);
    select(origin, 2);
    unsigned solid = block(0, 0, 0, 60, 60, 10, kRed);
    dqCreateDisplayList();
    select(hiddenPath, 0);
    unsigned one = 1;
    dqRefreshFigure(1, &one); // list 1 again, the figures' lists stay
    // Stand-ins for what the hidden path and the origin draw, so the test
    // sees whether list 1 calls them whatever the path drawing does.
    sentinel(hiddenPath, 20, 0, 40, 5, 1, 0, 1);
    sentinel(origin, 20, 20, 40, 5, 0, 1, 1);
    // The path's stand-in faces away from the light: lit, it would show
    // only the ambient share of the material; unlit it keeps its colour.
    glNewList(path, GL_COMPILE);
    glColor4f(1, 1, 0, 1);
    glNormal3d(0, 0, -1);
    glBegin(GL_QUADS);
    glVertex3d(-25, -5, 40);
    glVertex3d(-15, -5, 40);
    glVertex3d(-15, 5, 40);
    glVertex3d(-25, 5, 40);
    glEnd();
    glEndList();

    StackDepths before = stackDepths();
    Image img = frame();
    EXPECT_EQ(stackDepths(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const std::uint8_t* p = img.at(px(-20), px(0));
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255); // yellow as given: unlit
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(img.at(px(20), px(20))[1], 255); // the origin, made visible
    EXPECT_EQ(img.at(px(20), px(0))[2], 0);   // the hidden path is not called
    EXPECT_EQ(img.at(px(0), px(-20))[0], 255); // the solid, lit red
    // list 1 leaves the solid passes' state behind.
    GLfloat width = 0, size = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(width, 2.5f);
    EXPECT_EQ(size, 4.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    (void)solid;
}

TEST_F(SceneDisplayTest, HiddenSpindleIsNeitherDrawnNorBoxedUntilMadeNormal) {
    const unsigned spindle = dqGetParamTag(39);
    ASSERT_EQ(dqGetSelectType(spindle, nullptr), 0u);
    EXPECT_TRUE(coveredBox(frame(), kBlack).empty());
    double box[6];
    dqGetViewBox(box);
    EXPECT_EQ(box[0], 1e6);
    EXPECT_EQ(box[5], -1e6);

    select(spindle, 2);
    EXPECT_EQ(dqGetSelectType(spindle, nullptr), 2u);
    unsigned one = 1;
    dqRefreshFigure(1, &one);
    PixelBox shown = coveredBox(frame(), kBlack);
    // Radius 45 about the tool axis, raised by Z = 100 with the machine.
    EXPECT_NEAR(shown.width(), 90, 2);
    EXPECT_NEAR(shown.height(), 90, 2);
    dqGetViewBox(box);
    EXPECT_NEAR(box[0], px(-45), 0.5);
    EXPECT_NEAR(box[3], px(45), 0.5);
    EXPECT_NEAR(box[2], depthAt(170), 1e-6);
    EXPECT_NEAR(box[5], depthAt(100), 1e-6);
}

TEST_F(SceneDisplayTest, ListOneIsRebuiltOnlyAfterItIsDeleted) {
    dqCreateDisplayList();
    struct Case {
        const char* what;
        unsigned name; // 0 here stands for "beyond the highest tag"
        bool beyond;
    } cases[] = {{"name 1", 1, false}, {"a name that is no tag", 0, true},
                 {"the root, no list of its own", 0, false}};
    double x = -40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unsigned added = block(x, 0, 0, 8, 8, 8, kRed);
        dqCreateDisplayList();
        EXPECT_FALSE(glIsList(added));
        EXPECT_TRUE(boxIn(frame(), px(x - 4), px(x + 4)).empty());

        unsigned name = c.beyond ? dqGetHighestTag() + 5 : c.name;
        dqRefreshFigure(1, &name);
        EXPECT_FALSE(glIsList(1));
        EXPECT_TRUE(glIsList(added) == GL_FALSE);
        PixelBox seen = boxIn(frame(), px(x - 4), px(x + 4));
        EXPECT_TRUE(glIsList(added));
        EXPECT_EQ(seen.width(), 8);
        x += 30;
    }
}

TEST_F(SceneDisplayTest, RefreshRecompilesGeometryAndHighlight) {
    unsigned b = block(0, 0, 0, 20, 20, 10, kRed);
    EXPECT_EQ(coveredBox(frame(), kBlack).width(), 20);

    dqSetBlock(b, 40, 20, 10);
    EXPECT_EQ(coveredBox(frame(), kBlack).width(), 20); // nothing named yet
    dqRefreshFigure(1, &b);
    EXPECT_EQ(coveredBox(frame(), kBlack).width(), 40);

    struct Case {
        unsigned type;
        std::uint8_t r, g, b;
    } cases[] = {{4, 0, 255, 0}, {5, 255, 255, 0}, {7, 255, 0, 0}, {6, 255, 0, 0}, {2, 255, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        dqSetColor(b, 0, const_cast<float*>(kBlue));
        dqRefreshFigure(1, &b);
        select(b, c.type);
        unsigned pre = b + 1;
        dqRefreshFigure(1, &pre);
        const Image img = frame();
        const std::uint8_t* p = img.at(px(0), px(0));
        const bool own = c.type == 6 || c.type == 2;
        EXPECT_EQ(p[0], own ? 0 : c.r);
        EXPECT_EQ(p[1], own ? 0 : c.g);
        EXPECT_EQ(p[2], own ? 255 : c.b);
    }
}

TEST_F(SceneDisplayTest, MovingAnAxisRecompilesOnlyItsListAndTheMachineAndViewLists) {
    // Default chain Z, X, Y, A, B, C with the view split at 2: X is nearer
    // the tool than the split, Y is beyond it (the view rides on Y).
    struct Case {
        const char* what;
        unsigned axis;
        unsigned mountAt;
        double mountedShift[2]; // of the mounted block, x and y
        double fixedShift[2];   // of the figure not on the machine
    } cases[] = {
        {"X moves a figure mounted at 0", 0, 0, {10, 0}, {0, 0}},
        {"X does not move a figure mounted beyond it", 0, 2, {0, 0}, {0, 0}},
        {"Y carries the view: the rest moves back", 1, 0, {0, 0}, {0, -10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dqCreateSession();
        unsigned defaults[] = {dqGetParamTag(7), dqGetParamTag(22), dqGetParamTag(24)};
        dqSelectFigure(3, defaults, 1);
        glDeleteLists(1, dqGetHighestTag() + 8);
        unsigned onMachine = block(-25, 0, 0, 16, 16, 8, kRed);
        mount(onMachine, c.mountAt);
        unsigned fixed = block(25, 0, 0, 16, 16, 8, kBlue);
        Image img = frame();
        PixelBox m0 = boxIn(img, 0, kSize / 2);
        // The fixed block's own list gives way to a sentinel: if anything
        // compiled it again, the sentinel would be gone.
        sentinel(fixed, 25, 0, 0, 8, 1, 0, 1);
        unsigned late = block(0, 30, 0, 6, 6, 6, kRed); // no list yet
        PixelBox f0 = boxIn(frame(), kSize / 2, kSize);

        ASSERT_EQ(dqSetMachAxisValue(c.axis, 10), 1);
        unsigned axisTag = dqGetParamTag(25 + int(c.axis));
        dqRefreshFigure(1, &axisTag);
        img = frame();
        PixelBox m1 = boxIn(img, 0, kSize / 2);
        PixelBox f1 = boxIn(img, kSize / 2, kSize);
        EXPECT_EQ(m1.x0 - m0.x0, c.mountedShift[0]);
        EXPECT_EQ(m1.y0 - m0.y0, c.mountedShift[1]);
        EXPECT_EQ(f1.x0 - f0.x0, c.fixedShift[0]);
        EXPECT_EQ(f1.y0 - f0.y0, c.fixedShift[1]);
        EXPECT_EQ(img.at(f1.x0 + 2, f1.y0 + 2)[0], 255); // still the magenta sentinel
        EXPECT_EQ(img.at(f1.x0 + 2, f1.y0 + 2)[1], 0);
        EXPECT_FALSE(glIsList(late)); // list 1 was not rebuilt
    }
}

TEST_F(SceneDisplayTest, ViewBoxCoversTheVisibleFiguresWhereTheMachinePutsThem) {
    unsigned a = block(-20, 10, 0, 10, 20, 4, kRed);
    unsigned b = block(30, -5, 50, 4, 4, 20, kBlue);
    unsigned hidden = block(0, -40, 300, 4, 4, 4, kRed);
    mount(b, 0);
    select(hidden, 1);
    dqSetMachAxisValue(2, 0); // Z home, so the mounted block stays put...
    dqSetMachAxisValue(0, 5); // ...but X moves it by 5
    dqCreateDisplayList();

    glMatrixMode(GL_MODELVIEW);
    double before[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    StackDepths depths = stackDepths();
    double box[6];
    dqGetViewBox(box);
    EXPECT_EQ(stackDepths(), depths);
    double after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]);

    const double expected[6] = {-25.0 + 50, -7.0 + 50, depthAt(60), 37.0 + 50, 20.0 + 50, depthAt(-2)};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(box[i], expected[i], 1e-6);
    }
    (void)a;
}

TEST_F(SceneDisplayTest, ViewDirectionsFollowTheMachineAroundTheSplit) {
    // Chain Z, X, Y, A, B, C with split 2: Z and X carry the tool, Y and the
    // rotary axes carry the work.
    dqSetMachAxisValue(2, 3);                     // Z, position 0
    dqSetMachAxisValue(0, 7);                     // X, position 1
    dqSetMachAxisValue(1, 5);                     // Y, position 2
    dqSetMachAxisValue(3, std::numbers::pi / 2);  // A, position 3

    auto expect = [](auto build) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        build();
        double m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        glPopMatrix();
        return std::vector<double>(m, m + 16);
    };
    struct Case {
        unsigned direction;
        std::vector<double> matrix;
    } cases[] = {
        {0, expect([] { glRotated(90, 1, 0, 0); glTranslated(0, 5, 0); })},
        {1, expect([] {})},
        {2, expect([] { glTranslated(0, 0, -3); glTranslated(-7, 0, 0); })},
        {3, expect([] { glTranslated(1, 2, 3); glTranslated(0, -5, 0); glRotated(-90, 1, 0, 0); })},
        {4, expect([] { glTranslated(1, 2, 3); })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        glDeleteLists(1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(1, 2, 3);
        dqSetViewDirection(c.direction);
        EXPECT_TRUE(glIsList(1)); // brought up to date first
        double m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], c.matrix[i], 1e-9) << i;
        projectScene();
    }

    // Without machine data the matrix stays.
    dqSetData(dqGetParamTag(33), nullptr);
    glLoadIdentity();
    glTranslated(1, 2, 3);
    dqSetViewDirection(1);
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 1);
}

TEST_F(SceneDisplayTest, PathShowsInTheSceneUnlessHidden) {
    const std::string file = testing::TempDir() + "scene-display-path.nc";
    if (std::FILE* f = std::fopen(file.c_str(), "w")) {
        std::fputs("G90 G17\nG00 X-30. Y-20. Z0.\nG01 X30. Y20. F500.\nG01 X-30. Y20.\n", f);
        std::fclose(f);
    }
    std::string name = file;
    double progress = 0;
    const unsigned path = dqCreateCLFromNCFile(name.data(), &progress);
    std::remove(file.c_str());
    ASSERT_NE(path, 0u);
    // Whatever the path drawing shows of its moves, it is in list 1 and
    // gone once the path is hidden.
    EXPECT_FALSE(coveredBox(frame(), kBlack).empty());
    select(path, 0);
    unsigned one = 1;
    dqRefreshFigure(1, &one);
    EXPECT_TRUE(coveredBox(frame(), kBlack).empty());
}
