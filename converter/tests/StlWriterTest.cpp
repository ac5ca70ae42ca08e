// The binary STL writer, byte for byte, and the mesh operations the
// converter applies before writing.

#include "StlWriter.h"
#include "TriMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> WriteToMemory(const TriMesh& m, CallBackPos cb = nullptr, bool* ok = nullptr)
{
    std::FILE* f = std::tmpfile();
    EXPECT_NE(f, nullptr);
    const bool written = WriteBinaryStl(m, f, cb);
    if (ok)
        *ok = written;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(std::ftell(f)));
    std::rewind(f);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    return bytes;
}

TriMesh Triangle()
{
    TriMesh m;
    m.vert = {TriVertex{{0, 0, 0}, {}, false}, TriVertex{{2, 0, 0}, {}, false}, TriVertex{{0, 3, 0}, {}, false}};
    m.face = {TriFace{{0, 1, 2}, {0, 0, 1}, false}};
    return m;
}

void PutF(std::vector<unsigned char>& out, float v)
{
    unsigned char b[4];
    std::memcpy(b, &v, 4);  // the test runs on a little-endian machine
    out.insert(out.end(), b, b + 4);
}

std::vector<int> g_progress;
bool Record(int pos, const char*)
{
    g_progress.push_back(pos);
    return true;
}

}  // namespace

TEST(StlWriter, OneTriangleGivesTheGoldenBytes)
{
    std::vector<unsigned char> expected(80, 0);
    std::memcpy(expected.data(), "Binary STL written by Trimbal", 29);
    expected.insert(expected.end(), {1, 0, 0, 0});
    for (float v : {0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 2.f, 0.f, 0.f, 0.f, 3.f, 0.f})
        PutF(expected, v);
    expected.insert(expected.end(), {0, 0});
    EXPECT_EQ(WriteToMemory(Triangle()), expected);
}

TEST(StlWriter, SkipsDeletedAndInvalidFacesAndFallsBackToTheWinding)
{
    TriMesh m = Triangle();
    m.face[0].n = {0, 0, 0};  // normals never computed: take the winding's
    m.face.push_back(TriFace{{2, 1, 0}, {0, 0, -1}, true});
    m.face.push_back(TriFace{{0, 1, 7}, {0, 0, 1}, false});
    m.face.push_back(TriFace{{0, 0, 0}, {0, 0, 0}, false});  // degenerate: zero normal
    const std::vector<unsigned char> bytes = WriteToMemory(m);
    ASSERT_EQ(bytes.size(), 84u + 2 * 50);
    EXPECT_EQ(bytes[80], 2);
    float n[3];
    std::memcpy(n, bytes.data() + 84, 12);
    EXPECT_EQ(n[0], 0.f);
    EXPECT_EQ(n[1], 0.f);
    EXPECT_EQ(n[2], 1.f);
    std::memcpy(n, bytes.data() + 134, 12);
    EXPECT_EQ(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 0.f);
}

TEST(StlWriter, ReportsProgressFromZeroToAHundredAndWriteErrors)
{
    TriMesh m = Triangle();
    for (int i = 0; i < 999; ++i)
        m.face.push_back(m.face[0]);
    g_progress.clear();
    bool ok = false;
    const std::vector<unsigned char> bytes = WriteToMemory(m, Record, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(bytes.size(), 84u + 1000 * 50);
    ASSERT_GE(g_progress.size(), 3u);
    EXPECT_EQ(g_progress.front(), 0);
    EXPECT_EQ(g_progress.back(), 100);
    for (std::size_t i = 1; i < g_progress.size(); ++i)
        EXPECT_LT(g_progress[i - 1], g_progress[i]);

    // A full disk is a failed save, not a short file reported as written.
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr)
        GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(WriteBinaryStl(m, full, nullptr));
    std::fclose(full);
}

TEST(TriMesh, NormalsFollowTheWindingAndTheBoxSkipsDeletedVertices)
{
    TriMesh m;
    // A tetrahedron wound outward, and one deleted vertex far away.
    m.vert = {TriVertex{{0, 0, 0}, {}, false}, TriVertex{{1, 0, 0}, {}, false}, TriVertex{{0, 1, 0}, {}, false},
              TriVertex{{0, 0, 1}, {}, false}, TriVertex{{50, 50, 50}, {9, 9, 9}, true}};
    m.face = {TriFace{{0, 2, 1}, {}, false}, TriFace{{0, 1, 3}, {}, false}, TriFace{{0, 3, 2}, {}, false},
              TriFace{{1, 2, 3}, {}, false}};
    m.ComputeFaceAndVertexNormals();
    m.UpdateBoundingBox();
    const double centre[3] = {0.25, 0.25, 0.25};
    for (const TriFace& f : m.face) {
        EXPECT_NEAR(std::hypot(f.n[0], f.n[1], f.n[2]), 1.0, 1e-12);
        const auto& a = m.vert[f.v[0]].p;
        EXPECT_GT(f.n[0] * (a[0] - centre[0]) + f.n[1] * (a[1] - centre[1]) + f.n[2] * (a[2] - centre[2]), 0.0);
    }
    for (int i = 0; i < 4; ++i) {
        const auto& n = m.vert[i].n;
        EXPECT_NEAR(std::hypot(n[0], n[1], n[2]), 1.0, 1e-12);
        const auto& p = m.vert[i].p;
        EXPECT_GT(n[0] * (p[0] - centre[0]) + n[1] * (p[1] - centre[1]) + n[2] * (p[2] - centre[2]), 0.0);
    }
    EXPECT_EQ(m.vert[4].n[0], 9.0) << "a deleted vertex is left alone";
    EXPECT_FALSE(m.bbox.empty);
    EXPECT_EQ(m.bbox.min, (std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(m.bbox.max, (std::array<double, 3>{1, 1, 1}));

    TriMesh empty;
    empty.UpdateBoundingBox();
    EXPECT_TRUE(empty.bbox.empty);
}
