// The matcher walks name and pattern one character at a time, characters as
// the C library's multi-byte functions measure them in the current LC_CTYPE
// locale. That matters for encodings such as Shift-JIS, whose second bytes
// can equal "\" or a letter: taking the name byte by byte would cut a
// Japanese file name at a false directory separator or fold the case of
// half a character.
//
// The state mirrors the rules of the type table's patterns:
//   - alternatives are separated by ";" and tried in order, each from the
//     start of the name;
//   - "*" matches any run of characters, with the usual backtracking: on a
//     mismatch the name resumes one character after where the wildcard
//     started matching. A later "*" in the same alternative starts a new
//     wildcard (so "O*.*" means any name beginning with O); the earlier one
//     never needs to be revisited then;
//   - only a match that passed a "." of the pattern counts ("dot" below), so
//     patterns without a dot never match, and at the end of the name a "."
//     of the pattern is passed over, which lets "abc.*" accept "abc";
//   - when an alternative cannot match, leading directory parts of the name
//     (up to a "/" or "\") are dropped one at a time and the alternative is
//     tried again on the rest.
#include "FileTypeMatch.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace FE {

namespace {

// Byte length of the character at s. The terminator and any byte that does
// not start a valid character count as one byte, so the walk never stops
// on bad input and never steps past the terminator (a valid multi-byte
// character contains no zero byte). mbrlen with a local state keeps the
// matcher safe to run on the loader thread beside the GUI thread.
int charLength(const char* s) {
    if (*s == '\0') return 1;
    std::mbstate_t state{};
    std::size_t n = std::mbrlen(s, MB_CUR_MAX, &state);
    if (n == 0 || n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) return 1;
    return static_cast<int>(n);
}

// The first "/" or "\" at or after s that is a character of its own, or
// null.
const char* findSeparator(const char* s) {
    while (*s) {
        int len = charLength(s);
        if (len == 1 && (*s == '/' || *s == '\\')) return s;
        s += len;
    }
    return nullptr;
}

int upper(char c) { return std::toupper(static_cast<unsigned char>(c)); }

} // namespace

bool matchFileName(const char* name, const char* patterns) {
    if (!name || !patterns) return false;

    const char* const nameStart = name;
    const char* n = name;              // name position
    const char* p = patterns;          // pattern position
    const char* alternative = patterns; // start of the current alternative
    const char* wildcard = nullptr;    // pattern position after a "*", or none
    const char* resume = nullptr;      // name position the wildcard matched from
    bool dot = false;                  // a "." of the pattern was passed

    auto nextAlternative = [&]() -> bool {
        const char* semicolon = std::strchr(p, ';');
        if (!semicolon) return false;
        alternative = p = semicolon + 1;
        n = nameStart;
        wildcard = nullptr;
        dot = false;
        return true;
    };

    for (;;) {
        if (*p == '*') {
            while (*p == '*') ++p;
            wildcard = p;
            resume = n;
        }

        const int ln = charLength(n);
        const int lp = charLength(p);
        if (ln == 1 && lp == 1) {
            if (upper(*n) == upper(*p)) {
                if (*p == '\0') return dot; // both at their end
                if (*p == '.') dot = true;
                ++n;
                ++p;
                continue;
            }
            if (*n == '\0') {
                if (*p == ';') {
                    if (dot) return true;
                    if (!nextAlternative()) return false;
                    continue;
                }
                if (*p == '.') {
                    dot = true;
                    ++p;
                    continue;
                }
            }
        } else if (ln == lp && std::memcmp(n, p, static_cast<std::size_t>(ln)) == 0) {
            n += ln;
            p += lp;
            continue;
        }

        // Mismatch.
        if (wildcard && p == wildcard && *n != '\0') {
            n += ln; // the wildcard takes one more character
            resume = n;
            continue;
        }
        if (wildcard && *n != '\0') {
            resume += charLength(resume);
            n = resume;
            p = wildcard;
            continue;
        }
        wildcard = nullptr;
        if (const char* separator = findSeparator(n)) {
            n = separator + 1;
            p = alternative;
            dot = false;
            continue;
        }
        if (!nextAlternative()) return false;
    }
}

} // namespace FE
