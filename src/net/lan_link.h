// lan_link.h -- the game's one UDP socket for LAN races, open only while it
// hosts or joins: datagrams to and from IPv4 addresses, never blocking (the
// frame asks what has come), and a broadcast to find the hosts on the network.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

constexpr uint16_t defaultLanPort = 27777;

struct LanAddress {
    uint32_t ip;   // host order: 127.0.0.1 is 0x7F000001
    uint16_t port;
};

inline bool operator==(const LanAddress& a, const LanAddress& b) { return a.ip == b.ip && a.port == b.port; }
inline bool operator!=(const LanAddress& a, const LanAddress& b) { return !(a == b); }

// "192.168.1.20:27777".
std::string addressText(const LanAddress& address);

// "ADDRESS[:PORT]" (a dotted address or a machine's name) as an address; the
// port where none is given. False, with the reason, when it is not one.
bool resolveLanAddress(const std::string& text, uint16_t port, LanAddress& address, std::string& why);

class LanLink {
public:
    LanLink();
    ~LanLink();
    LanLink(const LanLink&) = delete;
    LanLink& operator=(const LanLink&) = delete;

    // Opens the socket on this port of every address (0: any free port); false,
    // with the reason ("port 27777 is in use"), when it cannot.
    bool open(uint16_t port, std::string& why);
    void close();
    bool isOpen() const;
    uint16_t port() const; // the port it listens on

    // Sends one datagram; a failure is let go (a lost packet, as on any network).
    void send(const LanAddress& to, const std::string& bytes);
    // To every machine on the local networks, on this port.
    void broadcast(uint16_t port, const std::string& bytes);
    // The next datagram that has come, into bytes (at most capacity; a longer
    // one is cut and its size says so): its size, or 0 when none waits.
    size_t receive(LanAddress& from, uint8_t* bytes, size_t capacity);

    uint64_t bytesSent() const; // since it opened, for the measurements

private:
    struct Socket;
    std::unique_ptr<Socket> socket_;
};
