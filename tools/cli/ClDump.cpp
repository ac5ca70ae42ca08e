#include "ClDump.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Coordinates of a group digit in value order; digit 6 puts the third
// coordinate first.
const char* const kGroupOrder[8] = {"", "0", "1", "2", "01", "12", "20", "012"};

const char* motionWord(int digit) {
    static const char* const kWords[4] = {"rapid", "linear", "cw-arc", "ccw-arc"};
    return digit >= 0 && digit < 4 ? kWords[digit] : "motion?";
}

const char* planeWord(int digit) {
    static const char* const kWords[3] = {"XY", "YZ", "ZX"};
    return digit >= 0 && digit < 3 ? kWords[digit] : "plane?";
}

void appendf(std::string& out, const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    out += text;
}

} // namespace

std::string formatClDump(const void* data) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t total;
    std::memcpy(&total, bytes, 4);

    std::string out;
    double pos[3] = {};
    double lo[3] = {}, hi[3] = {};
    unsigned records = 0;
    std::uint32_t offset = 8;
    while (offset + 16 <= total) {
        std::int32_t code;
        std::memcpy(&code, bytes + offset, 4);
        int digit[3] = {code / 10000 % 10, code / 1000 % 10, code / 100 % 10}; // XYZ IJK ABC
        static const char kLetters[3][4] = {"XYZ", "IJK", "ABC"};

        char head[64];
        std::snprintf(head, sizeof head, "%u %05d %s %s", offset, code, motionWord(code % 10),
                      planeWord(code / 10 % 10));
        std::string line = head;
        std::uint32_t at = offset + 8;
        bool fits = true;
        for (int g = 0; g < 3 && fits; ++g) {
            int d = digit[g] >= 0 && digit[g] <= 7 ? digit[g] : 0;
            for (const char* c = kGroupOrder[d]; *c; ++c) {
                if (at + 16 > total) {
                    fits = false;
                    break;
                }
                double v;
                std::memcpy(&v, bytes + at, 8);
                at += 8;
                int axis = *c - '0';
                line += ' ';
                line += kLetters[g][axis];
                appendf(line, "=%.10g", v);
                if (g == 0) pos[axis] = v;
            }
        }
        if (!fits) break;
        out += line;
        out += '\n';
        for (int i = 0; i < 3; ++i) {
            lo[i] = records ? std::min(lo[i], pos[i]) : pos[i];
            hi[i] = records ? std::max(hi[i], pos[i]) : pos[i];
        }
        ++records;
        offset = at + 8;
    }

    char summary[64];
    std::snprintf(summary, sizeof summary, "records %u, bytes %u, box", records, total);
    out += summary;
    for (int i = 0; i < 3; ++i) {
        out += ' ';
        out += "XYZ"[i];
        appendf(out, " %.10g", lo[i]);
        appendf(out, "..%.10g", hi[i]);
    }
    out += '\n';
    return out;
}
