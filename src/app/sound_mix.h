// sound_mix.h -- what the player hears from where they look: each vehicle's
// engine, tyres and landings, placed for the current layout.
#pragma once

#include <cstdint>

#include "app/view_mode.h"
#include "audio/synth.h"
#include "sim/world.h"

// What the mix remembers between frames: each vehicle's flight, to hear it
// land, and the knocks heard.
struct SoundMix {
    struct Heard {
        bool inTheAir;
        float verticalSpeed; // units a second, up positive, as of the last frame
        uint32_t landings;
        float landingSpeed;
    } heard[vehicleCount];
    uint32_t sequence;
    uint32_t knocksSeen;  // the world's count of contacts begun, as last heard
    uint32_t knocksHeard; // knocks handed to the synthesiser
};

// The snapshot of the world as of its last step: every vehicle's revolutions, throttle, scrub and
// landings, heard in the one-driver view from the followed vehicle's seat (the
// others by distance and side), in the world view from the world camera, in
// the split layouts evenly spread and equally loud.
SoundSnapshot frameSound(SoundMix& mix, const ViewState& view, const World& world, uint32_t volume);
