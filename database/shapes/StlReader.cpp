#include "shapes/StlReader.h"

#include "korvex.h"
#include "machining/ProgressCell.h"
#include "shapes/TriangleBuffer.h"
#include "store/HugePages.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace DQ {
namespace {

constexpr double kBoundStart = 1.0e9;

void startBounds(TriangleBufferHeader& h) {
    for (int k = 0; k < 3; ++k) {
        h.minimum[k] = kBoundStart;
        h.maximum[k] = -kBoundStart;
    }
}

// std::min/max compile to branch-free instructions; the coordinates of a
// mesh come in no order a branch predictor could follow.
void widen(TriangleBufferHeader& h, const double* v) {
    for (int k = 0; k < 3; ++k) {
        h.minimum[k] = std::min(v[k], h.minimum[k]);
        h.maximum[k] = std::max(v[k], h.maximum[k]);
    }
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool startsWith(const char* line, const char* prefix, std::size_t n) {
    return std::strncmp(line, prefix, n) == 0;
}

// "%lf %lf %lf": three numbers, white space allowed before each.
bool scanThree(const char* text, double* out) {
    const char* end = text + std::strlen(text);
    for (int k = 0; k < 3; ++k)
        if (!scanDouble(text, end, out[k])) return false;
    return true;
}

// Lines of at most 1023 characters, as the C library's fgets gives them,
// with the count of bytes consumed kept for the progress (the file position
// without asking the stream).
struct LineReader {
    std::FILE* file;
    char line[1024];
    double consumed = 0;
    bool next() {
        if (!std::fgets(line, sizeof line, file)) return false;
        consumed += static_cast<double>(std::strlen(line));
        dqChangeLinedString(line);
        return true;
    }
};

// The growing ASCII buffer: doubled on demand so that files of short lines
// do not copy the used part again and again; trimmed once at the end.
struct GrowingBuffer {
    unsigned char* data = nullptr;
    std::size_t capacity = 0; // bytes
    bool reserve(std::size_t bytes) {
        if (bytes <= capacity) return true;
        std::size_t grown = capacity * 2 > bytes ? capacity * 2 : bytes;
        void* p = std::realloc(data, grown);
        if (!p) return false;
        data = static_cast<unsigned char*>(p);
        preferHugePages(data, grown);
        capacity = grown;
        return true;
    }
};

} // namespace

bool scanDouble(const char*& p, const char* end, double& value) {
    const char* s = p;
    while (s < end && isSpace(*s)) ++s;
    const char* digits = s + (s < end && (*s == '+' || *s == '-'));
    bool hex = digits + 1 < end && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (!hex && s < end && *s != '+') {
        // The common case: a plain decimal number, which from_chars reads
        // exactly as strtod does, without looking at the locale.
        auto [next, ec] = std::from_chars(s, end, value, std::chars_format::general);
        if (ec == std::errc::invalid_argument) return false;
        char after = next < end ? *next : 0;
        bool plain = ec == std::errc() && !(after == 'e' || after == 'E' || after == '.' ||
                                             after == '+' || after == '-');
        if (plain) {
            p = next;
            return true;
        }
    }
    // Everything else (a '+' sign, hexadecimal, out of range, or a dangling
    // exponent that "%lf" swallows) goes to the C library itself, in the C
    // locale so that the decimal point is always '.'.
    static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    locale_t previous = uselocale(c);
    int used = 0;
    bool ok = std::sscanf(p, "%lf%n", &value, &used) == 1;
    uselocale(previous);
    if (!ok) return false;
    p += used;
    return true;
}

bool readAsciiStl(const char* path, double fileSize, double* progress, StlBuffer& out) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return false;
    LineReader in{f, {}};
    GrowingBuffer buffer;
    auto fail = [&] {
        std::free(buffer.data);
        std::fclose(f);
        return false;
    };
    if (!in.next() || !startsWith(in.line, "solid", 5)) return fail();
    // The name is what follows "solid" and one blank, line end included,
    // cut to 79 bytes.
    std::size_t len = std::strlen(in.line);
    std::size_t nameLength = len > 6 ? std::min(len - 6, sizeof out.name - 1) : 0;
    std::memcpy(out.name, in.line + 6, nameLength);
    out.name[nameLength] = 0;

    // Start at one 8-byte unit per 10 bytes of file, at least 1024 units.
    std::size_t units = static_cast<std::size_t>(fileSize / 10);
    if (!buffer.reserve(8 * (units > 1024 ? units : 1024))) return fail();
    TriangleBufferHeader header{};
    startBounds(header);
    std::size_t n = 0;
    while (in.next()) {
        if (stopRequested(progress)) return fail();
        storeProgress(progress, in.consumed / fileSize);
        if (startsWith(in.line, "endsolid", 8)) break;
        if (!buffer.reserve(triangleBufferBytes(static_cast<std::uint32_t>(n + 1)))) return fail();
        TriangleRecord t;
        if (!startsWith(in.line, "facet normal ", 13) || !scanThree(in.line + 13, t.normal))
            return fail();
        if (!in.next() || !startsWith(in.line, "outer loop", 10)) return fail();
        for (auto& v : t.vertex) {
            if (!in.next() || !startsWith(in.line, "vertex ", 7) || !scanThree(in.line + 7, v))
                return fail();
            widen(header, v);
        }
        if (!in.next() || !startsWith(in.line, "endloop", 7)) return fail();
        if (!in.next() || !startsWith(in.line, "endfacet", 8)) return fail();
        if (n >= 0xFFFFFFFFu) return fail();
        std::memcpy(buffer.data + triangleBufferBytes(static_cast<std::uint32_t>(n)), &t, sizeof t);
        ++n;
    }
    std::fclose(f);
    if (n == 0) {
        std::free(buffer.data);
        return false;
    }
    header.count = static_cast<std::uint32_t>(n);
    std::memcpy(buffer.data, &header, sizeof header);
    out.bytes = triangleBufferBytes(header.count);
    void* exact = std::realloc(buffer.data, out.bytes);
    out.data = exact ? exact : buffer.data;
    storeProgress(progress, 1.0);
    return true;
}

bool readBinaryStl(const char* path, double fileSize, double* progress, StlBuffer& out) {
    storeProgress(progress, 0.0);
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    unsigned char head[84];
    std::uint32_t n = 0;
    if (std::fread(head, 1, 84, f) != 84 || (std::memcpy(&n, head + 80, 4), n == 0) ||
        84.0 + 50.0 * n > fileSize) {
        // A count the file cannot hold fails before anything is allocated.
        std::fclose(f);
        return false;
    }
    std::size_t bytes = triangleBufferBytes(n);
    if (bytes > 0xFFFFFFFFu) {
        std::fclose(f);
        return false;
    }
    auto* buffer = static_cast<unsigned char*>(std::malloc(bytes));
    if (!buffer) {
        std::fclose(f);
        return false;
    }
    preferHugePages(buffer, bytes);
    TriangleBufferHeader header{};
    startBounds(header);
    header.count = n;
    auto* triangles = reinterpret_cast<TriangleRecord*>(buffer + sizeof header);

    // Records are read in batches; the progress still moves record by record.
    constexpr std::uint32_t kBatch = 4096;
    static thread_local unsigned char chunk[kBatch * 50];
    double consumed = 84;
    const double perByte = 1.0 / fileSize;
    for (std::uint32_t done = 0; done < n;) {
        std::uint32_t want = n - done < kBatch ? n - done : kBatch;
        std::size_t got = std::fread(chunk, 50, want, f);
        for (std::size_t r = 0; r < got; ++r, ++done) {
            consumed += 50;
            if (stopRequested(progress)) {
                std::free(buffer);
                std::fclose(f);
                return false;
            }
            storeProgress(progress, consumed * perByte);
            float values[12];
            std::memcpy(values, chunk + 50 * r, sizeof values);
            TriangleRecord& t = triangles[done];
            for (int k = 0; k < 3; ++k) t.normal[k] = values[k];
            for (int v = 0; v < 3; ++v) {
                for (int k = 0; k < 3; ++k) t.vertex[v][k] = values[3 + 3 * v + k];
                widen(header, t.vertex[v]);
            }
        }
        if (got < want) {
            std::free(buffer);
            std::fclose(f);
            return false;
        }
    }
    std::fclose(f);
    std::memcpy(buffer, &header, sizeof header);
    std::memcpy(out.name, head, 79);
    out.name[79] = 0;
    out.data = buffer;
    out.bytes = bytes;
    storeProgress(progress, 1.0);
    return true;
}

bool readStl(const char* path, double* progress, StlBuffer& out) {
    storeProgress(progress, 0.0);
    struct stat st;
    if (!path || stat(path, &st) != 0 || st.st_size < 1) return false;
    double size = static_cast<double>(st.st_size);
    return readAsciiStl(path, size, progress, out) || readBinaryStl(path, size, progress, out);
}

} // namespace DQ
