// gqCOpenGL: the one path from figure code to OpenGL, with its measuring
// and sweeping modes.
#include "korvex.h"
#include "shapes/SweepPath.h"

#include <GL/glu.h>

#include <cmath>
#include <cstring>

namespace {

struct Matrices {
    GLint viewport[4];
    GLdouble projection[16];
    GLdouble modelView[16];
};

Matrices currentMatrices() {
    Matrices m;
    glGetIntegerv(GL_VIEWPORT, m.viewport);
    glGetDoublev(GL_PROJECTION_MATRIX, m.projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, m.modelView);
    return m;
}

using Vec = double[3];

void sub(const double* a, const double* b, double* out) {
    for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}

void cross(const double* a, const double* b, double* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// The unit normal (a - o) x (b - o), scaled by sign. A degenerate side keeps
// whatever the division gives; the depth buffer ignores normals anyway.
void sideNormal(const double* o, const double* a, const double* b, double sign, double* n) {
    Vec u, v;
    sub(a, o, u);
    sub(b, o, v);
    cross(u, v, n);
    double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i = 0; i < 3; ++i) n[i] = sign * n[i] / len;
}

void emitTriangle(const double* n, const double* a, const double* b, const double* c) {
    glBegin(GL_TRIANGLES);
    glNormal3dv(n);
    glVertex3dv(a);
    glVertex3dv(b);
    glVertex3dv(c);
    glEnd();
}

void emitInBatch(const double* n, const double* a, const double* b, const double* c) {
    glNormal3dv(n);
    glVertex3dv(a);
    glVertex3dv(b);
    glVertex3dv(c);
}

// --- the fast sweep path ---------------------------------------------------
//
// Figures draw each body between PushCallList and PopMatrix and map their
// vertices through their placement in software, so within one body the
// matrices stay as they were at its first triangle: they are read once per
// body, and the carry from the reference matrix to the current one becomes
// one affine map (current^-1 * reference; the projection and viewport that
// the project/unproject pair goes through cancel). Outside a body, or when a
// matrix is not affine, every triangle reads the matrices again.

bool fastSweep = true;

bool affine(const double* m) { return m[3] == 0 && m[7] == 0 && m[11] == 0 && m[15] == 1; }

// out = a * b, column-major.
void multiply(const double* a, const double* b, double* out) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = s;
        }
}

// Inverse of an affine matrix; false when singular.
bool invertAffine(const double* m, double* out) {
    const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2],
                 h = m[6], i = m[10];
    const double A = e * i - f * h, B = f * g - d * i, C = d * h - e * g;
    const double det = a * A + b * B + c * C;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) return false;
    const double s = 1 / det;
    double l[9] = {A * s, (c * h - b * i) * s, (b * f - c * e) * s,
                   B * s, (a * i - c * g) * s, (c * d - a * f) * s,
                   C * s, (b * g - a * h) * s, (a * e - b * d) * s}; // row-major
    for (int r = 0; r < 3; ++r) {
        for (int col = 0; col < 3; ++col) out[col * 4 + r] = l[r * 3 + col];
        out[12 + r] = -(l[r * 3] * m[12] + l[r * 3 + 1] * m[13] + l[r * 3 + 2] * m[14]);
        out[r * 4 + 3] = 0;
    }
    out[15] = 1;
    return true;
}

void transformPoint(const double* m, const double* v, double* out) {
    for (int r = 0; r < 3; ++r) out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r];
}

struct SweepState {
    const gqCOpenGL* owner = nullptr; // the context whose bodies are counted
    unsigned depth = 0;               // its open bodies
    bool valid = false;               // the matrices below belong to the open body
    bool usable = false;              // the matrices allow the fast path
    bool coincide = false;            // reference and current matrix are one
    bool cull = false;                // not compiling a display list
    double reference[16];
    double carry[16]; // reference position -> current frame
    double clip[16];  // projection * model-view
    double rowScale[3], rowOffset[3]; // bounds of |clip row| . |v| in max norm
    // The same for a vertex's reference position, straight from the vertex:
    // clip * carry, and |clip| * |carry| for the bound of OpenGL's terms.
    double carriedClip[16];
    double carriedScale[3], carriedOffset[3];

    void refresh(const double* referenceMatrix) {
        Matrices m = currentMatrices();
        std::memcpy(reference, referenceMatrix, sizeof reference);
        double inverse[16];
        usable = affine(m.projection) && affine(m.modelView) && affine(reference) &&
                 invertAffine(m.modelView, inverse);
        if (!usable) return;
        coincide = std::memcmp(reference, m.modelView, sizeof reference) == 0;
        multiply(inverse, reference, carry);
        multiply(m.projection, m.modelView, clip);
        for (int r = 0; r < 3; ++r) {
            rowScale[r] = std::fabs(clip[r]) + std::fabs(clip[4 + r]) + std::fabs(clip[8 + r]);
            rowOffset[r] = std::fabs(clip[12 + r]);
        }
        multiply(clip, carry, carriedClip);
        for (int r = 0; r < 3; ++r) {
            double col[4];
            for (int c = 0; c < 4; ++c) {
                col[c] = c == 3 ? std::fabs(clip[12 + r]) : 0.0;
                for (int k = 0; k < 3; ++k)
                    col[c] += std::fabs(clip[k * 4 + r]) * std::fabs(carry[c * 4 + k]);
            }
            carriedScale[r] = col[0] + col[1] + col[2];
            carriedOffset[r] = col[3];
        }
        GLint list = 0;
        glGetIntegerv(GL_LIST_INDEX, &list);
        cull = list == 0;
    }

    // Planes of the view volume the point lies clearly beyond, one bit each
    // (both matrices are affine, so the clip w is 1). The margin covers the
    // single-precision transform OpenGL makes of the same point, so a solid
    // is skipped only when OpenGL would clip all of it away too.
    unsigned outside(const double* v, bool reference) const {
        const double ax = std::fabs(v[0]), ay = std::fabs(v[1]), az = std::fabs(v[2]);
        const double axy = ax > ay ? ax : ay, m = axy > az ? axy : az;
        const double* mc = reference ? carriedClip : clip;
        const double* scale = reference ? carriedScale : rowScale;
        const double* offset = reference ? carriedOffset : rowOffset;
        unsigned code = 0;
        for (int r = 0; r < 3; ++r) {
            const double c = mc[r] * v[0] + mc[4 + r] * v[1] + mc[8 + r] * v[2] + mc[12 + r];
            const double margin = 1 + 1e-5 * (scale[r] * m + offset[r] + 1);
            if (c > margin) code |= 1u << (2 * r);
            if (-c > margin) code |= 2u << (2 * r);
        }
        return code;
    }
};

thread_local SweepState sweep;

// The reference path: every vertex projected with the reference matrix and
// unprojected with the current one, every side emitted.
void referenceSweep(const gqCOpenGL& gl) {
    Matrices m = currentMatrices();
    double now[3][3], then[3][3];
    for (int k = 0; k < 3; ++k) {
        std::memcpy(now[k], gl.captured[k], sizeof now[k]);
        double w[3];
        gluProject(now[k][0], now[k][1], now[k][2], gl.referenceMatrix, m.projection, m.viewport,
                   &w[0], &w[1], &w[2]);
        gluUnProject(w[0], w[1], w[2], m.modelView, m.projection, m.viewport, &then[k][0],
                     &then[k][1], &then[k][2]);
    }
    const double *p = now[0], *q = now[1], *r = now[2];
    const double *p1 = then[0], *q1 = then[1], *r1 = then[2];
    double n[3], neg[3];

    sideNormal(p, q, p1, 1.0, n); // (q - p) x (p' - p)
    emitTriangle(n, q, p, p1);
    emitTriangle(n, p1, q1, q);

    sideNormal(q, r, q1, -1.0, n); // -(r - q) x (q' - q)
    emitTriangle(n, r, q, q1);
    emitTriangle(n, q1, r1, r);

    sideNormal(r, p, r1, -1.0, n); // -(p - r) x (r' - r)
    emitTriangle(n, p, r, r1);
    emitTriangle(n, r1, p1, p);

    sideNormal(q, r, p, 1.0, n); // (r - q) x (p - q)
    for (int i = 0; i < 3; ++i) neg[i] = -n[i];
    emitTriangle(n, p, q, r);
    emitTriangle(neg, p1, q1, r1);
}

// Whether the triangle, and when it moves its reference position too, lie
// beyond one plane of the view volume together; stops at the first point
// inside.
bool allOutside(const SweepState& s, const double* p, const double* q, const double* r,
                bool moving) {
    unsigned code = s.outside(p, false);
    if (code) code &= s.outside(q, false);
    if (code) code &= s.outside(r, false);
    if (moving) {
        if (code) code &= s.outside(p, true);
        if (code) code &= s.outside(q, true);
        if (code) code &= s.outside(r, true);
    }
    return code != 0;
}

// The same solid by the fast path; false when the matrices do not allow it.
bool fastSweepEnd(const gqCOpenGL& gl) {
    SweepState& s = sweep;
    const bool body = s.owner == &gl && s.depth > 0;
    if (!(body && s.valid &&
          std::memcmp(s.reference, gl.referenceMatrix, sizeof s.reference) == 0)) {
        s.refresh(gl.referenceMatrix);
        s.valid = body;
    }
    if (!s.usable) return false;
    const double *p = gl.captured[0], *q = gl.captured[1], *r = gl.captured[2];
    double n[3];
    if (s.coincide) {
        // Both caps coincide and the sides have no area: the cap alone
        // gives the same depths.
        if (s.cull && allOutside(s, p, q, r, false)) return true;
        sideNormal(q, r, p, 1.0, n);
        emitTriangle(n, p, q, r);
        return true;
    }
    if (s.cull && allOutside(s, p, q, r, true)) return true;
    double p1[3], q1[3], r1[3];
    transformPoint(s.carry, p, p1);
    transformPoint(s.carry, q, q1);
    transformPoint(s.carry, r, r1);
    double neg[3];
    glBegin(GL_TRIANGLES);
    sideNormal(p, q, p1, 1.0, n);
    emitInBatch(n, q, p, p1);
    emitInBatch(n, p1, q1, q);
    sideNormal(q, r, q1, -1.0, n);
    emitInBatch(n, r, q, q1);
    emitInBatch(n, q1, r1, r);
    sideNormal(r, p, r1, -1.0, n);
    emitInBatch(n, p, r, r1);
    emitInBatch(n, r1, p1, p);
    sideNormal(q, r, p, 1.0, n);
    for (int i = 0; i < 3; ++i) neg[i] = -n[i];
    emitInBatch(n, p, q, r);
    emitInBatch(neg, p1, q1, r1);
    glEnd();
    return true;
}


// The origin marker: a circle with alternately filled quadrants, bottom row
// first, two bytes per row padded to four.
const GLubyte kOriginBitmap[16 * 4] = {
    0x03, 0xC0, 0, 0, 0x0F, 0x30, 0, 0, 0x1F, 0x08, 0, 0, 0x3F, 0x04, 0, 0,
    0x7F, 0x02, 0, 0, 0x7F, 0x02, 0, 0, 0xFF, 0x01, 0, 0, 0xFF, 0x01, 0, 0,
    0x80, 0xFF, 0, 0, 0x80, 0xFF, 0, 0, 0x40, 0xFE, 0, 0, 0x40, 0xFE, 0, 0,
    0x20, 0xFC, 0, 0, 0x10, 0xF8, 0, 0, 0x0C, 0xF0, 0, 0, 0x03, 0xC0, 0, 0,
};

} // namespace

gqCOpenGL::gqCOpenGL() : mode(Draw), referenceMatrix{}, primitive(0), vertexCount(0), box{} {
    for (int i = 0; i < 4; ++i) referenceMatrix[i * 5] = 1.0;
    // A context made where an earlier one lived starts with no open body.
    if (sweep.owner == this) sweep.owner = nullptr;
}

void gqCOpenGL::SetMode(unsigned int newMode) {
    mode = newMode;
    if (sweep.owner == this) sweep.valid = false;
    if (mode == ViewBox) {
        for (int i = 0; i < 3; ++i) {
            box[i] = 1e6;
            box[i + 3] = -1e6;
        }
    }
}

void gqCOpenGL::Begin(GLenum prim) {
    if (mode == Draw) {
        glBegin(prim);
    } else if (mode == Sweep) {
        primitive = prim;
        vertexCount = 0;
    }
}

void gqCOpenGL::Normal(const double* n) {
    if (n && mode == Draw) glNormal3d(n[0], n[1], n[2]);
}

void gqCOpenGL::Vertex(const double* v) {
    if (!v) return;
    switch (mode) {
    case Draw:
        glVertex3d(v[0], v[1], v[2]);
        break;
    case ViewBox: {
        Matrices m = currentMatrices();
        double w[3];
        if (gluProject(v[0], v[1], v[2], m.modelView, m.projection, m.viewport, &w[0], &w[1],
                       &w[2]) != GL_TRUE)
            break;
        for (int i = 0; i < 3; ++i) {
            if (w[i] < box[i]) box[i] = w[i];
            if (w[i] > box[i + 3]) box[i + 3] = w[i];
        }
        break;
    }
    case Sweep:
        if (vertexCount < 4) std::memcpy(captured[vertexCount], v, 3 * sizeof(double));
        // Counting on past the four slots lets End tell a triangle from a
        // longer primitive without the counter ever wrapping back to three.
        if (vertexCount < 5) ++vertexCount;
        break;
    default:
        break;
    }
}

void gqCOpenGL::End() {
    if (mode == Draw) {
        glEnd();
        return;
    }
    if (mode != Sweep || primitive != GL_TRIANGLES || vertexCount != 3) return;
    if (!fastSweep || !fastSweepEnd(*this)) referenceSweep(*this);
}

void gqCOpenGL::Color(const float* rgba) {
    if (rgba) glColor4fv(rgba);
}

void gqCOpenGL::PushCallList(unsigned int list) {
    glPushMatrix();
    if (sweep.owner != this) {
        sweep.owner = this;
        sweep.depth = 0;
    }
    ++sweep.depth;
    sweep.valid = false;
    // 0 names no list; OpenGL would answer it with GL_INVALID_VALUE, which
    // a caller's own error check would then blame on its next call.
    if (list) glCallList(list);
}

void gqCOpenGL::PopMatrix() {
    glPopMatrix();
    if (sweep.owner == this) {
        if (sweep.depth) --sweep.depth;
        sweep.valid = false;
    }
}

void gqCOpenGL::GetViewBox(double* out) const {
    if (out) std::memcpy(out, box, 6 * sizeof(double));
}

void gqCOpenGL::DrawOriginMarker(const double* p) {
    if (!p) return;
    if (mode != Draw) {
        Vertex(p);
        return;
    }
    glRasterPos3d(p[0], p[1], p[2]);
    // The rows are padded to four bytes; read them so whatever unpacking
    // the caller has set.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glBitmap(16, 16, 8.0f, 8.0f, 0.0f, 0.0f, kOriginBitmap);
    glPopClientAttrib();
}

namespace DQ {

void setSweepFastPath(bool on) {
    fastSweep = on;
    sweep.valid = false;
}
bool sweepFastPath() { return fastSweep; }

} // namespace DQ
