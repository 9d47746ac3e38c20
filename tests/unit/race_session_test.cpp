// race_session_test.cpp -- races in the whole game on the scripted platform,
// on the generated track: F5, a test driver on the blue vehicle's keys alone
// going round the course, places, the results, and the records file (written
// only when a record falls, never left half-written, set aside when damaged).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/main_loop.h"
#include "app/race_session.h"
#include "core/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/win_messages.h"
#include "scene/scene.h"
#include "support/temp_dir.h"

namespace {

void key(uint32_t message, uint8_t code) { fake.queue.push_back(WindowMessage{message, code, 1}); }

// The blue vehicle's keys, held or let go as a driver steering for its next
// gate would: the way it goes (its course) turned toward a point on the gate's
// line, or behind it when it has come past the line beside the posts; the
// brake when the turn left to make is large.
void driveBlueForItsNextGate() {
    const Vehicle& v = vehicles[0];
    const RaceEntry& entry = activeRace.entries[0];
    const Gate& gate = raceCourse.gates[nextGate(entry, raceCourse.count)];
    float forward[2], right[2];
    gateDirections(gate, forward, right);
    const bool past = (entry.centre[0] - gate.x) * forward[0] + (entry.centre[1] - gate.z) * forward[1] > -1;
    const float aimX = gate.x - (past ? 8 * forward[0] : 0), aimZ = gate.z - (past ? 8 * forward[1] : 0);
    const double toward = std::atan2(-(aimX - entry.centre[0]), -(aimZ - entry.centre[1])) * 180 / 3.14159265358979;
    const double turn = std::remainder(toward - v.course, 360.0) + v.yawRate * frameTimer.measuredFps * 0.3;
    const bool sharp = std::fabs(turn) > 35 && v.speed > 10;
    const std::pair<uint8_t, bool> held[] = {{VK_NUMPAD0 + 8, !sharp},
                                             {VK_NUMPAD0 + 5, sharp && std::fabs(turn) > 60},
                                             {VK_NUMPAD0 + 4, turn > 3},
                                             {VK_NUMPAD0 + 6, turn < -3}};
    for (const auto& [code, down] : held) {
        if (down != (input.keys[code] != 0)) {
            key(down ? WM_KEYDOWN : WM_KEYUP, code);
        }
    }
}

class RaceSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppState();
        resetFakePlatform();
        resetRaceSession();
        fake.realFont = false;
        fake.counterStep = 16666; // 60 frames a second
        setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        // Without a GL context GLU cannot make mipmaps: the plain filter.
        dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\nlaps: 1\n");
        for (const char* top : {"Models", "Tracks", "Textures"}) {
            std::filesystem::copy(std::string(MUDLARK_RUN_DIR) + "/" + top, dir.file(top),
                                  std::filesystem::copy_options::recursive);
        }
    }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }
    // Runs the game from its run folder: F5 on the second frame, then each
    // frame's script until it says to stop (or ten minutes of game time pass).
    int race(const std::function<bool()>& frame) {
        static std::function<bool()> script;
        script = frame;
        fake.onSwap = [] {
            if (fake.swapCount == 2) {
                key(WM_KEYDOWN, VK_F5);
                key(WM_KEYUP, VK_F5);
            } else if (fake.swapCount > 2 && (!script() || fake.swapCount > 60 * 600)) {
                fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
            }
        };
        WorkingDirectory here(dir.path());
        return runGame();
    }
    std::string records() const { return readFileBytes(data.file("mudlark/records.txt")); }
    TempDir dir, data;
};

TEST_F(RaceSessionTest, TheBlueKeysAloneDriveRoundTheCourseAndThePlacesFollow) {
    dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\nlaps: 2\ncomputerdrivers: false\n");
    int lapWhenFirst = 0;
    EXPECT_EQ(race([&] {
                  if (activeRace.phase == RacePhase::racing) {
                      driveBlueForItsNextGate();
                  }
                  const RaceEntry& blue = activeRace.entries[0];
                  lapWhenFirst = placeOf(activeRace, 0) == 0 && blue.gatesPassed > 1 ? currentLap(activeRace, blue, raceCourse.count)
                                                                                      : lapWhenFirst;
                  return currentLap(activeRace, blue, raceCourse.count) < 2;
              }),
              0);
    EXPECT_EQ(completedLaps(activeRace.entries[0], raceCourse.count), 1);
    EXPECT_EQ(lapWhenFirst, 2); // in the lead once it left the others standing
    EXPECT_LT(activeRace.clock, 60.0);
    EXPECT_EQ(activeRace.entries[1].gatesPassed + activeRace.entries[2].gatesPassed, 0);
    EXPECT_EQ(records(), ""); // nothing written before a race ends
}

// Nobody touched a key: the computer drives all three from "GO". W pressed
// for red hands red to its player in that very frame: its controls are the
// keys' (accelerate alone), never the computer's.
TEST_F(RaceSessionTest, UntouchedVehiclesAreTheComputersUntilAKeyIsPressed) {
    int frame = 0;
    race([&] {
        ++frame;
        if (activeRace.phase != RacePhase::racing || frame < 60 * 4) {
            return frame < 60 * 10;
        }
        if (frame == 60 * 4) {
            EXPECT_TRUE(activeRace.computer[0] && activeRace.computer[1] && activeRace.computer[2]);
            for (const Vehicle& v : vehicles) {
                EXPECT_TRUE(v.controls.accelerate) << "off the grid at once"; // no key is held
            }
            key(WM_KEYDOWN, 'W');
            return true;
        }
        const VehicleControls& red = vehicles[1].controls;
        EXPECT_FALSE(activeRace.computer[1]);
        EXPECT_TRUE(red.accelerate && !red.left && !red.right && !red.brake && !red.reverse);
        EXPECT_TRUE(activeRace.computer[0] && activeRace.computer[2]);
        return false;
    });
    EXPECT_GT(frame, 60 * 4);
}

TEST_F(RaceSessionTest, AFinishedRaceKeepsItsRecordsSafelyAndADamagedFileIsSetAside) {
    const auto toTheResults = [&] {
        if (activeRace.phase == RacePhase::racing) {
            driveBlueForItsNextGate();
        }
        return activeRace.phase != RacePhase::results;
    };
    // A damaged file: one box, set aside, and the race's records begin anew.
    data.write("mudlark/records.txt", "1 3 40.5 130\n1 1 oops\n");
    EXPECT_EQ(race(toTheResults), 0);
    ASSERT_EQ(activeRace.phase, RacePhase::results);
    ASSERT_EQ(fake.captions(), "Error");
    EXPECT_NE(fake.messageBoxes[0].text.find("line 2"), std::string::npos) << fake.messageBoxes[0].text;
    EXPECT_EQ(readFileBytes(data.file("mudlark/records.txt.bad")), "1 3 40.5 130\n1 1 oops\n");
    const std::string kept = records();
    EXPECT_EQ(kept.rfind("1 1 ", kept.find('\n') + 1), kept.find('\n') + 1) << kept; // this track, one lap
    // The same race again breaks no record: the file is not written at all.
    const auto written = std::filesystem::last_write_time(data.file("mudlark/records.txt"));
    resetAppState();
    resetFakePlatform();
    resetRaceSession();
    fake.counterStep = 16666;
    fake.realFont = false;
    EXPECT_EQ(race(toTheResults), 0);
    EXPECT_EQ(records(), kept);
    EXPECT_EQ(std::filesystem::last_write_time(data.file("mudlark/records.txt")), written);
    // A record that falls while the new file cannot be put in place (a crash
    // just before): the old records stand, whole.
    data.write("mudlark/records.txt", "# old\n1 1 999 5000\n");
    resetAppState();
    resetFakePlatform();
    resetRaceSession();
    fake.counterStep = 16666;
    fake.realFont = false;
    fake.failReplace = true;
    EXPECT_EQ(race(toTheResults), 0);
    EXPECT_EQ(records(), "# old\n1 1 999 5000\n");
    EXPECT_EQ(fake.captions(), "Error"); // the player hears the record was not kept
    EXPECT_FALSE(std::filesystem::exists(data.file("mudlark/records.txt.tmp")));
}

} // namespace
