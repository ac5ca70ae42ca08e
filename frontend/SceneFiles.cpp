// Loading files into the scene, saving it, and opening, restarting and
// closing the session.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "DisplayFlags.h"
#include "FileTypeMatch.h"
#include "RefreshList.h"
#include "fendal.h"

namespace {

int loadSceneFile(const char* name, double* progress) {
    if (dqLoadMCVFile(name, progress) != 0) return -1;
    dqSetMark();
    // A pick cycle's candidates belong to the scene before the merge; end
    // it so the full refresh below is not held back by a running cycle.
    FE::endPickCycle();
    feFreshFigure();
    return 0;
}

// What identifies one version of a file: the scene writer replaces a file
// by renaming a completely written new one over it, so a successful save
// always leaves a different inode (or a file where there was none).
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    long long mtimeNs = 0;
    off_t size = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const char* path) {
    FileStamp stamp;
    struct stat st;
    if (stat(path, &st) != 0) return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    stamp.size = st.st_size;
    return stamp;
}

// dqSaveMCVFile reports nothing; tell a save that happened from one that
// left the old file (or none) in place.
bool saveScene(const char* path) {
    const FileStamp before = stampOf(path);
    dqSaveMCVFile(path);
    const FileStamp after = stampOf(path);
    return after.exists && !(after == before);
}

// A scene file of its own in the temporary folder, named like the
// session's other temporary files; empty when none could be made.
std::string temporarySceneFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/ORXXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0) return {};
    close(fd);
    return path;
}

} // namespace

FE_API int feAddLoadFile(char* name, double* progress) {
    if (!name) return -1;
    if (FE::matchFileName(name, "*.mcv")) return loadSceneFile(name, progress);

    unsigned created = 0;
    if (FE::matchFileName(name, "*.orm")) {
        // A mesh the converter wrote as STL.
        created = dqCreateSTLFromFile(name, progress);
    } else {
        switch (feGetFileType(name)) {
        case dqCFileNc: created = dqCreateCLFromNCFile(name, progress); break;
        case dqCFileStl: created = dqCreateSTLFromFile(name, progress); break;
        default: return -1; // other meshes must go through the converter first
        }
    }
    if (created == 0) return -1;
    dqSetMark();
    FE::endPickCycle();
    FE::appendRefresh(1);
    return 0;
}

FE_API void feSaveMCVFile(char* name) {
    if (name) dqSaveMCVFile(name);
}

FE_API void feClearLoadFile(char* name) {
    // With a name, the scene must survive the restart through a file. When
    // it cannot be written there (a read-only program folder, a full disk),
    // reloading the old file would silently throw the user's scene away, so
    // it goes through a temporary file instead; if even that fails, the
    // session is left as it is.
    std::string reload;
    bool temporary = false;
    if (name) {
        if (saveScene(name)) {
            reload = name;
        } else {
            reload = temporarySceneFile();
            temporary = !reload.empty();
            if (!temporary || !saveScene(reload.c_str())) {
                if (temporary) unlink(reload.c_str());
                return;
            }
        }
    }

    const FE::DisplayFlagSnapshot flags = FE::rememberDisplayFlags();
    // The candidates of a running pick cycle die with the old session, and
    // a running cycle would keep the list below from being refreshed.
    FE::endPickCycle();
    // Every display list of the old scene must go or be rebuilt.
    FE::appendAllTags();
    dqDestroySession();
    dqCreateSession();
    if (name) dqLoadMCVFile(reload.c_str(), nullptr);
    if (temporary) unlink(reload.c_str());
    FE::restoreDisplayFlags(flags);
    dqSetMark();
}

FE_API void feViewStart(char* name) {
    dqCreateSession();
    // A missing or damaged working file leaves the default scene.
    if (name) dqLoadMCVFile(name, nullptr);
    dqSetMark();
}

FE_API void feViewEnd(char* name) {
    if (name) dqSaveMCVFile(name);
    dqDestroySession();
}

FE_API void feSetTitle(const char* title) { dqSetTitle(title); }
FE_API const char* feGetTitle(void) { return dqGetTitle(); }
