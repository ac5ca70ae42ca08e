// Any bytes as an STL file: a model or nothing, never a crash, and never an
// allocation beyond a small multiple of the file.
#include "korvex.h"
#include "shapes/StlReader.h"
#include "shapes/TriangleBuffer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::string path = [] {
        char name[] = "/tmp/orvane-fuzz-stl-XXXXXX";
        close(mkstemp(name));
        return std::string(name);
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    DQ::StlBuffer stl;
    double progress = 0;
    if (DQ::readStl(path.c_str(), &progress, stl)) {
        const DQ::TriangleBufferHeader* h = DQ::bufferHeader(stl.data);
        if (DQ::triangleBufferBytes(h->count) != stl.bytes) std::abort();
        std::free(stl.data);
    }
    return 0;
}
