#include "NcTestSupport.h"

#include "machining/ClRecord.h"
#include "machining/ClWalk.h"
#include "machining/TraceCursor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace DQ;

namespace {

// What a trace should see, computed straight from the records: the record
// boundaries b[0] = 8, b[1] = 96, ..., b[n] = total, and the pose at each
// (pose[0] is the initial record's, as in a fresh cursor).
struct Model {
    std::vector<std::uint32_t> b;
    std::vector<ClPose> pose;

    explicit Model(unsigned tag) {
        ClBuffer buffer = ClBuffer::fromStore(dqGetData(tag));
        ClPose p;
        std::uint32_t at = kClFirstRecord;
        b.push_back(at);
        while ((at = buffer.apply(at, p)) != 0) {
            b.push_back(at);
            pose.push_back(p);
        }
        pose.insert(pose.begin(), pose.front());
    }
    std::size_t indexOf(std::uint32_t offset) const {
        for (std::size_t k = 0; k < b.size(); ++k)
            if (b[k] == offset) return k;
        ADD_FAILURE() << offset << " is not a record boundary";
        return 0;
    }
    // The trace point rule, from the boundary indices of current and base.
    std::vector<double> point(std::size_t cur, std::size_t base) const {
        std::size_t low = std::min(cur, base), high = std::max(cur, base);
        // Record j (from 1) ends at b[j + 1]; it is in range when that lies in [low, high].
        std::size_t pick = 1; // the initial record's pose
        for (std::size_t j = 1; j + 1 < b.size(); ++j) {
            if (j + 1 < low || j + 1 > high) continue;
            pick = j + 1;
            if (cur < base) break; // first in range when behind the base
        }
        std::vector<double> out(pose[pick].v, pose[pick].v + 6);
        for (int i = 3; i < 6; ++i) out[i] = reduceDegrees360(out[i]);
        return out;
    }
};

std::vector<double> tracePoint(unsigned tag) {
    std::vector<double> p(6, -12345.0);
    dqGetCLTracePoint(tag, p.data());
    return p;
}

const TraceCursor& cursorOf(unsigned tag) {
    const TraceCursor* c = findCursor(tag);
    EXPECT_NE(c, nullptr);
    static TraceCursor none;
    return c ? *c : none;
}

void setStepCount(int n) { dqSetIntListElem(dqGetParamTag(36), 2, static_cast<unsigned>(n)); }

class ClTrace : public nctest::SessionTest {
protected:
    // Twenty linear moves along X: record k (from 1) ends at X = k.
    unsigned straight() {
        std::string program = "G90 G01\n";
        for (int k = 1; k <= 20; ++k) program += "X" + std::to_string(k) + ".\n";
        return load(program);
    }
};

TEST_F(ClTrace, StartShowsNothingAndStandsAtTheStartPose) {
    unsigned tag = straight();
    double total = double(Model(tag).b.back());
    // A loaded path is idle: the whole path is drawn, and with the cursor at
    // 8 before its base at the end, the point is the first move's end.
    EXPECT_EQ(tracePoint(tag), (std::vector<double>{1, 0, 100, 0, 0, 0}));
    dqStartCLTrace(tag);
    EXPECT_DOUBLE_EQ(dqGetCLTraceRate(tag), 8 / total);
    EXPECT_EQ(tracePoint(tag), (std::vector<double>{0, 0, 100, 0, 0, 0}));
}

TEST_F(ClTrace, StepsByTheStepCount) {
    unsigned tag = straight();
    Model m(tag);
    dqStartCLTrace(tag);
    // The first step re-applies the initial record: ten steps reach X = 9.
    EXPECT_EQ(dqGoCLNextTrace(tag), 0u);
    EXPECT_EQ(cursorOf(tag).current, m.b[10]);
    EXPECT_EQ(tracePoint(tag)[0], 9.0);

    setStepCount(-3);
    EXPECT_EQ(dqGoCLNextTrace(tag), 0u);
    EXPECT_EQ(cursorOf(tag).current, m.b[7]);
    EXPECT_EQ(dqGoCLBackTrace(tag), 0u); // backward of a negative count is forward
    EXPECT_EQ(cursorOf(tag).current, m.b[10]);

    setStepCount(0);
    EXPECT_EQ(dqGoCLNextTrace(tag), 0u);
    EXPECT_EQ(dqGoCLBackTrace(tag), 0u);
    EXPECT_EQ(cursorOf(tag).current, m.b[10]);

    // Three records are left before the end: the move is kept and fails.
    setStepCount(10);
    EXPECT_EQ(dqGoCLNextTrace(tag), 0u);
    EXPECT_EQ(dqGoCLNextTrace(tag), 1u);
    EXPECT_EQ(cursorOf(tag).current, m.b.back());
    EXPECT_EQ(dqGetCLTraceRate(tag), 1.0);
    EXPECT_EQ(dqGoCLNextTrace(tag), 1u);
    EXPECT_EQ(cursorOf(tag).current, m.b.back());

    setStepCount(1000);
    EXPECT_EQ(dqGoCLBackTrace(tag), 1u);
    EXPECT_EQ(cursorOf(tag).current, 8u);
    EXPECT_EQ(dqGoCLBackTrace(tag), 1u);
    EXPECT_EQ(cursorOf(tag).current, 8u);
    EXPECT_EQ(std::memcmp(&cursorOf(tag).currentPose, &m.pose[0], sizeof(ClPose)), 0);
}

TEST_F(ClTrace, RateJumpsLandOnBoundaries) {
    unsigned tag = straight();
    Model m(tag);
    dqStartCLTrace(tag);
    const double total = m.b.back();
    struct Case {
        double rate;
        std::uint32_t expect;
    };
    const Case cases[] = {
        {1.0, m.b.back()}, {0.0, 8}, {2.0, m.b.back()}, {-0.00001, 8},
        {std::nan(""), 8}, {-1e300, 8}, {1e300, m.b.back()},
        {(m.b[5] + 1) / total, m.b[6]}, // just past a boundary: the next one
        {m.b[5] / total, m.b[5]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        EXPECT_EQ(dqSetCLTraceRate(tag, c.rate), 0u);
        EXPECT_EQ(cursorOf(tag).current, c.expect);
        EXPECT_EQ(cursorOf(tag).base, 8u); // the base stays
    }
}

TEST_F(ClTrace, CleanThenStepBackReportsTheFirstRecordOfTheTrail) {
    unsigned tag = straight();
    Model m(tag);
    dqStartCLTrace(tag);
    setStepCount(12);
    dqGoCLNextTrace(tag);
    dqCleanCLTrace(tag);
    EXPECT_EQ(cursorOf(tag).base, m.b[12]);
    EXPECT_EQ(tracePoint(tag)[0], 11.0); // the tool stays where it is
    setStepCount(4);
    dqGoCLBackTrace(tag);
    // The trail runs from b[8] to the cleaned base at b[12]; the point is the
    // end pose of its first record, which is where the cursor stands.
    EXPECT_EQ(cursorOf(tag).current, m.b[8]);
    EXPECT_EQ(tracePoint(tag)[0], 7.0);
    EXPECT_EQ(tracePoint(tag), m.point(8, 12));
}

TEST_F(ClTrace, EndDrawsTheWholePathAgain) {
    unsigned tag = straight();
    double total = Model(tag).b.back();
    dqStartCLTrace(tag);
    dqGoCLNextTrace(tag);
    dqEndCLTrace(tag);
    EXPECT_DOUBLE_EQ(dqGetCLTraceRate(tag), 8 / total);
    EXPECT_EQ(cursorOf(tag).base, std::uint32_t(total));
    EXPECT_EQ(tracePoint(tag)[0], 1.0);
    EXPECT_EQ(tracePoint(tag), Model(tag).point(0, Model(tag).b.size() - 1));
}

TEST_F(ClTrace, PathsKeepTheirOwnCursors) {
    unsigned a = straight(), b = straight();
    dqStartCLTrace(a);
    dqStartCLTrace(b);
    dqGoCLNextTrace(a);
    EXPECT_EQ(tracePoint(a)[0], 9.0);
    EXPECT_EQ(tracePoint(b)[0], 0.0);
    dqEndCLTrace(a);
    EXPECT_EQ(tracePoint(b)[0], 0.0);
    EXPECT_EQ(cursorOf(b).base, 8u);
}

TEST_F(ClTrace, WrongTagsAndMissingCursors) {
    unsigned tag = straight();
    unsigned notPath = dqGetParamTag(37);
    for (unsigned t : {0u, notPath, dqGetHighestTag(), 0xFFFFFFFFu}) {
        SCOPED_TRACE(t);
        EXPECT_EQ(dqGoCLNextTrace(t), 1u);
        EXPECT_EQ(dqGoCLBackTrace(t), 1u);
        EXPECT_EQ(dqSetCLTraceRate(t, 0.5), 1u);
        EXPECT_EQ(dqGetCLTraceRate(t), 0.0);
        EXPECT_EQ(dqGetCLOrigin(t), nullptr);
        EXPECT_EQ(dqGetCLCutterShiftType(t), 0u);
        std::vector<double> p(6, 7.0);
        dqGetCLTracePoint(t, p.data());
        EXPECT_EQ(p, std::vector<double>(6, 7.0));
        dqStartCLTrace(t);
        dqEndCLTrace(t);
        dqCleanCLTrace(t);
    }
    dqGetCLTracePoint(tag, nullptr); // ignored

    // Without a cursor child: rate 0, point at the end, and a step makes one.
    unsigned cursorTag = dqGetChild(tag, 0, 0, dqCClassTraceCursor, nullptr);
    dqDeleteTag(cursorTag); // deleting a child empties it, so the path has no cursor
    ASSERT_EQ(findCursor(tag), nullptr);
    EXPECT_EQ(dqGetCLTraceRate(tag), 0.0);
    EXPECT_EQ(tracePoint(tag)[0], 20.0);
    EXPECT_EQ(dqGoCLNextTrace(tag), 0u);
    ASSERT_NE(findCursor(tag), nullptr);
}

// A random program of the shapes CAM output has, with angles wide enough to
// need reducing.
std::string randomProgram(std::mt19937& rng, int blocks) {
    std::uniform_int_distribution<int> kind(0, 9), coin(0, 1), value(-4000, 4000);
    auto num = [&] { return std::to_string(value(rng) / 10.0); };
    std::string p = "G90 G17\n";
    for (int i = 0; i < blocks; ++i) {
        switch (kind(rng)) {
        case 0: p += "G00 Z" + num() + "\n"; break;
        case 1: p += "G01 X" + num() + " Y" + num() + " F100\n"; break;
        case 2: p += "G02 X" + num() + " I" + num() + "\n"; break;
        case 3: p += "G03 X" + num() + " Y" + num() + " Z" + num() + " J" + num() + " K" + num() + "\n"; break;
        case 4: p += "A" + num() + " C" + num() + "\n"; break;
        case 5: p += std::string(coin(rng) ? "G91" : "G90") + " X" + num() + "\n"; break;
        case 6: p += std::string(coin(rng) ? "G18" : "G19") + " B" + num() + "\n"; break;
        case 7: p += "N" + std::to_string(i) + " M08\n"; break; // no record
        default: p += "X" + num() + " Y" + num() + " Z" + num() + " A" + num() + " B" + num() + "\n"; break;
        }
    }
    return p;
}

TEST_F(ClTrace, RandomTracesFollowTheModel) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 12; ++round) {
        unsigned tag = load(randomProgram(rng, 60));
        ASSERT_NE(tag, 0u);
        Model m(tag);
        const std::size_t last = m.b.size() - 1;
        std::size_t cur = 0, base = last; // a fresh cursor
        auto check = [&](const char* what) {
            SCOPED_TRACE(what);
            const TraceCursor& c = cursorOf(tag);
            ASSERT_EQ(c.current, m.b[cur]);
            ASSERT_EQ(c.base, m.b[base]);
            ASSERT_EQ(std::memcmp(&c.currentPose, &m.pose[cur], sizeof(ClPose)), 0);
            ASSERT_EQ(tracePoint(tag), m.point(cur, base));
        };
        std::uniform_int_distribution<int> op(0, 5), count(-15, 15);
        std::uniform_real_distribution<double> rate(-0.1, 1.1);
        dqStartCLTrace(tag);
        cur = 0;
        base = 0;
        check("start");
        for (int step = 0; step < 80; ++step) {
            switch (op(rng)) {
            case 0:
            case 1: {
                int n = count(rng);
                setStepCount(n);
                unsigned r = dqGoCLNextTrace(tag);
                long want = long(cur) + n;
                unsigned expect = want < 0 || want > long(last) ? 1 : 0;
                cur = std::size_t(std::clamp(want, 0L, long(last)));
                EXPECT_EQ(r, expect);
                check("next");
                break;
            }
            case 2: {
                // Forward n and back n returns to the same offset and pose,
                // whenever the forward steps all succeed.
                int n = std::abs(count(rng));
                if (cur + std::size_t(n) > last) break;
                TraceCursor before = cursorOf(tag);
                setStepCount(n);
                EXPECT_EQ(dqGoCLNextTrace(tag), 0u);
                EXPECT_EQ(dqGoCLBackTrace(tag), 0u);
                const TraceCursor& after = cursorOf(tag);
                EXPECT_EQ(after.current, before.current);
                EXPECT_EQ(std::memcmp(&after.currentPose, &before.currentPose, sizeof(ClPose)), 0);
                check("forth and back");
                break;
            }
            case 3: {
                double r = rate(rng);
                dqSetCLTraceRate(tag, r);
                double target = std::clamp(double(m.b.back()) * r + 0.5, 8.0, double(m.b.back()));
                std::uint32_t t = std::uint32_t(target);
                cur = 0;
                while (m.b[cur] < t) ++cur; // the first boundary at or after the target
                check("rate");
                break;
            }
            case 4:
                dqCleanCLTrace(tag);
                base = cur;
                check("clean");
                break;
            default:
                if (step % 20 == 0) {
                    dqEndCLTrace(tag);
                    cur = 0;
                    base = last;
                    check("end");
                    dqStartCLTrace(tag);
                    base = 0;
                    check("restart");
                }
                break;
            }
        }
    }
}

} // namespace
