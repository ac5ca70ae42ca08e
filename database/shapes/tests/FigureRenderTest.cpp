// Figures rendered into a headless context and read back as pixels.
#include "HeadlessGL.h"
#include "korvex.h"
#include "shapes/MachineAxis.h"
#include "shapes/Placement.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

using namespace orvane_testing;

namespace {

// 4 pixels per model unit; x across, z up, looking along +y.
constexpr int kWidth = 100, kHeight = 200;
constexpr double kScale = 4;
constexpr double kLeft = -12.5, kBottom = -2.5;
const std::uint8_t kBlack[3] = {0, 0, 0};

int column(double x) { return static_cast<int>(std::lround((x - kLeft) * kScale)); }
int row(double z) { return static_cast<int>(std::lround((z - kBottom) * kScale)); }

class FigureRenderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        dqCreateSession();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(kLeft, kLeft + kWidth / kScale, kBottom, kBottom + kHeight / kScale, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // A light from the viewer, fixed in eye space.
        const float toViewer[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, toViewer);
        // Dim enough that no channel saturates, so hue tells head from shank.
        const float diffuse[4] = {0.6f, 0.6f, 0.6f, 1};
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glRotated(-90, 1, 0, 0); // world z up on the screen, world y away
        glNormal3d(0.25, 0.5, 0.75);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    }
    void TearDown() override { dqDestroySession(); }

    // Draws through a figure export and checks that it leaves the stacks,
    // the model-view matrix and the current normal as they were.
    template <class Draw>
    void draw(Draw drawFigure) {
        StackDepths before = stackDepths();
        drawFigure();
        EXPECT_EQ(stackDepths(), before);
        double after[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, after);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], modelView[i]);
        float normal[4];
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        EXPECT_EQ(normal[0], 0.25f);
        EXPECT_EQ(normal[2], 0.75f);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    static void setPlacement(unsigned tag, const DQ::Placement& place) {
        dqAllocChild(tag, 0, 0, dqCClassPlacement, &place);
    }

    HeadlessGL gl{kWidth, kHeight};
    gqCOpenGL context;
    double modelView[16];
};

// Red over blue: 0.5 for the head colour, 0.75 for the shank colour, at
// any lighting.
double redOverBlue(const Image& img, int x, int y) {
    const std::uint8_t* p = img.at(x, y);
    return p[2] ? double(p[0]) / p[2] : -1;
}

} // namespace

TEST_F(FigureRenderTest, CutterSilhouetteFromTheSide) {
    // Ball end D 6 cutting to 10, neck D 4 up to 18, a 45 degree taper to
    // the shank D 10 at 21, the shank up to 40.
    unsigned cutter = dqCreateDefaultCutter();
    dqSetCutterLength(cutter, 40);
    dqSetCutterAxisDiameter(cutter, 10);
    dqSetCutterNeckDiameter(cutter, 4);
    dqSetCutterShankAngle(cutter, std::numbers::pi / 4);
    dqSetCutterEffectiveLength(cutter, 10);
    ASSERT_DOUBLE_EQ(dqGetCutterEffectiveLength(cutter), 10);
    ASSERT_DOUBLE_EQ(dqGetCutterShankAngle(cutter), std::numbers::pi / 4);

    draw([&] { dqDrawCutter(cutter, 0, context); });
    Image img = readImage(gl);
    if (std::getenv("ORVANE_DUMP")) writePpm(img, "/tmp/cutter.ppm");
    PixelBox all = coveredBox(img, kBlack);
    EXPECT_EQ(all.x0, column(-5));
    EXPECT_EQ(all.x1, column(5) - 1);
    EXPECT_EQ(all.y0, row(0));
    EXPECT_EQ(all.y1, row(40) - 1);

    struct Band {
        const char* what;
        double z, radius, colour;
    } bands[] = {
        {"head side", 5, 3, 0.5},
        {"head just below its top", 9.5, 3, 0.5},
        {"neck", 14, 2, 0.75},
        {"middle of the taper", 19.5, 3.5, 0.75},
        {"shank", 30, 5, 0.75},
    };
    for (const Band& b : bands) {
        SCOPED_TRACE(b.what);
        int y = row(b.z);
        PixelBox r = coveredRow(img, y, kBlack);
        EXPECT_NEAR(r.x0, column(-b.radius), 1);
        EXPECT_NEAR(r.x1, column(b.radius) - 1, 1);
        EXPECT_NEAR(redOverBlue(img, kWidth / 2, y), b.colour, 0.02);
    }
    // The ball narrows towards the tip.
    PixelBox nearTip = coveredRow(img, row(0.5), kBlack);
    EXPECT_LT(nearTip.width(), 4 * 2 * 2);
    EXPECT_GT(nearTip.width(), 0);
    // Lit: the side facing the light is brighter than the silhouette's edge.
    const int y = row(30);
    EXPECT_GT(img.at(kWidth / 2, y)[2], img.at(column(5) - 1, y)[2] + 40);
}

TEST_F(FigureRenderTest, BlockLandsWherePlacementAndPreListPutIt) {
    // 8 along local x, 4 along y, 6 along z; local x turned onto world y,
    // local y onto world -x, centred at (-4, 0, 30).
    unsigned block = dqCreateBlock(8, 4, 6);
    setPlacement(block, {{-4, 0, 30}, {0, 0, 1}, {0, 1, 0}});
    draw([&] { dqDrawBlock(block, 0, context); });
    PixelBox box = coveredBox(readImage(gl), kBlack);
    EXPECT_EQ(box.x0, column(-6));
    EXPECT_EQ(box.x1, column(-2) - 1);
    EXPECT_EQ(box.y0, row(27));
    EXPECT_EQ(box.y1, row(33) - 1);

    // The pre-draw list supplies a machine motion on top of the placement.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glTranslated(10, 0, -20);
    glEndList();
    draw([&] { dqDrawBlock(block, list, context); });
    box = coveredBox(readImage(gl), kBlack);
    EXPECT_EQ(box.x0, column(4));
    EXPECT_EQ(box.x1, column(8) - 1);
    EXPECT_EQ(box.y0, row(7));
    EXPECT_EQ(box.y1, row(13) - 1);
    glDeleteLists(list, 1);
}

TEST_F(FigureRenderTest, ViewBoxOfABlock) {
    unsigned block = dqCreateBlock(8, 4, 6);
    setPlacement(block, {{-4, 0, 30}, {0, 0, 1}, {0, 1, 0}});
    context.SetMode(3);
    draw([&] { dqDrawBlock(block, 0, context); });
    double box[6];
    context.GetViewBox(box);
    EXPECT_NEAR(box[0], column(-6), 1e-4);
    EXPECT_NEAR(box[1], row(27), 1e-4);
    EXPECT_NEAR(box[3], column(-2), 1e-4);
    EXPECT_NEAR(box[4], row(33), 1e-4);
    // y from -4 to 4 seen along +y: depth (d + 100) / 200 for eye depth d.
    EXPECT_NEAR(box[2], (100 - 4) / 200.0, 1e-6);
    EXPECT_NEAR(box[5], (100 + 4) / 200.0, 1e-6);
    // Nothing reached the colour buffer.
    EXPECT_TRUE(coveredBox(readImage(gl), kBlack).empty());
}

TEST_F(FigureRenderTest, RevolvedFiguresOfTheRightSize) {
    struct Case {
        const char* what;
        unsigned tag;
        void (*drawIt)(unsigned, unsigned, gqCOpenGL&);
        double x0, x1, z0, z1;
    } cases[] = {
        // Centred on the placement position (0, 0, 20).
        {"sphere D 10", dqCreateSphere(10), dqDrawSphere, -5, 5, 15, 25},
        {"cone 4 over 8, 12 high", dqCreateCone(4, 8, 12), dqDrawCone, -4, 4, 14, 26},
        // The holder's outline: radius 15 at most, from 0 to 25 (moved up 5).
        {"default holder", dqCreateDefaultHolder(), dqDrawRotation, -15, 15, 5, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        double z = c.tag == cases[2].tag ? 5 : 20;
        setPlacement(c.tag, {{0, 0, z}, {0, 0, 1}, {1, 0, 0}});
        draw([&] { c.drawIt(c.tag, 0, context); });
        PixelBox box = coveredBox(readImage(gl), kBlack);
        EXPECT_NEAR(box.x0, std::max(0, column(c.x0)), 1);
        EXPECT_NEAR(box.x1, std::min(kWidth - 1, column(c.x1) - 1), 1);
        EXPECT_EQ(box.y0, row(c.z0));
        EXPECT_EQ(box.y1, row(c.z1) - 1);
    }
}

TEST_F(FigureRenderTest, EmptyFiguresStillCallThePreList) {
    // A list whose effect outlives the attribute bracket shows that it ran.
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEnable(GL_NORMALIZE);
    glEndList();
    struct Case {
        const char* what;
        dqCClassEnum cls;
        void (*drawIt)(unsigned, unsigned, gqCOpenGL&);
    } cases[] = {
        {"cutter", dqCClassCutter, dqDrawCutter}, {"rotation", dqCClassHolder, dqDrawRotation},
        {"block", dqCClassBlock, dqDrawBlock},    {"cone", dqCClassCone, dqDrawCone},
        {"sphere", dqCClassSphere, dqDrawSphere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        glDisable(GL_NORMALIZE);
        unsigned tag = dqAddData(c.cls, 0, nullptr);
        dqAddData(dqCClassChildHead, 0, dqCreateData(&tag, 4));
        if (c.cls == dqCClassCutter) {
            const float shank[4] = {1, 1, 1, 1};
            unsigned colors[5] = {1};
            std::memcpy(colors + 1, shank, sizeof shank);
            dqAllocChild(tag, 0, 0, dqCClassColorList, colors);
        }
        draw([&] { c.drawIt(tag, list, context); });
        EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
        EXPECT_TRUE(coveredBox(readImage(gl), kBlack).empty());
    }
    glDeleteLists(list, 1);
}

TEST_F(FigureRenderTest, AxisTransformsAndTheirInverses) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    struct Case {
        char letter;
        double value;
    } cases[] = {{'X', 12.5}, {'Y', -3}, {'Z', 7}, {'A', 0.7}, {'B', -1.2}, {'C', 2.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        unsigned tag = dqCreateAxis(c.letter);
        auto* axis = static_cast<DQ::AxisRecord*>(dqGetData(tag));
        DQ::AxisRecord changed = *axis;
        changed.value = c.value;
        changed.pivot[0] = 1;
        changed.pivot[1] = -2;
        changed.pivot[2] = 3;
        dqAllocData(tag, &changed);
        double m[16];
        dqDrawAxis(tag);
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        if (c.letter == 'X') EXPECT_NEAR(m[12], 12.5 - 1, 1e-5);
        dqDrawRevAxis(tag);
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], i % 5 == 0 ? 1 : 0, 1e-5);
        dqDrawTranslateAxis(tag);
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        EXPECT_NEAR(m[13], 2, 1e-6);
        dqDrawTranslateRevAxis(tag);
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        EXPECT_NEAR(m[13], 0, 1e-6);
    }
    unsigned empty = dqAddData(dqCClassAxis, 0, nullptr);
    dqDrawAxis(empty);
    dqDrawRevAxis(0);
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], i % 5 == 0 ? 1 : 0);
}

TEST_F(FigureRenderTest, AbsolutePositionMatchesTheAxisDrawing) {
    // Pivots and values on every axis; the mounted cutter's frame computed
    // without OpenGL must equal the one the axis drawing builds.
    const double pivots[6][3] = {{1, 0, 0},  {0, 2, 0},   {0, 0, 3},
                                 {0, 5, -4}, {6, 0, 0.5}, {-1, 1, 0}};
    const double values[6] = {10, -20, 30, 0.4, -0.9, 1.3};
    for (unsigned i = 0; i < 6; ++i) {
        unsigned tag = dqGetParamTag(25 + i);
        DQ::AxisRecord a = *static_cast<DQ::AxisRecord*>(dqGetData(tag));
        std::memcpy(a.pivot, pivots[i], sizeof a.pivot);
        a.value = values[i];
        dqAllocData(tag, &a);
    }
    const double offset[6] = {0.5, -0.25, 2, 0, 0, 0};
    unsigned cutter = dqGetParamTag(22);
    dqAllocChild(cutter, 0, 0, dqCClassOffset, offset);
    const unsigned order[6] = {2, 0, 1, 3, 4, 5};
    for (unsigned mount : {0u, 2u, 5u, 6u}) {
        SCOPED_TRACE(mount);
        dqAllocChild(cutter, 0, 0, dqCClassAxisMount, &mount);
        double abs[6];
        dqGetCutterAbsPosition(cutter, abs);
        glPushMatrix();
        glLoadIdentity();
        for (unsigned k = 6; k-- > mount;) dqDrawAxis(dqGetParamTag(25 + order[k]));
        glTranslated(offset[0], offset[1], offset[2]);
        double m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        glPopMatrix();
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(abs[c], m[12 + c], 1e-4); // GL keeps the matrix in floats
            EXPECT_NEAR(abs[3 + c], m[8 + c], 1e-6);
        }
    }
}

TEST_F(FigureRenderTest, SweptBlockCoversEverythingBetweenItsPositions) {
    // The block stood 10 further left under the reference matrix: the
    // swept solid fills the whole stretch between both positions.
    unsigned block = dqCreateBlock(8, 4, 6);
    setPlacement(block, {{-4, 0, 30}, {0, 0, 1}, {0, 1, 0}});
    glPushMatrix();
    glTranslated(-10, 0, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, context.referenceMatrix);
    glPopMatrix();
    context.SetMode(4);
    draw([&] { dqDrawBlock(block, 0, context); });
    auto depth = gl.readDepth();
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            bool inside = x >= column(-16) && x < column(-2) && y >= row(27) && y < row(33);
            wrong += inside != (depth[y * kWidth + x] < 1.0f);
        }
    EXPECT_EQ(wrong, 0);
}
