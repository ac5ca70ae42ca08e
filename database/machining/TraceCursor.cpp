#include "machining/TraceCursor.h"

#include "korvex.h"

#include <cstring>

namespace DQ {

TraceCursor freshCursor(const ClBuffer& buffer) {
    TraceCursor c;
    c.current = kClFirstRecord;
    c.base = buffer.total();
    c.currentPose = initialPose(buffer);
    c.basePose = c.currentPose;
    return c;
}

const TraceCursor* findCursor(unsigned pathTag) {
    void* data = nullptr;
    if (!dqGetChild(pathTag, 0, 0, dqCClassTraceCursor, &data) || !data) return nullptr;
    return static_cast<const TraceCursor*>(data);
}

TraceCursor loadCursor(unsigned pathTag, const ClBuffer& buffer) {
    const TraceCursor* stored = findCursor(pathTag);
    if (!stored) return freshCursor(buffer);
    TraceCursor c;
    std::memcpy(&c, stored, sizeof c);
    return c;
}

void storeCursor(unsigned pathTag, const TraceCursor& cursor) {
    dqAllocChild(pathTag, 0, 0, dqCClassTraceCursor, &cursor);
}

ClBuffer pathBuffer(unsigned tag) {
    if (tag == 0 || tag >= dqGetHighestTag() || dqGetClass(tag) != dqCClassClPath)
        return ClBuffer();
    return ClBuffer::fromStore(dqGetData(tag));
}

} // namespace DQ
