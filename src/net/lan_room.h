// lan_room.h -- the host's side of a LAN race without a window: the machines
// in the room and their seats, the race they will drive, the answers to joins
// and the lockstep's steps as they fall due. The game's host and joiner and
// the dedicated server share it; nothing here draws, plays or reads keys.
#pragma once

#include <cstdint>
#include <string>

#include "core/play_lines.h"
#include "core/settings.h"
#include "net/lan_link.h"
#include "net/lan_messages.h"
#include "net/lockstep.h"
#include "net/track_transfer.h"
#include "sim/world.h"

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
    double chunkBudget; // chunks of the track's files it may still ask for this second
    double sinceFetch;  // seconds since it last asked for them
};

// What a server's leading machine asked for and the server has not done yet.
struct LanAsked {
    bool start;     // a race, of this many laps
    int32_t laps;
    int32_t from;   // the next track with a course after this one (0: none asked)
    int32_t track;  // this track (0: none asked)
};

// Why the host let a message go: counted for the server's log.
struct LanRefusals {
    uint32_t damaged;   // not a whole, sound message of this game
    uint32_t strangers; // from no machine in the race (or not the host's word)
    uint32_t version;   // joins of another version
    uint32_t code;      // joins without the race code or with another
    uint32_t full;      // joins to a full race
    uint32_t flood;     // joins past the second's budget
    uint32_t fetches;   // asks for track files past the second's budget, or of another track
};

// The LAN's part of the game apart from its port: who this machine is, the
// machines and the race, the lockstep, the hosts found.
struct LanState {
    LanRole role;
    int32_t me;
    LanAddress host;          // a joiner's host
    bool welcomed;            // the host answered
    bool leads;               // a joiner: the server lets this machine start races and choose tracks
    bool server;              // the host is a server, which drives no vehicle and follows its leader
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
    LanAsked asked;           // the server: its leader's word, not yet done
    TrackOffer offer;         // the host: its race's track files, for joiners without them
    TrackFetch fetch;         // a joiner: the race's track coming from the host
    bool reload;              // a joiner: the world's track is to be read again, from the host's files
    LanRefusals refused;
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

// The joins a host answers in a second at most.
constexpr double joinsPerSecond = 5;

// What the race's world is made of on this machine: the track's files and the
// wheels the model sets the vehicles on.
TrackHashes hashTrack(int32_t track, const WheelLayout& layout);

// What differs from the host's, in the player's words; "" when nothing.
std::string trackDifference(const TrackHashes& mine, const TrackHashes& host);

// "1:02.35": a race time as the views show it (before the start: 0:00.00).
std::string lanRaceTime(double seconds);

void sendLan(LanSession& lan, const LanAddress& to, const LanMessage& message);

// Opens the socket on this port (0: any), the datagrams it sends going
// through the network "netsim:" asks for.
bool openLanLink(LanSession& lan, const Settings& settings, uint16_t port, std::string& why);

// "\nnetsim: ...", or "" when the network is the real one.
std::string simulatedLine(const Settings& settings);

// The network "netsim:" asks the datagrams to go through.
NetSim netSimOf(const Settings& settings);

// The port closed, and everything but the code as new.
void endLan(LanSession& lan);

// Leaves the LAN race (the others are told) and closes the port.
void leaveLanRace(LanSession& lan);

// The host's room opened: machine 0 is this one, driving `seats` vehicles
// (none: a server), the race as the world and the settings have it.
void openLanRoom(LanSession& lan, const World& world, const Settings& settings, int32_t seats);

// The race from the world's track and the settings' laps, skill, delay and
// rules; the seats of the machines still here, blue first, in the order they came.
void setRaceFrom(LanSession& lan, const World& world, const Settings& settings);
void assignSeats(LanSession& lan);

// The machines in the room (this one among them).
int32_t machinesIn(const LanSession& lan);

// A machine still fetching the race's track from the host (noMachine: none):
// no race starts until it has it.
int32_t fetchingMachine(const LanSession& lan);

// The machine that leads a server's room: the first of the joiners still in
// (noMachine: none).
int32_t lanLeader(const LanSession& lan);

// A message to the host from `from`: queries answered, joins seated or refused
// with the reason (each refusal counted), leaves noted, controls taken in,
// the leader's word kept in `asked`.
void hostHears(LanSession& lan, PlayLines& said, const LanAddress& from, const LanMessage& m);

// The host's frame: machines gone silent let go, the lobby's word to each,
// the joins' budget refilled, its world when two disagreed.
void hostTalks(LanSession& lan, const World& world, PlayLines& said, double seconds);

// Which vehicles the computer drives at a race's start, on every machine
// alike: the seats nobody holds, and all of them where the race has the
// computer drive a vehicle until its player touches it.
void lanRaceComputers(const LanRace& race, bool (&computer)[vehicleCount]);

// The lockstep's part of a race starting: every machine's alike.
void startLanLockstep(LanSession& lan, const LanRace& race, uint8_t round);

// The lockstep's part of a frame's steps, in the step driver's order. A step
// is due once every vehicle's controls for it are here: as many as real time
// owes, up to a few more to catch up after a wait (taken: the steps this frame
// took so far); a machine dropped hands its vehicles to the computer at the
// step all agreed on. After each step, the world's hash once a second and the
// host's world where all take it; at the frame's end, what waits is said and
// this machine's controls go out.
bool nextLanStep(LanSession& lan, World& world, PlayLines& said, int32_t owed, int32_t taken,
                 VehicleControls (&controls)[vehicleCount]);
void afterLanStep(LanSession& lan, World& world);
void endLanSteps(LanSession& lan, int32_t owed);

// What the session sent (bytes), for the measurements.
uint64_t lanBytesSent(const LanSession& lan);
