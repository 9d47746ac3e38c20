// font.cpp -- Textures/Font.tga: the text's glyphs as one picture, for the
// renderer that draws text as textured squares (WebGL has no bitmaps).
#include <cstdio>
#include <string>
#include <vector>

#include "data_set.h"
#include "image.h"
#include "platform/sdl/font_glyphs.h"
#include "render/font_atlas.h"

namespace gen {

void makeFontPicture(const std::string& folder) {
    std::vector<FontGlyph> glyphs;
    if (!renderFontGlyphs(glyphs)) {
        // The picture is still made, its cells empty: the text is then missing,
        // nothing else.
        std::fprintf(stderr, "make_data: no bold monospace font found (fontconfig): Textures/Font.tga has no glyphs\n");
        glyphs.assign(96, FontGlyph{});
        glyphs[0].advance = 10;
    }
    // Every glyph of a monospace face moves the pen as far as the space does.
    const int advance = glyphs[0].advance > 0 ? glyphs[0].advance : 10;
    const int cellWidth = advance + 2 * fontCellMargin;
    Picture picture(fontColumns * cellWidth, fontRows * fontCellHeight);
    for (int code = 0; code < fontColumns * fontRows; ++code) {
        const FontGlyph& glyph = glyphs[static_cast<size_t>(code)];
        const int cellLeft = code % fontColumns * cellWidth, cellTop = code / fontColumns * fontCellHeight;
        for (int row = 0; row < glyph.rows; ++row) {
            for (int x = 0; x < glyph.width; ++x) {
                const int px = cellLeft + fontCellMargin + glyph.left + x;
                const int fromTop = cellTop + fontBaseline - glyph.top + row;
                const bool inCell = px >= cellLeft && px < cellLeft + cellWidth && fromTop >= cellTop && fromTop < cellTop + fontCellHeight;
                if (inCell && glyph.pixels[static_cast<size_t>(row) * glyph.width + x] != 0) {
                    picture.at(px, picture.height() - 1 - fromTop) = Colour{1, 1, 1, 1};
                }
            }
        }
    }
    writeTga(folder + "/Textures/Font.tga", picture, 32);
}

} // namespace gen
