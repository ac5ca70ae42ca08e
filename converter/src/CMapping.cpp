#include "CMapping.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr off_t kBlockSize = sizeof(double);

}  // namespace

CProgressLock::CProgressLock()
{
    const int fd = shm_open(Name(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    int rc;
    do {
        rc = flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        close(fd);
        return;
    }
    m_fd = fd;
}

CProgressLock::~CProgressLock()
{
    if (m_fd < 0)
        return;
    flock(m_fd, LOCK_UN);
    close(m_fd);
}

CMapping::~CMapping()
{
    Close();
}

std::string CMapping::ShmName(const char* name)
{
    if (name == nullptr || *name == '\0')
        return {};
    std::string shm = name[0] == '/' ? std::string(name) : "/" + std::string(name);
    if (shm.size() < 2 || shm.find('/', 1) != std::string::npos)
        return {};
    return shm;
}

bool CMapping::Open(const char* name)
{
    Close();
    const std::string shm = ShmName(name);
    if (shm.empty())
        return false;
    const int fd = shm_open(shm.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // Whichever side comes first sizes the block; never shrink one that a
    // newer peer made larger.
    struct stat st {};
    if (fstat(fd, &st) != 0 || (st.st_size < kBlockSize && ftruncate(fd, kBlockSize) != 0)) {
        close(fd);
        return false;
    }
    void* view = mmap(nullptr, kBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        close(fd);
        return false;
    }
    m_fd = fd;
    m_view = view;
    return true;
}

void CMapping::Close()
{
    if (m_view != nullptr)
        munmap(m_view, kBlockSize);
    if (m_fd >= 0)
        close(m_fd);
    m_view = nullptr;
    m_fd = -1;
}

bool CMapping::Write(const double* value)
{
    if (m_view == nullptr || value == nullptr)
        return false;
    CProgressLock lock;
    if (!lock.held())
        return false;
    std::memcpy(m_view, value, sizeof(double));
    return true;
}

bool CMapping::Read(double* value)
{
    if (m_view == nullptr || value == nullptr)
        return false;
    CProgressLock lock;
    if (!lock.held())
        return false;
    std::memcpy(value, m_view, sizeof(double));
    return true;
}
