// key_names.h -- the names players write for keys (settings.cfg, the README),
// one table for both backends, by virtual-key code.
#pragma once

#include <cstdint>

#include "common/vehicles.h"
#include "platform/win_messages.h"

// The virtual-key code a name stands for, letters in either case ("w", "W",
// "numpad8", "LeftShift"); 0 for a name that is no key of the table.
uint8_t keyCodeOfName(const char* name);

// A key's name as the table writes it; null for a code without one.
const char* keyNameOfCode(uint8_t code);

// What the game itself does with a key no vehicle may take (Escape, F1, F5,
// the layouts...), in words ("starting a race"); null for a key it leaves free.
const char* gameKeyAction(uint8_t code);

// The layout keys, each with the layout it chooses: Insert one driver's view,
// Home two drivers' and the world's, Delete three drivers' and the world's,
// End the world's alone.
struct LayoutKey {
    uint8_t code;
    bool worldView;
    uint32_t splitLayout; // 1..3; with the world view alone, unchanged
};
constexpr LayoutKey layoutKeys[] = {{VK_INSERT, false, 1}, {VK_HOME, false, 2}, {VK_DELETE, false, 3}, {VK_END, true, 0}};

// The keys each vehicle starts with, in a keys line's order (accelerate,
// reverse, left, right, brake, rescue): blue on the keypad, red on W Z A D S,
// green on I M J L K, each rescue the key right of its accelerate.
constexpr uint8_t startingKeys[vehicleCount][6] = {
    {VK_NUMPAD0 + 8, VK_NUMPAD0 + 2, VK_NUMPAD0 + 4, VK_NUMPAD0 + 6, VK_NUMPAD0 + 5, VK_NUMPAD0 + 9},
    {'W', 'Z', 'A', 'D', 'S', 'E'},
    {'I', 'M', 'J', 'L', 'K', 'O'},
};
