// font_glyphs.h -- the game's font from the system's fonts (fontconfig and
// FreeType): shared by the SDL backend's glyph lists and the data
// generator's picture of the glyphs.
#pragma once

#include <cstdint>
#include <vector>

// One character's glyph: its pixels top row first, one byte each (0 or 1),
// where its top-left pixel lies from the pen (left across, top up), and how
// far the pen moves on.
struct FontGlyph {
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
    std::vector<uint8_t> pixels;
};

// Characters 32..127 of the best bold Courier-style monospace face at a
// 16-pixel character height, without smoothing. False when no face can be
// found or read.
bool renderFontGlyphs(std::vector<FontGlyph>& glyphs);
