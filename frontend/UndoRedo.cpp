// Undo and redo from mark to mark, keeping the display flags the user set
// last and queueing every figure for a rebuild.
#include "DisplayFlags.h"
#include "RefreshList.h"
#include "fendal.h"

namespace {

void goToMark(unsigned mark) {
    if (mark == 0) return;
    const FE::DisplayFlagSnapshot flags = FE::rememberDisplayFlags();
    // The journal puts back select types too, so a running pick cycle's
    // candidates would no longer be what the cycle state points at.
    FE::endPickCycle();
    FE::RefreshList& list = FE::refreshList();
    int touched = 0;
    dqDoToMark(mark, FE::refreshRoom(), &touched, list.names + list.count);
    if (touched > 0) list.count += touched;
    feFreshFigure();
    FE::restoreDisplayFlags(flags);
}

} // namespace

FE_API void feUndo(void) { goToMark(dqGetUndoMark()); }
FE_API void feRedo(void) { goToMark(dqGetRedoMark()); }
FE_API int feGetUndoFlag(void) { return dqGetUndoMark() != 0 ? 1 : 0; }
FE_API int feGetRedoFlag(void) { return dqGetRedoMark() != 0 ? 1 : 0; }
