// Small helpers shared by the store tests.
#pragma once

#include "korvex.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace storetest {

// A fresh session for every test, destroyed afterwards so no journal file
// is left behind.
struct FreshSession {
    FreshSession() { dqCreateSession(); }
    ~FreshSession() { dqDestroySession(); }
};

template <class T> void* block(const T& value) { return dqCreateData(&value, sizeof value); }

inline std::vector<std::uint8_t> bytesOf(const void* p, std::size_t n) {
    auto* b = static_cast<const std::uint8_t*>(p);
    return {b, b + n};
}

// Appends an object of the given class with its child-list head, as every
// creator of the system does.
inline unsigned addObject(dqCClassEnum cls, void* data) {
    unsigned tag = dqAddData(cls, 0, data);
    dqAddData(dqCClassChildHead, 0, dqCreateData(&tag, 4));
    return tag;
}

} // namespace storetest
