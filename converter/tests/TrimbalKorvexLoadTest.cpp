// What the viewer does with a conversion: the converted file is loaded by
// Korvex's own STL reader, which must find the box's triangles and bounds.

#include "TrimbalRun.h"
#include "korvex.h"
#include "shapes/TriangleBuffer.h"

#include <QTemporaryDir>

#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

struct Session {
    Session() { dqCreateSession(); }
    ~Session() { dqDestroySession(); }
};

}  // namespace

TEST(TrimbalKorvexLoad, ConvertedModelsLoadAsStlModels)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Session session;
    const QString block = QString("Orvan%1k").arg(getpid());
    for (const char* ext : {"3ds", "ply", "obj", "off", "dae", "x3d", "gts", "tri"}) {
        SCOPED_TRACE(ext);
        // The viewer's own command line: short type name, STL, a ".orm" file.
        const QString out = dir.filePath(QString("OR%1.orm").arg(ext));
        const RunResult r = RunProgram(RealTrimbal(), {"-i", QString(ext).toUpper(), "-o", "STL", "-m",
                                                       block, Fixture(QString("cube.") + ext), out});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        double progress = -1.0;
        const unsigned tag = dqCreateSTLFromFile(out.toLocal8Bit().constData(), &progress);
        ASSERT_NE(tag, 0u);
        EXPECT_EQ(progress, 1.0);
        const void* data = dqGetData(tag);
        ASSERT_NE(data, nullptr);
        const DQ::TriangleBufferHeader* head = DQ::bufferHeader(data);
        EXPECT_EQ(head->count, 12u);
        const double lo[3] = {-1, 2, 0}, hi[3] = {3, 7, 1.5};
        for (int k = 0; k < 3; ++k) {
            EXPECT_DOUBLE_EQ(head->minimum[k], lo[k]);
            EXPECT_DOUBLE_EQ(head->maximum[k], hi[k]);
        }
    }
    shm_unlink(("/" + block).toLocal8Bit().constData());
}

TEST(TrimbalKorvexLoad, APointCloudConvertsToAnStlWithoutTrianglesThatDoesNotLoad)
{
    // Binary STL allows zero triangles, so the conversion of a cloud
    // succeeds; the viewer's reader refuses such a file, so a cloud never
    // becomes an empty model.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Session session;
    const QString out = dir.filePath("ORcloud.orm");
    const RunResult r = RunProgram(RealTrimbal(), {"-i", "XYZ", "-o", "STL", Fixture("cube.xyz"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadStl(out).count, 0u);
    double progress = -1.0;
    EXPECT_EQ(dqCreateSTLFromFile(out.toLocal8Bit().constData(), &progress), 0u);
}
