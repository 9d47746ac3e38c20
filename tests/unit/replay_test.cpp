// replay_test.cpp -- a race of computer drivers recorded, written, read back and
// played: the same vehicle records bit for bit at every keyframe and at the end,
// the same places and times, at steady and wandering frame rates; every kind of
// damaged file refused with its reason, nothing of it kept.
#include <gtest/gtest.h>

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
    Course course{};
    LineFault fault{};
    std::FILE* file = std::fopen(MUDLARK_RUN_DIR "/Tracks/Gates_01.txt", "r");
    EXPECT_TRUE(readCourse(file, course, fault));
    std::fclose(file);
    return course;
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

} // namespace
