#include "ForkedRead.h"

#include <cerrno>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Records sent from the child, each a type byte and a fixed payload.
enum Record : char { kProgress = 'P', kVertex = 'V', kFace = 'F', kEnd = 'E' };
constexpr std::size_t kVertexBytes = 6 * sizeof(double) + 1;
constexpr std::size_t kFaceBytes = 3 * sizeof(std::uint32_t) + 1;

class ChildWriter {
public:
    explicit ChildWriter(int fd) : m_fd(fd) {}

    void Put(const void* p, std::size_t n)
    {
        const char* c = static_cast<const char*>(p);
        m_buf.insert(m_buf.end(), c, c + n);
        if (m_buf.size() >= 1 << 16)
            Flush();
    }

    bool Flush()
    {
        std::size_t done = 0;
        while (done < m_buf.size()) {
            const ssize_t w = write(m_fd, m_buf.data() + done, m_buf.size() - done);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                m_ok = false;
                break;
            }
            done += static_cast<std::size_t>(w);
        }
        m_buf.clear();
        return m_ok;
    }

private:
    int m_fd;
    std::vector<char> m_buf;
    bool m_ok = true;
};

// The child's progress callback has no context argument.
ChildWriter* g_child = nullptr;

bool ChildProgress(int pos, const char*)
{
    const char type = kProgress;
    const std::int32_t p = pos;
    g_child->Put(&type, 1);
    g_child->Put(&p, sizeof p);
    g_child->Flush();  // progress is worth little when it arrives late
    return true;
}

[[noreturn]] void RunChild(int fd, const MeshReader& read, bool withProgress)
{
    ChildWriter out(fd);
    g_child = &out;
    TriMesh m;
    int mask = 0;
    bool ok = false;
    try {
        ok = read(m, mask, withProgress ? ChildProgress : nullptr);
    } catch (...) {
        ok = false;
    }
    if (ok) {
        for (const TriVertex& v : m.vert) {
            const char type = kVertex;
            out.Put(&type, 1);
            out.Put(v.p.data(), 3 * sizeof(double));
            out.Put(v.n.data(), 3 * sizeof(double));
        }
        for (const TriFace& f : m.face) {
            const char type = kFace;
            out.Put(&type, 1);
            out.Put(f.v.data(), 3 * sizeof(std::uint32_t));
        }
        const char type = kEnd;
        const std::int32_t m32 = mask;
        out.Put(&type, 1);
        out.Put(&m32, sizeof m32);
        ok = out.Flush();
    }
    // No destructors or exit handlers: they belong to the parent's state.
    _exit(ok ? 0 : 1);
}

}  // namespace

bool ReadInChild(const MeshReader& read, TriMesh& m, int& mask, CallBackPos cb)
{
    m.Clear();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        close(fds[0]);
        // What the library or the C library say when they crash is not for
        // the converter's stderr, whose messages are fixed.
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0)
            dup2(null, STDERR_FILENO);
        setenv("LIBC_FATAL_STDERR_", "1", 1);
        RunChild(fds[1], read, cb != nullptr);
    }
    close(fds[1]);

    std::vector<char> pending;
    bool ended = false, broken = false;
    int childMask = 0;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t r = ::read(fds[0], chunk, sizeof chunk);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        pending.insert(pending.end(), chunk, chunk + r);
        std::size_t at = 0;
        while (at < pending.size() && !broken) {
            const char type = pending[at];
            const std::size_t need = type == kVertex ? kVertexBytes
                                     : type == kFace ? kFaceBytes
                                     : (type == kProgress || type == kEnd) ? 1 + sizeof(std::int32_t)
                                                                           : 0;
            if (need == 0 || ended) {
                broken = true;  // nothing may follow the end record
                break;
            }
            if (pending.size() - at < need)
                break;
            const char* p = pending.data() + at + 1;
            if (type == kVertex) {
                TriVertex v;
                std::memcpy(v.p.data(), p, 3 * sizeof(double));
                std::memcpy(v.n.data(), p + 3 * sizeof(double), 3 * sizeof(double));
                m.vert.push_back(v);
            } else if (type == kFace) {
                TriFace f;
                std::memcpy(f.v.data(), p, 3 * sizeof(std::uint32_t));
                m.face.push_back(f);
            } else {
                std::int32_t value;
                std::memcpy(&value, p, sizeof value);
                if (type == kProgress) {
                    if (cb)
                        cb(value, "Reading");
                } else {
                    childMask = value;
                    ended = true;
                }
            }
            at += need;
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
        if (broken)
            break;
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const bool ok = ended && !broken && pending.empty() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) {
        m.Clear();
        return false;
    }
    for (const TriFace& f : m.face)
        if (!m.IsValidFace(f)) {
            m.Clear();
            return false;
        }
    mask = childMask;
    return true;
}
