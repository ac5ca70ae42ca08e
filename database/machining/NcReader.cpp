#include "machining/NcReader.h"

#include "machining/ClRecord.h"
#include "machining/NcBlock.h"
#include "machining/ProgressCell.h"
#include "machining/WordScannerCore.h"
#include "store/HugePages.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <sys/stat.h>

namespace DQ {
namespace {

// A line is at most 255 characters; a longer physical line is read as
// several lines (what fgets with a 256-byte buffer does), so a word may be
// split in two.
constexpr std::size_t kLineMax = 255;
constexpr std::size_t kChunk = 1 << 16;

// Lines straight out of a large read buffer: the same cuts as fgets with a
// 256-byte buffer, without copying each line.
class LineSource {
public:
    // Zeroed once so the padding past the data is always initialised.
    explicit LineSource(std::FILE* file) : file_(file) { std::memset(buf_, 0, sizeof buf_); }

    // The text from the current position: up to kLineMax characters, more of
    // the stream after the line's end included. False at the end of the
    // stream or on a read error (see failed()).
    bool peek(const char*& text, std::size_t& avail) {
        if (have_ - at_ <= kLineMax && !eof_) refill();
        if (at_ == have_) return false;
        avail = have_ - at_ < kLineMax ? have_ - at_ : kLineMax;
        text = buf_ + at_;
        return true;
    }
    // The length of the line starting at text, given where a scan of it
    // stopped (at its newline, at a zero byte, or at avail), and consumes it:
    // what fgets with a 256-byte buffer would have read.
    std::size_t take(const char* text, std::size_t avail, std::size_t stop) {
        std::size_t length;
        if (stop < avail && text[stop] == '\n') {
            length = stop + 1;
        } else if (stop >= avail) {
            length = avail;
        } else { // a zero byte ended the scan; the line still runs to its newline
            const void* nl = std::memchr(text + stop, '\n', avail - stop);
            length = nl ? static_cast<const char*>(nl) - text + 1 : avail;
        }
        at_ += length;
        return length;
    }
    bool failed() const { return error_; }

private:
    void refill() {
        std::memmove(buf_, buf_ + at_, have_ - at_);
        have_ -= at_;
        at_ = 0;
        while (have_ < kChunk && !eof_) {
            std::size_t got = std::fread(buf_ + have_, 1, kChunk - have_, file_);
            have_ += got;
            if (got == 0) {
                eof_ = true;
                error_ = std::ferror(file_) != 0;
            }
        }
    }

    std::FILE* file_;
    // Lines handed out are followed by at least scan::kPadding readable
    // bytes (the scanner's eight-at-a-time reads).
    char buf_[kChunk + scan::kPadding];
    std::size_t have_ = 0, at_ = 0;
    bool eof_ = false, error_ = false;
};

// Round half away from zero into counts, pinned to the 64-bit range.
std::int64_t toCounts(double value, double resolution) {
    double q = std::round(value / resolution);
    if (!(q == q)) return 0;
    if (q >= 9.2233720368547758e18) return INT64_MAX;
    if (q <= -9.2233720368547758e18) return INT64_MIN;
    return static_cast<std::int64_t>(q);
}

// A resolution that is zero, negative or not a number would make every count
// meaningless (and divide by zero); such settings read as the default.
double usable(double resolution) {
    return std::isfinite(resolution) && resolution > 0 ? resolution : 0.0001;
}

struct Growable {
    unsigned char* data = nullptr;
    std::uint64_t used = 0, capacity = 0;

    // Room for n more bytes. Grows by half of what is held (at least the
    // 4096 bytes beyond the need): dense input (one short axis word a line)
    // can produce ten times its size, and fixed small steps would copy the
    // whole buffer again every few thousand lines.
    bool reserve(std::uint64_t n) {
        if (used + n <= capacity) return true;
        if (used + n > 0xFFFFFFFFu) return false; // the total length is 32 bits
        std::uint64_t want = used + n + 4096;
        if (want < used + used / 2) want = used + used / 2;
        if (want > 0xFFFFFFFFu) want = 0xFFFFFFFFu;
        void* bigger = std::realloc(data, want);
        if (!bigger) return false;
        data = static_cast<unsigned char*>(bigger);
        capacity = want;
        return true;
    }
};

ClBufferBlock fail(Growable& g) {
    std::free(g.data);
    return ClBufferBlock();
}

void putSlotI32(unsigned char* p, std::int32_t v) {
    std::memset(p, 0, 8);
    std::memcpy(p, &v, 4);
}

} // namespace

ClBufferBlock readNcStream(std::FILE* file, std::uint64_t size, const Resolutions& given,
                           const double start[6], double* progress) {
    Growable out;
    if (!file) return ClBufferBlock();
    Resolutions res{usable(given.linear), usable(given.angular)};

    NcState state;
    for (int i = 0; i < 3; ++i) {
        state.axis[i] = toCounts(start[i], res.linear);
        state.axis[3 + i] = toCounts(start[3 + i] * 180.0 / std::numbers::pi, res.angular);
    }

    // Sized up front for typical CAM output (a record is rarely more than
    // twice its line) so that the usual load never reallocates.
    std::uint64_t first = kClFirstMove + 2 * size;
    if (first > 0xFFFFFFFFu) first = 0xFFFFFFFFu;
    out.data = static_cast<unsigned char*>(std::malloc(first));
    if (!out.data) return ClBufferBlock();
    out.capacity = first;
    preferHugePages(out.data, first);

    // The initial record holds the start pose itself, not quantised.
    unsigned char* p = out.data + kClFirstRecord;
    putSlotI32(p, kClInitialCode);
    const double initial[9] = {start[0], start[1], start[2], start[0], start[1], start[2],
                               start[3] * 180.0 / std::numbers::pi,
                               start[4] * 180.0 / std::numbers::pi,
                               start[5] * 180.0 / std::numbers::pi};
    std::memcpy(p + 8, initial, sizeof initial);
    putSlotI32(p + 80, kClInitialCode);
    out.used = kClFirstMove;

    LineSource lines(file);
    const char* line;
    std::uint64_t position = 0;
    const double sizeD = size ? double(size) : 1.0;
    unsigned char spare[kMaxRecordBytes];
    std::size_t avail;
    while (lines.peek(line, avail)) {
        if (stopRequested(progress)) return fail(out);

        // The block writes straight into the buffer; only a record that was
        // made advances the used length. Near the 4 GiB limit, where room
        // for the largest record may be missing, it goes through `spare`.
        // The scan itself finds where the line ends (the scanner stops at the
        // newline), so the text is not searched twice.
        bool direct = out.reserve(kMaxRecordBytes);
        unsigned char* to = direct ? out.data + out.used : spare;
        std::uint32_t bytes;
        std::size_t stop;
        if (interpretBlock(line, avail, res, state, to, bytes, true, &stop) != 0) return fail(out);
        position += lines.take(line, avail, stop);
        storeProgress(progress, double(position) / sizeD);
        if (!direct && bytes) {
            if (!out.reserve(bytes)) return fail(out);
            std::memcpy(out.data + out.used, spare, bytes);
        }
        out.used += bytes;
    }
    if (lines.failed()) return fail(out);

    if (out.capacity != out.used) {
        void* exact = std::realloc(out.data, out.used);
        if (!exact) return fail(out);
        out.data = static_cast<unsigned char*>(exact);
    }
    std::uint32_t total = static_cast<std::uint32_t>(out.used);
    std::memcpy(out.data, &total, 4);
    std::memset(out.data + 4, 0, 4);
    storeProgress(progress, 1.0);
    return ClBufferBlock{out.data, total};
}

ClBufferBlock readNcFile(const char* path, const Resolutions& res, const double start[6],
                         double* progress) {
    storeProgress(progress, 0.0);
    if (!path) return ClBufferBlock();
    struct stat st;
    if (::stat(path, &st) != 0 || st.st_size < 1) return ClBufferBlock();
    if (std::uint64_t(st.st_size) >= kNcFileLimit) return ClBufferBlock();
    std::FILE* file = std::fopen(path, "r");
    if (!file) return ClBufferBlock();
    ClBufferBlock block = readNcStream(file, std::uint64_t(st.st_size), res, start, progress);
    std::fclose(file);
    return block;
}

} // namespace DQ
