// sound_mix.h -- what the player hears from where they look: each vehicle's
// engine, tyres and landings, placed for the current layout.
#pragma once

#include <cstdint>

#include "audio/synth.h"
#include "sim/world.h"

// The snapshot of the world as of its last step: every vehicle's revolutions, throttle, scrub and
// landings, heard in the one-driver view from the followed vehicle's seat (the
// others by distance and side), in the world view from the world camera, in
// the split layouts evenly spread and equally loud.
SoundSnapshot frameSound(const World& world);

// Forgets the landings heard so far (a new game).
void resetFrameSound();
