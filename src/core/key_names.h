// key_names.h -- the names players write for keys (settings.cfg, the README),
// one table for both backends, by virtual-key code.
#pragma once

#include <cstdint>

// The virtual-key code a name stands for, letters in either case ("w", "W",
// "numpad8", "LeftShift"); 0 for a name that is no key of the table.
uint8_t keyCodeOfName(const char* name);

// A key's name as the table writes it; null for a code without one.
const char* keyNameOfCode(uint8_t code);
