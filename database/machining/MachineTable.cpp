#include "machining/MachineTable.h"

#include "korvex.h"

namespace DQ {

void* newMachineRecord(unsigned count, const unsigned* order) {
    MachineRecord record{};
    record.count = count > 6 ? 6 : count;
    for (unsigned i = 0; i < record.count && order; ++i) record.order[i] = order[i];
    return dqCreateData(&record, sizeof record);
}

} // namespace DQ
