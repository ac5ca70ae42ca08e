// The plug-in searches of the converter, in program folders laid out by the
// tests: the folder beside the program, the order of the files, the
// messages for unusable files, the fall-through to the next reader, and the
// order of the calls into a plug-in.

#include "TrimbalRun.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

std::string LoadError(const QString& in, const QString& out)
{
    return "load error\ninput  file name : " + in.toStdString() + "\noutput file name : " + out.toStdString() + "\n";
}

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Fills the plugins folder with `first` and `second` so that the file system
// lists `first` before `second`; the order is the file system's, so names
// and creation order are varied until it comes out that way.
bool ArrangeInOrder(ProgramFolder& folder, const QString& first, const QString& second)
{
    for (int attempt = 0; attempt < 40; ++attempt) {
        folder.ClearPlugins();
        const QString a = QString("p%1a.so").arg(attempt), b = QString("p%1b.so").arg(attempt);
        if (attempt % 2 == 0) {
            folder.AddPlugin(first, a);
            folder.AddPlugin(second, b);
        } else {
            folder.AddPlugin(second, b);
            folder.AddPlugin(first, a);
        }
        const QStringList listed = QDir(folder.PluginsDir()).entryList(QDir::Files, QDir::Unsorted);
        if (listed.size() == 2 && listed[0] == a)
            return true;
    }
    return false;
}

}  // namespace

TEST(TrimbalPlugins, EmptyOrMissingPluginsFolderGivesTheLoadError)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.valid());
    const QString in = Fixture("cube.ply"), out = folder.File("out.stl");
    for (bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "missing" : "empty");
        if (missing)
            folder.RemovePlugins();
        else
            folder.ClearPlugins();
        const RunResult r = RunProgram(folder.Program(), {"-i", "ply", "-o", "stl", in, out});
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, LoadError(in, out));
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST(TrimbalPlugins, PluginsComeFromTheFolderBesideTheProgram)
{
    // The copy's own folder holds the readers; the build's real folder is
    // not consulted.
    ProgramFolder folder;
    ASSERT_TRUE(folder.valid());
    folder.AddPlugin(RealPlugin("io_plain.so"));
    const QString out = folder.File("out.stl");
    RunResult r = RunProgram(folder.Program(), {"-i", "ply", "-o", "stl", Fixture("cube.ply"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("save error\n", 0), 0u) << r.err;

    folder.AddPlugin(RealPlugin("io_stl.so"));
    r = RunProgram(folder.Program(), {"-i", "ply", "-o", "stl", Fixture("cube.ply"), out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadStl(out).count, 12u);
}

TEST(TrimbalPlugins, UnusableFilesAreReportedByTheReaderSearchOnly)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.valid());
    {
        QFile junk(QDir(folder.PluginsDir()).filePath("junk.so"));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("this is not a library");
    }
    folder.AddPlugin(TestPlugin("test_no_interface.so"), "nointerface.so");
    folder.AddPlugin(TestPlugin("test_failing_reader.so"), "failing.so");
    const QString in = Fixture("cube.ply"), out = folder.File("out.rec");

    // No reader succeeds, so every file is visited once.
    RunResult r = RunProgram(folder.Program(), {"-i", "ply", "-o", "rec", in, out});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Count(r.err, "loader error: junk.so\n"), 1) << r.err;
    EXPECT_EQ(Count(r.err, "plugin error: nointerface.so\n"), 1) << r.err;
    EXPECT_EQ(Count(r.err, "failing reader tried\n"), 1) << r.err;
    EXPECT_NE(r.err.find(LoadError(in, out)), std::string::npos) << r.err;

    // With a reader and a writer present, nothing may be printed once the
    // reading has succeeded: the writer search passes over such files
    // silently.
    folder.AddPlugin(TestPlugin("test_recording.so"), "recording.so");
    QFile rec(folder.File("in.rec"));
    ASSERT_TRUE(rec.open(QIODevice::WriteOnly));
    rec.close();
    r = RunProgram(folder.Program(), {"-i", "rec", "-o", "rec", folder.File("in.rec"), out});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::size_t opened = r.err.find("open Rec");
    ASSERT_NE(opened, std::string::npos) << r.err;
    const std::string afterReading = r.err.substr(opened);
    EXPECT_EQ(afterReading.find("loader error"), std::string::npos) << r.err;
    EXPECT_EQ(afterReading.find("plugin error"), std::string::npos) << r.err;
}

TEST(TrimbalPlugins, AReaderThatFailsPassesTheFileToTheNextOne)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.valid());
    const QString in = Fixture("cube.ply"), out = folder.File("out.stl");

    ASSERT_TRUE(ArrangeInOrder(folder, TestPlugin("test_failing_reader.so"), RealPlugin("io_plain.so")));
    folder.AddPlugin(RealPlugin("io_stl.so"), "zz_stl.so");
    RunResult r = RunProgram(folder.Program(), {"-i", "PLY", "-o", "STL", in, out});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "failing reader tried\n");
    StlFile stl = ReadStl(out);
    ASSERT_TRUE(stl.ok);
    EXPECT_EQ(stl.count, 12u);
    // Nothing the failed reader left in the mesh reaches the output.
    for (const auto& f : stl.facets)
        for (int k = 3; k < 12; ++k)
            EXPECT_LT(f[k], 100.0f);

    // The other way round the first reader succeeds and the search stops.
    ASSERT_TRUE(ArrangeInOrder(folder, RealPlugin("io_plain.so"), TestPlugin("test_failing_reader.so")));
    folder.AddPlugin(RealPlugin("io_stl.so"), "zz_stl.so");
    QFile::remove(out);
    r = RunProgram(folder.Program(), {"-i", "ply", "-o", "stl", in, out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadStl(out).count, 12u);
}

TEST(TrimbalPlugins, CallsArriveInOrderAndTheMeshIsFinishedBeforeSaving)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.valid());
    folder.AddPlugin(TestPlugin("test_recording.so"), "recording.so");
    struct Case {
        const char* content;
        // What the writer sees: the face normal and a vertex normal.
        const char* faceNormal;
        const char* vertNormal;
        int mask;
    } cases[] = {
        // Without normals in the file they are computed from the faces.
        {"", "faceNormal 0 0 1", "vertNormal 0 0 1", 0x40 | 0x80},
        // With them they are only scaled to unit length; faces keep none.
        {"normals", "faceNormal 0 0 0", "vertNormal 0 0 1", 0x40 | 0x80 | 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        QFile in(folder.File("in.rec"));
        ASSERT_TRUE(in.open(QIODevice::WriteOnly | QIODevice::Truncate));
        in.write(c.content);
        in.close();
        const QString out = folder.File("out.rec");
        const RunResult r = RunProgram(folder.Program(), {"-i", "REC", "-o", "Rec", folder.File("in.rec"), out});
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        // The matched extension is handed over as the plug-in lists it.
        EXPECT_EQ(r.err,
                  "initPreOpenParameter Rec\n"
                  "open Rec preOpen=1 parent=0\n"
                  "initOpenParameter Rec\n"
                  "applyOpenParameter Rec 1\n"
                  "GetExportMaskCapability rec\n"
                  "initSaveParameter rec\n"
                  "save rec parent=0\n");
        QFile dump(out);
        ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(dump.readAll());
        EXPECT_TRUE(text.contains(QString("mask %1\n").arg(c.mask))) << text.toStdString();
        EXPECT_TRUE(text.contains("dataMask 2\n")) << text.toStdString();
        // The deleted vertex at 100 stays out of the box.
        EXPECT_TRUE(text.contains("bbox 0 0 0 2 3 0 0\n")) << text.toStdString();
        EXPECT_TRUE(text.contains(c.faceNormal)) << text.toStdString();
        EXPECT_TRUE(text.contains(c.vertNormal)) << text.toStdString();
    }
}
