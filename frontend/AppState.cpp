// The status type and view command: plain values the application drives.
// The file-job worker writes the status while the GUI thread reads it, so
// they are atomics, which costs nothing for an int and keeps that exchange
// well-defined.
#include <atomic>

#include "fendal.h"

namespace {
std::atomic<int> g_status{0};
std::atomic<int> g_viewCommand{feCmdViewNone};
} // namespace

FE_API void feSetStatusType(int status) { g_status.store(status); }
FE_API int feGetStatusType(void) { return g_status.load(); }

FE_API void feSetViewCommandType(_CmdViewEnum type) { g_viewCommand.store(int(type)); }
FE_API _CmdViewEnum feGetViewCommandType(void) {
    return static_cast<_CmdViewEnum>(g_viewCommand.load());
}
