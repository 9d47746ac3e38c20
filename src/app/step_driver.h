// step_driver.h -- the one loop that steps the world in a frame, whoever
// gives the controls: the players' keys and pads, a LAN race's lockstep, a
// replay. The mode names the source; the source hands over each step's
// controls (and, for an old replay, its length) until none is due; after
// each step those who keep it see it: the recording and the records, the time
// trial and its ghost, the LAN's world hash, the replay's keyframes.
#pragma once

#include <cstdint>

#include "sim/world.h"

struct Game;
struct Bindings;

// The frame's steps: owed steps of live play from these keys (none where
// there are none: the menu has them, or the window is hidden; a live world
// without keys then stands still), a LAN race's as its lockstep allows, or as
// much of a replay as seconds of game time at its speed. Each step's vehicles
// are first kept in the game's frame, to draw between. Returns where between
// its last two steps the views draw the world (0..1), or -1 when nothing
// steps the world now (it stands, as under the menu).
double stepFrame(Game& game, World& world, int32_t owed, double seconds, const Bindings* keys);
