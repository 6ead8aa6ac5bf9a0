#pragma once

#include <stdexcept>
#include <string>

namespace sarn::net {

// What the blocking socket layer throws. A plain std::runtime_error with UTF-8 text rather than a
// SarnError: its users are a tool and tests that print what() and hold no QString.
class NetError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
    // "<what>: <the system's description of the error number>".
    static NetError FromErrno(const std::string& what, int error);
};

}  // namespace sarn::net
