#include "store/ClassSize.h"

#include <cstdint>
#include <cstring>

namespace DQ {
namespace {

std::uint32_t wordAt(const void* data, std::size_t index) {
    std::uint32_t w;
    std::memcpy(&w, static_cast<const char*>(data) + 4 * index, 4);
    return w;
}

bool isTextClass(unsigned cls) {
    return cls == dqCClassFilePath || cls == dqCClassName || cls == dqCClassText ||
           cls == dqCClassRoot;
}

// Fixed sizes; -1 marks classes whose size is read from the block.
long fixedSize(unsigned cls) {
    switch (cls) {
    case dqCClassOrigin: return 48;
    case dqCClassCutter: return 96;
    case dqCClassBlock: return 24;
    case dqCClassCone: return 24;
    case dqCClassSphere: return 8;
    case dqCClassColor: return 16;
    case dqCClassSelect: return 8;
    case dqCClassUInt: return 4;
    case dqCClassTraceCursor: return 152;
    case dqCClassOffset: return 48;
    case dqCClassAxis: return 64;
    case dqCClassAxisMount: return 4;
    case dqCClassMachine: return 28;
    case dqCClassDouble: return 8;
    case 1014: return 8;
    case dqCClassPlacement: return 72;
    case dqCClassLinkJournal: return 4;
    case dqCClassDataJournal: return 8;
    case dqCClassStl:
    case dqCClassClPath:
    case dqCClassHolder:
    case dqCClassSpindle:
    case dqCClassIntList:
    case dqCClassRealList:
    case dqCClassColorList: return -1;
    default: return isTextClass(cls) ? -1 : 0;
    }
}

} // namespace

unsigned classSize(unsigned cls, const void* data) {
    if (!data) return 0;
    long fixed = fixedSize(cls);
    if (fixed >= 0) return static_cast<unsigned>(fixed);
    switch (cls) {
    case dqCClassStl: return 56u + 96u * wordAt(data, 12);
    case dqCClassClPath: return wordAt(data, 0);
    case dqCClassHolder:
    case dqCClassSpindle: return 32u + 16u * wordAt(data, 6);
    case dqCClassIntList: return 4u + 4u * wordAt(data, 0);
    case dqCClassRealList: return 8u + 8u * wordAt(data, 0);
    case dqCClassColorList: return 4u + 16u * wordAt(data, 0);
    default: return static_cast<unsigned>(std::strlen(static_cast<const char*>(data)) + 1);
    }
}

bool isStoredClass(unsigned cls) {
    return cls <= 8 || (cls >= 1000 && cls <= 1004) || cls == 1006 || cls == 1007 ||
           (cls >= 1009 && cls <= 1018) || cls == 2000 || cls == 2001 ||
           (cls >= 2003 && cls <= 2006);
}

bool recordSizeMatches(unsigned cls, const void* data, std::size_t n) {
    if (!data) return n == 0;
    long fixed = fixedSize(cls);
    if (fixed >= 0) return n == static_cast<std::size_t>(fixed);
    if (isTextClass(cls)) {
        // The terminating zero must be the block's last byte and its only one,
        // so strlen can never run past it.
        const void* zero = std::memchr(data, 0, n);
        return zero == static_cast<const char*>(data) + n - 1;
    }
    // Counted layouts: header words must lie inside the block first; the
    // sizes are computed in 64 bits so a huge count cannot wrap around.
    auto counted = [&](std::size_t headerWords, std::size_t countWord, std::uint64_t base,
                       std::uint64_t each) {
        if (n < 4 * headerWords) return false;
        return base + each * wordAt(data, countWord) == n;
    };
    switch (cls) {
    case dqCClassStl: return counted(14, 12, 56, 96);
    case dqCClassClPath: return n >= 4 && wordAt(data, 0) == n;
    case dqCClassHolder:
    case dqCClassSpindle: return counted(8, 6, 32, 16);
    case dqCClassIntList: return counted(1, 0, 4, 4);
    case dqCClassRealList: return counted(2, 0, 8, 8);
    case dqCClassColorList: return counted(1, 0, 4, 16);
    default: return false;
    }
}

} // namespace DQ
