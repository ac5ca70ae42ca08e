#include "machining/NcBlock.h"

#include "machining/WordScannerCore.h"

#include <array>
#include <cstring>
#include <limits>

namespace DQ {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// Incremental words and arc centres add counts; a program that sums past
// the 64-bit range pins at the end of it rather than wrapping.
std::int64_t addSaturated(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r)) return b > 0 ? kMax : kMin;
    return r;
}

// The target of an address in the word array of a block: X Y Z A B C I J K
// 0..8, G 9, and 10 for every word without effect on the path (R, F, S, T,
// M, N, O, '%', '/', lower case...).
constexpr unsigned kG = 9;
inline constexpr std::array<unsigned char, 256> kSlot = [] {
    std::array<unsigned char, 256> t{};
    for (auto& v : t) v = 10;
    const char* order = "XYZABCIJKG";
    for (int i = 0; order[i]; ++i) t[static_cast<unsigned char>(order[i])] = static_cast<unsigned char>(i);
    return t;
}();

void applyG(std::int64_t raw, NcState& s) {
    // Compared as raw integers: G01 is G1, and G1.0 (raw 10) is no motion word.
    switch (raw) {
    case 0: s.motion = 0; break;
    case 1: s.motion = 1; break;
    case 2: s.motion = 2; break;
    case 3: s.motion = 3; break;
    case 17: s.plane = 0; break;
    case 18: s.plane = 2; break;
    case 19: s.plane = 1; break;
    case 90: s.incremental = false; break;
    case 91: s.incremental = true; break;
    default: break; // units, compensation, cycles... are not modelled
    }
}

// Values of a group in the order of its digit (digit 6: third, then first).
unsigned char* putGroup(unsigned char* out, int digit, const double* values) {
    static constexpr signed char kOrder[8][4] = {
        {-1}, {0, -1}, {1, -1}, {2, -1}, {0, 1, -1}, {1, 2, -1}, {2, 0, -1}, {0, 1, 2, -1},
    };
    for (const signed char* o = kOrder[digit]; *o >= 0; ++o, out += 8) std::memcpy(out, &values[*o], 8);
    return out;
}

} // namespace

template <bool kPadded>
int interpret(const char* line, std::size_t length, const Resolutions& res, NcState& state,
              unsigned char* out, std::uint32_t& bytes, std::size_t& pos) {
    bytes = 0;
    unsigned flags = 0; // bit n: the word of slot n appeared
    // One array for the words' targets so that applying a word takes no
    // branch on its address: 0..5 the axes, 6..8 the arc centre (relative to
    // the block's start point in either mode), 9 G, 10 every ignored word.
    std::int64_t v[11] = {state.axis[0], state.axis[1], state.axis[2], state.axis[3],
                          state.axis[4], state.axis[5], state.axis[0], state.axis[1],
                          state.axis[2]};

    pos = 0;
    NcWord word;
    for (;;) {
        ScanStatus st = scan::scanWord<true, kPadded>(line, length, pos, res, word);
        if (st == kScanEndOfLine) break;
        if (st != kScanWord) return st;
        unsigned slot = kSlot[static_cast<unsigned char>(word.address)];
        bool absolute = slot < 6 && !state.incremental;
        std::int64_t sum = addSaturated(v[slot], word.counts);
        v[slot] = absolute ? word.counts : sum;
        flags |= (1u << slot) & 0x1FFu;
        if (slot == kG) applyG(word.raw, state);
    }
    for (int i = 0; i < 6; ++i) state.axis[i] = v[i];
    const std::int64_t* centre = v + 6;

    if (!flags) return 0;

    // A record carries the absolute position reached, also in incremental
    // mode, and every coordinate whose word appeared.
    double xyz[3], ijk[3], abc[3];
    for (int i = 0; i < 3; ++i) {
        xyz[i] = double(state.axis[i]) * res.linear;
        abc[i] = double(state.axis[3 + i]) * res.angular;
        ijk[i] = double(centre[i]) * res.linear;
    }
    int dXyz = groupDigitOfMask(flags);
    int dAbc = groupDigitOfMask(flags >> 3);
    int dIjk = groupDigitOfMask(flags >> 6);
    std::int32_t code = joinMoveCode(dXyz, dIjk, dAbc, state.plane, state.motion);

    unsigned char* p = out;
    std::memset(p, 0, 8);
    std::memcpy(p, &code, 4);
    p += 8;
    p = putGroup(p, dXyz, xyz);
    p = putGroup(p, dIjk, ijk);
    p = putGroup(p, dAbc, abc);
    std::memset(p, 0, 8);
    std::memcpy(p, &code, 4);
    p += 8;
    bytes = static_cast<std::uint32_t>(p - out);
    return 0;
}

int interpretBlock(const char* line, std::size_t length, const Resolutions& res, NcState& state,
                   unsigned char* out, std::uint32_t& bytes, bool padded, std::size_t* end) {
    std::size_t pos;
    int st = padded ? interpret<true>(line, length, res, state, out, bytes, pos)
                    : interpret<false>(line, length, res, state, out, bytes, pos);
    if (end) *end = pos;
    return st;
}

} // namespace DQ
