// The selection buffer's hit records merged, sorted and compacted into tags.
#include "shapes/HitRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using DQ::compactHits;

namespace {

struct Record {
    unsigned minDepth, maxDepth;
    std::vector<unsigned> names;
};

std::vector<unsigned> layout(const std::vector<Record>& records) {
    std::vector<unsigned> words;
    for (const Record& r : records) {
        words.push_back(static_cast<unsigned>(r.names.size()));
        words.push_back(r.minDepth);
        words.push_back(r.maxDepth);
        words.insert(words.end(), r.names.begin(), r.names.end());
    }
    return words;
}

// The rules written out plainly, on records rather than words.
std::vector<unsigned> model(std::vector<Record> records, bool sort, double* depth) {
    for (std::size_t i = 0; i < records.size();) {
        std::size_t end = i + 1;
        while (end < records.size() && !records[i].names.empty() && !records[end].names.empty() &&
               records[end].names[0] == records[i].names[0])
            ++end;
        std::size_t best = i;
        for (std::size_t k = i; k < end; ++k)
            if (records[k].maxDepth < records[best].maxDepth) best = k;
        for (std::size_t k = i; k < end; ++k)
            if (k != best) records[k].names[0] = 0;
        i = end;
    }
    if (sort)
        std::stable_sort(records.begin(), records.end(),
                         [](const Record& a, const Record& b) { return a.maxDepth < b.maxDepth; });
    std::vector<unsigned> out;
    for (const Record& r : records)
        for (unsigned n : r.names)
            if (n) {
                if (out.empty()) *depth = r.minDepth / 4294967295.0;
                out.push_back(n);
            }
    return out;
}

} // namespace

TEST(HitRecords, GoldenBuffers) {
    struct Case {
        const char* what;
        std::vector<Record> records;
        bool sort;
        std::vector<unsigned> tags;
        unsigned firstMin; // min depth of the first tag's record
    } cases[] = {
        {"unsorted keeps the reported order", {{10, 90, {7}}, {5, 20, {9}}}, false, {7, 9}, 10},
        {"sorted by maximum depth", {{10, 90, {7}}, {5, 20, {9}}}, true, {9, 7}, 5},
        {"a repeat keeps the nearer record", {{40, 50, {7}}, {30, 35, {7}}, {1, 45, {9}}}, true,
         {7, 9}, 30},
        {"a repeat on a tie keeps the earlier", {{40, 50, {7}}, {30, 50, {7}}}, false, {7}, 40},
        {"a run of three", {{1, 9, {4}}, {2, 3, {4}}, {3, 5, {4}}, {0, 1, {5}}}, false, {4, 5}, 2},
        {"names apart are no run", {{1, 9, {4}}, {0, 1, {5}}, {2, 3, {4}}}, false, {4, 5, 4}, 1},
        {"unsigned depths", {{0, 0xFFFFFFFFu, {3}}, {0, 0x7FFFFFFFu, {8}}}, true, {8, 3}, 0},
        {"several names and zero names", {{5, 6, {0, 11, 12}}, {1, 2, {}}, {3, 4, {13}}}, false,
         {11, 12, 13}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned> words = layout(c.records);
        unsigned count = 99;
        double depth = -1;
        compactHits(words.data(), words.size(), int(c.records.size()), c.sort, &count, &depth);
        ASSERT_EQ(count, c.tags.size());
        EXPECT_EQ(std::vector<unsigned>(words.begin(), words.begin() + count), c.tags);
        EXPECT_DOUBLE_EQ(depth, c.firstMin / 4294967295.0);
    }
}

TEST(HitRecords, NoHitsWriteCountOnly) {
    unsigned words[3] = {1, 2, 3};
    unsigned count = 99;
    double depth = -1;
    compactHits(words, 3, 0, true, &count, &depth);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(depth, -1);
    compactHits(nullptr, 0, 5, true, &count, nullptr);
    EXPECT_EQ(count, 0u);
}

TEST(HitRecords, RecordsRunningPastTheBufferEndTheWalk) {
    // The second record claims more names than the buffer holds.
    std::vector<unsigned> words = {1, 4, 5, 7, 1000, 1, 2, 8};
    unsigned count = 0;
    compactHits(words.data(), words.size(), 2, false, &count, nullptr);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(words[0], 7u);
    // More records asked for than there are.
    words = layout({{1, 2, {6}}});
    compactHits(words.data(), words.size(), 40, false, &count, nullptr);
    EXPECT_EQ(count, 1u);
}

TEST(HitRecords, RandomBuffersMatchTheModel) {
    std::mt19937 rng(20261211);
    for (int run = 0; run < 2000; ++run) {
        std::vector<Record> records(rng() % 12);
        for (Record& r : records) {
            // Few names and depths, so repeats and ties are common.
            r.minDepth = rng() % 5;
            r.maxDepth = r.minDepth + rng() % 5;
            unsigned n = rng() % 4 == 0 ? rng() % 3 : 1;
            for (unsigned k = 0; k < n; ++k) r.names.push_back(rng() % 4);
        }
        const bool sort = rng() % 2;
        double want = -1, got = -1;
        std::vector<unsigned> expected = model(records, sort, &want);
        std::vector<unsigned> words = layout(records);
        unsigned count = 0;
        compactHits(words.data(), words.size(), int(records.size()), sort, &count, &got);
        SCOPED_TRACE(run);
        ASSERT_EQ(count, expected.size());
        EXPECT_EQ(std::vector<unsigned>(words.begin(), words.begin() + count), expected);
        EXPECT_EQ(got, want);
    }
}
