// Tessellation and kinematics throughput.
//
// Revolving a profile should cost little more than writing its mesh at
// all: the baseline computes the same (cos, sin) ring vertices with their
// normals and writes as many triangle corners into fresh arrays, and the
// revolve rate (which also runs the zipper) is printed as a ratio to it, in
// vertices per second. The tool-position conversion of a
// five-axis move is printed against the bare forward transform it is built
// on.
#include "BenchSupport.h"
#include "korvex.h"
#include "shapes/Cutter.h"
#include "shapes/SimpleShapes.h"
#include "shapes/Tessellator.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

DQ::Profile benchProfile() { return DQ::sphereProfile(100, 0.001); }

unsigned vertexCount(const DQ::Profile& p, double t) {
    unsigned n = 0;
    for (unsigned i = 0; i < p.count(); ++i) {
        double r = p.point(i)[0];
        n += std::fabs(r) < 1e-6 ? 1 : DQ::ringCount(r, t);
    }
    return n;
}

void BM_RingVerticesBaseline(benchmark::State& state) {
    DQ::Profile p = benchProfile();
    const unsigned n = vertexCount(p, 0.001);
    const std::size_t triangles = 2 * std::size_t(n);
    for (auto _ : state) {
        // Fresh arrays of the mesh's sizes each time, as a mesh is built for
        // each drawing; large blocks come straight from the kernel, so the
        // page faults are part of both figures.
        std::vector<double> positions, normals;
        std::vector<unsigned> corners;
        positions.reserve(3 * std::size_t(n));
        normals.reserve(3 * std::size_t(n));
        corners.reserve(6 * triangles);
        for (unsigned i = 0; i < p.count(); ++i) {
            const double* pt = p.point(i);
            unsigned ring = std::fabs(pt[0]) < 1e-6 ? 1 : DQ::ringCount(pt[0], 0.001);
            for (unsigned j = 0; j < ring; ++j) {
                double th = j * 2 * std::numbers::pi / ring, c = std::cos(th), s = std::sin(th);
                positions.insert(positions.end(), {pt[0] * c, pt[0] * s, pt[1]});
                normals.insert(normals.end(), {pt[2] * c, pt[2] * s, pt[3]});
            }
        }
        for (std::size_t t = 0; t < 6 * triangles; ++t) corners.push_back(unsigned(t % n));
        benchmark::DoNotOptimize(positions.data());
        benchmark::DoNotOptimize(normals.data());
        benchmark::DoNotOptimize(corners.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_Revolve(benchmark::State& state) {
    DQ::Profile p = benchProfile();
    const unsigned n = vertexCount(p, 0.001);
    for (auto _ : state) {
        auto mesh = DQ::revolve(p, 0.001);
        benchmark::DoNotOptimize(mesh->triangles.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void fiveAxisSession() {
    dqCreateSession();
    dqSetCutterShiftType(dqGetParamTag(22), 3);
}

void BM_ForwardTransform(benchmark::State& state) {
    fiveAxisSession();
    gqCMachineTableData t;
    dqGetMachineTable(&t);
    double v[6] = {1, 2, 3, 0.3, 0.2, 0.1}, out[6];
    for (auto _ : state) {
        v[0] += 1e-9;
        t.GetMachinePos(v, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
    dqDestroySession();
}

void BM_CutterPosShift3(benchmark::State& state) {
    fiveAxisSession();
    double tool[6] = {1, 2, 3, 0.3, 0.2, 0.1}, axes[6];
    for (auto _ : state) {
        tool[0] += 1e-9;
        dqGetCutterPos(tool, axes);
        benchmark::DoNotOptimize(axes);
    }
    state.SetItemsProcessed(state.iterations());
    dqDestroySession();
}

BENCHMARK(BM_RingVerticesBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Revolve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForwardTransform);
BENCHMARK(BM_CutterPosShift3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchsupport::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRates:\n");
    reporter.printRatio("BM_Revolve", "BM_RingVerticesBaseline");
    reporter.printRatio("BM_CutterPosShift3", "BM_ForwardTransform");
    benchmark::Shutdown();
}
