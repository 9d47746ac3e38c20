// game.h -- the game above the world, as main owns it beside the World: the
// settings, the keys and pads as the window and the frames last saw them, the
// window's size, each part's record (the race's, the replays', the time
// trial's, the track's, the menu's, the LAN's), the lines told to the players
// and the frame's clock. Nothing of it is a global: what a part needs of
// another comes by argument.
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
#include "core/frame_timer.h"
#include "core/gamepads.h"
#include "core/input.h"
#include "core/play_lines.h"
#include "core/settings.h"
#include "core/startup_trace.h"
#include "core/system_info.h"
#include "platform/platform.h"
#include "render/gl_state.h"

// The main loop's own: the last message, what opens after the first frame,
// and what the last frame showed.
struct GameLoop {
    WindowMessage message{};
    bool soundPending = false;
    bool padsPending = false;
    int32_t trackShown = 0;
    RacePhase phaseShown = RacePhase::off;
};

struct Game {
    // Each record starts zeroed however the Game is made (a local, or new).
    Settings settings{};     // as read at start (the menu changes some for the next start)
    InputState input{};      // written by the window procedure, read by the frame
    WindowSize window{};     // the client area now: follows every resize
    bool active = true;      // frames are drawn only while true (false when minimised)
    FrameTimer frameTimer{}; // the measured and displayed frame rate
    SystemInfo systemInfo{}; // operating-system and GL driver texts
    Gamepads pads{};         // which pad drives which vehicle, and what they hold
    PlayLines said{};        // the lines across the views
    StartupTrace startup{};  // where the time to the first frame went
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
    GameLoop loop{};
};
