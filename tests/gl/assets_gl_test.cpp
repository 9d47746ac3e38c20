// assets_gl_test.cpp -- textures in a real GL context: filters, levels,
// formats, the texels uploaded, and slots replaced only by a success.
#include <gtest/gtest.h>

#include "assets/texture.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "support/gl_context.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

class AssetsTest : public GlTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(openContext(128, 128)); }
    // Loads into a fresh slot and binds it.
    uint32_t load(const Bytes& file, int32_t filter, bool bitmap = false) {
        uint32_t slot = 0;
        const std::string path = dir.write(bitmap ? "p.bmp" : "p.tga", file);
        EXPECT_TRUE(bitmap ? loadBitmapTexture(path.c_str(), &slot, filter)
                           : loadTargaTexture(path.c_str(), &slot, filter));
        glBindTexture(GL_TEXTURE_2D, slot);
        return slot;
    }
    static GLint level(int which, GLenum what = GL_TEXTURE_WIDTH) {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, which, what, &value);
        return value;
    }
    static Bytes texels(GLenum format, size_t count) {
        Bytes out(count);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    TempDir dir;
};

TEST_F(AssetsTest, FiltersLevelsAndFormats) {
    const GLint filters[3][2] = {{GL_NEAREST, GL_NEAREST}, {GL_LINEAR, GL_LINEAR}, {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST}};
    for (int filter = 0; filter <= 2; ++filter) {
        load(makeTga(4, 4, 24, Bytes(48, 100)), filter);
        GLint mag = 0, min = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        EXPECT_EQ(mag, filters[filter][0]);
        EXPECT_EQ(min, filters[filter][1]);
        EXPECT_EQ(level(2), filter == 2 ? 1 : 0) << filter; // only mipmaps have small levels
    }
    load(makeTga(1, 1, 24, {255, 0, 0}), 1); // stored B, G, R: blue
    EXPECT_EQ(level(0, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(texels(GL_RGB, 3), (Bytes{0, 0, 255}));
    load(makeTga(2, 1, 32, {0, 0, 255, 64, 255, 0, 0, 0}), 2);
    EXPECT_EQ(texels(GL_RGBA, 8), (Bytes{255, 0, 0, 64, 0, 0, 255, 0}));
    // Rows of 9 bytes are packed as they are, not read as if padded to 12.
    Bytes odd;
    for (uint8_t i = 0; i < 9; ++i) {
        odd.insert(odd.end(), {static_cast<uint8_t>(i * 20), i, 7});
    }
    load(makeTga(3, 3, 24, odd), 0);
    EXPECT_EQ(texels(GL_RGB, 27)[8 * 3 + 2], 160);
    // A bitmap goes up bottom row first.
    load(makeBmp(3, 2, 24, {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 9, 9, 9, 0, 0, 0}), 1, true);
    EXPECT_EQ(texels(GL_RGB, 18), (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 9, 9, 9}));
    EXPECT_TRUE(fake.messageBoxes.empty());
}

TEST_F(AssetsTest, SlotsAreReplacedOnlyBySuccess) {
    const std::string path = dir.write("a.tga", makeTga(2, 2, 24, Bytes(12, 50)));
    uint32_t slot = 0;
    ASSERT_TRUE(loadTargaTexture(path.c_str(), &slot, 1));
    const uint32_t first = slot;
    ASSERT_TRUE(loadTargaTexture(path.c_str(), &slot, 1)); // a second load frees the first
    EXPECT_FALSE(first != slot && glIsTexture(first));
    const uint32_t good = slot;
    EXPECT_FALSE(loadTargaTexture(dir.file("missing.tga").c_str(), &slot, 1));
    EXPECT_EQ(slot, good);
    EXPECT_TRUE(glIsTexture(good));
    // An unknown filter makes a name and uploads nothing.
    ASSERT_TRUE(loadTargaTexture(path.c_str(), &slot, 7));
    EXPECT_FALSE(glIsTexture(slot));
    EXPECT_EQ(fake.captions(), "Error -11");
}

} // namespace
