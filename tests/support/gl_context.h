// gl_context.h -- GL tests: a hidden window with the pixel format the game asks
// for (RGB without alpha, 16-bit depth, double buffered) on the Xvfb that
// with_xvfb.sh starts, fresh game records, and what to read back.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};
inline std::ostream& operator<<(std::ostream& out, const Rgb& p) {
    return out << "(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ")";
}
const Rgb clearGrey{128, 128, 128};

// Pixels inside [x0, x1) x [y0, y1) in GL window coordinates (bottom-up rows).
struct Rect {
    int x0, y0, x1, y1;
};

class GlTest : public ::testing::Test {
protected:
    // A width x height context, current, with settings.width and height set;
    // with gameState also the game's one-time GL state. Use with ASSERT_NO_FATAL_FAILURE.
    void openContext(int width, int height, bool gameState = true);
    void TearDown() override;

    std::vector<Rgb> pixels() const; // the back buffer, bottom row first
    Rgb pixel(int x, int y) const;
    int painted(Rect r) const; // pixels that are not the clear grey
    int white(Rect r) const;   // near-white pixels (text)
    // Which of red, green and blue is strongest summed over a rectangle.
    char dominant(Rect r) const;
    // The box around near-white pixels (text), in top-down rows as printText
    // counts them: {left, top, right, bottom, count}; left > right when none.
    std::array<int, 5> ink() const;
    static std::array<double, 16> matrix(unsigned int which); // column-major

    int width = 0, height = 0;

private:
    // Every pixel of a rectangle with its column and its top-down row.
    void each(Rect r, const std::function<void(const Rgb&, int x, int row)>& visit) const;
    void* window_ = nullptr;
    void* context_ = nullptr;
    void close();
};
