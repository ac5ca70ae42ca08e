#include "machining/ClMoveSubdivision.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace DQ {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kRadian = kPi / 180.0;

// The in-plane axes u, v and the normal w of a plane digit, as pose
// indices; u x v = w, so a counter-clockwise arc turns about +w.
struct PlaneAxes {
    int u, v, w;
};
PlaneAxes planeAxes(int plane) {
    if (plane == 1) return {kY, kZ, kX};
    if (plane == 2) return {kZ, kX, kY};
    return {kX, kY, kZ};
}

// Segments needed so that no rotary axis turns more than a rotary step in
// one of them; 1 when the step is unusable.
unsigned rotarySegments(const double* delta, double step) {
    if (!(step > 0)) return 1;
    double largest = 0;
    for (int i = 0; i < 3; ++i) largest = std::max(largest, std::fabs(delta[i]) * kRadian);
    return segmentCount(largest / step);
}

void line(const ClPose& from, const ClPose& to, const ClSubdivision& steps, ClPoseSink& sink) {
    ClPose6 p;
    if (steps.shiftType == 2 || steps.shiftType == 3) {
        // The chain is taken as it stands at the end: a straight stroke in
        // the drawing.
        for (int i = 0; i < 6; ++i) p.v[i] = to.v[i];
        sink.pose(p);
        return;
    }
    double delta[3];
    for (int i = 0; i < 3; ++i) delta[i] = shortDegrees(to.v[kA + i] - from.v[kA + i]);
    const unsigned n = rotarySegments(delta, steps.rotaryStep);
    for (unsigned k = 1; k <= n; ++k) {
        const double f = double(k) / n;
        for (int i = 0; i < 3; ++i) p.v[i] = from.v[i] + (to.v[i] - from.v[i]) * f;
        for (int i = 0; i < 3; ++i) p.v[3 + i] = from.v[kA + i] + delta[i] * f;
        sink.pose(p);
    }
}

void arc(const ClPose& from, const ClPose& to, int plane, bool clockwise,
         const ClSubdivision& steps, ClPoseSink& sink) {
    const PlaneAxes ax = planeAxes(plane);
    const double su = from.v[ax.u], sv = from.v[ax.v];
    const double eu = to.v[ax.u], ev = to.v[ax.v];
    const double du = eu - su, dv = ev - sv;
    const double chord2 = du * du + dv * dv;
    // A chord this short has no direction to build a circle on; a full
    // circle, whose end is its start, is drawn as the move of zero length.
    if (!(chord2 >= 1e-12)) {
        line(from, to, steps, sink);
        return;
    }
    // The programmed centre is rarely exactly equidistant from both ends
    // (the words are rounded to the resolution): move it onto the chord's
    // perpendicular bisector, keeping its side and its distance along the
    // bisector.
    const double mu = (su + eu) / 2, mv = (sv + ev) / 2;
    const double cu = to.v[kI + ax.u - kX], cv = to.v[kI + ax.v - kX];
    const double t = ((mu - cu) * dv - (mv - cv) * du) / chord2;
    const double ccu = mu - t * dv, ccv = mv + t * du;
    const double r = std::hypot(eu - ccu, ev - ccv);

    // In the plane's own (u, v, w) coordinates: the start-side centre lies
    // at the start's height along w, the end-side centre at the end's.
    const double sw = from.v[ax.w], ew = to.v[ax.w];
    const double w = clockwise ? -1.0 : 1.0;
    // a = unit(start - centre), b = w x a (in-plane: w x (a_u, a_v, 0)).
    double au = su - ccu, av = sv - ccv;
    const double alen = std::hypot(au, av);
    if (!(alen > 0)) {
        line(from, to, steps, sink);
        return;
    }
    au /= alen;
    av /= alen;
    const double bu = -w * av, bv = w * au;

    auto angleOf = [&](double pu, double pv) {
        const double x = (pu - ccu) * au + (pv - ccv) * av;
        const double y = (pu - ccu) * bu + (pv - ccv) * bv;
        double c = r > 0 ? x / r : 1.0;
        c = std::clamp(c, -1.0, 1.0);
        double theta = std::acos(c);
        if (y < 0) theta = 2 * kPi - theta;
        return theta;
    };
    const double ts = angleOf(su, sv);
    double te = angleOf(eu, ev);
    if (te < ts) te += 2 * kPi;
    double sweep = te - ts;
    if (sweep >= 2 * kPi - 1e-6) sweep = 0;

    unsigned n = steps.arcStep > 0 ? segmentCount(sweep / steps.arcStep) : 1;
    double delta[3];
    for (int i = 0; i < 3; ++i) delta[i] = shortDegrees(to.v[kA + i] - from.v[kA + i]);
    if (steps.shiftType == 0 || steps.shiftType == 1)
        n = std::max(n, rotarySegments(delta, steps.rotaryStep));

    ClPose6 p;
    for (unsigned k = 1; k <= n; ++k) {
        const double f = double(k) / n;
        const double theta = ts + sweep * f;
        const double c = r * std::cos(theta), s = r * std::sin(theta);
        p.v[ax.u - kX] = ccu + c * au + s * bu;
        p.v[ax.v - kX] = ccv + c * av + s * bv;
        p.v[ax.w - kX] = sw + (ew - sw) * f; // a helix when the ends differ along w
        for (int i = 0; i < 3; ++i) p.v[3 + i] = from.v[kA + i] + delta[i] * f;
        sink.pose(p);
    }
}

} // namespace

unsigned segmentCount(double ratio) {
    if (!(ratio > 1.0)) return 1;
    if (!(ratio < kMaxSegmentsPerMove)) return kMaxSegmentsPerMove;
    return static_cast<unsigned>(std::ceil(ratio - 1e-9));
}

double shortDegrees(double d) {
    if (!std::isfinite(d)) return d;
    d = std::remainder(d, 360.0); // into [-180, 180]
    return d;
}

void subdivideMove(const ClPose& previous, const ClPose& current, int plane, int motion,
                   const ClSubdivision& steps, ClPoseSink& sink) {
    if (motion == 2 || motion == 3)
        arc(previous, current, plane, motion == 2, steps, sink);
    else
        line(previous, current, steps, sink);
}

} // namespace DQ
