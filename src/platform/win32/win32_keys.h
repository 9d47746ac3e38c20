// win32_keys.h -- telling the numeric keypad from the dedicated navigation keys.
#pragma once

#include <cstdint>

// Bit 24 of a key message's lParam: set for the dedicated arrows, Insert,
// Delete, Home, End, Page Up and Page Down, clear for the keypad's own keys.
constexpr uint32_t extendedKeyFlag = 1u << 24;

// With NumLock off Windows reports the keypad's 0-9 and its decimal point as
// the navigation keys (Numpad 8 as Up, Numpad 5 as Clear, ...). Hands back the
// keypad's own code for such a key, so the keypad drives the same whatever the
// NumLock; and shift and control by side (the scan code in bits 16..23 tells
// the shifts apart, the extended bit the controls), as each may be a player's
// key. Every other key, and the extended (dedicated) keys, keep their code.
uint32_t keypadVirtualKey(uint32_t virtualKey, uint32_t lParam);
