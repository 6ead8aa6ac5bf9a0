#pragma once

#include "platform/Error.h"

#include <QString>

#include <cstdint>

namespace sarn {

class HostLookupError : public SarnError {
  public:
    using SarnError::SarnError;
};

// The IPv4 address of a host text, in host byte order, looked up afresh on every call:
// "LOCALHOST" in any letter case is 127.0.0.1, four dot-separated decimal parts of 0 to 255 are
// the address itself, anything else goes to the system's blocking lookup (first address).
// Throws HostLookupError when nothing is found.
std::uint32_t ResolveIPv4(const QString& host);

}  // namespace sarn
