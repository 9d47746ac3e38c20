// trial_session.h -- time trials as the game runs them: F8 starts one for the
// followed vehicle (F8 again ends it); its best lap on each track is kept as a
// ghost and driven beside it, and each gate says how far ahead or behind it is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/mode_change.h"
#include "app/view_mode.h"
#include "core/background_writes.h"
#include "core/input.h"
#include "core/play_lines.h"
#include "core/settings.h"
#include "replay/ghost.h"
#include "sim/world.h"

struct RaceSession;

// The time trial's part of the game: whose trial, its ghost and the ghost's
// world, the lap being recorded, the split showing, the ghosts being written.
struct TrialSession {
    bool keyWasDown;
    int32_t vehicle;             // whose trial
    bool haveGhost;              // a best lap of this track to drive beside
    std::unique_ptr<GhostLap> best = std::make_unique<GhostLap>();
    std::unique_ptr<GhostRecorder> recorder = std::make_unique<GhostRecorder>();
    std::unique_ptr<World> ghostWorld = std::make_unique<World>();
    GhostRun run;
    Vehicle ghostBefore;         // the ghost a step ago, to draw between
    char split[16];
    bool ahead;
    float splitLeft;             // seconds the split still shows
    int32_t lastGates;           // the trial vehicle's gates at the last step
    BackgroundWrites writes;     // ghosts being written
};

// Once a frame: F8 asks for a time trial (or the end of the one on). A frame
// of 1 / frameRate seconds ages the split shown.
ModeChange readTrialKeys(TrialSession& session, const InputState& input, uint32_t frameRate);

// The time trial on ends: the world drives freely again.
void endTimeTrial(TrialSession& session, World& world);

// Starts a time trial now, as F8 does.
void startTimeTrial(TrialSession& session, ViewState& view, World& world, const Settings& settings, PlayLines& said);

bool trialOn(const World& world);

// After each step of a live world: the lap recorded, the ghost driven on, the
// split at a gate, a faster lap kept as the new ghost.
void afterTrialStep(TrialSession& session, RaceSession& race, PlayLines& said, const World& world);

// The ghost's vehicle as drawn a fraction of a step past its last step; false
// when no ghost drives.
bool ghostToDraw(const TrialSession& session, double fraction, Vehicle& drawn, int32_t& look);

// The split shown now ("-0.42", ahead; "+0.13", behind); false when none.
bool splitShown(const TrialSession& session, char (&text)[16], bool& ahead);

// Without a window: the ghost of a replay's fastest lap for its track, written
// into the player's ghosts folder. 0, or 1 for a replay that cannot be read
// (said on standard error, nothing written).
int ghostFromReplay(World& world, PlayLines& said, const std::string& path);



