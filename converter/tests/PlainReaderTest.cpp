// The project's own readers, in-process on buffers of exactly the file's
// size (so that the address sanitizer sees any read past the end): the
// fixture box in every format, every prefix of every fixture, binary ply of
// both byte orders, and a table of malformed files.

#include "GtsReader.h"
#include "OffReader.h"
#include "PlyReader.h"
#include "PointCloudReader.h"
#include "PtxReader.h"
#include "TriReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Reader = std::function<bool(const char*, std::size_t, TriMesh&, int&, CallBackPos)>;

Reader Points(PointFormat f)
{
    return [f](const char* d, std::size_t n, TriMesh& m, int& mask, CallBackPos cb) {
        return ReadPointCloud(f, d, n, m, mask, cb);
    };
}

struct Fixture {
    const char* file;
    Reader read;
    std::size_t verts, faces;
    bool normals;
    // The format carries counts, so a cut before the last line fails; or
    // before this text, where the file's optional tail begins.
    bool counted;
    const char* tail = nullptr;
};

const Fixture kFixtures[] = {
    {"cube.ply", ReadPly, 8, 12, false, true},
    {"cube.off", ReadOff, 8, 12, false, true},
    {"cube.gts", ReadGts, 8, 12, false, true},
    {"cube.tri", ReadTri, 8, 12, false, true, "\n1\n1\n"},
    {"cube.ptx", ReadPtx, 8, 0, false, true},
    // Its blocks are counted one by one: a cut just after a block is valid.
    {"cube.pts", Points(PointFormat::Pts), 8, 0, false, false},
    {"cube.xyz", Points(PointFormat::Xyz), 8, 0, true, false},
    {"cube.apts", Points(PointFormat::Apts), 8, 0, true, false},
    {"cube.asc", Points(PointFormat::Asc), 8, 0, false, false},
};

std::string Load(const std::string& name)
{
    std::ifstream f(std::string(ORVANE_TEST_DIR "/fixtures/") + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Runs the reader on an exact-size heap copy of `bytes`.
bool ReadCopy(const Reader& read, const std::string& bytes, TriMesh& m, int& mask, CallBackPos cb = nullptr)
{
    std::unique_ptr<char[]> copy(new char[bytes.size() + 1]);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    mask = 0;
    return read(copy.get(), bytes.size(), m, mask, cb);
}

std::vector<int> g_progress;
bool Record(int pos, const char*)
{
    g_progress.push_back(pos);
    return true;
}

}  // namespace

TEST(PlainReaders, FixtureBoxReadsWithItsCountsBoundsAndMask)
{
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(f.file);
        const std::string text = Load(f.file);
        ASSERT_FALSE(text.empty());
        // As written, and with Windows line ends.
        std::string crlf;
        for (char c : text)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        for (const std::string* bytes : {&text, static_cast<const std::string*>(&crlf)}) {
            TriMesh m;
            int mask = 0;
            g_progress.clear();
            ASSERT_TRUE(ReadCopy(f.read, *bytes, m, mask, Record));
            EXPECT_EQ(m.vert.size(), f.verts);
            EXPECT_EQ(m.face.size(), f.faces);
            EXPECT_EQ(m.LiveFaceCount(), f.faces);
            EXPECT_TRUE(mask & IoMask::VertCoord);
            EXPECT_EQ((mask & IoMask::VertNormal) != 0, f.normals);
            EXPECT_EQ((mask & IoMask::FaceIndex) != 0, f.faces > 0);
            m.UpdateBoundingBox();
            ASSERT_FALSE(m.bbox.empty);
            const double lo[3] = {-1, 2, 0}, hi[3] = {3, 7, 1.5};
            for (int k = 0; k < 3; ++k) {
                EXPECT_DOUBLE_EQ(m.bbox.min[k], lo[k]);
                EXPECT_DOUBLE_EQ(m.bbox.max[k], hi[k]);
            }
            ASSERT_FALSE(g_progress.empty());
            EXPECT_EQ(g_progress.back(), 100);
            for (std::size_t i = 1; i < g_progress.size(); ++i)
                EXPECT_LE(g_progress[i - 1], g_progress[i]);
        }
    }
}

TEST(PlainReaders, EveryPrefixReadsSafelyAndCountedFormatsRefuseCutFiles)
{
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(f.file);
        const std::string text = Load(f.file);
        const std::size_t lastLine = f.tail ? text.find(f.tail) : text.rfind('\n', text.size() - 2) + 1;
        for (std::size_t n = 0; n < text.size(); ++n) {
            TriMesh m;
            int mask = 0;
            const bool ok = ReadCopy(f.read, text.substr(0, n), m, mask);
            if (ok) {
                for (const TriFace& t : m.face)
                    EXPECT_TRUE(m.IsValidFace(t));
                EXPECT_FALSE(m.vert.empty());
            } else {
                EXPECT_TRUE(m.vert.empty() && m.face.empty()) << "a failed read leaves an empty mesh";
            }
            if (f.counted && n < lastLine) {
                EXPECT_FALSE(ok) << "prefix of " << n << " bytes";
            }
        }
    }
}

namespace {

// The box of the ascii fixture as binary ply of one byte order, with an
// extra element and property that must be stepped over.
std::string BinaryPly(const TriMesh& box, bool bigEndian)
{
    std::string out = std::string("ply\nformat ") + (bigEndian ? "binary_big_endian" : "binary_little_endian") +
                      " 1.0\ncomment made by the test\nelement vertex 8\nproperty double x\nproperty float y\n"
                      "property uchar flags\nproperty float z\nelement edge 1\nproperty int a\nproperty list uchar "
                      "short b\nelement face 6\nproperty list uchar uint vertex_indices\nend_header\n";
    auto put = [&](const void* p, std::size_t n) {
        std::string b(static_cast<const char*>(p), n);
        if (bigEndian)
            b.assign(b.rbegin(), b.rend());
        out += b;
    };
    for (const TriVertex& v : box.vert) {
        const double x = v.p[0];
        const float y = static_cast<float>(v.p[1]), z = static_cast<float>(v.p[2]);
        const unsigned char flags = 7;
        put(&x, 8);
        put(&y, 4);
        put(&flags, 1);
        put(&z, 4);
    }
    const int a = 5;
    const unsigned char two = 2;
    const short s = 1;
    put(&a, 4);
    put(&two, 1);
    put(&s, 2);
    put(&s, 2);
    // Two triangles to a side, joined back into quads: the reader makes fans.
    for (std::size_t i = 0; i < box.face.size(); i += 2) {
        const auto& t0 = box.face[i].v;
        const auto& t1 = box.face[i + 1].v;
        const std::uint32_t quad[4] = {t0[0], t0[1], t0[2], t1[2]};
        const unsigned char four = 4;
        put(&four, 1);
        for (std::uint32_t q : quad)
            put(&q, 4);
    }
    return out;
}

}  // namespace

TEST(PlainReaders, BinaryPlyOfBothByteOrdersMatchesTheAsciiFile)
{
    TriMesh ascii;
    int mask = 0;
    ASSERT_TRUE(ReadCopy(ReadPly, Load("cube.ply"), ascii, mask));
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big endian" : "little endian");
        const std::string bytes = BinaryPly(ascii, big);
        TriMesh m;
        ASSERT_TRUE(ReadCopy(ReadPly, bytes, m, mask));
        ASSERT_EQ(m.vert.size(), ascii.vert.size());
        for (std::size_t i = 0; i < m.vert.size(); ++i)
            EXPECT_EQ(m.vert[i].p, ascii.vert[i].p);
        ASSERT_EQ(m.face.size(), ascii.face.size());
        for (std::size_t i = 0; i < m.face.size(); ++i)
            EXPECT_EQ(m.face[i].v, ascii.face[i].v);
        // Every cut of the binary body is refused.
        const std::size_t body = bytes.find("end_header\n") + 11;
        for (std::size_t n = 0; n < bytes.size(); n += (n < body ? 7 : 1)) {
            TriMesh cut;
            EXPECT_FALSE(ReadCopy(ReadPly, bytes.substr(0, n), cut, mask)) << n;
        }
    }
}

TEST(PlainReaders, MalformedFilesFailAndTolerableVariantsRead)
{
    const std::string plyHead = "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                                "property float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n";
    const std::string plyVerts = "0 0 0\n1 0 0\n0 1 0\n";
    const std::string gtsHead = "3 3 1\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n3 1\n";
    const std::string ptxHead = "1\n2\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n";
    struct Case {
        const char* what;
        Reader read;
        std::string text;
        bool ok;
        std::size_t faces;
    } cases[] = {
        {"ply triangle", ReadPly, plyHead + plyVerts + "3 0 1 2\n", true, 1},
        {"ply index out of range", ReadPly, plyHead + plyVerts + "3 0 1 3\n", false, 0},
        {"ply negative index", ReadPly, plyHead + plyVerts + "3 0 -1 2\n", false, 0},
        {"ply polygon of two corners", ReadPly, plyHead + plyVerts + "2 0 1\n", false, 0},
        {"ply list count beyond its type", ReadPly, plyHead + plyVerts + "300 0 1 2\n", false, 0},
        {"ply without end_header", ReadPly, "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\n", false, 0},
        {"ply without format", ReadPly, "ply\nelement vertex 0\nend_header\n", false, 0},
        {"ply vertex without z", ReadPly,
         "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\nend_header\n1 2\n", false, 0},
        {"ply huge count, little data", ReadPly,
         "ply\nformat binary_little_endian 1.0\nelement vertex 4000000000\nproperty float x\nproperty float y\n"
         "property float z\nend_header\n\1\2\3\4",
         false, 0},
        {"ply empty element of huge count", ReadPly,
         "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\nproperty float z\n"
         "element nothing 18446744073709551615\nend_header\n1 2 3\n",
         true, 0},
        {"ply nan coordinate", ReadPly, plyHead + "0 0 nan\n1 0 0\n0 1 0\n3 0 1 2\n", false, 0},
        {"off counts on the keyword line", ReadOff, "OFF 3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2 255 0 0\n", true, 1},
        {"off quad as a fan", ReadOff, "OFF\n4 1 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n4 0 1 2 3\n", true, 2},
        {"off corner missing", ReadOff, "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1\n", false, 0},
        {"off normals missing", ReadOff, "NOFF\n1 0 0\n0 0 0\n", false, 0},
        {"off bad keyword", ReadOff, "OFX\n1 0 0\n0 0 0\n", false, 0},
        {"gts triangle", ReadGts, gtsHead + "1 2 3\n", true, 1},
        {"gts edges that do not close", ReadGts, gtsHead + "1 1 2\n", false, 0},
        {"gts edge index 0", ReadGts, gtsHead + "0 2 3\n", false, 0},
        {"gts vertex index out of range", ReadGts, "2 1 0\n0 0 0\n1 0 0\n1 3\n", false, 0},
        {"gts huge counts", ReadGts, "4000000000 4000000000 4000000000\n0 0 0\n", false, 0},
        {"tri with components", ReadTri, "3 1\n0 0 0 1 0 0 0 1 0\n1 2 3\n7\n", true, 1},
        {"tri index 0", ReadTri, "3 1\n0 0 0 1 0 0 0 1 0\n0 1 2\n", false, 0},
        {"tri trailing junk", ReadTri, "3 1\n0 0 0 1 0 0 0 1 0\n1 2 3\n7 8\n", false, 0},
        {"tri huge counts", ReadTri, "4000000000 4000000000\n0 0 0\n", false, 0},
        {"xyz comma and semicolon separated", Points(PointFormat::Xyz), "1,2;3\n+4 5 6\n", true, 0},
        {"xyz two fields", Points(PointFormat::Xyz), "1 2 3\n4 5\n", false, 0},
        {"xyz text", Points(PointFormat::Xyz), "1 2 3\nhello world again\n", false, 0},
        {"xyz infinite", Points(PointFormat::Xyz), "1 2 inf\n", false, 0},
        {"asc comments only", Points(PointFormat::Asc), "# nothing\n\n", false, 0},
        {"pts more points than counted", Points(PointFormat::Pts), "1\n1 2 3\n4 5 6\n", false, 0},
        {"pts fewer points than counted", Points(PointFormat::Pts), "3\n1 2 3\n4 5 6\n", false, 0},
        {"pts without counts", Points(PointFormat::Pts), "1 2 3 0.5\n4 5 6 0.5\n", true, 0},
        {"ptx scan", ReadPtx, ptxHead + "1 2 3 0.5\n4 5 6 0.5\n", true, 0},
        {"ptx scan cut short", ReadPtx, ptxHead + "1 2 3 0.5\n", false, 0},
        {"ptx zero columns", ReadPtx, "0\n2\n", false, 0},
        {"ptx only missing samples", ReadPtx, ptxHead + "0 0 0 0\n0 0 0 0\n", false, 0},
        {"ptx matrix row short", ReadPtx, "1\n1\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 0 0\n", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TriMesh m;
        int mask = 0;
        EXPECT_EQ(ReadCopy(c.read, c.text, m, mask), c.ok);
        if (c.ok) {
            EXPECT_EQ(m.face.size(), c.faces);
        }
    }
}

TEST(PlainReaders, PtxTransformsSamplesAndSkipsMissingOnes)
{
    // Translation in the last row, a turn about z in the upper rows.
    const std::string text = "2\n1\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n0 1 0 0\n-1 0 0 0\n0 0 1 0\n10 20 30 1\n"
                             "1 2 3 0.5\n0 0 0 0.5\n";
    TriMesh m;
    int mask = 0;
    ASSERT_TRUE(ReadCopy(ReadPtx, text, m, mask));
    ASSERT_EQ(m.vert.size(), 1u);
    EXPECT_DOUBLE_EQ(m.vert[0].p[0], -2 + 10);
    EXPECT_DOUBLE_EQ(m.vert[0].p[1], 1 + 20);
    EXPECT_DOUBLE_EQ(m.vert[0].p[2], 3 + 30);
}
