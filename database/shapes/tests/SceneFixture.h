// A headless scene for the display and picking tests: a 100 x 100 view of
// the plane z = 0 at one pixel per unit (x, y from -50 to 50), the eye on
// +z, and a light from the viewer. The default figures of a new session
// (origin, cutter, holder; the spindle is hidden already) are hidden, so a
// test sees only the figures it makes.
#pragma once

#include "HeadlessGL.h"
#include "korvex.h"
#include "shapes/Placement.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace scene_testing {

using namespace orvane_testing;

constexpr int kSize = 100;
constexpr double kDepthRange = 1000; // eye z from +1000 (depth 0) to -1000 (depth 1)
const std::uint8_t kBlack[3] = {0, 0, 0};

inline int px(double x) { return static_cast<int>(std::lround(x + kSize / 2.0)); }
// Window depth of a point at eye z.
inline double depthAt(double z) { return (1 - z / kDepthRange) / 2; }

class SceneFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        dqCreateSession();
        unsigned defaults[] = {dqGetParamTag(7), dqGetParamTag(22), dqGetParamTag(24)};
        dqSelectFigure(3, defaults, 1);
        glViewport(0, 0, kSize, kSize);
        glClearColor(0, 0, 0, 1);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        const float toViewer[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, toViewer);
        glEnable(GL_LIGHT0);
        projectScene();
    }
    void TearDown() override {
        glDeleteLists(1, dqGetHighestTag() + 8);
        dqDestroySession();
    }

    static void projectScene() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-kSize / 2.0, kSize / 2.0, -kSize / 2.0, kSize / 2.0, -kDepthRange, kDepthRange);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // A block of the given size centred at (x, y, z), optionally recoloured.
    static unsigned block(double x, double y, double z, double w, double l, double h,
                          const float* rgba = nullptr) {
        unsigned tag = dqCreateBlock(w, l, h);
        DQ::Placement place{{x, y, z}, {0, 0, 1}, {1, 0, 0}};
        dqAllocChild(tag, 0, 0, dqCClassPlacement, &place);
        if (rgba) dqSetColor(tag, 0, const_cast<float*>(rgba));
        return tag;
    }
    // Puts the figure on the machine from chain position m outward.
    static void mount(unsigned tag, unsigned m) { dqAllocChild(tag, 0, 0, dqCClassAxisMount, &m); }

    static void select(unsigned tag, unsigned type) { dqSelectFigure(1, &tag, type); }

    // Replaces list `name` by a flat unlit square of side 2 * half at
    // (x, y, z) in rgb, so a test can tell whether the list was called, and
    // whether it was compiled again (then the sentinel is gone).
    static void sentinel(unsigned name, double x, double y, double z, double half, float r,
                         float g, float b) {
        glNewList(name, GL_COMPILE);
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
        glDisable(GL_LIGHTING);
        glColor4f(r, g, b, 1);
        glBegin(GL_QUADS);
        glVertex3d(x - half, y - half, z);
        glVertex3d(x + half, y - half, z);
        glVertex3d(x + half, y + half, z);
        glVertex3d(x - half, y + half, z);
        glEnd();
        glPopAttrib();
        glEndList();
    }

    // One frame as the front end draws it: the lists brought up to date,
    // then list 1.
    Image frame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        dqCreateDisplayList();
        glCallList(1);
        glFinish();
        return readImage(gl);
    }

    HeadlessGL gl{kSize, kSize};
};

// The covered box among the columns [x0, x1).
inline PixelBox boxIn(const Image& img, int x0, int x1) {
    PixelBox box;
    for (int y = 0; y < img.height; ++y)
        for (int x = x0; x < x1; ++x) {
            if (!img.covered(x, y, kBlack)) continue;
            if (box.empty()) box = {x, y, x, y};
            box.x0 = std::min(box.x0, x);
            box.x1 = std::max(box.x1, x);
            box.y0 = std::min(box.y0, y);
            box.y1 = std::max(box.y1, y);
        }
    return box;
}

} // namespace scene_testing
