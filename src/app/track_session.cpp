// track_session.cpp -- F7 (or a pad's right shoulder) and the caption that names the new track.
#include "app/track_session.h"

#include <cstdio>

#include "core/app_state.h"
#include "core/gamepads.h"
#include "platform/win_messages.h"
#include "race/race.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

constexpr float captionSeconds = 2;

bool keyWasDown = false;

} // namespace

void readTrackKeys(World& world, uint32_t frameRate) {
    if (trackCaption.seconds > 0) {
        trackCaption.seconds -= 1.0f / static_cast<float>(frameRate > 0 ? frameRate : 1);
    }
    const bool down = input.isDown(VK_F7);
    const bool pressed = (down && !keyWasDown) || gamepads.trackChanges > 0;
    keyWasDown = down;
    const bool racing = world.race.phase == RacePhase::countdown || world.race.phase == RacePhase::racing;
    if (!pressed || racing) {
        return;
    }
    endRace(world.race); // results still showing go with the old track
    const int32_t next = nextCompleteTrack(world.track);
    if (next != world.track) {
        switchTrack(world, next, settings.textureFilter);
    }
    // Where there is no other track, its name again says so.
    std::snprintf(trackCaption.text, sizeof trackCaption.text, "%s", trackName(world));
    trackCaption.seconds = captionSeconds;
}

void resetTrackSession() {
    keyWasDown = false;
    trackCaption = TrackCaption{};
}
