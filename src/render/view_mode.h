// view_mode.h -- the keys that choose the screen layout and the followed vehicle.
#pragma once

#include <cstdint>

// Insert: one driver view; Home: two driver views and the world view; Delete:
// three driver views and the world view; End: the world view alone. The first
// held key in that order wins; with none held the layout stays.
void readLayoutKeys(const uint8_t (&keys)[256], bool& worldView, uint32_t& splitLayout);

// Numpad 7, Q, U follow vehicle 0, 1, 2; the first held key in that order wins.
void readFollowKeys(const uint8_t (&keys)[256], uint32_t& followedVehicle);
