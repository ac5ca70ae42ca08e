#pragma once
// The progress block that the converter shares with the viewer: a POSIX
// shared-memory object of 8 bytes holding one double, the fraction of the
// conversion done. Every access to it, by either process, happens under the
// cross-process lock "Orvane".
//
// The lock is an flock on the shared-memory object "/Orvane". The kernel
// drops an flock when its holder dies, so a converter or viewer killed while
// holding it cannot leave the other side waiting forever. The file stays in
// place; nobody removes it, so every process always locks the same object.
//
// This file pair uses only POSIX so that the viewer can build it too.

#include <string>

// Scoped exclusive hold of the lock "Orvane" (created when missing). The
// wait has no time limit; held() is false when the lock could not be opened
// or waited for, and then the caller must not touch the block.
class CProgressLock {
public:
    CProgressLock();
    ~CProgressLock();
    CProgressLock(const CProgressLock&) = delete;
    CProgressLock& operator=(const CProgressLock&) = delete;

    bool held() const { return m_fd >= 0; }

    // The shared-memory name of the lock.
    static const char* Name() { return "/Orvane"; }

private:
    int m_fd = -1;
};

class CMapping {
public:
    CMapping() = default;
    ~CMapping();
    CMapping(const CMapping&) = delete;
    CMapping& operator=(const CMapping&) = delete;

    // Closes any previous block, then creates or opens the block `name`
    // ("Orvan<pid>"; a leading '/' is added for the shared-memory name) with
    // a size of 8 bytes and maps it read-write. Returns whether a view was
    // obtained; on failure nothing stays open. The block is not removed by
    // Close: the process that owns the name (the viewer) unlinks it.
    bool Open(const char* name);

    // Unmaps the view and closes the handle; harmless when nothing is open.
    void Close();

    bool IsOpen() const { return m_view != nullptr; }

    // Copies *value into the block under the lock. False when no view is
    // open or the lock could not be taken; then nothing is written.
    bool Write(const double* value);

    // Copies the block into *value under the lock, with the same failures.
    bool Read(double* value);

    // The shared-memory name used for `name`, or empty when the name cannot
    // be one (empty, or a '/' after the first character).
    static std::string ShmName(const char* name);

private:
    int m_fd = -1;
    void* m_view = nullptr;
};
