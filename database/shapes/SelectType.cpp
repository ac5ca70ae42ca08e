#include "shapes/SelectType.h"

#include "shapes/FigureData.h"
#include "store/Session.h"

namespace DQ {
namespace {

// Session colours of the highlights.
constexpr unsigned kFallbackColour = 0, kCandidateColour = 7, kSelectedColour = 8,
                   kAlarmColour = 10;

// The select type of a class-1004 child, or -1 when it has no record.
long selectTypeOf(unsigned child) {
    if (!child) return -1;
    const auto* record = static_cast<const SelectRecord*>(payload(child, sizeof(SelectRecord)));
    return record ? long(record->type) : -1;
}

// The walk of dqGetColor: the index-th colour child and the first select
// child of list 0, stopping as soon as both are known.
void findColourAndSelect(unsigned tag, unsigned index, unsigned* colourChild,
                         unsigned* selectChild) {
    *colourChild = 0;
    *selectChild = 0;
    unsigned seen = 0;
    unsigned it = 0;
    for (unsigned child = dqGetFirstChildTag(tag, 0, &it); child; child = dqGetNextChildTag(&it)) {
        dqCClassEnum cls = dqGetClass(child);
        if (cls == dqCClassColor && !*colourChild && seen++ == index) *colourChild = child;
        if (cls == dqCClassSelect && !*selectChild) *selectChild = child;
        if (*colourChild && *selectChild) return;
    }
}

} // namespace

unsigned colorState(unsigned tag, unsigned index, const float** colour) {
    unsigned colourChild, selectChild;
    findColourAndSelect(tag, index, &colourChild, &selectChild);
    const float* own =
        colourChild ? static_cast<const float*>(payload(colourChild, 4 * sizeof(float))) : nullptr;
    const float* shown = sessionColor(kFallbackColour);
    unsigned code;
    switch (selectTypeOf(selectChild)) {
    case -1: // normal
        code = own ? 3 : 2;
        if (own) shown = own;
        break;
    case 0: code = 0; break;
    case 1: code = 1; break;
    case 4: code = 4; shown = sessionColor(kSelectedColour); break;
    case 5: code = 5; shown = sessionColor(kCandidateColour); break;
    case 6: // marked for a command, drawn as it is
        code = 3;
        if (own) shown = own;
        break;
    case 7: code = 7; shown = sessionColor(kAlarmColour); break;
    default: code = 0; break;
    }
    if (colour) *colour = shown;
    return code;
}

unsigned selectState(unsigned tag, const float** colour) {
    unsigned child = tag < dqGetHighestTag() ? dqGetChild(tag, 0, 0, dqCClassSelect, nullptr) : 0;
    const float* shown = nullptr;
    unsigned code;
    switch (selectTypeOf(child)) {
    case -1: code = 2; break;
    case 0: code = 0; break;
    case 1: code = 1; break;
    case 4: code = 4; shown = sessionColor(kSelectedColour); break;
    case 5: code = 5; shown = sessionColor(kCandidateColour); break;
    case 6: code = 3; break;
    case 7: code = 7; shown = sessionColor(kAlarmColour); break;
    default: code = 0; break;
    }
    if (colour) *colour = shown;
    return code;
}

} // namespace DQ

using namespace DQ;

DQ_API unsigned int dqGetColor(unsigned int tag, unsigned int index, float** colour) {
    const float* shown = nullptr;
    unsigned code = colorState(tag, index, &shown);
    if (colour) *colour = const_cast<float*>(shown);
    return code;
}

DQ_API unsigned int dqGetSelectType(unsigned int tag, float** colour) {
    const float* shown = nullptr;
    unsigned code = selectState(tag, &shown);
    if (colour) *colour = const_cast<float*>(shown);
    return code;
}

DQ_API void dqSelectFigure(unsigned int count, unsigned int* tags, unsigned int type) {
    if (count == 0 || !tags) return;
    Session& s = session();
    const bool kept = type <= 1 || (type >= 4 && type <= 7);
    const SelectRecord record{type, s.selectionSerial};
    for (unsigned i = 0; i < count; ++i) {
        // Only figures carry a select type: the root, too, owns a child
        // list, but a select record there would make it look selected.
        if (!isFigureClass(dqGetClass(tags[i]))) continue;
        if (kept)
            dqAllocChild(tags[i], 0, 0, dqCClassSelect, &record);
        else
            dqSetChild(tags[i], 0, 0, dqCClassSelect, nullptr);
    }
    ++s.selectionSerial;
}

DQ_API void dqSetColor(unsigned int tag, unsigned int index, float* rgba) {
    if (!rgba || tag >= dqGetHighestTag()) return;
    dqAllocChild(tag, 0, index, dqCClassColor, rgba);
}
