#pragma once
// Line and token scanning over a text file held in memory, with number
// parsing that ignores the process locale (the application object sets the
// user's locale, whose decimal comma must not change how files read).

#include "IoMask.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

class TextScanner {
public:
    TextScanner(const char* data, std::size_t size, CallBackPos cb);

    // The next line without its line end ("\n", "\r\n" or a lone "\r" at
    // the end). False at the end of the text.
    bool NextLine(std::string_view& line);

    // The next line that is neither blank nor a comment (first non-blank
    // character '#').
    bool NextDataLine(std::string_view& line);

    // The next token separated by blanks or line ends, across lines.
    bool NextToken(std::string_view& token);

    // Bytes consumed so far.
    std::size_t Offset() const { return m_pos; }

    // Reports the share of the text consumed so far to the callback, once
    // per percent.
    void Progress();

private:
    const char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    CallBackPos m_cb;
    int m_lastPercent = -1;
};

// The fields of a line, separated by blanks, tabs, commas or semicolons.
class FieldSplitter {
public:
    explicit FieldSplitter(std::string_view line) : m_rest(line) {}
    bool Next(std::string_view& field);

private:
    std::string_view m_rest;
};

// A whole field as a finite number.
bool ParseDouble(std::string_view field, double& value);

// A whole field as an unsigned decimal integer.
bool ParseUnsigned(std::string_view field, std::uint64_t& value);

// Parses the line's fields as numbers into `out` (at most `max`). Returns
// the count of fields, or -1 when a field is not a finite number.
int ParseNumberLine(std::string_view line, double* out, int max);
