// Any bytes as a scene file merged into a fresh session, then saved again:
// no crash, no unbounded allocation, and whatever loaded can be written.
#include "korvex.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::string dir = [] {
        // tmpfs keeps the fsync of every save cheap.
        char name[] = "/dev/shm/orvane-fuzz-mcv-XXXXXX";
        return std::string(mkdtemp(name));
    }();
    std::string in = dir + "/in.mcv", out = dir + "/out.mcv";
    std::FILE* f = std::fopen(in.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    dqCreateSession();
    dqSetMark();
    double progress = 0;
    if (dqLoadMCVFile(in.c_str(), &progress) == 0) {
        dqSetMark();
        dqSaveMCVFile(out.c_str());
        int count;
        dqDoToMark(dqGetUndoMark(), 0, &count, nullptr);
    }
    dqDestroySession();
    return 0;
}
