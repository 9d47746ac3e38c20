// gl_context.h -- a real GL context for GL tests: a hidden window on the X server
// named by DISPLAY (Xvfb with Mesa's software renderer), with the pixel format the
// game asks for: RGB without alpha, 16-bit depth, double buffered.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& p) {
    return out << "(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ")";
}

class GlContext {
public:
    // Also sets settings.width and settings.height to the window's size.
    GlContext(int width = 256, int height = 192);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    bool ok() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The back buffer as drawn, rows bottom-up (GL window coordinates).
    std::vector<Rgb> readPixels() const;
    Rgb pixel(int x, int y) const; // GL window coordinates, origin bottom-left

private:
    void* window_ = nullptr;
    void* context_ = nullptr;
    int width_;
    int height_;
};

// Unit-length tolerance compare helpers for matrices read back from GL.
struct Matrix4 {
    double m[16]; // column-major, as GL returns it
};
Matrix4 readMatrix(unsigned int which); // GL_PROJECTION_MATRIX or GL_MODELVIEW_MATRIX

// A GL test: fresh game records and fake platform, a context of its own.
class GlTest : public ::testing::Test {
protected:
    // Opens a width x height context; with gameState, also the game's one-time GL
    // state. Call as ASSERT_NO_FATAL_FAILURE(openContext(...)).
    void openContext(int width, int height, bool gameState = true);
    void TearDown() override;
    std::unique_ptr<GlContext> context;
};
