#include "platform/net/SocketAddress.h"

#include "platform/net/NetError.h"

#include <arpa/inet.h>
#include <strings.h>
#include <sys/socket.h>

#include <cerrno>

namespace sarn::net {

sockaddr_in MakeIPv4Address(const std::string& address, std::uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    const char* text =
        strcasecmp(address.c_str(), "localhost") == 0 ? "127.0.0.1" : address.c_str();
    // inet_pton, not inet_aton: only the four-decimal-part form counts as an address.
    if (inet_pton(AF_INET, text, &result.sin_addr) != 1) {
        throw NetError("not an IPv4 address: " + address);
    }
    return result;
}

std::string AddressText(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
}

std::uint16_t BoundPort(int socket) {
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        const int error = errno;
        throw NetError::FromErrno("cannot read the bound address", error);
    }
    return ntohs(bound.sin_port);
}

}  // namespace sarn::net
