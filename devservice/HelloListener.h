#pragma once

#include <atomic>
#include <thread>

namespace sarn::net {
class BlockingUdpSocket;
}

namespace sarndev {

class Store;

// Keeps the table of online users from the clients' datagrams: "sarn1" + name (GBK) records
// the sender's address and port under the name, "sarn3" + name forgets it. Anything else is
// ignored.
class HelloListener {
  public:
    HelloListener(sarn::net::BlockingUdpSocket& socket, Store& store);
    ~HelloListener();  // stops and joins
    HelloListener(const HelloListener&) = delete;
    HelloListener& operator=(const HelloListener&) = delete;

  private:
    void Run();
    sarn::net::BlockingUdpSocket& socket_;
    Store& store_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace sarndev
