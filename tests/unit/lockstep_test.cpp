// lockstep_test.cpp -- three machines racing by input lockstep over an
// in-process wire that loses and reorders packets: the same world on every
// machine at every second and the same results; a machine gone silent dropped
// by the host at a step all agree on, its vehicle the computer's from there;
// packets checked to their last byte.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

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
};

struct Sent {
    int32_t to;
    uint32_t due; // the tick it arrives at
    std::string bytes;
};

// Each tick is 1/60 s for every machine: its own player's controls (decided
// from its own world, as the computer would drive), a step when it holds them all, a packet to each of the
// others, which arrives 0 to 3 ticks later unless lost. `silentAt`: machine 2
// says nothing from that tick on. Returns the machines as the race ended.
std::vector<Machine> race(uint32_t lossPercent, uint32_t silentAt = ~0u) {
    std::vector<Machine> machines(maxMachines);
    const int32_t seats[vehicleCount] = {0, 1, 2};
    const bool humans[vehicleCount] = {false, false, false};
    for (int32_t m = 0; m < maxMachines; ++m) {
        EXPECT_TRUE(setUpScriptedWorld(*machines[m].world, MUDLARK_RUN_DIR));
        startWorldRace(*machines[m].world, 1, humans);
        startLockstep(*machines[m].lock, m, seats, 3);
    }
    std::vector<Sent> wire;
    uint32_t random = 12345;
    const auto next = [&random](uint32_t range) { return (random = random * 1664525u + 1013904223u) >> 8 & 0xFFFF % range; };
    for (uint32_t tick = 0; tick < 60 * 200; ++tick) {
        bool racing = false;
        for (int32_t m = 0; m < maxMachines; ++m) {
            Machine& me = machines[m];
            me.gone = me.gone || (m == 2 && tick >= silentAt);
            if (me.gone) {
                continue;
            }
            Lockstep& lock = *me.lock;
            World& world = *me.world;
            while (lock.localNext <= lock.next + lock.delay) {
                VehicleControls hands[vehicleCount] = {};
                hands[m] = raceControlsLive(world.race)
                               ? driveComputer(world.vehicles[m], world.course, world.race.entries[m], me.hands, 2)
                               : VehicleControls{};
                addLocalControls(lock, hands);
            }
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
                    me.seconds.push_back(worldHash(world));
                    noteHash(lock, world.steps, me.seconds.back());
                }
            }
            racing = racing || world.race.phase != RacePhase::results;
            const std::string bytes = encodePacket(makePacket(lock));
            for (int32_t to = 0; to < maxMachines; ++to) {
                if (to != m && next(100) >= lossPercent) {
                    wire.push_back(Sent{to, tick + next(4), bytes});
                }
            }
            tickLockstep(lock, 1.0 / 60);
        }
        for (size_t i = 0; i < wire.size();) {
            if (wire[i].due <= tick) {
                LockstepPacket packet;
                const auto* bytes = reinterpret_cast<const uint8_t*>(wire[i].bytes.data());
                if (!machines[wire[i].to].gone && decodePacket(bytes, wire[i].bytes.size(), packet)) {
                    receivePacket(*machines[wire[i].to].lock, packet);
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
    }
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

// Packets: a whole one reads back; one cut, longer, of another magic, from no
// machine, with more steps than it holds or bits of no vehicle is refused.
TEST(Lockstep, PacketsAreCheckedToTheirLastByte) {
    LockstepPacket packet{};
    packet.machine = 1;
    packet.firstStep = 40;
    packet.count = 2;
    packet.controls[0] = 0x1234, packet.known[0] = 3;
    packet.controls[1] = 0x0421, packet.known[1] = 7;
    packet.hashStep = noStep;
    const std::string good = encodePacket(packet);
    LockstepPacket read{};
    ASSERT_TRUE(decodePacket(reinterpret_cast<const uint8_t*>(good.data()), good.size(), read));
    EXPECT_EQ(encodePacket(read), good);
    std::string noMachineAtAll = good, tooMany = good, badBits = good, badKnown = good;
    noMachineAtAll[4] = 3;
    tooMany[12] = 3;
    badBits[lockstepPacketMinimum + 1] = static_cast<char>(0x80);
    badKnown[lockstepPacketMinimum + 2] = 8;
    for (const std::string& bad : {good.substr(0, good.size() - 1), good + "x", "MLX1" + good.substr(4),
                                   noMachineAtAll, tooMany, badBits, badKnown}) {
        EXPECT_FALSE(decodePacket(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), read));
    }
}

} // namespace
