// font.cpp -- font display lists and printText.
#include "render/font.h"

#include <cstdarg>
#include <cstdio>

#include "core/app_state.h"
#include "common/gl_api.h"
#include "platform/platform.h"
#include "render/gl_state.h"

namespace {

constexpr uint32_t firstCharacter = 32;
constexpr uint32_t characterCount = 96;

} // namespace

void createFont() {
    fontBase = glGenLists(characterCount);
    if (fontBase != 0) {
        platformBuildFontLists(fontBase);
    }
}

void deleteFont() {
    if (fontBase != 0) {
        glDeleteLists(fontBase, characterCount);
    }
}

void printText(uint32_t x, uint32_t y, const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    beginOverlay2D();
    glRasterPos2f(static_cast<float>(x), static_cast<float>(y));

    char text[256];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0) {
        length = 0;
    } else if (length > static_cast<int>(sizeof text) - 1) {
        length = sizeof text - 1;
    }

    // Only characters with a list of their own are drawn; the others would call
    // display lists that belong to something else (as would every character
    // when the font has no lists at all).
    unsigned char drawable[256];
    GLsizei count = 0;
    for (int i = 0; fontBase != 0 && i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= firstCharacter && c < firstCharacter + characterCount) {
            drawable[count++] = c;
        }
    }

    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase - firstCharacter);
    glCallLists(count, GL_UNSIGNED_BYTE, drawable);
    glPopAttrib();

    applyPerspective();
}
