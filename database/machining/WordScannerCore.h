// The word scanner's inner loop, inline so that the block interpreter can
// run it without a call per word; scanWord (WordScanner.h) is the same
// function behind an ordinary interface. One pass over the characters, each
// classified by table, with no allocation.
#pragma once

#include "machining/WordScanner.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace DQ::scan {

enum CharClass : unsigned char { kOther, kBlank, kOpen, kMinus, kDot, kDigit, kEnd };

inline constexpr std::array<unsigned char, 256> kClass = [] {
    std::array<unsigned char, 256> t{};
    t[' '] = kBlank;
    t['('] = kOpen;
    t['-'] = kMinus;
    t['.'] = kDot;
    for (int c = '0'; c <= '9'; ++c) t[c] = kDigit;
    t['\n'] = kEnd;
    t['\0'] = kEnd;
    return t;
}();

// tenth[k] is 1.0 multiplied k times by 0.1, exactly as a running product
// would give it (the table only saves the multiplications). It reaches 0 long
// before its end, so indices past it are clamped without changing a value.
struct TenthPowers {
    static constexpr int kSize = 400;
    double v[kSize];
    TenthPowers() {
        double s = 1.0;
        for (int k = 0; k < kSize; ++k, s *= 0.1) v[k] = s;
    }
};
inline const TenthPowers kTenth;

constexpr std::uint64_t kRawMax = 0x7FFFFFFFFFFFFFFFull;
// Below this, ten times the value plus a digit cannot exceed kRawMax.
constexpr std::uint64_t kRawSafe = (kRawMax - 9) / 10;

// ceiling(x - 0.5) as a 32-bit count, saturated at the ends of the range; a
// NaN gives 0. The ceiling is taken by truncation, exact inside the range.
inline std::int64_t countOf(double value) {
    double x = value - 0.5;
    if (!(x == x)) return 0;
    if (x >= 2147483647.0) return 2147483647;
    if (x <= -2147483648.0) return -2147483647 - 1;
    std::int64_t t = static_cast<std::int64_t>(x);
    return double(t) < x ? t + 1 : t;
}

// countOf(value / resolution), the quotient being the one the division
// rounds to. A multiplication by the reciprocal lands within a few units in
// the last place of it, which changes the count only when value / resolution
// - 0.5 lies that close to an integer (a number at exactly half a count) or
// out of range; only then is the division made.
inline std::int64_t countOfQuotient(double value, double resolution, double inverse) {
    // value is a magnitude (the sign is applied afterwards), so x >= -0.5.
    double x = value * inverse - 0.5;
    if (x >= 0.0 && x < 2147483000.0) {
        std::int64_t t = static_cast<std::int64_t>(x); // floor, as x >= 0
        double gap = x - double(t);
        double margin = 1e-15 * (1.0 + x);
        if (gap > margin && gap < 1.0 - margin) return t + 1;
    } else if (value == 0.0) {
        return 0; // ceiling(-0.5), whatever the resolution
    }
    return countOf(value / resolution);
}

// Skips a comment opened at line[i] == '('; false when the line ends first.
inline bool skipComment(const unsigned char* s, std::size_t length, std::size_t& i) {
    for (++i; i < length; ++i) {
        unsigned char c = s[i];
        if (c == ')') {
            ++i;
            return true;
        }
        if (kClass[c] == kEnd) return false;
    }
    return false;
}

// Reading digits eight at a time (SWAR: the bytes of one 64-bit word),
// which needs no branch per digit. Only for lines that lie in a buffer with
// at least kPadding readable bytes after their end; the bytes past the end
// are read but never used.
constexpr std::size_t kPadding = 32;

inline std::uint64_t load64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// How many of the (up to 8) bytes of v are digits before the first other.
inline unsigned leadingDigits(std::uint64_t v) {
    std::uint64_t x = v ^ 0x3030303030303030ull; // digits become 0..9
    std::uint64_t other = (((x & 0x7F7F7F7F7F7F7F7Full) + 0x7676767676767676ull) | x) &
                          0x8080808080808080ull; // high bit: byte is not 0..9
    return other ? unsigned(__builtin_ctzll(other)) / 8 : 8;
}

// The value of the first n (0..8) digit bytes of v.
inline std::uint64_t digitsValue(std::uint64_t v, unsigned n) {
    if (n == 0) return 0;
    // Digits moved to the top bytes; the zero bytes below are leading zeros.
    std::uint64_t x = (v - 0x3030303030303030ull) << (8 * (8 - n));
    x = (x * 10) + (x >> 8);
    x = (((x & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
         (((x >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
        32;
    return x;
}

inline constexpr std::uint64_t kPow10[9] = {1,      10,      100,      1000,     10000,
                                            100000, 1000000, 10000000, 100000000};

// The value of a word from its parts.
inline ScanStatus finishWord(unsigned char address, bool minus, bool dot, std::uint64_t raw,
                             int fraction, const Resolutions& res, NcWord& word) {
    std::int64_t r = static_cast<std::int64_t>(raw);
    std::int64_t counts = r;
    if (dot) {
        bool angular = address == 'A' || address == 'B' || address == 'C';
        double scale = kTenth.v[fraction < TenthPowers::kSize ? fraction : TenthPowers::kSize - 1];
        counts = countOfQuotient(double(r) * scale, angular ? res.angular : res.linear,
                                 angular ? res.inverseAngular : res.inverseLinear);
    }
    if (minus) {
        r = -r; // never INT64_MIN: both values saturate one short of it
        counts = -counts;
    }
    word.address = static_cast<char>(address);
    word.raw = r;
    word.counts = counts;
    return kScanWord;
}

// With kFast false only the general loop runs: the reference that the fast
// path is checked against in the tests and the fuzz target.
template <bool kFast = true, bool kPadded = false>
[[gnu::always_inline]] inline ScanStatus scanWord(const char* line, std::size_t length, std::size_t& pos,
                           const Resolutions& res, NcWord& word) {
    const auto* s = reinterpret_cast<const unsigned char*>(line);
    std::size_t i = pos;
    unsigned char address;
    for (;;) {
        if (i >= length) {
            pos = i;
            return kScanEndOfLine;
        }
        switch (kClass[s[i]]) {
        case kBlank: ++i; continue;
        case kOpen:
            if (!skipComment(s, length, i)) {
                pos = i;
                return kScanOpenComment;
            }
            continue;
        case kEnd: pos = i; return kScanEndOfLine;
        case kMinus: pos = i; return kScanMisplacedMinus;
        case kDot: pos = i; return kScanMisplacedDot;
        case kDigit: pos = i; return kScanDigitFirst;
        default: address = s[i++]; break;
        }
        break;
    }

    bool minus = false, dot = false, digits = false, full = false;
    std::uint64_t raw = 0;
    int fraction = 0;

    // Nearly every word is [-]digits[.digits] followed by blanks and the next
    // address: read that shape with tight loops and no per-character class
    // dispatch. Anything else (a comment, a blank inside the number, more
    // than 18 digits, a misplaced sign) is left to the general loop below,
    // which starts over from the address and is the reference behaviour.
    if constexpr (kFast && kPadded) {
        std::size_t j = i;
        bool m = j < length && s[j] == '-';
        j += m;
        std::size_t room = length > j ? length - j : 0; // digits past the line are not ours
        unsigned n1 = leadingDigits(load64(s + j));
        n1 = n1 < room ? n1 : unsigned(room);
        std::uint64_t r = digitsValue(load64(s + j), n1);
        j += n1;
        bool d = j < length && s[j] == '.';
        j += d;
        room = length > j ? length - j : 0;
        unsigned n2 = d ? leadingDigits(load64(s + j)) : 0;
        n2 = n2 < room ? n2 : unsigned(room);
        r = r * kPow10[n2] + digitsValue(load64(s + j), n2);
        j += n2;
        j += j < length && s[j] == ' ';
        if (n1 < 8 && n2 < 8 && (j >= length || kClass[s[j]] == kOther || kClass[s[j]] == kEnd)) {
            pos = j;
            return finishWord(address, m, d, r, int(n2), res, word);
        }
    } else if constexpr (kFast) {
        std::size_t j = i;
        bool m = j < length && s[j] == '-';
        j += m;
        std::size_t first = j;
        std::uint64_t r = 0;
        while (j < length && unsigned(s[j] - '0') <= 9) r = r * 10 + unsigned(s[j++] - '0');
        std::size_t n = j - first;
        bool d = j < length && s[j] == '.';
        int f = 0;
        if (d) {
            std::size_t fs = ++j;
            while (j < length && unsigned(s[j] - '0') <= 9) r = r * 10 + unsigned(s[j++] - '0');
            f = int(j - fs);
            n += std::size_t(f);
        }
        while (j < length && s[j] == ' ') ++j;
        if (n <= 18 && (j >= length || kClass[s[j]] == kOther || kClass[s[j]] == kEnd)) {
            pos = j;
            return finishWord(address, m, d, r, f, res, word);
        }
    }

    while (i < length) {
        unsigned char c = s[i];
        unsigned cls = kClass[c];
        if (cls == kDigit) {
            unsigned d = c - '0';
            digits = true;
            if (raw <= kRawSafe) {
                raw = raw * 10 + d;
                fraction += dot;
            } else if (!full && raw <= (kRawMax - d) / 10) {
                raw = raw * 10 + d;
                fraction += dot;
            } else {
                // Past 64 bits: the integer part pins at the maximum; fraction
                // digits below the precision held are dropped.
                if (!dot) raw = kRawMax;
                full = true;
            }
            ++i;
        } else if (cls == kBlank) {
            ++i;
        } else if (cls == kOpen) {
            if (!skipComment(s, length, i)) {
                pos = i;
                return kScanOpenComment;
            }
        } else if (cls == kMinus) {
            if (minus || digits || dot) {
                pos = i;
                return kScanMisplacedMinus;
            }
            minus = true;
            ++i;
        } else if (cls == kDot) {
            if (dot) {
                pos = i;
                return kScanMisplacedDot;
            }
            dot = true;
            ++i;
        } else {
            break; // end of line, or the next word's address left for the next call
        }
    }
    pos = i;
    return finishWord(address, minus, dot, raw, fraction, res, word);
}

} // namespace DQ::scan
