// Tool positions and axis values: the conversions by the cutter's shift
// type, the placement of cutter and holder below the gauge point, and the
// absolute pose of a mounted element.
#include "machining/Kinematics.h"
#include "machining/MachineTable.h"
#include "shapes/Cutter.h"
#include "shapes/FigureData.h"
#include "shapes/MachineAxis.h"
#include "shapes/Placement.h"
#include "store/Session.h"

#include <cmath>
#include <cstring>

namespace DQ {
namespace {

unsigned cutterTag() { return session().standardTag(Session::Cutter); }

unsigned shiftType() { return dqGetCutterShiftType(cutterTag()); }

// A column-major 4 x 4 matrix that multiplies on the right, as OpenGL's
// current matrix does, so the axis drawing transforms can be replayed
// without a context.
struct Matrix {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    void multiply(const double* r) {
        double out[16];
        for (int c = 0; c < 4; ++c)
            for (int row = 0; row < 4; ++row) {
                double s = 0;
                for (int k = 0; k < 4; ++k) s += m[k * 4 + row] * r[c * 4 + k];
                out[c * 4 + row] = s;
            }
        std::memcpy(m, out, sizeof m);
    }
    void translate(double x, double y, double z) {
        const double t[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
        multiply(t);
    }
    // glRotated: degrees about (x, y, z), normalised; a (nearly) zero axis
    // leaves the matrix alone.
    void rotate(double degrees, double x, double y, double z) {
        double len = std::sqrt(x * x + y * y + z * z);
        if (!(len > 1e-4)) return;
        x /= len;
        y /= len;
        z /= len;
        double a = degrees * 3.14159265358979323846 / 180.0;
        double c = std::cos(a), s = std::sin(a), k = 1 - c;
        const double r[16] = {x * x * k + c,     y * x * k + z * s, x * z * k - y * s, 0,
                              x * y * k - z * s, y * y * k + c,     y * z * k + x * s, 0,
                              x * z * k + y * s, y * z * k - x * s, z * z * k + c,     0,
                              0,                 0,                 0,                 1};
        multiply(r);
    }
    // What dqDrawAxis issues for the axis.
    void applyAxis(const AxisRecord& a) {
        const double* d = a.direction;
        if (isRotary(a))
            rotate(a.value * 180.0 / 3.14159265358979323846, d[0], d[1], d[2]);
        else
            translate(d[0] * a.value, d[1] * a.value, d[2] * a.value);
        translate(-a.pivot[0], -a.pivot[1], -a.pivot[2]);
    }
};

} // namespace
} // namespace DQ

using namespace DQ;

DQ_API void dqGetMachinePos(const double* axisValues, double* out) {
    if (!axisValues || !out) return;
    machineTable().GetMachinePos(axisValues, out);
}

DQ_API void dqGetCutterPos(const double* toolPos, double* axisValues) {
    if (!toolPos || !axisValues) return;
    double origin[6], g = 0;
    originValues(origin);
    const bool hasGauge = gaugeOffset(&g);
    const double tool[6] = {toolPos[0], toolPos[1], toolPos[2],
                            toolPos[3], toolPos[4], toolPos[5]};
    if (shiftType() == 3) {
        // The reference point goes through the kinematics: the origin's
        // machine point plus the tool position, then along the tool axis
        // up to the spindle's gauge point.
        gqCMachineTableData table = machineTable();
        double reached[6];
        table.GetMachinePos(origin, reached);
        double target[6] = {reached[0] + tool[0], reached[1] + tool[1], reached[2] + tool[2],
                            tool[3],              tool[4],              tool[5]};
        if (table.chainCount == 5) table.ReexpressRotary(target);
        if (hasGauge) {
            double pose[6];
            table.GetMachinePos(target, pose);
            for (int c = 0; c < 3; ++c) target[c] += g * pose[3 + c];
        }
        table.GetAxisValues(target, axisValues);
        return;
    }
    std::memcpy(axisValues, tool, sizeof tool);
    if (shiftType() != 0 && hasGauge) axisValues[2] += g;
    for (int i = 0; i < 6; ++i) axisValues[i] += origin[i];
}

DQ_API void dqGetCutterRevPos(const double* axisValues, double* toolPos) {
    if (!axisValues || !toolPos) return;
    double origin[6], g = 0;
    originValues(origin);
    const bool hasGauge = gaugeOffset(&g);
    const double values[6] = {axisValues[0], axisValues[1], axisValues[2],
                              axisValues[3], axisValues[4], axisValues[5]};
    if (shiftType() == 3) {
        gqCMachineTableData table = machineTable();
        double pose[6], base[6];
        table.GetMachinePos(values, pose);
        if (hasGauge)
            for (int c = 0; c < 3; ++c) pose[c] -= g * pose[3 + c];
        table.GetMachinePos(origin, base);
        for (int c = 0; c < 3; ++c) toolPos[c] = pose[c] - base[c];
        for (int c = 3; c < 6; ++c) toolPos[c] = values[c];
        return;
    }
    for (int i = 0; i < 6; ++i) toolPos[i] = values[i] - origin[i];
    if (shiftType() != 0 && hasGauge) toolPos[2] -= g;
}

DQ_API void dqSetToolPosition(void) {
    const unsigned cutter = cutterTag();
    const unsigned ints = childTag(cutter, dqCClassIntList);
    if (!payload(cutter, sizeof(CutterRecord)) || !ints) return;
    const unsigned* flag = dqGetIntListElem(ints, 0);
    const double L = dqGetCutterLength(cutter);
    // With the reference flag the tool is measured from the centre of its
    // corner radius, otherwise from its tip.
    const double r = (flag && *flag == 1) ? dqGetCutterCornerR(cutter) : 0.0;
    dqSetCutterShiftLength(cutter, r);
    const unsigned holder = session().standardTag(Session::Holder);
    const double H = dqGetRotationEndHeight(holder);
    // The holder's top meets the spindle's bottom at height 0; the cutter
    // hangs below the holder.
    const Placement cutterPlace{{0, 0, -(L + H)}, {0, 0, 1}, {1, 0, 0}};
    const Placement holderPlace{{0, 0, -H}, {0, 0, 1}, {1, 0, 0}};
    dqAllocChild(cutter, 0, 0, dqCClassPlacement, &cutterPlace);
    if (holder) dqAllocChild(holder, 0, 0, dqCClassPlacement, &holderPlace);
    if (unsigned reals = childTag(cutter, dqCClassRealList)) dqSetRealListElem(reals, 1, L + H - r);
}

DQ_API void dqGetCutterAbsPosition(unsigned int tag, double* out) {
    if (!out) return;
    Matrix m;
    const unsigned* mount =
        static_cast<const unsigned*>(childData(tag, dqCClassAxisMount, sizeof(unsigned)));
    const auto* machine = static_cast<const MachineRecord*>(
        payload(session().standardTag(Session::Machine), sizeof(MachineRecord)));
    if (mount && machine) {
        const unsigned n = machine->count > 6 ? 6 : machine->count;
        for (unsigned k = n; k-- > *mount;) {
            const unsigned i = machine->order[k];
            if (i >= 6) continue;
            unsigned axis = session().standardTag(static_cast<Session::StandardTag>(Session::AxisX + i));
            if (auto* a = static_cast<const AxisRecord*>(payload(axis, sizeof(AxisRecord))))
                m.applyAxis(*a);
        }
    }
    if (auto* offset = static_cast<const double*>(childData(tag, dqCClassOffset, 48)))
        m.translate(offset[0], offset[1], offset[2]);
    for (int c = 0; c < 3; ++c) {
        out[c] = m.m[12 + c];
        out[3 + c] = m.m[8 + c];
    }
}
