// race_session.h -- a race as the game runs it: F5 (a pad's Y) starts one, the
// vehicles wait for "GO" with their controls dead, the results come up, and
// the player's records file is read and, when a record falls, written.
#pragma once

#include <cstdint>
#include <string>

#include "race/race.h"
#include "sim/world.h"

// Once a frame, after the layout keys and the pads: F5 or a pad's Y starts a
// race (again, during one); while the results show, a layout key or a pad's
// Start ends it. Without a course a start only says there is no race. A frame
// lasting 1 / frameRate seconds ages the notices.
void readRaceKeys(World& world, uint32_t frameRate);

// A race starts now, as F5 starts one: the records read, the vehicles on the
// grid, the countdown running; without a course only a line says so.
void startRaceNow(World& world);

// A race starts now as the host of a LAN race starts it on every machine:
// the records read, the vehicles on the grid, these vehicles the computer's
// at this skill, the vehicles touching and the trunks standing or not.
void startRaceOf(World& world, int32_t laps, int32_t skill, const bool (&computer)[vehicleCount], bool vehicleContact,
                 bool solidTrees);

// A time trial's lap as the world's track's best lap: every length's record of
// the track and simulation it beats takes it (the race times stay; a lap alone
// sets no race). A lap with contact or trees off sets none.
void offerTrialLap(const World& world, double lapTime);


// Where the player's records file is; "" where it cannot be known.
std::string recordsPath();

// The controls the players give the coming step, each vehicle's keys and pad.
// The step makes a vehicle its player touches the player's; the touch is kept
// for the next race too.
void takeControls(VehicleControls (&controls)[vehicleCount]);

// After each step of the world: the step into the replay being recorded, and
// results that came in set against the records. before is the race's phase
// before the step.
void afterRaceStep(World& world, RacePhase before);

// Over the whole window: the results panel while it shows, and the short lines
// that say a start found no course, or that old records were set aside.
void drawRaceOverlays(const World& world);

// Once a frame: a records file that could not be written is said.
void sayRaceWrites();

// Waits until the records file is written (at the game's end).
void finishRaceWrites();

// No race, no records read, no keys remembered (for tests).
void resetRaceSession();
