// Compile time of the scene's display lists for big figures: a CL path of
// 1 000 000 moves and an STL model of 500 000 triangles, in milliseconds.
//
// Each is printed as a ratio against compiling a list of the same vertices
// straight from an array (the least a display list of that figure can
// cost), measured in the same run, in vertices per second.
#include "BenchSupport.h"
#include "HeadlessGL.h"
#include "korvex.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned kMoves = 1000000;
constexpr unsigned kTriangles = 500000;

struct Scene {
    std::unique_ptr<orvane_testing::HeadlessGL> gl;
    unsigned path = 0, model = 0;
    std::vector<double> pathVertices, meshVertices;
};

std::string tempName(const char* stem) {
    return "/tmp/" + std::string(stem) + std::to_string(getpid());
}

Scene& scene() {
    static Scene s = [] {
        Scene s;
        s.gl = std::make_unique<orvane_testing::HeadlessGL>(64, 64);
        dqCreateSession();
        // A zig-zag of feed moves over a 100 x 100 field.
        std::string nc = tempName("scene-bench-nc");
        if (std::FILE* f = std::fopen(nc.c_str(), "w")) {
            std::fputs("G90 G17\nG01 F1000.\n", f);
            for (unsigned i = 0; i < kMoves; ++i) {
                double x = (i % 1000) * 0.1, y = (i / 1000) * 0.1;
                std::fprintf(f, "X%.3f Y%.3f Z%.3f\n", (i / 1000) % 2 ? 100 - x : x, y,
                             (i % 7) * 0.01);
                s.pathVertices.insert(s.pathVertices.end(), {x, y, 0});
            }
            std::fclose(f);
        }
        double progress = 0;
        s.path = dqCreateCLFromNCFile(nc.data(), &progress);
        std::remove(nc.c_str());
        // A binary STL of a triangle strip.
        std::string stl = tempName("scene-bench-stl");
        if (std::FILE* f = std::fopen(stl.c_str(), "wb")) {
            char header[80] = {};
            std::fwrite(header, 1, 80, f);
            std::uint32_t n = kTriangles;
            std::fwrite(&n, 4, 1, f);
            for (unsigned i = 0; i < kTriangles; ++i) {
                float x = float(i % 1000), y = float(i / 1000);
                float t[12] = {0, 0, 1, x, y, 0, x + 1, y, 0, x, y + 1, 0};
                std::uint16_t attr = 0;
                std::fwrite(t, 4, 12, f);
                std::fwrite(&attr, 2, 1, f);
                s.meshVertices.insert(s.meshVertices.end(), {x, y, 0, x + 1, y, 0, x, y + 1, 0});
            }
            std::fclose(f);
        }
        s.model = dqCreateSTLFromFile(stl.c_str(), nullptr);
        std::remove(stl.c_str());
        dqCreateDisplayList();
        return s;
    }();
    return s;
}

void compileFigure(benchmark::State& state, unsigned tag, std::size_t vertices) {
    if (!tag) {
        state.SkipWithError("figure not created");
        return;
    }
    for (auto _ : state) {
        dqRefreshFigure(1, &tag);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(vertices));
}

void compileArray(benchmark::State& state, const std::vector<double>& v, GLenum primitive,
                  bool normals) {
    GLuint list = glGenLists(1);
    for (auto _ : state) {
        glNewList(list, GL_COMPILE);
        glBegin(primitive);
        for (std::size_t i = 0; i < v.size(); i += 3) {
            if (normals) glNormal3d(0, 0, 1);
            glVertex3dv(&v[i]);
        }
        glEnd();
        glEndList();
        glFinish();
    }
    glDeleteLists(list, 1);
    state.SetItemsProcessed(state.iterations() * std::int64_t(v.size() / 3));
}

void BM_PathArrayBaseline(benchmark::State& state) {
    compileArray(state, scene().pathVertices, GL_LINE_STRIP, false);
}
void BM_PathList(benchmark::State& state) {
    compileFigure(state, scene().path, scene().pathVertices.size() / 3);
}
void BM_StlArrayBaseline(benchmark::State& state) {
    compileArray(state, scene().meshVertices, GL_TRIANGLES, true);
}
void BM_StlList(benchmark::State& state) {
    compileFigure(state, scene().model, scene().meshVertices.size() / 3);
}

BENCHMARK(BM_PathArrayBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PathList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlArrayBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlList)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!scene().gl->ok()) {
        std::fprintf(stderr, "no headless context: %s\n", scene().gl->error().c_str());
        return 1;
    }
    benchsupport::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_PathList", "BM_PathArrayBaseline");
    reporter.printRatio("BM_StlList", "BM_StlArrayBaseline");
    benchmark::Shutdown();
    dqDestroySession();
    return 0;
}
