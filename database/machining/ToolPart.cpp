#include "machining/ToolPart.h"

#include "korvex.h"
#include "shapes/Cutter.h"
#include "shapes/FigureData.h"
#include "shapes/MeshDrawing.h"
#include "shapes/Placement.h"
#include "shapes/RotationBody.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace DQ {

Profile cuttingPartProfile(const CutterRecord& c, double s, double t) {
    Profile p;
    const double rho0 = c.diameter / 2 - s;
    if (!(rho0 >= 1e-6)) return p;
    double rho;
    switch (c.type) {
    case BallEnd: rho = rho0; break;
    case FlatEnd: rho = s <= 0 ? -s : 0.0; break;
    case CornerRadiusEnd:
        rho = c.cornerR - s;
        if (!(rho >= 1e-6)) rho = 0;
        break;
    default: return p;
    }
    if (rho >= 1e-6) {
        if (rho0 - rho >= 1e-6) p.add(0, 0, 0, -1);
        const unsigned k = cutterArcSegments(rho, t);
        for (unsigned i = 0; i <= k; ++i) {
            const double theta = -std::numbers::pi / 2 + i * (std::numbers::pi / 2) / k;
            const double nr = std::cos(theta), nz = std::sin(theta);
            p.add(rho * nr + (rho0 - rho), rho * nz + rho, nr, nz);
        }
    } else {
        p.add(0, 0, 0, -1);
        p.add(rho0, 0, 0, -1);
    }
    return p;
}

Profile shankPartProfile(const CutterRecord& c, double a) {
    const double e = effectiveHeight(c);
    const double rd = c.diameter / 2 + a, ra = c.axisDiameter / 2 + a;
    const double head = c.headLength - e, taper = c.taperEnd - e, top = c.length - e;
    Profile p;
    p.add(0, 0, 0, -1);
    p.add(rd, 0, 0, -1);
    p.add(rd, 0, 1, 0);
    p.add(rd, head, 1, 0);
    double zTop = head;
    const double dr = ra - rd, dz = taper - head;
    const double len = std::sqrt(dr * dr + dz * dz);
    if (len > 1e-6) {
        p.add(rd, head, dz / len, -dr / len);
        p.add(ra, taper, dz / len, -dr / len);
        zTop = taper;
    }
    p.add(ra, zTop, 1, 0);
    p.add(ra, top, 1, 0);
    return p;
}

Profile holderPartProfile(unsigned n, const double* pts, double a, double b) {
    Profile p;
    p.add(0, -b, 0, -1);
    double lastR = 0, lastZ = -b, widest = -HUGE_VAL;
    for (unsigned i = 0; i < n; ++i) {
        widest = std::max(widest, pts[2 * i] + a);
        const double r = widest, z = pts[2 * i + 1] - b;
        const double dr = r - lastR, dz = z - lastZ;
        const double len = std::sqrt(dr * dr + dz * dz);
        if (!(len > 1e-6)) continue;
        p.add(lastR, lastZ, dz / len, -dr / len);
        p.add(r, z, dz / len, -dr / len);
        lastR = r;
        lastZ = z;
    }
    return p;
}

Profile toolPartProfile(CheckKind kind, double* tolerance) {
    const auto* cutter =
        static_cast<const CutterRecord*>(payload(checkCutter(), sizeof(CutterRecord)));
    const RotationBodyHeader* holder = rotationBodyOf(checkHolder());
    if (!cutter || !holder) return {};
    const CheckParameters p = checkParameters();
    switch (kind) {
    case CheckKind::Cutting:
        *tolerance = p.cuttingTolerance;
        return cuttingPartProfile(*cutter, p.cuttingOffset, p.cuttingTolerance);
    case CheckKind::Shank:
        *tolerance = p.shankTolerance;
        return shankPartProfile(*cutter, p.shankRadialMargin);
    case CheckKind::Holder:
        *tolerance = p.holderTolerance;
        return holderPartProfile(holder->count, rotationPoints(holder), p.holderRadialMargin,
                                 p.holderAxialMargin);
    }
    return {};
}

void drawToolPart(CheckKind kind) {
    double t = 0.01;
    const Profile profile = toolPartProfile(kind, &t);
    gqCOpenGL local; // draw mode
    drawProfile(profile, t, Placement::identity(), local);
}

} // namespace DQ
