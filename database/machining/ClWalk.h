// The one walk over a CL buffer: decodes every record from the first to the
// last and reports the pose at the trace position. The trace point uses it
// as it is; the path drawing hooks in what it draws per record through a
// visitor. Nothing here touches OpenGL.
#pragma once

#include "machining/ClRecord.h"
#include "machining/TraceCursor.h"

#include <cstdint>

namespace DQ {

// The records whose end offset lies in [low, high] are "in range": the part
// of the path between the cursor's current and base offsets.
struct ClWalkRange {
    std::uint32_t low = 0;
    std::uint32_t high = 0xFFFFFFFFu;
    // Tracing backward behind the base: the reported pose is that of the
    // first record in range instead of the last.
    bool behindBase = false;
};

// The range of a cursor; the whole path when cursor is null.
ClWalkRange walkRange(const TraceCursor* cursor, const ClBuffer& buffer);

struct ClWalkStep {
    std::uint32_t offset; // where the record starts
    std::uint32_t end;    // the offset just after it
    std::int32_t code;    // its move code
    bool initial;         // the initial record at offset 8
    bool inRange;
    const ClPose& previous; // the pose before the record (angles reduced)
    const ClPose& current;  // the pose after it (angles reduced)
};

class ClWalkVisitor {
public:
    virtual void visit(const ClWalkStep& step) = 0;

protected:
    ~ClWalkVisitor() = default;
};

// Walks the whole buffer, calling visitor (may be null) once per record in
// buffer order. After each record A, B, C of the pose are brought into
// [-360, 360] degrees. Returns the reported pose: the initial pose when no
// record after the initial one is in range, otherwise the end pose of the
// last record in range (of the first when range.behindBase). A buffer that
// ends inside a record is walked up to that record.
ClPose walkClPath(const ClBuffer& buffer, const ClWalkRange& range, ClWalkVisitor* visitor);

// Adds 360 while below -360 and subtracts 360 while above 360, computed
// with fmod so that huge values cannot spin; non-finite values are kept.
double reduceDegrees360(double degrees);

} // namespace DQ
