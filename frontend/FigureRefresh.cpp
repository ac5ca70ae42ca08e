// Handing the pending display-list names to the scene display. The caller
// has its OpenGL context current.
#include <GL/gl.h>

#include "RefreshList.h"
#include "fendal.h"

FE_API void feRefreshFigure(void) {
    FE::RefreshList& list = FE::refreshList();
    const FE::PickCycle& cycle = FE::pickCycle();
    if (list.count <= 0) return;

    if (cycle.position == -1) {
        // Nothing was picked since the load, so no lists of this context
        // were built from these names yet: dropping them is enough, and the
        // next dqCreateDisplayList compiles what is missing.
        for (int i = 0; i < list.count; ++i) glDeleteLists(list.names[i], 1);
        return;
    }
    if (cycle.position < 0) {
        dqRefreshFigure(static_cast<unsigned>(list.count), list.names);
        return;
    }
    // Cycling: the list holds the candidates; only the highlight of the new
    // and the previous candidate (their pre-draw lists) changed.
    unsigned names[2];
    unsigned n = 0;
    if (cycle.position < list.count) names[n++] = list.names[cycle.position] + 1;
    if (cycle.previous >= 0 && cycle.previous < list.count)
        names[n++] = list.names[cycle.previous] + 1;
    if (n > 0) dqRefreshFigure(n, names);
}
