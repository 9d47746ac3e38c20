// image.cpp -- pictures, noise and the BMP, TGA and raw writers of the generator.
// Only exactly rounded arithmetic (+, -, *, /, sqrt, floor) is used, so the
// files come out byte for byte the same on every machine.
#include "image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "common/bytes.h"

namespace gen {

Colour mix(const Colour& a, const Colour& b, float t) {
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                  a.a + (b.a - a.a) * t};
}

Colour scale(const Colour& c, float factor) {
    return Colour{c.r * factor, c.g * factor, c.b * factor, c.a};
}

Picture::Picture(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Picture::bleedIntoTransparent() {
    // Breadth-first from every opaque texel: each transparent one takes the
    // colour of the first opaque texel that reaches it (alpha stays 0).
    std::vector<char> done(pixels_.size(), 0);
    std::deque<int> queue;
    for (int i = 0; i < static_cast<int>(pixels_.size()); ++i) {
        if (pixels_[i].a > 0.0f) {
            done[i] = 1;
            queue.push_back(i);
        }
    }
    static const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!queue.empty()) {
        const int i = queue.front();
        queue.pop_front();
        const int x = i % width_;
        const int y = i / width_;
        for (const auto& step : steps) {
            const int nx = x + step[0];
            const int ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) {
                continue;
            }
            const int n = ny * width_ + nx;
            if (!done[n]) {
                done[n] = 1;
                pixels_[n] = Colour{pixels_[i].r, pixels_[i].g, pixels_[i].b, 0.0f};
                queue.push_back(n);
            }
        }
    }
}

uint32_t hash3(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float hashUnit(int32_t x, int32_t y, uint32_t seed) {
    return static_cast<float>(hash3(x, y, seed) >> 8) / 16777216.0f;
}

namespace {

int wrap(int value, int period) {
    const int m = value % period;
    return m < 0 ? m + period : m;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

} // namespace

float valueNoise(float x, float y, int period, uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const float tx = fade(x - fx);
    const float ty = fade(y - fy);
    const float a = hashUnit(wrap(x0, period), wrap(y0, period), seed);
    const float b = hashUnit(wrap(x0 + 1, period), wrap(y0, period), seed);
    const float c = hashUnit(wrap(x0, period), wrap(y0 + 1, period), seed);
    const float d = hashUnit(wrap(x0 + 1, period), wrap(y0 + 1, period), seed);
    const float top = a + (b - a) * tx;
    const float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fractalNoise(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += valueNoise(x, y, period, seed + static_cast<uint32_t>(octave) * 101u) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float wave(float t) {
    const float f = t - std::floor(t);
    const float triangle = 4.0f * std::fabs(f - 0.5f) - 1.0f;
    return triangle * (1.5f - 0.5f * triangle * triangle);
}

namespace {

uint8_t toByte(float v) { return static_cast<uint8_t>(clamp01(v) * 255.0f + 0.5f); }

void put16(std::vector<uint8_t>& out, uint32_t v) { putLittle(out, v, 2); }
void put32(std::vector<uint8_t>& out, uint32_t v) { putLittle(out, v, 4); }

} // namespace

namespace {

// True when path already holds exactly these bytes.
bool holds(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::vector<uint8_t> old(bytes.size() + 1);
    const std::size_t got = std::fread(old.data(), 1, old.size(), file);
    std::fclose(file);
    return got == bytes.size() && std::equal(bytes.begin(), bytes.end(), old.begin());
}

} // namespace

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    // The build runs the generator every time; a file that is already right is
    // left untouched, so its time stamp does not make anything else rebuild.
    if (holds(path, bytes)) {
        return;
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "make_data: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(file);
}

void writeText(const std::string& path, const std::string& text) {
    writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void writeBmp(const std::string& path, const Picture& picture) {
    const uint32_t stride = (static_cast<uint32_t>(picture.width()) * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(picture.height());
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + pixelBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(picture.width()));
    put32(out, static_cast<uint32_t>(picture.height()));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, pixelBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Colour& c = picture.at(x, y);
            out.push_back(toByte(c.b));
            out.push_back(toByte(c.g));
            out.push_back(toByte(c.r));
        }
        for (uint32_t pad = static_cast<uint32_t>(picture.width()) * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    writeBytes(path, out);
}

void writeTga(const std::string& path, const Picture& picture, int bits) {
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(out, static_cast<uint32_t>(picture.width()));
    put16(out, static_cast<uint32_t>(picture.height()));
    out.push_back(static_cast<uint8_t>(bits));
    out.push_back(bits == 32 ? 8 : 0); // alpha bits; origin at the bottom left
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Colour& c = picture.at(x, y);
            out.push_back(toByte(c.b));
            out.push_back(toByte(c.g));
            out.push_back(toByte(c.r));
            if (bits == 32) {
                out.push_back(toByte(c.a));
            }
        }
    }
    writeBytes(path, out);
}

namespace {

// The pixel's bytes as a TGA stores them: B, G, R(, A).
void putTgaPixel(std::vector<uint8_t>& out, const Colour& c, int bits) {
    out.push_back(toByte(c.b));
    out.push_back(toByte(c.g));
    out.push_back(toByte(c.r));
    if (bits == 32) {
        out.push_back(toByte(c.a));
    }
}

// How many values from first on repeat the first one (at most limit).
template <typename Same>
int runFrom(int first, int end, int limit, Same same) {
    int count = 1;
    while (first + count < end && count < limit && same(first, first + count)) {
        ++count;
    }
    return count;
}

} // namespace

void writeTgaRuns(const std::string& path, const Picture& picture, int bits, bool topFirst) {
    const uint32_t height = static_cast<uint32_t>(picture.height());
    // GIMP marks a top-left picture by its y origin as well as the descriptor.
    std::vector<uint8_t> out = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0};
    put16(out, topFirst ? height : 0);
    put16(out, static_cast<uint32_t>(picture.width()));
    put16(out, height);
    out.push_back(static_cast<uint8_t>(bits));
    out.push_back(static_cast<uint8_t>((bits == 32 ? 8 : 0) | (topFirst ? 0x20 : 0)));
    for (int k = 0; k < picture.height(); ++k) {
        const int y = topFirst ? picture.height() - 1 - k : k;
        auto same = [&](int a, int b) {
            const Colour &p = picture.at(a, y), &q = picture.at(b, y);
            return toByte(p.r) == toByte(q.r) && toByte(p.g) == toByte(q.g) && toByte(p.b) == toByte(q.b) &&
                   (bits != 32 || toByte(p.a) == toByte(q.a));
        };
        // A packet a row at most: a repeated value, or values as they are up to
        // the next repeat.
        for (int x = 0; x < picture.width();) {
            const int run = runFrom(x, picture.width(), 128, same);
            if (run >= 2) {
                out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
                putTgaPixel(out, picture.at(x, y), bits);
                x += run;
                continue;
            }
            int count = 1;
            while (x + count < picture.width() && count < 128 && runFrom(x + count, picture.width(), 2, same) < 2) {
                ++count;
            }
            out.push_back(static_cast<uint8_t>(count - 1));
            for (int k2 = 0; k2 < count; ++k2) {
                putTgaPixel(out, picture.at(x + k2, y), bits);
            }
            x += count;
        }
    }
    writeBytes(path, out);
}

std::vector<uint8_t> nearestIndices(const Picture& picture, const std::vector<Colour>& palette) {
    std::vector<uint8_t> indices(static_cast<size_t>(picture.width()) * picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Colour& c = picture.at(x, y);
            float best = 1e9f;
            for (size_t i = 0; i < palette.size(); ++i) {
                const float dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
                const float distance = dr * dr + dg * dg + db * db;
                if (distance < best) {
                    best = distance;
                    indices[static_cast<size_t>(y) * picture.width() + x] = static_cast<uint8_t>(i);
                }
            }
        }
    }
    return indices;
}

void writeBmpRuns(const std::string& path, int width, int height, const std::vector<uint8_t>& indices,
                  const std::vector<Colour>& palette, int bits) {
    std::vector<uint8_t> runs;
    const bool four = bits == 4;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = indices.data() + static_cast<size_t>(y) * width;
        auto same = [row](int a, int b) { return row[a] == row[b]; };
        for (int x = 0; x < width;) {
            const int run = runFrom(x, width, 255, same);
            int count = 1;
            while (x + count < width && count < 255 && runFrom(x + count, width, 2, same) < 2) {
                ++count;
            }
            if (run >= 2 || count < 3) {
                // A run of one value. A lone value is a run of one; two lone
                // values of a 4-bit picture make a run that alternates them.
                const int n = run >= 2 ? run : four ? count : 1;
                runs.push_back(static_cast<uint8_t>(n));
                runs.push_back(four ? static_cast<uint8_t>(row[x] << 4 | row[x + (n > 1 ? 1 : 0)]) : row[x]);
                x += n;
                continue;
            }
            // Three or more values as they are, padded to an even length.
            runs.push_back(0);
            runs.push_back(static_cast<uint8_t>(count));
            const size_t start = runs.size();
            for (int k = 0; k < count; ++k) {
                if (!four) {
                    runs.push_back(row[x + k]);
                } else if (k % 2 == 0) {
                    runs.push_back(static_cast<uint8_t>(row[x + k] << 4));
                } else {
                    runs.back() = static_cast<uint8_t>(runs.back() | row[x + k]);
                }
            }
            if ((runs.size() - start) % 2 != 0) {
                runs.push_back(0);
            }
            x += count;
        }
        runs.push_back(0); // the row's end
        runs.push_back(0);
    }
    runs.push_back(0); // the picture's end
    runs.push_back(1);
    const uint32_t offset = 54 + 4 * static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out = {'B', 'M'};
    put32(out, offset + static_cast<uint32_t>(runs.size()));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bits));
    put32(out, four ? 2 : 1);
    put32(out, static_cast<uint32_t>(runs.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, static_cast<uint32_t>(palette.size()));
    put32(out, 0);
    for (const Colour& c : palette) {
        out.push_back(toByte(c.b));
        out.push_back(toByte(c.g));
        out.push_back(toByte(c.r));
        out.push_back(0);
    }
    out.insert(out.end(), runs.begin(), runs.end());
    writeBytes(path, out);
}

} // namespace gen

namespace gen {

namespace {

void put32BigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32BigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32BigEndian(out, crc32Of(out.data() + start, out.size() - start));
}

} // namespace

void writePng(const std::string& path, const Picture& picture) {
    // Rows top first, each after a "no filter" byte, as RGBA.
    std::vector<uint8_t> raw;
    for (int y = picture.height() - 1; y >= 0; --y) {
        raw.push_back(0);
        for (int x = 0; x < picture.width(); ++x) {
            const Colour& c = picture.at(x, y);
            raw.insert(raw.end(), {toByte(c.r), toByte(c.g), toByte(c.b), toByte(c.a)});
        }
    }
    // A zlib stream of stored (uncompressed) blocks: no compressor needed, and
    // the same bytes everywhere.
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t length = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + length >= raw.size() ? 1 : 0);
        z.insert(z.end(), {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)});
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + length));
    }
    uint32_t a = 1, b = 0; // Adler-32
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32BigEndian(z, (b << 16) | a);
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
    put32BigEndian(header, static_cast<uint32_t>(picture.width()));
    put32BigEndian(header, static_cast<uint32_t>(picture.height()));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    writeBytes(path, out);
}

} // namespace gen
