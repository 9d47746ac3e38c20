// big_text.cpp -- the dot-matrix captions.
#include "render/big_text.h"

#include <cstring>

#include "common/gl_api.h"

namespace {

struct Glyph {
    char c;
    unsigned char rows[7];
};

constexpr Glyph glyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
};

// The dots of a character, one byte a row from the top, the left dot in bit 4;
// false for a character without a pattern.
bool bigGlyph(char c, unsigned char (&rows)[7]) {
    for (const Glyph& glyph : glyphs) {
        if (glyph.c == c) {
            std::memcpy(rows, glyph.rows, sizeof rows);
            return true;
        }
    }
    return false;
}

} // namespace

void drawBigText(float x, float y, float dot, const char* text) {
    if (text == nullptr) {
        return;
    }
    // Five dots and a gap of one a character; the whole line centred.
    const float advance = 6 * dot;
    const float width = static_cast<float>(std::strlen(text)) * advance - dot;
    const float left = x - width / 2, top = y - 3.5f * dot;
    glBegin(GL_QUADS);
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        unsigned char rows[7];
        if (!bigGlyph(text[i], rows)) {
            continue;
        }
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 5; ++column) {
                if ((rows[row] >> (4 - column) & 1) == 0) {
                    continue;
                }
                const float x0 = left + static_cast<float>(i) * advance + static_cast<float>(column) * dot;
                const float y0 = top + static_cast<float>(row) * dot;
                glVertex2f(x0, y0);
                glVertex2f(x0 + dot, y0);
                glVertex2f(x0 + dot, y0 + dot);
                glVertex2f(x0, y0 + dot);
            }
        }
    }
    glEnd();
}
