// Figures whose payloads hold arbitrary bytes, as a damaged or hostile
// scene file can give them, are drawn and read without reading outside
// their blocks (run under the sanitizers) and leave OpenGL's stacks as they
// were.
#include "HeadlessGL.h"
#include "korvex.h"
#include "store/ClassSize.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace orvane_testing;

namespace {

double wildDouble(std::mt19937& rng) {
    static const double specials[] = {0.0,
                                      -0.0,
                                      1e-300,
                                      -1e-7,
                                      1e300,
                                      -1e300,
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::quiet_NaN(),
                                      3.0,
                                      0.01};
    std::uniform_int_distribution<int> pick(0, 3);
    switch (pick(rng)) {
    case 0: return specials[std::uniform_int_distribution<int>(0, 10)(rng)];
    case 1: return std::uniform_real_distribution<double>(-50, 50)(rng);
    case 2: {
        std::uint64_t bits = (std::uint64_t(rng()) << 32) | rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    default: return std::uniform_real_distribution<double>(0, 20)(rng);
    }
}

// A block of n bytes of wild doubles and words, made consistent with the
// class's size rule the way the scene reader insists on.
std::vector<unsigned char> wildBlock(std::mt19937& rng, dqCClassEnum cls) {
    std::vector<unsigned char> bytes;
    auto putDouble = [&](double d) {
        unsigned char b[8];
        std::memcpy(b, &d, 8);
        bytes.insert(bytes.end(), b, b + 8);
    };
    auto putWord = [&](std::uint32_t w) {
        unsigned char b[4];
        std::memcpy(b, &w, 4);
        bytes.insert(bytes.end(), b, b + 4);
    };
    if (cls == dqCClassHolder || cls == dqCClassSpindle) {
        std::uint32_t n = std::uniform_int_distribution<std::uint32_t>(0, 40)(rng);
        for (int i = 0; i < 3; ++i) putDouble(wildDouble(rng));
        putWord(n);
        putWord(rng());
        for (std::uint32_t i = 0; i < 2 * n; ++i) putDouble(wildDouble(rng));
        return bytes;
    }
    // Fixed-size records: the reader takes them only at their full size.
    const std::size_t size = cls == dqCClassCutter ? 96 : cls == dqCClassSphere ? 8 : 24;
    if (cls == dqCClassCutter) {
        putWord(std::uniform_int_distribution<std::uint32_t>(0, 4)(rng));
        putWord(rng());
    }
    while (bytes.size() < size) putDouble(wildDouble(rng));
    bytes.resize(size);
    return bytes;
}

} // namespace

TEST(DamagedPayload, FiguresDrawAndAnswerSafely) {
    HeadlessGL gl(32, 32);
    ASSERT_TRUE(gl.ok()) << gl.error();
    dqCreateSession();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 20, -20, 20, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);

    struct Figure {
        dqCClassEnum cls;
        void (*draw)(unsigned, unsigned, gqCOpenGL&);
    } figures[] = {
        {dqCClassCutter, dqDrawCutter}, {dqCClassHolder, dqDrawRotation},
        {dqCClassSpindle, dqDrawRotation}, {dqCClassBlock, dqDrawBlock},
        {dqCClassCone, dqDrawCone},     {dqCClassSphere, dqDrawSphere},
    };
    std::mt19937 rng(2024);
    const StackDepths before = stackDepths();
    for (int round = 0; round < 6; ++round) {
        for (const Figure& f : figures) {
            SCOPED_TRACE(testing::Message() << "round " << round << " class " << f.cls);
            std::vector<unsigned char> bytes = wildBlock(rng, f.cls);
            void* data = dqCreateData(bytes.data(), static_cast<unsigned>(bytes.size()));
            unsigned tag = dqAddData(f.cls, 0, data);
            ASSERT_NE(tag, 0u);
            dqAddData(dqCClassChildHead, 0, dqCreateData(&tag, 4));
            // Children the figures read, with wild values too.
            float color[4] = {0.5f, 0.5f, 0.5f, 1};
            dqAllocChild(tag, 0, 0, dqCClassColor, color);
            const double placement[9] = {wildDouble(rng), 0, 0, 0, 0, 1, 1, 0, 0};
            dqAllocChild(tag, 0, 0, dqCClassPlacement, placement);
            unsigned colorList[5] = {1};
            std::memcpy(colorList + 1, color, sizeof color);
            dqAllocChild(tag, 0, 0, dqCClassColorList, colorList);
            double reals[3] = {0, 0, 0};
            std::uint32_t head[2] = {1, 1};
            std::memcpy(reals, head, 8);
            reals[1] = std::bernoulli_distribution(0.25)(rng) ? wildDouble(rng) : 0.5;
            dqAllocChild(tag, 0, 0, dqCClassRealList, reals);

            // Every figure's drawing on every payload: a block of one class
            // handed to another figure's export must not be read as that
            // figure's larger record.
            for (const Figure& as : figures)
                for (unsigned mode : {0u, 1u, 3u, 4u}) {
                    if (as.cls != f.cls && mode != 0) continue; // reading is the point
                    gqCOpenGL context;
                    context.SetMode(mode);
                    glGetDoublev(GL_MODELVIEW_MATRIX, context.referenceMatrix);
                    context.referenceMatrix[12] = 3;
                    as.draw(tag, 0, context);
                    ASSERT_EQ(stackDepths(), before);
                }
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

            // The getters of every figure kind on every payload.
            unsigned n = 0;
            std::vector<double> points;
            dqGetRotation(tag, &n, nullptr);
            points.resize(2 * std::size_t(n));
            dqGetRotation(tag, &n, points.data());
            (void)dqGetRotationLength(tag);
            (void)dqGetCutterEffectiveLength(tag);
            (void)dqGetCutterShankAngle(tag);
            (void)dqGetBlockHeight(tag);
            (void)dqGetConeHeight(tag);
            (void)dqGetSphereDiameter(tag);
            // And the setters, journaled twice over so that every block
            // they leave behind is written to and read back from the
            // journal at the size its class claims.
            const unsigned mark = dqSetMark();
            for (int pass = 0; pass < 2; ++pass) {
                dqSetCutterDiameter(tag, 4 + pass);
                dqSetCutterShankAngle(tag, 0.3);
                dqSetCutterType(tag, 1);
                const double pts[4] = {1, 0, 2, 3 + pass};
                dqSetRotation(tag, 2 - pass, pts);
                dqSetBlock(tag, 1, 2, 3 + pass);
                dqSetCone(tag, 1, 2, 3 + pass);
                dqSetSphere(tag, 1 + pass);
                dqSetMark();
            }
            int count = 0;
            EXPECT_GT(dqDoToMark(mark, 0, &count, nullptr), 0);
            EXPECT_EQ(std::memcmp(dqGetData(tag), bytes.data(), bytes.size()), 0);
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    dqDestroySession();
}
