#include "ColladaPrecheck.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

struct Tag {
    std::string_view name;
    std::string_view attributes;  // the text between the name and '>'
    std::string_view content;     // up to the next '<'
    bool empty = false;           // <name ... />
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The start tags of the document, in order; comments, declarations and end
// tags are passed over. False when a tag does not close.
bool StartTags(std::string_view text, std::vector<Tag>& tags)
{
    std::size_t i = 0;
    while ((i = text.find('<', i)) != std::string_view::npos) {
        if (text.substr(i, 4) == "<!--") {
            const std::size_t end = text.find("-->", i + 4);
            if (end == std::string_view::npos)
                return false;
            i = end + 3;
            continue;
        }
        const std::size_t close = text.find('>', i);
        if (close == std::string_view::npos)
            return false;
        if (i + 1 < text.size() && (text[i + 1] == '/' || text[i + 1] == '?' || text[i + 1] == '!')) {
            i = close + 1;
            continue;
        }
        std::size_t n = i + 1;
        while (n < close && !IsBlank(text[n]) && text[n] != '/')
            ++n;
        Tag t;
        t.name = text.substr(i + 1, n - i - 1);
        t.empty = text[close - 1] == '/';
        t.attributes = text.substr(n, close - n - (t.empty ? 1 : 0));
        std::size_t next = text.find('<', close + 1);
        if (next == std::string_view::npos)
            next = text.size();
        t.content = t.empty ? std::string_view() : text.substr(close + 1, next - close - 1);
        tags.push_back(t);
        i = close + 1;
    }
    return true;
}

// The value of attribute `name`, quoted with ' or ". False when missing.
bool Attribute(std::string_view attrs, std::string_view name, std::string_view& value)
{
    std::size_t i = 0;
    while ((i = attrs.find(name, i)) != std::string_view::npos) {
        const bool starts = i == 0 || IsBlank(attrs[i - 1]);
        std::size_t j = i + name.size();
        while (j < attrs.size() && IsBlank(attrs[j]))
            ++j;
        if (starts && j < attrs.size() && attrs[j] == '=') {
            ++j;
            while (j < attrs.size() && IsBlank(attrs[j]))
                ++j;
            if (j >= attrs.size() || (attrs[j] != '"' && attrs[j] != '\''))
                return false;
            const std::size_t end = attrs.find(attrs[j], j + 1);
            if (end == std::string_view::npos)
                return false;
            value = attrs.substr(j + 1, end - j - 1);
            return true;
        }
        i += name.size();
    }
    return false;
}

bool Number(std::string_view s, std::uint64_t& v)
{
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && ptr == s.data() + s.size() && !s.empty();
}

// Counts the values of a number list; false on a character no number has.
bool CountValues(std::string_view content, std::uint64_t& count)
{
    count = 0;
    bool inValue = false;
    for (char c : content) {
        if (IsBlank(c)) {
            inValue = false;
            continue;
        }
        const bool numeric = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
        if (!numeric)
            return false;
        if (!inValue)
            ++count;
        inValue = true;
    }
    return true;
}

}  // namespace

bool ColladaLooksSafe(std::string_view text)
{
    std::vector<Tag> tags;
    if (!StartTags(text, tags))
        return false;
    std::map<std::string, std::uint64_t, std::less<>> arrays;
    for (const Tag& t : tags) {
        const bool array = t.name == "float_array" || t.name == "int_array";
        if (!array && t.name != "p" && t.name != "vcount" && t.name != "v" && t.name != "h")
            continue;
        std::uint64_t values = 0;
        if (!CountValues(t.content, values))
            return false;
        if (!array)
            continue;
        std::string_view count, id;
        std::uint64_t declared = 0;
        if (!Attribute(t.attributes, "count", count) || !Number(count, declared) || declared != values)
            return false;
        if (Attribute(t.attributes, "id", id))
            arrays[std::string(id)] = declared;
    }
    for (const Tag& t : tags) {
        if (t.name != "accessor")
            continue;
        std::string_view source, count, stride, offset;
        std::uint64_t n = 0, s = 1, o = 0;
        if (!Attribute(t.attributes, "source", source) || source.empty() || source[0] != '#' ||
            !Attribute(t.attributes, "count", count) || !Number(count, n))
            return false;
        if (Attribute(t.attributes, "stride", stride) && (!Number(stride, s) || s == 0))
            return false;
        if (Attribute(t.attributes, "offset", offset) && !Number(offset, o))
            return false;
        const auto found = arrays.find(source.substr(1));
        if (found == arrays.end())
            return false;
        // offset + count * stride <= the array's count, without overflow.
        const std::uint64_t cap = found->second;
        if (o > cap || (n != 0 && s > (cap - o) / n))
            return false;
    }
    return true;
}

double ColladaUnitMeter(std::string_view text)
{
    std::vector<Tag> tags;
    StartTags(text, tags);
    for (const Tag& t : tags) {
        if (t.name != "unit")
            continue;
        std::string_view meter;
        double value = 0.0;
        if (!Attribute(t.attributes, "meter", meter))
            return 1.0;
        const auto [ptr, ec] = std::from_chars(meter.data(), meter.data() + meter.size(), value);
        const bool ok = ec == std::errc() && ptr == meter.data() + meter.size() && std::isfinite(value) && value > 0.0;
        return ok ? value : 1.0;
    }
    return 1.0;
}
