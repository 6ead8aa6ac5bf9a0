#include "platform/net/BlockingUdpSocket.h"

#include "platform/net/NetError.h"
#include "platform/net/SocketAddress.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace sarn::net {

BlockingUdpSocket::BlockingUdpSocket(const std::string& address, std::uint16_t port) {
    sockaddr_in local = MakeIPv4Address(address, port);
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        const int error = errno;
        throw NetError::FromErrno("cannot create a UDP socket", error);
    }
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        ::close(fd_);
        throw NetError::FromErrno("cannot bind UDP " + address + ":" + std::to_string(port), error);
    }
    try {
        localPort_ = BoundPort(fd_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

BlockingUdpSocket::~BlockingUdpSocket() {
    ::close(fd_);
}

std::optional<ReceivedDatagram> BlockingUdpSocket::Receive(std::chrono::milliseconds wait) {
    pollfd readable{fd_, POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(wait.count())) <= 0) {
        return std::nullopt;
    }
    // On the heap: the receiving thread's stack need not hold 64 KiB.
    std::vector<char> buffer(65536);
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t received = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                        reinterpret_cast<sockaddr*>(&from), &length);
    if (received < 0) {
        return std::nullopt;
    }
    return ReceivedDatagram{std::string(buffer.data(), static_cast<std::size_t>(received)),
                            AddressText(from), ntohs(from.sin_port)};
}

void BlockingUdpSocket::Send(const std::string& bytes, const std::string& address,
                             std::uint16_t port) {
    const sockaddr_in to = MakeIPv4Address(address, port);
    const ssize_t sent = ::sendto(fd_, bytes.data(), bytes.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0) {
        const int error = errno;
        throw NetError::FromErrno("cannot send to " + address + ":" + std::to_string(port), error);
    }
    if (static_cast<std::size_t>(sent) != bytes.size()) {
        throw NetError("datagram was sent only in part");
    }
}

}  // namespace sarn::net
