// A headless OpenGL context for tests: EGL on Mesa's surfaceless platform,
// a compatibility-profile context (fixed function, display lists) and a
// pbuffer of the wanted size with RGBA8 colour and a 24-bit depth buffer.
// Needs no X server. Mesa's llvmpipe renders on the CPU, so pixels are
// reproducible.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane_testing {

class HeadlessGL {
public:
    // Creates the context and makes it current on the calling thread. Check
    // ok() (and error() for why) before drawing.
    HeadlessGL(int width, int height);
    ~HeadlessGL();
    HeadlessGL(const HeadlessGL&) = delete;
    HeadlessGL& operator=(const HeadlessGL&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }

    bool makeCurrent();

    // Colour buffer as RGBA bytes, row 0 at the bottom (OpenGL's order).
    std::vector<std::uint8_t> readColor() const;
    // Depth buffer as window depths in [0, 1], row 0 at the bottom.
    std::vector<float> readDepth() const;

private:
    bool ok_ = false;
    std::string error_;
    int width_ = 0, height_ = 0;
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
};

// An RGBA image read back from the colour buffer.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(int x, int y) const { return &rgba[4 * (std::size_t(y) * width + x)]; }
    // A pixel differs from the background colour (first three channels).
    bool covered(int x, int y, const std::uint8_t* background) const;
};

// The extent of the pixels that differ from the background: columns
// [x0, x1] and rows [y0, y1] (inclusive); empty when none.
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool empty() const { return x1 < x0; }
    int width() const { return empty() ? 0 : x1 - x0 + 1; }
    int height() const { return empty() ? 0 : y1 - y0 + 1; }
};

Image readImage(const HeadlessGL& gl);
PixelBox coveredBox(const Image& image, const std::uint8_t* background);
// Covered pixels in row y: the leftmost and rightmost (x0, x1); empty when
// none.
PixelBox coveredRow(const Image& image, int y, const std::uint8_t* background);

// The depths of the OpenGL stacks and the pending error, to check that a
// call leaves the state as it found it.
struct StackDepths {
    int modelView = 0, projection = 0, attrib = 0, clientAttrib = 0;
    bool operator==(const StackDepths&) const = default;
};
StackDepths stackDepths();

// Writes a binary PPM for looking at a failure by eye (best effort).
void writePpm(const Image& image, const std::string& path);

} // namespace orvane_testing
