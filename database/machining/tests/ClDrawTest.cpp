// The CL path drawing, checked by what reaches OpenGL: the vertices the
// feedback render mode returns (with their colour, which tells the passes
// apart) and real pixels read back from a headless context.
#include "HeadlessGL.h"
#include "NcTestSupport.h"

#include "machining/ClRecord.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace orvane_testing;

namespace {

constexpr int kSize = 200;
// glOrtho(-100, 100, -100, 100, -1000, 1000) on a 200 x 200 viewport: one
// model unit per pixel, window x = X + 100.
constexpr double kFar = 1000;
constexpr double kPi = std::numbers::pi;

struct Vtx {
    double x, y, z;
    float r, g, b;
};

enum class Pass { Path, Rapid, EndPoint, Marker, Other };

Pass passOf(const Vtx& v) {
    auto is = [&](float r, float g, float b) {
        return std::fabs(v.r - r) < 0.02f && std::fabs(v.g - g) < 0.02f && std::fabs(v.b - b) < 0.02f;
    };
    if (is(0, 0, 1)) return Pass::Path;
    if (is(0.1f, 0.1f, 0.1f)) return Pass::Rapid;
    if (is(1, 0.5f, 0.25f)) return Pass::EndPoint;
    if (is(1, 0, 0)) return Pass::Marker;
    return Pass::Other;
}

// What one dqDrawCL call sent to OpenGL, in model coordinates.
struct Capture {
    std::vector<std::pair<Vtx, Vtx>> lines; // every segment of strips and GL_LINES
    std::vector<Vtx> points;

    std::vector<std::pair<Vtx, Vtx>> linesOf(Pass p) const {
        std::vector<std::pair<Vtx, Vtx>> out;
        for (const auto& l : lines)
            if (passOf(l.first) == p) out.push_back(l);
        return out;
    }
    std::vector<Vtx> pointsOf(Pass p) const {
        std::vector<Vtx> out;
        for (const auto& v : points)
            if (passOf(v) == p) out.push_back(v);
        return out;
    }
    bool empty() const { return lines.empty() && points.empty(); }
};

Capture capture(unsigned tag, unsigned mode = gqCOpenGL::Draw, double* point = nullptr) {
    // Large enough for the damaged paths' finest subdivision; kept between
    // calls since clearing it each time is what a sanitizer run would spend.
    static std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    gqCOpenGL context;
    context.SetMode(mode);
    dqDrawCL(tag, 0, context, point);
    const GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";

    Capture c;
    auto vertex = [&](GLint& i) {
        Vtx v;
        v.x = buffer[i] - kSize / 2.0;
        v.y = buffer[i + 1] - kSize / 2.0;
        v.z = (1.0 - 2.0 * buffer[i + 2]) * kFar;
        v.r = buffer[i + 3];
        v.g = buffer[i + 4];
        v.b = buffer[i + 5];
        i += 7;
        return v;
    };
    for (GLint i = 0; i < n;) {
        const GLint token = GLint(buffer[i++]);
        if (token == GL_POINT_TOKEN) {
            c.points.push_back(vertex(i));
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            Vtx a = vertex(i);
            Vtx b = vertex(i);
            c.lines.emplace_back(a, b);
        } else if (token == GL_POLYGON_TOKEN) {
            const GLint count = GLint(buffer[i++]);
            i += 7 * count;
            ADD_FAILURE() << "a path draws no polygons";
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
        } else {
            i += 7; // bitmap and pixel tokens carry one vertex
        }
    }
    return c;
}

void expectAt(const Vtx& v, double x, double y, double z, double tol = 2e-3) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol * 50); // depth is stored in a float over +-1000
}

unsigned intList(unsigned tag) { return dqGetChild(tag, 0, 0, dqCClassIntList, nullptr); }
unsigned realList(unsigned tag) { return dqGetChild(tag, 0, 0, dqCClassRealList, nullptr); }

class ClDraw : public nctest::SessionTest {
protected:
    void SetUp() override {
        nctest::SessionTest::SetUp();
        ASSERT_TRUE(gl.ok()) << gl.error();
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-kSize / 2.0, kSize / 2.0, -kSize / 2.0, kSize / 2.0, -kFar, kFar);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        before = stackDepths();
    }
    void TearDown() override {
        EXPECT_EQ(stackDepths(), before);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        nctest::SessionTest::TearDown();
    }

    // A path with the switches given (entry, value) and shift type, with no
    // gauge offset unless asked: the cutter of the default scene has one.
    unsigned path(const std::string& program, std::vector<std::pair<unsigned, unsigned>> switches = {},
                  unsigned shiftType = 1) {
        unsigned tag = load(program);
        EXPECT_NE(tag, 0u) << program;
        dqSetIntListElem(intList(tag), 1, 0); // end points off unless asked
        for (auto [entry, value] : switches) dqSetIntListElem(intList(tag), entry, value);
        dqSetIntListElem(intList(tag), 9, shiftType);
        dqSetRealListElem(realList(tag), 17, 0.0);
        dqSetRealListElem(realList(tag), 18, 0.0);
        return tag;
    }

    HeadlessGL gl{kSize, kSize};
    StackDepths before;
};

// ----------------------------------------------------------------------------
// Passes and filters

TEST_F(ClDraw, InitialRecordOnlyIsOneEndPointWithRapidMovesIncluded) {
    unsigned tag = path("G90\n", {{1, 1}});
    EXPECT_TRUE(capture(tag).empty());

    dqSetIntListElem(intList(tag), 0, 1);
    Capture c = capture(tag);
    EXPECT_TRUE(c.lines.empty());
    ASSERT_EQ(c.points.size(), 1u);
    EXPECT_EQ(passOf(c.points[0]), Pass::EndPoint);
    expectAt(c.points[0], 0, 0, 100);
}

TEST_F(ClDraw, RapidMovesOnlyWithTheirSwitchInTheirOwnColour) {
    const char* program = "G90 G00 X10. Y0. Z0.\nG01 X20.\nG00 X30.\nX40.\nG01 Y10.\n";
    unsigned tag = path(program);
    Capture c = capture(tag);
    // The cutting moves as two strips: start (10,0,0) -> (20,0,0), then
    // (40,0,0) -> (40,10,0).
    auto cut = c.linesOf(Pass::Path);
    ASSERT_EQ(cut.size(), 2u);
    expectAt(cut[0].first, 10, 0, 0);
    expectAt(cut[0].second, 20, 0, 0);
    expectAt(cut[1].first, 40, 0, 0);
    expectAt(cut[1].second, 40, 10, 0);
    EXPECT_TRUE(c.linesOf(Pass::Rapid).empty());
    EXPECT_EQ(c.lines.size(), 2u);

    dqSetIntListElem(intList(tag), 0, 1);
    dqSetIntListElem(intList(tag), 1, 1);
    c = capture(tag);
    auto rapid = c.linesOf(Pass::Rapid);
    ASSERT_EQ(rapid.size(), 3u); // (0,0,100)->(10,0,0); (20,0,0)->(30,0,0)->(40,0,0)
    expectAt(rapid[0].first, 0, 0, 100);
    expectAt(rapid[1].first, 20, 0, 0);
    expectAt(rapid[2].second, 40, 0, 0);
    // With rapid moves included, every record's end is an end point.
    EXPECT_EQ(c.pointsOf(Pass::EndPoint).size(), 6u);

    dqSetIntListElem(intList(tag), 0, 0);
    EXPECT_EQ(capture(tag).pointsOf(Pass::EndPoint).size(), 2u);
}

TEST_F(ClDraw, ToolAxisVectorsHaveThePathsToolLength) {
    unsigned tag = path("G90 G01 X10. Y0. Z0.\nX20.\n", {{2, 1}});
    dqSetRealListElem(realList(tag), 18, 5.0);
    Capture c = capture(tag);
    auto lines = c.linesOf(Pass::Path);
    ASSERT_EQ(lines.size(), 4u); // two moves, two vectors
    expectAt(lines[2].first, 10, 0, 0);
    expectAt(lines[2].second, 10, 0, 5);
    expectAt(lines[3].first, 20, 0, 0);
    expectAt(lines[3].second, 20, 0, 5);

    dqSetIntListElem(intList(tag), 0, 1); // the initial record joins in
    EXPECT_EQ(capture(tag).linesOf(Pass::Path).size(), 5u);
}

// ----------------------------------------------------------------------------
// Arcs

struct ArcCase {
    const char* what;
    const char* program;    // a lead-in rapid, then the arc
    unsigned segments;      // of the arc
    double centre[3];       // of the circle, at the arc's start height
    int u, v;               // in-plane axes 0 X, 1 Y, 2 Z
    double radius;
    double first[3];        // the vertex after the first segment
    double last[3];
};

TEST_F(ClDraw, ArcsAreSplitBySweepInTheirPlaneAndSense) {
    const double c9 = 10 * std::cos(kPi / 18), s9 = 10 * std::sin(kPi / 18); // 10 degrees
    const double c45 = 10 * std::cos(kPi / 20), s45 = 10 * std::sin(kPi / 20); // 9 degrees
    const ArcCase cases[] = {
        {"45 degrees in 5", "G90 G00 X10. Y0. Z0.\nG17 G03 X7.0710678 Y7.0710678 I-10. J0.\n", 5,
         {0, 0, 0}, 0, 1, 10, {c45, s45, 0}, {7.0711, 7.0711, 0}},
        {"95 degrees in 10", "G90 G00 X10. Y0. Z0.\nG03 X-.8715574 Y9.9619470 I-10.\n", 10,
         {0, 0, 0}, 0, 1, 10, {10 * std::cos(0.95 * kPi / 18), 10 * std::sin(0.95 * kPi / 18), 0},
         {-0.8716, 9.9619, 0}},
        {"clockwise quarter", "G90 G00 X10. Y0. Z0.\nG02 X0. Y-10. I-10.\n", 9, {0, 0, 0}, 0, 1, 10,
         {c9, -s9, 0}, {0, -10, 0}},
        {"its counter-clockwise complement", "G90 G00 X10. Y0. Z0.\nG03 X0. Y-10. I-10.\n", 27,
         {0, 0, 0}, 0, 1, 10, {c9, s9, 0}, {0, -10, 0}},
        // ZX plane: u = Z, v = X, turning about +Y: from X = 10 towards -Z.
        {"ZX plane", "G90 G00 X10. Y0. Z0.\nG18 G03 X0. Z-10. I-10.\n", 9, {0, 0, 0}, 2, 0, 10,
         {c9, 0, -s9}, {0, 0, -10}},
        // YZ plane with a rise along X: a helix.
        {"YZ helix", "G90 G00 X0. Y10. Z0.\nG19 G03 X4.5 Y0. Z10. J-10.\n", 9, {0, 0, 0}, 1, 2, 10,
         {0.5, c9, s9}, {4.5, 0, 10}},
        // The centre word is off by 0.01 from equidistant: it is moved onto
        // the bisector, so the arc still ends where the block says.
        {"centre correction", "G90 G00 X10. Y0. Z0.\nG03 X0. Y10. I-10.01 J.01\n", 9, {0, 0, 0}, 0, 1,
         10, {c9, s9, 0}, {0, 10, 0}},
    };
    for (const ArcCase& k : cases) {
        SCOPED_TRACE(k.what);
        dqCreateSession();
        glClear(GL_COLOR_BUFFER_BIT);
        unsigned tag = path(k.program);
        auto lines = capture(tag).linesOf(Pass::Path);
        ASSERT_EQ(lines.size(), k.segments);
        expectAt(lines.front().second, k.first[0], k.first[1], k.first[2]);
        expectAt(lines.back().second, k.last[0], k.last[1], k.last[2]);
        for (const auto& l : lines) {
            const double p[3] = {l.second.x, l.second.y, l.second.z};
            EXPECT_NEAR(std::hypot(p[k.u] - k.centre[k.u], p[k.v] - k.centre[k.v]), k.radius, 3e-3);
        }
    }
}

TEST_F(ClDraw, ComplementaryArcsCoverTheCircleOnce) {
    // Pixels of a circle of radius 60: the clockwise arc fills the quarter
    // below right, the counter-clockwise one the rest, and together they
    // cover every direction exactly once.
    const std::uint8_t white[3] = {255, 255, 255};
    // Directions in 5-degree buckets.
    std::vector<int> hits(72, 0);
    for (const char* program : {"G90 G00 X60. Y0. Z0.\nG02 X0. Y-60. I-60.\n",
                                "G90 G00 X60. Y0. Z0.\nG03 X0. Y-60. I-60.\n"}) {
        SCOPED_TRACE(program);
        glClear(GL_COLOR_BUFFER_BIT);
        gqCOpenGL context;
        dqDrawCL(path(program), 0, context, nullptr);
        Image image = readImage(gl);
        std::vector<bool> seen(72, false);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                if (!image.covered(x, y, white)) continue;
                const double dx = x + 0.5 - kSize / 2.0, dy = y + 0.5 - kSize / 2.0;
                EXPECT_NEAR(std::hypot(dx, dy), 60, 1.5) << x << "," << y;
                int a = int(std::floor(std::atan2(dy, dx) * 180 / kPi + 360)) % 360;
                seen[a / 5] = true;
                EXPECT_EQ(image.at(x, y)[2], 255); // the path's blue
            }
        for (int a = 0; a < 72; ++a) hits[a] += seen[a];
        const bool clockwise = std::strstr(program, "G02") != nullptr;
        EXPECT_EQ(seen[315 / 5], clockwise);
        EXPECT_EQ(seen[45 / 5], !clockwise);
        EXPECT_EQ(seen[180 / 5], !clockwise);
    }
    // Away from the two shared end points every direction is hit once.
    for (int a = 0; a < 72; ++a) {
        if (a == 0 || a == 71 || a == 53 || a == 54) continue;
        EXPECT_EQ(hits[a], 1) << a * 5 << " degrees";
    }
}

TEST_F(ClDraw, FullCircleIsAMoveOfZeroLength) {
    auto lines = capture(path("G90 G00 X10. Y0. Z0.\nG02 X10. Y0. I-10.\n")).linesOf(Pass::Path);
    ASSERT_EQ(lines.size(), 1u);
    expectAt(lines[0].first, 10, 0, 0);
    expectAt(lines[0].second, 10, 0, 0);
}

// ----------------------------------------------------------------------------
// Rotary axes and the machine chain

TEST_F(ClDraw, RotaryMovesTakeTheShortWayInRotaryStepsForShiftTypes0And1) {
    struct Case {
        double from, to;
        unsigned shiftType, segments;
    } cases[] = {
        {0, 350, 1, 1},  {0, 340, 1, 2},  {0, 180, 1, 18}, {10, -350, 1, 1}, {0, 95, 0, 10},
        {0, 350, 0, 1},  {0, 180, 2, 1},  {0, 180, 3, 1},  {0, 0, 1, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.from) + " -> " + std::to_string(k.to) + " shift " +
                     std::to_string(k.shiftType));
        dqCreateSession();
        const std::string program = "G90 G00 X0. Y0. Z10. A" + std::to_string(k.from) + "\nG01 X10. A" +
                                    std::to_string(k.to) + "\n";
        auto lines = capture(path(program, {}, k.shiftType)).linesOf(Pass::Path);
        EXPECT_EQ(lines.size(), k.segments);
    }
}

TEST_F(ClDraw, PointsGoThroughThePathsMachineChain) {
    // Default machine: A turns about +X. From Z = 50, A = 90 degrees takes
    // (x, 0, 50) to (x, -50, 0), in nine 10-degree steps on a circle.
    auto lines = capture(path("G90 G00 X10. Y0. Z50.\nG01 X10. A90.\n")).linesOf(Pass::Path);
    ASSERT_EQ(lines.size(), 9u);
    expectAt(lines.back().second, 10, -50, 0);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const double a = (k + 1) * kPi / 18;
        expectAt(lines[k].second, 10, -50 * std::sin(a), 50 * std::cos(a));
    }

    struct Case {
        const char* what;
        unsigned shiftType;
        double gauge;
        double origin[6];
        double expected[3]; // of the program point (10, 0, 0)
    } cases[] = {
        {"type 0 draws the tip below the gauge point", 0, 5, {}, {10, 0, -5}},
        {"type 1 draws the program point", 1, 5, {}, {10, 0, 0}},
        {"type 1 with the origin as axis offsets", 1, 0, {1, 2, 3, 0, 0, 0}, {11, 2, 3}},
        {"type 3 from the origin's machine point", 3, 5, {1, 2, 3, 0, 0, 0}, {11, 2, 3}},
        {"type 3 with a turned origin", 3, 0, {0, 0, 10, kPi / 2, 0, 0}, {10, -10, 0}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        dqCreateSession();
        unsigned tag = path("G90 G00 X10. Y0. Z0.\nG01 X10.\n", {}, k.shiftType);
        dqSetRealListElem(realList(tag), 17, k.gauge);
        for (int i = 0; i < 6; ++i) dqSetRealListElem(realList(tag), 11 + i, k.origin[i]);
        auto lines = capture(tag).linesOf(Pass::Path);
        ASSERT_EQ(lines.size(), 1u);
        expectAt(lines[0].second, k.expected[0], k.expected[1], k.expected[2]);
    }
}

TEST_F(ClDraw, ShiftType3ToolAxisFollowsTheOrigin) {
    unsigned tag = path("G90 G01 X10. Y0. Z0.\n", {{2, 1}}, 3);
    const double origin[6] = {0, 0, 0, kPi / 2, 0, 0};
    for (int i = 0; i < 6; ++i) dqSetRealListElem(realList(tag), 11 + i, origin[i]);
    dqSetRealListElem(realList(tag), 18, 5.0);
    auto lines = capture(tag).linesOf(Pass::Path);
    ASSERT_EQ(lines.size(), 2u);
    expectAt(lines[1].first, 10, 0, 0);
    expectAt(lines[1].second, 10, -5, 0);
}

// ----------------------------------------------------------------------------
// The trace range and the other modes

class ClDrawRange : public ClDraw {
protected:
    // Twenty moves along X at Z = 0 after the lead-in from the start pose.
    unsigned straight() {
        std::string program = "G90 G01 Y0. Z0.\n";
        for (int k = 1; k <= 20; ++k) program += "X" + std::to_string(k) + ".\n";
        return path(program, {{0, 1}, {1, 1}, {2, 1}, {3, 1}});
    }
    void setStepCount(int n) { dqSetIntListElem(dqGetParamTag(36), 2, static_cast<unsigned>(n)); }
};

TEST_F(ClDrawRange, NothingIsDrawnWithBaseAndCurrentAtTheStart) {
    unsigned tag = straight();
    dqStartCLTrace(tag);
    EXPECT_TRUE(capture(tag).empty());
}

TEST_F(ClDrawRange, ATraceDrawsOnlyTheRecordsBehindTheTool) {
    unsigned tag = straight();
    dqSetIntListElem(intList(tag), 2, 0);
    dqSetIntListElem(intList(tag), 3, 0);
    dqStartCLTrace(tag);
    setStepCount(5); // the initial record and four moves
    dqGoCLNextTrace(tag);
    Capture c = capture(tag);
    auto cut = c.linesOf(Pass::Path);
    // The lead-in and the moves to X = 1, 2, 3.
    ASSERT_EQ(cut.size(), 4u);
    expectAt(cut.front().first, 0, 0, 100);
    expectAt(cut.back().second, 3, 0, 0);
    EXPECT_EQ(c.pointsOf(Pass::EndPoint).size(), 5u);
    auto rapid = c.linesOf(Pass::Rapid);
    EXPECT_TRUE(rapid.empty());

    dqCleanCLTrace(tag);
    dqGoCLNextTrace(tag); // five more
    cut = capture(tag).linesOf(Pass::Path);
    // A record is on the trail when its end lies between base and current,
    // so the move that ends at the cleaned base is drawn with the five.
    ASSERT_EQ(cut.size(), 6u);
    expectAt(cut.front().first, 2, 0, 0);
    expectAt(cut.back().second, 8, 0, 0);
}

TEST_F(ClDrawRange, ViewBoxModeMeasuresTheWholePathWhateverTheCursor) {
    unsigned tag = straight();
    double idle[6], traced[6];
    gqCOpenGL context;
    context.SetMode(gqCOpenGL::ViewBox);
    dqDrawCL(tag, 0, context, nullptr);
    context.GetViewBox(idle);
    dqStartCLTrace(tag);
    context.SetMode(gqCOpenGL::ViewBox);
    dqDrawCL(tag, 0, context, nullptr);
    context.GetViewBox(traced);
    for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(traced[i], idle[i]) << i;
    // The start pose (0, 0, 100) and the last move's end (20, 0, 0).
    EXPECT_NEAR(idle[0], 100, 1e-5);
    EXPECT_NEAR(idle[3], 120, 1e-5);
    EXPECT_NEAR(idle[1], 100, 1e-5);
    EXPECT_NEAR(idle[4], 100, 1e-5);
    EXPECT_NEAR(idle[2], 0.45, 1e-5);
    EXPECT_NEAR(idle[5], 0.5, 1e-5);
    // Neither mode draws a thing.
    Capture silent = capture(tag, gqCOpenGL::ViewBox);
    EXPECT_TRUE(silent.empty());
    EXPECT_TRUE(capture(tag, gqCOpenGL::Silent).empty());
}

TEST_F(ClDrawRange, SilentDrawingReportsTheTracePoint) {
    // A path of lines, arcs and rotary moves, traced at random; after every
    // operation the drawing reports the pose that the trace point does.
    std::string program = "G90 G01 X0. Y0. Z0.\n";
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-40, 40), angle(-400, 400), kind(0, 4);
    for (int k = 0; k < 40; ++k) {
        switch (kind(rng)) {
        case 0: program += "G00 X" + std::to_string(coord(rng)) + ".\n"; break;
        case 1: program += "G01 Y" + std::to_string(coord(rng)) + ". A" + std::to_string(angle(rng)) + ".\n"; break;
        case 2: program += "G02 X" + std::to_string(coord(rng)) + ". I3.\n"; break;
        case 3: program += "G03 Y" + std::to_string(coord(rng)) + ". J-2. C" + std::to_string(angle(rng)) + ".\n"; break;
        default: program += "G01 Z" + std::to_string(coord(rng)) + ". B" + std::to_string(angle(rng)) + ".\n"; break;
        }
    }
    unsigned tag = path(program, {{0, 1}, {1, 1}, {3, 1}, {7, 1}});
    std::uniform_int_distribution<int> op(0, 5), steps(-7, 7);
    for (int k = 0; k < 120; ++k) {
        switch (op(rng)) {
        case 0: dqStartCLTrace(tag); break;
        case 1: setStepCount(steps(rng)); dqGoCLNextTrace(tag); break;
        case 2: setStepCount(steps(rng)); dqGoCLBackTrace(tag); break;
        case 3: dqCleanCLTrace(tag); break;
        case 4: dqSetCLTraceRate(tag, std::uniform_real_distribution<double>(0, 1)(rng)); break;
        default: dqEndCLTrace(tag); break;
        }
        SCOPED_TRACE(k);
        double expected[6], silent[6], drawn[6];
        dqGetCLTracePoint(tag, expected);
        gqCOpenGL context;
        context.SetMode(gqCOpenGL::Silent);
        dqDrawCL(tag, tag + 1, context, silent);
        capture(tag, gqCOpenGL::Draw, drawn);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(silent[i], expected[i]) << i;
            EXPECT_EQ(drawn[i], expected[i]) << i;
        }
    }
}

TEST_F(ClDraw, NoDataDrawsNothingAndLeavesThePoint) {
    unsigned tag = path("G90 G01 X10.\n");
    double point[6] = {1, 2, 3, 4, 5, 6};
    for (unsigned wrong : {0u, dqGetParamTag(22), 99999u}) {
        EXPECT_TRUE(capture(wrong, gqCOpenGL::Draw, point).empty());
        EXPECT_EQ(point[0], 1);
    }
    dqAllocData(tag, nullptr);
    EXPECT_TRUE(capture(tag, gqCOpenGL::Draw, point).empty());
    EXPECT_EQ(point[5], 6);
}

// ----------------------------------------------------------------------------
// Markers

struct MarkerCase {
    const char* what;
    const char* program;
    unsigned switchEntry;
    std::vector<std::array<double, 3>> marks;
};

TEST_F(ClDraw, MarkersPointAtSuspiciousPlaces) {
    const MarkerCase cases[] = {
        {"a short move", "G90 G00 X10. Y0. Z0.\nG01 X20.\nX20.005\n", 3, {{20.005, 0, 0}}},
        {"no travel is no short move", "G90 G00 X10. Y0. Z0.\nG01 X20.\nX20.\n", 3, {}},
        {"a short rotary move", "G90 G00 X10. Y0. Z0.\nG01 X20.\nA.005\n", 3, {{20, 0, 0}}},
        {"crossing the reference plane", "G90 G00 X10. Y0. Z10.\nG01 Z-10.\nX20.\n", 6, {{10, 0, 0}}},
        // Only a crossing strictly inside a segment counts: a path that
        // meets the plane at a vertex is not marked twice or at all.
        {"meeting the plane at a vertex", "G90 G00 X10. Y0. Z10.\nG01 Z0.\nZ-10.\n", 6, {}},
        {"running in the plane marks both ends", "G90 G00 X10. Y0. Z0.\nG01 X20.\n", 6,
         {{10, 0, 0}, {20, 0, 0}}},
        {"an axis reversing", "G90 G00 X0. Y0. Z0.\nG01 X10.\nX0.\n", 7, {{10, 0, 0}}},
        {"a table swinging while the tool stands", "G90 G00 X10. Y0. Z0.\nG01 A30.\n", 5,
         {{10, 0, 0}, {10, 0, 0}, {10, 0, 0}}},
        {"a rotary axis creeping", "G90 G00 X0. Y0. Z0.\nG01 X10. A.001\n", 4, {{5, 0, 0}}},
        {"a plain move is not suspicious", "G90 G00 X0. Y0. Z0.\nG01 X10. Y5.\n", 4, {}},
    };
    for (const MarkerCase& k : cases) {
        SCOPED_TRACE(k.what);
        dqCreateSession();
        Capture c = capture(path(k.program, {{k.switchEntry, 1}}));
        auto marks = c.pointsOf(Pass::Marker);
        ASSERT_EQ(marks.size(), k.marks.size());
        for (std::size_t i = 0; i < marks.size(); ++i)
            expectAt(marks[i], k.marks[i][0], k.marks[i][1], k.marks[i][2]);
        EXPECT_EQ(c.points.size(), marks.size());
    }
}

TEST_F(ClDraw, MarkersRunOnlyInDrawMode) {
    unsigned tag = path("G90 G00 X10. Y0. Z0.\nG01 X20.\nX20.005\n", {{3, 1}, {1, 1}});
    gqCOpenGL context;
    context.SetMode(gqCOpenGL::ViewBox);
    dqDrawCL(tag, 0, context, nullptr);
    double box[6];
    context.GetViewBox(box);
    // The box holds the cutting moves only (rapid moves are not included):
    // from (10, 0, 0) to (20.005, 0, 0).
    EXPECT_NEAR(box[0], 110, 1e-5);
    EXPECT_NEAR(box[3], 120.005, 1e-5);
}

// ----------------------------------------------------------------------------
// Pixels and state

TEST_F(ClDraw, PixelsShowPathEndPointsAndRapidMovesInTheirColours) {
    unsigned tag = path("G90 G00 X-40. Y-40. Z0.\nG01 X40.\nY40.\nG00 X-40.\n", {{0, 1}, {1, 1}});
    dqSetRealListElem(realList(tag), 0, 0.1);
    gqCOpenGL context;
    glColor4f(0.3f, 0.6f, 0.9f, 1.0f);
    glLineWidth(1.0f);
    dqDrawCL(tag, 0, context, nullptr);
    Image image = readImage(gl);
    auto px = [&](double x, double y) { return image.at(int(x + kSize / 2), int(y + kSize / 2)); };
    // A line on a pixel boundary lands on the row on either side: look for
    // the colour in the pixel's neighbourhood.
    auto expectColour = [&](double x, double y, int r, int g, int b) {
        bool found = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const std::uint8_t* p = px(x + dx, y + dy);
                found = found || (std::abs(p[0] - r) <= 2 && std::abs(p[1] - g) <= 2 &&
                                  std::abs(p[2] - b) <= 2);
            }
        EXPECT_TRUE(found) << x << "," << y << " lacks " << r << " " << g << " " << b;
    };
    auto expectBlank = [&](double x, double y) {
        const std::uint8_t* p = px(x, y);
        EXPECT_EQ(p[0] + p[1] + p[2], 3 * 255) << x << "," << y;
    };
    expectColour(0, -40, 0, 0, 255);   // the cutting move along the bottom
    expectColour(40, 0, 0, 0, 255);    // and up the right
    expectColour(0, 40, 26, 26, 26);   // the rapid move back along the top
    expectColour(40, 40, 255, 128, 64); // end points over the lines (3 px)
    expectColour(41, 41, 255, 128, 64);
    expectBlank(-30, 30);
    expectBlank(20, 20);
    expectBlank(0, -35);
    // The colour, line width and point size of the caller are kept.
    GLfloat colour[4], width, size;
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_FLOAT_EQ(colour[2], 0.9f);
    EXPECT_FLOAT_EQ(width, 1.0f);
    EXPECT_FLOAT_EQ(size, 1.0f);
}

TEST_F(ClDraw, EveryPassRunsUnderThePreDrawList) {
    // A pre-draw list that moves everything by (5, 7, 0): each pass is
    // drawn under it and leaves the matrix as it was.
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glTranslated(5, 7, 0);
    glEndList();
    unsigned tag = path("G90 G00 X10. Y0. Z0.\nG01 X20.\nX20.005\n", {{0, 1}, {1, 1}, {2, 1}, {3, 1}});

    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    gqCOpenGL context;
    dqDrawCL(tag, list, context, nullptr);
    GLint n = glRenderMode(GL_RENDER);
    int vertices = 0;
    for (GLint i = 0; i < n;) {
        GLint token = GLint(buffer[i++]);
        int count = token == GL_POINT_TOKEN ? 1 : 2;
        for (int k = 0; k < count; ++k, i += 3) {
            ++vertices;
            const double x = buffer[i] - kSize / 2.0, y = buffer[i + 1] - kSize / 2.0;
            EXPECT_GE(x, 4.99);
            EXPECT_NEAR(y, 7, 1e-3);
        }
    }
    EXPECT_GT(vertices, 10);
    glDeleteLists(list, 1);
}

TEST_F(ClDraw, DamagedBuffersAndChildrenAreDrawnSafely) {
    // Random move codes and values behind a valid header, walked in every
    // mode with every switch on; and lists that are too short or hold
    // nonsense steps.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> codes(-100000, 100000), small(0, 7);
    std::uniform_real_distribution<double> values(-50, 50);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        dqCreateSession();
        unsigned tag = path("G90 G01 X1.\n", {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}},
                            unsigned(small(rng)) % 5);
        std::vector<unsigned char> bytes = nctest::bufferOf(tag);
        bytes.resize(96);
        for (int r = 0; r < 40; ++r) {
            std::int32_t code = round % 2 ? codes(rng)
                                          : DQ::joinMoveCode(small(rng), small(rng), small(rng),
                                                             small(rng) % 3, small(rng) % 4);
            const std::size_t at = bytes.size();
            const unsigned slots = DQ::recordSlots(code);
            bytes.resize(at + 8 * slots, 0);
            std::memcpy(&bytes[at], &code, 4);
            for (unsigned s = 1; s + 1 < slots; ++s) {
                double v = values(rng);
                if (r % 13 == 5) v = std::nan("");
                if (r % 17 == 3) v = 1e300;
                std::memcpy(&bytes[at + 8 * s], &v, 8);
            }
            std::memcpy(&bytes[at + 8 * (slots - 1)], &code, 4);
        }
        bytes.resize(bytes.size() - 5); // cut the last record short
        std::uint32_t total = std::uint32_t(bytes.size());
        std::memcpy(bytes.data(), &total, 4);
        dqSetData(tag, dqCreateData(bytes.data(), total));
        if (round % 3 == 0) {
            dqSetRealListElem(realList(tag), 0, round % 2 ? 0.0 : 1e-300);
            dqSetRealListElem(realList(tag), 1, -1.0);
            dqSetRealListElem(realList(tag), 10, std::nan(""));
        }
        if (round % 5 == 0) dqAllocData(realList(tag), nullptr);
        double point[6];
        for (unsigned mode : {0u, 1u, 3u}) capture(tag, mode, point);
    }
}

} // namespace

TEST(ClTracePoint, NeedsNoOpenGLContext) {
    // No context is current in this test: the trace point is plain walking.
    dqCreateSession();
    nctest::TempFile file("G90 G01 X10. Y20. Z30. A400.\n");
    double cell = 0;
    unsigned tag = dqCreateCLFromNCFile(file.path(), &cell);
    ASSERT_NE(tag, 0u);
    double point[6];
    dqGetCLTracePoint(tag, point);
    EXPECT_DOUBLE_EQ(point[0], 10);
    EXPECT_DOUBLE_EQ(point[1], 20);
    EXPECT_DOUBLE_EQ(point[2], 30);
    EXPECT_DOUBLE_EQ(point[3], 40);
    dqDestroySession();
}
