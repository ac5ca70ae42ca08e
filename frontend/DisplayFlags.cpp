#include "DisplayFlags.h"

#include "RefreshList.h"
#include "SelectRecord.h"
#include "fendal.h"

namespace FE {

namespace {

// dqGetParamTag slots of the four parts.
enum : int { kOriginSlot = 7, kCutterSlot = 22, kHolderSlot = 24, kSpindleSlot = 39 };

// Select types 0 and 1 hide a figure; anything else, or no select record,
// shows it.
int getFlag(int slot) {
    unsigned tag = dqGetParamTag(slot);
    if (tag == 0) return 1;
    unsigned type = storedSelectType(tag);
    return type == 0 || type == 1 ? 0 : 1;
}

void setFlag(int slot, int flag) {
    unsigned tag = dqGetParamTag(slot);
    if (tag == 0) return;
    if (flag == 0) {
        const unsigned hidden[2] = {0, 0}; // select type 0, serial 0
        dqAllocChild(tag, 0, 0, dqCClassSelect, hidden);
    } else {
        // A record without data: shown, and not selected either.
        dqAllocChild(tag, 0, 0, dqCClassSelect, nullptr);
    }
    appendRefresh(1);
}

void restoreFlag(int slot, int flag) {
    if (getFlag(slot) != (flag != 0 ? 1 : 0)) setFlag(slot, flag);
}

} // namespace

DisplayFlagSnapshot rememberDisplayFlags() {
    return {getFlag(kCutterSlot), getFlag(kHolderSlot), getFlag(kOriginSlot),
            getFlag(kSpindleSlot)};
}

void restoreDisplayFlags(const DisplayFlagSnapshot& flags) {
    restoreFlag(kCutterSlot, flags.cutter);
    restoreFlag(kHolderSlot, flags.holder);
    restoreFlag(kOriginSlot, flags.origin);
    restoreFlag(kSpindleSlot, flags.spindle);
}

} // namespace FE

FE_API void feSetCutterFlag(int flag) { FE::setFlag(FE::kCutterSlot, flag); }
FE_API int feGetCutterFlag(void) { return FE::getFlag(FE::kCutterSlot); }
FE_API void feSetHolderFlag(int flag) { FE::setFlag(FE::kHolderSlot, flag); }
FE_API int feGetHolderFlag(void) { return FE::getFlag(FE::kHolderSlot); }
FE_API void feSetSpindleFlag(int flag) { FE::setFlag(FE::kSpindleSlot, flag); }
FE_API int feGetSpindleFlag(void) { return FE::getFlag(FE::kSpindleSlot); }
FE_API void feSetOriginFlag(int flag) { FE::setFlag(FE::kOriginSlot, flag); }
FE_API int feGetOriginFlag(void) { return FE::getFlag(FE::kOriginSlot); }
