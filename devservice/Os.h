#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace sarndev {

// Everything of the service that talks to the operating system directly lives behind this file.

class OsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Datagram {
    std::string bytes;
    std::string address;  // dotted IPv4 text of the sender
    uint16_t port = 0;
};

// One bound IPv4 datagram socket.
class UdpSocket {
  public:
    // Binds to address:port; port 0 lets the system choose.
    UdpSocket(const std::string& address, uint16_t port);
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    uint16_t LocalPort() const { return localPort_; }

    // Waits at most `wait` for one datagram; nothing when none came in time.
    std::optional<Datagram> Receive(std::chrono::milliseconds wait);
    void Send(const std::string& bytes, const std::string& address, uint16_t port);

  private:
    int fd_ = -1;
    uint16_t localPort_ = 0;
};

// Blocks SIGINT and SIGTERM for the calling thread and every thread it starts afterwards, so
// that only WaitForStopSignal sees them.
void BlockStopSignals();
// Returns the number of the stop signal once one has arrived.
int WaitForStopSignal();

// $XDG_DATA_HOME, or ~/.local/share.
std::string UserDataHome();

}  // namespace sarndev
