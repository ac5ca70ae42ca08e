#include "machining/ClWalk.h"

#include <cmath>

namespace DQ {

double reduceDegrees360(double d) {
    if (!std::isfinite(d) || (d >= -360.0 && d <= 360.0)) return d;
    // The loop stops at the first value inside the range, which is in
    // (0, 360] coming from above and [-360, 0) coming from below.
    double r = std::fmod(d, 360.0); // exact, with the sign of d
    if (d > 0) return r == 0.0 ? 360.0 : r;
    return r == 0.0 ? -360.0 : r;
}

ClWalkRange walkRange(const TraceCursor* cursor, const ClBuffer& buffer) {
    ClWalkRange r;
    if (!cursor) {
        r.low = 0;
        r.high = buffer.total();
        return r;
    }
    r.low = cursor->current < cursor->base ? cursor->current : cursor->base;
    r.high = cursor->current < cursor->base ? cursor->base : cursor->current;
    r.behindBase = cursor->current < cursor->base;
    return r;
}

ClPose walkClPath(const ClBuffer& buffer, const ClWalkRange& range, ClWalkVisitor* visitor) {
    ClPose previous, current;
    ClPose reported;
    bool reportedSet = false;

    std::uint32_t offset = kClFirstRecord;
    std::int32_t code;
    bool initial = true;
    while (buffer.recordAt(offset, code)) {
        std::uint32_t end = offset + recordBytes(code);
        applyRecord(code, buffer.bytes() + offset + 8, current);
        current.v[kA] = reduceDegrees360(current.v[kA]);
        current.v[kB] = reduceDegrees360(current.v[kB]);
        current.v[kC] = reduceDegrees360(current.v[kC]);
        bool inRange = end >= range.low && end <= range.high;

        if (initial) {
            reported = current;
        } else if (inRange && (!range.behindBase || !reportedSet)) {
            reported = current;
            reportedSet = true;
        }
        if (visitor) visitor->visit(ClWalkStep{offset, end, code, initial, inRange, previous, current});
        previous = current;
        offset = end;
        initial = false;
    }
    return reported;
}

} // namespace DQ
