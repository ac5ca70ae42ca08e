#include "machining/WordScanner.h"

#include <cmath>
#include <limits>

namespace DQ {
namespace {

constexpr std::int64_t kRawMax = std::numeric_limits<std::int64_t>::max();

// ceiling(x - 0.5) as a 32-bit count, saturated; NaN (a zero resolution
// cannot reach here, see NcReader) gives 0.
std::int64_t roundToCount32(double x) {
    double c = std::ceil(x - 0.5);
    if (!(c == c)) return 0;
    if (c >= 2147483647.0) return 2147483647;
    if (c <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(c);
}

inline bool atLineEnd(const char* line, std::size_t length, std::size_t pos) {
    return pos >= length || line[pos] == '\n' || line[pos] == '\0';
}

} // namespace

ScanStatus scanWord(const char* line, std::size_t length, std::size_t& pos,
                    const Resolutions& res, NcWord& word) {
    char address = 0;
    bool minus = false, dot = false, digits = false, full = false;
    std::int64_t raw = 0;
    double scale = 1.0;

    for (;;) {
        if (atLineEnd(line, length, pos)) {
            if (!address) return kScanEndOfLine;
            break;
        }
        char c = line[pos];
        if (c == ' ') {
            ++pos;
        } else if (c == '(') {
            for (++pos;; ++pos) {
                if (atLineEnd(line, length, pos)) return kScanOpenComment;
                if (line[pos] == ')') break;
            }
            ++pos;
        } else if (c == '-') {
            if (!address || minus || digits || dot) return kScanMisplacedMinus;
            minus = true;
            ++pos;
        } else if (c == '.') {
            if (!address || dot) return kScanMisplacedDot;
            dot = true;
            ++pos;
        } else if (c >= '0' && c <= '9') {
            if (!address) return kScanDigitFirst;
            int d = c - '0';
            digits = true;
            if (!full && raw <= (kRawMax - d) / 10) {
                raw = raw * 10 + d;
                if (dot) scale *= 0.1;
            } else if (!dot) {
                raw = kRawMax; // integer part beyond 64 bits
                full = true;
            } else {
                full = true; // further fraction digits are below the precision held
            }
            ++pos;
        } else {
            if (address) break; // the next word's address, left for the next call
            address = c;
            ++pos;
        }
    }

    std::int64_t counts = raw;
    if (dot) {
        bool angular = address == 'A' || address == 'B' || address == 'C';
        counts = roundToCount32(double(raw) * scale / (angular ? res.angular : res.linear));
    }
    if (minus) {
        raw = -raw;
        counts = -counts; // never INT64_MIN: both saturate one short of it
    }
    word.address = address;
    word.raw = raw;
    word.counts = counts;
    return kScanWord;
}

} // namespace DQ
