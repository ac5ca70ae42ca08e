#include "store/TypedList.h"

#include "korvex.h"
#include "store/ClassSize.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace DQ {
namespace {

// The three kinds differ only in header size and entry width.
struct ListKind {
    unsigned cls;
    unsigned header;
    unsigned width;
};
constexpr ListKind kInt{dqCClassIntList, 4, 4};
constexpr ListKind kReal{dqCClassRealList, 8, 8};
constexpr ListKind kColor{dqCClassColorList, 4, 16};

void* newList(const ListKind& kind, unsigned count, const void* values) {
    std::uint64_t size = kind.header + std::uint64_t(kind.width) * count;
    if (size > 0xFFFFFFFFu) return nullptr;
    char* block = new (std::nothrow) char[size]();
    if (!block) return nullptr;
    std::memcpy(block, &count, 4);
    if (kind.header == 8) std::memcpy(block + 4, &count, 4);
    if (values) std::memcpy(block + kind.header, values, std::size_t(kind.width) * count);
    return block;
}

void* entry(const ListKind& kind, unsigned tag, unsigned index) {
    auto* block = static_cast<char*>(dqGetData(tag));
    // Only a list of this kind is read as one: any other block (or the title
    // that dqGetData gives for a tag beyond the highest) has no count word.
    if (!block || dqGetClass(tag) != kind.cls) return nullptr;
    std::uint32_t count;
    std::memcpy(&count, block, 4);
    if (index >= count) return nullptr;
    return block + kind.header + std::size_t(kind.width) * index;
}

// Copy-on-write: a copy of the present block, grown when the run reaches
// past the count, with the run written into it, handed back journaled.
void setRun(const ListKind& kind, unsigned tag, unsigned first, unsigned n, const void* values) {
    if (tag >= dqGetHighestTag() || dqGetClass(tag) != kind.cls) return;
    auto* old = static_cast<const char*>(dqGetData(tag));
    if (!old) return;
    std::uint64_t size = classSize(kind.cls, old);
    std::uint64_t needed = kind.header + std::uint64_t(kind.width) * (std::uint64_t(first) + n);
    std::uint64_t newSize = size < needed ? needed : size;
    if (newSize > 0xFFFFFFFFu || newSize < kind.header) return;
    char* block = new (std::nothrow) char[newSize]();
    if (!block) return;
    std::memcpy(block, old, size < newSize ? size : newSize);
    if (size < needed) {
        std::uint32_t count = first + n;
        std::memcpy(block, &count, 4); // the real list's second word is kept
    }
    std::uint32_t count;
    std::memcpy(&count, block, 4);
    if (first < count && n && values) {
        unsigned run = count - first < n ? count - first : n;
        std::memcpy(block + kind.header + std::size_t(kind.width) * first, values,
                    std::size_t(kind.width) * run);
    }
    dqSetData(tag, block);
}

} // namespace

void* newIntList(unsigned count, const unsigned* values) { return newList(kInt, count, values); }
void* newRealList(unsigned count, const double* values) { return newList(kReal, count, values); }
void* newColorList(unsigned count, const float* rgba) { return newList(kColor, count, rgba); }

} // namespace DQ

using DQ::kColor;
using DQ::kInt;
using DQ::kReal;

DQ_API unsigned int* dqGetIntListElem(unsigned int tag, unsigned int index) {
    return static_cast<unsigned*>(DQ::entry(kInt, tag, index));
}
DQ_API double* dqGetRealListElem(unsigned int tag, unsigned int index) {
    return static_cast<double*>(DQ::entry(kReal, tag, index));
}
DQ_API float* dqGetColorListElem(unsigned int tag, unsigned int index) {
    return static_cast<float*>(DQ::entry(kColor, tag, index));
}
DQ_API void dqSetIntListElem(unsigned int tag, unsigned int index, unsigned int value) {
    DQ::setRun(kInt, tag, index, 1, &value);
}
DQ_API void dqSetRealListElem(unsigned int tag, unsigned int index, double value) {
    DQ::setRun(kReal, tag, index, 1, &value);
}
DQ_API void dqSetColorListElem(unsigned int tag, unsigned int index, const float* rgba) {
    if (rgba) DQ::setRun(kColor, tag, index, 1, rgba);
}
DQ_API void dqSetIntListElems(unsigned int tag, unsigned int first, unsigned int n,
                              const unsigned int* values) {
    DQ::setRun(kInt, tag, first, n, values);
}
DQ_API void dqSetRealListElems(unsigned int tag, unsigned int first, unsigned int n,
                               const double* values) {
    DQ::setRun(kReal, tag, first, n, values);
}
DQ_API void dqSetColorListElems(unsigned int tag, unsigned int first, unsigned int n,
                                const float* rgba) {
    DQ::setRun(kColor, tag, first, n, rgba);
}
