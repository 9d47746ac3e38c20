// font_atlas.h -- the layout of Textures/Font.tga, the text's glyphs as one
// picture (made by the data generator, read by the OpenGL ES 2 backend):
// characters 32 to 127 in 16 columns and 6 rows, top row first. Each cell is
// the font's advance plus a margin on either side wide and fontCellHeight
// high; a glyph's pen starts fontCellMargin from the cell's left edge on the
// baseline fontBaseline from its top. White where the glyph is, clear
// elsewhere.
#pragma once

constexpr int fontColumns = 16;
constexpr int fontRows = 6;
constexpr int fontCellMargin = 4;
constexpr int fontCellHeight = 24;
constexpr int fontBaseline = 18;
