// big_text.h -- large captions ("3", "2", "1", "GO") drawn as squares of a
// five-by-seven dot matrix, where the bitmap font is too small to be seen at a
// glance.
#pragma once

// Draws text centred on (x, y) in the overlay's window units, each dot `dot`
// units square, in the current colour, inside the current viewport (between
// beginOverlay2D and the next projection). Characters without a pattern
// (anything but digits, G, O and the space) are left as gaps.
void drawBigText(float x, float y, float dot, const char* text);
