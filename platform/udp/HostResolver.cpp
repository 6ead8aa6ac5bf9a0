#include "platform/udp/HostResolver.h"

#include <QStringList>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>
#include <optional>

namespace sarn {

namespace {

std::optional<std::uint32_t> DottedQuad(const QString& host) {
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t address = 0;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3) {
            return std::nullopt;
        }
        for (const QChar c : part) {
            if (c < u'0' || c > u'9') {
                return std::nullopt;
            }
        }
        const int value = part.toInt();
        if (value > 255) {
            return std::nullopt;
        }
        address = (address << 8) | static_cast<std::uint32_t>(value);
    }
    return address;
}

}  // namespace

std::uint32_t ResolveIPv4(const QString& host) {
    if (host.compare(QLatin1String("LOCALHOST"), Qt::CaseInsensitive) == 0) {
        return INADDR_LOOPBACK;
    }
    if (const auto quad = DottedQuad(host)) {
        return *quad;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const QByteArray name = host.toUtf8();
    if (name.isEmpty() || ::getaddrinfo(name.constData(), nullptr, &hints, &found) != 0 ||
        found == nullptr) {
        throw HostLookupError(QStringLiteral("Host not found: ") + host);
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    return ntohl(address->sin_addr.s_addr);
}

}  // namespace sarn
