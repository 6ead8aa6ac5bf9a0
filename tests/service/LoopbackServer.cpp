#include "tests/service/LoopbackServer.h"

#include "platform/net/Tcp.h"

#include <array>
#include <chrono>
#include <optional>
#include <string_view>

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

LoopbackServer::LoopbackServer(Handler handler)
    : handler_(std::move(handler)), listener_(std::make_unique<net::TcpListener>("127.0.0.1", 0)) {
    port_ = listener_->LocalPort();
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
}

QString LoopbackServer::HostAndPort() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
    const std::lock_guard guard(lock_);
    return requests_;
}

void LoopbackServer::AcceptLoop() {
    // Short waits, so that the destructor's stop is seen soon.
    constexpr std::chrono::milliseconds kPoll(20);
    while (!Stopped()) {
        std::optional<net::TcpConnection> accepted = listener_->Accept(kPoll);
        if (!accepted) {
            continue;
        }
        const int connection = ++connections_;
        const std::lock_guard guard(lock_);
        // The worker owns the connection: it closes when Serve returns.
        workers_.emplace_back([this, socket = std::move(*accepted), connection]() mutable {
            Serve(socket, connection);
        });
    }
}

void LoopbackServer::Serve(net::TcpConnection& socket, int connection) {
    QByteArray pending;
    const auto readMore = [&]() -> bool {
        while (!Stopped()) {
            if (!socket.WaitReadable(std::chrono::milliseconds(20))) {
                continue;
            }
            std::array<char, 65536> chunk;
            const std::size_t n = socket.ReceiveSome(chunk);
            if (n == 0) {
                return false;
            }
            pending.append(chunk.data(), static_cast<qsizetype>(n));
            return true;
        }
        return false;
    };
    const auto sendAll = [&](const QByteArray& data) {
        socket.SendAll(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    };

    for (;;) {
        qsizetype end;
        while ((end = pending.indexOf("\r\n\r\n")) < 0) {
            if (!readMore()) {
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
            return;
        }
    }
}

}  // namespace sarn::testing
