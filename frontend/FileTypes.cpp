// File types by name: the session's pattern table (root children of class
// 1003, one per dqCFileFormatTypeEnum value), the converter's short names
// and the open-dialog filter.
#include <algorithm>
#include <cstdio>
#include <string>

#include "FileTypeMatch.h"
#include "fendal.h"

namespace {

constexpr unsigned kTypeCount = 21; // 0 .. dqCFilePdb

// What the converter expects as its input type; PDB has no converter name.
const char* const kShortNames[kTypeCount] = {
    "STL", "NC",  "CL",  "3DS", "PLY",  "OBJ",  "OFF", "PTX", "DAE", "V3D", "PTS",
    "APTS", "XYZ", "GTS", "TRI", "ASC", "X3D", "X3DV", "WRL", "ALN", nullptr,
};

const char* typePattern(unsigned type) {
    void* data = nullptr;
    if (!dqGetChild(0, 0, type, dqCClassText, &data)) return nullptr;
    return static_cast<const char*>(data);
}

// The dialog lists are each held to this many characters.
constexpr std::size_t kListLimit = 1023;

void appendLimited(std::string& list, const char* text) {
    std::size_t room = kListLimit - list.size();
    list.append(text, std::min(room, std::char_traits<char>::length(text)));
}

} // namespace

FE_API bool feCheckTypeFileName(const char* name, const char* patterns) {
    return FE::matchFileName(name, patterns);
}

FE_API dqCFileFormatTypeEnum feGetFileType(const char* name) {
    if (!name) return dqCFileUnknown;
    for (unsigned type = 0; type < kTypeCount; ++type) {
        // CL files are offered in the dialog but have no reader of their
        // own, so they are never detected.
        if (type == dqCFileCl) continue;
        const char* pattern = typePattern(type);
        if (pattern && FE::matchFileName(name, pattern))
            return static_cast<dqCFileFormatTypeEnum>(type);
    }
    return dqCFileUnknown;
}

FE_API char* feGetFileTypeString(dqCFileFormatTypeEnum type) {
    unsigned index = static_cast<unsigned>(type);
    return index < kTypeCount ? const_cast<char*>(kShortNames[index]) : nullptr;
}

FE_API void feSetFileFilter(char* buffer, unsigned int size) {
    if (!buffer || size == 0) return;
    std::string descriptions, filters;
    for (unsigned type = 0; type < kTypeCount; ++type) {
        const char* pattern = typePattern(type);
        if (!pattern) continue;
        appendLimited(descriptions, pattern);
        appendLimited(filters, pattern);
        if (type != kTypeCount - 1) {
            appendLimited(descriptions, ",");
            appendLimited(filters, ";");
        }
    }
    std::snprintf(buffer, size, "Orvane Files (%s)|%s|All Files (*.*)|*.*||",
                  descriptions.c_str(), filters.c_str());
}
