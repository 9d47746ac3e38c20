// sdl_font.cpp -- glyph bitmaps from FreeType, found through fontconfig.
#include "platform/sdl/sdl_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "common/gl_api.h"

namespace {

// The file of the best match for a bold Courier-style monospace face, or "".
std::string findCourierFile() {
    std::string path;
    if (!FcInit()) {
        return path;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return path;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Courier"));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match != nullptr) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

// Compiles one rendered glyph. FreeType's rows run top-down; glBitmap wants
// them bottom-up, each starting on a byte (unpack alignment 1).
// A glyph that did not come out as a one-bit bitmap keeps only its advance.
void compileGlyph(const FT_GlyphSlot glyph, GLuint list) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    const int rows = mono ? static_cast<int>(bitmap.rows) : 0;
    const int width = mono ? static_cast<int>(bitmap.width) : 0;
    const int rowBytes = (width + 7) / 8;
    std::vector<GLubyte> bits(static_cast<size_t>(rows) * static_cast<size_t>(rowBytes));
    const int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int row = 0; row < rows && bitmap.buffer != nullptr; ++row) {
        // A negative pitch means FreeType already stores the rows bottom-up.
        const int sourceRow = bitmap.pitch < 0 ? rows - 1 - row : row;
        const unsigned char* source = bitmap.buffer + static_cast<size_t>(sourceRow) * pitch;
        GLubyte* target = bits.data() + static_cast<size_t>(rows - 1 - row) * rowBytes;
        for (int b = 0; b < rowBytes; ++b) {
            target[b] = source[b];
        }
    }
    const float advance = static_cast<float>((glyph->advance.x + 32) >> 6);
    glNewList(list, GL_COMPILE);
    if (bits.empty()) {
        // The space: one blank pixel that draws nothing and moves on, where a
        // bitmap of no size may be compiled without its advance.
        static const GLubyte blank = 0;
        glBitmap(1, 1, 0.0f, 0.0f, advance, 0.0f, &blank);
    } else {
        glBitmap(width, rows, static_cast<float>(-glyph->bitmap_left),
                 static_cast<float>(rows - glyph->bitmap_top), advance, 0.0f, bits.data());
    }
    glEndList();
}

} // namespace

bool buildFreeTypeFontLists(uint32_t firstList) {
    const std::string path = findCourierFile();
    if (path.empty()) {
        return false;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return false;
    }
    FT_Face face = nullptr;
    bool built = false;
    if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
        // 16 pixels is the character (em) height, not the cell height.
        if (FT_Set_Pixel_Sizes(face, 0, 16) == 0) {
            glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
            glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
            glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
            for (uint32_t code = 32; code < 128; ++code) {
                if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
                    compileGlyph(face->glyph, firstList + (code - 32));
                }
            }
            glPopClientAttrib();
            built = true;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return built;
}
