// Scene files: a version word, then one group per object (its element
// record and the records of its list-0 children), up to the end of the file.
#include "korvex.h"
#include "store/ClassSize.h"
#include "store/Session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace DQ {
namespace {

constexpr std::uint32_t kVersion = 1;
constexpr unsigned kMaxCountedClasses = 1024;

bool isGroupClass(unsigned cls) {
    return cls == dqCClassRoot || cls == dqCClassStl || (cls >= dqCClassOrigin && cls <= dqCClassSpindle);
}

bool isModelClass(unsigned cls) {
    return cls == dqCClassStl || cls == dqCClassBlock || cls == dqCClassCone || cls == dqCClassSphere;
}

// A model is mounted on the machine when it has an axis-mount child with data.
bool isMounted(const Session& s, unsigned tag) {
    if (!isModelClass(s.classOf(tag))) return false;
    void* mount = nullptr;
    return s.findChild(tag, 0, 0, dqCClassAxisMount, &mount) && mount;
}

void store(double* progress, double value) {
    if (progress) std::atomic_ref<double>(*progress).store(value, std::memory_order_relaxed);
}

// Writes the groups into an open stream; false on any write error.
bool writeGroups(const Session& s, unsigned count, const unsigned* tags, std::FILE* f) {
    if (std::fwrite(&kVersion, 4, 1, f) != 1) return false;
    for (unsigned i = 0; i < count; ++i) {
        unsigned tag = tags[i];
        if (!s.valid(tag) || !isGroupClass(s.classOf(tag))) continue;
        s.elementOf(tag).write(f);
        unsigned it;
        unsigned steps = 0;
        for (unsigned c = s.firstChild(tag, 0, &it); c && steps++ <= s.count(); c = s.nextChild(&it))
            s.elementOf(c).write(f);
    }
    return !std::ferror(f);
}

struct ClassCounter {
    unsigned cls;
    unsigned next;
};

// A stored list shorter than the session's keeps its stored values and takes
// the session's for the entries it lacks.
void* mergeList(const Session& s, unsigned existing, unsigned cls, void* record) {
    if (!existing || !record) return record;
    void* present = s.dataOf(existing);
    unsigned have = classSize(cls, present), got = classSize(cls, record);
    if (!present || have <= got) return record;
    auto* merged = static_cast<char*>(dqCreateData(present, have));
    if (!merged) return record;
    std::memcpy(merged, record, got);
    std::memcpy(merged, present, 4); // the present count
    return merged;
}

} // namespace
} // namespace DQ

using DQ::Session;

DQ_API void dqSaveMCVFile(const char* path) {
    Session& s = DQ::session();
    std::vector<unsigned> tags = {0};
    for (int param : {7, 22, 24, 39})
        if (unsigned t = dqGetParamTag(param)) tags.push_back(t);
    for (unsigned t = 0; t < s.count(); ++t)
        if (DQ::isMounted(s, t)) tags.push_back(t);
    dqSaveTagsMCVFile(static_cast<unsigned>(tags.size()), tags.data(), path);
}

DQ_API void dqSaveTagsMCVFile(unsigned int count, const unsigned int* tags, const char* path) {
    if (!path || !*path || (count && !tags)) return;
    // The scene is written to a new file beside the target and renamed over
    // it only when complete and on disk, so a failed or interrupted save
    // never leaves a half-written scene where a good one was.
    std::string temp = std::string(path) + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return;
    struct stat old;
    fchmod(fd, stat(path, &old) == 0 ? (old.st_mode & 07777) : 0644);
    std::FILE* f = fdopen(fd, "w+b");
    if (!f) {
        close(fd);
        unlink(temp.c_str());
        return;
    }
    bool ok = DQ::writeGroups(DQ::session(), count, tags, f);
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path) != 0) unlink(temp.c_str());
}

DQ_API int dqLoadMCVFile(const char* path, double* progress) {
    DQ::store(progress, 0.0);
    Session& s = DQ::session();
    struct stat st;
    if (!path || !s.hasTable() || stat(path, &st) != 0 || st.st_size < 1) return 1;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return 1;
    std::uint32_t version;
    if (std::fread(&version, 4, 1, f) != 1 || version != DQ::kVersion) {
        std::fclose(f);
        return 1;
    }
    const double size = static_cast<double>(st.st_size);
    double consumed = 4;

    // The scene's mounted models are replaced by the file's.
    for (unsigned t = 0; t < s.count(); ++t)
        if (DQ::isMounted(s, t)) s.deleteTag(t);

    // 0 means "no parent": children of a group whose standard element is
    // missing are dropped rather than hung on the root.
    unsigned parent = 0;
    bool haveParent = true;
    std::vector<DQ::ClassCounter> counters;
    counters.reserve(DQ::kMaxCountedClasses);
    for (;;) {
        DQ::Element record;
        long n = record.read(f);
        if (n < 0) break;
        consumed += static_cast<double>(n);
        DQ::store(progress, consumed / size);
        unsigned cls = record.getClass();
        if (cls == dqCClassRoot) {
            parent = 0;
            haveParent = true;
            s.setElement(0, record);
            counters.clear();
        } else if (DQ::isModelClass(cls)) {
            unsigned tag = s.newTag(0);
            haveParent = tag != 0;
            if (!tag) continue;
            s.setElement(tag, record);
            unsigned head = s.newTag(0);
            if (head) {
                DQ::Element h(dqCClassChildHead, dqCreateData(&tag, 4));
                s.setElement(head, h);
            }
            parent = tag;
            counters.clear();
        } else if (cls >= dqCClassOrigin && cls <= dqCClassSpindle) {
            static constexpr int kParam[] = {0, 0, 7, 22, 24, 0, 0, 0, 39};
            parent = dqGetParamTag(kParam[cls]);
            haveParent = parent != 0;
            if (haveParent) s.setElement(parent, record);
            counters.clear();
        } else {
            // Store-internal records (heads, journal records, marks) never
            // belong in a child list; a file that has them is damaged.
            if (!haveParent || (cls >= 2000 && cls != dqCClassEmpty)) continue;
            auto it = std::find_if(counters.begin(), counters.end(),
                                   [&](const DQ::ClassCounter& c) { return c.cls == cls; });
            if (it == counters.end()) {
                if (counters.size() >= DQ::kMaxCountedClasses) continue;
                counters.push_back({cls, 0});
                it = counters.end() - 1;
            }
            unsigned k = it->next++;
            void* data = record.getData();
            if (cls == dqCClassIntList || cls == dqCClassRealList || cls == dqCClassColorList)
                data = DQ::mergeList(s, s.findChild(parent, 0, k, cls, nullptr), cls, data);
            s.putChild(parent, 0, k, cls, data, false);
        }
    }
    std::fclose(f);
    DQ::store(progress, 1.0);
    return 0;
}
