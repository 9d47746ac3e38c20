// replay_test.cpp -- a race of computer drivers recorded, written, read back and
// played: the same vehicle records bit for bit at every keyframe and at the end,
// the same places and times, at steady and wandering frame rates; every kind of
// damaged file refused with its reason, nothing of it kept.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "race/driver.h"
#include "replay/replay_file.h"
#include "scene/scene.h"
#include "support/scripted_drive.h"
#include "support/temp_dir.h"

namespace {

Course firstCourse() {
    EXPECT_TRUE(setUpScriptedWorld(MUDLARK_RUN_DIR));
    return raceCourse;
}

// A race of three computer drivers (rate(frame) frames a second) recorded into
// the game's replay buffer; the race as it ended.
Race recordRace(const Course& course, int32_t laps, const std::function<uint32_t(uint32_t)>& rate) {
    EXPECT_TRUE(setUpScriptedWorld(MUDLARK_RUN_DIR));
    Race race{};
    ComputerDriver drivers[vehicleCount] = {};
    startRace(race, course, laps, vehicles);
    const VehicleControls none[vehicleCount] = {};
    for (uint32_t frame = 0; race.phase == RacePhase::countdown; ++frame) {
        stepVehicles(vehicles, none, rate(frame));
        updateRace(race, course, vehicles, rate(frame));
    }
    beginRecording(replayBuffer, 1, "Meadow", race, vehicles);
    for (uint32_t frame = 0; race.phase == RacePhase::racing && frame < 60 * 600; ++frame) {
        VehicleControls controls[vehicleCount];
        for (int32_t v = 0; v < vehicleCount; ++v) {
            controls[v] = driveComputer(vehicles[v], course, race.entries[v], drivers[v], 2, rate(frame));
        }
        recordFrame(replayBuffer, rate(frame), controls);
        stepVehicles(vehicles, controls, rate(frame));
        updateRace(race, course, vehicles, rate(frame));
        recordKeyframeIfDue(replayBuffer, race, vehicles);
    }
    return race;
}

TEST(Replay, PlayedBackFromItsFileEveryKeyframeAndTheEndAreTheRaceBitForBit) {
    const Course course = firstCourse();
    const std::pair<const char*, std::function<uint32_t(uint32_t)>> rates[] = {
        {"30", [](uint32_t) { return 30u; }},
        {"60", [](uint32_t) { return 60u; }},
        {"120", [](uint32_t) { return 120u; }},
        {"wandering", [](uint32_t frame) { return 40u + frame * 7919u % 41u; }},
    };
    for (const auto& [name, rate] : rates) {
        const Race live = recordRace(course, 2, rate);
        const std::vector<Vehicle> ending(vehicles, vehicles + vehicleCount);
        ASSERT_EQ(live.phase, RacePhase::results) << name;
        const std::string file = encodeReplay(replayBuffer);
        std::printf("%s frames a second: %u frames, %u keyframes, %zu bytes, %.0f bytes a minute of race\n", name,
                    replayBuffer.frameCount, replayBuffer.keyframeCount, file.size(), file.size() * 60 / live.clock);
        std::memset(&replayBuffer, 0, sizeof replayBuffer);
        std::string why;
        ASSERT_TRUE(decodeReplay(reinterpret_cast<const uint8_t*>(file.data()), file.size(), replayBuffer, why)) << why;
        EXPECT_EQ(encodeReplay(replayBuffer), file) << name; // read back byte for byte

        Playback playback;
        startPlayback(playback, replayBuffer, course, vehicles);
        while (playFrame(playback, replayBuffer, course, vehicles)) {
        }
        EXPECT_EQ(playback.corrections, 0u) << name;
        EXPECT_EQ(playback.keyframe, replayBuffer.keyframeCount) << name; // every keyframe checked
        EXPECT_EQ(std::memcmp(ending.data(), vehicles, sizeof vehicles), 0) << name;
        EXPECT_EQ(std::vector<int32_t>(playback.race.places, playback.race.places + 3),
                  std::vector<int32_t>(live.places, live.places + 3));
        for (int32_t v = 0; v < vehicleCount; ++v) {
            EXPECT_EQ(playback.race.entries[v].finishTime, live.entries[v].finishTime) << name;
            EXPECT_EQ(playback.race.entries[v].bestLap, live.entries[v].bestLap) << name;
        }
    }
}

// Damaged files, each refused with its reason and nothing of it kept: cut at
// each part's end and in the middle, another game's file, a newer version, a
// byte changed, more frames claimed than the body holds, no frames, a tail.
TEST(ReplayFile, DamagedFilesAreRefusedWithTheirReasonAndLeaveNothing) {
    const Course course = firstCourse();
    recordRace(course, 1, [](uint32_t) { return 60u; });
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
    const std::pair<std::string, const char*> damaged[] = {
        {good.substr(0, 5), "it is cut short"},
        {good.substr(0, 63), "it is cut short"},
        {good.substr(0, 64), "it is cut short"},
        {good.substr(0, good.size() - 1), "it is cut short"},
        {"P5\n1 1\n" + good, "it is no replay of this game"},
        {withWord(8, 2 | 64 << 16), "it is of version 2, and this game reads version 1"},
        {flipped, "its checksum does not match"},
        {withWord(16, replayBuffer.frameCount + 1000), "it claims more frames than it holds"},
        {withWord(16, 0xFFFFFFFFu), "it claims more frames than it holds"},
        {withWord(16, 0), "it holds no race"},
        {good + "tail", "it goes on past its end"},
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
