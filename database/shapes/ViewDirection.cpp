// Standard view orientations relative to the machine: the model-view matrix
// that looks from the tool's side of the view split, from the base, or from
// the table's side.
#include "korvex.h"
#include "shapes/DisplayLists.h"

#include <GL/gl.h>

using namespace DQ;

DQ_API void dqSetViewDirection(unsigned int direction) {
    bringListsUpToDate();
    const Chain chain = machineChain();
    if (!chain.valid) return;
    const unsigned split = chain.split < chain.count ? chain.split : chain.count;
    switch (direction) {
    case 0:
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (unsigned k = chain.count; k-- > split;) dqDrawAxis(chain.axisTags[k]);
        break;
    case 1:
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        break;
    case 2:
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (unsigned k = 0; k < split; ++k) dqDrawRevAxis(chain.axisTags[k]);
        break;
    case 3:
        for (unsigned k = split; k < chain.count; ++k) dqDrawRevAxis(chain.axisTags[k]);
        break;
    default: break;
    }
}
