// track_session.h -- changing track: F7, outside a race, moves on to the next
// track that can be driven and says its name in every view for two seconds.
#pragma once

#include <cstdint>

#include "app/mode_change.h"
#include "core/gamepads.h"
#include "scene/scene.h"
#include "sim/world.h"

// F7 as the game last saw it, and the new track's name across the views.
struct TrackSession {
    bool keyWasDown;
    TrackCaption caption;
};

// Once a frame: F7 or a pad's right shoulder asks for the next track. A frame
// lasting 1 / frameRate seconds ages the caption.
ModeChange readTrackKeys(TrackSession& session, const InputState& input, const Gamepads& gamepads, uint32_t frameRate);

// The next track that can be driven, its name said across the views; a race's
// results still showing end with the change. While a race runs (its
// countdown too) nothing changes.
void nextTrack(TrackSession& session, World& world, PlayLines& said, int32_t filter);

