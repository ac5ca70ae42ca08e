// The NC word scanner: splits one line of an NC program into words, an
// address character and the number behind it, without allocating.
#pragma once

#include <cstddef>
#include <cstdint>

namespace DQ {

enum ScanStatus : int {
    kScanWord = 0,
    kScanEndOfLine = -1,
    kScanDigitFirst = 1,     // a digit before any address character
    kScanMisplacedDot = 2,   // a second '.', or '.' before the address
    kScanMisplacedMinus = 3, // '-' after a digit or '.', twice, or first
    kScanOpenComment = 5,    // '(' not closed on its line
};

struct NcWord {
    char address = 0;
    std::int64_t raw = 0;    // the digits as an integer, decimal point ignored
    std::int64_t counts = 0; // the value in counts of the axis resolution
};

// Resolutions in program units per count: linear for every address but A,
// B and C, angular (degrees) for those.
struct Resolutions {
    double linear;
    double angular;
    // Kept beside them so the scanner can multiply where it would divide.
    double inverseLinear;
    double inverseAngular;

    Resolutions(double linearRes = 0.0001, double angularRes = 0.0001)
        : linear(linearRes), angular(angularRes), inverseLinear(1.0 / linearRes),
          inverseAngular(1.0 / angularRes) {}
};

// Scans the next word of line[0..length) starting at pos and advances pos.
// A newline or a zero byte also ends the line. Blanks are skipped anywhere
// and comments are skipped even inside a number, as the controls do.
//
// Out-of-range numbers get defined values instead of wrapping: the raw value
// saturates at +/-INT64_MAX (fraction digits that no longer fit are dropped,
// so a long run of trailing zeros does not change the value), and counts of
// a number with a decimal point saturate at the 32-bit range.
ScanStatus scanWord(const char* line, std::size_t length, std::size_t& pos,
                    const Resolutions& res, NcWord& word);

} // namespace DQ
