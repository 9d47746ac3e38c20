// server_test.cpp -- the race server in this process, with machines of the
// test's own on the loopback: its command line; the first machine to join
// leads, another does not; a wrong race code is refused; the leader's next
// track is heard once however often it comes and waits for the next start,
// and its start races there.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "server/server.h"
#include "support/temp_dir.h"

namespace {

std::string readArgs(std::vector<const char*> words, ServerOptions& options) {
    words.insert(words.begin(), "mudlark-server");
    std::string why;
    const ServerArgs read = readServerArgs(static_cast<int>(words.size()), words.data(), options, why);
    return read == ServerArgs::run ? "run" : read == ServerArgs::bad ? why : "other";
}

TEST(ServerArgs, EachOptionWithinItsBoundsAndAnythingElseSaysWhy) {
    ServerOptions options;
    EXPECT_EQ(readArgs({"--port", "28000", "--track", "3", "--laps", "5", "--players", "2", "--code", "abcd",
                        "--netsim", "75", "10", "5", "0"}, options), "run");
    EXPECT_EQ(options.port, 28000u);
    EXPECT_EQ(options.players, 2);
    EXPECT_EQ(std::string(options.code, raceCodeLength), "ABCD");
    EXPECT_EQ(options.netSim[0], 75u);
    EXPECT_EQ(readArgs({"--laps", "0"}, options), "--laps takes a number from 1 to 20");
    EXPECT_EQ(readArgs({"--port", "70000"}, options), "--port takes a number from 1 to 65535");
    EXPECT_EQ(readArgs({"--players", "4"}, options), "--players takes a number from 1 to 3");
    EXPECT_EQ(readArgs({"--skill", "2x"}, options), "--skill takes a number from 1 to 3");
    EXPECT_EQ(readArgs({"--code", "AB1D"}, options), "--code takes a race code of four letters");
    EXPECT_NE(readArgs({"--netsim", "1", "2", "3"}, options).find("--netsim takes four numbers"), std::string::npos);
    EXPECT_EQ(readArgs({"--host"}, options), "\"--host\" is not an option of mudlark-server");
    EXPECT_EQ(readArgs({"--version"}, options), "other");
}

// A machine of the test's: a port of its own, what it last heard.
struct Joiner {
    LanLink link;
    LanMessage heard{};
    bool open() {
        std::string why;
        return link.open(0, why);
    }
    void say(const LanMessage& m, uint16_t port) { link.send(ipv4Address(0x7F000001u, port), encodeLanMessage(m)); }
};

class ServerRoom : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        was = std::filesystem::current_path();
        std::filesystem::current_path(MUDLARK_RUN_DIR);
    }
    void TearDown() override {
        std::filesystem::current_path(was);
        unsetenv("XDG_DATA_HOME");
    }
    // The server's frames until the joiner hears a message of this kind.
    bool hear(Server& server, Joiner& j, LanKind kind) {
        for (int pass = 0; pass < 2000; ++pass) {
            serverFrame(server, 0.002);
            uint8_t bytes[lanMessageCapacity];
            LanAddress from{};
            for (size_t size; (size = j.link.receive(from, bytes, sizeof bytes)) > 0;) {
                if (decodeLanMessage(bytes, size, j.heard) == kind) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    static LanMessage join(const char* code) {
        LanMessage m{};
        m.kind = LanKind::join;
        std::snprintf(m.version, sizeof m.version, "%s", MUDLARK_VERSION);
        m.simulation = simulationVersion;
        m.seatsWanted = 1;
        std::memcpy(m.code, code, raceCodeLength);
        return m;
    }
    static LanMessage lead(LeadAction action, uint8_t value) {
        LanMessage m{};
        m.kind = LanKind::lead;
        m.action = action;
        m.value = value;
        return m;
    }
    TempDir data;
    std::filesystem::path was;
};

TEST_F(ServerRoom, TheFirstToJoinLeadsItsTrackWaitsForTheStartAndAWrongCodeIsRefused) {
    ServerOptions options;
    options.port = 27881;
    std::memcpy(options.code, "ABCD", raceCodeLength);
    Server server;
    std::string why;
    ASSERT_TRUE(openServer(server, options, why)) << why;
    Joiner first, second, stranger;
    ASSERT_TRUE(first.open() && second.open() && stranger.open());

    stranger.say(join("WXYZ"), 27881);
    ASSERT_TRUE(hear(server, stranger, LanKind::refuse));
    EXPECT_STREQ(stranger.heard.text, "the race code is wrong");
    first.say(join("ABCD"), 27881);
    ASSERT_TRUE(hear(server, first, LanKind::welcome));
    EXPECT_EQ(first.heard.machine, 1);
    EXPECT_EQ(first.heard.leader, 1);
    second.say(join("ABCD"), 27881);
    ASSERT_TRUE(hear(server, second, LanKind::welcome));
    EXPECT_EQ(second.heard.machine, 2);
    EXPECT_EQ(second.heard.leader, 1);

    // Only the leader's word counts, and the same word twice is one move.
    second.say(lead(LeadAction::nextTrack, 1), 27881);
    hear(server, second, LanKind::welcome);
    EXPECT_EQ(server.lan.race.track, 1);
    first.say(lead(LeadAction::nextTrack, 1), 27881);
    first.say(lead(LeadAction::nextTrack, 1), 27881);
    for (int k = 0; k < 3; ++k) {
        hear(server, first, LanKind::welcome);
    }
    EXPECT_EQ(first.heard.race.track, 2);
    EXPECT_EQ(server.world->track, 1); // until the race starts, every machine's
    first.say(lead(LeadAction::start, 2), 27881);
    for (int k = 0; k < 3 && !server.lan.racing; ++k) {
        hear(server, first, LanKind::welcome);
    }
    ASSERT_TRUE(server.lan.racing);
    EXPECT_EQ(server.world->track, 2);
    EXPECT_EQ(server.world->race.laps, 2);
    EXPECT_EQ(server.lan.race.seats[0], 1);
    EXPECT_EQ(server.lan.race.seats[1], 2);
    EXPECT_EQ(server.lan.race.seats[2], noMachine);
    closeServer(server);
    const std::string log = readFileBytes(data.file("mudlark/server.log"));
    EXPECT_NE(log.find("track 2 for the next race"), std::string::npos) << log;
    EXPECT_NE(log.find("race 1 started: "), std::string::npos) << log;
    EXPECT_NE(log.find("1 joins without the right race code"), std::string::npos) << log;
}

} // namespace
