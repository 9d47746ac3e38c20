// font.cpp -- the bitmap font and printText.
#include "render/font.h"

#include <cstdarg>
#include <cstdio>

#include "render/gl_state.h"
#include "render/render.h"

namespace {

constexpr uint32_t firstCharacter = 32;
constexpr uint32_t characterCount = 96;

} // namespace

int drawableCharacters(const char* text, unsigned char (&drawable)[256]) {
    // Only characters with a glyph of their own are drawn; the others would
    // call display lists that belong to something else.
    int count = 0;
    for (int i = 0; text != nullptr && text[i] != '\0' && count < 255; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= firstCharacter && c < firstCharacter + characterCount) {
            drawable[count++] = c;
        }
    }
    return count;
}

void printText(WindowSize window, uint32_t x, uint32_t y, const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    beginOverlay2D(window);
    char text[256]; // longer text is cut
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    unsigned char drawable[256];
    drawText(static_cast<float>(x), static_cast<float>(y), drawable, drawableCharacters(text, drawable));
    applyPerspective(window);
}
