#include "tests/service/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace sarn::testing {

QByteArray RecordedRequest::Header(const QByteArray& name) const {
    for (const QByteArray& line : headerLines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

CannedReply HttpReplyOf(int status, const QByteArray& reason, const QByteArray& contentType,
                        const QByteArray& body) {
    QByteArray raw = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    if (!contentType.isEmpty()) {
        raw += "Content-Type: " + contentType + "\r\n";
    }
    raw += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    raw += body;
    CannedReply reply;
    reply.raw = raw;
    return reply;
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on loopback");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    {
        const std::lock_guard guard(lock_);
        stop_ = true;
    }
    stopped_.notify_all();
    acceptor_.join();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    ::close(listener_);
}

QString LoopbackServer::HostAndPort() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
    const std::lock_guard guard(lock_);
    return requests_;
}

void LoopbackServer::AcceptLoop() {
    while (!Stopped()) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) {
            continue;
        }
        const int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0) {
            continue;
        }
        const int connection = ++connections_;
        const std::lock_guard guard(lock_);
        workers_.emplace_back([this, socket, connection] { Serve(socket, connection); });
    }
}

void LoopbackServer::Serve(int socket, int connection) {
    QByteArray pending;
    const auto readMore = [&]() -> bool {
        while (!Stopped()) {
            pollfd p{socket, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) {
                continue;
            }
            char chunk[65536];
            const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
            if (n <= 0) {
                return false;
            }
            pending.append(chunk, n);
            return true;
        }
        return false;
    };
    const auto sendAll = [&](const QByteArray& data) {
        qsizetype sent = 0;
        while (sent < data.size()) {
            const ssize_t n = ::send(socket, data.constData() + sent,
                                     static_cast<size_t>(data.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) {
                return;
            }
            sent += n;
        }
    };

    for (;;) {
        qsizetype end;
        while ((end = pending.indexOf("\r\n\r\n")) < 0) {
            if (!readMore()) {
                ::close(socket);
                return;
            }
        }
        RecordedRequest request;
        request.connection = connection;
        request.head = pending.left(end + 4);
        const QList<QByteArray> lines = pending.left(end).split('\n');
        request.requestLine = lines.value(0).trimmed();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            request.headerLines << lines[i].trimmed();
        }
        const qsizetype length = request.Header("Content-Length").toLongLong();
        while (pending.size() < end + 4 + length) {
            if (!readMore()) {
                ::close(socket);
                return;
            }
        }
        request.body = pending.mid(end + 4, length);
        request.raw = pending.left(end + 4 + length);
        pending.remove(0, end + 4 + length);
        {
            const std::lock_guard guard(lock_);
            requests_.push_back(request);
        }
        const CannedReply reply = handler_(request);
        sendAll(reply.raw);
        for (const QByteArray& piece : reply.trickle) {
            std::unique_lock guard(lock_);
            if (stopped_.wait_for(guard, std::chrono::milliseconds(reply.gapMilliseconds),
                                  [this] { return Stopped(); })) {
                break;
            }
            guard.unlock();
            sendAll(piece);
        }
        if (reply.stall) {
            std::unique_lock guard(lock_);
            stopped_.wait(guard, [this] { return Stopped(); });
        }
        if (reply.close || reply.stall) {
            ::close(socket);
            return;
        }
    }
}

}  // namespace sarn::testing
