#include "store/Session.h"

namespace DQ {

Session& session() {
    // Destroyed at unload, which also deletes a journal file the caller
    // forgot to clean up with dqDestroySession.
    static Session instance;
    return instance;
}

void Session::clearStandardTags() {
    for (unsigned& t : standard_) t = 0;
}

unsigned Session::paramTag(int number) const {
    switch (number) {
    case 7: return standard_[Origin];
    case 22: return standard_[Cutter];
    case 24: return standard_[Holder];
    case 25: return standard_[AxisX];
    case 26: return standard_[AxisY];
    case 27: return standard_[AxisZ];
    case 28: return standard_[AxisA];
    case 29: return standard_[AxisB];
    case 30: return standard_[AxisC];
    case 33: return standard_[Machine];
    case 34: return standard_[SettingsValue];
    case 36: return standard_[IntList];
    case 37: return standard_[RealList];
    case 38: return standard_[ColorList];
    case 39: return standard_[Spindle];
    default: return 0;
    }
}

} // namespace DQ

DQ_API unsigned int dqGetParamTag(int number) { return DQ::session().paramTag(number); }
