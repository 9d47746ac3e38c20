// sdl_keys.h -- physical key positions to Windows virtual-key codes.
#pragma once

#include <SDL2/SDL_scancode.h>
#include <cstdint>

// The virtual-key code of the key at this position (the numeric keypad gives
// Numpad 0..9 whatever the NumLock state), or 0 for a key the game has no code for.
uint8_t virtualKeyFromScancode(SDL_Scancode scancode);
