#include "shapes/MachineAxis.h"

#include "korvex.h"
#include "shapes/FigureData.h"

#include <GL/gl.h>

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

namespace DQ {
namespace {

const AxisRecord* axisOf(unsigned tag) {
    if (tag == 0 || tag >= dqGetHighestTag()) return nullptr;
    return static_cast<const AxisRecord*>(payload(tag, sizeof(AxisRecord)));
}

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

} // namespace
} // namespace DQ

using namespace DQ;

DQ_API unsigned int dqCreateAxis(char letter) {
    void* record = newAxisRecord(letter);
    return record ? dqAddData(dqCClassAxis, 0, record) : 0;
}

DQ_API void dqDrawAxis(unsigned int tag) {
    const AxisRecord* a = axisOf(tag);
    if (!a) return;
    const double* d = a->direction;
    if (isRotary(*a))
        glRotated(a->value * kDegrees, d[0], d[1], d[2]);
    else
        glTranslated(d[0] * a->value, d[1] * a->value, d[2] * a->value);
    glTranslated(-a->pivot[0], -a->pivot[1], -a->pivot[2]);
}

DQ_API void dqDrawRevAxis(unsigned int tag) {
    const AxisRecord* a = axisOf(tag);
    if (!a) return;
    const double* d = a->direction;
    glTranslated(a->pivot[0], a->pivot[1], a->pivot[2]);
    if (isRotary(*a))
        glRotated(-a->value * kDegrees, d[0], d[1], d[2]);
    else
        glTranslated(-d[0] * a->value, -d[1] * a->value, -d[2] * a->value);
}

DQ_API void dqDrawTranslateAxis(unsigned int tag) {
    if (const AxisRecord* a = axisOf(tag)) glTranslated(-a->pivot[0], -a->pivot[1], -a->pivot[2]);
}

DQ_API void dqDrawTranslateRevAxis(unsigned int tag) {
    if (const AxisRecord* a = axisOf(tag)) glTranslated(a->pivot[0], a->pivot[1], a->pivot[2]);
}
