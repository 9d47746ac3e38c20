// lan_e2e_test.cpp -- LAN races between real games, each on an X server of its
// own, over 127.0.0.1 and ::1: three race a lap alike, one over a simulated
// line of losses (the same replay, byte for byte, on every machine), a machine
// with other heights fetches the host's track, and a machine killed mid-race
// leaves a race that finishes; the race server hosts, leads by its first
// machine, refuses a wrong race code and passes its track on.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/game_harness.h"

namespace fs = std::filesystem;

namespace {

struct Machine {
    std::unique_ptr<XServer> server;
    TempDir home; // its own data folder: records and replays
    std::unique_ptr<Game> game;
};

std::string settingsOn(int port) {
    return "resolution: 320 240 32\nfullscreen: false\nsound: false\nlaps: 1\nnetport: " + std::to_string(port) + "\n";
}

// A game started with these arguments; alter changes its data folder first.
void start(Machine& m, const std::vector<std::string>& arguments, int port,
           const std::function<void(const std::string&)>& alter = {}) {
    m.server = std::make_unique<XServer>(640, 480);
    ASSERT_TRUE(m.server->ok());
    GameProgram program;
    program.command.insert(program.command.end(), arguments.begin(), arguments.end());
    program.environment.push_back("XDG_DATA_HOME=" + m.home.path());
    m.game = std::make_unique<Game>(*m.server, settingsOn(port).c_str(), std::vector<std::string>{}, program);
    if (alter) {
        alter(m.game->folder());
    }
    const Window window = m.game->launch();
    ASSERT_NE(window, 0u) << m.game->errorOutput();
    ASSERT_TRUE(m.server->focus(window));
}

std::vector<fs::path> replays(const Machine& m, const char* folder = "mudlark/replays") {
    std::vector<fs::path> kept;
    std::error_code none;
    for (const auto& entry : fs::directory_iterator(m.home.file(folder), none)) {
        if (entry.path().extension() == ".mlr") {
            kept.push_back(entry.path());
        }
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

// Polls until done holds; a loaded machine makes this longer, never wrong.
bool waitUntil(const std::function<bool()>& done, int seconds) {
    for (int polls = 0; polls < seconds * 5; ++polls, sleepMs(200)) {
        if (done()) {
            return true;
        }
    }
    return done();
}

bool said(const Machine& m, const std::string& text) { return m.game->errorOutput().find(text) != std::string::npos; }

TEST(LanRace, ThreeMachinesRaceAlikeOtherHeightsAreFetchedAndAKilledMachineLeavesARaceThatFinishes) {
    constexpr int port = 27811;
    const std::vector<std::string> join = {"--join", "127.0.0.1:" + std::to_string(port)};
    Machine host, red, green, stranger;
    start(host, {"--host"}, port);
    ASSERT_TRUE(waitUntil([&] { return said(host, "hosting a LAN race on port 27811"); }, 60));
    // A machine whose track 1 has one height changed.
    start(stranger, join, port, [](const std::string& folder) {
        std::fstream heights(folder + "/Tracks/Terrain_01.raw", std::ios::in | std::ios::out | std::ios::binary);
        heights.seekg(1000);
        const char was = static_cast<char>(heights.get());
        heights.seekp(1000);
        heights.put(static_cast<char>(was ^ 1));
    });
    // It fetches the host's track 1 and keeps it apart from its own; then it
    // is killed, and its seat is free again.
    EXPECT_TRUE(waitUntil([&] {
        return said(stranger, "this machine's heights of track 1 differ from the host's: fetching the host's");
    }, 60)) << stranger.game->errorOutput();
    EXPECT_TRUE(waitUntil([&] { return said(stranger, "track 1 came from the host"); }, 60)) << stranger.game->errorOutput();
    EXPECT_EQ(readFileBytes(stranger.home.file("mudlark/downloaded-tracks/Terrain_01.raw")),
              readFileBytes(std::string(MUDLARK_RUN_DIR) + "/Tracks/Terrain_01.raw"));
    kill(stranger.game->pid(), SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return said(host, "left the race"); }, 60)); // its seat free again

    // Red's line is a simulated one (a 40 ms hold each way, with jitter, losses
    // and copies: the host's delay grows to fit it); green joins over IPv6.
    start(red, join, port, [](const std::string& folder) {
        std::ofstream(folder + "/settings.cfg", std::ios::app) << "netsim: 40 5 3 2\n";
    });
    ASSERT_TRUE(waitUntil([&] { return said(red, "joined the race"); }, 60)) << red.game->errorOutput();
    EXPECT_TRUE(said(red, "netsim: the datagrams this machine sends go through 40 ms delay, 5 ms jitter, 3 % lost, 2 % twice"));
    start(green, {"--join", "[::1]:" + std::to_string(port)}, port);
    ASSERT_TRUE(waitUntil([&] { return said(green, "joined the race"); }, 60)) << green.game->errorOutput();

    // Red's player holds accelerate from the countdown on (the keys of any vehicle
    // drive a machine's one seat); blue and green are the computer's.
    ASSERT_TRUE(host.server->tapKey("F5"));
    ASSERT_TRUE(red.server->xdotool("keydown w"));
    ASSERT_TRUE(waitUntil([&] { return !replays(host).empty() && !replays(green).empty() && !replays(red).empty(); },
                          600));
    red.server->xdotool("keyup w");
    const std::string bytes = readFileBytes(replays(host)[0].string());
    EXPECT_GT(bytes.size(), 1000u);
    EXPECT_EQ(readFileBytes(replays(red)[0].string()), bytes);
    EXPECT_EQ(readFileBytes(replays(green)[0].string()), bytes);
    const std::string check = "cd '" + host.game->folder() + "' && " + MUDLARK_RUN_DIR + "/mudlark --check-replay '" +
                              replays(host)[0].string() + "' > check.txt 2>&1";
    EXPECT_EQ(std::system(check.c_str()), 0);
    const std::string checked = readFileBytes(host.game->folder() + "/check.txt");
    EXPECT_NE(checked.find("keyframes corrected: 0 of"), std::string::npos) << checked;

    // Again, all three the computer's: green's machine is killed 5 s in; the
    // host drops it, the computer drives green on, and the race ends on both.
    ASSERT_TRUE(host.server->tapKey("F5"));
    sleepMs(5000);
    kill(green.game->pid(), SIGKILL);
    EXPECT_TRUE(waitUntil([&] { return said(host, "green's machine went silent: the computer drives green from"); }, 120))
        << host.game->errorOutput();
    ASSERT_TRUE(waitUntil([&] { return replays(host).size() == 2 && replays(red).size() == 2; }, 600));
    EXPECT_EQ(readFileBytes(replays(red)[1].string()), readFileBytes(replays(host)[1].string()));
    EXPECT_TRUE(said(red, "green's machine went silent"));
    EXPECT_FALSE(said(host, "disagree"));
    EXPECT_FALSE(said(red, "disagree"));
}

// The race server on this port with these options, its data folder its own.
void startServer(Machine& m, int port, const std::vector<std::string>& options) {
    m.server = std::make_unique<XServer>(64, 64); // the harness's programs run on a display; the server opens none
    ASSERT_TRUE(m.server->ok());
    GameProgram program;
    program.command = {std::string(MUDLARK_RUN_DIR) + "/mudlark-server", "--port", std::to_string(port)};
    program.command.insert(program.command.end(), options.begin(), options.end());
    program.environment.push_back("XDG_DATA_HOME=" + m.home.path());
    m.game = std::make_unique<Game>(*m.server, nullptr, std::vector<std::string>{}, program);
    ASSERT_TRUE(m.game->start());
    ASSERT_TRUE(waitUntil([&] { return said(m, "on port " + std::to_string(port) + ", race code "); }, 60))
        << m.game->errorOutput();
}

// The server hosts: a stranger with the wrong race code is turned away; red
// (over a line of 150 ms there and back, 5 % lost) leads and starts the race,
// green joins over IPv6; the server and both games keep the same replay.
TEST(ServerRace, TheLeaderStartsARaceOverASlowLossyLineAndAWrongCodeIsRefused) {
    constexpr int port = 27861;
    Machine server, red, green, stranger;
    startServer(server, port, {"--laps", "1", "--code", "mudl", "--netsim", "75", "10", "5", "0"});
    ASSERT_TRUE(said(server, "race code MUDL"));
    const std::string address = "127.0.0.1:" + std::to_string(port);
    start(stranger, {"--join", address, "--code", "ABCD"}, port);
    EXPECT_TRUE(waitUntil([&] { return said(stranger, "the host refused: the race code is wrong"); }, 60))
        << stranger.game->errorOutput();
    start(red, {"--join", address, "--code", "MUDL"}, port, [](const std::string& folder) {
        std::ofstream(folder + "/settings.cfg", std::ios::app) << "netsim: 75 10 5 0\n";
    });
    ASSERT_TRUE(waitUntil([&] { return said(red, "this machine leads the race"); }, 60)) << red.game->errorOutput();
    start(green, {"--join", "[::1]:" + std::to_string(port), "--code", "MUDL"}, port);
    ASSERT_TRUE(waitUntil([&] { return said(green, "joined the race: F5 on the leading machine starts it"); }, 60))
        << green.game->errorOutput();

    ASSERT_TRUE(red.server->tapKey("F5"));
    ASSERT_TRUE(red.server->xdotool("keydown w"));
    const double before = server.game->processorSeconds();
    ASSERT_TRUE(waitUntil([&] {
        return !replays(server, "mudlark/server-replays").empty() && !replays(red).empty() && !replays(green).empty();
    }, 600)) << server.game->errorOutput() << red.game->errorOutput() << green.game->errorOutput();
    red.server->xdotool("keyup w");
    const std::string status = readFileBytes("/proc/" + std::to_string(server.game->pid()) + "/status");
    std::printf("the server's processor time for the race: %.2f s; its peak memory: %s\n",
                server.game->processorSeconds() - before, status.substr(status.find("VmHWM:") + 6, 14).c_str());
    const std::string bytes = readFileBytes(replays(server, "mudlark/server-replays")[0].string());
    EXPECT_GT(bytes.size(), 1000u);
    EXPECT_EQ(readFileBytes(replays(red)[0].string()), bytes);
    EXPECT_EQ(readFileBytes(replays(green)[0].string()), bytes);
    const std::string check = "cd '" + red.game->folder() + "' && " + MUDLARK_RUN_DIR + "/mudlark --check-replay '" +
                              replays(server, "mudlark/server-replays")[0].string() + "' > check.txt 2>&1";
    EXPECT_EQ(std::system(check.c_str()), 0);
    EXPECT_NE(readFileBytes(red.game->folder() + "/check.txt").find("keyframes corrected: 0 of"), std::string::npos);

    // The log says who came and who was let go, and the race's result.
    kill(server.game->pid(), SIGTERM);
    EXPECT_EQ(server.game->waitForExit(), 0);
    const std::string log = readFileBytes(server.home.file("mudlark/server.log"));
    EXPECT_NE(log.find("joins without the right race code"), std::string::npos) << log;
    EXPECT_NE(log.find("race 1 started: "), std::string::npos) << log;
    EXPECT_NE(log.find("race 1 finished ("), std::string::npos) << log;
    EXPECT_NE(log.find("the server stops"), std::string::npos) << log;
    EXPECT_FALSE(said(server, "disagree"));
}

} // namespace

// A game without track 3 joins a server racing it (over a line that loses 5 %
// of what it sends): the server passes the track on, the game keeps it in its
// downloaded tracks, and they race a lap alike once it is there.
TEST(ServerRace, AGameWithoutTheTrackFetchesItFromTheServerAndRacesOnIt) {
    constexpr int port = 27871;
    Machine server, red;
    startServer(server, port, {"--track", "3", "--laps", "1", "--players", "1", "--code", "TRAK", "--netsim", "20", "5", "5", "0"});
    const std::vector<std::string> track3 = {"Tracks/Terrain_03.raw", "Tracks/Growth_03.raw", "Tracks/Gates_03.txt",
                                             "Tracks/Texture_03.tga", "Tracks/TextureOverlay_03.bmp"};
    start(red, {"--join", "127.0.0.1:" + std::to_string(port), "--code", "TRAK"}, port, [&track3](const std::string& folder) {
        for (const std::string& file : track3) {
            fs::remove(folder + "/" + file);
        }
        std::ofstream(folder + "/settings.cfg", std::ios::app) << "netsim: 20 5 5 0\n";
    });
    ASSERT_TRUE(waitUntil([&] { return said(red, "this machine has no track 3 it can race: fetching the host's"); }, 60))
        << red.game->errorOutput();
    ASSERT_TRUE(waitUntil([&] { return said(red, "track 3 came from the host"); }, 120)) << red.game->errorOutput();
    for (const std::string& file : track3) { // the server's own, byte for byte
        EXPECT_EQ(readFileBytes(red.home.file("mudlark/downloaded-tracks/" + file.substr(7))),
                  readFileBytes(std::string(MUDLARK_RUN_DIR) + "/" + file)) << file;
    }
    ASSERT_TRUE(waitUntil([&] {
        return !replays(server, "mudlark/server-replays").empty() && !replays(red).empty();
    }, 600)) << server.game->errorOutput() << red.game->errorOutput();
    EXPECT_EQ(readFileBytes(replays(red)[0].string()), readFileBytes(replays(server, "mudlark/server-replays")[0].string()));
    EXPECT_TRUE(said(server, "race 1 started: "));
    EXPECT_FALSE(said(red, "cannot race"));
}
