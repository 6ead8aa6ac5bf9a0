#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace sarn {

// "Cannot allocate socket." or "Socket Error # <n>\r\n<the system's description>".
class SocketError : public SarnError {
  public:
    using SarnError::SarnError;
    static SocketError FromErrno(int error);
};

struct UdpDatagram {
    QByteArray data;
    std::uint32_t peerAddress = 0;  // host byte order
    quint16 peerPort = 0;
};

// One IPv4 UDP socket on 0.0.0.0 and a port the system picks, that receives and sends. A
// listener thread waits for datagrams and hands each one to the thread that created the server,
// through that thread's Qt event queue (so nested event loops and modal dialogs deliver it too),
// and waits until the handler has returned: datagrams are handled one at a time, in order.
// Everything except the listener runs on the creating thread.
class UdpServer {
  public:
    using ReadHandler = std::function<void(const UdpDatagram&)>;

    // Datagrams longer than bufferSize are dropped, not cut. The handler's errors are swallowed.
    UdpServer(ReadHandler handler, std::chrono::milliseconds wait, std::size_t bufferSize = 8192);
    ~UdpServer();
    UdpServer(const UdpServer&) = delete;
    UdpServer& operator=(const UdpServer&) = delete;

    // Binds the socket and starts the listener; does nothing when open. Throws SocketError.
    void Open();
    // Stops and joins the listener and closes the socket. A datagram the listener has already
    // queued is handled first, so the listener can end; called from inside the handler, the
    // listener is let go instead.
    void Close();
    bool IsOpen() const { return socket_ >= 0; }
    quint16 LocalPort() const { return localPort_; }

    // Sends one datagram, opening the socket first when it is closed. Throws SocketError when
    // the system rejects the send or takes fewer bytes than given.
    void SendTo(std::uint32_t address, quint16 port, const QByteArray& bytes);

  private:
    struct HandOver;

    void Listen(int socket, int wake);
    void Deliver(UdpDatagram datagram);
    static void Run(const ReadHandler& handler, HandOver& handOver);

    const ReadHandler handler_;
    const std::chrono::milliseconds wait_;
    const std::size_t bufferSize_;
    std::unique_ptr<QObject> receiver_;  // lives in the creating thread; hand-overs run there

    int socket_ = -1;
    int wake_ = -1;  // written by Close so the listener need not sit out its wait
    quint16 localPort_ = 0;
    std::thread listener_;
    std::atomic<bool> stop_{false};

    std::mutex pendingMutex_;
    std::shared_ptr<HandOver> pending_;  // the hand-over the listener waits for, if any
};

}  // namespace sarn
