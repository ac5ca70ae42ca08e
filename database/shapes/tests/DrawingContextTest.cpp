#include "HeadlessGL.h"
#include "korvex.h"
#include "shapes/MeshDrawing.h"
#include "shapes/TriangleBuffer.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace orvane_testing;

namespace {

constexpr int kSize = 64;

class DrawingContextTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        // One model unit per pixel, depth 0..1 for z from +10 to -10.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kSize, 0, kSize, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        before = stackDepths();
    }
    void TearDown() override {
        EXPECT_EQ(stackDepths(), before);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    static void triangle(gqCOpenGL& c, const double (&v)[3][3], GLenum prim = GL_TRIANGLES) {
        c.Begin(prim);
        for (const auto& p : v) c.Vertex(p);
        c.End();
    }

    int coveredDepthPixels(float below = 1.0f) {
        auto depth = gl.readDepth();
        int n = 0;
        for (float d : depth) n += d < below;
        return n;
    }

    HeadlessGL gl{kSize, kSize};
    StackDepths before;
};

} // namespace

TEST_F(DrawingContextTest, HarnessRendersAndReadsBack) {
    glColor3f(1, 0, 0);
    glBegin(GL_TRIANGLES);
    glVertex3d(0, 0, 0);
    glVertex3d(kSize, 0, 0);
    glVertex3d(0, kSize, 0);
    glEnd();
    Image img = readImage(gl);
    EXPECT_EQ(img.at(2, 2)[0], 255);
    EXPECT_EQ(img.at(kSize - 2, kSize - 2)[0], 0);
    auto depth = gl.readDepth();
    EXPECT_NEAR(depth[2 * kSize + 2], 0.5f, 1e-4);
    EXPECT_FLOAT_EQ(depth[(kSize - 2) * kSize + kSize - 2], 1.0f);
}

TEST_F(DrawingContextTest, ConstructorAndModes) {
    gqCOpenGL c;
    EXPECT_EQ(c.mode, 1u);
    EXPECT_EQ(c.vertexCount, 0u);
    c.SetMode(3);
    double box[6];
    c.GetViewBox(box);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(box[i], 1e6);
        EXPECT_EQ(box[i + 3], -1e6);
    }
    // Null pointers are ignored in every mode.
    for (unsigned m : {0u, 1u, 3u, 4u}) {
        c.SetMode(m);
        c.Begin(GL_TRIANGLES);
        c.Normal(nullptr);
        c.Vertex(nullptr);
        c.End();
        c.Color(nullptr);
        c.GetViewBox(nullptr);
        c.DrawOriginMarker(nullptr);
    }
}

TEST_F(DrawingContextTest, SilentAndViewBoxModesDrawNothing) {
    const double tri[3][3] = {{10, 10, 0}, {50, 10, 0}, {10, 50, 0}};
    for (unsigned m : {0u, 3u}) {
        gqCOpenGL c;
        c.SetMode(m);
        triangle(c, tri);
    }
    EXPECT_EQ(coveredDepthPixels(), 0);
    gqCOpenGL c;
    triangle(c, tri);
    EXPECT_GT(coveredDepthPixels(), 700);
}

TEST_F(DrawingContextTest, ViewBoxIsTheProjectedBoxOfTheVertices) {
    gqCOpenGL c;
    c.SetMode(3);
    glPushMatrix();
    glTranslated(5, 7, 0);
    const double tri[3][3] = {{10, 10, 5}, {40, 12, -5}, {20, 30, 0}};
    triangle(c, tri);
    glPopMatrix();
    double box[6];
    c.GetViewBox(box);
    EXPECT_NEAR(box[0], 15, 1e-6);
    EXPECT_NEAR(box[1], 17, 1e-6);
    EXPECT_NEAR(box[2], 0.25, 1e-6); // z = 5 maps to depth 0.25
    EXPECT_NEAR(box[3], 45, 1e-6);
    EXPECT_NEAR(box[4], 37, 1e-6);
    EXPECT_NEAR(box[5], 0.75, 1e-6);

    // Every vertex on one window point: a box of no extent.
    c.SetMode(3);
    const double same[3] = {3, 4, 0};
    for (int i = 0; i < 3; ++i) c.Vertex(same);
    c.GetViewBox(box);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(box[i], box[i + 3]);
    // The origin marker counts as a vertex outside draw mode.
    const double far[3] = {60, 60, 0};
    c.DrawOriginMarker(far);
    c.GetViewBox(box);
    EXPECT_DOUBLE_EQ(box[3], 60);
}

TEST_F(DrawingContextTest, SweepCoversTheSweptRegionInDepth) {
    // A right triangle of legs 10 moved by 20 along x between the reference
    // and the current matrix sweeps the quadrilateral (10,10), (40,10),
    // (30,20), (10,20): 250 pixels.
    gqCOpenGL c;
    c.SetMode(4);
    glPushMatrix();
    glLoadIdentity();
    glGetDoublev(GL_MODELVIEW_MATRIX, c.referenceMatrix);
    glTranslated(20, 0, 0);
    const double tri[3][3] = {{10, 10, 0}, {20, 10, 0}, {10, 20, 0}};
    triangle(c, tri);
    glPopMatrix();
    auto depth = gl.readDepth();
    // The swept region is the hull of both positions: 10 < y < 20, x > 10,
    // and left of the moved hypotenuse x + y = 50.
    auto inside = [](double x, double y) { return y > 10 && y < 20 && x > 10 && x + y < 50; };
    int wrong = 0, covered = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            bool hit = depth[y * kSize + x] < 1.0f;
            covered += hit;
            // Pixels that an edge crosses may go either way.
            bool in = inside(x + 0.5, y + 0.5);
            bool sure = inside(x, y) == in && inside(x + 1, y) == in && inside(x, y + 1) == in &&
                        inside(x + 1, y + 1) == in;
            if (sure && hit != in) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_NEAR(covered, 250, 25);
}

TEST_F(DrawingContextTest, SweepIgnoresAnythingButOneTriangle) {
    gqCOpenGL c;
    c.SetMode(4);
    glPushMatrix();
    glLoadIdentity();
    glGetDoublev(GL_MODELVIEW_MATRIX, c.referenceMatrix);
    glTranslated(20, 0, 0);
    const double tri[3][3] = {{10, 10, 0}, {30, 10, 0}, {10, 30, 0}};
    triangle(c, tri, GL_LINES);
    triangle(c, tri, GL_TRIANGLE_STRIP);
    c.Begin(GL_TRIANGLES); // four vertices is not a triangle
    for (int i = 0; i < 4; ++i) c.Vertex(tri[i % 3]);
    c.End();
    c.Begin(GL_TRIANGLES); // nor two
    c.Vertex(tri[0]);
    c.Vertex(tri[1]);
    c.End();
    glPopMatrix();
    EXPECT_EQ(coveredDepthPixels(), 0);
}

TEST_F(DrawingContextTest, SweepWithoutMotionGivesTheTriangleOnly) {
    gqCOpenGL c;
    c.SetMode(4);
    glGetDoublev(GL_MODELVIEW_MATRIX, c.referenceMatrix);
    const double tri[3][3] = {{10, 10, 0}, {30, 10, 0}, {10, 30, 0}};
    triangle(c, tri);
    int swept = coveredDepthPixels();
    glClear(GL_DEPTH_BUFFER_BIT);
    gqCOpenGL draw;
    triangle(draw, tri);
    EXPECT_EQ(swept, coveredDepthPixels());
    EXPECT_NEAR(swept, 200, 20);
}

TEST_F(DrawingContextTest, SweepAlongDepthKeepsTheNearerDepth) {
    // Moving towards the viewer: the swept solid spans both depths, so the
    // nearest depth seen is that of the nearer position.
    gqCOpenGL c;
    c.SetMode(4);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(0, 0, -4);
    glGetDoublev(GL_MODELVIEW_MATRIX, c.referenceMatrix);
    glLoadIdentity();
    glTranslated(0, 0, 4);
    const double tri[3][3] = {{10, 10, 0}, {30, 10, 0}, {10, 30, 0}};
    triangle(c, tri);
    glPopMatrix();
    auto depth = gl.readDepth();
    EXPECT_NEAR(depth[15 * kSize + 15], 0.3f, 1e-4); // z = +4
}

TEST_F(DrawingContextTest, TriangleBufferDrawnThroughAPlacement) {
    // A unit square of two triangles, turned by the placement so local x
    // runs along world y, scaled by nothing, moved to (30, 20).
    std::vector<DQ::TriangleRecord> tris = {
        {{0, 0, 1}, {{0, 0, 0}, {10, 0, 0}, {10, 5, 0}}},
        {{0, 0, 1}, {{0, 0, 0}, {10, 5, 0}, {0, 5, 0}}},
    };
    auto buffer = DQ::makeTriangleBuffer(tris);
    auto* header = DQ::bufferHeader(buffer.data());
    EXPECT_EQ(header->count, 2u);
    EXPECT_EQ(header->maximum[0], 10);
    EXPECT_EQ(header->maximum[1], 5);
    DQ::Placement place{{30, 20, 0}, {0, 0, 1}, {0, 1, 0}}; // C = A x B = (-1, 0, 0)
    gqCOpenGL c;
    DQ::drawTriangleBuffer(buffer.data(), buffer.size() * 8, place, c);
    Image img = readImage(gl);
    const std::uint8_t black[3] = {0, 0, 0};
    PixelBox box = coveredBox(img, black);
    EXPECT_EQ(box.x0, 25);
    EXPECT_EQ(box.x1, 29);
    EXPECT_EQ(box.y0, 20);
    EXPECT_EQ(box.y1, 29);
    // A count larger than the block is cut to what the block holds.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DQ::drawTriangleBuffer(buffer.data(), buffer.size() * 8 - 96, place, c);
    EXPECT_EQ(coveredDepthPixels(), 25);
}

TEST_F(DrawingContextTest, OriginMarkerIsTheBitmapAtThePoint) {
    gqCOpenGL c;
    glColor3f(1, 1, 1);
    const double p[3] = {32, 32, 0};
    c.DrawOriginMarker(p);
    Image img = readImage(gl);
    const std::uint8_t black[3] = {0, 0, 0};
    PixelBox box = coveredBox(img, black);
    EXPECT_EQ(box.x0, 24);
    EXPECT_EQ(box.x1, 39);
    EXPECT_EQ(box.y0, 24);
    EXPECT_EQ(box.y1, 39);
    // Bottom row 03C0: pixels 6..9 of the row.
    PixelBox bottom = coveredRow(img, 24, black);
    EXPECT_EQ(bottom.x0, 24 + 6);
    EXPECT_EQ(bottom.x1, 24 + 9);
}
