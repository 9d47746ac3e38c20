// ghost_test.cpp -- a time trial's lap as a ghost: recorded, written, read back
// and driven again in a world of its own, the same vehicle bit for bit at
// every gate and at the line, a lap of the simulation before contact from a
// file of the first version too; the two worlds apart; the ghost file's faults
// refused with their reasons, and a changed track told by its hash.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "replay/ghost_file.h"
#include "support/scripted_drive.h"
#include "support/vehicle_fixture.h"

namespace {

struct Trial {
    std::unique_ptr<World> world = std::make_unique<World>();
    std::unique_ptr<GhostRecorder> recorder = std::make_unique<GhostRecorder>();
    std::vector<VehicleSnapshot> lapSteps; // blue after each step of its second lap
};

// A time trial for blue on a generated track, the computer at its wheel, until
// its second lap (its first from a flying start) is done: that lap in
// recorder->done, blue after each of its steps in lapSteps. With rescueAt,
// blue asks for a rescue that many steps into the lap.
Trial secondLap(int32_t track, uint32_t simulation = simulationVersion, int rescueAt = -1) {
    Trial t;
    EXPECT_TRUE(setUpScriptedWorld(*t.world, MUDLARK_RUN_DIR, track));
    setWorldRules(*t.world, simulation, true, true);
    startTrial(t.world->race, t.world->course, 0, t.world->vehicles, t.world->ground);
    t.world->race.computer[0] = true;
    const VehicleControls none[vehicleCount] = {};
    int laps = 0, inLap = 0;
    for (int step = 0; step < 60 * 240 && laps < 2; ++step) {
        inLap += laps == 1 ? 1 : 0;
        t.world->race.computer[0] = inLap != rescueAt;
        const VehicleControls rescue[vehicleCount] = {{false, false, false, false, false, true, false}, {}, {}};
        stepWorld(*t.world, inLap == rescueAt ? rescue : none);
        const bool finished = recordGhostStep(*t.recorder, *t.world, 0);
        laps += finished ? 1 : 0;
        if (laps == 1 || (laps == 2 && finished)) { // the second lap: the step at the line, then each of its own
            t.lapSteps.emplace_back();
            takeSnapshot(t.world->vehicles[0], t.lapSteps.back());
        }
    }
    EXPECT_EQ(laps, 2);
    return t;
}

// A ghost file as the first version wrote it (before contact): the start
// without the rescue's two words, no rules, its own checksum.
std::string asFirstVersion(std::string file) {
    file[8] = 1;
    file[37] = 0;
    file.erase(ghostHeaderSize + sizeof(VehicleSnapshot) - 8, 8);
    file.replace(12, 4, 4, '\0');
    const uint32_t sum = static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(file.data()), file.size()));
    for (int i = 0; i < 4; ++i) {
        file[12 + i] = static_cast<char>(sum >> (8 * i) & 0xFF);
    }
    return file;
}

TEST(Ghost, DrivenAgainFromItsFileTheLapIsBitForBitTheSame) {
    for (int32_t track = 0; track <= 3; ++track) { // 0: track 1 before contact, from a file of the first version
        // On track 2 the lap has a rescue in it: the ghost is set back at its last gate as blue was.
        Trial t = secondLap(std::max(track, 1), track > 0 ? simulationVersion : contactlessVersion, track == 2 ? 300 : -1);
        ASSERT_EQ(t.world->race.entries[0].rescues, track == 2 ? 1 : 0);
        const GhostLap& lap = t.recorder->done;
        ASSERT_EQ(lap.gateCount, t.world->course.count);
        ASSERT_EQ(t.lapSteps.size(), lap.stepCount + 1u); // the steps after the one at the line, and that one
        const std::string file = track > 0 ? encodeGhost(lap) : asFirstVersion(encodeGhost(lap));
        setWorldRules(*t.world, simulationVersion, true, true); // the ghost drives by its own rules, not the player's
        auto read = std::make_unique<GhostLap>();
        bool old = true;
        std::string why;
        ASSERT_TRUE(decodeGhost(reinterpret_cast<const uint8_t*>(file.data()), file.size(), *read, old, why)) << why;
        EXPECT_FALSE(old);
        EXPECT_EQ(read->trackHash, trackHash(*t.world));
        auto ghost = std::make_unique<World>();
        GhostRun run{};
        startGhost(run, *ghost, *t.world, *read);
        int32_t gate = 0;
        for (uint32_t step = 1; step <= read->stepCount; ++step) {
            stepGhost(run, *ghost, *read);
            VehicleSnapshot now;
            takeSnapshot(ghost->vehicles[0], now);
            if (gate < read->gateCount && read->gateSteps[gate] == step) {
                EXPECT_TRUE(sameSnapshot(now, t.lapSteps[step])) << "track " << track << " gate " << gate;
                ++gate;
            }
        }
        EXPECT_EQ(gate, read->gateCount);
        EXPECT_NEAR(read->lapTime, t.world->race.entries[0].lastLap, 5e-4); // the race's clock, to the thousandth
        std::printf("track %d: a flying lap of %.3f s, %u steps, %zu bytes\n", track, read->lapTime, read->stepCount,
                    file.size());
    }
}

// Stepping the player's world leaves the ghost's as it was, and the other
// way round.
TEST(Ghost, TheGhostsWorldAndThePlayersStepAlone) {
    Trial t = secondLap(1);
    auto ghost = std::make_unique<World>();
    GhostRun run{};
    startGhost(run, *ghost, *t.world, t.recorder->done);
    VehicleSnapshot ghostBefore, playerBefore, after;
    takeSnapshot(ghost->vehicles[0], ghostBefore);
    const VehicleControls none[vehicleCount] = {};
    for (int i = 0; i < 60; ++i) {
        stepWorld(*t.world, none);
    }
    takeSnapshot(ghost->vehicles[0], after);
    EXPECT_TRUE(sameSnapshot(after, ghostBefore));
    takeSnapshot(t.world->vehicles[0], playerBefore);
    for (int i = 0; i < 60; ++i) {
        stepGhost(run, *ghost, t.recorder->done);
    }
    takeSnapshot(t.world->vehicles[0], after);
    EXPECT_TRUE(sameSnapshot(after, playerBefore));
    takeSnapshot(ghost->vehicles[0], after);
    EXPECT_FALSE(sameSnapshot(after, ghostBefore));
}

// Every fault refused with its reason and nothing of it kept; one byte of
// the heights changed is another track.
TEST(GhostFile, FaultsAreRefusedWithTheirReasonAndAChangedTrackIsAnother) {
    Trial t = secondLap(1);
    const std::string good = encodeGhost(t.recorder->done);
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x10;
    std::string version = good;
    version[8] = 3;
    GhostLap& lap = t.recorder->done;
    lap.start.rescueHold = -1; // a hold no rescue gives
    const std::string start = encodeGhost(lap);
    lap.start.rescueHold = 0;
    const std::pair<std::string, const char*> damaged[] = {
        {good.substr(0, 5), "it is cut short"},           {good.substr(0, 100), "it is cut short"},
        {good.substr(0, good.size() - 1), "it is cut short"}, {good + "x", "it goes on past its end"},
        {"MLREPLAY" + good.substr(8), "it is no ghost of this game"}, {flipped, "its checksum does not match"},
        {version, "it is of another version"}, {start, "its start is out of range"},
    };
    auto read = std::make_unique<GhostLap>();
    read->stepCount = 12345;
    for (const auto& [file, reason] : damaged) {
        bool old = false;
        std::string why;
        EXPECT_FALSE(decodeGhost(reinterpret_cast<const uint8_t*>(file.data()), file.size(), *read, old, why));
        EXPECT_EQ(why, reason);
    }
    EXPECT_EQ(read->stepCount, 12345u);
    const uint32_t before = trackHash(*t.world);
    t.world->ground.heights[4321] ^= 1;
    EXPECT_NE(trackHash(*t.world), before);
}

} // namespace
