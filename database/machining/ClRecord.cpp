#include "machining/ClRecord.h"

namespace DQ {
namespace {

// Digit 6 lists the third coordinate before the first (Z before X, K
// before I, C before A).
constexpr int kOrder[8][3] = {
    {}, {0}, {1}, {2}, {0, 1}, {1, 2}, {2, 0}, {0, 1, 2},
};
constexpr int kCount[8] = {0, 1, 1, 1, 2, 2, 2, 3};

} // namespace

MoveCode splitMoveCode(std::int32_t code) {
    return MoveCode{code / 10000, code / 1000 % 10, code / 100 % 10, code / 10 % 10, code % 10};
}

std::int32_t joinMoveCode(int xyz, int ijk, int abc, int plane, int motion) {
    return xyz * 10000 + ijk * 1000 + abc * 100 + plane * 10 + motion;
}

int groupValueCount(int digit) { return digit >= 1 && digit <= 7 ? kCount[digit] : 0; }

int groupOrder(int digit, int order[3]) {
    int n = groupValueCount(digit);
    for (int i = 0; i < n; ++i) order[i] = kOrder[digit][i];
    return n;
}

std::uint32_t recordSlots(std::int32_t code) {
    MoveCode m = splitMoveCode(code);
    return 2 + groupValueCount(m.xyz) + groupValueCount(m.ijk) + groupValueCount(m.abc);
}

void applyRecord(std::int32_t code, const unsigned char* values, ClPose& pose) {
    MoveCode m = splitMoveCode(code);
    const double before[3] = {pose.v[kX], pose.v[kY], pose.v[kZ]};
    int order[3];

    int n = groupOrder(m.xyz, order);
    for (int i = 0; i < n; ++i, values += 8) pose.v[kX + order[i]] = loadF64(values);

    n = groupOrder(m.ijk, order);
    if (m.ijk != 0) {
        // Centre words are optional per axis: an absent one means the arc's
        // start point on that axis, as with I/J/K on the controls.
        for (int axis = 0; axis < 3; ++axis) pose.v[kI + axis] = before[axis];
        for (int i = 0; i < n; ++i, values += 8) pose.v[kI + order[i]] = loadF64(values);
    }

    n = groupOrder(m.abc, order);
    for (int i = 0; i < n; ++i, values += 8) pose.v[kA + order[i]] = loadF64(values);

    // The centre lies in the plane of the end point, so a helix keeps its
    // axis parallel to the plane normal.
    if (m.plane == 1)
        pose.v[kI] = pose.v[kX];
    else if (m.plane == 2)
        pose.v[kJ] = pose.v[kY];
    else
        pose.v[kK] = pose.v[kZ];
}

ClBuffer::ClBuffer(const void* data, std::size_t size) {
    if (!data || size < 4) return;
    data_ = static_cast<const unsigned char*>(data);
    std::uint32_t total;
    std::memcpy(&total, data_, 4);
    total_ = total < size ? total : static_cast<std::uint32_t>(size);
}

ClBuffer ClBuffer::fromStore(const void* data) {
    if (!data) return ClBuffer();
    std::uint32_t total;
    std::memcpy(&total, data, 4);
    return ClBuffer(data, total);
}

bool ClBuffer::recordAt(std::uint32_t offset, std::int32_t& code) const {
    if (!data_ || offset < kClFirstRecord || offset > total_ || total_ - offset < 16) return false;
    code = loadI32(data_ + offset);
    return recordBytes(code) <= total_ - offset;
}

bool ClBuffer::recordBefore(std::uint32_t end, std::int32_t& code) const {
    if (!data_ || end > total_ || end < kClFirstRecord + 16) return false;
    code = loadI32(data_ + end - 8);
    return recordBytes(code) <= end - kClFirstRecord;
}

std::uint32_t ClBuffer::apply(std::uint32_t offset, ClPose& pose) const {
    std::int32_t code;
    if (!recordAt(offset, code)) return 0;
    applyRecord(code, data_ + offset + 8, pose);
    return offset + recordBytes(code);
}

ClPose initialPose(const ClBuffer& buffer) {
    ClPose pose;
    buffer.apply(kClFirstRecord, pose);
    return pose;
}

} // namespace DQ
