// track_session.h -- changing track: F7, outside a race, moves on to the next
// track that can be driven and says its name in every view for two seconds.
#pragma once

#include <cstdint>

#include "scene/scene.h"
#include "sim/world.h"

// F7 as the game last saw it, and the new track's name across the views.
struct TrackSession {
    bool keyWasDown;
    TrackCaption caption;
};

// Once a frame, after the race's and the replay's keys. A race's results
// still showing end with the change; during a race or a replay F7 does nothing.
void readTrackKeys(TrackSession& session, World& world, uint32_t frameRate);

