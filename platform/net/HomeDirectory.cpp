#include "platform/net/HomeDirectory.h"

#include <pwd.h>
#include <unistd.h>

namespace sarn::net {

std::optional<std::string> AccountHomeDirectory() {
    const passwd* account = getpwuid(getuid());
    if (account == nullptr || account->pw_dir == nullptr) {
        return std::nullopt;
    }
    return std::string(account->pw_dir);
}

}  // namespace sarn::net
