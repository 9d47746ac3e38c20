// view_mode.h -- the keys that choose the screen layout and the followed vehicle.
#pragma once

#include <cstdint>

#include "core/gamepads.h"
#include "core/input.h"

// Insert: one driver view; Home: two driver views and the world view; Delete:
// three driver views and the world view; End: the world view alone. The first
// key down this frame in that order wins; with none the layout stays.
void readLayoutKeys(const InputState& input, bool& worldView, uint32_t& splitLayout);

// Numpad 7, Q, U follow vehicle 0, 1, 2; the first key down in that order wins.
void readFollowKeys(const InputState& input, uint32_t& followedVehicle);

// The pads' view buttons of this frame, after the keys: Back follows that pad's
// vehicle; each Start steps one driver -> two drivers -> three drivers -> world
// -> one driver.
void applyPadViewButtons(const Gamepads& pads, bool& worldView, uint32_t& splitLayout, uint32_t& followedVehicle);
