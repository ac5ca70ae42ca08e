// Trimbal: converts one mesh file into another format through the mesh I/O
// plug-ins in the folder "plugins" beside it, and reports its progress to
// the program that started it through the shared block named with -m.

#include "CMapping.h"
#include "CommandLine.h"
#include "MeshConverter.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void PrintNames(const CommandLine& cl)
{
    std::fprintf(stderr, "input  file name : %s\n", cl.inputPath.c_str());
    std::fprintf(stderr, "output file name : %s\n", cl.outputPath.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    // Qt may take arguments of its own out of argv; the command line is
    // parsed, and echoed in the error message, as it was given.
    const std::vector<std::string> given(argv, argv + argc);
    std::vector<const char*> args;
    for (const std::string& a : given)
        args.push_back(a.c_str());

    QCoreApplication app(argc, argv);

    CommandLine cl;
    if (!ParseCommandLine(int(args.size()), args.data(), cl)) {
        std::fputs(CommandLineErrorText(int(args.size()), args.data()).c_str(), stderr);
        return 1;
    }

    CMapping mapping;
    if (cl.hasMapping)
        mapping.Open(cl.mappingName.c_str());

    MeshConverter converter(mapping);
    const bool found = converter.FindPlugins();
    if (!found || !converter.Read(QString::fromStdString(cl.inputFormat), QFile::decodeName(cl.inputPath.c_str()))) {
        std::fputs("load error\n", stderr);
        PrintNames(cl);
        mapping.Close();
        return 1;
    }
    if (!converter.Write(QString::fromStdString(cl.outputFormat), QFile::decodeName(cl.outputPath.c_str()))) {
        std::fputs("save error\n", stderr);
        PrintNames(cl);
        mapping.Close();
        return 1;
    }
    mapping.Close();
    return 0;
}
