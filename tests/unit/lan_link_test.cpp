// lan_link_test.cpp -- the socket of network races on the loopback: addresses
// written every way a player writes them, IPv4 and IPv6 on one port, and the
// simulated network's delay, loss, duplicates and reordering.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "net/lan_link.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string resolved(const std::string& text) {
    LanAddress address{};
    std::string why;
    return resolveLanAddress(text, 27777, address, why) ? addressText(address) : "refused: " + why;
}

TEST(LanLink, AddressesAsPlayersWriteThem) {
    EXPECT_EQ(resolved("192.168.1.20"), "192.168.1.20:27777"); // the settings' port where none is given
    EXPECT_EQ(resolved("127.0.0.1:27800"), "127.0.0.1:27800");
    EXPECT_EQ(resolved("[::1]:27801"), "[::1]:27801");
    EXPECT_EQ(resolved("[::1]"), "[::1]:27777");
    EXPECT_EQ(resolved("::1"), "[::1]:27777"); // more than one colon: an IPv6 address alone
    EXPECT_EQ(resolved("fe80::1:2"), "[fe80::1:2]:27777");
    EXPECT_EQ(resolved("[::ffff:127.0.0.1]:5"), "127.0.0.1:5"); // IPv4 as IPv6 writes it is IPv4
    const std::string local = resolved("localhost:27802");
    EXPECT_TRUE(local == "127.0.0.1:27802" || local == "[::1]:27802") << local;
    EXPECT_EQ(resolved("[::1]:0"), "refused: \"0\" is not a port (1 to 65535)");
    EXPECT_EQ(resolved("host:65536"), "refused: \"65536\" is not a port (1 to 65535)");
    EXPECT_EQ(resolved("host:+5"), "refused: \"+5\" is not a port (1 to 65535)");
    EXPECT_EQ(resolved(":27777"), "refused: no address before the port");
    EXPECT_EQ(resolved("[::1"), "refused: \"[::1\" is not an address ([IPv6 address]:port)");
    EXPECT_EQ(resolved("[::1]27777"), "refused: \"[::1]27777\" is not an address ([IPv6 address]:port)");
    EXPECT_EQ(resolved("no-such-machine.invalid"), "refused: no machine called no-such-machine.invalid is known");
    EXPECT_EQ(addressText(ipv4Address(0x7F000001u, 9)), "127.0.0.1:9");
}

// A machine's poll of its own socket, which also lets what its simulated
// network held back go when due.
void poll(LanLink& link) {
    LanAddress from{};
    uint8_t bytes[64];
    link.receive(from, bytes, sizeof bytes);
}

// What one link receives within this long, or until it has enough (a loaded
// machine only ever delays).
std::vector<std::string> receivedWithin(LanLink& link, std::chrono::milliseconds wait, LanAddress* from = nullptr,
                                        size_t enough = 1000) {
    std::vector<std::string> got;
    const Clock::time_point end = Clock::now() + wait;
    while (Clock::now() < end && got.size() < enough) {
        uint8_t bytes[64];
        LanAddress sender{};
        const size_t size = link.receive(sender, bytes, sizeof bytes);
        if (size == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        got.emplace_back(reinterpret_cast<const char*>(bytes), size);
        if (from != nullptr) {
            *from = sender;
        }
    }
    return got;
}

TEST(LanLink, IpFourAndSixOnOnePortAnsweredWhereTheyCameFrom) {
    LanLink host, joiner;
    std::string why;
    ASSERT_TRUE(host.open(0, why) && joiner.open(0, why)) << why;
    for (const char* ip : {"127.0.0.1", "[::1]"}) {
        LanAddress to{};
        ASSERT_TRUE(resolveLanAddress(std::string(ip) + ":" + std::to_string(host.port()), 0, to, why)) << why;
        joiner.send(to, std::string("hello from ") + ip);
        LanAddress from{};
        EXPECT_EQ(receivedWithin(host, std::chrono::seconds(5), &from, 1),
                  std::vector<std::string>{std::string("hello from ") + ip});
        EXPECT_EQ(isIpv4(from), ip[0] != '[');
        EXPECT_EQ(from.port, joiner.port());
        host.send(from, "answer");
        EXPECT_EQ(receivedWithin(joiner, std::chrono::seconds(5), nullptr, 1), std::vector<std::string>{"answer"});
    }
}

TEST(LanLink, TheSimulatedNetworkDelaysLosesDoublesAndReorders) {
    LanLink sender, receiver;
    std::string why;
    ASSERT_TRUE(sender.open(0, why) && receiver.open(0, why)) << why;
    const LanAddress to = ipv4Address(0x7F000001u, receiver.port());
    // 150 ms and nothing else: none arrives before its time, all arrive after it.
    sender.simulate(NetSim{150, 0, 0, 0}, 7);
    const Clock::time_point sent = Clock::now();
    for (int i = 0; i < 3; ++i) {
        sender.send(to, std::to_string(i));
    }
    EXPECT_TRUE(receivedWithin(receiver, std::chrono::milliseconds(120)).empty());
    std::vector<std::string> got;
    while (got.size() < 3 && Clock::now() - sent < std::chrono::seconds(10)) {
        poll(sender);
        const std::vector<std::string> more = receivedWithin(receiver, std::chrono::milliseconds(20));
        got.insert(got.end(), more.begin(), more.end());
    }
    EXPECT_EQ(got, (std::vector<std::string>{"0", "1", "2"}));
    // Lost, doubled, and with jitter overtaking: the same choices from the same seed.
    const auto run = [&](NetSim sim, int count) {
        sender.simulate(sim, 11);
        for (int i = 0; i < count; ++i) {
            sender.send(to, std::to_string(i));
        }
        std::vector<std::string> arrived;
        for (const Clock::time_point start = Clock::now(); Clock::now() - start < std::chrono::milliseconds(400);) {
            poll(sender);
            const std::vector<std::string> more = receivedWithin(receiver, std::chrono::milliseconds(5));
            arrived.insert(arrived.end(), more.begin(), more.end());
        }
        return arrived;
    };
    const size_t kept = run(NetSim{0, 0, 50, 0}, 200).size();
    EXPECT_TRUE(kept > 70 && kept < 130) << kept;
    EXPECT_EQ(run(NetSim{0, 0, 50, 0}, 200).size(), kept);
    EXPECT_TRUE(run(NetSim{1, 0, 100, 0}, 50).empty());
    EXPECT_EQ(run(NetSim{1, 0, 0, 100}, 50).size(), 100u);
    std::vector<std::string> order = run(NetSim{30, 25, 0, 0}, 40);
    ASSERT_EQ(order.size(), 40u);
    EXPECT_FALSE(std::is_sorted(order.begin(), order.end(),
                                [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); }));
}

} // namespace
