// Reads element records back to back from arbitrary bytes, as the journal
// replay and the scene loader do, through a regular file (the size check)
// and through a memory stream (the chunked path).
#include "korvex.h"
#include "store/ClassSize.h"
#include "store/Element.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void readAll(std::FILE* f) {
    for (int records = 0; records < 100000; ++records) {
        DQ::Element e;
        if (e.read(f) < 0) break;
        // Whatever loaded must be safe to size and compare.
        unsigned n = DQ::classSize(e.getClass(), e.getData());
        if (n && e.getData()) {
            volatile unsigned char sink = static_cast<unsigned char*>(e.getData())[n - 1];
            (void)sink;
        }
        delete[] static_cast<char*>(e.getData()); // the fuzzer would otherwise run out of memory
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (std::FILE* f = std::tmpfile()) {
        if (size) std::fwrite(data, 1, size, f);
        std::rewind(f);
        readAll(f);
        std::fclose(f);
    }
    if (size) {
        if (std::FILE* m = fmemopen(const_cast<std::uint8_t*>(data), size, "rb")) {
            readAll(m);
            std::fclose(m);
        }
    }
    return 0;
}
