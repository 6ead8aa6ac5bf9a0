#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sarn::net {
class TcpConnection;
class TcpListener;
}  // namespace sarn::net

namespace sarn::testing {

// One HTTP request as it arrived, byte for byte, and on which accepted connection.
struct RecordedRequest {
    int connection = 0;
    QByteArray raw;   // request line, headers and body exactly as received
    QByteArray head;  // request line and headers
    QByteArray body;
    QByteArray requestLine;
    QList<QByteArray> headerLines;  // in arrival order

    QByteArray Header(const QByteArray& name) const;  // first value, name case-insensitive
};

// What the server answers: `raw` is written as is. A stalled reply writes `raw` and then
// nothing more until the server stops; `close` drops the connection after writing.
struct CannedReply {
    QByteArray raw;
    bool stall = false;
    bool close = false;
    // Written after `raw`, one piece per `gap`: a slow transfer that keeps moving.
    QList<QByteArray> trickle;
    int gapMilliseconds = 0;
};

// Builds an HTTP/1.1 reply with Content-Length and keep-alive.
CannedReply HttpReplyOf(int status, const QByteArray& reason, const QByteArray& contentType,
                        const QByteArray& body);

// An HTTP server on 127.0.0.1 with an ephemeral port, one thread per connection, that records
// every request and answers each with its handler.
class LoopbackServer {
  public:
    using Handler = std::function<CannedReply(const RecordedRequest&)>;

    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();

    quint16 Port() const { return port_; }
    QString HostAndPort() const;
    std::vector<RecordedRequest> Requests() const;
    int Connections() const { return connections_.load(); }

  private:
    void AcceptLoop();
    void Serve(net::TcpConnection& socket, int connection);
    bool Stopped() const { return stop_.load(); }

    Handler handler_;
    std::unique_ptr<net::TcpListener> listener_;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex lock_;
    std::condition_variable stopped_;
    std::vector<RecordedRequest> requests_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

}  // namespace sarn::testing
