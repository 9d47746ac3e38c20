// image.h -- the generator's pictures: float RGBA, row 0 at the bottom (as GL sees
// a texture), and the deterministic noise and shape helpers that paint them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

struct Colour {
    float r, g, b, a;
};

Colour mix(const Colour& a, const Colour& b, float t);
Colour scale(const Colour& c, float factor); // RGB only

class Picture {
public:
    Picture(int width, int height, Colour fill = {0, 0, 0, 0});
    int width() const { return width_; }
    int height() const { return height_; }
    Colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Colour& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Transparent texels take the colour of the nearest opaque one, so that
    // filtered and mipmapped edges show the plant's own colour, never black.
    void bleedIntoTransparent();

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

// Integer hash of a lattice point: repeatable on every machine.
uint32_t hash3(int32_t x, int32_t y, uint32_t seed);
float hashUnit(int32_t x, int32_t y, uint32_t seed); // 0..1

// Value noise on a lattice that repeats every period cells (0..1).
float valueNoise(float x, float y, int period, uint32_t seed);
// Sum of octaves, each twice as fine and half as strong (0..1 roughly).
float fractalNoise(float x, float y, int period, int octaves, uint32_t seed);

float clamp01(float v);
float smoothstep(float edge0, float edge1, float x);
// A smooth wave like a cosine of period 1 (1 at whole numbers, -1 halfway),
// from exactly rounded arithmetic only.
float wave(float t);

// Files: 24-bit BMP (bottom-up rows), 24- or 32-bit uncompressed TGA
// (bottom-left origin), raw bytes, text.
void writeBmp(const std::string& path, const Picture& picture);
void writeTga(const std::string& path, const Picture& picture, int bits);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// Run-length pictures as paint programs save them. A TGA of type 10, a row's
// packets at a time; topFirst stores the top row first and marks it so (in the
// descriptor and, as GIMP does, the y origin).
void writeTgaRuns(const std::string& path, const Picture& picture, int bits, bool topFirst);
// Each pixel's nearest palette colour.
std::vector<uint8_t> nearestIndices(const Picture& picture, const std::vector<Colour>& palette);
// A BMP of palette indices (bits 8 or 4: at most 256 or 16 colours), its rows
// run-length encoded, bottom row first.
void writeBmpRuns(const std::string& path, int width, int height, const std::vector<uint8_t>& indices,
                  const std::vector<Colour>& palette, int bits);
void writeText(const std::string& path, const std::string& text);
// An RGBA PNG (stored, uncompressed deflate: the same bytes everywhere).
void writePng(const std::string& path, const Picture& picture);

} // namespace gen
