#pragma once

#include <optional>
#include <string>

namespace sarn::net {

// The home directory the password database records for the account the process runs as, for
// when $HOME is unset or empty. Nothing when the account has no entry. Kept with the socket
// layer so that the code that needs it includes no system header either.
std::optional<std::string> AccountHomeDirectory();

}  // namespace sarn::net
