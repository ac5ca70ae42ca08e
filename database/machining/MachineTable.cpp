#include "machining/MachineTable.h"

#include "korvex.h"
#include "machining/Kinematics.h"
#include "shapes/FigureData.h"
#include "shapes/MachineAxis.h"
#include "store/Session.h"

#include <cmath>
#include <cstring>

namespace DQ {

void* newMachineRecord(unsigned count, const unsigned* order) {
    MachineRecord record{};
    record.count = count > 6 ? 6 : count;
    for (unsigned i = 0; i < record.count && order; ++i) record.order[i] = order[i];
    return dqCreateData(&record, sizeof record);
}

} // namespace DQ

// --- the machine table as the transforms read it ---

namespace DQ {

namespace {

unsigned axisTag(unsigned axis) {
    return axis < 6 ? session().standardTag(static_cast<Session::StandardTag>(Session::AxisX + axis))
                    : 0;
}

const AxisRecord* axisRecord(unsigned axis) {
    return static_cast<const AxisRecord*>(payload(axisTag(axis), sizeof(AxisRecord)));
}

const MachineRecord* machineRecord(unsigned tag) {
    return static_cast<const MachineRecord*>(payload(tag, sizeof(MachineRecord)));
}

} // namespace

gqCMachineTableData machineTable() {
    gqCMachineTableData t;
    std::memset(&t, 0, sizeof t);
    for (unsigned i = 0; i < 6; ++i) {
        if (const AxisRecord* a = axisRecord(i)) {
            std::memcpy(t.axes[i].pivot, a->pivot, sizeof a->pivot);
            std::memcpy(t.axes[i].direction, a->direction, sizeof a->direction);
        }
    }
    if (const MachineRecord* m = machineRecord(session().standardTag(Session::Machine))) {
        t.chainCount = m->count > 6 ? 6 : m->count;
        std::memcpy(t.chainOrder, m->order, sizeof t.chainOrder);
    }
    unsigned letters = 0;
    for (unsigned k = 0; k < t.chainCount && letters < 3; ++k)
        if (t.chainOrder[k] >= 3 && t.chainOrder[k] < 6)
            t.rotaryAxes[letters++] = static_cast<char>('A' + t.chainOrder[k] - 3);
    t.rotaryAxes[letters] = 0;
    unsigned cutter = session().standardTag(Session::Cutter);
    unsigned holder = session().standardTag(Session::Holder);
    t.toolLength = dqGetCutterLength(cutter) + dqGetRotationEndHeight(holder);
    return t;
}

void originValues(double* out) {
    const void* origin = payload(session().standardTag(Session::Origin), 6 * sizeof(double));
    if (origin)
        std::memcpy(out, origin, 6 * sizeof(double));
    else
        for (int i = 0; i < 6; ++i) out[i] = 0;
}

bool gaugeOffset(double* g) {
    unsigned cutter = session().standardTag(Session::Cutter);
    unsigned list = childTag(cutter, dqCClassRealList);
    const double* value = list ? dqGetRealListElem(list, 1) : nullptr;
    if (!value) return false;
    *g = *value;
    return true;
}

} // namespace DQ

DQ_API void dqGetMachineTable(gqCMachineTableData* table) {
    if (table) *table = DQ::machineTable();
}

DQ_API void dqGetMachineTable2(gqCMachineTableData* table, double* origin, unsigned int* shiftType,
                               double* lengths) {
    if (!table) return;
    *table = DQ::machineTable();
    for (int i = 0; i < 6; ++i) table->axisOffsets[i] = origin ? origin[i] : 0.0;
    table->shiftType = shiftType ? *shiftType : 0;
    if (lengths) {
        table->tipOffset = -lengths[0];
        table->toolLength = lengths[1];
    }
}

DQ_API void dqGetMachineString(unsigned int machineTag, char* text) {
    if (!text) return;
    unsigned n = 0;
    if (const DQ::MachineRecord* m = DQ::machineRecord(machineTag)) {
        const unsigned count = m->count > 6 ? 6 : m->count;
        for (unsigned k = 0; k < count; ++k)
            if (m->order[k] < 6) text[n++] = "XYZABC"[m->order[k]];
    }
    text[n] = 0;
}

DQ_API int dqSetMachAxisValue(unsigned int axis, double value) {
    const DQ::AxisRecord* old = DQ::axisRecord(axis);
    const unsigned tag = DQ::axisTag(axis);
    if (!old || dqGetClass(tag) != dqCClassAxis) return 0;
    if (!(std::fabs(value - old->value) > 1e-6)) return 0;
    DQ::AxisRecord copy = *old;
    copy.value = value;
    void* data = dqCreateData(&copy, sizeof copy);
    if (!data) return 0;
    dqSetData(tag, data);
    return 1;
}

DQ_API double dqGetMachAxisValue(unsigned int axis) {
    const DQ::AxisRecord* a = DQ::axisRecord(axis);
    return a ? a->value : 0.0;
}
