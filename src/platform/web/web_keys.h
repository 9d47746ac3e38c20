// web_keys.h -- a browser's key positions to Windows virtual-key codes.
#pragma once

#include <cstdint>

// The virtual-key code of the key at this position (KeyboardEvent.code:
// "KeyW", "Numpad8", "F5", "ArrowUp"), or 0 for a key the game has no code for.
uint8_t virtualKeyFromCode(const char* code);
