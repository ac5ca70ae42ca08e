// orvane-cli: runs one subcommand, named by the first argument.
#include "Commands.h"

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

constexpr Command kCommands[] = {
    {"dump", runDump, "dump FILE.nc    print the CL path of an NC program"},
};

void usage(std::FILE* out) {
    std::fprintf(out, "usage: orvane-cli COMMAND [ARGS]\n");
    for (const Command& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help")) {
        usage(stdout);
        return 0;
    }
    for (const Command& c : kCommands)
        if (!std::strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "orvane-cli: unknown command '%s' (try --help)\n", argv[1]);
    return 2;
}
