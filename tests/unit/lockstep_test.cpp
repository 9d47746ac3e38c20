// lockstep_test.cpp -- three machines racing by input lockstep over an
// in-process wire that loses and reorders packets: the same world on every
// machine at every second and the same results; a machine gone silent dropped
// by the host at a step all agree on, its vehicle the computer's from there;
// a world gone astray set right by the host's; messages checked to their last byte.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/lan_messages.h"
#include "net/lockstep.h"
#include "race/driver.h"
#include "replay/replay.h"
#include "support/scripted_drive.h"

namespace {

struct Machine {
    std::unique_ptr<World> world = std::make_unique<World>();
    ComputerDriver hands{};        // how its player drives: as the computer would, from its own world
    std::unique_ptr<Lockstep> lock = std::make_unique<Lockstep>();
    std::vector<uint32_t> seconds; // the world's hash at each whole second
    bool gone = false;             // silent from now on
    LanSnapshot pending{};         // the host's world, for the step it names
    int resyncs = 0;               // the host: times it found the worlds apart
};

struct Sent {
    int32_t to;
    uint32_t due; // the tick it arrives at
    std::string bytes;
};

// Each tick is 1/60 s for every machine: its own player's controls (decided
// from its own world, as the computer would drive), a step when it holds them all, a packet to each of the
// others, which arrives 0 to 3 ticks later unless lost. `silentAt`: machine 2
// says nothing from that tick on. `nudgeAt`: machine 1's world goes astray
// (red moved a hair) at that tick, and the host's world is sent to set it
// right. All talk goes through the host, as in the game. Returns the machines
// as the race ended.
// The packets sent and lost in the last race().
struct {
    uint32_t sent, lost;
} wireCount;

// The line between each machine and the host: each way this many ticks, give
// or take up to the jitter, and from `changeAt` on `laterTicks` each way.
struct Line {
    uint32_t ticks = 0, jitter = 3; // as a LAN: 0 to 3 ticks
    uint32_t changeAt = ~0u, laterTicks = 0;
    uint32_t duplicates = 0; // percent sent twice
};

// The host's input delay at each tick, and how far each world fell behind real
// time at the worst, after `settled` ticks, in the last race().
std::vector<uint32_t> delays;
uint32_t worstLag;

// The host and two machines, a vehicle each; or, with a server, a host that
// drives nothing and three machines.
bool withServer = false;
int32_t racers() { return withServer ? 4 : 3; }

std::vector<Machine> race(uint32_t lossPercent, uint32_t silentAt = ~0u, uint32_t nudgeAt = ~0u, Line line = {},
                          uint32_t settled = 180, uint32_t length = 60 * 200) {
    wireCount = {};
    delays.clear();
    worstLag = 0;
    std::vector<Machine> machines(racers());
    const int32_t seats[vehicleCount] = {withServer ? 1 : 0, withServer ? 2 : 1, withServer ? 3 : 2};
    const bool humans[vehicleCount] = {false, false, false};
    for (int32_t m = 0; m < racers(); ++m) {
        EXPECT_TRUE(setUpScriptedWorld(*machines[m].world, MUDLARK_RUN_DIR));
        startWorldRace(*machines[m].world, 1, humans);
        startLockstep(*machines[m].lock, m, seats, 3);
    }
    std::vector<Sent> wire;
    uint32_t random = 12345;
    const auto next = [&random](uint32_t range) { return ((random = random * 1664525u + 1013904223u) >> 8 & 0xFFFF) % range; };
    for (uint32_t tick = 0; tick < length; ++tick) {
        bool racing = false;
        for (int32_t m = 0; m < racers(); ++m) {
            Machine& me = machines[m];
            me.gone = me.gone || (m == 2 && tick >= silentAt);
            if (me.gone) {
                continue;
            }
            Lockstep& lock = *me.lock;
            World& world = *me.world;
            for (uint32_t add = localControlsDue(lock); add > 0; --add) {
                VehicleControls hands[vehicleCount] = {};
                const int32_t v = m - (withServer ? 1 : 0);
                if (v >= 0 && raceControlsLive(world.race)) {
                    hands[v] = driveComputer(world.vehicles[v], v, world.course, world.race.entries[v], me.hands, 2);
                }
                addLocalControls(lock, hands);
            }
            if (m == 1 && tick == nudgeAt) {
                world.vehicles[1].position[0] += 0.001f;
            }
            if (m == 0 && planResync(lock) != noStep) {
                ++me.resyncs;
            }
            if (m == 0) {
                planDelay(lock);
                delays.push_back(lock.delay);
            }
            const auto settle = [&] {
                if (lock.resyncStep != noStep && lock.next == lock.resyncStep && lock.resyncedTo != lock.resyncStep &&
                    (m == 0 || me.pending.step == lock.next)) {
                    if (m == 0) {
                        LanMessage world0{};
                        world0.kind = LanKind::snapshot;
                        takeLanSnapshot(world, lock.next, world0.snapshot);
                        for (int32_t to = 1; to < racers(); ++to) {
                            wire.push_back(Sent{to, tick + 1, encodeLanMessage(world0)});
                        }
                    } else {
                        applyLanSnapshot(world, me.pending);
                    }
                    noteResynced(lock);
                }
            };
            settle();
            // As many steps as it holds the controls for, up to real time (a frame catches up so).
            while (readyToStep(lock) && world.race.phase != RacePhase::results && world.steps <= tick) {
                VehicleControls controls[vehicleCount];
                bool computer[vehicleCount];
                takeStep(lock, controls, computer);
                for (int32_t v = 0; v < vehicleCount; ++v) {
                    world.race.computer[v] = world.race.computer[v] || computer[v];
                }
                stepWorld(world, controls);
                if (world.steps % 60 == 0) {
                    me.seconds.push_back(worldHash(world, WorldParts::shared));
                    noteHash(lock, world.steps, me.seconds.back());
                }
                settle();
            }
            racing = racing || world.race.phase != RacePhase::results;
            if (tick >= settled && world.race.phase != RacePhase::results) {
                worstLag = std::max(worstLag, tick - std::min(tick, world.steps));
            }
            const std::string bytes = encodePacket(makePacket(lock));
            for (int32_t to = 0; to < racers(); ++to) {
                if (to == m || (m != 0 && to != 0)) {
                    continue;
                }
                ++wireCount.sent;
                if (next(100) >= lossPercent) {
                    const uint32_t ticks = tick >= line.changeAt ? line.laterTicks : line.ticks;
                    wire.push_back(Sent{to, tick + ticks + next(line.jitter + 1), bytes});
                    if (next(100) < line.duplicates) {
                        wire.push_back(Sent{to, tick + ticks + next(line.jitter + 1), bytes});
                    }
                } else {
                    ++wireCount.lost;
                }
            }
            tickLockstep(lock, 1.0 / 60);
        }
        for (size_t i = 0; i < wire.size();) {
            if (wire[i].due <= tick) {
                LanMessage message;
                const auto* bytes = reinterpret_cast<const uint8_t*>(wire[i].bytes.data());
                const LanKind kind = decodeLanMessage(bytes, wire[i].bytes.size(), message);
                Machine& to = machines[wire[i].to];
                if (!to.gone && kind == LanKind::lockstep) {
                    receivePacket(*to.lock, message.packet);
                } else if (kind == LanKind::snapshot) {
                    to.pending = message.snapshot;
                }
                wire.erase(wire.begin() + static_cast<long>(i));
            } else {
                ++i;
            }
        }
        if (!racing) {
            break;
        }
    }
    return machines;
}

TEST(Lockstep, LostAndReorderedPacketsTheSameWorldEverywhere) {
    for (const uint32_t loss : {0u, 10u, 30u}) {
        const std::vector<Machine> machines = race(loss);
        for (const Machine& m : machines) {
            EXPECT_EQ(m.world->race.phase, RacePhase::results) << loss;
            EXPECT_EQ(m.seconds, machines[0].seconds) << loss;
            EXPECT_EQ(m.lock->disagreeStep, noStep) << loss;
            for (int32_t v = 0; v < vehicleCount; ++v) {
                EXPECT_EQ(m.world->race.entries[v].finishTime, machines[0].world->race.entries[v].finishTime) << loss;
            }
        }
        EXPECT_GT(machines[0].seconds.size(), 10u);
        EXPECT_NEAR(100.0 * wireCount.lost / wireCount.sent, loss, 2.0); // the loss it names
    }
}

// Over lines of about 40, 150 and 300 ms round trips (a tick is 1/60 s, and
// each machine answers in the tick after a packet comes), with jitter and
// losses, packets twice and overtaking: the same world everywhere; the host's delay covers the round trip
// it measured, and stays; no world falls further
// behind real time than the delay once it fits. A driver whose keys act a
// third of a second late seldom finishes: 40 s of racing each.
TEST(Lockstep, TheDelayFitsTheLineAndEveryWorldKeepsUp) {
    for (const uint32_t oneWay : {0u, 3u, 8u}) {
        const std::vector<Machine> machines = race(5, ~0u, ~0u, Line{oneWay, 2, ~0u, 0, 10}, 180, 60 * 40);
        for (const Machine& m : machines) {
            EXPECT_EQ(m.seconds, machines[0].seconds) << oneWay;
        }
        EXPECT_GE(machines[2].seconds.size(), 25u) << oneWay;
        const uint32_t measured = static_cast<uint32_t>(std::ceil(roundTripTo(*machines[0].lock, 1) * stepsPerSecond));
        const uint32_t fitted = delays.back();
        EXPECT_TRUE(fitted >= measured && fitted <= measured + 8) << oneWay << ": " << fitted << " for " << measured;
        EXPECT_LE(worstLag, fitted) << oneWay;
        // Fitted during the countdown, and from then on within two steps.
        const auto [least, most] = std::minmax_element(delays.begin() + 180, delays.end());
        EXPECT_LE(*most - *least, 2u) << oneWay;
    }
    // About 60 ms, then 300 ms from 20 s on, and the other way round: the
    // delay follows within two seconds.
    race(5, ~0u, ~0u, Line{1, 0, 1200, 8}, 180, 60 * 30);
    EXPECT_LE(delays[1199], 10u);
    const auto [least, most] = std::minmax_element(delays.begin() + 1320, delays.end());
    EXPECT_TRUE(*least >= 19u && *most - *least <= 1u) << *least << " " << *most;
    race(5, ~0u, ~0u, Line{8, 0, 1200, 1}, 180, 60 * 30);
    EXPECT_GE(delays[1199], 19u);
    EXPECT_LE(*std::max_element(delays.begin() + 1320, delays.end()), 10u);
}

// A server that drives nothing hosts three machines over a line of about
// 150 ms there and back, with jitter and losses: every world alike to the
// results, the delay fitted to the line.
TEST(Lockstep, AServerThatDrivesNothingKeepsThreeMachinesAlike) {
    withServer = true;
    const std::vector<Machine> machines = race(5, ~0u, ~0u, Line{4, 1, ~0u, 0, 5});
    withServer = false;
    ASSERT_EQ(machines.size(), 4u);
    for (const Machine& m : machines) {
        EXPECT_EQ(m.world->race.phase, RacePhase::results);
        EXPECT_EQ(m.seconds, machines[0].seconds);
    }
    EXPECT_GE(machines[3].seconds.size(), 20u);
    EXPECT_GE(delays.back(), 9u); // the round trip's steps and more
    EXPECT_LE(delays.back(), 16u);
}

// Machine 2 falls silent 10 s in: five seconds later the host drops it from a
// step the other two reach alike, and green finishes as the computer's.
TEST(Lockstep, ASilentMachineIsDroppedAtAnAgreedStepAndTheComputerDrivesOn) {
    const std::vector<Machine> machines = race(10, 600);
    const Machine &host = machines[0], &joiner = machines[1];
    EXPECT_NE(host.lock->dropStep[2], noStep);
    EXPECT_EQ(host.lock->dropStep[2], joiner.lock->dropStep[2]);
    EXPECT_GT(host.lock->dropStep[2], 300u); // after what it sent that the others hold
    EXPECT_EQ(host.seconds, joiner.seconds);
    EXPECT_TRUE(host.world->race.computer[2] && !host.world->race.computer[0]);
    EXPECT_TRUE(host.world->race.entries[2].finished);
    EXPECT_EQ(host.world->race.phase, RacePhase::results);
}

// Red's world goes astray 20 s in: the host finds it out at the next second's
// hash, every machine stops at one step for the host's world, and from there
// all three agree again to the results.
TEST(Lockstep, WorldsFoundApartAllTakeTheHostsAndAgreeAgain) {
    const std::vector<Machine> machines = race(10, ~0u, 1200);
    EXPECT_EQ(machines[0].resyncs, 1);
    for (const Machine& m : machines) {
        EXPECT_EQ(m.lock->resyncedTo, machines[0].lock->resyncStep);
        EXPECT_EQ(m.world->race.phase, RacePhase::results);
        EXPECT_EQ(m.seconds.back(), machines[0].seconds.back());
        EXPECT_EQ(m.world->race.entries[1].finishTime, machines[0].world->race.entries[1].finishTime);
    }
    EXPECT_NE(machines[1].seconds, machines[0].seconds); // apart for a second: the host's world came after
}

// Every message reads back as written. One cut or longer by a byte, of no
// magic, from no machine, with more steps than it holds or bits of no vehicle,
// a race of no track or seat, a world with a number that is not one or places
// that are no order, a version of no end: refused, and nothing is touched.
// A host's thousand races one after another, its count a byte: every race is
// later than the one before and than the lobby, never 0 (the lobby's own
// number), and a copy of a welcome up to a hundred races old starts nothing.
TEST(LanMessages, RacesStayInOrderWhenTheirCountGoesRound) {
    uint8_t round = 0;
    for (int race = 0; race < 1000; ++race) {
        const uint8_t next = nextRound(round);
        ASSERT_NE(next, 0) << race;
        EXPECT_TRUE(roundAfter(next, round)) << race;
        EXPECT_TRUE(roundAfter(next, 0)) << race;
        uint8_t older = round;
        for (int back = 0; back < 100 && older != 0; ++back, older = static_cast<uint8_t>(older == 1 ? 255 : older - 1)) {
            EXPECT_FALSE(roundAfter(older, next)) << race << " " << back;
        }
        round = next;
    }
}

TEST(LanMessages, EveryKindReadsBackAndAnythingElseIsRefused) {
    LanMessage packet{};
    packet.kind = LanKind::lockstep;
    packet.packet = LockstepPacket{1, 2, 40, 2, {0x1234, 0x0421}, {3, 7}, {}, {}, noStep, 0, noStep, 513, {1, 2, 3, 0}, {4, notHeard, 6, notHeard}, 120, 9};
    LanMessage welcome{};
    welcome.kind = LanKind::welcome;
    welcome.machine = 2;
    welcome.leader = 1;
    welcome.race = LanRace{3, 20, 1, 3, {0, noMachine, 2}, true, true, false, {1, 2, 3, 4, 5}};
    LanMessage join{};
    join.kind = LanKind::join;
    std::snprintf(join.version, sizeof join.version, "%s", "1.1");
    join.seatsWanted = 2;
    std::memcpy(join.code, "RACE", raceCodeLength);
    LanMessage lead{};
    lead.kind = LanKind::lead;
    lead.action = LeadAction::start;
    lead.value = 5;
    LanMessage world{};
    world.kind = LanKind::snapshot;
    World here;
    ASSERT_TRUE(setUpScriptedWorld(here, MUDLARK_RUN_DIR));
    startWorldRace(here, 2, {true, true, true});
    takeLanSnapshot(here, 77, world.snapshot);
    for (const LanMessage& m : {packet, welcome, join, lead, world}) {
        const std::string bytes = encodeLanMessage(m);
        LanMessage read{};
        ASSERT_EQ(decodeLanMessage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), read), m.kind);
        EXPECT_EQ(encodeLanMessage(read), bytes);
    }
    const std::string good = encodeLanMessage(packet), seated = encodeLanMessage(welcome);
    const std::string asked = encodeLanMessage(join), whole = encodeLanMessage(world);
    std::vector<std::string> bad = {good.substr(0, good.size() - 1), good + "x", "MLX1" + good.substr(4),
                                    whole.substr(0, whole.size() - 1), seated + "x"};
    const auto altered = [&bad](std::string bytes, size_t at, char value) {
        bytes[at] = value;
        bad.push_back(bytes);
    };
    // The packet: sender 4, race 5, parts 6, first step 7, count 11, first
    // unknowns 12, stamp 24, two echoes 26, drops 34, delay 46, runs 51, the
    // first run's controls 52, vehicles 55, length 56.
    ASSERT_EQ(good.size(), 62u);
    altered(good, 4, 4);                                             // machine 4
    altered(good, 6, static_cast<char>(good[6] | 0x08));             // an echo that is not there
    altered(good, 50, 61);                                           // a delay beyond a second
    altered(good, 11, 3);                                            // three steps, two carried
    altered(good, 54, 0x20);                                         // a twenty-second bit
    altered(good, 55, 8);                                            // a fourth vehicle
    altered(good, 56, 0);                                            // a run of no steps
    altered(seated, 6, 4);                                           // led by machine 4
    altered(seated, 7, 0);                                           // track 0
    altered(seated, 12, 4);                                          // seat of machine 4
    const std::string asks = encodeLanMessage(lead);
    altered(asks, 5, 0);                                             // a race of no laps
    altered(asks, 4, 4);                                             // no such word
    altered(asked, 4 + versionCapacity - 1, 'x');                    // a version without its end
    altered(asked, 4 + versionCapacity + 3, '1');                    // a race code not all letters
    altered(asked, 4 + versionCapacity + 6, '\0');                   // a race code of three
    LanMessage astray = world, unplaced = world;
    astray.snapshot.vehicles[1].position[0] = std::nanf("");
    unplaced.snapshot.race.places[0] = unplaced.snapshot.race.places[1];
    bad.push_back(encodeLanMessage(astray));
    bad.push_back(encodeLanMessage(unplaced));
    for (const std::string& bytes : bad) {
        LanMessage read = welcome;
        EXPECT_EQ(decodeLanMessage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), read), LanKind::none);
        EXPECT_EQ(encodeLanMessage(read), seated);
    }
}

} // namespace
