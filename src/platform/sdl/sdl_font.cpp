// sdl_font.cpp -- the font's glyphs as glBitmap display lists.
#include "platform/sdl/sdl_font.h"

#include <cstddef>
#include <vector>

#include "common/gl_api.h"
#include "platform/sdl/font_glyphs.h"

namespace {

// Compiles one glyph: glBitmap wants its rows bottom-up, eight pixels a byte,
// each row starting on a byte (unpack alignment 1).
void compileGlyph(const FontGlyph& glyph, GLuint list) {
    const int rowBytes = (glyph.width + 7) / 8;
    std::vector<GLubyte> bits(static_cast<size_t>(glyph.rows) * static_cast<size_t>(rowBytes));
    for (int row = 0; row < glyph.rows; ++row) {
        GLubyte* target = bits.data() + static_cast<size_t>(glyph.rows - 1 - row) * rowBytes;
        for (int x = 0; x < glyph.width; ++x) {
            target[x / 8] |= static_cast<GLubyte>(glyph.pixels[static_cast<size_t>(row) * glyph.width + x] << (7 - x % 8));
        }
    }
    const float advance = static_cast<float>(glyph.advance);
    glNewList(list, GL_COMPILE);
    if (bits.empty()) {
        // The space: one blank pixel that draws nothing and moves on, where a
        // bitmap of no size may be compiled without its advance.
        static const GLubyte blank = 0;
        glBitmap(1, 1, 0.0f, 0.0f, advance, 0.0f, &blank);
    } else {
        glBitmap(glyph.width, glyph.rows, static_cast<float>(-glyph.left), static_cast<float>(glyph.rows - glyph.top), advance,
                 0.0f, bits.data());
    }
    glEndList();
}

} // namespace

bool buildFreeTypeFontLists(uint32_t firstList) {
    std::vector<FontGlyph> glyphs;
    if (!renderFontGlyphs(glyphs)) {
        return false;
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (uint32_t code = 32; code < 128; ++code) {
        compileGlyph(glyphs[code - 32], firstList + (code - 32));
    }
    glPopClientAttrib();
    return true;
}
