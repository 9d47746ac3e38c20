// texture.h -- BMP and TGA files into GL textures, filtered as the settings ask.
#pragma once

#include <cstdint>

#include "core/play_lines.h"

// Loads a BMP into a new texture whose name replaces *slot (the old texture is
// deleted first). On failure tells the players "Texture initialization
// failed!" captioned "Error -9", leaves *slot alone and returns false. Needs
// the GL context.
bool loadBitmapTexture(PlayLines& said, const char* path, uint32_t* slot, int32_t filter);

// The same for a 24- or 32-bit TGA, uncompressed or run-length encoded; the
// failure captions are "Error -11" (cannot open), "Error -12" (bad header),
// "Error -13" (pixels cut short or overrunning the picture).
bool loadTargaTexture(PlayLines& said, const char* path, uint32_t* slot, int32_t filter);
