// Picking: the pickable figures drawn in OpenGL selection mode, one name
// each, and the selection buffer turned into their tags.
#include "korvex.h"
#include "machining/Kinematics.h"
#include "shapes/DisplayLists.h"
#include "shapes/FigureData.h"
#include "shapes/HitRecords.h"
#include "shapes/SelectType.h"

#include <GL/gl.h>

#include <cmath>

namespace DQ {
namespace {

// The meaning of the ten option words.
enum Option {
    SortByDepth,
    Deselecting,
    IgnoreRgb,
    IgnoreAlpha,
    NoShapes,
    NoPaths,
    NoOrigins,
    NoCutter,
    NoHolders,
    NoSpindles, // and no shapes mounted on the machine
    OptionCount
};

bool near(float a, float b) { return std::fabs(double(a) - double(b)) < 1e-4; }

bool isCandidate(unsigned tag, const unsigned* options, const float* filter) {
    const float* c = nullptr;
    const unsigned code = colorState(tag, 0, &c);
    if (code == 4 || code == 5) return options[Deselecting] == 1;
    if (isHiddenCode(code) || options[Deselecting] != 0) return false;
    const bool rgb = options[IgnoreRgb] ||
                     (c && filter && near(c[0], filter[0]) && near(c[1], filter[1]) &&
                      near(c[2], filter[2]));
    const bool alpha = options[IgnoreAlpha] || (c && filter && near(c[3], filter[3]));
    return rgb && alpha;
}

bool classPickable(unsigned tag, const unsigned* options) {
    switch (dqGetClass(tag)) {
    case dqCClassStl:
    case dqCClassBlock:
    case dqCClassCone:
    case dqCClassSphere: {
        // A shape riding on the machine belongs with the spindle: both are
        // parts of the machine rather than of the work.
        const bool mounted = childData(tag, dqCClassAxisMount, sizeof(std::uint32_t)) != nullptr;
        if (!options[NoShapes]) return !(options[NoSpindles] && mounted);
        return !options[NoSpindles] && mounted;
    }
    case dqCClassClPath: return !options[NoPaths];
    case dqCClassOrigin: return !options[NoOrigins];
    case dqCClassCutter: return !options[NoCutter];
    case dqCClassHolder: return !options[NoHolders];
    case dqCClassSpindle: return !options[NoSpindles];
    default: return false;
    }
}

} // namespace
} // namespace DQ

using namespace DQ;

DQ_API void dqGetHitNames(unsigned int* options, float* colour, unsigned int* count,
                          unsigned int* buffer, double* depthOut) {
    static const unsigned kNoOptions[OptionCount] = {};
    const unsigned* opt = options ? options : kNoOptions;

    bringListsUpToDate();
    if (unsigned view = viewListName()) glCallList(view);
    glPushMatrix();
    const unsigned highest = dqGetHighestTag();
    for (unsigned t = 2; t < highest; ++t) {
        if (!isFigureClass(dqGetClass(t))) continue;
        if (!isCandidate(t, opt, colour) || !classPickable(t, opt)) continue;
        glLoadName(t);
        glCallList(t);
    }
    glPopMatrix();
    // Hit depths unprojected afterwards land in the work origin's frame.
    double origin[6], pose[6];
    originValues(origin);
    dqGetMachinePos(origin, pose);
    glTranslated(pose[0], pose[1], pose[2]);
    glFlush();
    const GLint h = glRenderMode(GL_RENDER);
    if (h < 0) return; // the selection buffer overflowed
    GLint size = 0;
    glGetIntegerv(GL_SELECTION_BUFFER_SIZE, &size);
    compactHits(buffer, size > 0 ? std::size_t(size) : 0, h, opt[SortByDepth] != 0, count,
                depthOut);
}
