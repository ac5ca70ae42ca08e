// One trace step's three checks (pixel query, preparation and run of the
// cutting, shank and holder checks, default cutter and holder) on a scene
// holding a 500 000-triangle workpiece, with the tool standing still
// (from = to) and moving half a millimetre, each by the fast sweep path and
// by the reference path (every vertex projected and unprojected, every side
// of every swept triangle emitted). Rendering runs on Mesa's software
// renderer in a headless context, whose threads do part of the work, so the
// figures are wall-clock times. The step should take well under the default
// trace timer period of 100 ms.
#include "BenchSupport.h"
#include "HeadlessGL.h"
#include "korvex.h"
#include "shapes/SweepPath.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A 100 x 100 wavy top surface of 500 x 500 cells, two triangles each.
constexpr int kCells = 500;
constexpr double kSide = 100;

double surface(double x, double y) { return 10 + 0.8 * std::sin(x * 0.3) * std::cos(y * 0.2); }

bool writeWorkpiece(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    char header[80] = "workpiece";
    std::uint32_t count = 2u * kCells * kCells;
    std::fwrite(header, 1, 80, f);
    std::fwrite(&count, 4, 1, f);
    const double step = kSide / kCells;
    auto corner = [&](int i, int j, float* out) {
        double x = -kSide / 2 + i * step, y = -kSide / 2 + j * step;
        out[0] = float(x);
        out[1] = float(y);
        out[2] = float(surface(x, y));
    };
    unsigned char record[50] = {};
    for (int i = 0; i < kCells; ++i)
        for (int j = 0; j < kCells; ++j) {
            float v[4][3];
            corner(i, j, v[0]);
            corner(i + 1, j, v[1]);
            corner(i + 1, j + 1, v[2]);
            corner(i, j + 1, v[3]);
            const int tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
            for (const auto& t : tris) {
                float values[12] = {0, 0, 1};
                for (int k = 0; k < 3; ++k) std::memcpy(&values[3 + 3 * k], v[t[k]], 12);
                std::memcpy(record, values, 48);
                std::fwrite(record, 1, 50, f);
            }
        }
    return std::fclose(f) == 0;
}

struct Scene {
    orvane_testing::HeadlessGL gl{640, 640};
    bool ok = false;
    Scene() {
        if (!gl.ok()) return;
        dqCreateSession();
        for (unsigned entry : {3u, 4u, 5u}) dqSetIntListElem(dqGetParamTag(36), entry, 1);
        char path[] = "/tmp/ORbenchXXXXXX";
        int fd = mkstemp(path);
        if (fd < 0) return;
        close(fd);
        ok = writeWorkpiece(path) && dqCreateSTLFromFile(path, nullptr) != 0;
        std::remove(path);
        glEnable(GL_DEPTH_TEST);
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

// The tool tip 1 below the surface at (2, 3): the gauge point 43 above it.
const double kFrom[6] = {2, 3, surface(2, 3) - 1 + 43, 0, 0, 0};
const double kTo[6] = {2.5, 3, surface(2.5, 3) - 1 + 43, 0, 0, 0};

struct CheckCalls {
    bool (*pixel)(unsigned*);
    void (*prepare)(const double*, const double*);
    bool (*run)();
};
const CheckCalls kChecks[] = {
    {dqGetCuttingCheckPixel, dqSetCuttingCheck, dqRunCuttingCheck},
    {dqGetShankInterferenceCheckPixel, dqSetShankInterferenceCheck, dqRunShankInterferenceCheck},
    {dqGetHolderInterferenceCheckPixel, dqSetHolderInterferenceCheck,
     dqRunHolderInterferenceCheck},
};

unsigned traceStep(const double* from, const double* to) {
    unsigned hits = 0;
    for (const CheckCalls& c : kChecks) {
        unsigned n = 0;
        if (!c.pixel(&n)) continue;
        glViewport(0, 0, n, n);
        c.prepare(from, to);
        hits += c.run();
    }
    return hits;
}

void BM_Step(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no headless context or workpiece");
        return;
    }
    const bool moving = state.range(0) != 0, fast = state.range(1) != 0;
    DQ::setSweepFastPath(fast);
    const double* to = moving ? kTo : kFrom;
    unsigned hits = 0;
    for (auto _ : state) hits = traceStep(kFrom, to);
    DQ::setSweepFastPath(true);
    state.counters["hits"] = hits;
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Step)
    ->ArgNames({"moving", "fast"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The workpiece is written and loaded before anything is timed.
    scene();
    benchsupport::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* motion : {"moving:0", "moving:1"}) {
        const std::string fast = std::string("BM_Step/") + motion + "/fast:1";
        const std::string slow = std::string("BM_Step/") + motion + "/fast:0";
        auto a = reporter.find(fast), b = reporter.find(slow);
        if (a == reporter.rates.end() || b == reporter.rates.end()) continue;
        std::printf("%s: fast %.1f ms, reference %.1f ms per step, fast = %.1f x reference "
                    "speed (target: under 100 ms)\n",
                    motion, 1000 / a->second, 1000 / b->second, a->second / b->second);
    }
    benchmark::Shutdown();
}
