// replay_test.cpp -- a race of computer drivers recorded, written, read back and
// played: the same vehicle records bit for bit at every keyframe and at the end,
// the same places, times and contacts, as this version records races, as the
// second did (before contact) and as the first did (at wandering frame rates);
// altered keyframes taken and counted; every kind of damaged file refused with
// its reason, nothing of it kept.
#include <gtest/gtest.h>

#include <zlib.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "race/driver.h"
#include "replay/replay_file.h"
#include "sample_replay/older_versions.h"
#include "scene/scene.h"
#include "support/scripted_drive.h"
#include "support/temp_dir.h"
#include "support/vehicle_fixture.h"

namespace {

Replay& replayBuffer = *new Replay; // large: the race recorded, or read

// A race of three computer drivers on the first track, recorded by this
// simulation or an older one; the world as it ended.
std::unique_ptr<World> recordRace(int32_t laps, uint32_t (*rate)(uint32_t) = nullptr,
                                  uint32_t simulation = simulationVersion) {
    auto world = std::make_unique<World>();
    EXPECT_TRUE(setUpScriptedWorld(*world, MUDLARK_RUN_DIR));
    setWorldRules(*world, simulation, true, true);
    recordComputerRace(*world, replayBuffer, laps, rate);
    return world;
}

// Plays the replay buffer to its end in a world of the first track: the world
// as it ends, with the playback's counts.
std::unique_ptr<World> playBack(Playback& playback) {
    auto world = std::make_unique<World>();
    EXPECT_TRUE(setUpScriptedWorld(*world, MUDLARK_RUN_DIR));
    startPlayback(playback, replayBuffer, *world);
    while (playFrame(playback, replayBuffer, *world)) {
    }
    return world;
}

// A race as this game records it (version 4: the steps' controls, with
// contact), one as the second version recorded races (before contact) and one
// as the first did, at wandering frame rates (each step's rate kept): each
// written, read back, copied and played to the same world bit for bit, every
// keyframe checked with nothing to correct, the same places, times and
// contacts (none before contact came).
TEST(Replay, EveryVersionPlaysBackFromItsFileBitForBit) {
    for (const uint32_t version : {4u, 2u, 1u}) {
        const auto live = recordRace(2, version != 1 ? nullptr : +[](uint32_t step) { return 40u + step * 7919u % 41u; },
                                     version == 4 ? simulationVersion : contactlessVersion);
        ASSERT_EQ(live->race.phase, RacePhase::results) << version;
        const std::string file = version == 4 ? encodeReplay(replayBuffer) : encodeOlderReplay(replayBuffer, version);
        // Read aside and copied over a buffer of litter, as the game takes a dropped replay.
        const std::unique_ptr<Replay> aside(new Replay);
        std::string why;
        ASSERT_TRUE(decodeReplay(reinterpret_cast<const uint8_t*>(file.data()), file.size(), *aside, why)) << why;
        std::memset(&replayBuffer, 0xA5, sizeof replayBuffer);
        copyReplay(replayBuffer, *aside);
        EXPECT_EQ(version == 4 ? encodeReplay(replayBuffer) : encodeOlderReplay(replayBuffer, version), file);
        Playback playback;
        const auto played = playBack(playback);
        EXPECT_EQ(playback.corrections, 0u) << version;
        EXPECT_EQ(playback.keyframe, replayBuffer.keyframeCount) << version; // every keyframe checked
        EXPECT_TRUE(sameVehicles(*played, *live)) << version;
        EXPECT_EQ(std::vector<int32_t>(played->race.places, played->race.places + 3),
                  std::vector<int32_t>(live->race.places, live->race.places + 3));
        int32_t contacts = 0;
        for (int32_t v = 0; v < vehicleCount; ++v) {
            const RaceEntry &a = played->race.entries[v], &b = live->race.entries[v];
            EXPECT_EQ(a.finishTime, b.finishTime) << version;
            EXPECT_EQ(a.bestLap, b.bestLap) << version;
            EXPECT_EQ(std::tuple(a.vehicleContacts, a.treeContacts, a.rescues),
                      std::tuple(b.vehicleContacts, b.treeContacts, b.rescues));
            contacts += a.vehicleContacts + a.treeContacts;
        }
        EXPECT_EQ(contacts > 0, version == 4) << version; // three on one grid touch; before contact nothing did
    }
}

// Blue is the computer's at "GO" until its player's key at step 300. The
// file read back hands blue over at that very step: the playback drives the
// same race, and blue is the player's at its end, as in the race.
TEST(Replay, APlayerTakingAVehicleFromTheComputerIsKeptAtItsStep) {
    auto world = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*world, MUDLARK_RUN_DIR));
    const bool computer[vehicleCount] = {true, true, true};
    const VehicleControls none[vehicleCount] = {};
    VehicleControls blue[vehicleCount] = {};
    blue[0].accelerate = true;
    startWorldRace(*world, 1, computer);
    while (world->race.phase == RacePhase::countdown) {
        stepWorld(*world, none);
    }
    beginRecording(replayBuffer, *world);
    for (uint32_t step = 0; step < 600; ++step) {
        stepWorld(*world, step >= 300 ? blue : none);
        EXPECT_EQ(world->race.computer[0], step < 300) << step;
        VehicleControls taken[vehicleCount];
        for (int v = 0; v < vehicleCount; ++v) {
            taken[v] = world->vehicles[v].controls;
        }
        recordFrame(replayBuffer, stepsPerSecond, taken);
        recordKeyframeIfDue(replayBuffer, world->race, world->vehicles);
    }
    const std::string file = encodeReplay(replayBuffer);
    std::string why;
    ASSERT_TRUE(decodeReplay(reinterpret_cast<const uint8_t*>(file.data()), file.size(), replayBuffer, why)) << why;
    auto played = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*played, MUDLARK_RUN_DIR));
    Playback playback;
    startPlayback(playback, replayBuffer, *played);
    while (playFrame(playback, replayBuffer, *played)) {
        EXPECT_EQ(played->race.computer[0], playback.frame <= 300) << playback.frame;
    }
    EXPECT_EQ(playback.corrections, 0u);
    EXPECT_TRUE(sameVehicles(*played, *world));
    EXPECT_EQ(std::vector<bool>(played->race.computer, played->race.computer + 3), std::vector<bool>({false, true, true}));
}

// Keyframes 3 and 7 of a race with red moved a unit: the playback goes on
// from each as the keyframe has it (red's record right after it equals the
// keyframe), so red then differs at the keyframe after each too, where the
// recording's truth is taken back: four corrections, counted.
TEST(Replay, AnAlteredKeyframeIsTakenAsTheTruthAndCounted) {
    recordRace(1);
    ASSERT_GT(replayBuffer.keyframeCount, 8u);
    for (const uint32_t k : {3u, 7u}) {
        replayBuffer.keyframes[k].vehicles[1].position[0] += 1.0f;
    }
    auto world = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*world, MUDLARK_RUN_DIR));
    Playback playback;
    startPlayback(playback, replayBuffer, *world);
    while (playFrame(playback, replayBuffer, *world)) {
        const uint32_t checked = playback.keyframe - 1;
        if ((checked == 3 || checked == 7) && replayBuffer.keyframes[checked].frame == playback.frame) {
            VehicleSnapshot red;
            takeSnapshot(world->vehicles[1], red);
            EXPECT_TRUE(sameSnapshot(red, replayBuffer.keyframes[checked].vehicles[1])) << checked;
        }
    }
    EXPECT_EQ(playback.corrections, 4u);
}

// Damaged files, each refused with its reason and nothing of it kept: cut at
// each part's end and in the middle, another game's file, a newer version, a
// byte changed, more frames claimed than the body holds, no frames, a tail, a
// keyframe no step could take.
TEST(ReplayFile, DamagedFilesAreRefusedWithTheirReasonAndLeaveNothing) {
    recordRace(1);
    const std::string good = encodeReplay(replayBuffer);
    // A word of the header set (at 8: the version's), its checksum made right again.
    const auto withWord = [&](size_t at, uint32_t value) {
        std::string file = good;
        const auto put = [&](size_t where, uint32_t word) {
            for (int i = 0; i < 4; ++i) {
                file[where + i] = static_cast<char>(word >> (8 * i) & 0xFF);
            }
        };
        put(at, value);
        put(12, 0);
        put(12, static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(file.data()), file.size())));
        return file;
    };
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x10;
    // A keyframe a shared file could carry that no step could take: a smoke
    // timer of the lowest int (counted down past its end), a height not a number.
    VehicleSnapshot& kept = replayBuffer.keyframes[1].vehicles[2];
    const VehicleSnapshot before = kept;
    kept.frontSmokeTimer = INT32_MIN;
    const std::string lowestTimer = encodeReplay(replayBuffer);
    kept = before;
    kept.wheelHeight[3] = std::nanf("");
    const std::string noNumber = encodeReplay(replayBuffer);
    kept = before;
    const std::pair<std::string, const char*> damaged[] = {
        {good.substr(0, 5), "it is cut short"},
        {good.substr(0, 63), "it is cut short"},
        {good.substr(0, 67), "it is cut short"},
        {good.substr(0, 68), "it is cut short"},
        {good.substr(0, good.size() - 1), "it is cut short"},
        {"P5\n1 1\n" + good, "it is no replay of this game"},
        {withWord(8, 5 | 68 << 16), "it is of version 5, and this game reads versions 1 to 4"},
        {withWord(64, 1 | static_cast<uint32_t>(static_cast<uint8_t>(good[66])) << 16 |
                          static_cast<uint32_t>(static_cast<uint8_t>(good[67])) << 24),
         "it was driven by another version of the game's physics (1; this game has 3), which it cannot replay exactly"},
        {flipped, "its checksum does not match"},
        {withWord(16, replayBuffer.frameCount + 1000), "it claims more frames than it holds"},
        {withWord(16, 0xFFFFFFFFu), "it claims more frames than it holds"},
        {withWord(16, 0), "it holds no race"},
        {good + "tail", "it goes on past its end"},
        {lowestTimer, "its keyframes are out of range"},
        {noNumber, "its keyframes are out of range"},
    };
    const uint32_t frames = replayBuffer.frameCount;
    for (const auto& [file, reason] : damaged) {
        std::string why;
        EXPECT_FALSE(decodeReplay(reinterpret_cast<const uint8_t*>(file.data()), file.size(), replayBuffer, why));
        EXPECT_EQ(why, reason);
    }
    EXPECT_EQ(replayBuffer.frameCount, frames);
    EXPECT_EQ(encodeReplay(replayBuffer), good); // nothing of a refused file was kept
    TempDir dir;
    std::string why;
    EXPECT_FALSE(readReplayFile(dir.file("none.mlr").c_str(), replayBuffer, why));
    EXPECT_EQ(why, "it cannot be read");
    EXPECT_TRUE(readReplayFile(dir.write("race.mlr", good).c_str(), replayBuffer, why)) << why;
}

} // namespace
