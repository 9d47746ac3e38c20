// lan_address.cpp -- the LAN's addresses and the simulated line's words:
// what needs no socket, for every build (the browser's too).
#include <cstring>
#include <string>

#include "net/lan_link.h"

LanAddress ipv4Address(uint32_t ip, uint16_t port) {
    LanAddress address{};
    address.ip[10] = address.ip[11] = 0xFF;
    for (int i = 0; i < 4; ++i) {
        address.ip[12 + i] = static_cast<uint8_t>(ip >> (24 - 8 * i));
    }
    address.port = port;
    return address;
}

bool isIpv4(const LanAddress& address) {
    static constexpr uint8_t mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(address.ip, mapped, sizeof mapped) == 0;
}

bool operator==(const LanAddress& a, const LanAddress& b) {
    return a.port == b.port && std::memcmp(a.ip, b.ip, sizeof a.ip) == 0;
}

std::string netSimText(const NetSim& sim) {
    return std::to_string(sim.delay) + " ms delay, " + std::to_string(sim.jitter) + " ms jitter, " +
           std::to_string(sim.loss) + " % lost, " + std::to_string(sim.duplicates) + " % twice";
}
