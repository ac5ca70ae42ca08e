// The CL buffer: a length-prefixed run of move records that can be walked in
// both directions. Its layout is stored unchanged in the undo journal file, so
// everything here is a file format (little-endian, 8-byte slots):
//
//   offset 0   u32 total length of the buffer in bytes, header included
//   offset 4   u32 reserved, written as 0
//   offset 8   the initial record (move code 77700, nine values)
//   offset 96  one move record per block that carried an axis word
//
// A move record is a head slot (i32 move code, 4 zero bytes), one double per
// coordinate present, and a tail slot repeating the head. The head lets a
// reader walk forward, the tail backward.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace DQ {

static_assert(std::endian::native == std::endian::little,
              "the CL buffer is stored little-endian and read in place");

constexpr std::uint32_t kClFirstRecord = 8;    // offset of the initial record
constexpr std::uint32_t kClInitialCode = 77700; // X, Y, Z, I, J, K, A, B, C
constexpr std::uint32_t kClInitialBytes = 88;
constexpr std::uint32_t kClFirstMove = kClFirstRecord + kClInitialBytes;

// Indices into a pose state: the order of the decoding rule.
enum PoseIndex { kX, kY, kZ, kA, kB, kC, kI, kJ, kK, kPoseSize };

struct ClPose {
    double v[kPoseSize] = {};
};

// The five decimal digits of a move code. Digits of codes read from a
// damaged buffer may lie outside 0..9 (or be negative); every consumer treats
// a group digit outside 1..7 as "no coordinates".
struct MoveCode {
    int xyz, ijk, abc, plane, motion;
};

MoveCode splitMoveCode(std::int32_t code);
std::int32_t joinMoveCode(int xyz, int ijk, int abc, int plane, int motion);

// The group digit for three presence flags as a 3-bit mask: bit 0 first,
// bit 1 second, bit 2 third.
inline int groupDigitOfMask(unsigned mask) {
    constexpr int kDigit[8] = {0, 1, 2, 4, 3, 6, 5, 7};
    return kDigit[mask & 7];
}
// How many values a group digit carries (0..3).
int groupValueCount(int digit);
// The coordinates of a group digit in value order, as 0, 1, 2 for first,
// second, third; returns how many were written.
int groupOrder(int digit, int order[3]);

// Length in slots (values + 2) and in bytes of a record with this code.
std::uint32_t recordSlots(std::int32_t code);
inline std::uint32_t recordBytes(std::int32_t code) { return 8 * recordSlots(code); }

// Applies a record to a pose state by the decoding rule: present X, Y, Z, A,
// B, C are written; with an IJK digit other than 0 the present centre values
// are written and the absent ones set to the X, Y, Z before the record; then
// the centre component along the plane normal follows the new end point.
// values points at the record's first value slot.
void applyRecord(std::int32_t code, const unsigned char* values, ClPose& pose);

// A read-only view of a CL buffer that never reads past its total length,
// so a damaged buffer from the journal file walks short instead of out of
// bounds.
class ClBuffer {
public:
    ClBuffer() = default;
    // data holds at least `size` readable bytes; total is taken from the
    // first word but never beyond size.
    ClBuffer(const void* data, std::size_t size);
    // A buffer held by the store: its first word is its size by definition.
    static ClBuffer fromStore(const void* data);

    bool valid() const { return data_ != nullptr; }
    std::uint32_t total() const { return total_; }
    const unsigned char* bytes() const { return data_; }

    // The move code of the record starting at offset, when a whole record of
    // that code fits before the end; false otherwise.
    bool recordAt(std::uint32_t offset, std::int32_t& code) const;
    // The move code in the tail slot just before end, when the record it
    // names fits at or after the first record; false otherwise.
    bool recordBefore(std::uint32_t end, std::int32_t& code) const;
    // Decodes the record at offset onto pose; returns its end offset, or 0
    // when no whole record lies there.
    std::uint32_t apply(std::uint32_t offset, ClPose& pose) const;

private:
    const unsigned char* data_ = nullptr;
    std::uint32_t total_ = 0;
};

// The pose after the initial record applied to an all-zero state.
ClPose initialPose(const ClBuffer& buffer);

inline std::int32_t loadI32(const unsigned char* p) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline double loadF64(const unsigned char* p) {
    double v;
    std::memcpy(&v, p, 8);
    return v;
}

} // namespace DQ
