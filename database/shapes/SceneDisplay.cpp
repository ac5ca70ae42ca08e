// Building and refreshing the scene's display lists (naming in
// DisplayLists.h).
#include "korvex.h"
#include "shapes/DisplayLists.h"
#include "shapes/SelectType.h"
#include "store/Session.h"

#include <GL/gl.h>

using namespace DQ;

DQ_API unsigned int dqCreateDisplayList(void) {
    bringListsUpToDate();
    return 1;
}

DQ_API void dqRefreshFigure(unsigned int count, unsigned int* names) {
    if (!names) return;
    session().drawingContext.SetMode(gqCOpenGL::Draw);
    const unsigned highest = dqGetHighestTag();
    bool axisChanged = false;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned name = names[i];
        if (name) glDeleteLists(name, 1);
        if (name >= highest) {
            glDeleteLists(kSceneList, 1);
        } else if (dqGetClass(name) == dqCClassChildHead) {
            // Only a figure's own head holds a pre-draw list; the root's
            // head is list 1 itself, deleted above.
            if (name > 0 && isFigureClass(dqGetClass(name - 1))) compilePreDrawList(name - 1);
        } else if (isFigureClass(dqGetClass(name))) {
            compileGeometryList(name);
        } else if (isMachineAxis(name)) {
            compileAxisList(name);
            axisChanged = true;
        } else if (name == machineListName() || name == viewListName()) {
            if (name == machineListName()) compileMachineList();
            if (name == viewListName()) compileViewList();
        } else {
            glDeleteLists(kSceneList, 1);
        }
    }
    if (axisChanged) {
        compileMachineList();
        compileViewList();
    }
}
