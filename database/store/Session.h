// The one session of the process: the store plus the tags of the standard
// elements that the set-up makes.
#pragma once

#include "store/Database.h"

namespace DQ {

class Session : public Database {
public:
    enum StandardTag {
        Root,
        Origin,
        Cutter,
        Holder,
        Spindle,
        SettingsValue,
        AxisX,
        AxisY,
        AxisZ,
        AxisA,
        AxisB,
        AxisC,
        Machine,
        IntList,
        RealList,
        ColorList,
        StandardTagCount
    };

    ~Session() override = default;

    // The standard tag for a dqGetParamTag number, or 0.
    unsigned paramTag(int number) const;
    void setStandardTag(StandardTag which, unsigned tag) { standard_[which] = tag; }
    unsigned standardTag(StandardTag which) const { return standard_[which]; }
    void clearStandardTags();

private:
    unsigned standard_[StandardTagCount] = {};
};

// The static session every export works on.
Session& session();

} // namespace DQ
