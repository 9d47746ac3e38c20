// game.h -- the game above the world, as main owns it beside the World: each
// part's record (the race's, the replays', the time trial's, the track's, the
// menu's, the LAN's) and the frame's clock. Nothing of it is a global: what a
// part needs of another comes by argument.
#pragma once

#include "app/bindings.h"
#include "app/frame.h"
#include "app/lan_session.h"
#include "app/menu_session.h"
#include "app/race_session.h"
#include "app/replay_session.h"
#include "app/sound_mix.h"
#include "app/track_session.h"
#include "app/trial_session.h"
#include "app/view_mode.h"

struct Game {
    // Each record starts zeroed however the Game is made (a local, or new).
    Bindings bindings = defaultBindings();
    ViewState view{};
    bool padsOpen = false; // the pads' support started (after the first frame, where the settings let it)
    RaceSession race{};
    ReplaySession replay{};
    TrialSession trial{};
    TrackSession track{};
    MenuSession menu{};
    LanSession lan{};
    FrameState frame{};
    SoundMix sound{};
};
