#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sarn::net {

// One accepted TCP connection, blocking, owned: moving hands the socket over, destruction
// closes it. Each wait is bounded so that a serving thread can look at its own stop flag
// between waits.
class TcpConnection {
  public:
    TcpConnection(TcpConnection&& other) noexcept;
    TcpConnection& operator=(TcpConnection&& other) noexcept;
    ~TcpConnection();

    // Whether bytes (or the peer's close) arrived within `wait`.
    bool WaitReadable(std::chrono::milliseconds wait);
    // Reads what is there, at most buffer.size() bytes; 0 when the peer closed or the read
    // failed. Blocks when nothing is there: call WaitReadable first.
    std::size_t ReceiveSome(std::span<char> buffer);
    // Writes all bytes; false when the peer went away first. A peer gone raises no SIGPIPE.
    bool SendAll(std::string_view bytes);
    void Close();

  private:
    friend class TcpListener;
    explicit TcpConnection(int fd) : fd_(fd) {}

    int fd_ = -1;
};

// A listening IPv4 TCP socket.
class TcpListener {
  public:
    // Listens on address:port (dotted IPv4 or "localhost", no name lookup); port 0 lets the
    // system choose. Throws NetError.
    TcpListener(const std::string& address, std::uint16_t port, int backlog = 16);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    std::uint16_t LocalPort() const { return localPort_; }

    // The next connection, if one arrived within `wait` and could be accepted.
    std::optional<TcpConnection> Accept(std::chrono::milliseconds wait);

  private:
    int fd_ = -1;
    std::uint16_t localPort_ = 0;
};

}  // namespace sarn::net
