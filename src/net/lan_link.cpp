// lan_link.cpp -- the UDP socket, by standalone Asio, used without its event
// loop: non-blocking sends and receives asked for once a frame.
#include "net/lan_link.h"

#include <asio.hpp>

#include <cstdlib>

struct LanLink::Socket {
    asio::io_context context;
    asio::ip::udp::socket socket{context};
    uint64_t sent = 0;
};

namespace {

asio::ip::udp::endpoint endpointOf(const LanAddress& address) {
    return asio::ip::udp::endpoint(asio::ip::address_v4(address.ip), address.port);
}

} // namespace

std::string addressText(const LanAddress& address) {
    return asio::ip::address_v4(address.ip).to_string() + ":" + std::to_string(address.port);
}

bool resolveLanAddress(const std::string& text, uint16_t port, LanAddress& address, std::string& why) {
    std::string host = text;
    const size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        const std::string digits = text.substr(colon + 1);
        char* end = nullptr;
        const long number = std::strtol(digits.c_str(), &end, 10);
        if (digits.empty() || *end != '\0' || number < 1 || number > 65535) {
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
    const asio::ip::address_v4 dotted = asio::ip::make_address_v4(host, failed);
    if (!failed) {
        address = LanAddress{dotted.to_uint(), port};
        return true;
    }
    // A machine's name: the resolver's first IPv4 address.
    asio::io_context context;
    asio::ip::udp::resolver resolver(context);
    const auto found = resolver.resolve(asio::ip::udp::v4(), host, std::to_string(port), failed);
    if (failed || found.empty()) {
        why = "no machine called " + host + " is known";
        return false;
    }
    address = LanAddress{found.begin()->endpoint().address().to_v4().to_uint(), port};
    return true;
}

LanLink::LanLink() = default;
LanLink::~LanLink() = default;

bool LanLink::open(uint16_t port, std::string& why) {
    close();
    auto made = std::make_unique<Socket>();
    asio::error_code failed;
    made->socket.open(asio::ip::udp::v4(), failed);
    if (!failed) {
        made->socket.bind(asio::ip::udp::endpoint(asio::ip::udp::v4(), port), failed);
        if (failed) {
            why = "port " + std::to_string(port) + " cannot be used (" + failed.message() + ")";
            return false;
        }
        made->socket.set_option(asio::socket_base::broadcast(true), failed);
        failed = asio::error_code(); // without broadcasts, hosts are named by their address
        made->socket.non_blocking(true, failed);
    }
    if (failed) {
        why = "the network cannot be used (" + failed.message() + ")";
        return false;
    }
    socket_ = std::move(made);
    return true;
}

void LanLink::close() { socket_.reset(); }

bool LanLink::isOpen() const { return socket_ != nullptr; }

uint16_t LanLink::port() const {
    asio::error_code failed;
    return socket_ ? socket_->socket.local_endpoint(failed).port() : 0;
}

void LanLink::send(const LanAddress& to, const std::string& bytes) {
    if (!socket_) {
        return;
    }
    asio::error_code failed;
    socket_->socket.send_to(asio::buffer(bytes), endpointOf(to), 0, failed);
    socket_->sent += failed ? 0 : bytes.size();
}

void LanLink::broadcast(uint16_t port, const std::string& bytes) {
    send(LanAddress{asio::ip::address_v4::broadcast().to_uint(), port}, bytes);
}

size_t LanLink::receive(LanAddress& from, uint8_t* bytes, size_t capacity) {
    if (!socket_) {
        return 0;
    }
    // An error for one datagram (Windows reports a port that refused an
    // earlier one; a datagram too long is cut) passes on to the next.
    for (int tries = 0; tries < 64; ++tries) {
        asio::ip::udp::endpoint sender;
        asio::error_code failed;
        const size_t size = socket_->socket.receive_from(asio::buffer(bytes, capacity), sender, 0, failed);
        if (failed == asio::error::would_block || failed == asio::error::try_again) {
            return 0;
        }
        if (!failed && size > 0 && sender.address().is_v4()) {
            from = LanAddress{sender.address().to_v4().to_uint(), sender.port()};
            return size;
        }
    }
    return 0;
}

uint64_t LanLink::bytesSent() const { return socket_ ? socket_->sent : 0; }
