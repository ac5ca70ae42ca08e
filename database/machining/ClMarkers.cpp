#include "machining/ClMarkers.h"

#include "machining/ClMoveSubdivision.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace DQ {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTiny = 1e-6;

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// A rotary axis value difference the short way round, in radians: the
// walk folds angles into [-360, 360] and the drawing turns the short way,
// so a full turn between two poses is no motion.
double shortRadians(double d) {
    if (!std::isfinite(d)) return d;
    return std::remainder(d, 2 * kPi);
}

} // namespace

ClMarkers::ClMarkers(const ClDrawSettings& settings, const ClDrawFrame& frame, gqCOpenGL& context)
    : s_(settings), frame_(frame), gl_(context) {
    for (int i = 0; i < 3; ++i) normal_[i] = s_.params[kParamPlaneNormal + i];
    // The plane's offset is measured from the path's origin point.
    double zero[6];
    frame_.point(ClPose6{}, zero);
    planeOffset_ = s_.params[kParamPlaneOffset] + dot(normal_, zero);
}

void ClMarkers::mark(const double* p) { gl_.Vertex(p); }

void ClMarkers::markBetween(const double* a, const double* b, double f) {
    double p[3];
    for (int i = 0; i < 3; ++i) p[i] = a[i] + (b[i] - a[i]) * f;
    mark(p);
}

void ClMarkers::start(const ClPose6& pose) {
    running_ = true;
    poses_ = 1;
    subSteps_ = 0;
    last_ = pose;
    frame_.point(pose, lastPoint_);
    frame_.axisValues(pose, lastValues_);
    linearTravel_ = rotaryTravel_ = 0;
}

void ClMarkers::feed(const ClPose6& pose) {
    if (!running_) {
        start(pose);
        return;
    }
    double point[6];
    frame_.point(pose, point);
    double dp[3];
    for (int i = 0; i < 3; ++i) dp[i] = point[i] - lastPoint_[i];

    if (s_.switches[kSwitchPlane]) {
        const double across = dot(normal_, dp);
        if (std::fabs(across) <= kTiny) {
            if (std::fabs(dot(normal_, point) - planeOffset_) <= kTiny) {
                mark(lastPoint_);
                mark(point);
            }
        } else {
            const double t = (planeOffset_ - dot(normal_, lastPoint_)) / across;
            if (t > 0 && t < 1) markBetween(lastPoint_, point, t);
        }
    }

    // Sub-steps no larger than a rotary step, so a swing that goes out and
    // back within one pose step still shows its parts.
    double dAngle[3];
    const double rotaryStep = s_.params[kParamRotaryStep];
    unsigned n = 1;
    for (int i = 0; i < 3; ++i) {
        dAngle[i] = shortDegrees(pose.v[3 + i] - last_.v[3 + i]);
        const double ratio = std::fabs(dAngle[i]) * kPi / 180.0 / rotaryStep - 1e-6;
        // NaN (a damaged pose) counts as one sub-step.
        const unsigned k = ratio > 0 ? (ratio < kMaxSegmentsPerMove ? unsigned(ratio) + 1
                                                                    : kMaxSegmentsPerMove)
                                     : 1;
        n = std::max(n, k);
    }
    const double travel = std::sqrt(dot(dp, dp)) / n;
    const double littleLinear = s_.params[kParamLittleLinear] * travel;
    const double littleRotary = s_.params[kParamLittleRotary] * travel;
    const double muchLinear = s_.params[kParamMuchLinear] * travel;
    const double muchRotary = s_.params[kParamMuchRotary] * travel;

    for (unsigned j = 1; j <= n; ++j) {
        ClPose6 sub;
        const double f = double(j) / n;
        for (int i = 0; i < 3; ++i) sub.v[i] = last_.v[i] + (pose.v[i] - last_.v[i]) * f;
        for (int i = 0; i < 3; ++i) sub.v[3 + i] = last_.v[3 + i] + dAngle[i] * f;
        double values[6], delta[6];
        frame_.axisValues(sub, values);
        for (int i = 0; i < 6; ++i) delta[i] = values[i] - lastValues_[i];
        for (int i = 3; i < 6; ++i) delta[i] = shortRadians(delta[i]);
        linearTravel_ += std::sqrt(dot(delta, delta));
        rotaryTravel_ += std::sqrt(dot(delta + 3, delta + 3));

        bool little = false, much = false;
        if (s_.switches[kSwitchTooLittle]) {
            for (int i = 0; i < 6; ++i) {
                const double size = std::fabs(delta[i]);
                little = little || (size >= kTiny && size < (i < 3 ? littleLinear : littleRotary));
            }
        }
        if (s_.switches[kSwitchTooMuch] && !little) {
            for (int i = 0; i < 6; ++i)
                much = much || std::fabs(delta[i]) > (i < 3 ? muchLinear : muchRotary);
        }
        if (little || much) markBetween(lastPoint_, point, (j - 0.5) / n);

        if (s_.switches[kSwitchReversal] && subSteps_ >= 1) {
            bool reversed = false;
            for (int i = 0; i < 6; ++i) {
                reversed = reversed || (delta[i] * lastDelta_[i] < 1e-12 &&
                                        (std::fabs(delta[i]) > kTiny || std::fabs(lastDelta_[i]) > kTiny));
            }
            if (reversed) markBetween(lastPoint_, point, (j - 1.0) / n);
        }
        for (int i = 0; i < 6; ++i) {
            lastDelta_[i] = delta[i];
            lastValues_[i] = values[i];
        }
        ++subSteps_;
    }
    last_ = pose;
    for (int i = 0; i < 6; ++i) lastPoint_[i] = point[i];
    ++poses_;
}

void ClMarkers::endMove() {
    if (s_.switches[kSwitchShortMove] && running_ && poses_ > 1) {
        const bool shortLinear =
            linearTravel_ < s_.params[kParamShortLinear] && linearTravel_ > kTiny;
        const bool shortRotary =
            rotaryTravel_ < s_.params[kParamShortRotary] && rotaryTravel_ > kTiny;
        if (shortLinear || shortRotary) mark(lastPoint_);
    }
    linearTravel_ = rotaryTravel_ = 0;
}

} // namespace DQ
