// Text clean-up used by the settings dialogs and the NC displays.
#include "korvex.h"

#include <cstddef>

DQ_API void dqChangeFloatString(char* text) {
    if (!text) return;
    // Copy without spaces; cut marks the end of the last significant
    // character after (and including) the decimal point.
    std::size_t written = 0, cut = 0;
    std::size_t i = 0;
    for (; text[i]; ++i) {
        char c = text[i];
        if (c == ' ') continue;
        text[written++] = c;
        if (c == '.')
            cut = written;
        else if (c != '0' && cut > 0)
            cut = written;
    }
    std::size_t end = cut > 0 ? cut : written;
    if (end < i) text[end] = 0;
}

DQ_API void dqChangeLinedString(char* text) {
    if (!text) return;
    enum { Start, Word, Blank } state = Start;
    std::size_t written = 0, i = 0;
    for (; text[i]; ++i) {
        char c = text[i];
        bool blank = c == ' ' || c == '\t';
        if (blank) {
            if (state == Word) {
                text[written++] = ' ';
                state = Blank;
            }
            continue;
        }
        text[written++] = c;
        state = Word;
    }
    if (written < i) text[written] = 0;
}
