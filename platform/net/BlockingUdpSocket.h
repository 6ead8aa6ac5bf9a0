#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace sarn::net {

struct ReceivedDatagram {
    std::string bytes;
    std::string address;  // dotted IPv4 text of the sender
    std::uint16_t port = 0;
};

// One IPv4 datagram socket bound to a given address and port, read by the caller's own thread.
// For code without a Qt loop; platform/udp's UdpServer is the client's socket, which always binds
// a port the system picks and hands datagrams to a Qt event queue.
class BlockingUdpSocket {
  public:
    // Binds to address:port (dotted IPv4 or "localhost", no name lookup); port 0 lets the
    // system choose. Throws NetError.
    BlockingUdpSocket(const std::string& address, std::uint16_t port);
    ~BlockingUdpSocket();
    BlockingUdpSocket(const BlockingUdpSocket&) = delete;
    BlockingUdpSocket& operator=(const BlockingUdpSocket&) = delete;

    std::uint16_t LocalPort() const { return localPort_; }

    // Waits at most `wait` for one datagram; nothing when none came in time or the receive
    // failed (an ICMP report of an earlier undeliverable send, say). The 64 KiB buffer holds any
    // IPv4 datagram whole.
    std::optional<ReceivedDatagram> Receive(std::chrono::milliseconds wait);
    // Throws NetError when the system rejects the datagram or takes only part of it.
    void Send(const std::string& bytes, const std::string& address, std::uint16_t port);

  private:
    int fd_ = -1;
    std::uint16_t localPort_ = 0;
};

}  // namespace sarn::net
