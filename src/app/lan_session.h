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
#include "net/lan_link.h"
#include "net/lan_messages.h"
#include "net/lockstep.h"
#include "sim/world.h"
#include "render/gl_state.h"
#include "vehicle/vehicle.h"

struct Bindings;
struct RaceSession;
struct ReplaySession;
struct ViewState;

// A host that answered this machine's broadcast.
struct LanHost {
    LanAddress address;
    int32_t track;
    int32_t machines; // in its race so far
};
constexpr int32_t lanHostCapacity = 8;

enum class LanRole { none, host, joiner };

// A machine in the host's race.
struct LanMachine {
    bool in;
    LanAddress address;
    int32_t seatsWanted;
    double silent; // seconds since its last word
    uint8_t since; // the host's race when it came: it drives from the next
};

// The LAN's part of the game apart from its port: who this machine is, the
// machines and the race, the lockstep, the hosts found.
struct LanState {
    LanRole role;
    int32_t me;
    LanAddress host;          // a joiner's host
    bool welcomed;            // the host answered
    double silent;            // a joiner: seconds since the host's last word
    double sendIn;            // seconds to the next lobby message or request
    LanMachine machines[maxMachines];
    LanRace race;             // the host's race, as last set or said
    uint8_t round;            // races started (joined, for a joiner)
    int32_t checkedTrack;     // a joiner: the track whose files it compared last
    bool racing;              // the lockstep steps the world
    Lockstep lockstep;
    LanSnapshot pending;      // a joiner: the host's world for a coming step
    bool hasPending;
    double resendSeconds;     // the host: its world still being repeated
    LanSnapshot sent;
    uint32_t saidResync;      // the last resync step said
    double waited;            // seconds the world has waited for controls
    bool f7WasDown;           // the host's track key in the last frame
    // Finding hosts for the menu.
    bool finding;
    double queryIn;
    LanHost found[lanHostCapacity];
    int32_t foundCount;
};

struct LanSession : LanState {
    LanLink link; // the one UDP port, open while hosting, joining or finding
    // The race code this machine hosts with (a joiner must give it) or joins
    // with; all zero: none. Kept from one session to the next.
    char code[raceCodeLength];
    double joinBudget;  // the host: joins it still answers this second
};

// Opens the settings' port and the lobby, the host driving blue (a replay
// playing ends). False, with a line that says why, when the port cannot be
// opened.
bool hostLanRace(LanSession& lan, ReplaySession& replay, World& world, const Settings& settings, PlayLines& said);

// Asks the host at "ADDRESS[:PORT]" for a seat (the settings' port where none
// is given; a replay playing ends). False, with a line that says why, when the
// address is no address.
bool joinLanRace(LanSession& lan, ReplaySession& replay, World& world, const Settings& settings, PlayLines& said,
                 const std::string& address);

// Leaves the LAN race (the others are told) and closes the port.
void leaveLanRace(LanSession& lan);

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

// A LAN race's part of a frame's steps, in the step driver's order. The
// frame begins with this machine's controls for the steps real time owes
// (from these keys and the pads; none where there are no keys: the menu has
// them, or the window is hidden) and false when no LAN race is on. A step is
// due once every vehicle's controls for it are here: as many as real time
// owes, up to a few more to catch up with machines ahead (taken: the steps
// this frame took so far); a machine dropped hands its vehicles to the
// computer at the step all agreed on. After each step, the world's hash once
// a second and the host's world where all take it; at the frame's end, what
// waits is said and this machine's controls go out.
bool beginLanSteps(LanSession& lan, InputState& input, const Gamepads& gamepads, const Bindings* keys);
bool nextLanStep(LanSession& lan, World& world, PlayLines& said, int32_t owed, int32_t taken, VehicleControls (&controls)[vehicleCount]);
void afterLanStep(LanSession& lan, World& world);
void endLanSteps(LanSession& lan, int32_t owed);

// The lobby and "waiting for red..." over the views, from this line down.
void drawLanOverlays(const LanSession& lan, const World& world, WindowSize window, uint32_t y);

// What the session sent (bytes) and the steps taken, for the measurements.
uint64_t lanBytesSent(const LanSession& lan);

// The network "netsim:" asks the datagrams to go through.
NetSim netSimOf(const Settings& settings);
