// lan_link.h -- the game's UDP socket for network races, open only while it
// hosts or joins: datagrams to and from IPv4 and IPv6 addresses, never
// blocking (the frame asks what has come), a broadcast to find the hosts on
// the local network, and, for trying a line before racing on it, a network
// of chosen delay, jitter, loss and duplicates between the game and the socket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

constexpr uint16_t defaultLanPort = 27777;

// An address and port; an IPv4 address is kept as IPv6 keeps it
// (::ffff:a.b.c.d), so that the two compare alike.
struct LanAddress {
    uint8_t ip[16];
    uint16_t port;
};

// An IPv4 address (host order: 127.0.0.1 is 0x7F000001) and port.
LanAddress ipv4Address(uint32_t ip, uint16_t port);
bool isIpv4(const LanAddress& address);

bool operator==(const LanAddress& a, const LanAddress& b);
inline bool operator!=(const LanAddress& a, const LanAddress& b) { return !(a == b); }

// "192.168.1.20:27777", "[::1]:27777".
std::string addressText(const LanAddress& address);

// "HOST[:PORT]" as an address: HOST a dotted IPv4 address, an IPv6 address
// (in brackets when a port follows: "[::1]:27777") or a machine's name; the
// port where none is given. False, with the reason, when it is not one.
bool resolveLanAddress(const std::string& text, uint16_t port, LanAddress& address, std::string& why);

// What the network between this machine and its socket does to the datagrams
// it sends: each is held back delay plus or minus up to jitter milliseconds
// (so that some overtake others), lost at this percentage, and sent twice at
// that one. All zero: the datagrams go straight out.
struct NetSim {
    uint32_t delay;      // milliseconds, 0 .. 2000
    uint32_t jitter;     // milliseconds, 0 .. 1000
    uint32_t loss;       // percent, 0 .. 100
    uint32_t duplicates; // percent, 0 .. 100
};
inline bool netSimOn(const NetSim& sim) { return sim.delay + sim.jitter + sim.loss + sim.duplicates > 0; }

// "75 ms delay, 10 ms jitter, 5 % lost, 0 % twice", as start-up says it.
std::string netSimText(const NetSim& sim);

class LanLink {
public:
    LanLink();
    ~LanLink();
    LanLink(const LanLink&) = delete;
    LanLink& operator=(const LanLink&) = delete;

    // Opens the socket on this port of every address, IPv4 and IPv6 alike (0:
    // any free port); false, with the reason ("port 27777 cannot be used"),
    // when it cannot. Where the machine has no IPv6, IPv4 alone.
    bool open(uint16_t port, std::string& why);
    void close();
    bool isOpen() const;
    uint16_t port() const; // the port it listens on
    bool reachesIpv6() const; // open on IPv6 too

    // The network the datagrams sent from now on go through; seed makes its
    // choices the same from run to run.
    void simulate(const NetSim& sim, uint32_t seed);

    // Sends one datagram; a failure is let go (a lost packet, as on any network).
    void send(const LanAddress& to, const std::string& bytes);
    // To every machine on the local IPv4 networks, on this port.
    void broadcast(uint16_t port, const std::string& bytes);
    // The next datagram that has come, into bytes (at most capacity; a longer
    // one is cut and its size says so): its size, or 0 when none waits. The
    // datagrams the simulated network held back go out first, those due.
    size_t receive(LanAddress& from, uint8_t* bytes, size_t capacity);

    uint64_t bytesSent() const; // since it opened, for the measurements

private:
    struct Socket;
    std::unique_ptr<Socket> socket_;
    NetSim sim_{};
    uint32_t seed_ = 1;
};
