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

int drawableCharacters(const char* text, unsigned char (&drawable)[256]) {
    // Only characters with a list of their own are drawn; the others would call
    // display lists that belong to something else.
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
    glRasterPos2f(static_cast<float>(x), static_cast<float>(y));

    char text[256]; // longer text is cut
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    // Without lists every character would call display lists that belong to
    // something else.
    unsigned char drawable[256];
    const GLsizei count = fontBase != 0 ? drawableCharacters(text, drawable) : 0;

    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase - firstCharacter);
    glCallLists(count, GL_UNSIGNED_BYTE, drawable);
    glPopAttrib();

    applyPerspective(window);
}
