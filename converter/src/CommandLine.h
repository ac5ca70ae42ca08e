#pragma once
// The converter's command line: Trimbal [options] input-path output-path,
// with the options -i format, -o format and -m block-name anywhere.

#include <string>

struct CommandLine {
    std::string inputFormat;   // -i
    std::string outputFormat;  // -o
    std::string mappingName;   // -m
    bool hasMapping = false;
    std::string inputPath;
    std::string outputPath;
};

// Parses argv[1..argc-1]. An argument starting with '-' is an option named
// by its second character alone, which takes the next argument as its value.
// Returns false for an unknown option, an option without value, a third
// path, or a missing output path. Missing -i or -o are not errors here.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out);

// The message for a bad command line: the heading, then every argument
// including the program's name, each followed by one space.
std::string CommandLineErrorText(int argc, const char* const* argv);
