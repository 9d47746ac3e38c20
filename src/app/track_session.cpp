// track_session.cpp -- F7 (or a pad's right shoulder) and the caption that names the new track.
#include "app/track_session.h"

#include <cstdio>

#include "core/gamepads.h"
#include "platform/win_messages.h"
#include "race/race.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

constexpr float captionSeconds = 2;

} // namespace

ModeChange readTrackKeys(TrackSession& session, const InputState& input, const Gamepads& gamepads, uint32_t frameRate) {
    if (session.caption.seconds > 0) {
        session.caption.seconds -= 1.0f / static_cast<float>(frameRate > 0 ? frameRate : 1);
    }
    const bool down = input.isDown(VK_F7);
    const bool pressed = (down && !session.keyWasDown) || gamepads.trackChanges > 0;
    session.keyWasDown = down;
    return pressed ? ModeChange::nextTrack : ModeChange::none;
}

void nextTrack(TrackSession& session, World& world, PlayLines& said, int32_t filter) {
    if (world.race.phase == RacePhase::countdown || world.race.phase == RacePhase::racing) {
        return;
    }
    endRace(world.race); // results still showing go with the old track
    const int32_t next = nextCompleteTrack(world.track);
    if (next != world.track) {
        switchTrack(world, said, next, filter);
    }
    // Where there is no other track, its name again says so.
    std::snprintf(session.caption.text, sizeof session.caption.text, "%s", trackName(world).c_str());
    session.caption.seconds = captionSeconds;
}
