// The element record: the unit of the journal and of scene files.
#include "StoreTestSupport.h"
#include "store/Element.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace storetest;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes written(const DQ::Element& e) {
    std::FILE* f = std::tmpfile();
    long n = e.write(f);
    Bytes out(static_cast<std::size_t>(std::ftell(f)));
    std::rewind(f);
    EXPECT_EQ(std::fread(out.data(), 1, out.size(), f), out.size());
    std::fclose(f);
    EXPECT_EQ(n, static_cast<long>(out.size()));
    return out;
}

// Reads one record from the bytes, from a regular file or from a memory
// stream (which has no size to ask for).
long readFrom(const Bytes& bytes, DQ::Element& e, bool regular) {
    std::FILE* f;
    if (regular) {
        f = std::tmpfile();
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::rewind(f);
    } else {
        static Bytes keep;
        keep = bytes;
        keep.push_back(0); // fmemopen needs a non-empty buffer
        f = fmemopen(keep.data(), bytes.size() ? bytes.size() : 1, "rb");
        if (bytes.empty()) std::fgetc(f);
    }
    long n = e.read(f);
    std::fclose(f);
    return n;
}

TEST(ElementRecord, GoldenLayouts) {
    double v = 1.5;
    char text[] = "ab";
    struct Case {
        const char* name;
        unsigned cls;
        void* data;
        Bytes bytes;
    } cases[] = {
        {"double", dqCClassDouble, &v, {0xF5, 3, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}},
        {"text", dqCClassFilePath, text, {0xE8, 3, 0, 0, 3, 0, 0, 0, 'a', 'b', 0}},
        {"null data", dqCClassColor, nullptr, {0xE9, 3, 0, 0, 0, 0, 0, 0}},
        {"head (size 0)", dqCClassChildHead, &v, {0xD1, 7, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DQ::Element e(c.cls, c.data);
        EXPECT_EQ(written(e), c.bytes);
        for (bool regular : {true, false}) {
            DQ::Element back;
            EXPECT_EQ(readFrom(c.bytes, back, regular), static_cast<long>(c.bytes.size()));
            EXPECT_EQ(back.getClass(), c.cls);
            if (c.cls != dqCClassChildHead) {
                EXPECT_TRUE(back == e);
            }
        }
    }
    EXPECT_EQ(written(DQ::Element()), (Bytes{0x9F, 0x86, 1, 0})); // 99999: empty
}

TEST(ElementRecord, EmptyAndUnknownRecordsConsumeOneWord) {
    for (std::uint32_t cls : {99999u, 1005u, 1008u, 2002u, 9u, 3000u}) {
        SCOPED_TRACE(cls);
        Bytes bytes(4);
        std::memcpy(bytes.data(), &cls, 4);
        bytes.insert(bytes.end(), {8, 0, 0, 0});
        DQ::Element e(dqCClassDouble, nullptr);
        EXPECT_EQ(readFrom(bytes, e, true), 4);
        EXPECT_TRUE(e.isEmpty());
    }
}

TEST(ElementRecord, EveryTruncationIsAShortRecord) {
    double v = 2.0;
    Bytes whole = written(DQ::Element(dqCClassDouble, &v));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        for (bool regular : {true, false}) {
            DQ::Element e;
            EXPECT_EQ(readFrom(Bytes(whole.begin(), whole.begin() + n), e, regular), -1);
        }
    }
}

TEST(ElementRecord, AHugeSizeWordFailsWithoutAllocatingIt) {
    // Under the address sanitizer an attempt to allocate this would abort.
    for (std::uint32_t size : {0xFFFFFFF0u, 0x7FFFFFFFu, 1000000u}) {
        SCOPED_TRACE(size);
        Bytes bytes = {0xE8, 3, 0, 0};
        bytes.resize(8);
        std::memcpy(bytes.data() + 4, &size, 4);
        bytes.insert(bytes.end(), {'a', 0});
        for (bool regular : {true, false}) {
            DQ::Element e;
            EXPECT_EQ(readFrom(bytes, e, regular), -1);
        }
    }
}

TEST(ElementRecord, ABlockThatDisagreesWithItsOwnSizeLoadsEmpty) {
    auto record = [](std::uint32_t cls, Bytes data) {
        Bytes r(8);
        std::uint32_t n = static_cast<std::uint32_t>(data.size());
        std::memcpy(r.data(), &cls, 4);
        std::memcpy(r.data() + 4, &n, 4);
        r.insert(r.end(), data.begin(), data.end());
        return r;
    };
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"list count too big", record(dqCClassIntList, {5, 0, 0, 0, 1, 0, 0, 0})},
        {"list shorter than its count word", record(dqCClassIntList, {1, 0})},
        {"text without its zero", record(dqCClassText, {'a', 'b'})},
        {"text with an inner zero", record(dqCClassText, {'a', 0, 'b', 0})},
        {"fixed size wrong", record(dqCClassDouble, {1, 2, 3, 4})},
        {"path length word differs", record(dqCClassClPath, {100, 0, 0, 0, 0, 0, 0, 0})},
        {"mesh count does not fit", record(dqCClassStl, Bytes(56, 0xFF))},
        {"body count does not fit", record(dqCClassHolder, Bytes(32, 0x10))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DQ::Element e(dqCClassDouble, nullptr);
        EXPECT_EQ(readFrom(c.bytes, e, true), static_cast<long>(c.bytes.size()));
        EXPECT_TRUE(e.isEmpty());
    }
}

TEST(ElementRecord, EqualityComparesBytesOfTheClassSize) {
    double a = 1, b = 1, c = 2;
    EXPECT_TRUE(DQ::Element(dqCClassDouble, &a) == DQ::Element(dqCClassDouble, &b));
    EXPECT_TRUE(DQ::Element(dqCClassDouble, &a) != DQ::Element(dqCClassDouble, &c));
    EXPECT_TRUE(DQ::Element(dqCClassDouble, &a) != DQ::Element(dqCClassColor, &a));
    EXPECT_TRUE(DQ::Element(dqCClassDouble, nullptr) == DQ::Element(dqCClassDouble, nullptr));
    EXPECT_TRUE(DQ::Element(dqCClassDouble, nullptr) != DQ::Element());
    EXPECT_TRUE(DQ::Element() == DQ::Element());
    // Heads have size 0: any two blocks of the class are equal.
    EXPECT_TRUE(DQ::Element(dqCClassChildHead, &a) == DQ::Element(dqCClassChildHead, &c));
}

} // namespace
