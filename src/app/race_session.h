// race_session.h -- a race as the game runs it: F5 (a pad's Y) starts one, the
// vehicles wait for "GO" with their controls dead, the results come up, and
// the player's records file is read and, when a record falls, written.
#pragma once

#include <cstdint>

#include "vehicle/vehicle.h"

// Once a frame, after the layout keys and the pads: F5 or a pad's Y starts a
// race (again, during one); while the results show, a layout key or a pad's
// Start ends it. Without a course a start only says there is no race.
void readRaceKeys();

// The controls each vehicle is driven by this frame: its keys and its pad, or
// none while a race counts down.
void takeControls(VehicleControls (&controls)[vehicleCount]);

// After the simulation step at frameRate: the race moves on, and results that
// come in are set against the records.
void advanceRace(uint32_t frameRate);

// Over the whole window: the results panel while it shows, and the short line
// that says a start found no course.
void drawRaceOverlays();

// No race, no records read, no keys remembered (for tests).
void resetRaceSession();
