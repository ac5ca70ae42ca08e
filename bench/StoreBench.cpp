// Store throughput: appending entries and journaled changes between marks.
//
// The cost of a journaled change must not grow with the number of changes
// since the last mark, so the changes are measured at two sizes and the
// per-change rates printed as a ratio (near 1 when bounded, near 0.1 when the
// cost grows linearly).
#include "BenchSupport.h"
#include "korvex.h"

#include <vector>

namespace {

void BM_AddData(benchmark::State& state) {
    const unsigned n = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        dqCreateSession();
        state.ResumeTiming();
        for (unsigned i = 0; i < n; ++i) benchmark::DoNotOptimize(dqAddData(dqCClassDouble, 0, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * n);
    dqDestroySession();
}

// n journaled changes between two marks, then one undo and one redo.
void changes(benchmark::State& state, bool distinct) {
    const unsigned n = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        dqCreateSession();
        std::vector<unsigned> tags(distinct ? n : 1);
        for (auto& t : tags) t = dqAddData(dqCClassDouble, 0, nullptr);
        std::vector<void*> blocks(n);
        for (unsigned i = 0; i < n; ++i) {
            double v = i + 1;
            blocks[i] = dqCreateData(&v, sizeof v);
        }
        dqSetMark();
        state.ResumeTiming();
        for (unsigned i = 0; i < n; ++i) dqSetData(tags[distinct ? i : 0], blocks[i]);
        dqSetMark();
        int count;
        dqDoToMark(dqGetUndoMark(), 0, &count, nullptr);
        dqDoToMark(dqGetRedoMark(), 0, &count, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * n);
    dqDestroySession();
}

void BM_SetDataDistinctTags(benchmark::State& state) { changes(state, true); }
void BM_SetDataOneTag(benchmark::State& state) { changes(state, false); }

BENCHMARK(BM_AddData)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetDataDistinctTags)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetDataOneTag)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchsupport::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRates (per-change cost bounded when the 100000 run is near 1 x the 10000 run):\n");
    reporter.printRatio("BM_AddData/1000000", "BM_AddData/1000000");
    reporter.printRatio("BM_SetDataDistinctTags/100000", "BM_SetDataDistinctTags/10000");
    reporter.printRatio("BM_SetDataOneTag/100000", "BM_SetDataOneTag/10000");
    benchmark::Shutdown();
}
