// The subcommands of orvane-cli. Each takes the arguments after its own
// name and returns the process exit code.
#pragma once

int runDump(int argc, char** argv);
