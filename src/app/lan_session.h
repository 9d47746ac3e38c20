// lan_session.h -- a LAN race as the game runs it: --host (or the menu) opens
// the port and a lobby that shows who is there; --join ADDRESS (or the menu's
// list of the hosts that answered a broadcast) asks the host for a seat. The
// host's F5 starts the race on every machine; from then the world steps only
// with every vehicle's controls for the step, each machine sending its own.
#pragma once

#include <cstdint>
#include <string>

#include "core/gamepads.h"
#include "core/input.h"
#include "core/play_lines.h"
#include "core/settings.h"
#include "net/lan_room.h"
#include "sim/world.h"
#include "render/gl_state.h"
#include "vehicle/vehicle.h"

struct Bindings;
struct RaceSession;
struct ReplaySession;
struct ViewState;

// Opens the settings' port and the lobby, the host driving blue (a replay
// playing ends). False, with a line that says why, when the port cannot be
// opened.
bool hostLanRace(LanSession& lan, ReplaySession& replay, World& world, const Settings& settings, PlayLines& said);

// Asks the host at "ADDRESS[:PORT]" for a seat (the settings' port where none
// is given; a replay playing ends). False, with a line that says why, when the
// address is no address.
bool joinLanRace(LanSession& lan, ReplaySession& replay, World& world, const Settings& settings, PlayLines& said,
                 const std::string& address);

// The menu's choice of track: true where this machine changes its own world's
// track (no LAN race, or a host's lobby); a server's leader asks the server
// for it instead, and another joiner keeps the host's.
bool chooseLanTrack(LanSession& lan, int32_t track);

// Hosting or joining: the LAN session has the keys of races, tracks and replays.
bool lanOn(const LanSession& lan);

// A LAN race's lockstep steps the world: nothing may change it but a step.
bool lanWorldShared(const LanSession& lan);

// The hosts that answered this machine's broadcast, for the menu's Join page
// (a broadcast goes out when the port is free and none went in the last second).
int32_t findLanHosts(LanSession& lan, const Settings& settings, LanHost (&hosts)[lanHostCapacity]);
void stopFindingLanHosts(LanSession& lan);

// Once a frame: what came in (the lobby, the start, the others' controls) and
// the host's F7 in the lobby. frameSeconds is the frame's real time.
void readLanKeys(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                 PlayLines& said, const InputState& input, double frameSeconds);

// The host's F5 (or the menu's "Start race"): a race for every machine; on a
// joiner a line says the host starts it.
void startLanRound(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                   PlayLines& said);

// A LAN race's part of a frame's steps begins with this machine's controls
// for the steps real time owes (from these keys and the pads; none where there
// are no keys: the menu has them, or the window is hidden), and is false when
// no LAN race is on; lan_room's steps follow.
bool beginLanSteps(LanSession& lan, InputState& input, const Gamepads& gamepads, const Bindings* keys);

// The lobby and "waiting for red..." over the views, from this line down.
void drawLanOverlays(const LanSession& lan, const World& world, WindowSize window, uint32_t y);
