// step_clock_test.cpp -- one clock on every machine: the frames' real time cut
// into steps of 1/60 s (a stall runs six and no more), the vehicles drawn on
// the way between the last two steps, and the whole game
// driven by the same keys at 30, 60 and 144 frames a second and at a
// wandering rate ending in the same world bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/game.h"
#include "app/main_loop.h"
#include "app/step_clock.h"
#include "render/render.h"
#include "platform/fake/fake_platform.h"
#include "platform/win_messages.h"
#include "replay/replay.h"
#include "support/scripted_drive.h"
#include "support/temp_dir.h"
#include "support/vehicle_fixture.h"

namespace {

TEST(StepClock, RealTimeInStepsTheRestKeptAndAStallRunsSixStepsAndNoMore) {
    StepClock clock{};
    const int64_t hz = 1000000;
    int steps = 0;
    for (int frame = 0; frame < 144; ++frame) { // a second of 144 frames: 60 steps
        steps += takeFrameSteps(clock, hz / 144, hz);
        EXPECT_LT(stepFraction(clock), 1.0);
    }
    EXPECT_EQ(steps, 59); // 1/144 s is 6944 counts: 64 short of the 60th step
    EXPECT_EQ(takeFrameSteps(clock, 64, hz), 1);
    EXPECT_EQ(stepFraction(clock), 0.0);
    EXPECT_EQ(takeFrameSteps(clock, 2 * hz, hz), maxStepsPerFrame); // a window dragged for two seconds
    EXPECT_EQ(takeFrameSteps(clock, hz / 120, hz), 0);               // and the rest is let go
    EXPECT_EQ(takeFrameSteps(clock, 0, hz) + takeFrameSteps(clock, -5, hz), 0); // a frame not measured
}

// The drawn pose lies on the way from one step to the next: the blend of a
// quarter is a quarter of the way along every coordinate, and angles go the
// short way round, also where a front wheel passes from 359 to 1 degree.
TEST(DrawnBetweenSteps, TheBlendLiesOnTheWayAndAnglesGoTheShortWayRound) {
    Vehicle a{}, b{}, drawn{};
    freshVehicle(a);
    freshVehicle(b);
    a.position[0] = 1, b.position[0] = 3;
    a.heading = 179, b.heading = -179; // across the back: 2 degrees, not 358
    a.wheelSteer[0] = 359, b.wheelSteer[0] = 1;
    a.wheelSpin[2] = 100, b.wheelSpin[2] = 220; // spin is unbounded: it blends plainly
    a.speed = 5, b.speed = 6;
    blendVehicle(a, b, 0.25, drawn);
    EXPECT_FLOAT_EQ(drawn.position[0], 1.5f);
    EXPECT_FLOAT_EQ(drawn.heading, 179.5f);
    EXPECT_FLOAT_EQ(drawn.wheelSteer[0], 359.5f);
    EXPECT_FLOAT_EQ(drawn.wheelSpin[2], 130.0f);
    EXPECT_EQ(drawn.speed, 6.0f); // the readout as of the last step
    blendVehicle(a, b, 0.0, drawn);
    EXPECT_EQ(drawn.heading, 179.0f);
}

// The whole game on the scripted platform, its counter at 720 000 a second
// (so that 30, 60 and 144 frames a second are whole counts).
class OneClock : public ::testing::Test {
protected:
    static constexpr int64_t hz = 720000;
    struct Key {
        uint32_t step; // pressed or let go once the world has taken this many steps
        uint8_t code;
        bool down;
    };
    struct Run {
        std::vector<std::array<VehicleSnapshot, vehicleCount>> seconds; // at each whole second of game time
        std::vector<std::pair<int32_t, double>> gates;                 // vehicle, race time, each gate passed
        double finish[vehicleCount];
        uint32_t frames;
    };
    void SetUp() override {
        setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        for (const char* top : {"Models", "Tracks", "Textures"}) {
            std::filesystem::copy(std::string(MUDLARK_RUN_DIR) + "/" + top, dir.file(top),
                                  std::filesystem::copy_options::recursive);
        }
    }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }

    // Plays the game until `steps` steps are taken, each frame as long as
    // frame(steps taken, counts to the next tenth of a second) says, the keys
    // pressed and let go at their steps.
    Run play(const std::string& settingsText, const std::vector<Key>& keys, uint32_t steps,
             const std::function<int64_t(uint32_t, int64_t)>& frame) {
        closeRenderer();
        resetFakePlatform();
        parts = std::make_unique<Game>();
        fake.realFont = false;
        fake.frequency = hz;
        fake.counter = 1;
        fake.counterStep = 0; // each frame's length is set after the frame before it
        dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\n" + settingsText);
        Run run{};
        size_t nextKey = 0;
        fake.onSwap = [&] {
            const uint32_t taken = game->steps;
            if (taken % 60 == 0 && run.seconds.size() == taken / 60) {
                run.seconds.emplace_back();
                for (int v = 0; v < vehicleCount; ++v) {
                    takeSnapshot(game->vehicles[v], run.seconds.back()[v]);
                }
            }
            for (int v = 0; v < vehicleCount; ++v) {
                const RaceEntry& e = game->race.entries[v];
                if (e.gatesPassed > std::count_if(run.gates.begin(), run.gates.end(), [v](auto& g) { return g.first == v; })) {
                    run.gates.emplace_back(v, e.lastCrossing);
                }
                run.finish[v] = e.finished ? e.finishTime : -1;
            }
            for (; nextKey < keys.size() && keys[nextKey].step <= taken; ++nextKey) {
                fake.queue.push_back(WindowMessage{keys[nextKey].down ? WM_KEYDOWN : WM_KEYUP, keys[nextKey].code, 1});
            }
            if (taken >= steps || ++run.frames > 200000) {
                fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
            }
            // The counts from now to the next tenth of a second of game time.
            const int64_t toTenth = ((6 - taken % 6) * hz - std::llround(lastStepFraction(parts->frame) * hz)) / 60;
            fake.counter += frame(taken, toTenth);
        };
        WorkingDirectory here(dir.path());
        EXPECT_EQ(runGame(*parts, *game), 0);
        fake.onSwap = nullptr;
        return run;
    }
    static inline World* game = new World;
    static inline std::unique_ptr<Game> parts; // the game above the world, new for each run
    TempDir dir, data;
};

// Every frame the same length, counts at 720 000 a second.
std::function<int64_t(uint32_t, int64_t)> steady(int64_t perSecond) {
    return [perSecond](uint32_t, int64_t) { return 720000 / perSecond; };
}

// Frames of 5 to 40 ms from a fixed pseudo-random sequence, each cut short where
// a tenth of a second of game time ends (where the script's keys fall).
std::function<int64_t(uint32_t, int64_t)> wandering() {
    return [state = uint32_t{12345}](uint32_t, int64_t toTenth) mutable {
        state = state * 1664525u + 1013904223u;
        const int64_t length = 3600 + static_cast<int64_t>(state >> 8) % (28800 - 3600);
        return std::min(length, toTenth);
    };
}

// Keys pressed and let go at given game times (steps, at tenths of a second):
// F5 starts a race; blue, on its keys, drives off at "GO" and weaves; red
// taps its accelerator and brakes; green is the computer's. At 30, 60, 144
// frames a second and at a wandering rate: the same vehicles, bit for bit, at
// every whole second of game time, and the same gate times.
TEST_F(OneClock, TheSameKeysGiveTheSameRaceAtAnyFrameRate) {
    const uint8_t up = VK_NUMPAD0 + 8, left = VK_NUMPAD0 + 4, right = VK_NUMPAD0 + 6;
    std::vector<Key> keys = {{6, VK_F5, true}, {12, VK_F5, false}, {186, up, true}, {240, left, true},
                             {300, left, false}, {330, 'W', true}, {336, 'W', false}, {360, right, true},
                             {420, right, false}, {480, 'S', true}, {540, 'S', false}, {600, 'W', true}};
    for (uint32_t at = 660; at < 1500; at += 120) {
        keys.push_back({at, at % 240 == 180 ? left : right, true});
        keys.push_back({at + 60, at % 240 == 180 ? left : right, false});
    }
    std::vector<Run> runs;
    for (const auto& frame : {steady(60), steady(30), steady(144), wandering()}) {
        runs.push_back(play("laps: 1\n", keys, 1500, frame));
        // Gates passed within one frame are seen together: in the order of their times.
        std::stable_sort(runs.back().gates.begin(), runs.back().gates.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    }
    ASSERT_EQ(runs[0].seconds.size(), 26u);
    EXPECT_GT(runs[0].gates.size(), 6u);
    for (size_t r = 1; r < runs.size(); ++r) {
        ASSERT_EQ(runs[r].seconds.size(), runs[0].seconds.size()) << r;
        for (size_t s = 0; s < runs[0].seconds.size(); ++s) {
            for (int v = 0; v < vehicleCount; ++v) {
                EXPECT_TRUE(sameSnapshot(runs[r].seconds[s][v], runs[0].seconds[s][v])) << r << " second " << s << " vehicle " << v;
            }
        }
        EXPECT_EQ(runs[r].gates, runs[0].gates) << r;
    }
    // 144 frames a second draw 2.4 frames a step, 30 draw one every two steps.
    EXPECT_NEAR(runs[2].frames, 2.4 * runs[0].frames, 0.01 * runs[0].frames);
    EXPECT_NEAR(runs[1].frames, 0.5 * runs[0].frames, 0.01 * runs[0].frames);
}

// A tap shorter than a step (down and up between two steps, at 144 frames a
// second) drives the next step once, and only that one.
TEST_F(OneClock, ATapShorterThanAStepCountsForOneStep) {
    std::vector<bool> accelerating;
    play("", {{120, 'W', true}, {120, 'W', false}}, 125, [&](uint32_t taken, int64_t) {
        if (taken >= 120 && taken < 125) {
            accelerating.push_back(game->vehicles[1].controls.accelerate);
        }
        return hz / 144;
    });
    EXPECT_EQ(std::count(accelerating.begin(), accelerating.end(), true), 2); // the step after, over its 2.4 frames
    EXPECT_FALSE(accelerating.back());
}

} // namespace
