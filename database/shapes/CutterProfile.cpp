#include "shapes/Cutter.h"
#include "shapes/Tessellator.h"

#include <cmath>
#include <numbers>

namespace DQ {

unsigned cutterArcSegments(double rho, double t) {
    return arcSegments(rho, t, std::numbers::pi / 2, 6, 512);
}

Profile cutterHeadProfile(const CutterRecord& c, double t) {
    const double rd = c.diameter / 2;
    const double hc = effectiveHeight(c);
    Profile p;
    auto quarterArc = [&](double radius, double centreR) {
        unsigned n = cutterArcSegments(radius, t);
        for (unsigned i = 0; i <= n; ++i) {
            double theta = -std::numbers::pi / 2 + i * (std::numbers::pi / 2) / n;
            p.add(radius * std::cos(theta) + centreR, radius * std::sin(theta) + radius,
                  std::cos(theta), std::sin(theta));
        }
    };
    if (c.type == BallEnd) {
        quarterArc(rd, 0.0); // from the tip to the equator of the ball
    } else if (c.type == FlatEnd) {
        p.add(0, 0, 0, -1);
        p.add(rd, 0, 0, -1);
        p.add(rd, 0, 1, 0);
    } else {
        p.add(0, 0, 0, -1);
        quarterArc(c.cornerR, rd - c.cornerR);
    }
    p.add(rd, hc, 1, 0);
    p.add(rd, hc, 0, 1);
    p.add(0, hc, 0, 1);
    return p;
}

Profile cutterShankProfile(const CutterRecord& c) {
    const double hc = effectiveHeight(c);
    const double rn = c.neckDiameter / 2;
    const double ra = c.axisDiameter / 2;
    Profile p;
    p.add(0, hc, 0, -1);
    p.add(rn, hc, 0, -1);
    p.add(rn, hc, 1, 0);
    if (rn - ra < -1e-6) {
        double dz = c.taperEnd - c.headLength;
        double l = std::sqrt((rn - ra) * (rn - ra) + dz * dz);
        double nr = dz / l, nz = (rn - ra) / l;
        p.add(rn, c.headLength, 1, 0);
        p.add(rn, c.headLength, nr, nz);
        p.add(ra, c.taperEnd, nr, nz);
        p.add(ra, c.taperEnd, 1, 0);
    }
    p.add(ra, c.length, 1, 0);
    p.add(ra, c.length, 0, 1);
    p.add(0, c.length, 0, 1);
    return p;
}

} // namespace DQ
