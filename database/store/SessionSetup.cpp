// dqCreateSession: the empty store becomes a ready scene.
#include "korvex.h"
#include "machining/MachineTable.h"
#include "shapes/MachineAxis.h"
#include "store/Session.h"
#include "store/SettingsLists.h"

#include <cstring>

namespace DQ {
namespace {

// The machine carries the tool on Z, then X, then Y, then the rotary axes.
constexpr unsigned kDefaultChain[6] = {2, 0, 1, 3, 4, 5};

void buildRootChildren(Session& s) {
    s.setStandardTag(Session::Root, 0);
    s.setStandardTag(Session::Machine,
                     dqSetChild(0, 0, 0, dqCClassMachine, newMachineRecord(6, kDefaultChain)));
    static constexpr char kAxes[] = "XYZABC";
    for (unsigned i = 0; i < 6; ++i)
        s.setStandardTag(static_cast<Session::StandardTag>(Session::AxisX + i),
                         dqSetChild(0, 0, i, dqCClassAxis, newAxisRecord(kAxes[i])));
    unsigned viewList = 2;
    s.setStandardTag(Session::SettingsValue,
                     dqSetChild(0, 0, 0, dqCClassUInt, dqCreateData(&viewList, 4)));
    s.setStandardTag(Session::IntList, dqSetChild(0, 0, 0, dqCClassIntList, newDefaultIntSettings()));
    s.setStandardTag(Session::RealList,
                     dqSetChild(0, 0, 0, dqCClassRealList, newDefaultRealSettings()));
    s.setStandardTag(Session::ColorList,
                     dqSetChild(0, 0, 0, dqCClassColorList, newDefaultColorSettings()));
    for (unsigned i = 0; i < kFileTypeCount; ++i) {
        const char* pattern = fileTypePattern(i);
        dqSetChild(0, 0, i, dqCClassText,
                   dqCreateData(pattern, static_cast<unsigned>(std::strlen(pattern) + 1)));
    }
}

// The default objects, then the machine put where the settings say.
void buildStandardObjects(Session& s) {
    s.setStandardTag(Session::Origin, dqCreateDefaultOrigin());
    s.setStandardTag(Session::Cutter, dqCreateDefaultCutter());
    s.setStandardTag(Session::Holder, dqCreateDefaultHolder());
    s.setStandardTag(Session::Spindle, dqCreateDefaultSpindle());
    dqSetToolPosition();
    const unsigned reals = s.standardTag(Session::RealList);
    for (unsigned i = 0; i < 6; ++i) {
        const double* value = dqGetRealListElem(reals, 6 + i);
        if (value) dqSetMachAxisValue(i, *value);
    }
}

} // namespace
} // namespace DQ

DQ_API void dqCreateSession(void) {
    DQ::Session& s = DQ::session();
    s.destroy();
    s.clearStandardTags();
    if (!s.allocateTable()) return;
    s.setDirect(0, 0, dqCClassRoot, nullptr);
    s.setDirect(1, 1, dqCClassChildHead, nullptr);
    DQ::buildRootChildren(s);
    DQ::buildStandardObjects(s);
    s.openJournal();
}

DQ_API void dqDestroySession(void) {
    DQ::Session& s = DQ::session();
    s.destroy();
    s.clearStandardTags();
}
