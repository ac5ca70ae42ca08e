#include "shapes/Tessellator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace DQ;

TEST(Tessellator, RingCountsKeepTheSagittaWithinTolerance) {
    struct Case {
        double rho, t;
        unsigned rings;
    } cases[] = {
        {3.0, 0.01, 39}, {5.0, 0.01, 50}, {0.5, 0.01, 16},
        {0.01, 0.01, 6}, {0.005, 0.01, 6}, // radius not above the tolerance
        {1e9, 0.01, 512},                  // capped
        {1e-3, 1e-9, 512},                 // 2 alpha tiny relative to the circle
        {1.0, 0.0, 512},   {1.0, -1.0, 512}, {1.0, std::nan(""), 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rho " << c.rho << " t " << c.t);
        EXPECT_EQ(ringCount(c.rho, c.t), c.rings);
    }
}

TEST(Tessellator, RingCountIsTheFewestSegmentsWithinTolerance) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> radius(0.02, 200.0), tol(0.001, 0.5);
    for (int i = 0; i < 500; ++i) {
        double rho = radius(rng), t = tol(rng);
        unsigned k = ringCount(rho, t);
        if (k == 6 || k == 512) continue;
        auto sagitta = [&](unsigned n) { return rho * (1 - std::cos(std::numbers::pi / n)); };
        EXPECT_LE(sagitta(k), t * (1 + 1e-9)) << rho << " " << t;
        EXPECT_GT(sagitta(k - 1), t * (1 - 1e-6)) << rho << " " << t;
    }
}

namespace {

Profile profileOf(std::initializer_list<std::array<double, 2>> points) {
    Profile p;
    for (auto [r, z] : points) p.add(r, z, 1, 0);
    return p;
}

// A closed zipper uses each vertex of both rings it joins.
void expectStripUsesEveryVertex(const RevolvedMesh& mesh, unsigned firstUsed) {
    std::vector<int> used(mesh.vertexCount(), 0);
    for (const auto& tri : mesh.triangles)
        for (const auto& c : tri.corner) {
            ASSERT_LT(c.position, mesh.vertexCount());
            EXPECT_EQ(c.position, c.normal);
            ++used[c.position];
        }
    for (unsigned v = firstUsed; v < used.size(); ++v) EXPECT_GT(used[v], 0) << v;
}

} // namespace

TEST(Tessellator, StitchCountsAndSingleVertexRings) {
    struct Case {
        const char* what;
        Profile profile;
        unsigned vertices, triangles;
        unsigned firstStitched = 0; // the leading apex of two is left alone
    } cases[] = {
        {"39 to 50", profileOf({{3, 0}, {5, 1}}), 89, 89},
        {"apex to ring is a fan", profileOf({{0, 0}, {3, 1}}), 40, 39},
        {"ring to apex is a fan", profileOf({{3, 0}, {0, 1}}), 40, 39},
        {"two apexes are not stitched", profileOf({{0, 0}, {0, 1}, {3, 2}}), 41, 39, 1},
        {"same-count rings", profileOf({{3, 0}, {3, 5}}), 78, 78},
        {"sharp edge duplicates the ring", profileOf({{3, 0}, {3, 0}, {0, 0}}), 79, 78 + 39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto mesh = revolve(c.profile, 0.01);
        ASSERT_TRUE(mesh);
        EXPECT_EQ(mesh->vertexCount(), c.vertices);
        EXPECT_EQ(mesh->normals.size(), mesh->positions.size());
        EXPECT_EQ(mesh->triangles.size(), c.triangles);
        expectStripUsesEveryVertex(*mesh, c.firstStitched);
    }
}

TEST(Tessellator, MalformedProfilesGiveNoMesh) {
    EXPECT_FALSE(revolve(profileOf({{3, 0}}), 0.01));
    EXPECT_FALSE(revolve(Profile{}, 0.01));
    // An outline too large to be a real body (as a damaged file could hold).
    Profile huge;
    for (int i = 0; i < 5000; ++i) huge.add(1000, i, 1, 0);
    EXPECT_FALSE(revolve(huge, 1e-6));
    EXPECT_TRUE(revolve(huge, 1e9)); // 6 vertices a ring is fine
    Profile wide = profileOf({{3, 0}, {3, 1}});
    wide.valuesPerPoint = 3;
    EXPECT_FALSE(revolve(wide, 0.01));
}

TEST(Tessellator, RingVerticesLieOnTheCircleWithRevolvedNormals) {
    Profile p;
    p.add(0, -1, 0, -1);
    p.add(2, 4, 0.6, 0.8);
    auto mesh = revolve(p, 0.05);
    ASSERT_TRUE(mesh);
    EXPECT_DOUBLE_EQ(mesh->positions[0], 0);
    EXPECT_DOUBLE_EQ(mesh->positions[2], -1);
    EXPECT_DOUBLE_EQ(mesh->normals[2], -1);
    unsigned k = ringCount(2, 0.05);
    ASSERT_EQ(mesh->vertexCount(), 1 + k);
    for (unsigned j = 0; j < k; ++j) {
        const double* v = &mesh->positions[3 * (1 + j)];
        const double* n = &mesh->normals[3 * (1 + j)];
        double theta = j * 2 * std::numbers::pi / k;
        EXPECT_NEAR(v[0], 2 * std::cos(theta), 1e-12);
        EXPECT_NEAR(v[1], 2 * std::sin(theta), 1e-12);
        EXPECT_DOUBLE_EQ(v[2], 4);
        EXPECT_NEAR(std::hypot(n[0], n[1]), 0.6, 1e-12);
        EXPECT_DOUBLE_EQ(n[2], 0.8);
    }
}

// The strip of two rings of any counts: k1' + k2' triangles, those that
// advanced on the previous ring first, and every triangle non-degenerate
// in index space.
TEST(Tessellator, ZipperOrderAndCountsForRandomRings) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<unsigned> count(1, 80);
    for (int i = 0; i < 200; ++i) {
        unsigned k1 = count(rng), k2 = count(rng);
        if (k1 == 1 && k2 == 1) continue;
        RevolvedMesh mesh;
        unsigned made = stitchRings(mesh, 0, k1, k1, k2);
        unsigned n1 = k1 == 1 ? 0 : k1, n2 = k2 == 1 ? 0 : k2;
        ASSERT_EQ(made, n1 + n2);
        for (unsigned t = 0; t < made; ++t) {
            const auto& c = mesh.triangles[t].corner;
            bool onP = t < n1;
            // advancing on P: two corners on P; on C: two corners on C
            unsigned onPrev = (c[0].position < k1) + (c[1].position < k1) + (c[2].position < k1);
            EXPECT_EQ(onPrev, onP ? 2u : 1u) << k1 << " " << k2 << " tri " << t;
            EXPECT_NE(c[0].position, c[2].position);
        }
    }
}
