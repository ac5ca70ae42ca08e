#include "TextScanner.h"

#include <charconv>
#include <cmath>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

}  // namespace

TextScanner::TextScanner(const char* data, std::size_t size, CallBackPos cb) : m_data(data), m_size(size), m_cb(cb) {}

bool TextScanner::NextLine(std::string_view& line)
{
    if (m_pos >= m_size)
        return false;
    const std::size_t start = m_pos;
    std::size_t end = start;
    while (end < m_size && m_data[end] != '\n')
        ++end;
    m_pos = end < m_size ? end + 1 : end;
    // A file written on Windows ends its lines in "\r\n".
    if (end > start && m_data[end - 1] == '\r')
        --end;
    line = std::string_view(m_data + start, end - start);
    return true;
}

bool TextScanner::NextDataLine(std::string_view& line)
{
    while (NextLine(line)) {
        std::size_t i = 0;
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i == line.size() || line[i] == '#')
            continue;
        return true;
    }
    return false;
}

bool TextScanner::NextToken(std::string_view& token)
{
    while (m_pos < m_size && IsBlank(m_data[m_pos]))
        ++m_pos;
    if (m_pos >= m_size)
        return false;
    const std::size_t start = m_pos;
    while (m_pos < m_size && !IsBlank(m_data[m_pos]))
        ++m_pos;
    token = std::string_view(m_data + start, m_pos - start);
    return true;
}

void TextScanner::Progress()
{
    if (m_cb == nullptr || m_size == 0)
        return;
    const int percent = static_cast<int>(static_cast<double>(m_pos) * 100.0 / static_cast<double>(m_size));
    if (percent != m_lastPercent) {
        m_lastPercent = percent;
        m_cb(percent, "Reading");
    }
}

bool FieldSplitter::Next(std::string_view& field)
{
    auto isSep = [](char c) { return IsBlank(c) || c == ',' || c == ';'; };
    std::size_t i = 0;
    while (i < m_rest.size() && isSep(m_rest[i]))
        ++i;
    if (i == m_rest.size()) {
        m_rest = {};
        return false;
    }
    std::size_t j = i;
    while (j < m_rest.size() && !isSep(m_rest[j]))
        ++j;
    field = m_rest.substr(i, j - i);
    m_rest = m_rest.substr(j);
    return true;
}

bool ParseDouble(std::string_view field, double& value)
{
    const char* first = field.data();
    const char* last = first + field.size();
    // from_chars takes no leading '+', which number writers do emit.
    if (first != last && *first == '+')
        ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && first != last && std::isfinite(value);
}

bool ParseUnsigned(std::string_view field, std::uint64_t& value)
{
    const char* first = field.data();
    const char* last = first + field.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && first != last;
}

int ParseNumberLine(std::string_view line, double* out, int max)
{
    FieldSplitter fields(line);
    std::string_view f;
    int count = 0;
    while (fields.Next(f)) {
        double v;
        if (!ParseDouble(f, v))
            return -1;
        if (count < max)
            out[count] = v;
        ++count;
    }
    return count;
}
