// The converter's command line, run as a child process: bad command lines
// give the exact message and exit code 1; options may stand anywhere.

#include "TrimbalRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string Echo(const QStringList& args)
{
    std::string text = "command parameter error\ncommand = " + RealTrimbal().toStdString() + " ";
    for (const QString& a : args)
        text += a.toStdString() + " ";
    return text + "\n";
}

}  // namespace

TEST(TrimbalCommandLine, BadCommandLinesEchoEveryArgumentAndExitWithOne)
{
    const QStringList cases[] = {
        {},                                // no arguments: only the program's name
        {"in.ply"},                        // no output path
        {"a.ply", "b.stl", "c.stl"},       // a third path
        {"-x", "ply", "a.ply", "b.stl"},   // unknown option letter
        {"-", "a.ply", "b.stl"},           // an option without a letter
        {"a.ply", "b.stl", "-m"},          // -m without its value
        {"-i", "ply", "a.ply", "-o"},      // -o without its value
        {"-i", "ply", "-o", "stl", "a.ply"},  // values consumed, one path left
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const RunResult r = RunProgram(RealTrimbal(), args);
        ASSERT_TRUE(r.finished);
        EXPECT_TRUE(r.normalExit);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, Echo(args));
    }
}

TEST(TrimbalCommandLine, OptionsMayStandBeforeBetweenAndAfterThePaths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = Fixture("cube.ply");
    const QString out = dir.filePath("out.stl");
    const QStringList cases[] = {
        {"-i", "PLY", "-o", "STL", in, out},
        {in, "-i", "ply", out, "-o", "stl"},
        {in, out, "-o", "Stl", "-i", "pLy"},
        // Only the second character names the option.
        {"-input", "ply", in, "-output", "stl", out},
        // A block that cannot be made is no error: the run goes without.
        {"-m", "not/a/block", "-i", "ply", "-o", "stl", in, out},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QFile::remove(out);
        const RunResult r = RunProgram(RealTrimbal(), args);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const StlFile stl = ReadStl(out);
        EXPECT_TRUE(stl.ok);
        EXPECT_EQ(stl.count, 12u);
    }
}

TEST(TrimbalCommandLine, MissingFormatsFailTheSearchNotTheCommandLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = Fixture("cube.ply");
    const QString out = dir.filePath("out.stl");
    const std::string names = "input  file name : " + in.toStdString() + "\noutput file name : " + out.toStdString() + "\n";
    struct Case {
        QStringList args;
        std::string err;
    } cases[] = {
        {{"-o", "stl", in, out}, "load error\n" + names},
        {{"-i", "ply", in, out}, "save error\n" + names},
        {{"-i", "ply", "-o", "nosuch", in, out}, "save error\n" + names},
        {{"-i", "nosuch", "-o", "stl", in, out}, "load error\n" + names},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const RunResult r = RunProgram(RealTrimbal(), c.args);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.err);
    }
}
