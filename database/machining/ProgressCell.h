// The progress cell of a file load: one double that the reader writes (0,
// the fraction read, 1.0 on success) and the thread that started the load
// reads for display and may set below -1.0 to stop the reading. The public
// interface hands it over as a plain double*, so all access inside the
// library goes through atomic_ref to make the sharing race-free. Relaxed
// order is enough: the cell carries no other data with it.
#pragma once

#include <atomic>

namespace DQ {

constexpr double kProgressStop = -1.0; // a value below this stops the reading

inline void storeProgress(double* cell, double value) {
    if (cell) std::atomic_ref<double>(*cell).store(value, std::memory_order_relaxed);
}

inline double loadProgress(double* cell) {
    return cell ? std::atomic_ref<double>(*cell).load(std::memory_order_relaxed) : 0.0;
}

inline bool stopRequested(double* cell) { return loadProgress(cell) < kProgressStop; }

} // namespace DQ
