#include "machining/InterferenceModel.h"

#include "korvex.h"
#include "machining/MachineTable.h"
#include "shapes/FigureData.h"
#include "store/Session.h"

#include <GL/gl.h>

#include <cstring>

namespace DQ {

namespace {

// The matrices the machine lists of one state give: the base frame seen
// from the tool frame (the tool-view list), and for each mount level m that
// view followed by the machine list and the axes of chain positions n - 1
// down to m. They are made by issuing the very transformations those lists
// hold on the caller's matrix and reading the result back, so each figure
// starts from exactly the matrix a list call would have left.
struct StateMatrices {
    double view[16];
    double mounted[7][16]; // index m = 0..n; n means no axis of the chain
    unsigned chain = 0;
    bool hasMachine = false;
};

unsigned axisTagAt(unsigned index) { return index < 6 ? dqGetParamTag(25 + int(index)) : 0; }

StateMatrices stateMatrices() {
    StateMatrices s;
    const auto* machine =
        static_cast<const MachineRecord*>(payload(dqGetParamTag(33), sizeof(MachineRecord)));
    unsigned order[6] = {};
    if (machine) {
        s.hasMachine = true;
        s.chain = machine->count > 6 ? 6 : machine->count;
        for (unsigned k = 0; k < s.chain; ++k) order[k] = machine->order[k];
    }
    glPushMatrix();
    for (unsigned k = 0; k < s.chain; ++k) dqDrawRevAxis(axisTagAt(order[k]));
    for (unsigned k = 0; k < s.chain; ++k) dqDrawTranslateAxis(axisTagAt(order[k]));
    glGetDoublev(GL_MODELVIEW_MATRIX, s.view);
    for (unsigned k = 0; k < s.chain; ++k) dqDrawTranslateRevAxis(axisTagAt(order[k]));
    glGetDoublev(GL_MODELVIEW_MATRIX, s.mounted[s.chain]);
    for (unsigned k = s.chain; k-- > 0;) {
        dqDrawAxis(axisTagAt(order[k]));
        glGetDoublev(GL_MODELVIEW_MATRIX, s.mounted[k]);
    }
    glPopMatrix();
    return s;
}

StateMatrices stateAt(const double* values) {
    for (unsigned i = 0; i < 6; ++i) dqSetMachAxisValue(i, values[i]);
    return stateMatrices();
}

const double* figureMatrix(const StateMatrices& s, unsigned tag) {
    const auto* mount = static_cast<const unsigned*>(childData(tag, dqCClassAxisMount, 4));
    if (!mount || !s.hasMachine) return s.view;
    return s.mounted[*mount < s.chain ? *mount : s.chain];
}

using DrawOperation = void (*)(unsigned, unsigned, gqCOpenGL&);

DrawOperation modelDraw(unsigned cls) {
    switch (cls) {
    case dqCClassStl: return dqDrawSTL;
    case dqCClassBlock: return dqDrawBlock;
    case dqCClassCone: return dqDrawCone;
    case dqCClassSphere: return dqDrawSphere;
    default: return nullptr;
    }
}

} // namespace

bool shownInScene(unsigned tag) {
    const unsigned code = dqGetSelectType(tag, nullptr);
    return code != 0 && code != 1;
}

void createInterferenceModel(const double* from, const double* to) {
    if (!from || !to) return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    const StateMatrices before = stateAt(from);
    const StateMatrices after = stateAt(to);

    gqCOpenGL& gl = session().drawingContext;
    const unsigned previousMode = gl.mode;
    gl.SetMode(gqCOpenGL::Sweep);
    const unsigned highest = dqGetHighestTag();
    for (unsigned tag = 1; tag < highest; ++tag) {
        const DrawOperation draw = modelDraw(dqGetClass(tag));
        if (!draw || !shownInScene(tag)) continue;
        std::memcpy(gl.referenceMatrix, figureMatrix(before, tag), sizeof gl.referenceMatrix);
        glPushMatrix();
        glLoadMatrixd(figureMatrix(after, tag));
        draw(tag, 0, gl);
        glPopMatrix();
    }
    // The session's context serves the display lists too; leave it as the
    // caller had it.
    gl.SetMode(previousMode);
}

} // namespace DQ
