// game_session_test.cpp -- the whole game on the scripted platform, on the
// generated tracks. Races: F5, a test driver on the blue vehicle's keys alone
// going round the course, places, the results, and the records file (written
// only when a record falls, never left half-written, set aside when damaged).
// Replays kept and watched. Tracks: the setting, a track that cannot be driven
// said in one box, and F7.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>

#include "app/game.h"
#include "app/game_mode.h"
#include "app/lan_session.h"
#include "app/main_loop.h"
#include "app/menu_session.h"
#include "app/trial_session.h"
#include "replay/ghost_file.h"
#include "replay/replay_file.h"
#include "support/scripted_drive.h"
#include "menu/menu.h"
#include "net/lan_messages.h"
#include "app/race_session.h"
#include "app/replay_session.h"
#include "app/track_session.h"
#include "render/render.h"
#include "core/play_lines.h"
#include "platform/fake/fake_platform.h"
#include "platform/win_messages.h"
#include "race/driver.h"
#include "scene/scene.h"
#include "support/temp_dir.h"
#include "terrain/terrain.h"
#include "support/vehicle_fixture.h"
#include "terrain/track.h"

namespace {

// The game's world, as the tests look at it between and after frames.
World& world = *new World;
Race& activeRace = world.race;
const Course& raceCourse = world.course;
Vehicle (&vehicles)[vehicleCount] = world.vehicles;
const int32_t& currentTrack = world.track;
// The game above it, made anew for each run as a new process makes it.
std::unique_ptr<Game> current = std::make_unique<Game>();

void key(uint32_t message, uint8_t code) { fake.queue.push_back(WindowMessage{message, code, 1}); }
void tap(uint8_t code) { key(WM_KEYDOWN, code), key(WM_KEYUP, code); }

// The blue vehicle's keys, pressed and let go as the computer driver would
// steer and drive it for its next gate: the keys' own way into the game.
ComputerDriver blueDriver;

// The ghost in a file (its lap's track, time and whether it is of older
// physics); a lap of track 0 when the file is no ghost.
GhostLap& ghostIn(const std::string& path, bool& old) {
    static const auto lap = std::make_unique<GhostLap>();
    const std::string bytes = readFileBytes(path);
    std::string why;
    lap->track = decodeGhost(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), *lap, old, why) ? lap->track : 0;
    return *lap;
}

void driveBlueForItsNextGate(int32_t skill = 2) {
    const VehicleControls wanted =
        driveComputer(vehicles[0], 0, raceCourse, activeRace.entries[0], blueDriver, skill, obstaclesFor(world, 0));
    const std::pair<uint8_t, bool> held[] = {{VK_NUMPAD0 + 8, wanted.accelerate},
                                             {VK_NUMPAD0 + 5, wanted.brake},
                                             {VK_NUMPAD0 + 2, wanted.reverse},
                                             {VK_NUMPAD0 + 4, wanted.left},
                                             {VK_NUMPAD0 + 6, wanted.right}};
    for (const auto& [code, down] : held) {
        if (down != (current->input.keys[code] != 0)) {
            key(down ? WM_KEYDOWN : WM_KEYUP, code);
        }
    }
}

class GameSession : public ::testing::Test {
protected:
    void SetUp() override {
        restart();
        setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        // Without a GL context GLU cannot make mipmaps: the plain filter.
        dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\nlaps: 1\n");
        for (const char* top : {"Models", "Tracks", "Textures"}) {
            std::filesystem::copy(std::string(MUDLARK_RUN_DIR) + "/" + top, dir.file(top),
                                  std::filesystem::copy_options::recursive);
        }
    }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }
    // As a new process: nothing left of the last run.
    static void restart() {
        closeRenderer();
        resetFakePlatform();
        current = std::make_unique<Game>();
        fake.realFont = false;
        fake.counterStep = 16666; // 60 frames a second
        blueDriver = ComputerDriver{};
    }
    // Runs the game from its run folder (with this replay file to play, if
    // any; else F5 on the second frame, unless told not to), then each frame's
    // script until it says to stop (or ten minutes of game time pass).
    int race(const std::function<bool()>& frame, const std::string& replayFile = "", bool start = true) {
        static std::function<bool()> script;
        static bool startRace;
        script = frame;
        startRace = replayFile.empty() && start;
        fake.onSwap = [] {
            if (fake.swapCount == 2 && startRace) {
                tap(VK_F5);
            } else if (fake.swapCount > 2 && (!script() || fake.swapCount > 60 * 600)) {
                fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
            }
        };
        WorkingDirectory here(dir.path());
        std::string program = "mudlark", file = replayFile;
        char* argv[] = {program.data(), file.data()};
        return runGame(*current, world, replayFile.empty() ? 1 : 2, argv);
    }
    std::string records() const { return readFileBytes(data.file("mudlark/records.txt")); }
    // Copies these track files into a folder, under a new number ("05").
    void copyTrackFiles(std::initializer_list<const char*> files, const std::string& folder, const char* number) {
        std::filesystem::create_directories(folder);
        for (const std::string file : files) {
            std::filesystem::copy(dir.file("Tracks/" + file),
                                  folder + "/" + std::string(file).replace(file.find('_') + 1, 2, number));
        }
    }
    TempDir dir, data;
};

TEST_F(GameSession, TheBlueKeysAloneDriveRoundTheCourseAndThePlacesFollow) {
    dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\nlaps: 2\ncomputerdrivers: false\n");
    int lapWhenFirst = 0;
    EXPECT_EQ(race([&] {
                  if (activeRace.phase == RacePhase::racing) {
                      driveBlueForItsNextGate();
                      key(activeRace.clock < 1 ? WM_KEYDOWN : WM_KEYUP, VK_F7); // no change of track in a race
                  }
                  const RaceEntry& blue = activeRace.entries[0];
                  lapWhenFirst = placeOf(activeRace, 0) == 0 && blue.gatesPassed > 1 ? currentLap(activeRace, blue, raceCourse.count)
                                                                                      : lapWhenFirst;
                  return currentLap(activeRace, blue, raceCourse.count) < 2;
              }),
              0);
    EXPECT_EQ(completedLaps(activeRace.entries[0], raceCourse.count), 1);
    EXPECT_EQ(currentTrack, 1);
    EXPECT_EQ(lapWhenFirst, 2); // in the lead once it left the others standing
    EXPECT_LT(activeRace.clock, 60.0);
    EXPECT_EQ(activeRace.entries[1].gatesPassed + activeRace.entries[2].gatesPassed, 0);
    EXPECT_EQ(records(), ""); // nothing written before a race ends
}

// Nobody touched a key: the computer drives all three from "GO". W pressed
// for red hands red to its player in that very frame: its controls are the
// keys' (accelerate alone), never the computer's.
TEST_F(GameSession, UntouchedVehiclesAreTheComputersUntilAKeyIsPressed) {
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

// A race of three computer drivers kept as a replay (the oldest of twenty
// kept before it goes), then watched: at twice the speed it passes each moment
// of the race in half the frames, in the same state as at its own speed;
// dropped on the window it plays too (a damaged one only says why); paused,
// nothing moves and the clock stands; the layout keys work; F6 ends it.
TEST_F(GameSession, AReplayPlaysAsDrivenTwiceAsFastPausesAndTheViewsStillChange) {
    for (int old = 0; old < 20; ++old) {
        const std::string file = data.write("mudlark/replays/race-2020010" + std::to_string(old / 10) + "-00000" +
                                                std::to_string(old % 10) + ".mlr",
                                            "old");
        std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 - old));
    }
    EXPECT_EQ(race([] { return activeRace.phase != RacePhase::results; }), 0);
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(data.file("mudlark/replays"))) {
        if (readFileBytes(entry.path().string()) != "old") {
            kept.push_back(entry.path().string());
        }
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(data.file("mudlark/replays/race-20200100-000000.mlr"))); // the oldest
    EXPECT_TRUE(std::filesystem::exists(data.file("mudlark/replays/race-20200100-000001.mlr")));
    std::map<double, std::vector<float>> seen; // race time reached: the vehicles' places then
    const auto places = [] {
        std::vector<float> at;
        for (const Vehicle& v : vehicles) {
            at.insert(at.end(), {v.position[0], v.position[2], v.heading, v.speed});
        }
        return at;
    };
    int framesToTen[2] = {0, 0}, compared = 0;
    for (const int speed : {1, 2}) {
        restart();
        EXPECT_EQ(race([&] {
                      if (speed == 2 && fake.swapCount == 3) {
                          tap(VK_RIGHT);
                      }
                      if (speed == 1) {
                          seen[replayShown(current->replay).time] = places();
                      } else if (seen.count(replayShown(current->replay).time) > 0) {
                          EXPECT_EQ(places(), seen[replayShown(current->replay).time]) << replayShown(current->replay).time;
                          ++compared;
                      }
                      framesToTen[speed - 1] = replayShown(current->replay).time < 10 ? fake.swapCount : framesToTen[speed - 1];
                      return replayShown(current->replay).time < 10.5;
                  },
                  kept[0]),
                  0);
    }
    EXPECT_NEAR(framesToTen[1], framesToTen[0] / 2, 3);
    EXPECT_GT(compared, 200);
    restart();
    float standing = 0;
    EXPECT_EQ(race([&] {
                  switch (fake.swapCount) {
                  case 3: // a damaged file, then the replay, dropped on the window
                      fake.droppedFile = data.file("mudlark/replays/race-20200101-000009.mlr");
                      fake.queue.push_back(WindowMessage{WM_DROPFILES, 0, 0});
                      break;
                  case 5:
                      EXPECT_FALSE(replayPlaying(current->replay));
                      EXPECT_EQ(current->said.lines.empty() ? "" : current->said.lines[0].text, // said across the views, no box
                                "Replay race-20200101-000009.mlr is damaged: it is cut short.");
                      fake.droppedFile = kept[0];
                      fake.queue.push_back(WindowMessage{WM_DROPFILES, 0, 0});
                      break;
                  case 60: // Space, and End for the world view
                      tap(VK_SPACE);
                      tap(VK_END);
                      break;
                  case 62:
                      standing = vehicles[1].position[2];
                      break;
                  case 120:
                      EXPECT_EQ(vehicles[1].position[2], standing);
                      EXPECT_TRUE(replayShown(current->replay).paused && current->view.worldView);
                      tap(VK_F6);
                      break;
                  case 122:
                      EXPECT_FALSE(replayPlaying(current->replay) || replayShown(current->replay).on);
                      tap(VK_F6); // the newest replay again
                      break;
                  case 124: // joining a LAN race ends it: the session has the world
                      EXPECT_TRUE(replayPlaying(current->replay));
                      joinLanRace(current->lan, current->replay, world, current->settings, current->said, "127.0.0.1:27823");
                      EXPECT_FALSE(replayPlaying(current->replay) || replayShown(current->replay).on);
                      EXPECT_TRUE(lanOn(current->lan));
                      return false;
                  }
                  return true;
              }),
              0);
    EXPECT_EQ(fake.captions(), "");
}

TEST_F(GameSession, AFinishedRaceKeepsItsRecordsSafelyAndADamagedFileIsSetAside) {
    const auto toTheResults = [&] {
        if (activeRace.phase == RacePhase::racing) {
            driveBlueForItsNextGate();
        }
        return activeRace.phase != RacePhase::results;
    };
    // A damaged file: one line across the views (no box while three play),
    // set aside, and the race's records begin anew.
    data.write("mudlark/records.txt", "1 3 40.5 130\n1 1 oops\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(race(toTheResults), 0);
    const std::string damaged = testing::internal::GetCapturedStderr();
    ASSERT_EQ(activeRace.phase, RacePhase::results);
    EXPECT_EQ(fake.captions(), "");
    EXPECT_NE(damaged.find("line 2"), std::string::npos) << damaged;
    EXPECT_EQ(readFileBytes(data.file("mudlark/records.txt.bad")), "1 3 40.5 130\n1 1 oops\n");
    const std::string kept = records();
    // On this clock, this track, one lap, this simulation: blue's time alone
    // (red and green are the computer's).
    const std::string blue = "1 1 14.161 14.161 3\n";
    EXPECT_EQ(kept.substr(kept.find("clock")), "clock 2\n" + blue) << kept;
    // The same race again breaks no record: the file is not written at all.
    const auto written = std::filesystem::last_write_time(data.file("mudlark/records.txt"));
    restart();
    EXPECT_EQ(race(toTheResults), 0);
    EXPECT_EQ(records(), kept);
    EXPECT_EQ(std::filesystem::last_write_time(data.file("mudlark/records.txt")), written);
    // A record driven before contact (a line without its simulation) is no
    // match for this race: both stand, each of its own simulation.
    data.write("mudlark/records.txt", "clock 2\n1 1 1 1\n");
    restart();
    EXPECT_EQ(race(toTheResults), 0);
    EXPECT_EQ(records().substr(records().find("clock")), "clock 2\n1 1 1.000 1.000 2\n" + blue);
    // A record that falls while the new file cannot be put in place (a crash
    // just before): the old records stand, whole.
    data.write("mudlark/records.txt", "# old\nclock 2\n1 1 999 5000\n");
    restart();
    fake.failReplace = true;
    int afterResults = 0; // the writes end in the background: their lines come a frame later
    EXPECT_EQ(race([&] {
                  if (activeRace.phase == RacePhase::results && afterResults++ == 0) {
                      current->race.writes.finish();
                      current->replay.writes.finish();
                  }
                  return toTheResults() || afterResults < 3;
              }),
              0);
    EXPECT_EQ(records(), "# old\nclock 2\n1 1 999 5000\n");
    // The players hear the record (and the replay) was not kept, in lines
    // under the results, and play goes on.
    EXPECT_EQ(fake.captions(), "");
    ASSERT_EQ(current->said.lines.size(), 2u);
    EXPECT_EQ(current->said.lines[0].text.rfind("The race's replay could not be kept", 0), 0u);
    EXPECT_EQ(current->said.lines[1].text.rfind("The new record could not be kept", 0), 0u);
    for (const auto& left : std::filesystem::directory_iterator(data.file("mudlark"))) {
        EXPECT_NE(left.path().extension(), ".tmp") << left.path(); // nothing half written stays
    }
    // Records of the first clock, which followed the frame rate: kept whole
    // beside the new file, and the new clock's records begin.
    data.write("mudlark/records.txt", "1 1 1.5 2.5\n");
    restart();
    EXPECT_EQ(race(toTheResults), 0);
    EXPECT_EQ(readFileBytes(data.file("mudlark/records-1.1.txt")), "1 1 1.5 2.5\n");
    EXPECT_EQ(records(), kept);
    EXPECT_EQ(fake.captions(), "");
}

// track: chooses the set, from the game's folder or the player's own; one that
// cannot be driven is said, every fault of it in one box, and track 1 is
// driven instead.
TEST_F(GameSession, TheTrackSettingChoosesTheSetAndOneThatCannotBeDrivenIsSaid) {
    const auto firstFrame = [&](const char* track) { // the heights the game drives on
        restart();
        dir.write("settings.cfg", std::string("fullscreen: false\ntexturefilter: linear\n") + track);
        race([] { return false; }, "", false);
        return std::string(world.ground.heights, world.ground.heights + sizeof world.ground.heights);
    };
    const std::string heights = readFileBytes(dir.file("Tracks/Terrain_02.raw"));
    EXPECT_TRUE(firstFrame("track: 2\n") == heights);
    EXPECT_EQ(std::make_pair(currentTrack, fake.captions()), std::make_pair(2, std::string()));

    copyTrackFiles({"Texture_03.tga"}, dir.file("Tracks"), "04");
    dir.write("Tracks/Terrain_04.raw", std::string(250000, '\x40'));
    dir.write("Tracks/Growth_04.raw", std::string(3 * 1024, '\xFF')); // exported in colour
    firstFrame("track: 4\n");
    EXPECT_EQ(currentTrack, 1);
    ASSERT_EQ(fake.captions(), "Error");
    EXPECT_EQ(fake.messageBoxes[0].text,
              "Track 4 cannot be driven:\n"
              "Tracks/Terrain_04.raw has 250,000 bytes; a track's heights are 512 \xC3\x97 512 = 262,144 bytes.\n"
              "Tracks/Growth_04.raw has 3,072 bytes; a track's growth is 32 \xC3\x97 32 = 1,024 bytes. It looks like "
              "a colour picture: make it greyscale before exporting.\n"
              "Tracks/TextureOverlay_04.bmp (or .tga) is missing.\nTracks/Gates_04.txt is missing.\n"
              "Track 1 is driven instead.");
    // A track of the player's own, in their data folder: there for a game installed read-only.
    copyTrackFiles({"Terrain_02.raw", "Growth_02.raw", "Texture_02.bmp", "TextureOverlay_02.tga", "Gates_02.txt"},
                   data.file("mudlark/Tracks"), "06");
    EXPECT_TRUE(firstFrame("track: 6\n") == heights);
    EXPECT_EQ(std::make_pair(currentTrack, fake.captions()), std::make_pair(6, std::string()));
    for (const char* track : {"track: 7\n", "track: 100\n"}) {
        firstFrame(track);
        EXPECT_EQ(std::make_pair(currentTrack, fake.captions()), std::make_pair(1, std::string("Error"))) << track;
    }
    EXPECT_NE(fake.messageBoxes[0].text.find("tracks are numbered 1 to 99"), std::string::npos);
}

// F7 (or a pad's RB) goes on to the next track there is, past an incomplete one and round to
// the first: the vehicles back on their start places, no smoke, the name said
// for two seconds. (During a race it does nothing: the first race test.)
TEST_F(GameSession, F7MovesOnThroughTheCompleteTracks) {
    copyTrackFiles({"Terrain_02.raw"}, dir.file("Tracks"), "04"); // no more of 4
    copyTrackFiles({"Terrain_02.raw", "Growth_03.raw", "Texture_01.bmp", "TextureOverlay_02.tga"}, dir.file("Tracks"), "05");
    dir.write("Tracks/Gates_05.txt", "0 -2 0 12\n0 -40 0 12\n20 -20 -90 12\n");
    fake.pads = {PadReading{1, 1, 0, 0, 0, 0}};
    std::vector<std::pair<int32_t, std::string>> seen;
    int frame = 0, pressedAt = -1, smokeBefore = 0;
    race([&] {
        ++frame;
        key(frame % 150 < 45 ? WM_KEYDOWN : WM_KEYUP, VK_NUMPAD0 + 8); // blue drives off between presses
        key(frame % 150 < 45 ? WM_KEYDOWN : WM_KEYUP, VK_NUMPAD0 + 4);
        if (frame % 150 == 149) {
            EXPECT_GT(std::hypot(vehicles[0].position[0], vehicles[0].position[2]), 1.0) << currentTrack;
            EXPECT_LT(vehicles[0].position[1], 13.0f) << currentTrack; // on the ground, never thrown off it
            smokeBefore += liveSmoke(world.smoke);
            if (seen.size() < 3) {
                tap(VK_F7);
            } else { // the last change from a pad's right shoulder
                fake.pads[0].buttons = padRightShoulder;
            }
            pressedAt = frame;
        } else if (frame == pressedAt + 1) {
            fake.pads[0].buttons = 0;
            seen.emplace_back(currentTrack, current->track.caption.text);
            EXPECT_LT(std::hypot(vehicles[0].position[0], vehicles[0].position[2]), 0.5); // a step from the start
            EXPECT_LT(std::fabs(vehicles[0].speed), 1.0f);
            EXPECT_EQ(liveSmoke(world.smoke), 0);
        } else if (pressedAt > 0 && (frame == pressedAt + 100 || frame == pressedAt + 130)) { // two seconds at 60
            EXPECT_EQ(current->track.caption.seconds > 0, frame == pressedAt + 100) << frame - pressedAt;
        }
        return seen.size() < 4;
    }, "", false);
    EXPECT_EQ(seen, (std::vector<std::pair<int32_t, std::string>>{
                        {2, "Long Valley"}, {3, "Quarry"}, {5, "Track 5"}, {1, "Meadow"}}));
    EXPECT_GT(smokeBefore, 0);
    EXPECT_EQ(fake.captions(), "");
}

// Keys of the player's own: red on the arrows drives with Up, and W, its old
// accelerator, drives nothing; green's line that takes F5 is said once, with
// the file and the line, and green keeps its own keys.
TEST_F(GameSession, KeysOfThePlayersOwnDriveAndAKeyTheGameHoldsIsSaid) {
    dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\nkeys red: Up Down Left Right RightControl\n"
                              "keys green: F5 M J L K\n");
    race([] {
        key(fake.swapCount < 60 ? WM_KEYDOWN : WM_KEYUP, fake.swapCount < 30 ? 'W' : VK_UP);
        return fake.swapCount < 90;
    }, "", false);
    EXPECT_GT(vehicles[1].speed, 3.0f); // half a second of Up
    EXPECT_LT(std::fabs(vehicles[1].position[2]), 8.0f); // and not the half second of W before it
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].text, "settings.cfg: some keys cannot be used.\nline 4: keys green: \"F5\" is "
                                         "held by starting a race; green keeps its own keys.\n");
}

// The menu as a player first meets it: F1 opens it and the world stands still
// (the vehicle that was moving, the race clock); on the Race page the laps go
// up and "Start race" does what F5 does; on Controls blue's accelerate becomes
// Up, which drives, and the settings file keeps both, its comment with them,
// for the next start.
TEST_F(GameSession, TheMenuStopsTheWorldStartsARaceAndKeepsANewKey) {
    dir.write("settings.cfg", "# my Mudlark\nfullscreen: false\ntexturefilter: linear\nlaps: 1\ncomputerdrivers: false\n");
    const std::vector<std::pair<int, std::vector<uint8_t>>> script = {
        {10, {VK_F1}},                                   // open: Race is first
        {20, {VK_RETURN, VK_DOWN, VK_RIGHT}},            // Race page: laps 2
        {30, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}}, // Start race: the menu closes
        {300, {VK_F1, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}}, // Controls: blue's accelerate
        {310, {VK_UP}},                                  // the new key
        {320, {VK_BACK, VK_BACK}},                       // out of the menu
    };
    double clockWhenOpened = -1;
    race([&] {
        for (const auto& [frame, keys] : script) {
            for (const uint8_t code : keys) {
                if (fake.swapCount == frame) {
                    tap(code);
                }
            }
        }
        if (fake.swapCount == 302) {
            clockWhenOpened = activeRace.clock;
        } else if (fake.swapCount == 308) {
            EXPECT_TRUE(menuOpen(current->menu));
            EXPECT_EQ(activeRace.clock, clockWhenOpened); // the race stands still under the menu
        }
        key(fake.swapCount > 330 && fake.swapCount < 400 ? WM_KEYDOWN : WM_KEYUP, VK_UP);
        return fake.swapCount < 420;
    }, "", false);
    EXPECT_EQ(activeRace.laps, 2);
    EXPECT_GT(activeRace.clock, 0.5);
    EXPECT_GT(vehicles[0].speed, 5.0f); // Up drove blue
    const std::string kept = readFileBytes(dir.file("settings.cfg"));
    EXPECT_EQ(kept, "# my Mudlark\nfullscreen: false\ntexturefilter: linear\nlaps: 2\ncomputerdrivers: false\n"
                    "keys blue: Up Numpad2 Numpad4 Numpad6 Numpad5 Numpad9\n");
    restart();
    race([] {
        key(fake.swapCount < 60 ? WM_KEYDOWN : WM_KEYUP, VK_UP);
        return fake.swapCount < 70;
    }, "", false);
    EXPECT_GT(vehicles[0].speed, 3.0f); // the new key, kept
    EXPECT_EQ(fake.captions(), "");
}

// Any pad works the menu (LB opens it, the d-pad and A go in, B goes back)
// and so does the mouse: the pointer on "Quit" and a click end the game.
TEST_F(GameSession, APadAndTheMouseWorkTheMenu) {
    fake.pads = {PadReading{1, 1, 0, 0, 0, 0}};
    const std::vector<std::pair<int, uint32_t>> buttons = {
        {10, padLeftShoulder}, {14, padDpadDown}, {18, padSouth}, {22, padEast}};
    std::vector<std::pair<MenuPage, int32_t>> seen; // page and line after each press
    EXPECT_EQ(race([&] {
                  fake.pads[0].buttons = 0;
                  for (const auto& [frame, button] : buttons) {
                      fake.pads[0].buttons |= fake.swapCount == frame ? button : 0;
                  }
                  if (fake.swapCount % 4 == 3 && fake.swapCount > 10 && fake.swapCount < 25) {
                      seen.emplace_back(current->menu.menu.page, current->menu.menu.selected);
                  }
                  if (fake.swapCount == 30) {
                      const float y = menuLineY(6, 7, static_cast<float>(current->window.height)); // Quit
                      fake.queue.push_back(WindowMessage{WM_MOUSEMOVE, 0, static_cast<intptr_t>(makeLong(500, y))});
                      fake.queue.push_back(WindowMessage{WM_LBUTTONDOWN, 0, static_cast<intptr_t>(makeLong(500, y))});
                  }
                  return fake.swapCount < 200;
              }, "", false),
              0);
    EXPECT_EQ(seen, (std::vector<std::pair<MenuPage, int32_t>>{
                        {MenuPage::main, 0}, {MenuPage::main, 1}, {MenuPage::replays, 0}, {MenuPage::main, 1}}));
    EXPECT_LT(fake.swapCount, 40); // the click on Quit ended it
}

// F8: a time trial for blue, its keys driving; the first lap leaves its ghost
// in the player's ghosts folder. Started again, the ghost drives beside blue
// from the line, and the first gate says the split. A ghost of the track as
// it was before it changed is set aside as .old, a damaged one as .bad, each
// said once.
TEST_F(GameSession, ATimeTrialKeepsItsGhostDrivesItBesideAndSaysTheSplit) {
    const std::string ghost = data.file("mudlark/ghosts/track-01.mlg");
    const auto trial = [&](const std::function<bool()>& until) {
        return race([&] {
            if (fake.swapCount == 3) {
                tap(VK_F1 + 7);
            } else if (activeRace.phase == RacePhase::racing) {
                driveBlueForItsNextGate();
            }
            return until();
        }, "", false);
    };
    EXPECT_EQ(trial([&] { return !std::filesystem::exists(ghost) && fake.swapCount < 60 * 90; }), 0);
    ASSERT_TRUE(std::filesystem::exists(ghost));
    EXPECT_TRUE(activeRace.endless && activeRace.offCourse[1] && activeRace.offCourse[2]);
    EXPECT_EQ(vehicles[1].speed, 0.0f); // the other two stand off the course
    const std::string kept = readFileBytes(ghost);
    bool ghostSeen = false;
    std::string split;
    restart();
    EXPECT_EQ(trial([&] {
                  ghostSeen = ghostSeen || current->frame.shown.ghost;
                  split = current->frame.shown.split[0] != '\0' ? current->frame.shown.split : split;
                  return split.empty() && fake.swapCount < 60 * 90;
              }),
              0);
    EXPECT_TRUE(ghostSeen);
    EXPECT_TRUE(split.size() == 5 && (split[0] == '-' || split[0] == '+')) << split; // "+0.13"
    bool old = false;
    GhostLap& changed = ghostIn(ghost, old);
    ASSERT_EQ(changed.track, 1);
    changed.trackHash ^= 1; // driven on the track as it was before it changed
    for (const auto& [bytes, aside] : std::vector<std::pair<std::string, std::string>>{
             {encodeGhost(changed), ".old"},
             {kept.substr(0, 60), ".bad"}}) {
        data.write("mudlark/ghosts/track-01.mlg", bytes);
        restart();
        trial([] { return fake.swapCount < 10; });
        EXPECT_EQ(fake.captions(), "") << aside;
        ASSERT_EQ(current->said.lines.size(), 1u) << aside;
        const std::string end = "it is kept as track-01.mlg" + aside + ".", said = current->said.lines[0].text;
        EXPECT_EQ(said.substr(said.size() - std::min(said.size(), end.size())), end);
        EXPECT_TRUE(std::filesystem::exists(ghost + aside)) << aside;
        EXPECT_FALSE(std::filesystem::exists(ghost)) << aside;
    }
}

// Each mode reached as a player reaches it, then each of the game's keys
// pressed: the mode it leads to, and F1's menu over every mode changing none.
TEST_F(GameSession, EveryGameKeyInEveryModeLeadsToItsMode) {
    dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\nlaps: 1\nnetport: 27831\n");
    const auto recording = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*recording, MUDLARK_RUN_DIR));
    const auto recorded = std::make_unique<Replay>();
    recordComputerRace(*recording, *recorded, 1);
    data.write("mudlark/replays/race-20200101-000000.mlr", encodeReplay(*recorded)); // F6's newest
    using M = GameMode;
    const uint8_t keys[] = {VK_F5, VK_F6, VK_F7, VK_F1 + 7, VK_F1};
    const struct {
        M mode;
        std::vector<uint8_t> reach; // the keys after hosting (the LAN modes) or none
        M after[5];                 // after F5, F6, F7, F8 and F1
    } modes[] = {
        {M::driving, {}, {M::race, M::replay, M::driving, M::timeTrial, M::driving}},
        {M::race, {VK_F5}, {M::race, M::replay, M::race, M::timeTrial, M::race}},
        {M::timeTrial, {VK_F1 + 7}, {M::race, M::replay, M::timeTrial, M::driving, M::timeTrial}},
        {M::replay, {VK_F6}, {M::replay, M::driving, M::replay, M::replay, M::replay}},
        {M::lanLobby, {}, {M::lanRace, M::lanLobby, M::lanLobby, M::lanLobby, M::lanLobby}},
        {M::lanRace, {VK_F5}, {M::lanRace, M::lanRace, M::lanRace, M::lanRace, M::lanRace}},
    };
    for (const auto& from : modes) {
        for (int k = 0; k < 5; ++k) {
            restart();
            M reached = M::driving, after = M::driving;
            race([&] {
                const int frame = fake.swapCount;
                if (frame == 3 && lanMode(from.mode)) {
                    hostLanRace(current->lan, current->replay, world, current->settings, current->said);
                }
                if (frame == 4) {
                    for (const uint8_t code : from.reach) {
                        tap(code);
                    }
                } else if (frame == 8) {
                    reached = gameMode(*current, world);
                    tap(keys[k]);
                } else if (frame == 12) {
                    after = gameMode(*current, world);
                    EXPECT_EQ(menuOpen(current->menu), k == 4);
                }
                return frame < 12;
            }, "", false);
            EXPECT_EQ(reached, from.mode) << static_cast<int>(from.mode);
            EXPECT_EQ(after, from.after[k]) << static_cast<int>(from.mode) << " key " << k;
        }
    }
}

// --ghost-from: a replay of track 2 makes track 2's ghost; a damaged replay
// ends with 1 and a line, and writes nothing.
TEST_F(GameSession, AGhostFromAReplaysFastestLap) {
    const auto recording = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*recording, MUDLARK_RUN_DIR, 2));
    const auto recorded = std::make_unique<Replay>();
    recordComputerRace(*recording, *recorded, 2);
    const std::string replay = data.write("race.mlr", encodeReplay(*recorded));
    const std::string damaged = data.write("damaged.mlr", "MLREPLAY");
    WorkingDirectory here(dir.path());
    for (const std::string& file : {damaged, replay}) {
        std::string program = "mudlark", option = "--ghost-from", path = file;
        char* argv[] = {program.data(), option.data(), path.data()};
        EXPECT_EQ(runGame(*current, world, 3, argv), file == replay ? 0 : 1);
        EXPECT_EQ(std::filesystem::exists(data.file("mudlark/ghosts/track-02.mlg")), file == replay);
    }
    bool old = true;
    const GhostLap& lap = ghostIn(data.file("mudlark/ghosts/track-02.mlg"), old);
    EXPECT_EQ(std::make_pair(lap.track, old), std::make_pair(2, false));
    EXPECT_LT(lap.lapTime, 30.0);
}

// Laps of a time trial against the ghost, blue's keys driven as the computer
// would at the lowest skill: the first lap is the ghost; the second brakes
// for a second and a half after the line, is slower and changes nothing; the
// third loses time braking after the line and wins it back at a higher skill
// (the splits go from + to -), so it takes the ghost's place and the records'
// best lap.
TEST_F(GameSession, SplitTimesSayWhereALapGainsAndOnlyAQuickerLapIsTheNewGhost) {
    data.write("mudlark/records.txt", "clock 2\n1 3 99 200 3\n1 3 1 1\n");
    std::vector<std::pair<int32_t, std::string>> splits; // lap, split, as each comes
    std::vector<double> ghosts;                          // the ghost file's lap time after each lap
    const std::string ghost = data.file("mudlark/ghosts/track-01.mlg");
    race([&] {
        const RaceEntry& blue = activeRace.entries[0];
        const int32_t lap = completedLaps(blue, raceCourse.count) + (blue.gatesPassed > 0 ? 1 : 0);
        if (fake.swapCount == 3) {
            tap(VK_F1 + 7);
        } else if (activeRace.phase == RacePhase::racing) {
            const double sinceLine = activeRace.clock - blue.lapStart;
            if ((lap == 2 && sinceLine < 1.5) || (lap == 3 && sinceLine < 0.4)) {
                key(WM_KEYDOWN, VK_NUMPAD0 + 5), key(WM_KEYUP, VK_NUMPAD0 + 8);
            } else {
                driveBlueForItsNextGate(lap == 3 ? 2 : 1);
            }
        }
        if (current->frame.shown.split[0] != '\0' && (splits.empty() || splits.back().second != current->frame.shown.split)) {
            splits.emplace_back((blue.gatesPassed - 2) / raceCourse.count + 1, current->frame.shown.split); // the gate's own lap
        }
        if (static_cast<int32_t>(ghosts.size()) < lap - 1) {
            current->trial.writes.finish(); // the ghost as the lap left it
            bool old = false;
            const GhostLap& read = ghostIn(ghost, old);
            ghosts.push_back(read.track == 1 ? read.lapTime : -1);
        }
        return ghosts.size() < 3 && fake.swapCount < 60 * 150;
    }, "", false);
    ASSERT_EQ(ghosts.size(), 3u);
    EXPECT_GT(ghosts[0], 0);
    EXPECT_EQ(ghosts[1], ghosts[0]); // the slow lap changed nothing
    EXPECT_LT(ghosts[2], ghosts[1]); // the quicker lap: the new ghost
    std::string third; // the signs of the third lap's splits at its gates
    for (const auto& [lap, split] : splits) {
        third += lap == 3 ? std::string(1, split[0]) : "";
    }
    ASSERT_GE(third.size(), 3u);
    EXPECT_EQ(third.front(), '+') << third; // behind after braking
    EXPECT_EQ(third.back(), '-') << third;  // ahead at the line
    char best[64];
    std::snprintf(best, sizeof best, "1 3 %.3f 200.000 3\n1 3 1.000 1.000 2", std::round(ghosts[2] * 1000) / 1000);
    EXPECT_NE(records().find(best), std::string::npos) << records(); // the lap before contact no match
}

} // namespace

// Hosting with a race code: a machine of another version, one without the
// code and one with another are refused and told why; the joiner gets red; a stranger's controls, and its word that red leaves, change
// nothing: the host waits at its first steps for red's own, and steps on once
// they come from the joiner's address.
// The host answers only the machines of its race; minimised, it still steps
// the race and sends its controls, so the others race on.
TEST_F(GameSession, TheHostAnswersOnlyTheMachinesOfItsRaceAndMinimisedRacesOn) {
    dir.write("settings.cfg", "fullscreen: false\ntexturefilter: linear\nlaps: 1\nnetport: 27821\n");
    LanLink joiner, stranger;
    std::string why;
    ASSERT_TRUE(joiner.open(0, why) && stranger.open(0, why)) << why;
    const LanAddress host = ipv4Address(0x7F000001u, 27821);
    const auto say = [&host](LanLink& from, const LanMessage& m) { from.send(host, encodeLanMessage(m)); };
    const auto heard = [](LanLink& link, LanKind kind, LanMessage& m) {
        uint8_t bytes[lanMessageCapacity];
        LanAddress from{};
        for (size_t size; (size = link.receive(from, bytes, sizeof bytes)) > 0;) {
            if (decodeLanMessage(bytes, size, m) == kind) {
                return true;
            }
        }
        return false;
    };
    LanMessage join{}, answer{}, red{};
    join.kind = LanKind::join;
    join.seatsWanted = 1;
    join.simulation = simulationVersion;
    red.kind = LanKind::lockstep;
    red.packet = LockstepPacket{1, 1, 0, 60, {}, {}, {}, {noStep, noStep, noStep}, noStep, 0, noStep, 0, {}, {notHeard, notHeard, notHeard}, noStep, 3};
    std::fill(red.packet.controls, red.packet.controls + 60, uint16_t{1u << 5}); // red accelerates
    std::fill(red.packet.known, red.packet.known + 60, uint8_t{2});
    LanMessage leave{};
    leave.kind = LanKind::leave;
    leave.machine = 1;
    std::vector<std::string> refusals;
    int32_t seats[vehicleCount] = {};
    uint32_t atStart = 0, stepsWithoutRed = 0, hiddenAt = 0, hiddenSteps = 0;
    int hiddenPolls = 0, heardHidden = 0;
    fake.onIdlePoll = [&] {
        if (current->active || ++hiddenPolls > 400) {
            return;
        }
        red.packet.firstStep = std::max(0, static_cast<int32_t>(world.steps - atStart) - 20);
        say(joiner, red);
        heardHidden += heard(joiner, LanKind::lockstep, answer) ? 1 : 0;
        if (hiddenPolls == 400) {
            hiddenSteps = world.steps - hiddenAt;
            fake.queue.push_back(WindowMessage{WM_ACTIVATE, 0, 0}); // restored
        }
    };
    race([&] {
        const int frame = fake.swapCount;
        if (frame == 3) {
            readRaceCode("abcd", current->lan.code); // as --code abcd
            hostLanRace(current->lan, current->replay, world, current->settings, current->said);
            std::snprintf(join.version, sizeof join.version, "0.9");
            say(joiner, join);
        } else if (frame > 3 && frame < 60 && refusals.size() < 3 && heard(joiner, LanKind::refuse, answer)) {
            // Another version; then no code; then another code; then the race's.
            refusals.push_back(answer.text);
            std::snprintf(join.version, sizeof join.version, "%s", MUDLARK_VERSION);
            std::memcpy(join.code, refusals.size() == 1 ? "\0\0\0\0" : refusals.size() == 2 ? "ABCE" : "ABCD", 4);
            say(joiner, join);
        } else if (frame > 3 && frame < 120 && heard(joiner, LanKind::welcome, answer) && answer.round == 0) {
            std::copy(answer.race.seats, answer.race.seats + vehicleCount, seats);
        } else if (frame == 120) {
            tap(VK_F5);
        } else if (frame == 122) {
            atStart = world.steps; // the race began a frame ago
        } else if (frame > 125 && frame < 240) {
            say(stranger, red);
            say(stranger, leave);
            say(stranger, join);
            stepsWithoutRed = world.steps - atStart;
        } else if (frame >= 240 && frame < 300) {
            say(joiner, red);
        } else if (frame == 300) {
            hiddenAt = world.steps;
            fake.queue.push_back(WindowMessage{WM_ACTIVATE, 1u << 16, 0}); // minimised
        }
        return frame < 302;
    }, "", false);
    EXPECT_GE(hiddenSteps, 300u);
    EXPECT_GE(heardHidden, 100);
    EXPECT_EQ(refusals, (std::vector<std::string>{
                            "the host runs Mudlark " MUDLARK_VERSION " (simulation 3), yours is 0.9 (simulation 3)",
                            "this race asks for its race code (--code, or the Join page)", "the race code is wrong"}));
    EXPECT_EQ(std::vector<int32_t>(seats, seats + 3), std::vector<int32_t>({0, 1, noMachine}));
    EXPECT_LE(stepsWithoutRed, 3u);       // red's first steps: none, as every machine's
    EXPECT_GE(world.steps - atStart, 55u); // red's sixty came
    EXPECT_NE(world.race.phase, RacePhase::countdown); // the race went on while hidden
}

// A damaged replay dropped on the window mid-race is refused with its line and
// the race goes on to keep its own replay; one entry of the replays folder
// that cannot be read (a link to nowhere) ends neither the list nor the
// pruning: after the race, the newest twenty.
TEST_F(GameSession, ARefusedDropKeepsTheRacesReplayAndAnUnreadableEntryIsPassedOver) {
    namespace fs = std::filesystem;
    const auto then = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (int i = 0; i < 21; ++i) {
        const std::string name = "mudlark/replays/race-20200101-0000" + std::to_string(10 + i) + ".mlr";
        data.write(name, "not a replay");
        fs::last_write_time(data.file(name), then + std::chrono::minutes(i));
    }
    fs::create_symlink("nowhere", data.file("mudlark/replays/race-20190101-000000.mlr"));
    EXPECT_EQ(keptReplayFiles(current->replay).size(), 21u);
    EXPECT_EQ(race([&] {
                  if (fake.swapCount == 600) {
                      fake.droppedFile = data.file("mudlark/replays/race-20200101-000030.mlr");
                      fake.queue.push_back(WindowMessage{WM_DROPFILES, 0, 0});
                  }
                  return activeRace.phase != RacePhase::results;
              }),
              0);
    EXPECT_EQ(fake.captions(), "");
    const std::vector<std::string> kept = keptReplayFiles(current->replay);
    ASSERT_EQ(kept.size(), 20u);
    EXPECT_EQ(fs::path(kept.back()).filename(), "race-20200101-000012.mlr"); // the two oldest went
    static Replay ours;
    std::string why;
    ASSERT_TRUE(readReplayFile(kept.front().c_str(), ours, why)) << why;
    EXPECT_GT(ours.frameCount, 600u); // from "GO" to the results, the drop in between
    EXPECT_TRUE(fs::is_symlink(data.file("mudlark/replays/race-20190101-000000.mlr")));
}
