// One frame of a 1 000 000-move CL path.
//
// The scene display records the path's drawing into a display list once
// and calls the list in every frame, so the frame time is the list's
// replay. The baseline is a hand-written list of the same primitives (one
// line strip through the move ends and one points primitive of them, as
// the path's moves and end points are drawn) measured in the same run;
// the path's frame and its recording are printed in milliseconds and as a
// ratio to the baseline, in wall time (llvmpipe renders on threads of its
// own). Rendering is Mesa's llvmpipe on the CPU, so the
// viewport is kept small to measure the vertices rather than the fill.
#include "BenchSupport.h"
#include "HeadlessGL.h"
#include "korvex.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMoves = 1000000;
constexpr int kSize = 256;

struct Fixture {
    orvane_testing::HeadlessGL gl{kSize, kSize};
    unsigned tag = 0;
    std::vector<double> ends; // x, y, z of the start and every move end

    Fixture() {
        if (!gl.ok()) {
            std::fprintf(stderr, "no headless GL: %s\n", gl.error().c_str());
            return;
        }
        dqCreateSession();
        // A zigzag of short linear moves over a 100 x 100 field.
        char name[] = "/tmp/ORclbenchXXXXXX";
        int fd = mkstemp(name);
        FILE* f = fdopen(fd, "w");
        std::fprintf(f, "G90 G01 X0. Y0. Z0.\n");
        ends = {0, 0, 100, 0, 0, 0};
        for (int k = 1; k < kMoves; ++k) {
            const double x = (k % 1000) * 0.1, y = (k / 1000) * 0.1;
            const double xx = (k / 1000) % 2 ? 100 - x : x;
            std::fprintf(f, "X%.1f Y%.1f\n", xx, y);
            ends.insert(ends.end(), {xx, y, 0});
        }
        std::fclose(f);
        double progress = 0;
        tag = dqCreateCLFromNCFile(name, &progress);
        std::remove(name);

        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-5, 105, -5, 105, -200, 200);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    ~Fixture() { dqDestroySession(); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void recordBaseline(const std::vector<double>& ends) {
    // The path's own line width and point size (the defaults 1 and 3).
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glLineWidth(1.0f);
    glPointSize(3.0f);
    glColor4f(0, 0, 1, 1);
    glBegin(GL_LINE_STRIP);
    for (std::size_t i = 0; i < ends.size(); i += 3) glVertex3d(ends[i], ends[i + 1], ends[i + 2]);
    glEnd();
    glColor4f(1, 0.5f, 0.25f, 1);
    glBegin(GL_POINTS);
    for (std::size_t i = 3; i < ends.size(); i += 3) glVertex3d(ends[i], ends[i + 1], ends[i + 2]);
    glEnd();
    glPopAttrib();
}

void recordPath(unsigned tag) {
    gqCOpenGL context;
    dqDrawCL(tag, 0, context, nullptr);
}

template <class Record> void compile(benchmark::State& state, Record record) {
    Fixture& f = fixture();
    if (!f.tag) {
        state.SkipWithError("no path");
        return;
    }
    GLuint list = glGenLists(1);
    for (auto _ : state) {
        glNewList(list, GL_COMPILE);
        record(f);
        glEndList();
        glFinish();
    }
    glDeleteLists(list, 1);
    state.SetItemsProcessed(state.iterations());
}

template <class Record> void frame(benchmark::State& state, Record record) {
    Fixture& f = fixture();
    if (!f.tag) {
        state.SkipWithError("no path");
        return;
    }
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    record(f);
    glEndList();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glCallList(list);
        glFinish();
    }
    glDeleteLists(list, 1);
    state.SetItemsProcessed(state.iterations());
}

void BM_BaselineListCompile(benchmark::State& s) {
    compile(s, [](Fixture& f) { recordBaseline(f.ends); });
}
void BM_ClDrawListCompile(benchmark::State& s) {
    compile(s, [](Fixture& f) { recordPath(f.tag); });
}
void BM_BaselineFrame(benchmark::State& s) {
    frame(s, [](Fixture& f) { recordBaseline(f.ends); });
}
void BM_ClDrawFrame(benchmark::State& s) {
    frame(s, [](Fixture& f) { recordPath(f.tag); });
}

BENCHMARK(BM_BaselineListCompile)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ClDrawListCompile)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_BaselineFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ClDrawFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void printMs(const benchsupport::RateReporter& r, const std::string& name, const std::string& base) {
    auto a = r.find(name), b = r.find(base);
    if (a == r.rates.end() || b == r.rates.end()) return;
    std::printf("%-24s %9.1f ms   baseline %9.1f ms   = %.2f x baseline time\n", name.c_str(),
                1000.0 / a->second, 1000.0 / b->second, b->second / a->second);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchsupport::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d-move CL path:\n", kMoves);
    printMs(reporter, "BM_ClDrawFrame", "BM_BaselineFrame");
    printMs(reporter, "BM_ClDrawListCompile", "BM_BaselineListCompile");
    benchmark::Shutdown();
}
