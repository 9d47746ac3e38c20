// lan_link.cpp -- the UDP sockets, by standalone Asio, used without its event
// loop: non-blocking sends and receives asked for once a frame. One socket a
// family on the same port: an IPv4 one (which also broadcasts) and an IPv6
// one that takes IPv6 alone, so that neither depends on the system's mapping
// of one family into the other.
#include "net/lan_link.h"

#include <asio.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>

namespace {

using Clock = std::chrono::steady_clock;

// A datagram the simulated network holds back until its time.
struct HeldBack {
    Clock::time_point due;
    LanAddress to;
    std::string bytes;
};

asio::ip::udp::endpoint endpointOf(const LanAddress& address) {
    if (isIpv4(address)) {
        asio::ip::address_v4::bytes_type four;
        std::memcpy(four.data(), address.ip + 12, 4);
        return asio::ip::udp::endpoint(asio::ip::address_v4(four), address.port);
    }
    asio::ip::address_v6::bytes_type six;
    std::memcpy(six.data(), address.ip, 16);
    return asio::ip::udp::endpoint(asio::ip::address_v6(six), address.port);
}

LanAddress addressOf(const asio::ip::udp::endpoint& endpoint) {
    const asio::ip::address ip = endpoint.address();
    if (ip.is_v4()) {
        return ipv4Address(ip.to_v4().to_uint(), endpoint.port());
    }
    const asio::ip::address_v6 six = ip.to_v6();
    if (six.is_v4_mapped()) {
        return ipv4Address(asio::ip::make_address_v4(asio::ip::v4_mapped, six).to_uint(), endpoint.port());
    }
    LanAddress address{};
    const asio::ip::address_v6::bytes_type bytes = six.to_bytes();
    std::memcpy(address.ip, bytes.data(), 16);
    address.port = endpoint.port();
    return address;
}

// The simulated network's next choice, the same series from the same seed (xorshift).
uint32_t nextChoice(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

} // namespace

struct LanLink::Socket {
    asio::io_context context;
    asio::ip::udp::socket v4{context};
    asio::ip::udp::socket v6{context};
    bool v4Open = false, v6Open = false;
    bool v6First = false; // which socket a receive asks first: turn about, so neither waits
    uint64_t sent = 0;
    uint32_t state = 1; // the simulated network's choices
    std::deque<HeldBack> heldBack;

    void sendNow(const LanAddress& to, const std::string& bytes) {
        asio::ip::udp::socket& socket = isIpv4(to) ? v4 : v6;
        if (!(isIpv4(to) ? v4Open : v6Open)) {
            return; // no way to that family here: lost, as on a network without it
        }
        asio::error_code failed;
        socket.send_to(asio::buffer(bytes), endpointOf(to), 0, failed);
        sent += failed ? 0 : bytes.size();
    }

    void sendDue() {
        const Clock::time_point now = Clock::now();
        // Held back in the order they were sent, each by its own time: the
        // first due goes first, whatever its place.
        while (!heldBack.empty()) {
            const auto next = std::min_element(heldBack.begin(), heldBack.end(),
                                               [](const HeldBack& a, const HeldBack& b) { return a.due < b.due; });
            if (next->due > now) {
                return;
            }
            sendNow(next->to, next->bytes);
            heldBack.erase(next);
        }
    }
};

std::string addressText(const LanAddress& address) {
    const asio::ip::udp::endpoint endpoint = endpointOf(address);
    const std::string ip = endpoint.address().to_string();
    return (isIpv4(address) ? ip : "[" + ip + "]") + ":" + std::to_string(address.port);
}

bool resolveLanAddress(const std::string& text, uint16_t port, LanAddress& address, std::string& why) {
    std::string host = text, digits;
    bool portGiven = false;
    if (!text.empty() && text[0] == '[') { // "[::1]" or "[::1]:27777"
        const size_t close = text.find(']');
        if (close == std::string::npos || (close + 1 < text.size() && text[close + 1] != ':')) {
            why = "\"" + text + "\" is not an address ([IPv6 address]:port)";
            return false;
        }
        host = text.substr(1, close - 1);
        portGiven = close + 1 < text.size();
        digits = portGiven ? text.substr(close + 2) : "";
    } else if (std::count(text.begin(), text.end(), ':') == 1) { // "name:27777"; more colons: IPv6 alone
        const size_t colon = text.find(':');
        host = text.substr(0, colon);
        digits = text.substr(colon + 1);
        portGiven = true;
    }
    if (portGiven) {
        char* end = nullptr;
        const long number = std::strtol(digits.c_str(), &end, 10);
        if (digits.empty() || *end != '\0' || digits[0] == '-' || digits[0] == '+' || number < 1 || number > 65535) {
            why = "\"" + digits + "\" is not a port (1 to 65535)";
            return false;
        }
        port = static_cast<uint16_t>(number);
    }
    if (host.empty()) {
        why = "no address before the port";
        return false;
    }
    asio::error_code failed;
    const asio::ip::address written = asio::ip::make_address(host, failed);
    if (!failed) {
        address = addressOf(asio::ip::udp::endpoint(written, port));
        return true;
    }
    // A machine's name: the resolver's first address, of either family.
    asio::io_context context;
    asio::ip::udp::resolver resolver(context);
    const auto found = resolver.resolve(host, std::to_string(port), failed);
    if (failed || found.empty()) {
        why = "no machine called " + host + " is known";
        return false;
    }
    address = addressOf(found.begin()->endpoint());
    return true;
}

LanLink::LanLink() = default;
LanLink::~LanLink() = default;

namespace {

// The IPv6 socket on the IPv4 one's port, taking IPv6 alone; false where the
// machine has no IPv6 or the port is another's there.
bool openSix(asio::ip::udp::socket& six, uint16_t port) {
    asio::error_code failed;
    six.open(asio::ip::udp::v6(), failed);
    if (failed) {
        return false;
    }
    six.set_option(asio::ip::v6_only(true), failed);
    if (!failed) {
        six.bind(asio::ip::udp::endpoint(asio::ip::udp::v6(), port), failed);
    }
    if (!failed) {
        six.non_blocking(true, failed);
    }
    if (failed) {
        six.close(failed);
        return false;
    }
    return true;
}

} // namespace

bool LanLink::open(uint16_t port, std::string& why) {
    close();
    // Any free port (0) is tried again where IPv6 has the one IPv4 gave.
    for (int tries = 0; tries < 8; ++tries) {
        auto made = std::make_unique<Socket>();
        asio::error_code failed;
        made->v4.open(asio::ip::udp::v4(), failed);
        if (!failed) {
            made->v4.bind(asio::ip::udp::endpoint(asio::ip::udp::v4(), port), failed);
            if (failed) {
                why = "port " + std::to_string(port) + " cannot be used (" + failed.message() + ")";
                return false;
            }
            made->v4.set_option(asio::socket_base::broadcast(true), failed);
            failed = asio::error_code(); // without broadcasts, hosts are named by their address
            made->v4.non_blocking(true, failed);
        }
        if (failed) {
            why = "the network cannot be used (" + failed.message() + ")";
            return false;
        }
        made->v4Open = true;
        // IPv6 on the same port, where the machine has it; a port IPv6 cannot
        // have leaves the game on IPv4, as before there was IPv6.
        made->v6Open = openSix(made->v6, made->v4.local_endpoint(failed).port());
        if (!made->v6Open && port == 0 && tries + 1 < 8) {
            asio::ip::udp::socket probe(made->context);
            if (openSix(probe, 0)) {
                continue; // IPv6 works here, only not on that port: another port
            }
        }
        made->state = seed_ != 0 ? seed_ : 1;
        socket_ = std::move(made);
        return true;
    }
    return false;
}

bool LanLink::reachesIpv6() const { return socket_ && socket_->v6Open; }

void LanLink::close() {
    // What the simulated network still holds goes out now: a machine's last
    // word (it leaves the race) is not lost to the simulation.
    if (socket_) {
        for (const HeldBack& datagram : socket_->heldBack) {
            socket_->sendNow(datagram.to, datagram.bytes);
        }
    }
    socket_.reset();
}

bool LanLink::isOpen() const { return socket_ != nullptr; }

uint16_t LanLink::port() const {
    asio::error_code failed;
    return socket_ ? socket_->v4.local_endpoint(failed).port() : 0;
}

void LanLink::simulate(const NetSim& sim, uint32_t seed) {
    sim_ = sim;
    seed_ = seed != 0 ? seed : 1;
    if (socket_) {
        socket_->state = seed_;
    }
}

void LanLink::send(const LanAddress& to, const std::string& bytes) {
    if (!socket_) {
        return;
    }
    if (!netSimOn(sim_)) {
        socket_->sendNow(to, bytes);
        return;
    }
    uint32_t& state = socket_->state;
    const int copies = nextChoice(state) % 100 < sim_.duplicates ? 2 : 1;
    for (int copy = 0; copy < copies; ++copy) {
        if (nextChoice(state) % 100 < sim_.loss) {
            continue;
        }
        // Up to the jitter either side of the delay, in tenths of a millisecond.
        const int64_t spread = static_cast<int64_t>(sim_.jitter) * 10;
        const uint32_t choice = nextChoice(state);
        const int64_t offset = spread > 0 ? static_cast<int64_t>(choice % static_cast<uint32_t>(2 * spread + 1)) - spread : 0;
        const int64_t tenths = std::max<int64_t>(0, static_cast<int64_t>(sim_.delay) * 10 + offset);
        socket_->heldBack.push_back(HeldBack{Clock::now() + std::chrono::microseconds(tenths * 100), to, bytes});
    }
    socket_->sendDue();
}

void LanLink::broadcast(uint16_t port, const std::string& bytes) {
    send(ipv4Address(asio::ip::address_v4::broadcast().to_uint(), port), bytes);
}

size_t LanLink::receive(LanAddress& from, uint8_t* bytes, size_t capacity) {
    if (!socket_) {
        return 0;
    }
    socket_->sendDue();
    // An error for one datagram (Windows reports a port that refused an
    // earlier one; a datagram too long is cut) passes on to the next.
    socket_->v6First = !socket_->v6First;
    for (int turn = 0; turn < 2; ++turn) {
        const bool six = (turn == 0) == socket_->v6First;
        if (!(six ? socket_->v6Open : socket_->v4Open)) {
            continue;
        }
        asio::ip::udp::socket& socket = six ? socket_->v6 : socket_->v4;
        for (int tries = 0; tries < 64; ++tries) {
            asio::ip::udp::endpoint sender;
            asio::error_code failed;
            const size_t size = socket.receive_from(asio::buffer(bytes, capacity), sender, 0, failed);
            if (failed == asio::error::would_block || failed == asio::error::try_again) {
                break;
            }
            if (!failed && size > 0) {
                from = addressOf(sender);
                return size;
            }
        }
    }
    return 0;
}

uint64_t LanLink::bytesSent() const { return socket_ ? socket_->sent : 0; }
