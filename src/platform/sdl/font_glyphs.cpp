// font_glyphs.cpp -- the glyphs of the bold Courier-style face, found through
// fontconfig and rendered by FreeType.
#include "platform/sdl/font_glyphs.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <string>

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

// The glyph FreeType rendered; one that did not come out as a one-bit
// bitmap keeps only its advance.
FontGlyph takeGlyph(const FT_GlyphSlot slot) {
    const FT_Bitmap& bitmap = slot->bitmap;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO && bitmap.buffer != nullptr;
    FontGlyph glyph;
    glyph.rows = mono ? static_cast<int>(bitmap.rows) : 0;
    glyph.width = mono ? static_cast<int>(bitmap.width) : 0;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.pixels.resize(static_cast<size_t>(glyph.rows) * static_cast<size_t>(glyph.width));
    const int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int row = 0; row < glyph.rows; ++row) {
        // A negative pitch means FreeType stores the rows bottom-up.
        const int sourceRow = bitmap.pitch < 0 ? glyph.rows - 1 - row : row;
        const unsigned char* source = bitmap.buffer + static_cast<size_t>(sourceRow) * pitch;
        for (int x = 0; x < glyph.width; ++x) {
            glyph.pixels[static_cast<size_t>(row) * glyph.width + x] = (source[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    return glyph;
}

} // namespace

bool renderFontGlyphs(std::vector<FontGlyph>& glyphs) {
    const std::string path = findCourierFile();
    if (path.empty()) {
        return false;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return false;
    }
    FT_Face face = nullptr;
    bool rendered = false;
    if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
        // 16 pixels is the character (em) height, not the cell height.
        if (FT_Set_Pixel_Sizes(face, 0, 16) == 0) {
            glyphs.assign(96, FontGlyph{});
            for (uint32_t code = 32; code < 128; ++code) {
                if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
                    glyphs[code - 32] = takeGlyph(face->glyph);
                }
            }
            rendered = true;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return rendered;
}
