// The content of one tag-table entry: an optional payload holding a class
// number and a data pointer. The payload is owned by the element; the data
// block it points to is owned by nobody and never freed (pointers handed out
// by dqGetData stay valid for the life of the process).
#pragma once

#include <cstdio>

namespace DQ {

// The value carried by a payload. It never allocates or frees its data.
class TmpElm {
public:
    TmpElm() = default;
    TmpElm(unsigned cls, void* data) : cls_(cls), data_(data) {}
    virtual ~TmpElm() = default;
    // Equal when the classes match and the pointers are equal or the two
    // classSize-long blocks hold the same bytes.
    virtual bool isEqual(const TmpElm& other) const;
    virtual unsigned getClass() const { return cls_; }
    virtual void* getData() const { return data_; }

private:
    unsigned cls_ = 0;
    void* data_ = nullptr;
};

class Element {
public:
    // The abstract payload; ElmData<TmpElm> is the one kind the store makes.
    class ElmBase {
    public:
        virtual ~ElmBase() = default;
        virtual unsigned getClass() const = 0;
        virtual ElmBase* clone() const = 0;
        virtual long write(std::FILE* file) const = 0;
        virtual long read(std::FILE* file) = 0;
        virtual bool isEqual(const ElmBase& other) const = 0;
    };
    template <class T> class ElmData;

    Element() = default;
    Element(unsigned cls, void* data) { set(cls, data); }
    Element(const Element& other) { *this = other; }
    virtual ~Element();

    // Deletes its own payload and takes a clone of the other's.
    virtual Element& operator=(const Element& other);
    virtual bool operator==(const Element& other) const;
    virtual bool operator!=(const Element& other) const { return !(*this == other); }
    // The payload's class, or 99999 when empty.
    virtual unsigned getClass() const;
    // Writes the element record: class word, then byte count and data (an
    // empty element is the single word 99999). Returns the bytes written.
    virtual long write(std::FILE* file) const;
    // Replaces the payload by an element record read from the file. Returns
    // the bytes consumed, 4 for an empty or unknown-class record, -1 when the
    // record is short or cannot be held.
    virtual long read(std::FILE* file, unsigned flag = 0);
    virtual void clear();
    // A new payload holding (cls, data) as given; the data is not copied.
    virtual void set(unsigned cls, void* data);
    virtual void* getData() const;
    virtual bool isEmpty() const { return payload_ == nullptr; }
    virtual void swap(Element& other);

private:
    ElmBase* payload_ = nullptr;
};

template <> class Element::ElmData<TmpElm> : public Element::ElmBase {
public:
    explicit ElmData(const TmpElm& value) : value_(value) {}
    ~ElmData() override = default; // the data block is not freed
    unsigned getClass() const override { return value_.getClass(); }
    ElmBase* clone() const override;
    // Byte count, then the block; returns the count plus 4.
    long write(std::FILE* file) const override;
    // Byte count, then a new block of that many bytes; returns the count
    // plus 4, or -1 when the file does not hold that many bytes.
    long read(std::FILE* file) override;
    bool isEqual(const ElmBase& other) const override;
    const TmpElm& value() const { return value_; }

private:
    TmpElm value_;
};

// Reads exactly n bytes of a data block from the file into a fresh block of
// exactly n bytes, without trusting n: a count beyond what the file still
// holds fails before anything of that size is allocated. Null with ok=false
// on a short read or no memory; null with ok=true for n == 0.
void* readBlock(std::FILE* file, unsigned n, bool& ok);

} // namespace DQ
