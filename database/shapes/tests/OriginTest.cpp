#include "HeadlessGL.h"
#include "korvex.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace orvane_testing;

namespace {

class OriginTest : public testing::Test {
protected:
    void SetUp() override { dqCreateSession(); }
    void TearDown() override { dqDestroySession(); }

    static const double* values(unsigned tag) { return static_cast<double*>(dqGetData(tag)); }
};

} // namespace

TEST_F(OriginTest, SessionOriginAndItsChildren) {
    unsigned origin = dqGetParamTag(7);
    ASSERT_NE(origin, 0u);
    EXPECT_EQ(dqGetClass(origin), dqCClassOrigin);
    // The origin is the first object after the root children, before the
    // cutter.
    EXPECT_EQ(origin, 34u);
    EXPECT_LT(origin, dqGetParamTag(22));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(values(origin)[i], 0.0);
    EXPECT_EQ(dqGetClass(origin + 1), dqCClassChildHead);
    unsigned it = 0;
    unsigned color = dqGetFirstChildTag(origin, 0, &it);
    ASSERT_EQ(dqGetClass(color), dqCClassColor);
    const float* rgba = static_cast<float*>(dqGetData(color));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(rgba[i], 1.0f);
    unsigned ints = dqGetNextChildTag(&it);
    ASSERT_EQ(dqGetClass(ints), dqCClassIntList);
    EXPECT_EQ(*dqGetIntListElem(ints, 0), 0u);
    EXPECT_EQ(dqGetIntListElem(ints, 1), nullptr);
    EXPECT_EQ(dqGetNextChildTag(&it), 0u);
}

TEST_F(OriginTest, CreateAndSet) {
    EXPECT_EQ(dqCreateOrigin(nullptr), 0u);
    double v[6] = {1, 2, 3, 0.1, 0.2, 0.3};
    unsigned origin = dqCreateOrigin(v);
    ASSERT_NE(origin, 0u);
    v[0] = 99; // a copy was taken
    EXPECT_EQ(values(origin)[0], 1);
    EXPECT_EQ(values(origin)[5], 0.3);

    unsigned mark = dqSetMark();
    double w[6] = {6, 5, 4, 3, 2, 1};
    dqSetOrigin(origin, w);
    EXPECT_EQ(values(origin)[0], 6);
    dqSetOrigin(origin, nullptr); // ignored
    EXPECT_EQ(values(origin)[0], 6);
    // Other classes are left alone.
    unsigned cutter = dqGetParamTag(22);
    dqSetOrigin(cutter, w);
    EXPECT_EQ(dqGetCutterDiameter(cutter), 6);
    dqSetOrigin(0, w);
    EXPECT_EQ(dqGetClass(0), dqCClassRoot);
    dqSetMark();
    int count = 0;
    dqDoToMark(mark, 0, &count, nullptr);
    EXPECT_EQ(values(origin)[0], 1);
    EXPECT_EQ(values(origin)[3], 0.1);
}

TEST_F(OriginTest, MarkerSitsAtTheMachinePosition) {
    HeadlessGL gl(64, 64);
    ASSERT_TRUE(gl.ok()) << gl.error();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-32, 32, -32, 32, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(0.5f, 0.5f, 0.5f, 1);

    // On the default machine the axis values are the machine position.
    double v[6] = {-10, 4, 0, 0, 0, 0};
    unsigned origin = dqCreateOrigin(v);
    gqCOpenGL context;
    StackDepths before = stackDepths();
    dqDrawOrigin(origin, 0, context);
    EXPECT_EQ(stackDepths(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    float current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(current[0], 0.5f); // the colour is bracketed

    Image img = readImage(gl);
    const std::uint8_t black[3] = {0, 0, 0};
    PixelBox box = coveredBox(img, black);
    EXPECT_EQ(box.x0, 32 - 10 - 8);
    EXPECT_EQ(box.x1, 32 - 10 + 7);
    EXPECT_EQ(box.y0, 32 + 4 - 8);
    EXPECT_EQ(box.y1, 32 + 4 + 7);
    // Drawn in the origin's own colour (session colour 0, white).
    EXPECT_EQ(img.at(box.x0 + 7, box.y0)[0], 255);

    // In view-box mode the marker is one vertex.
    context.SetMode(3);
    dqDrawOrigin(origin, 0, context);
    double vb[6];
    context.GetViewBox(vb);
    EXPECT_NEAR(vb[0], 22, 1e-4);
    EXPECT_NEAR(vb[3], 22, 1e-4);
    EXPECT_NEAR(vb[1], 36, 1e-4);
    EXPECT_NEAR(vb[4], 36, 1e-4);

    // Without values there is no position and no marker.
    glClear(GL_COLOR_BUFFER_BIT);
    context.SetMode(1);
    unsigned empty = dqAddData(dqCClassOrigin, 0, nullptr);
    dqDrawOrigin(empty, 0, context);
    EXPECT_TRUE(coveredBox(readImage(gl), black).empty());
    EXPECT_EQ(stackDepths(), before);
}
