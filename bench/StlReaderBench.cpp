// STL reading speed: a 1 000 000-triangle binary file and a 200 000-triangle
// ASCII file, each beside a plain fread of the same file and, when it is
// installed, assimp's import of it, all measured in the same run.
#include "BenchSupport.h"
#include "korvex.h"
#include "shapes/StlReader.h"

#ifdef ORVANE_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string makeFile(const char* suffix, bool binary, unsigned triangles) {
    std::string path = std::string("/tmp/orvane-bench-") + std::to_string(getpid()) + suffix;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-500.0f, 500.0f);
    if (binary) {
        char header[80] = "benchmark part";
        std::fwrite(header, 1, 80, f);
        std::fwrite(&triangles, 4, 1, f);
        for (unsigned i = 0; i < triangles; ++i) {
            float v[12];
            for (float& x : v) x = coord(rng);
            std::fwrite(v, 4, 12, f);
            std::fwrite("\0", 1, 2, f);
        }
    } else {
        std::fprintf(f, "solid benchmark part\n");
        for (unsigned i = 0; i < triangles; ++i) {
            std::fprintf(f, "  facet normal %e %e %e\n    outer loop\n", coord(rng) / 500,
                         coord(rng) / 500, coord(rng) / 500);
            for (int k = 0; k < 3; ++k)
                std::fprintf(f, "      vertex %e %e %e\n", coord(rng), coord(rng), coord(rng));
            std::fprintf(f, "    endloop\n  endfacet\n");
        }
        std::fprintf(f, "endsolid benchmark part\n");
    }
    std::fclose(f);
    return path;
}

struct Files {
    std::string binary = makeFile("-binary.stl", true, 1000000);
    std::string ascii = makeFile("-ascii.stl", false, 200000);
    ~Files() {
        unlink(binary.c_str());
        unlink(ascii.c_str());
    }
};
Files* files;

double sizeOf(const std::string& path) {
    struct stat st;
    stat(path.c_str(), &st);
    return static_cast<double>(st.st_size);
}

const std::string& pick(int which) { return which ? files->ascii : files->binary; }

void setBytes(benchmark::State& state, const std::string& path) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * sizeOf(path)));
    state.counters["MB/s"] = benchmark::Counter(state.iterations() * sizeOf(path) / 1e6,
                                                benchmark::Counter::kIsRate);
}

void BM_Fread(benchmark::State& state) {
    const std::string& path = pick(static_cast<int>(state.range(0)));
    static char chunk[1 << 20];
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        while (std::fread(chunk, 1, sizeof chunk, f) == sizeof chunk) {
        }
        std::fclose(f);
    }
    setBytes(state, path);
}

void BM_Orvane(benchmark::State& state) {
    const std::string& path = pick(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DQ::StlBuffer stl;
        double progress = 0;
        if (!DQ::readStl(path.c_str(), &progress, stl)) state.SkipWithError("read failed");
        std::free(stl.data);
    }
    setBytes(state, path);
}

#ifdef ORVANE_HAVE_ASSIMP
void BM_Assimp(benchmark::State& state) {
    const std::string& path = pick(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Assimp::Importer importer;
        if (!importer.ReadFile(path, 0)) state.SkipWithError("assimp failed");
    }
    setBytes(state, path);
}
BENCHMARK(BM_Assimp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
#endif

BENCHMARK(BM_Fread)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Orvane)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Files made;
    files = &made;
    benchsupport::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nBinary STL, 1 000 000 triangles (/0), ASCII STL, 200 000 triangles (/1):\n");
    for (const char* arg : {"/0", "/1"}) {
        reporter.printRatio(std::string("BM_Orvane") + arg, std::string("BM_Fread") + arg);
        reporter.printRatio(std::string("BM_Orvane") + arg, std::string("BM_Assimp") + arg);
    }
    benchmark::Shutdown();
}
