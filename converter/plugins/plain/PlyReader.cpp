#include "PlyReader.h"

#include "TextScanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

enum class Encoding { Ascii, BinaryLE, BinaryBE };

enum class ScalarType { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

struct Property {
    std::string name;
    ScalarType type = ScalarType::Float32;
    bool isList = false;
    ScalarType countType = ScalarType::UInt8;
};

struct Element {
    std::string name;
    std::uint64_t count = 0;
    std::vector<Property> props;
};

bool ParseType(std::string_view word, ScalarType& t)
{
    struct Name {
        const char* a;
        const char* b;
        ScalarType t;
    };
    static const Name names[] = {
        {"char", "int8", ScalarType::Int8},       {"uchar", "uint8", ScalarType::UInt8},
        {"short", "int16", ScalarType::Int16},    {"ushort", "uint16", ScalarType::UInt16},
        {"int", "int32", ScalarType::Int32},      {"uint", "uint32", ScalarType::UInt32},
        {"float", "float32", ScalarType::Float32}, {"double", "float64", ScalarType::Float64},
    };
    for (const Name& n : names)
        if (word == n.a || word == n.b) {
            t = n.t;
            return true;
        }
    return false;
}

std::size_t TypeSize(ScalarType t)
{
    switch (t) {
    case ScalarType::Int8:
    case ScalarType::UInt8: return 1;
    case ScalarType::Int16:
    case ScalarType::UInt16: return 2;
    case ScalarType::Int32:
    case ScalarType::UInt32:
    case ScalarType::Float32: return 4;
    case ScalarType::Float64: return 8;
    }
    return 1;
}

bool IsIntegral(ScalarType t)
{
    return t != ScalarType::Float32 && t != ScalarType::Float64;
}

// Splits a header line into blank-separated words.
std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t')
            ++j;
        if (j > i)
            out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

bool ParseHeader(TextScanner& scan, Encoding& enc, std::vector<Element>& elements)
{
    std::string_view line;
    if (!scan.NextLine(line) || line != "ply")
        return false;
    bool haveFormat = false;
    while (scan.NextLine(line)) {
        const std::vector<std::string_view> w = Words(line);
        if (w.empty())
            continue;
        if (w[0] == "comment" || w[0] == "obj_info")
            continue;
        if (w[0] == "end_header")
            return haveFormat;
        if (w[0] == "format") {
            if (w.size() < 3 || haveFormat || !elements.empty())
                return false;
            if (w[1] == "ascii")
                enc = Encoding::Ascii;
            else if (w[1] == "binary_little_endian")
                enc = Encoding::BinaryLE;
            else if (w[1] == "binary_big_endian")
                enc = Encoding::BinaryBE;
            else
                return false;
            haveFormat = true;
        } else if (w[0] == "element") {
            Element e;
            if (w.size() != 3 || !ParseUnsigned(w[2], e.count))
                return false;
            e.name = std::string(w[1]);
            elements.push_back(std::move(e));
        } else if (w[0] == "property") {
            if (elements.empty())
                return false;
            Property p;
            if (w.size() == 5 && w[1] == "list") {
                p.isList = true;
                if (!ParseType(w[2], p.countType) || !IsIntegral(p.countType) || !ParseType(w[3], p.type))
                    return false;
                p.name = std::string(w[4]);
            } else if (w.size() == 3) {
                if (!ParseType(w[1], p.type))
                    return false;
                p.name = std::string(w[2]);
            } else {
                return false;
            }
            elements.back().props.push_back(std::move(p));
        } else {
            return false;
        }
    }
    return false;  // no end_header
}

// Reads one scalar at a time from the body in either encoding.
class BodyReader {
public:
    BodyReader(const char* data, std::size_t size, std::size_t start, Encoding enc, CallBackPos cb)
        : m_data(data), m_size(size), m_pos(start), m_enc(enc), m_text(data + start, size - start, nullptr), m_cb(cb)
    {
    }

    bool Read(ScalarType t, double& v)
    {
        if (m_enc == Encoding::Ascii) {
            std::string_view tok;
            if (!m_text.NextToken(tok))
                return false;
            if (IsIntegral(t)) {
                // Integers of any sign; the range check below applies.
                std::int64_t i;
                const char* first = tok.data();
                const char* last = first + tok.size();
                if (first != last && *first == '+')
                    ++first;
                const auto [ptr, ec] = std::from_chars(first, last, i);
                if (ec != std::errc() || ptr != last || first == last)
                    return false;
                v = static_cast<double>(i);
                return InRange(t, v);
            }
            return ParseDouble(tok, v);
        }
        const std::size_t n = TypeSize(t);
        if (m_size - m_pos < n)
            return false;
        unsigned char b[8];
        std::memcpy(b, m_data + m_pos, n);
        m_pos += n;
        if (m_enc == Encoding::BinaryBE)
            std::reverse(b, b + n);
        switch (t) {
        case ScalarType::Int8: v = static_cast<std::int8_t>(b[0]); break;
        case ScalarType::UInt8: v = b[0]; break;
        case ScalarType::Int16: { std::int16_t x; std::memcpy(&x, b, 2); v = x; break; }
        case ScalarType::UInt16: { std::uint16_t x; std::memcpy(&x, b, 2); v = x; break; }
        case ScalarType::Int32: { std::int32_t x; std::memcpy(&x, b, 4); v = x; break; }
        case ScalarType::UInt32: { std::uint32_t x; std::memcpy(&x, b, 4); v = x; break; }
        case ScalarType::Float32: { float x; std::memcpy(&x, b, 4); v = x; break; }
        case ScalarType::Float64: { double x; std::memcpy(&x, b, 8); v = x; break; }
        }
        return std::isfinite(v);
    }

    // The bytes left, to bound what a count read from the file may reserve.
    std::size_t Remaining() const
    {
        return m_enc == Encoding::Ascii ? m_size - (m_text.Offset() + (m_pos)) : m_size - m_pos;
    }

    void Progress()
    {
        if (m_cb == nullptr || m_size == 0)
            return;
        const std::size_t at = m_enc == Encoding::Ascii ? m_pos + m_text.Offset() : m_pos;
        const int percent = static_cast<int>(static_cast<double>(at) * 100.0 / static_cast<double>(m_size));
        if (percent != m_last) {
            m_last = percent;
            m_cb(percent, "Reading");
        }
    }

private:
    static bool InRange(ScalarType t, double v)
    {
        switch (t) {
        case ScalarType::Int8: return v >= -128 && v <= 127;
        case ScalarType::UInt8: return v >= 0 && v <= 255;
        case ScalarType::Int16: return v >= -32768 && v <= 32767;
        case ScalarType::UInt16: return v >= 0 && v <= 65535;
        case ScalarType::Int32: return v >= -2147483648.0 && v <= 2147483647.0;
        case ScalarType::UInt32: return v >= 0 && v <= 4294967295.0;
        default: return true;
        }
    }

    const char* m_data;
    std::size_t m_size;
    std::size_t m_pos;  // binary: absolute offset; ascii: the body's start
    Encoding m_enc;
    TextScanner m_text;
    CallBackPos m_cb;
    int m_last = -1;
};

int FindProp(const Element& e, const char* name, bool list)
{
    for (std::size_t i = 0; i < e.props.size(); ++i)
        if (e.props[i].name == name && e.props[i].isList == list)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

bool ReadPly(const char* data, std::size_t size, TriMesh& m, int& mask, CallBackPos cb)
{
    m.Clear();
    auto fail = [&m] {
        m.Clear();
        return false;
    };
    TextScanner header(data, size, nullptr);
    Encoding enc = Encoding::Ascii;
    std::vector<Element> elements;
    if (!ParseHeader(header, enc, elements))
        return fail();

    const Element* vertexElem = nullptr;
    for (const Element& e : elements)
        if (e.name == "vertex") {
            if (vertexElem != nullptr)
                return fail();
            vertexElem = &e;
        }
    if (vertexElem == nullptr || vertexElem->count == 0 ||
        vertexElem->count > std::numeric_limits<std::uint32_t>::max())
        return fail();
    const int px = FindProp(*vertexElem, "x", false), py = FindProp(*vertexElem, "y", false),
              pz = FindProp(*vertexElem, "z", false);
    if (px < 0 || py < 0 || pz < 0)
        return fail();
    const int nx = FindProp(*vertexElem, "nx", false), ny = FindProp(*vertexElem, "ny", false),
              nz = FindProp(*vertexElem, "nz", false);
    const bool normals = nx >= 0 && ny >= 0 && nz >= 0;

    BodyReader body(data, size, header.Offset(), enc, cb);
    bool sawFaces = false;
    std::vector<std::uint32_t> poly;
    for (const Element& e : elements) {
        const bool isVertex = &e == vertexElem;
        const bool isFace = e.name == "face";
        int indexProp = -1;
        if (isFace) {
            indexProp = FindProp(e, "vertex_indices", true);
            if (indexProp < 0)
                indexProp = FindProp(e, "vertex_index", true);
            sawFaces = sawFaces || indexProp >= 0;
        }
        // Every element takes at least one byte (or character) per item.
        if (isVertex)
            m.vert.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(e.count, body.Remaining())));
        // An element without properties occupies no bytes, whatever its
        // count says.
        const std::uint64_t items = e.props.empty() ? 0 : e.count;
        for (std::uint64_t item = 0; item < items; ++item) {
            TriVertex v;
            for (std::size_t pi = 0; pi < e.props.size(); ++pi) {
                const Property& p = e.props[pi];
                if (!p.isList) {
                    double x;
                    if (!body.Read(p.type, x))
                        return fail();
                    if (isVertex) {
                        const int i = static_cast<int>(pi);
                        if (i == px) v.p[0] = x;
                        else if (i == py) v.p[1] = x;
                        else if (i == pz) v.p[2] = x;
                        else if (normals && i == nx) v.n[0] = x;
                        else if (normals && i == ny) v.n[1] = x;
                        else if (normals && i == nz) v.n[2] = x;
                    }
                    continue;
                }
                double count;
                if (!body.Read(p.countType, count) || count < 0)
                    return fail();
                const bool wanted = isFace && static_cast<int>(pi) == indexProp;
                const auto n = static_cast<std::uint64_t>(count);
                if (wanted)
                    poly.clear();
                for (std::uint64_t k = 0; k < n; ++k) {
                    double x;
                    if (!body.Read(p.type, x))
                        return fail();
                    if (wanted) {
                        if (x < 0 || x >= static_cast<double>(vertexElem->count) || x != std::floor(x))
                            return fail();
                        poly.push_back(static_cast<std::uint32_t>(x));
                    }
                }
                if (wanted) {
                    if (poly.size() < 3)
                        return fail();
                    for (std::size_t k = 1; k + 1 < poly.size(); ++k) {
                        TriFace f;
                        f.v = {poly[0], poly[k], poly[k + 1]};
                        m.face.push_back(f);
                    }
                }
            }
            if (isVertex)
                m.vert.push_back(v);
            body.Progress();
        }
    }
    mask = IoMask::VertCoord | (sawFaces ? IoMask::FaceIndex : 0) | (normals ? IoMask::VertNormal : 0);
    if (cb)
        cb(100, "Reading");
    return true;
}
