// STL files, ASCII and binary, and the model made from them.
#include "korvex.h"
#include "shapes/StlReader.h"
#include "shapes/TriangleBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

struct Session {
    Session() { dqCreateSession(); }
    ~Session() { dqDestroySession(); }
};

class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        char name[] = "/tmp/orvane-stl-XXXXXX";
        int fd = mkstemp(name);
        path_ = name;
        if (!bytes.empty()) {
            EXPECT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        }
        close(fd);
    }
    ~TempFile() { unlink(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

std::string binaryStl(const std::string& header, std::uint32_t count, std::uint32_t records,
                      const float* values = nullptr) {
    std::string s = header;
    s.resize(80, ' ');
    s.append(reinterpret_cast<const char*>(&count), 4);
    for (std::uint32_t i = 0; i < records; ++i) {
        float v[12] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, float(i)};
        if (values) std::memcpy(v, values, sizeof v);
        s.append(reinterpret_cast<const char*>(v), sizeof v);
        s.append("\0\0", 2);
    }
    return s;
}

const char* kTriangle = "facet normal 0 0 1\n"
                        " outer loop\n"
                        "  vertex 0 0 0\n"
                        "  vertex 1 0 0\n"
                        "  vertex 0 1 0\n"
                        " endloop\n"
                        "endfacet\n";

struct Read {
    bool ok;
    DQ::StlBuffer stl;
};

Read read(const std::string& bytes) {
    TempFile f(bytes);
    Read r;
    double progress = 0;
    r.ok = DQ::readStl(f.path(), &progress, r.stl);
    if (r.ok) {
        EXPECT_EQ(progress, 1.0);
    }
    return r;
}

std::uint32_t countOf(const DQ::StlBuffer& b) { return DQ::bufferHeader(b.data)->count; }

TEST(StlReader, AsciiWithIndentationAndTabs) {
    std::string text = "solid part\n"
                       "\tfacet   normal\t0.5 -0.5\t0.7071\n"
                       "\t\touter  loop\n"
                       "\t\t\tvertex\t1.5e1   -2 +3\n"
                       "    vertex 4 5 6\n"
                       "vertex .5 5. 0\n"
                       "  endloop\n"
                       "  endfacet\n"
                       "endsolid part\n";
    Read r = read(text);
    ASSERT_TRUE(r.ok);
    EXPECT_STREQ(r.stl.name, "part\n");
    ASSERT_EQ(countOf(r.stl), 1u);
    EXPECT_EQ(r.stl.bytes, 56u + 96u);
    const DQ::TriangleRecord& t = DQ::bufferTriangles(r.stl.data)[0];
    EXPECT_EQ(t.normal[0], 0.5);
    EXPECT_EQ(t.normal[2], 0.7071);
    EXPECT_EQ(t.vertex[0][0], 15.0);
    EXPECT_EQ(t.vertex[0][2], 3.0);
    EXPECT_EQ(t.vertex[2][0], 0.5);
    const DQ::TriangleBufferHeader* h = DQ::bufferHeader(r.stl.data);
    EXPECT_EQ(std::vector<double>(h->minimum, h->minimum + 3), (std::vector<double>{0.5, -2, 0}));
    EXPECT_EQ(std::vector<double>(h->maximum, h->maximum + 3), (std::vector<double>{15, 5, 6}));
}

TEST(StlReader, AsciiCases) {
    struct Case {
        const char* name;
        std::string text;
        bool ok;
        unsigned count;
        const char* modelName;
    } cases[] = {
        {"no endsolid", std::string("solid x\n") + kTriangle + kTriangle, true, 2, "x\n"},
        {"solid alone", std::string("solid\n") + kTriangle, true, 1, ""},
        {"CRLF line ends", "solid c\r\nfacet normal 0 0 1\r\nouter loop\r\nvertex 0 0 0\r\n"
                           "vertex 1 0 0\r\nvertex 0 1 0\r\nendloop\r\nendfacet\r\nendsolid\r\n",
         true, 1, "c\r\n"},
        {"blank line between facets", std::string("solid x\n") + kTriangle + "\n" + kTriangle,
         false, 0, ""},
        {"no facets", "solid x\nendsolid x\n", false, 0, ""},
        {"a vertex short of numbers",
         "solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
         "endloop\nendfacet\n",
         false, 0, ""},
        {"not solid", std::string("sold x\n") + kTriangle, false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Read r = read(c.text);
        ASSERT_EQ(r.ok, c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(countOf(r.stl), c.count);
        EXPECT_STREQ(r.stl.name, c.modelName);
    }
}

TEST(StlReader, BinaryCases) {
    const float zeroNormal[12] = {0, 0, 0, 1, 2, 3, -1, 5, 0, 4, -2, 9};
    Read one = read(binaryStl("a binary part", 1, 1, zeroNormal));
    ASSERT_TRUE(one.ok);
    EXPECT_EQ(std::string(one.stl.name).substr(0, 13), "a binary part");
    EXPECT_EQ(std::strlen(one.stl.name), 79u);
    const DQ::TriangleBufferHeader* h = DQ::bufferHeader(one.stl.data);
    EXPECT_EQ(std::vector<double>(h->minimum, h->minimum + 3), (std::vector<double>{-1, -2, 0}));
    EXPECT_EQ(std::vector<double>(h->maximum, h->maximum + 3), (std::vector<double>{4, 5, 9}));
    EXPECT_EQ(DQ::bufferTriangles(one.stl.data)[0].normal[2], 0.0); // stored as read

    // A header that begins with "solid" fails as ASCII at its second line.
    Read solid = read(binaryStl("solid but binary", 3, 3));
    ASSERT_TRUE(solid.ok);
    EXPECT_EQ(countOf(solid.stl), 3u);

    EXPECT_FALSE(read(binaryStl("zero", 0, 1)).ok);
    EXPECT_FALSE(read(binaryStl("short", 3, 2)).ok);
    EXPECT_FALSE(read(binaryStl("head only", 1, 0).substr(0, 83)).ok);
    // A count far beyond the file fails before allocating (under the address
    // sanitizer a 400 GB allocation attempt would abort the test).
    EXPECT_FALSE(read(binaryStl("huge", 0xFFFFFFFFu, 2)).ok);
    EXPECT_TRUE(read(binaryStl("extra data ignored", 2, 3)).ok);
    EXPECT_FALSE(read("").ok);
}

TEST(StlReader, ScanDoubleReadsWhatPercentLfReads) {
    for (const char* text : {"1", "-2.5", "+3", " \t4e2", "1e999", "-1e999", "1e-999", "0x1p3",
                             "-0X10", "inf", "-Infinity", "nan", ".5", "5.", "1e", "1.5x", "  7 8",
                             "abc", "+-1", "-", "", " ", "e5", ".", "0x", "12345678901234567890"}) {
        SCOPED_TRACE(text);
        double expected = 0;
        int n = 0;
        bool libc = std::sscanf(text, "%lf%n", &expected, &n) == 1;
        const char* p = text;
        double got = 0;
        bool ours = DQ::scanDouble(p, text + std::strlen(text), got);
        ASSERT_EQ(ours, libc);
        if (!libc) continue;
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(got));
        else
            EXPECT_EQ(got, expected);
        EXPECT_EQ(p - text, n);
    }
}

TEST(StlModel, ChildrenAndPlacementAtTheWorkOrigin) {
    Session session;
    TempFile f(std::string("solid model\n") + kTriangle);
    double progress = 0;
    unsigned tag = dqCreateSTLFromFile(f.path(), &progress);
    ASSERT_NE(tag, 0u);
    EXPECT_EQ(progress, 1.0);
    EXPECT_EQ(dqGetClass(tag), dqCClassStl);
    EXPECT_EQ(dqGetClass(tag + 1), dqCClassChildHead);
    void* data = nullptr;
    dqGetChild(tag, 0, 0, dqCClassFilePath, &data);
    EXPECT_STREQ(static_cast<char*>(data), f.path());
    dqGetChild(tag, 0, 0, dqCClassName, &data);
    EXPECT_STREQ(static_cast<char*>(data), "model\n");
    dqGetChild(tag, 0, 0, dqCClassColor, &data);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<float>(static_cast<float*>(data), static_cast<float*>(data) + 4),
              (std::vector<float>{0, 1, 1, 1}));
    dqGetChild(tag, 0, 0, dqCClassPlacement, &data);
    ASSERT_NE(data, nullptr);
    auto* place = static_cast<double*>(data);
    double zero[6] = {}, machine[6];
    dqGetMachinePos(zero, machine);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(place[k], machine[k]);
    EXPECT_EQ(std::vector<double>(place + 3, place + 9), (std::vector<double>{0, 0, 1, 1, 0, 0}));
}

TEST(StlModel, FailedReadsCreateNothing) {
    Session session;
    unsigned high = dqGetHighestTag();
    TempFile bad("solid x\nnonsense\n");
    EXPECT_EQ(dqCreateSTLFromFile(bad.path(), nullptr), 0u);
    EXPECT_EQ(dqCreateSTLFromFile("/nonexistent/file.stl", nullptr), 0u);
    EXPECT_EQ(dqCreateSTLFromFile(nullptr, nullptr), 0u);
    EXPECT_EQ(dqGetHighestTag(), high);
}

TEST(StlModel, AStopRequestDuringTheBinaryReadGivesNothing) {
    Session session;
    TempFile big(binaryStl("big", 400000, 400000));
    unsigned high = dqGetHighestTag();
    double progress = 0;
    std::atomic<bool> done{false};
    std::thread stopper([&] {
        // Keep asking to stop until the reader gives up; the binary reader
        // writes 0 when it starts, so a single early write would be lost.
        while (!done.load())
            std::atomic_ref<double>(progress).store(-2.0, std::memory_order_relaxed);
    });
    unsigned tag = dqCreateSTLFromFile(big.path(), &progress);
    done = true;
    stopper.join();
    EXPECT_EQ(tag, 0u);
    EXPECT_EQ(dqGetHighestTag(), high);
}

} // namespace
