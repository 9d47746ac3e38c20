// big_text.h -- large captions ("3", "2", "1", "GO", a track's name) drawn as
// squares of a five-by-seven dot matrix, where the bitmap font is too small to
// be seen at a glance.
#pragma once

constexpr int bigTextCapacity = 64;

// One character's dots, a byte a row from the top, the left dot in bit 4.
struct BigGlyph {
    unsigned char rows[7];
};

// The characters of a UTF-8 text as dot patterns, at most capacity of them;
// returns how many. Letters come out as capitals, accented Latin ones as the
// plain letter ("é" as E); a character without a pattern (anything but letters,
// digits, the space and - . ' ! ? , : & / ( ) +) is a gap, a UTF-8 sequence or a
// stray byte one gap.
int bigTextGlyphs(const char* text, BigGlyph* glyphs, int capacity);

// Draws text (its first bigTextCapacity characters) centred on (x, y) in the
// overlay's window units, each dot `dot` units square, in the current colour,
// inside the current viewport (between beginOverlay2D and the next projection).
void drawBigText(float x, float y, float dot, const char* text);
