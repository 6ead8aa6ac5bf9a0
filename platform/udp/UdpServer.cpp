#include "platform/udp/UdpServer.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace sarn {

struct UdpServer::HandOver {
    enum class State { Queued, Running, Done };

    explicit HandOver(UdpDatagram d) : datagram(std::move(d)) {}

    std::mutex mutex;
    std::condition_variable changed;
    State state = State::Queued;
    bool released = false;  // the listener need not wait for the handler any more
    const UdpDatagram datagram;
};

SocketError SocketError::FromErrno(int error) {
    return SocketError(QStringLiteral("Socket Error # ") + QString::number(error) +
                       QStringLiteral("\r\n") + QString::fromLocal8Bit(std::strerror(error)));
}

UdpServer::UdpServer(ReadHandler handler, std::chrono::milliseconds wait, std::size_t bufferSize)
    : handler_(std::move(handler))
    , wait_(wait)
    , bufferSize_(bufferSize)
    , receiver_(std::make_unique<QObject>()) {}

UdpServer::~UdpServer() {
    Close();
}

void UdpServer::Open() {
    if (IsOpen()) {
        return;
    }
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        throw SocketError(QStringLiteral("Cannot allocate socket."));
    }
    auto fail = [socket](int error) {
        ::close(socket);
        return SocketError::FromErrno(error);
    };
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    any.sin_port = 0;
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        throw fail(errno);
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        throw fail(errno);
    }
    const int off = 0;
    if (::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &off, sizeof off) != 0) {
        throw fail(errno);
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        throw fail(errno);
    }
    socket_ = socket;
    wake_ = wake;
    localPort_ = ntohs(bound.sin_port);
    stop_ = false;
    listener_ = std::thread([this, socket, wake] { Listen(socket, wake); });
}

void UdpServer::Close() {
    if (!IsOpen()) {
        return;
    }
    stop_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);

    std::shared_ptr<HandOver> pending;
    {
        const std::lock_guard lock(pendingMutex_);
        pending = pending_;
    }
    if (pending) {
        bool runHere = false;
        {
            const std::lock_guard lock(pending->mutex);
            if (pending->state == HandOver::State::Queued) {
                runHere = true;
            } else {
                pending->released = true;
            }
        }
        if (runHere) {
            Run(handler_, *pending);
        } else {
            pending->changed.notify_all();
        }
    }
    listener_.join();
    ::shutdown(socket_, SHUT_RDWR);
    ::close(socket_);
    ::close(wake_);
    socket_ = -1;
    wake_ = -1;
    localPort_ = 0;
}

void UdpServer::SendTo(std::uint32_t address, quint16 port, const QByteArray& bytes) {
    Open();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    to.sin_port = htons(port);
    const ssize_t sent = ::sendto(socket_, bytes.constData(), static_cast<size_t>(bytes.size()), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0) {
        throw SocketError::FromErrno(errno);
    }
    if (sent != bytes.size()) {
        throw SocketError(QStringLiteral("Datagram sent only in part."));
    }
}

void UdpServer::Listen(int socket, int wake) {
    // One byte more than the buffer would not be needed: MSG_TRUNC reports the full length.
    std::vector<char> buffer(bufferSize_);
    while (!stop_) {
        pollfd waits[2] = {{socket, POLLIN, 0}, {wake, POLLIN, 0}};
        const int ready = ::poll(waits, 2, static_cast<int>(wait_.count()));
        if (ready <= 0 || stop_) {
            continue;
        }
        if ((waits[0].revents & (POLLIN | POLLERR)) == 0) {
            continue;
        }
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const ssize_t received = ::recvfrom(socket, buffer.data(), buffer.size(), MSG_TRUNC,
                                            reinterpret_cast<sockaddr*>(&peer), &length);
        // A failed receive (an earlier send reported undeliverable, say) or a datagram that did
        // not fit is dropped.
        if (received < 0 || static_cast<std::size_t>(received) > buffer.size()) {
            continue;
        }
        Deliver(UdpDatagram{QByteArray(buffer.data(), static_cast<qsizetype>(received)),
                            ntohl(peer.sin_addr.s_addr), ntohs(peer.sin_port)});
    }
}

void UdpServer::Deliver(UdpDatagram datagram) {
    auto handOver = std::make_shared<HandOver>(std::move(datagram));
    {
        // Close reads pending_ only after setting stop_, so a hand-over made after that check
        // cannot be missed by it.
        const std::lock_guard lock(pendingMutex_);
        if (stop_) {
            return;
        }
        pending_ = handOver;
    }
    // The handler is copied so that a handler which destroys this server does not pull its own
    // function out from under itself. If the receiver goes first, Qt drops the queued call.
    QMetaObject::invokeMethod(
        receiver_.get(), [handler = handler_, handOver] { Run(handler, *handOver); },
        Qt::QueuedConnection);
    {
        std::unique_lock lock(handOver->mutex);
        handOver->changed.wait(
            lock, [&] { return handOver->state == HandOver::State::Done || handOver->released; });
    }
    const std::lock_guard lock(pendingMutex_);
    pending_.reset();
}

void UdpServer::Run(const ReadHandler& handler, HandOver& handOver) {
    {
        const std::lock_guard lock(handOver.mutex);
        if (handOver.state != HandOver::State::Queued) {
            return;
        }
        handOver.state = HandOver::State::Running;
    }
    try {
        handler(handOver.datagram);
    } catch (...) {  // the listener swallows whatever the handler raises
    }
    {
        const std::lock_guard lock(handOver.mutex);
        handOver.state = HandOver::State::Done;
    }
    handOver.changed.notify_all();
}

}  // namespace sarn
