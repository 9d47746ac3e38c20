// race_session.h -- a race as the game runs it: F5 (a pad's Y) starts one, the
// vehicles wait for "GO" with their controls dead, the results come up, and
// the player's records file is read and, when a record falls, written.
#pragma once

#include <cstdint>
#include <string>

#include "app/mode_change.h"
#include "core/background_writes.h"
#include "core/gamepads.h"
#include "core/input.h"
#include "core/play_lines.h"
#include "core/settings.h"
#include "render/gl_state.h"
#include "race/race.h"
#include "race/records.h"
#include "sim/world.h"

struct Bindings;
struct ReplaySession;

// The race's part of the game: its keys, the records as read, who broke
// which, the notices showing and the records file being written.
struct RaceSession {
    bool startWasDown;     // F5 in the last frame: a start is a new press
    bool layoutWasDown;    // a layout key in the last frame
    // A vehicle nobody has touched (keys or pad) since the game started or the
    // last race ended is the computer's in the next race, until somebody does.
    bool touched[vehicleCount];
    RaceRecords records;   // as read at the race's start
    bool recordsDamaged;   // said once a run; the file could not be set aside: none kept
    bool lapRecord[vehicleCount];  // who broke which record in this race
    bool raceRecord[vehicleCount];
    float noticeSeconds;   // "no race on this track" still showing
    float oldClockSeconds; // "old records set aside" still showing
    BackgroundWrites writes; // the records file being written
};

// Once a frame, after the layout keys and the pads: F5 or a pad's Y asks for a
// race (again, during one); while the results show, a layout key or a pad's
// Start asks for their end. A frame lasting 1 / frameRate seconds ages the
// notices.
ModeChange readRaceKeys(RaceSession& session, const InputState& input, const Gamepads& gamepads, const World& world,
                        uint32_t frameRate);

// A race starts now, as F5 starts one: the records read, the vehicles on the
// grid, the countdown running; without a course only a line says there is no race.
// demo: the computer drives all three, whoever touched a key.
void startRaceNow(RaceSession& session, World& world, const Settings& settings, PlayLines& said, bool demo = false);

// A race starts now as the host of a LAN race starts it on every machine:
// the records read (a damaged file told to the players), the vehicles on the grid, these vehicles the computer's
// at this skill, the vehicles touching and the trunks standing or not.
void startRaceOf(RaceSession& session, World& world, PlayLines& said, int32_t laps, int32_t skill, const bool (&computer)[vehicleCount], bool vehicleContact,
                 bool solidTrees);

// A time trial's lap as the world's track's best lap: every length's record of
// the track and simulation it beats takes it (the race times stay; a lap alone
// sets no race). A lap with contact or trees off sets none.
void offerTrialLap(RaceSession& session, PlayLines& said, const World& world, double lapTime);


// Where the player's records file is; "" where it cannot be known.
std::string recordsPath();

// The controls the players give the coming step, each vehicle's keys and pad.
// The step makes a vehicle its player touches the player's; the touch is kept
// for the next race too.
void takeControls(RaceSession& session, const Bindings& bindings, const InputState& input, const Gamepads& gamepads,
                  VehicleControls (&controls)[vehicleCount]);

// After each step of the world: the step into the replay being recorded, and
// results that came in set against the records. before is the race's phase
// before the step.
void afterRaceStep(RaceSession& session, ReplaySession& replay, World& world, RacePhase before);

// Over the whole window: the results panel while it shows, and the short lines
// that say a start found no course, or that old records were set aside.
void drawRaceOverlays(const RaceSession& session, const World& world, WindowSize window);



