#include "platform/net/Tcp.h"

#include "platform/net/NetError.h"
#include "platform/net/SocketAddress.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace sarn::net {

namespace {

bool WaitForInput(int fd, std::chrono::milliseconds wait) {
    pollfd readable{fd, POLLIN, 0};
    return ::poll(&readable, 1, static_cast<int>(wait.count())) > 0;
}

}  // namespace

TcpConnection::TcpConnection(TcpConnection&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TcpConnection& TcpConnection::operator=(TcpConnection&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

TcpConnection::~TcpConnection() {
    Close();
}

bool TcpConnection::WaitReadable(std::chrono::milliseconds wait) {
    return WaitForInput(fd_, wait);
}

std::size_t TcpConnection::ReceiveSome(std::span<char> buffer) {
    const ssize_t received = ::recv(fd_, buffer.data(), buffer.size(), 0);
    return received > 0 ? static_cast<std::size_t>(received) : 0;
}

bool TcpConnection::SendAll(std::string_view bytes) {
    while (!bytes.empty()) {
        // MSG_NOSIGNAL: a peer that hung up must not end the process.
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void TcpConnection::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

TcpListener::TcpListener(const std::string& address, std::uint16_t port, int backlog) {
    sockaddr_in local = MakeIPv4Address(address, port);
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        const int error = errno;
        throw NetError::FromErrno("cannot create a TCP socket", error);
    }
    try {
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            ::listen(fd_, backlog) != 0) {
            const int error = errno;
            throw NetError::FromErrno(
                "cannot listen on TCP " + address + ":" + std::to_string(port), error);
        }
        localPort_ = BoundPort(fd_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

TcpListener::~TcpListener() {
    ::close(fd_);
}

std::optional<TcpConnection> TcpListener::Accept(std::chrono::milliseconds wait) {
    if (!WaitForInput(fd_, wait)) {
        return std::nullopt;
    }
    const int accepted = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (accepted < 0) {
        return std::nullopt;
    }
    return TcpConnection(accepted);
}

}  // namespace sarn::net
