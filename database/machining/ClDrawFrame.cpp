#include "machining/ClDrawFrame.h"

#include <numbers>

namespace DQ {
namespace {

constexpr double kRadian = std::numbers::pi / 180.0;

void asAxisValues(const ClPose6& pose, double* values) {
    for (int i = 0; i < 3; ++i) values[i] = pose.v[i];
    for (int i = 3; i < 6; ++i) values[i] = pose.v[i] * kRadian;
}

} // namespace

ClDrawFrame::ClDrawFrame(const gqCMachineTableData& table)
    : chain_(table), bare_(table), shiftType_(table.shiftType), tipOffset_(table.tipOffset) {
    // The forward transform would add the tip offset for every shift type;
    // only a program of the gauge point (type 0) is drawn moved to the tip.
    chain_.tipOffset = 0;
    bare_.tipOffset = 0;
    for (double& o : bare_.axisOffsets) o = 0;
    const double none[6] = {};
    chain_.GetMachinePos(none, zero_);
}

void ClDrawFrame::point(const ClPose6& pose, double* out) const {
    if (shiftType_ == 3) {
        for (int i = 0; i < 3; ++i) {
            out[i] = zero_[i] + pose.v[i];
            out[i + 3] = zero_[i + 3];
        }
        return;
    }
    double values[6];
    asAxisValues(pose, values);
    chain_.GetMachinePos(values, out);
    if (shiftType_ == 0)
        for (int i = 0; i < 3; ++i) out[i] += tipOffset_ * out[i + 3];
}

void ClDrawFrame::axisValues(const ClPose6& pose, double* out) const {
    // As the tool position of a shift-type-3 cutter: the origin's machine
    // point plus X, Y, Z, re-expressed on a five-axis machine, lifted from
    // the tool reference point to the gauge point, then inverted.
    double target[6];
    asAxisValues(pose, target);
    for (int i = 0; i < 3; ++i) target[i] += zero_[i];
    if (bare_.chainCount == 5) bare_.ReexpressRotary(target);
    if (shiftType_ != 0) {
        double reached[6];
        bare_.GetMachinePos(target, reached);
        for (int i = 0; i < 3; ++i) target[i] -= tipOffset_ * reached[i + 3];
    }
    bare_.GetAxisValues(target, out);
}

} // namespace DQ
