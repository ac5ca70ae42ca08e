// A hint for big blocks that are written front to back once (mesh and
// CL buffers): with 4 KiB pages a 100 MB block costs some 25,000 page faults,
// which on a virtual machine take longer than reading the file. Huge pages,
// where the system offers them on request, cut that by a factor of 512.
// Only a hint: failure is harmless.
#pragma once

#include <sys/mman.h>

#include <cstdint>

namespace DQ {

inline void preferHugePages(void* block, std::uint64_t size) {
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    if (size < 2 * kHuge) return;
    std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + size) & ~(kHuge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

} // namespace DQ
