// orvane-cli dump FILE.nc: loads an NC program into a fresh session and
// prints its CL path record by record.
#include "ClDump.h"
#include "Commands.h"

#include "korvex.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int runDump(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: orvane-cli dump FILE.nc\n");
        return 2;
    }
    char* path = argv[0];
    // The library answers every failure with tag 0; looking first tells the
    // user whether the file was unreadable or its content did not parse.
    if (std::FILE* probe = std::fopen(path, "r")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "orvane-cli: cannot read %s: %s\n", path, std::strerror(errno));
        return 1;
    }

    dqCreateSession();
    double progress = 0.0;
    unsigned tag = dqCreateCLFromNCFile(path, &progress);
    int status = 0;
    if (!tag) {
        std::fprintf(stderr, "orvane-cli: %s is not an NC program that can be read (empty, too "
                             "large, or a malformed word)\n", path);
        status = 1;
    } else {
        std::string text = formatClDump(dqGetData(tag));
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "orvane-cli: cannot write the dump: %s\n", std::strerror(errno));
            status = 1;
        }
    }
    dqDestroySession(); // removes the session's journal file
    return status;
}
