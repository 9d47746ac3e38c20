// lockstep.h -- LAN races by input lockstep: each machine sends only the
// controls of the vehicles it drives, step by step, a few steps ahead, and
// every machine steps the same world once it holds every vehicle's controls
// for the step. Every packet repeats what the others have not confirmed, so a
// lost packet costs nothing; a machine silent for five seconds is dropped by
// the host at a step all agree on, and the computer drives its vehicles from
// there. No sockets here: the bytes go by whatever carries them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/vehicles.h"
#include "vehicle/vehicle.h"

constexpr int32_t maxMachines = 4; // a server and three machines with a seat each
constexpr int32_t noMachine = -1;          // a seat nobody holds: the computer's
constexpr uint32_t lockstepRing = 512;     // steps held at once
constexpr uint32_t maxPacketSteps = 64;    // controls one packet carries
constexpr uint32_t noStep = 0xFFFFFFFFu;
constexpr double silentSeconds = 5.0;      // a machine this long without a word is dropped
constexpr uint32_t maxDelay = 60;          // steps: the longest input delay, a second
constexpr uint16_t notHeard = 0xFFFF;      // an echo's age when there is nothing to echo

// What one machine tells the others.
struct LockstepPacket {
    int32_t machine;                     // the sender, 0 the host
    uint8_t round;                       // the host's race it belongs to (older ones' are let go)
    uint32_t firstStep;                  // the step of the first controls carried
    uint32_t count;                      // steps carried, up to maxPacketSteps
    uint32_t controls[maxPacketSteps];   // each step's controls, six bits a vehicle (packControls)
    uint8_t known[maxPacketSteps];       // bit v: vehicle v's controls of that step are carried
    uint32_t firstUnknown[vehicleCount]; // the sender holds each vehicle's controls of every step before this
    uint32_t dropStep[vehicleCount];     // the host's word: from this step the computer drives the vehicle
    uint32_t hashStep;                   // the sender's world at the end of this step...
    uint32_t hash;                       // ...hashed to this (noStep: none)
    uint32_t resyncStep;                 // the host's word: every world is set to its own at this step
    // The round trip: the sender's clock (milliseconds, counted round at
    // 65536), and for each machine the last such stamp the sender heard from
    // it and how long it held it since (notHeard: none).
    uint16_t stamp;
    uint16_t echo[maxMachines];
    uint16_t held[maxMachines];
    // The host's word: from this step on, this input delay (noStep: as it is).
    uint32_t delayStep;
    uint8_t delay;
};

// The fewest bytes of a packet: the magic, sender, race, parts, first step,
// count, first unknowns, stamp and the count of runs of steps.
constexpr size_t lockstepPacketMinimum = 4 + 1 + 1 + 1 + 4 + 1 + 12 + 2 + 1;

// The bytes of a packet, and a packet from bytes: false for anything but a
// whole packet of this game whose every field is within its limits (never an
// allocation from a claimed size).
std::string encodePacket(const LockstepPacket& packet);
bool decodePacket(const uint8_t* bytes, size_t size, LockstepPacket& packet);

struct Lockstep {
    int32_t me;                          // this machine
    int32_t seats[vehicleCount];         // the machine driving each vehicle, or noMachine
    uint32_t delay;                      // steps between a control's taking and its step
    uint32_t next;                       // the next step the world takes
    uint32_t localNext;                  // the step this machine's next controls are for
    uint32_t controls[lockstepRing];     // by step modulo the ring, kept after the step is
    uint8_t known[lockstepRing];         // taken for machines still without them
    uint32_t slotStep[lockstepRing];     // the step each place holds; noStep: none
    uint32_t firstUnknown[vehicleCount]; // every step before this is known of the vehicle
    uint32_t theirs[maxMachines][vehicleCount]; // each machine's firstUnknown, as last said
    double silent[maxMachines];          // seconds since each machine's last word
    bool present[maxMachines];           // taking part, not dropped
    uint32_t dropStep[vehicleCount];     // from this step the computer drives it (noStep: never)
    uint32_t hashSteps[8], hashes[8];    // this world's last hashes (a whole second's steps)
    uint32_t disagreeStep;               // a step at which another machine's world differed; noStep: none
    uint32_t resyncStep;                 // the last step the host set every world to its own at
    uint32_t resyncedTo;                 // the last such step this world was set at; noStep: none
    // The line to each machine, measured from the packets' stamps and echoes.
    double clock;                        // seconds since the lockstep started
    uint16_t heardStamp[maxMachines];    // each machine's last stamp...
    double heardAt[maxMachines];         // ...and when it came (negative: never)
    double roundTrip[maxMachines];       // seconds, smoothed (0: not measured yet)
    double jitter[maxMachines];          // how much one round trip differs from the last, smoothed
    double lastTrip[maxMachines];        // the last round trip measured
    // The input delay fits the worst line: the host chooses it, never below
    // the floor, and every machine takes it from the step the host names.
    uint32_t delayFloor;
    uint32_t nextDelay;                  // the newest delay the host chose...
    uint32_t delayStep;                  // ...and the step it holds from (later choices, later steps)
    double lowerSince;                   // the host: since when a lower delay would do (negative: not)
    double higherSince;                  // the host: since when one step more is asked for (negative: not)
};

// A lockstep for this machine, the seats' machines (noMachine: the computer's)
// and the input delay, which the host raises as the line asks and never lowers
// below this; this machine's first `delay` steps are no controls.
void startLockstep(Lockstep& lockstep, int32_t me, const int32_t (&seats)[vehicleCount], uint32_t delay);

// The host: the delay the lines measured so far ask for (the steps the worst
// round trip and twice its jitter take, two more for the frames each end
// waits, never below the floor nor above a second); it is raised at once by
// two steps or more, by one once asked for half a second, and lowered once
// three steps fewer would have done for a second and a half.
// Named with the step it holds from (one no machine can have passed); noStep
// when it stays.
uint32_t planDelay(Lockstep& lockstep);

// This machine's controls of its own vehicles for its next step (the others'
// entries are not read).
void addLocalControls(Lockstep& lockstep, const VehicleControls (&controls)[vehicleCount]);

// The first vehicle whose controls for the next step are not here; -1 when
// all are, -2 while the world waits for the host's.
int32_t missingVehicle(const Lockstep& lockstep);

// The step real time has reached since the lockstep started (its clock's).
uint32_t lockstepClockStep(const Lockstep& lockstep);

// How many controls this machine gives now: up to the delay past the step its
// clock has reached, so that its controls keep time with real time, not with
// the steps the others let it take (a wait does not put the race behind real
// time for good); never more than two seconds ahead of the world, never less
// than the delay.
uint32_t localControlsDue(const Lockstep& lockstep);

// Whether every vehicle's controls for the next step are here (and, at a step
// the host sets every world at, this world was set).
bool readyToStep(const Lockstep& lockstep);

// The next step's controls (the computer's vehicles none), and which vehicles
// the computer drives from this step on; the lockstep moves on a step.
void takeStep(Lockstep& lockstep, VehicleControls (&controls)[vehicleCount], bool (&computer)[vehicleCount]);

// The host, when two worlds disagreed: every machine stops at the first step
// none can have passed yet until its world is the host's there. The step, or
// noStep when nothing disagreed (or a setting is already coming).
uint32_t planResync(Lockstep& lockstep);

// This world was set to the host's at the resync step (the host's own: taken).
void noteResynced(Lockstep& lockstep);

// This world's hash at the end of a step (the app hashes once a second).
void noteHash(Lockstep& lockstep, uint32_t step, uint32_t hash);

// What this machine sends now: its firstUnknowns, and every step's controls it
// holds that some machine still lacks (up to maxPacketSteps), the host's drops,
// and this world's last hash.
LockstepPacket makePacket(const Lockstep& lockstep);

// A packet from another machine taking part (any other is ignored): its
// controls kept, what it holds noted, the host's drops taken, its world's hash
// set against this one's of the same step.
void receivePacket(Lockstep& lockstep, const LockstepPacket& packet);

// The smoothed round trip to this machine in seconds; 0 before it is measured.
double roundTripTo(const Lockstep& lockstep, int32_t machine);

// Time passing: a machine silent for five seconds is dropped by the host,
// from a step every machine can reach (all of its controls before that step
// are held by one of the others, who send them on).
void tickLockstep(Lockstep& lockstep, double seconds);

