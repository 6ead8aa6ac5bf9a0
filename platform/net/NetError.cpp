#include "platform/net/NetError.h"

#include <cstring>

namespace sarn::net {

NetError NetError::FromErrno(const std::string& what, int error) {
    return NetError(what + ": " + std::strerror(error));
}

}  // namespace sarn::net
