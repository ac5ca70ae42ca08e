#include "HeadlessGL.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>

namespace orvane_testing {

namespace {

EGLDisplay surfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

} // namespace

HeadlessGL::HeadlessGL(int width, int height) : width_(width), height_(height) {
    EGLDisplay display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY) {
        error_ = "no surfaceless EGL display";
        return;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        error_ = "eglInitialize failed";
        return;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = "eglBindAPI(EGL_OPENGL_API) failed";
        return;
    }
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                    EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                    EGL_RED_SIZE, 8,
                                    EGL_GREEN_SIZE, 8,
                                    EGL_BLUE_SIZE, 8,
                                    EGL_ALPHA_SIZE, 8,
                                    EGL_DEPTH_SIZE, 24,
                                    EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(display, configAttribs, &config, 1, &found) || found < 1) {
        error_ = "no RGBA8 + depth 24 pbuffer config";
        return;
    }
    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttribs);
    if (surface == EGL_NO_SURFACE) {
        error_ = "eglCreatePbufferSurface failed";
        return;
    }
    surface_ = surface;
    const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttribs);
    if (context == EGL_NO_CONTEXT) {
        error_ = "eglCreateContext (compatibility profile) failed";
        return;
    }
    context_ = context;
    if (!makeCurrent()) {
        error_ = "eglMakeCurrent failed";
        return;
    }
    glViewport(0, 0, width, height);
    ok_ = true;
}

HeadlessGL::~HeadlessGL() {
    if (!display_) return;
    EGLDisplay display = static_cast<EGLDisplay>(display_);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_) eglDestroyContext(display, static_cast<EGLContext>(context_));
    if (surface_) eglDestroySurface(display, static_cast<EGLSurface>(surface_));
    // The display stays initialised: other contexts of the process may
    // share it, and EGL reference-counts nothing here.
}

bool HeadlessGL::makeCurrent() {
    return eglMakeCurrent(static_cast<EGLDisplay>(display_), static_cast<EGLSurface>(surface_),
                          static_cast<EGLSurface>(surface_),
                          static_cast<EGLContext>(context_)) == EGL_TRUE;
}

std::vector<std::uint8_t> HeadlessGL::readColor() const {
    std::vector<std::uint8_t> pixels(std::size_t(width_) * height_ * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<float> HeadlessGL::readDepth() const {
    std::vector<float> depth(std::size_t(width_) * height_);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    return depth;
}

bool Image::covered(int x, int y, const std::uint8_t* background) const {
    const std::uint8_t* p = at(x, y);
    return p[0] != background[0] || p[1] != background[1] || p[2] != background[2];
}

Image readImage(const HeadlessGL& gl) {
    return Image{gl.width(), gl.height(), gl.readColor()};
}

PixelBox coveredBox(const Image& image, const std::uint8_t* background) {
    PixelBox box;
    box.x0 = image.width;
    box.y0 = image.height;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.covered(x, y, background)) {
                if (x < box.x0) box.x0 = x;
                if (x > box.x1) box.x1 = x;
                if (y < box.y0) box.y0 = y;
                if (y > box.y1) box.y1 = y;
            }
    if (box.x1 < 0) return PixelBox{};
    return box;
}

PixelBox coveredRow(const Image& image, int y, const std::uint8_t* background) {
    PixelBox row;
    row.y0 = row.y1 = y;
    row.x0 = image.width;
    row.x1 = -1;
    for (int x = 0; x < image.width; ++x)
        if (image.covered(x, y, background)) {
            if (x < row.x0) row.x0 = x;
            row.x1 = x;
        }
    if (row.x1 < 0) return PixelBox{};
    return row;
}

StackDepths stackDepths() {
    StackDepths d;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d.modelView);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &d.projection);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &d.attrib);
    glGetIntegerv(GL_CLIENT_ATTRIB_STACK_DEPTH, &d.clientAttrib);
    return d;
}

void writePpm(const Image& image, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) std::fwrite(image.at(x, y), 1, 3, f);
    std::fclose(f);
}

} // namespace orvane_testing
