// lan_link_none.cpp -- the LAN's socket where there is none (a browser page has no UDP):
// it never opens, and hosting or joining says why.
#include <string>

#include "net/lan_link.h"

struct LanLink::Socket {};

std::string addressText(const LanAddress& address) {
    return std::to_string(address.ip[12]) + "." + std::to_string(address.ip[13]) + "." + std::to_string(address.ip[14]) + "." +
           std::to_string(address.ip[15]) + ":" + std::to_string(address.port);
}

bool resolveLanAddress(const std::string&, uint16_t, LanAddress&, std::string& why) {
    why = "a browser cannot race over the network: LAN races need the desktop game";
    return false;
}

LanLink::LanLink() = default;
LanLink::~LanLink() = default;

bool LanLink::open(uint16_t, std::string& why) {
    why = "a browser cannot race over the network: LAN races need the desktop game";
    return false;
}

void LanLink::close() {}
bool LanLink::isOpen() const { return false; }
uint16_t LanLink::port() const { return 0; }
bool LanLink::reachesIpv6() const { return false; }
void LanLink::simulate(const NetSim& sim, uint32_t seed) {
    sim_ = sim;
    seed_ = seed;
}
void LanLink::send(const LanAddress&, const std::string&) {}
void LanLink::broadcast(uint16_t, const std::string&) {}
size_t LanLink::receive(LanAddress&, uint8_t*, size_t) { return 0; }
uint64_t LanLink::bytesSent() const { return 0; }
