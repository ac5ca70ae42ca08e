#include "shapes/MachineAxis.h"

#include "korvex.h"

#include <cstring>

namespace DQ {

void* newAxisRecord(char letter) {
    static constexpr char kLetters[] = "XYZABC";
    const char* at = letter ? std::strchr(kLetters, letter) : nullptr;
    if (!at) return nullptr;
    int index = static_cast<int>(at - kLetters);
    AxisRecord axis{};
    axis.name[0] = letter;
    axis.name[1] = index < 3 ? 'M' : 'R';
    axis.direction[index % 3] = 1.0; // X and A along x, Y and B along y, Z and C along z
    return dqCreateData(&axis, sizeof axis);
}

} // namespace DQ
