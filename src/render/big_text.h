// big_text.h -- large captions ("3", "2", "1", "GO", a track's name) drawn as
// squares of a five-by-seven dot matrix, where the bitmap font is too small to
// be seen at a glance.
#pragma once

// Draws text centred on (x, y) in the overlay's window units, each dot `dot`
// units square, in the current colour, inside the current viewport (between
// beginOverlay2D and the next projection). Letters come out as capitals;
// characters without a pattern (anything but letters, digits, the space and
// - . ') are left as gaps.
void drawBigText(float x, float y, float dot, const char* text);
