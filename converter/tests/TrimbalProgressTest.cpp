// The progress block and its lock: the block a conversion writes, seen by
// name from another process; a lock held by a live process holds the
// converter back, one held by a killed process does not.

#include "CMapping.h"
#include "TrimbalRun.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A block name of this test process, removed again at the end.
class TestBlock {
public:
    explicit TestBlock(const char* suffix)
        : m_name("Orvan" + std::to_string(getpid()) + suffix)
    {
        shm_unlink(("/" + m_name).c_str());
    }
    ~TestBlock() { shm_unlink(("/" + m_name).c_str()); }
    const std::string& name() const { return m_name; }
    QString qname() const { return QString::fromStdString(m_name); }

private:
    std::string m_name;
};

}  // namespace

TEST(CMapping, BlocksOfOneNameShareTheirValue)
{
    TestBlock block("m");
    CMapping viewer, converter;
    ASSERT_TRUE(viewer.Open(block.name().c_str()));
    ASSERT_TRUE(converter.Open(block.name().c_str()));  // opens the existing one
    double v = 0.25, seen = 0.0;
    EXPECT_TRUE(converter.Write(&v));
    EXPECT_TRUE(viewer.Read(&seen));
    EXPECT_EQ(seen, 0.25);

    // Reopening closes the old view first; closing leaves nothing to write to.
    EXPECT_TRUE(converter.Open(block.name().c_str()));
    converter.Close();
    EXPECT_FALSE(converter.IsOpen());
    EXPECT_FALSE(converter.Write(&v));
    EXPECT_FALSE(converter.Read(&seen));
}

TEST(CMapping, NamesThatCannotBeBlocksFailAndLeaveNothingOpen)
{
    CMapping m;
    for (const char* name : {"", "/", "Orvan/1", "/a/b"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(m.Open(name));
        EXPECT_FALSE(m.IsOpen());
    }
    EXPECT_FALSE(m.Open(nullptr));
    EXPECT_EQ(CMapping::ShmName("Orvan12"), "/Orvan12");
    EXPECT_EQ(CMapping::ShmName("/Orvan12"), "/Orvan12");
}

TEST(TrimbalProgress, ABlockMappedByNameEndsBetweenHalfAndOne)
{
    TestBlock block("a");
    CMapping viewer;
    ASSERT_TRUE(viewer.Open(block.name().c_str()));
    const double start = 0.0;
    ASSERT_TRUE(viewer.Write(&start));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* ext : {"ply", "obj", "gts"}) {
        SCOPED_TRACE(ext);
        const double reset = -1.0;
        ASSERT_TRUE(viewer.Write(&reset));
        const RunResult r = RunProgram(RealTrimbal(), {"-i", ext, "-o", "STL", "-m", block.qname(),
                                                       Fixture(QString("cube.") + ext), dir.filePath("out.orm")});
        ASSERT_TRUE(r.finished);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        double last = -1.0;
        ASSERT_TRUE(viewer.Read(&last));
        EXPECT_GE(last, 0.5);
        EXPECT_LE(last, 1.0);
    }
}

TEST(TrimbalProgress, ProgressBeyondTheRangeIsClampedAndTheBlockIsCreatedWhenMissing)
{
    // The recording plug-in reports 250 % while reading and nothing while
    // writing: the block must end at exactly one half. The converter comes
    // first here and creates the block itself.
    TestBlock block("c");
    ProgramFolder folder;
    ASSERT_TRUE(folder.valid());
    folder.AddPlugin(TestPlugin("test_recording.so"), "recording.so");
    QFile in(folder.File("in.rec"));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.close();
    const RunResult r = RunProgram(folder.Program(),
                                   {"-m", block.qname(), "-i", "rec", "-o", "rec", in.fileName(), folder.File("o.rec")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    CMapping viewer;
    ASSERT_TRUE(viewer.Open(block.name().c_str()));
    double last = -1.0;
    ASSERT_TRUE(viewer.Read(&last));
    EXPECT_EQ(last, 0.5);
}

TEST(TrimbalProgress, ALiveLockHolderHoldsTheConverterBack)
{
    TestBlock block("l");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess p;
    {
        CProgressLock held;
        ASSERT_TRUE(held.held());
        p.start(RealTrimbal(), {"-i", "ply", "-o", "stl", "-m", block.qname(), Fixture("cube.ply"),
                                dir.filePath("out.stl")});
        ASSERT_TRUE(p.waitForStarted(10000));
        EXPECT_FALSE(p.waitForFinished(700)) << "the converter wrote without the lock";
    }
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
}

TEST(TrimbalProgress, ALockHeldByAKilledProcessDoesNotHangTheNextConversion)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        CProgressLock held;
        const char ok = held.held() ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    ASSERT_EQ(ok, 'y');
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);

    TestBlock block("k");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const RunResult r = RunProgram(RealTrimbal(), {"-i", "ply", "-o", "stl", "-m", block.qname(), Fixture("cube.ply"),
                                                   dir.filePath("out.stl")},
                                   20000);
    ASSERT_TRUE(r.finished) << "hung on the dead holder's lock";
    EXPECT_EQ(r.exitCode, 0) << r.err;
    CMapping viewer;
    ASSERT_TRUE(viewer.Open(block.name().c_str()));
    double last = -1.0;
    ASSERT_TRUE(viewer.Read(&last));
    EXPECT_EQ(last, 1.0);
}
