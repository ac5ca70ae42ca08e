#include "machining/ClRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace DQ;

namespace {

TEST(ClRecord, LengthFollowsFromTheMoveCodeAlone) {
    struct Case {
        std::int32_t code;
        std::uint32_t bytes;
    };
    const Case cases[] = {
        {77700, 88}, {40000, 32}, {10001, 24}, {60003, 32}, {70712, 64}, {123, 24},
        {11111, 40}, {44400, 64}, {80000, 16}, {90900, 16}, // digits 8, 9 carry nothing
        {0, 16},     {-40000, 16}, {2147483647, 40},         // damaged codes stay bounded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(recordBytes(c.code), c.bytes);
    }
}

// A record with the given code and values in record order.
std::vector<unsigned char> record(std::int32_t code, std::vector<double> values) {
    std::vector<unsigned char> r(8 * (values.size() + 2), 0);
    std::memcpy(r.data(), &code, 4);
    std::memcpy(r.data() + 8, values.data(), 8 * values.size());
    std::memcpy(r.data() + r.size() - 8, &code, 4);
    return r;
}

TEST(ClRecord, DecodingRule) {
    struct Case {
        const char* what;
        std::int32_t code;
        std::vector<double> values;
        ClPose expect; // from the start X1 Y2 Z3 A4 B5 C6 I7 J8 K9
    };
    const Case cases[] = {
        {"absent centre: previous X, Y; K follows the new Z", 41002, {10, 0, 5},
         {{10, 0, 3, 4, 5, 6, 5, 2, 3}}},
        {"no centre word keeps I, J; K follows Z", 30001, {-1}, {{1, 2, -1, 4, 5, 6, 7, 8, -1}}},
        {"plane 1 sets I to X", 10010, {20}, {{20, 2, 3, 4, 5, 6, 20, 8, 9}}},
        {"plane 2 sets J to Y", 20020, {30}, {{1, 30, 3, 4, 5, 6, 7, 30, 9}}},
        {"digit 6: third before first", 66600, {33, 11, 99, 77, 66, 44},
         {{11, 2, 33, 44, 5, 66, 77, 2, 33}}},
        {"all nine", 77700, {1, 1, 1, 2, 2, 2, 3, 3, 3}, {{1, 1, 1, 3, 3, 3, 2, 2, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClPose pose{{1, 2, 3, 4, 5, 6, 7, 8, 9}};
        std::vector<unsigned char> r = record(c.code, c.values);
        applyRecord(c.code, r.data() + 8, pose);
        for (int i = 0; i < kPoseSize; ++i) EXPECT_EQ(pose.v[i], c.expect.v[i]) << "index " << i;
    }
}

TEST(ClRecord, BufferViewNeverReadsPastTheTotal) {
    std::vector<unsigned char> buf(96 + 32, 0);
    std::uint32_t total = 96 + 32;
    std::memcpy(buf.data(), &total, 4);
    std::int32_t initial = 77700, move = 40000;
    std::memcpy(&buf[8], &initial, 4);
    std::memcpy(&buf[88], &initial, 4);
    std::memcpy(&buf[96], &move, 4);
    std::memcpy(&buf[120], &move, 4);
    std::int32_t code;
    ClBuffer whole(buf.data(), buf.size());
    EXPECT_TRUE(whole.recordAt(96, code));
    EXPECT_TRUE(whole.recordBefore(128, code));
    EXPECT_EQ(code, 40000);
    // Cut short: the second record no longer fits, the first still does.
    ClBuffer cut(buf.data(), 127);
    EXPECT_EQ(cut.total(), 127u);
    EXPECT_FALSE(cut.recordAt(96, code));
    EXPECT_TRUE(cut.recordAt(8, code));
    // A tail naming a record longer than what lies before it is refused.
    std::memcpy(&buf[40], &initial, 4);
    EXPECT_FALSE(whole.recordBefore(48, code));
    EXPECT_FALSE(whole.recordBefore(20, code));
    EXPECT_FALSE(whole.recordAt(4, code));
    EXPECT_FALSE(whole.recordAt(200, code));
}

} // namespace
