// Reading speed and memory of the NC reader on generated 100 MB programs,
// against a plain fgets loop over the same file in the same run.
//
// The programs look like CAM output: N numbers, rapids, feeds with F words,
// arcs with I/J, helical arcs with K, comments; the 5-axis variant adds A, B
// and C to the feed moves. They are written to a temporary file at start-up
// and removed at the end.
#include "korvex.h"
#include "machining/NcReader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <time.h>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kTargetBytes = 100u << 20;
std::string gFiles[2]; // the generated programs, removed at exit

std::string writeProgram(bool fiveAxis) {
    char path[] = "/tmp/ORbenchXXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) std::abort();
    std::FILE* f = fdopen(fd, "w");
    std::mt19937 rng(fiveAxis ? 5 : 3);
    std::uniform_real_distribution<double> xy(-150.0, 150.0), z(-30.0, 0.0), r(0.5, 20.0),
        ang(-90.0, 90.0), c(0.0, 360.0);
    std::uniform_int_distribution<int> kind(0, 99);

    std::fprintf(f, "%%\nO1000 (GENERATED PROGRAM)\n(TOOL 1 D10 FLAT END MILL)\n");
    std::fprintf(f, "N10 G90 G17 G21 G40 G49 G80\nN20 T1 M06\nN30 S12000 M03\n");
    std::size_t written = 0;
    unsigned n = 40;
    char line[256];
    while (written < kTargetBytes) {
        int k = kind(rng), len;
        if (k < 4) {
            len = std::snprintf(line, sizeof line, "N%u G00 Z5.000\nN%u X%.4f Y%.4f\n", n, n + 10,
                                xy(rng), xy(rng));
            n += 10;
        } else if (k < 6) {
            len = std::snprintf(line, sizeof line, "(PASS %u ROUGHING Z%.3f)\n", n, z(rng));
        } else if (k < 14) {
            len = std::snprintf(line, sizeof line, "N%u G02 X%.4f Y%.4f I%.4f J%.4f F800.\n", n,
                                xy(rng), xy(rng), r(rng), -r(rng));
        } else if (k < 18) {
            len = std::snprintf(line, sizeof line, "N%u G03 X%.4f Y%.4f Z%.4f I%.4f J%.4f K0.\n",
                                n, xy(rng), xy(rng), z(rng), r(rng), r(rng));
        } else if (k < 30) {
            len = fiveAxis ? std::snprintf(line, sizeof line,
                                           "N%u G01 X%.4f Y%.4f Z%.4f A%.3f B%.3f C%.3f F1200.\n",
                                           n, xy(rng), xy(rng), z(rng), ang(rng), ang(rng), c(rng))
                           : std::snprintf(line, sizeof line, "N%u G01 X%.4f Y%.4f Z%.4f F1200.\n",
                                           n, xy(rng), xy(rng), z(rng));
        } else {
            len = fiveAxis ? std::snprintf(line, sizeof line, "N%u X%.4f Y%.4f A%.3f C%.3f\n", n,
                                           xy(rng), xy(rng), ang(rng), c(rng))
                           : std::snprintf(line, sizeof line, "N%u X%.4f Y%.4f\n", n, xy(rng),
                                           xy(rng));
        }
        std::fwrite(line, 1, std::size_t(len), f);
        written += std::size_t(len);
        n += 10;
    }
    std::fprintf(f, "M05\nM30\n%%\n");
    std::fclose(f);
    return path;
}

long procStatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string k;
    long v = -1;
    std::string rest;
    while (in >> k) {
        if (k == key) {
            in >> v;
            break;
        }
        std::getline(in, rest);
    }
    return v;
}

// Lets VmHWM measure from now on (Linux: writing 5 resets the peak).
void resetPeakRss() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// CPU time of this thread, kernel time (page faults, reads) included. The
// ratios use it: on a machine shared with other jobs, wall time mostly
// measures the waiting for a core.
double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

double fgetsPass(const std::string& path) {
    double t0 = threadSeconds();
    std::FILE* f = std::fopen(path.c_str(), "r");
    char buf[256];
    std::size_t sum = 0;
    while (std::fgets(buf, sizeof buf, f)) sum += static_cast<unsigned char>(buf[0]);
    std::fclose(f);
    benchmark::DoNotOptimize(sum);
    return threadSeconds() - t0;
}

void loadBench(benchmark::State& state, bool fiveAxis) {
    std::string& path = gFiles[fiveAxis];
    if (path.empty()) path = writeProgram(fiveAxis);
    std::FILE* f = std::fopen(path.c_str(), "r");
    std::fseek(f, 0, SEEK_END);
    double mb = double(std::ftell(f)) / 1e6, bytes = double(std::ftell(f));
    std::fclose(f);
    dqCreateSession();
    fgetsPass(path); // page cache warm for both

    double fgetsTime = 0, loadTime = 0, loadWall = 0, peakRatio = 0, sizeRatio = 0;
    for (auto _ : state) {
        fgetsTime += fgetsPass(path);
        long rssBefore = procStatusKb("VmRSS:");
        resetPeakRss();
        double progress = 0;
        auto w0 = std::chrono::steady_clock::now();
        double t0 = threadSeconds();
        unsigned tag = dqCreateCLFromNCFile(path.data(), &progress);
        double t = threadSeconds() - t0;
        loadWall += seconds(std::chrono::steady_clock::now() - w0);
        if (!tag) {
            state.SkipWithError("the program did not load");
            break;
        }
        loadTime += t;
        state.SetIterationTime(t);
        long peak = procStatusKb("VmHWM:") - rssBefore;
        peakRatio = std::max(peakRatio, peak * 1024.0 / bytes);
        std::uint32_t total;
        std::memcpy(&total, dqGetData(tag), 4);
        sizeRatio = total / bytes;
    }
    double n = double(state.iterations());
    state.counters["file_MB"] = mb;
    state.counters["fgets_MBps"] = mb * n / fgetsTime;
    state.counters["load_MBps"] = mb * n / loadTime;
    state.counters["load_wall_MBps"] = mb * n / loadWall;
    state.counters["load_vs_fgets"] = fgetsTime / loadTime; // target >= 0.5
    state.counters["peak_mem_vs_file"] = peakRatio;         // target <= 3
    state.counters["cl_vs_file"] = sizeRatio;
    dqDestroySession();
}

// The reader proper with its buffer released after each run, so that later
// runs write into memory the process has touched before. Beside the load
// above it separates the reader's own cost from the first touch of fresh
// memory, which on a virtual machine can cost as much as the parsing.
void readerBench(benchmark::State& state, bool fiveAxis) {
    std::string& path = gFiles[fiveAxis];
    if (path.empty()) path = writeProgram(fiveAxis);
    double bytes = 0;
    if (std::FILE* f = std::fopen(path.c_str(), "r")) {
        std::fseek(f, 0, SEEK_END);
        bytes = double(std::ftell(f));
        std::fclose(f);
    }
    const double start[6] = {0, 0, 100, 0, 0, 0};
    std::free(DQ::readNcFile(path.c_str(), DQ::Resolutions(), start, nullptr).data); // warm
    double fgetsTime = 0, readTime = 0;
    for (auto _ : state) {
        fgetsTime += fgetsPass(path);
        double t0 = threadSeconds();
        DQ::ClBufferBlock block = DQ::readNcFile(path.c_str(), DQ::Resolutions(), start, nullptr);
        double t = threadSeconds() - t0;
        readTime += t;
        state.SetIterationTime(t);
        std::free(block.data);
    }
    double n = double(state.iterations()), mb = bytes / 1e6;
    state.counters["fgets_MBps"] = mb * n / fgetsTime;
    state.counters["read_MBps"] = mb * n / readTime;
    state.counters["read_vs_fgets"] = fgetsTime / readTime;
}

void BM_NcLoad3Axis(benchmark::State& state) { loadBench(state, false); }
void BM_NcLoad5Axis(benchmark::State& state) { loadBench(state, true); }

// Each load keeps its path in the store (data blocks are never freed), so
// the iteration count is fixed and small.
BENCHMARK(BM_NcLoad3Axis)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NcLoad5Axis)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_NcReadReused3Axis(benchmark::State& state) { readerBench(state, false); }
void BM_NcReadReused5Axis(benchmark::State& state) { readerBench(state, true); }
BENCHMARK(BM_NcReadReused3Axis)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NcReadReused5Axis)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::string& f : gFiles)
        if (!f.empty()) std::remove(f.c_str());
    return 0;
}
