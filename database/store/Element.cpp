#include "store/Element.h"

#include "store/ClassSize.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace DQ {

bool TmpElm::isEqual(const TmpElm& other) const {
    if (getClass() != other.getClass()) return false;
    if (getData() == other.getData()) return true;
    unsigned a = classSize(getClass(), getData());
    unsigned b = classSize(other.getClass(), other.getData());
    if (a != b) return false;
    if (a == 0) return true;
    return std::memcmp(getData(), other.getData(), a) == 0;
}

Element::~Element() { delete payload_; }

Element& Element::operator=(const Element& other) {
    if (this == &other) return *this;
    delete payload_;
    payload_ = other.payload_ ? other.payload_->clone() : nullptr;
    return *this;
}

bool Element::operator==(const Element& other) const {
    if (payload_ == other.payload_) return true;
    if (!payload_ || !other.payload_) return false;
    return payload_->isEqual(*other.payload_);
}

unsigned Element::getClass() const { return payload_ ? payload_->getClass() : unsigned(dqCClassEmpty); }

long Element::write(std::FILE* file) const {
    std::uint32_t cls = getClass();
    if (std::fwrite(&cls, 4, 1, file) != 1) return 0;
    if (!payload_) return 4;
    return 4 + payload_->write(file);
}

long Element::read(std::FILE* file, unsigned /*flag*/) {
    std::uint32_t cls;
    if (std::fread(&cls, 4, 1, file) != 1) return -1;
    if (cls == dqCClassEmpty || !isStoredClass(cls)) {
        // The size and data of an unknown record are not skipped: its
        // remaining words are read as the next record.
        clear();
        return 4;
    }
    std::uint32_t n;
    if (std::fread(&n, 4, 1, file) != 1) return -1;
    bool ok = false;
    void* block = readBlock(file, n, ok);
    if (!ok) return -1;
    // A block that disagrees with its own size rule would let a later reader
    // run past its end; it loads as an empty element.
    if (!recordSizeMatches(cls, block, n)) {
        delete[] static_cast<char*>(block); // nobody has seen it yet
        clear();
        return static_cast<long>(n) + 8;
    }
    set(cls, block);
    return static_cast<long>(n) + 8;
}

void Element::clear() {
    delete payload_;
    payload_ = nullptr;
}

void Element::set(unsigned cls, void* data) {
    delete payload_;
    payload_ = new ElmData<TmpElm>(TmpElm(cls, data));
}

void* Element::getData() const {
    auto* data = dynamic_cast<const ElmData<TmpElm>*>(payload_);
    return data ? data->value().getData() : nullptr;
}

void Element::swap(Element& other) { std::swap(payload_, other.payload_); }

Element::ElmBase* Element::ElmData<TmpElm>::clone() const { return new ElmData<TmpElm>(value_); }

long Element::ElmData<TmpElm>::write(std::FILE* file) const {
    std::uint32_t n = classSize(value_.getClass(), value_.getData());
    if (std::fwrite(&n, 4, 1, file) != 1) return 0;
    if (n && std::fwrite(value_.getData(), 1, n, file) != n) return 4;
    return static_cast<long>(n) + 4;
}

long Element::ElmData<TmpElm>::read(std::FILE* file) {
    // The old block is left alone: blocks are never freed, since callers may
    // still hold pointers to them.
    std::uint32_t n;
    if (std::fread(&n, 4, 1, file) != 1) return -1;
    bool ok = false;
    void* block = readBlock(file, n, ok);
    if (!ok) return -1;
    value_ = TmpElm(value_.getClass(), block);
    return static_cast<long>(n) + 4;
}

bool Element::ElmData<TmpElm>::isEqual(const ElmBase& other) const {
    auto* o = dynamic_cast<const ElmData<TmpElm>*>(&other);
    return o && value_.isEqual(o->value_);
}

void* readBlock(std::FILE* file, unsigned n, bool& ok) {
    ok = false;
    if (n == 0) {
        ok = true;
        return nullptr;
    }
    // A small block is read straight into its allocation: whatever the file
    // says, it costs at most kSmallBlock bytes. A larger count is checked
    // against the bytes the file still holds before anything is allocated.
    constexpr unsigned kSmallBlock = 1u << 20;
    struct stat st;
    bool small = n <= kSmallBlock;
    if (small || (fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode))) {
        if (!small) {
            off_t pos = ftello(file);
            if (pos < 0 || st.st_size - pos < static_cast<off_t>(n)) return nullptr;
        }
        char* block = new (std::nothrow) char[n];
        if (!block) return nullptr;
        if (std::fread(block, 1, n, file) != n) {
            delete[] block;
            return nullptr;
        }
        ok = true;
        return block;
    }
    // Anything else (a pipe) is read in chunks, so memory grows only with
    // bytes actually read.
    std::vector<char> bytes;
    char chunk[65536];
    while (bytes.size() < n) {
        std::size_t want = std::min<std::size_t>(sizeof chunk, n - bytes.size());
        std::size_t got = std::fread(chunk, 1, want, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < want) return nullptr;
    }
    char* block = new (std::nothrow) char[n];
    if (!block) return nullptr;
    std::memcpy(block, bytes.data(), n);
    ok = true;
    return block;
}

} // namespace DQ
