// sdl_font.h -- the game's bitmap font from the system's fonts (fontconfig + FreeType).
#pragma once

#include <cstdint>

// Finds the best bold Courier-style monospace face, renders characters 32..127
// at a 16-pixel character height and compiles each into the display list
// firstList + (code - 32) as a glBitmap that advances by the glyph's width.
// Returns false, leaving the lists empty, when no font can be found or read.
bool buildFreeTypeFontLists(uint32_t firstList);
