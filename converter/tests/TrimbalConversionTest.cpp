// Conversions of the fixture box in every format the plug-ins read, through
// the real program and plug-ins, checked in the written STL: triangle
// count, bounds and outward facet normals. And bad input of every format:
// the load error and exit code 1, never a crash or a hang.

#include "TrimbalRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr float kLo[3] = {-1.0f, 2.0f, 0.0f};
constexpr float kHi[3] = {3.0f, 7.0f, 1.5f};

struct Format {
    const char* ext;
    std::uint32_t triangles;  // 0 for the point clouds
};

const Format kFormats[] = {
    {"3ds", 12}, {"ply", 12}, {"obj", 12}, {"off", 12}, {"dae", 12}, {"x3d", 12}, {"gts", 12},
    {"tri", 12}, {"xyz", 0},  {"pts", 0},  {"apts", 0}, {"asc", 0},  {"ptx", 0},
};

}  // namespace

TEST(TrimbalConversion, EveryFormatConvertsTheBoxToStl)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Format& f : kFormats) {
        SCOPED_TRACE(f.ext);
        const QString in = Fixture(QString("cube.") + f.ext);
        const QString out = dir.filePath(QString("cube_%1.orm").arg(f.ext));
        const RunResult r = RunProgram(RealTrimbal(), {"-i", QString(f.ext).toUpper(), "-o", "STL", in, out});
        ASSERT_TRUE(r.finished);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const StlFile stl = ReadStl(out);
        ASSERT_TRUE(stl.ok);
        EXPECT_NE(stl.header.rfind("solid", 0), 0u) << "a binary header must not look like ASCII STL";
        EXPECT_EQ(stl.maxAttribute, 0);
        ASSERT_EQ(stl.count, f.triangles);
        if (f.triangles == 0)
            continue;

        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (const auto& t : stl.facets) {
            const float* n = t.data();
            float centroid[3] = {};
            for (int c = 0; c < 3; ++c)
                for (int k = 0; k < 3; ++k) {
                    const float v = t[3 + 3 * c + k];
                    lo[k] = std::min(lo[k], v);
                    hi[k] = std::max(hi[k], v);
                    centroid[k] += v / 3.0f;
                }
            // Unit length, along the winding, and pointing away from the
            // box's centre: the solid is closed and convex.
            const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            EXPECT_NEAR(len, 1.0f, 1e-5f);
            const float* a = &t[3];
            const float* b = &t[6];
            const float* c = &t[9];
            const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const float w[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
            EXPECT_GT(n[0] * w[0] + n[1] * w[1] + n[2] * w[2], 0.0f);
            float outward = 0.0f;
            for (int k = 0; k < 3; ++k)
                outward += n[k] * (centroid[k] - (kLo[k] + kHi[k]) / 2.0f);
            EXPECT_GT(outward, 0.0f);
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(lo[k], kLo[k]) << "axis " << k;
            EXPECT_FLOAT_EQ(hi[k], kHi[k]) << "axis " << k;
        }
    }
}

TEST(TrimbalConversion, TruncatedOrGarbageInputGivesTheLoadError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::mt19937 rng(20240611);
    for (const Format& f : kFormats) {
        QFile fixture(Fixture(QString("cube.") + f.ext));
        ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
        const QByteArray whole = fixture.readAll();

        // Cut in the middle. A pts file is cut inside its second block (its
        // first block ends about halfway and is complete in itself); the
        // other point clouds, whose records carry no count, inside a record
        // after its first field, since a cloud cut between records is a
        // smaller valid cloud.
        qsizetype cut = whole.size() / 2;
        if (QByteArray(f.ext) == "pts")
            cut = whole.size() * 3 / 4;
        else if (f.triangles == 0 && QByteArray(f.ext) != "ptx") {
            cut = whole.indexOf('\n', cut) + 1;
            while (cut < whole.size() && whole[cut] != ' ' && whole[cut] != ',')
                ++cut;
        }
        QByteArray garbage(1500, '\0');
        for (char& c : garbage)
            c = static_cast<char>(rng());
        const QByteArray inputs[] = {whole.left(cut), garbage, QByteArray()};
        const char* kinds[] = {"truncated", "garbage", "empty"};
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(std::string(f.ext) + " " + kinds[i]);
            const QString in = dir.filePath(QString("bad_%1.%2").arg(kinds[i]).arg(f.ext));
            QFile file(in);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(inputs[i]);
            file.close();
            const QString out = dir.filePath("bad.stl");
            QFile::remove(out);
            const RunResult r = RunProgram(RealTrimbal(), {"-i", f.ext, "-o", "stl", in, out}, 20000);
            ASSERT_TRUE(r.finished) << "hung";
            EXPECT_TRUE(r.normalExit) << "crashed";
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.err.rfind("load error\n", 0), 0u) << r.err;
            EXPECT_FALSE(QFile::exists(out));
        }
    }
}

TEST(TrimbalConversion, DamageTheLibraryDoesNotSurviveGivesTheLoadError)
{
    // Files on which the assimp readers loop forever, crash or free memory
    // twice: refused by the Collada check, or read in a child that dies.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto damaged = [](const char* file, const QByteArray& from, const QByteArray& to) {
        QFile f(Fixture(file));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        EXPECT_TRUE(bytes.contains(from));
        return bytes.replace(from, to);
    };
    struct Case {
        const char* what;
        const char* ext;
        QByteArray bytes;
    } cases[] = {
        {"stray letter in a Collada index list", "dae", damaged("cube.dae", "<p>2 3 1", "<p>2 n 1")},
        {"Collada array without its count", "dae", damaged("cube.dae", " count=\"24\"", "")},
        {"X3D face list with an empty face", "x3d", damaged("cube.x3d", "-1 4 5 7 -1", "-1 -1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString in = dir.filePath(QString("damaged.") + c.ext), out = dir.filePath("out.stl");
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        const RunResult r = RunProgram(RealTrimbal(), {"-i", c.ext, "-o", "stl", in, out}, 20000);
        ASSERT_TRUE(r.finished) << "hung";
        EXPECT_TRUE(r.normalExit);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "load error\ninput  file name : " + in.toStdString() + "\noutput file name : " +
                             out.toStdString() + "\n");
    }
}

TEST(TrimbalConversion, ColladaKeepsTheFilesNumbersWhateverItsUnit)
{
    // A model drawn in millimetres says so in its unit; the viewer works in
    // the program's millimetres, so the numbers must not be scaled to metres.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(Fixture("cube.dae"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.contains("<unit name=\"meter\" meter=\"1\"/>"));
    bytes.replace("<unit name=\"meter\" meter=\"1\"/>", "<unit name=\"millimeter\" meter=\"0.001\"/>");
    const QString in = dir.filePath("mm.dae"), out = dir.filePath("mm.stl");
    QFile w(in);
    ASSERT_TRUE(w.open(QIODevice::WriteOnly));
    w.write(bytes);
    w.close();
    const RunResult r = RunProgram(RealTrimbal(), {"-i", "DAE", "-o", "STL", in, out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const StlFile stl = ReadStl(out);
    ASSERT_EQ(stl.count, 12u);
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (const auto& t : stl.facets)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], t[3 + 3 * c + k]);
                hi[k] = std::max(hi[k], t[3 + 3 * c + k]);
            }
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(lo[k], kLo[k], 1e-5f);
        EXPECT_NEAR(hi[k], kHi[k], 1e-5f);
    }
}

TEST(TrimbalConversion, AMissingInputOrAnUnwritableOutputFails)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RunResult r = RunProgram(RealTrimbal(), {"-i", "ply", "-o", "stl", dir.filePath("none.ply"), dir.filePath("o.stl")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("load error\n", 0), 0u) << r.err;

    r = RunProgram(RealTrimbal(), {"-i", "ply", "-o", "stl", Fixture("cube.ply"), dir.filePath("no/such/dir/o.stl")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("save error\n", 0), 0u) << r.err;
}
