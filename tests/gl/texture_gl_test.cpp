// texture_gl_test.cpp -- textures in a real GL context: filters, levels, formats, pixels.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "assets/texture.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "support/gl_context.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

class TextureTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(64, 64, false));
    }
    std::string tga(const std::string& name, uint16_t w, uint16_t h, uint8_t bits, const Bytes& p) {
        return dir.write(name, makeTga(w, h, bits, p));
    }
    static GLint levelWidth(int level) {
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        return width;
    }
    static GLint parameter(GLenum name) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }
    static std::vector<uint8_t> texels(GLenum format, size_t count) {
        std::vector<uint8_t> out(count);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    TempDir dir;
};

TEST_F(TextureTest, EachFilterValueSetsItsFiltersAndLevels) {
    const std::string path = tga("a.tga", 4, 4, 24, Bytes(48, 100));
    const GLint expected[3][2] = {{GL_NEAREST, GL_NEAREST},
                                  {GL_LINEAR, GL_LINEAR},
                                  {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST}};
    for (int filter = 0; filter <= 2; ++filter) {
        uint32_t slot = 0;
        ASSERT_TRUE(loadTargaTexture(path.c_str(), &slot, filter));
        ASSERT_NE(slot, 0u);
        glBindTexture(GL_TEXTURE_2D, slot);
        EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), expected[filter][0]) << filter;
        EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), expected[filter][1]) << filter;
        EXPECT_EQ(levelWidth(0), 4);
        // Only the mipmapped texture has the smaller levels.
        EXPECT_EQ(levelWidth(1), filter == 2 ? 2 : 0) << filter;
        EXPECT_EQ(levelWidth(2), filter == 2 ? 1 : 0) << filter;
        // Wrap modes stay GL's default: repeat.
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    }
    EXPECT_TRUE(fake.messageBoxes.empty());
}

TEST_F(TextureTest, TwentyFourBitsBecomeRgbAndBlueStaysBlue) {
    uint32_t slot = 0;
    // One pixel stored B, G, R = FF 00 00: pure blue.
    ASSERT_TRUE(loadTargaTexture(tga("blue.tga", 1, 1, 24, {255, 0, 0}).c_str(), &slot, 1));
    glBindTexture(GL_TEXTURE_2D, slot);
    GLint alphaBits = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    EXPECT_EQ(alphaBits, 0);
    EXPECT_EQ(texels(GL_RGB, 3), (std::vector<uint8_t>{0, 0, 255}));
}

TEST_F(TextureTest, ThirtyTwoBitsBecomeRgbaWithTheirAlpha) {
    uint32_t slot = 0;
    ASSERT_TRUE(loadTargaTexture(tga("alpha.tga", 2, 1, 32, {0, 0, 255, 64, 255, 0, 0, 0}).c_str(),
                                 &slot, 2));
    glBindTexture(GL_TEXTURE_2D, slot);
    GLint alphaBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    EXPECT_GT(alphaBits, 0);
    EXPECT_EQ(texels(GL_RGBA, 8), (std::vector<uint8_t>{255, 0, 0, 64, 0, 0, 255, 0}));
}

TEST_F(TextureTest, RowsThatAreNoMultipleOfFourBytesUploadExactly) {
    Bytes pixels;
    for (int i = 0; i < 9; ++i) {
        pixels.insert(pixels.end(), {static_cast<uint8_t>(i * 20), static_cast<uint8_t>(i), 7});
    }
    uint32_t slot = 0;
    ASSERT_TRUE(loadTargaTexture(tga("odd.tga", 3, 3, 24, pixels).c_str(), &slot, 0));
    glBindTexture(GL_TEXTURE_2D, slot);
    const std::vector<uint8_t> back = texels(GL_RGB, 27);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(back[i * 3], 7);
        EXPECT_EQ(back[i * 3 + 1], i);
        EXPECT_EQ(back[i * 3 + 2], i * 20);
    }
}

TEST_F(TextureTest, BitmapsUploadBottomRowFirst) {
    // 3 x 2: bottom row red, green, blue; top row white, black, grey.
    const Bytes rows = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,
                        255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};
    uint32_t slot = 0;
    ASSERT_TRUE(loadBitmapTexture(dir.write("b.bmp", makeBmp(3, 2, 24, rows)).c_str(), &slot, 1));
    glBindTexture(GL_TEXTURE_2D, slot);
    const std::vector<uint8_t> back = texels(GL_RGB, 18);
    EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + 3), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(back.begin() + 15, back.end()),
              (std::vector<uint8_t>{128, 128, 128}));
    GLint alphaBits = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    EXPECT_EQ(alphaBits, 0);
}

TEST_F(TextureTest, SecondLoadIntoASlotDeletesTheFirstTexture) {
    const std::string path = tga("a.tga", 2, 2, 24, Bytes(12, 50));
    uint32_t slot = 0;
    ASSERT_TRUE(loadTargaTexture(path.c_str(), &slot, 1));
    const uint32_t first = slot;
    EXPECT_TRUE(glIsTexture(first));
    ASSERT_TRUE(loadTargaTexture(path.c_str(), &slot, 1));
    EXPECT_TRUE(glIsTexture(slot));
    EXPECT_FALSE(first != slot && glIsTexture(first));
}

TEST_F(TextureTest, UnknownFilterMakesANameAndUploadsNothing) {
    uint32_t bound = 0;
    glGenTextures(1, &bound);
    glBindTexture(GL_TEXTURE_2D, bound);
    uint32_t slot = 0;
    ASSERT_TRUE(loadTargaTexture(tga("a.tga", 2, 2, 24, Bytes(12, 50)).c_str(), &slot, 7));
    EXPECT_NE(slot, 0u);
    GLint current = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &current);
    EXPECT_EQ(static_cast<uint32_t>(current), bound); // not bound
    EXPECT_FALSE(glIsTexture(slot));                  // so never became a texture
    EXPECT_TRUE(fake.messageBoxes.empty());
}

TEST_F(TextureTest, FailedLoadLeavesTheSlotsTexture) {
    uint32_t slot = 0;
    ASSERT_TRUE(loadTargaTexture(tga("a.tga", 2, 2, 24, Bytes(12, 50)).c_str(), &slot, 1));
    const uint32_t good = slot;
    EXPECT_FALSE(loadTargaTexture(dir.file("missing.tga").c_str(), &slot, 1));
    EXPECT_EQ(slot, good);
    EXPECT_TRUE(glIsTexture(good));
    EXPECT_EQ(fake.captions(), "Error -11");
}

} // namespace
