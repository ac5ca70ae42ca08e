// gqCOpenGL: the one path from figure code to OpenGL, with its measuring
// and sweeping modes.
#include "korvex.h"

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
}

void gqCOpenGL::SetMode(unsigned int newMode) {
    mode = newMode;
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

    // Where the triangle stood under the reference matrix, expressed in the
    // current frame: through window coordinates, so that only the two
    // model-view matrices need be known.
    Matrices m = currentMatrices();
    double now[3][3], then[3][3];
    for (int k = 0; k < 3; ++k) {
        std::memcpy(now[k], captured[k], sizeof now[k]);
        double w[3];
        gluProject(now[k][0], now[k][1], now[k][2], referenceMatrix, m.projection, m.viewport,
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

void gqCOpenGL::Color(const float* rgba) {
    if (rgba) glColor4fv(rgba);
}

void gqCOpenGL::PushCallList(unsigned int list) {
    glPushMatrix();
    // 0 names no list; OpenGL would answer it with GL_INVALID_VALUE, which
    // a caller's own error check would then blame on its next call.
    if (list) glCallList(list);
}

void gqCOpenGL::PopMatrix() { glPopMatrix(); }

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
