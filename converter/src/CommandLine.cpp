#include "CommandLine.h"

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out)
{
    out = CommandLine{};
    bool haveInput = false, haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] == '-') {
            std::string* value = nullptr;
            switch (arg[1]) {
            case 'i': value = &out.inputFormat; break;
            case 'o': value = &out.outputFormat; break;
            case 'm': value = &out.mappingName; out.hasMapping = true; break;
            default: return false;
            }
            if (i + 1 >= argc)
                return false;
            *value = argv[++i];
        } else if (!haveInput) {
            out.inputPath = arg;
            haveInput = true;
        } else if (!haveOutput) {
            out.outputPath = arg;
            haveOutput = true;
        } else {
            return false;
        }
    }
    return haveOutput;
}

std::string CommandLineErrorText(int argc, const char* const* argv)
{
    std::string text = "command parameter error\ncommand = ";
    for (int i = 0; i < argc; ++i) {
        text += argv[i];
        text += ' ';
    }
    text += '\n';
    return text;
}
