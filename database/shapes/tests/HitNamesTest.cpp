// Picking in OpenGL selection mode: which figures dqGetHitNames reports, in
// which order, and how its options filter them.
#include "SceneFixture.h"
#include "shapes/FigureData.h"

#include <GL/glu.h>

#include <algorithm>
#include <set>

using namespace scene_testing;

namespace {

const float kRed[4] = {1, 0, 0, 1};
const float kBlue[4] = {0, 0, 1, 1};

struct Pick {
    std::vector<unsigned> tags;
    double depth = -1;
};

class HitNamesTest : public SceneFixture {
protected:
    // A 5 x 5 pixel pick at scene point (x, y), as the front end sets it up.
    Pick pick(double x, double y, std::vector<unsigned> options, const float* colour = kRed,
              GLsizei room = 4096) {
        options.resize(10);
        buffer.assign(std::size_t(room), 0xDEADBEEF);
        glSelectBuffer(room, buffer.data());
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(0);
        GLint viewport[4] = {0, 0, kSize, kSize};
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPickMatrix(px(x), px(y), 5, 5, viewport);
        glOrtho(-kSize / 2.0, kSize / 2.0, -kSize / 2.0, kSize / 2.0, -kDepthRange, kDepthRange);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        Pick result;
        unsigned count = 0xFFFFFFFF;
        dqGetHitNames(options.data(), const_cast<float*>(colour), &count, buffer.data(),
                      &result.depth);
        EXPECT_NE(count, 0xFFFFFFFF);
        if (count != 0xFFFFFFFF) result.tags.assign(buffer.begin(), buffer.begin() + count);
        GLint mode = 0;
        glGetIntegerv(GL_RENDER_MODE, &mode);
        EXPECT_EQ(mode, GL_RENDER);
        projectScene();
        return result;
    }

    std::vector<GLuint> buffer;
};

} // namespace

TEST_F(HitNamesTest, OverlappingBlocksBothHitNearerFirstWhenSorting) {
    unsigned back = block(-10, 0, 0, 40, 40, 10, kRed);   // top at z 5
    unsigned front = block(10, 0, 30, 40, 40, 10, kBlue); // top at z 35
    const std::vector<unsigned> anyColour = {0, 0, 1, 1};

    Pick sorted = pick(0, 0, {1, 0, 1, 1});
    EXPECT_EQ(sorted.tags, (std::vector<unsigned>{front, back}));
    EXPECT_NEAR(sorted.depth, depthAt(35), 1e-5);
    Pick unsorted = pick(0, 0, anyColour);
    EXPECT_EQ(unsorted.tags, (std::vector<unsigned>{back, front})); // as OpenGL reported them

    EXPECT_EQ(pick(-25, 0, anyColour).tags, std::vector<unsigned>{back});
    Pick none = pick(40, 40, anyColour);
    EXPECT_TRUE(none.tags.empty());
    EXPECT_EQ(none.depth, -1); // no hit leaves the depth alone

    // The model-view matrix is left moved to the work origin's position.
    double values[6] = {5, 6, 7, 0, 0, 0};
    dqSetOrigin(dqGetParamTag(7), values);
    dqSetMachAxisValue(2, 0);
    unsigned axisZ = dqGetParamTag(27);
    dqRefreshFigure(1, &axisZ);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    buffer.assign(64, 0);
    glSelectBuffer(64, buffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    unsigned count = 0;
    unsigned opts[10] = {0, 0, 1, 1};
    dqGetHitNames(opts, nullptr, &count, buffer.data(), nullptr);
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[12], 5, 1e-9);
    EXPECT_NEAR(m[13], 6, 1e-9);
    EXPECT_NEAR(m[14], 7, 1e-9);
}

TEST_F(HitNamesTest, HiddenFiguresAreNotPicked) {
    const unsigned spindle = dqGetParamTag(39);
    EXPECT_TRUE(pick(0, 0, {0, 0, 1, 1}).tags.empty());
    select(spindle, 2);
    unsigned one = 1;
    dqRefreshFigure(1, &one);
    EXPECT_EQ(pick(0, 0, {0, 0, 1, 1}).tags, std::vector<unsigned>{spindle});
    select(spindle, 1);
    EXPECT_TRUE(pick(0, 0, {0, 0, 1, 1}).tags.empty());
}

TEST_F(HitNamesTest, EachOptionFiltersWhatItSays) {
    const float shapeColour[4] = {0.2f, 0.4f, 0.6f, 1};
    const float mountedColour[4] = {0.2f, 0.4f, 0.6f, 0.5f};
    const float other[4] = {0.9f, 0.9f, 0.9f, 1};
    const unsigned shape = block(0, 0, 0, 10, 10, 10, shapeColour);
    const unsigned mounted = block(0, 0, 0, 10, 10, 10, mountedColour);
    mount(mounted, 0);
    const unsigned path = DQ::addFigure(dqCClassClPath, nullptr);
    dqSetColor(path, 0, const_cast<float*>(other));
    const unsigned origin = dqGetParamTag(7), cutter = dqGetParamTag(22),
                   holder = dqGetParamTag(24), spindle = dqGetParamTag(39);
    for (unsigned t : {origin, cutter, holder, spindle}) {
        dqSetColor(t, 0, const_cast<float*>(other));
        select(t, 2);
    }
    dqCreateDisplayList();
    // Every figure draws a square over the pick point, so what is reported
    // depends on the filters alone.
    const unsigned all[] = {shape, mounted, path, origin, cutter, holder, spindle};
    double z = 0;
    for (unsigned t : all) sentinel(t, 0, 0, z += 10, 5, 1, 1, 1);

    using Set = std::set<unsigned>;
    struct Case {
        const char* what;
        std::vector<unsigned> options;
        const float* colour;
        Set expected;
        unsigned selectedShape = 2, candidatePath = 2; // select types during the pick
    } cases[] = {
        {"colour ignored: everything", {0, 0, 1, 1}, kRed, Set(all, all + 7)},
        {"4 no shapes but the mounted", {0, 0, 1, 1, 1}, kRed,
         {mounted, path, origin, cutter, holder, spindle}},
        {"5 no paths", {0, 0, 1, 1, 0, 1}, kRed, {shape, mounted, origin, cutter, holder, spindle}},
        {"6 no origins", {0, 0, 1, 1, 0, 0, 1}, kRed, {shape, mounted, path, cutter, holder, spindle}},
        {"7 no cutter", {0, 0, 1, 1, 0, 0, 0, 1}, kRed, {shape, mounted, path, origin, holder, spindle}},
        {"8 no holders", {0, 0, 1, 1, 0, 0, 0, 0, 1}, kRed,
         {shape, mounted, path, origin, cutter, spindle}},
        {"9 no spindles nor mounted shapes", {0, 0, 1, 1, 0, 0, 0, 0, 0, 1}, kRed,
         {shape, path, origin, cutter, holder}},
        {"4 and 9: no shapes at all", {0, 0, 1, 1, 1, 0, 0, 0, 0, 1}, kRed,
         {path, origin, cutter, holder}},
        {"colour filter on red, green, blue", {0, 0, 0, 1}, shapeColour, {shape, mounted}},
        {"colour filter with alpha", {0, 0, 0, 0}, shapeColour, {shape}},
        {"alpha alone", {0, 0, 1, 0}, mountedColour, {mounted}},
        {"null colour passes nothing filtered", {0, 0, 0, 1}, nullptr, {}},
        {"selecting skips selected and candidates", {0, 0, 1, 1}, kRed,
         {mounted, origin, cutter, holder, spindle}, 4, 5},
        {"deselecting: only selected and candidates", {0, 1, 1, 1}, kRed, {shape, path}, 4, 5},
        {"deselecting ignores the colour filter", {0, 1, 0, 0}, kRed, {shape}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        select(shape, c.selectedShape);
        select(path, c.candidatePath);
        Pick p = pick(0, 0, c.options, c.colour);
        EXPECT_EQ(Set(p.tags.begin(), p.tags.end()), c.expected);
        EXPECT_TRUE(std::is_sorted(p.tags.begin(), p.tags.end())); // unsorted: tag order
    }
}

TEST_F(HitNamesTest, RepeatedRecordsOfOneFigureKeepTheNearest) {
    // Figure a reports two records: a far square, then (after naming itself
    // again) a near one; figure b lies between them.
    unsigned a = block(0, 0, 0, 1, 1, 1, kRed);
    unsigned b = block(0, 0, 0, 1, 1, 1, kBlue);
    dqCreateDisplayList();
    glNewList(a, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex3d(-5, -5, 10), glVertex3d(5, -5, 10), glVertex3d(5, 5, 10), glVertex3d(-5, 5, 10);
    glEnd();
    glLoadName(a);
    glBegin(GL_QUADS);
    glVertex3d(-5, -5, 30), glVertex3d(5, -5, 30), glVertex3d(5, 5, 30), glVertex3d(-5, 5, 30);
    glEnd();
    glEndList();
    sentinel(b, 0, 0, 20, 5, 1, 1, 1);

    Pick sorted = pick(0, 0, {1, 0, 1, 1});
    EXPECT_EQ(sorted.tags, (std::vector<unsigned>{a, b}));
    EXPECT_NEAR(sorted.depth, depthAt(30), 1e-5);
    EXPECT_EQ(pick(0, 0, {0, 0, 1, 1}).tags, (std::vector<unsigned>{a, b}));
}

TEST_F(HitNamesTest, OverflowLeavesTheOutputsAlone) {
    block(0, 0, 0, 10, 10, 10, kRed);
    block(0, 0, 20, 10, 10, 10, kRed);
    buffer.assign(5, 0);
    glSelectBuffer(5, buffer.data()); // room for one record of one name
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    unsigned count = 77;
    double depth = -3;
    unsigned options[10] = {1, 0, 1, 1};
    dqGetHitNames(options, nullptr, &count, buffer.data(), &depth);
    EXPECT_EQ(count, 77u);
    EXPECT_EQ(depth, -3);
    GLint mode = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    EXPECT_EQ(mode, GL_RENDER);
}
