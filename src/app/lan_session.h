// lan_session.h -- a LAN race as the game runs it: --host (or the menu) opens
// the port and a lobby that shows who is there; --join ADDRESS (or the menu's
// list of the hosts that answered a broadcast) asks the host for a seat. The
// host's F5 starts the race on every machine; from then the world steps only
// with every vehicle's controls for the step, each machine sending its own.
#pragma once

#include <cstdint>
#include <string>

#include "net/lan_link.h"
#include "sim/world.h"
#include "vehicle/vehicle.h"

// Opens the settings' port and the lobby, the host driving blue (a replay
// playing ends). False, with a line that says why, when the port cannot be
// opened.
bool hostLanRace(World& world);

// Asks the host at "ADDRESS[:PORT]" for a seat (the settings' port where none
// is given; a replay playing ends). False, with a line that says why, when the
// address is no address.
bool joinLanRace(World& world, const std::string& address);

// Leaves the LAN race (the others are told) and closes the port.
void leaveLanRace();

// Hosting or joining: the LAN session has the keys of races, tracks and replays.
bool lanOn();

// A LAN race's lockstep steps the world: nothing may change it but a step.
bool lanWorldShared();

// The hosts that answered this machine's broadcast, for the menu's Join page
// (a broadcast goes out when the port is free and none went in the last second).
struct LanHost {
    LanAddress address;
    int32_t track;
    int32_t machines; // in its race so far
};
constexpr int32_t lanHostCapacity = 8;
int32_t findLanHosts(LanHost (&hosts)[lanHostCapacity]);
void stopFindingLanHosts();

// Once a frame, instead of the race's and the track's keys: what came in (the
// lobby, the start, the others' controls), the host's F5 and F7. frameSeconds
// is the frame's real time.
void readLanKeys(World& world, double frameSeconds);

// The host's F5 (or the menu's "Start race"): a race for every machine; on a
// joiner a line says the host starts it.
void startLanRound(World& world);

// The frame's steps of a LAN race: as many as real time owes, each once every
// vehicle's controls are here (this machine's from its keys and pads when
// they are the game's, not the menu's or a hidden window's; none otherwise);
// each step's vehicles first kept in before. False when no LAN race is on (the
// world steps as a local one).
bool stepLanWorld(World& world, int32_t owed, Vehicle (&before)[vehicleCount], bool keysDrive);

// The lobby and "waiting for red..." over the views, from this line down.
void drawLanOverlays(const World& world, uint32_t y);

// What the session sent (bytes) and the steps taken, for the measurements.
uint64_t lanBytesSent();
