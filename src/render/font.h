// font.h -- the bitmap font and formatted text at window pixel positions.
#pragma once

#include <cstdint>

#include "render/gl_state.h"

// The characters of text that have a glyph (32..127) in order, at most 255;
// returns how many went into drawable.
int drawableCharacters(const char* text, unsigned char (&drawable)[256]);

// Formats like printf and draws the text in the current colour with its
// baseline starting at (x, y) window pixels, y down from the top edge; inside a
// smaller viewport the position scales into it while the glyphs keep their
// size. Text beyond 255 characters is cut; characters outside 32..127 are
// skipped. Leaves the whole-window perspective and viewport behind.
void printText(WindowSize window, uint32_t x, uint32_t y, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;
