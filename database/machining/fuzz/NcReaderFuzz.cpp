// Any bytes as an NC program: the reader must give a well-formed CL buffer
// or nothing, the fast word scanner must agree with its reference loop, and
// the walk and the trace must stay inside the buffer it gives. The same
// bytes taken as a (damaged) CL buffer, as a journal file could hand one
// back, must walk and trace without reading outside them.
#include "machining/ClRecord.h"
#include "machining/ClTrace.h"
#include "machining/ClWalk.h"
#include "machining/NcReader.h"
#include "machining/WordScannerCore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace DQ;

namespace {

void crash(const char* why) {
    std::fprintf(stderr, "nc_reader_fuzz: %s\n", why);
    std::abort();
}

// Counts the records a walk visits, checking each lies inside the buffer.
struct Counter final : ClWalkVisitor {
    std::uint32_t total;
    unsigned records = 0;
    void visit(const ClWalkStep& s) override {
        if (s.end > total || s.offset >= s.end) crash("walk left the buffer");
        ++records;
    }
};

void exerciseTrace(const ClBuffer& buffer, const std::uint8_t* data, std::size_t size) {
    TraceCursor cursor = freshCursor(buffer);
    Counter counter;
    counter.total = buffer.total();
    walkClPath(buffer, walkRange(nullptr, buffer), &counter);
    for (std::size_t i = 0; i < size && i < 16; ++i) {
        std::int8_t n = static_cast<std::int8_t>(data[i]);
        switch (data[i] % 4) {
        case 0: stepBy(buffer, cursor, n); break;
        case 1: jumpToRate(buffer, cursor, n / 100.0); break;
        case 2: cursor.base = cursor.current; cursor.basePose = cursor.currentPose; break;
        default: stepBy(buffer, cursor, -n); break;
        }
        if (cursor.current > buffer.total() && cursor.current != kClFirstRecord)
            crash("cursor beyond the end");
        walkClPath(buffer, walkRange(&cursor, buffer), &counter);
    }
}

void compareScanners(const char* text, std::size_t size) {
    Resolutions res;
    for (std::size_t at = 0; at < size;) {
        std::size_t length = size - at < 255 ? size - at : 255;
        const void* nl = std::memchr(text + at, '\n', length);
        if (nl) length = static_cast<const char*>(nl) - (text + at) + 1;
        // The padded copy continues with digits that must never be read in.
        char padded[255 + scan::kPadding];
        std::memcpy(padded, text + at, length);
        std::memset(padded + length, '9', scan::kPadding);
        std::size_t p1 = 0, p2 = 0, p3 = 0;
        for (int words = 0; words < 300; ++words) {
            NcWord a, b, c;
            ScanStatus s1 = scan::scanWord<true>(text + at, length, p1, res, a);
            ScanStatus s2 = scan::scanWord<false>(text + at, length, p2, res, b);
            ScanStatus s3 = scan::scanWord<true, true>(padded, length, p3, res, c);
            if (s1 != s2 || s3 != s2) crash("scanner status differs from the reference");
            if (s1 != kScanWord) break;
            if (p1 != p2 || a.address != b.address || a.raw != b.raw || a.counts != b.counts)
                crash("scanner word differs from the reference");
            if (p3 != p2 || c.address != b.address || c.raw != b.raw || c.counts != b.counts)
                crash("padded scanner word differs from the reference");
        }
        at += length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    compareScanners(reinterpret_cast<const char*>(data), size);

    std::FILE* f = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (f) {
        const double start[6] = {0, 0, 100, 0, 0, 0};
        double progress = 0;
        ClBufferBlock block = size ? readNcStream(f, size, Resolutions(), start, &progress)
                                   : ClBufferBlock();
        std::fclose(f);
        if (block.data) {
            std::uint32_t total;
            std::memcpy(&total, block.data, 4);
            if (total != block.size || total < kClFirstMove) crash("bad total length");
            if (progress != 1.0) crash("progress not 1.0 after success");
            ClBuffer buffer(block.data, block.size);
            // Every record of a reader-made buffer is whole, head equal to tail.
            std::uint32_t at = kClFirstRecord;
            std::int32_t code;
            while (buffer.recordAt(at, code)) {
                if (loadI32(block.data + at + recordBytes(code) - 8) != code) crash("tail differs");
                at += recordBytes(code);
            }
            if (at != total) crash("records do not fill the buffer");
            exerciseTrace(buffer, data, size);
            std::free(block.data);
        }
    }

    // The bytes themselves as a damaged CL buffer, its first word as given.
    if (size >= 4) exerciseTrace(ClBuffer(data, size), data, size);
    return 0;
}
