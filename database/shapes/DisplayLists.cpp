#include "shapes/DisplayLists.h"

#include "machining/MachineTable.h"
#include "shapes/FigureData.h"
#include "shapes/SelectType.h"
#include "store/Session.h"

#include <GL/gl.h>

#include <cmath>

namespace DQ {
namespace {

// Compiles one list under a tag's name for the duration of its scope.
class ListCompiler {
public:
    explicit ListCompiler(unsigned name) {
        glDeleteLists(name, 1);
        glNewList(name, GL_COMPILE);
    }
    ~ListCompiler() { glEndList(); }
    ListCompiler(const ListCompiler&) = delete;
    ListCompiler& operator=(const ListCompiler&) = delete;
};

bool listExists(unsigned name) { return name && glIsList(name); }

gqCOpenGL& sessionContext() { return session().drawingContext; }

} // namespace

Chain machineChain() {
    Chain chain;
    const Session& s = session();
    if (unsigned splitTag = s.standardTag(Session::SettingsValue)) {
        if (const void* v = payload(splitTag, sizeof(std::uint32_t)))
            chain.split = *static_cast<const std::uint32_t*>(v);
    }
    const auto* record =
        static_cast<const MachineRecord*>(payload(machineListName(), sizeof(MachineRecord)));
    if (!record) return chain;
    chain.valid = true;
    // A count beyond six cannot be stored, but the record may come from a
    // scene file; an index beyond C names no axis.
    chain.count = record->count < 6 ? record->count : 6;
    for (unsigned k = 0; k < chain.count; ++k)
        chain.axisTags[k] = record->order[k] < 6 ? axisListName(record->order[k]) : 0;
    return chain;
}

unsigned machineListName() { return session().standardTag(Session::Machine); }
unsigned viewListName() { return session().standardTag(Session::SettingsValue); }

unsigned axisListName(unsigned axis) {
    return axis < 6 ? session().standardTag(static_cast<Session::StandardTag>(Session::AxisX + axis))
                    : 0;
}

bool isMachineAxis(unsigned tag) {
    if (!tag) return false;
    for (unsigned i = 0; i < 6; ++i)
        if (axisListName(i) == tag) return true;
    return false;
}

unsigned preListOf(unsigned figure) {
    unsigned head = figure + 1;
    return head < dqGetHighestTag() && dqGetClass(head) == dqCClassChildHead ? head : 0;
}

void drawFigure(unsigned figure, unsigned preList, gqCOpenGL& gl) {
    switch (dqGetClass(figure)) {
    case dqCClassStl: dqDrawSTL(figure, preList, gl); break;
    case dqCClassClPath: dqDrawCL(figure, preList, gl, nullptr); break;
    case dqCClassOrigin: dqDrawOrigin(figure, preList, gl); break;
    case dqCClassCutter: dqDrawCutter(figure, preList, gl); break;
    case dqCClassHolder:
    case dqCClassSpindle: dqDrawRotation(figure, preList, gl); break;
    case dqCClassBlock: dqDrawBlock(figure, preList, gl); break;
    case dqCClassCone: dqDrawCone(figure, preList, gl); break;
    case dqCClassSphere: dqDrawSphere(figure, preList, gl); break;
    default: break;
    }
}

void compileAxisList(unsigned axisTag) {
    if (!axisTag) return;
    ListCompiler list(axisTag);
    dqDrawAxis(axisTag);
}

void compileMachineList() {
    unsigned name = machineListName();
    if (!name) return;
    Chain chain = machineChain();
    ListCompiler list(name);
    for (unsigned k = 0; k < chain.count; ++k) dqDrawTranslateRevAxis(chain.axisTags[k]);
}

void compileViewList() {
    unsigned name = viewListName();
    if (!name) return;
    Chain chain = machineChain();
    ListCompiler list(name);
    for (unsigned k = chain.split; k < chain.count; ++k) dqDrawRevAxis(chain.axisTags[k]);
    for (unsigned k = 0; k < chain.count; ++k) dqDrawTranslateAxis(chain.axisTags[k]);
}

void compilePreDrawList(unsigned figure) {
    unsigned name = preListOf(figure);
    if (!name) return;
    Chain chain = machineChain();
    const auto* mount =
        static_cast<const std::uint32_t*>(childData(figure, dqCClassAxisMount, sizeof(std::uint32_t)));
    const float* highlight = nullptr;
    selectState(figure, &highlight);
    const unsigned cls = dqGetClass(figure);

    ListCompiler list(name);
    if (mount && chain.valid) {
        if (unsigned machine = machineListName()) glCallList(machine);
        for (unsigned k = chain.count; k-- > *mount;)
            if (chain.axisTags[k]) glCallList(chain.axisTags[k]);
    }
    if (!highlight) return;
    if (isSolidClass(cls))
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, highlight);
    else if (isMarkerClass(cls))
        glColor4fv(highlight);
}

void compileGeometryList(unsigned figure) {
    ListCompiler list(figure);
    drawFigure(figure, preListOf(figure), sessionContext());
}

void compileSceneList() {
    const unsigned highest = dqGetHighestTag();
    ListCompiler list(kSceneList);
    glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (unsigned view = viewListName()) glCallList(view);
    glLineWidth(static_cast<GLfloat>(sessionReal(12, 1.0)));
    glPointSize(static_cast<GLfloat>(sessionReal(13, 3.0)));
    const float* base = sessionColor(0);
    if (base) glColor4f(base[0], base[1], base[2], base[3]);

    // Paths and markers first, unlit.
    glDisable(GL_LIGHTING);
    for (unsigned t = 2; t < highest; ++t)
        if (isMarkerClass(dqGetClass(t)) && !isHiddenCode(selectState(t, nullptr))) glCallList(t);

    // Opaque solids, then the translucent ones over them without writing
    // depth, so that a translucent figure never hides what lies behind it.
    auto opaque = [](const float* c) { return !c || std::fabs(double(c[3]) - 1.0) < 1e-4; };
    glEnable(GL_LIGHTING);
    for (unsigned t = 2; t < highest; ++t) {
        if (!isSolidClass(dqGetClass(t))) continue;
        const float* c = nullptr;
        if (!isHiddenCode(colorState(t, 0, &c)) && opaque(c)) glCallList(t);
    }
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (unsigned t = 2; t < highest; ++t) {
        if (!isSolidClass(dqGetClass(t))) continue;
        const float* c = nullptr;
        if (!isHiddenCode(colorState(t, 0, &c)) && !opaque(c)) glCallList(t);
    }
    glDepthMask(GL_TRUE);
    glPopMatrix();
}

void bringListsUpToDate() {
    if (listExists(kSceneList)) return;
    sessionContext().SetMode(gqCOpenGL::Draw);
    glMatrixMode(GL_MODELVIEW);

    bool axisCompiled = false;
    for (unsigned i = 0; i < 6; ++i) {
        unsigned axis = axisListName(i);
        if (axis && !listExists(axis)) {
            compileAxisList(axis);
            axisCompiled = true;
        }
    }
    if (axisCompiled) {
        if (unsigned machine = machineListName()) glDeleteLists(machine, 1);
        if (unsigned view = viewListName()) glDeleteLists(view, 1);
    }
    if (!listExists(machineListName())) compileMachineList();
    if (!listExists(viewListName())) compileViewList();

    const unsigned highest = dqGetHighestTag();
    for (unsigned t = 2; t < highest; ++t) {
        if (!isFigureClass(dqGetClass(t))) continue;
        unsigned pre = preListOf(t);
        if (pre && !listExists(pre)) compilePreDrawList(t);
        if (!listExists(t)) compileGeometryList(t);
    }
    compileSceneList();
}

} // namespace DQ
