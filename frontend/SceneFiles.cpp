// Loading files into the scene, saving it, and opening, restarting and
// closing the session.
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
    const FE::DisplayFlagSnapshot flags = FE::rememberDisplayFlags();
    if (name) dqSaveMCVFile(name);
    // The candidates of a running pick cycle die with the old session, and
    // a running cycle would keep the list below from being refreshed.
    FE::endPickCycle();
    // Every display list of the old scene must go or be rebuilt.
    FE::appendAllTags();
    dqDestroySession();
    dqCreateSession();
    if (name) dqLoadMCVFile(name, nullptr);
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
