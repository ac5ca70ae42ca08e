#include "machining/ClTrace.h"

#include "korvex.h"
#include "machining/ClWalk.h"

namespace DQ {

bool stepForward(const ClBuffer& buffer, TraceCursor& cursor) {
    if (cursor.current >= buffer.total()) return false;
    std::uint32_t end = buffer.apply(cursor.current, cursor.currentPose);
    if (!end) return false; // a damaged buffer ends inside a record
    cursor.current = end;
    return true;
}

void replayTo(const ClBuffer& buffer, TraceCursor& cursor, std::uint32_t target) {
    // A fresh cursor keeps the pose of offset 8 beside a base at the end of
    // the path, so a base at the end is never a starting point: it would hand
    // the initial pose to the last offset.
    std::uint32_t offset;
    ClPose pose;
    if (cursor.base <= target && cursor.base < buffer.total()) {
        offset = cursor.base;
        pose = cursor.basePose;
    } else {
        // The initial record sets all nine values, so starting from its pose
        // rather than from zero changes nothing, except that landing on
        // offset 8 itself gives the pose a fresh cursor has there.
        offset = kClFirstRecord;
        pose = initialPose(buffer);
    }
    while (offset < target) {
        std::uint32_t end = buffer.apply(offset, pose);
        if (!end) break;
        offset = end;
    }
    cursor.current = offset;
    cursor.currentPose = pose;
}

namespace {

// Walks n tails back from the current offset and replays once to where
// they lead: the same pose as n single backward steps (decoding only
// assigns values, so the route does not matter) without n replays.
unsigned stepBackward(const ClBuffer& buffer, TraceCursor& cursor, std::uint64_t n) {
    std::uint32_t offset = cursor.current;
    unsigned result = 0;
    for (std::uint64_t i = 0; i < n; ++i) {
        std::int32_t code;
        if (offset <= kClFirstRecord || !buffer.recordBefore(offset, code)) {
            result = 1;
            break;
        }
        offset -= recordBytes(code);
    }
    if (offset != cursor.current) replayTo(buffer, cursor, offset);
    return result;
}

} // namespace

unsigned stepBy(const ClBuffer& buffer, TraceCursor& cursor, std::int64_t n) {
    if (n < 0) return stepBackward(buffer, cursor, std::uint64_t(0) - std::uint64_t(n));
    for (std::int64_t i = 0; i < n; ++i)
        if (!stepForward(buffer, cursor)) return 1;
    return 0;
}

void jumpToRate(const ClBuffer& buffer, TraceCursor& cursor, double rate) {
    double t = double(buffer.total()) * rate + 0.5;
    // Held in floating point before the conversion: a negative, huge or NaN
    // rate must not reach an unsigned cast.
    if (!(t >= kClFirstRecord)) t = kClFirstRecord;
    if (t > buffer.total()) t = buffer.total();
    replayTo(buffer, cursor, static_cast<std::uint32_t>(t));
}

std::int64_t traceStepCount() {
    const unsigned* n = dqGetIntListElem(dqGetParamTag(36), 2);
    return n ? std::int64_t(static_cast<std::int32_t>(*n)) : 10;
}

} // namespace DQ

using namespace DQ;

namespace {

// Loads the cursor, applies the change and stores the copy back, also when
// nothing moved, so that every operation leaves a cursor child behind.
template <class Change> bool withCursor(unsigned tag, Change change) {
    ClBuffer buffer = pathBuffer(tag);
    if (!buffer.valid()) return false;
    TraceCursor cursor = loadCursor(tag, buffer);
    change(buffer, cursor);
    storeCursor(tag, cursor);
    return true;
}

} // namespace

DQ_API void dqStartCLTrace(unsigned int tag) {
    withCursor(tag, [](const ClBuffer& b, TraceCursor& c) {
        c = freshCursor(b);
        c.base = c.current;
        c.basePose = c.currentPose;
    });
}

DQ_API unsigned int dqGoCLNextTrace(unsigned int tag) {
    unsigned result = 1;
    withCursor(tag, [&](const ClBuffer& b, TraceCursor& c) {
        result = stepBy(b, c, traceStepCount());
    });
    return result;
}

DQ_API unsigned int dqGoCLBackTrace(unsigned int tag) {
    unsigned result = 1;
    withCursor(tag, [&](const ClBuffer& b, TraceCursor& c) {
        result = stepBy(b, c, -traceStepCount());
    });
    return result;
}

DQ_API unsigned int dqSetCLTraceRate(unsigned int tag, double rate) {
    bool done = withCursor(tag, [&](const ClBuffer& b, TraceCursor& c) { jumpToRate(b, c, rate); });
    return done ? 0 : 1;
}

DQ_API double dqGetCLTraceRate(unsigned int tag) {
    ClBuffer buffer = pathBuffer(tag);
    const TraceCursor* cursor = buffer.valid() ? findCursor(tag) : nullptr;
    if (!cursor || buffer.total() == 0) return 0.0;
    return double(cursor->current) / double(buffer.total());
}

DQ_API void dqEndCLTrace(unsigned int tag) {
    withCursor(tag, [](const ClBuffer& b, TraceCursor& c) { c = freshCursor(b); });
}

DQ_API void dqCleanCLTrace(unsigned int tag) {
    withCursor(tag, [](const ClBuffer&, TraceCursor& c) {
        c.base = c.current;
        c.basePose = c.currentPose;
    });
}

DQ_API void dqGetCLTracePoint(unsigned int tag, double* point) {
    ClBuffer buffer = pathBuffer(tag);
    if (!point || !buffer.valid()) return;
    ClPose pose = walkClPath(buffer, walkRange(findCursor(tag), buffer), nullptr);
    for (int i = 0; i < 6; ++i) point[i] = pose.v[i];
}
