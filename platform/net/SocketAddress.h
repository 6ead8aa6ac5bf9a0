#pragma once

// For the sources of platform/net only: the conversions between address texts and the system's
// address structure, which no header outside platform/ may show.

#include <netinet/in.h>

#include <cstdint>
#include <string>

namespace sarn::net {

// A dotted IPv4 text and a port; "localhost" in any letter case is 127.0.0.1. No name lookup:
// callers pass addresses they were given as numbers or printed themselves. Throws
// NetError("not an IPv4 address: ...") for anything else.
sockaddr_in MakeIPv4Address(const std::string& address, std::uint16_t port);

// The dotted text of the address part.
std::string AddressText(const sockaddr_in& address);

// The port the system bound the socket to (the chosen one when 0 was asked for).
std::uint16_t BoundPort(int socket);

}  // namespace sarn::net
