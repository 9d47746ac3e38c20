// xinput_pads.h -- reading XInput's four controller slots into pad readings.
// Free of <windows.h>, so the slot logic is tested on any system.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// XINPUT_STATE as XInputGetState fills it (the same layout, byte for byte).
struct XInputPadState {
    uint32_t packetNumber;
    uint16_t buttons;
    uint8_t leftTrigger;
    uint8_t rightTrigger;
    int16_t thumbLX, thumbLY, thumbRX, thumbRY;
};
static_assert(sizeof(XInputPadState) == 16, "XINPUT_STATE is 16 bytes");

// XInputGetState: 0 (ERROR_SUCCESS) for a connected pad in that slot.
using XInputGetStateFunction = uint32_t (*)(uint32_t slot, XInputPadState* state);

constexpr uint32_t xinputSlots = 4;

// Polls the four slots; a slot that answers is a connected pad (handle and
// identity: the slot number + 1). Returns how many readings were filled.
int readXInputPads(XInputGetStateFunction getState, PadReading* readings, int capacity);
