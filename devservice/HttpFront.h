#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace httplib {
class Server;
}

namespace sarndev {

class Store;

struct HttpOptions {
    // For a request without a Host header; the bound address when left empty.
    std::string fallbackHost;
    size_t maxRequestBytes = 16u << 20;
    // When set, every SOAP reply stops after this many body bytes and the connection stays
    // open without sending more: a stalled service, for the client's tests.
    std::optional<size_t> stallAfterBytes;
};

// The HTTP side of the service: the description, the SOAP endpoint, the portal and the two
// pages of the login window's links.
class HttpFront {
  public:
    HttpFront(Store& store, HttpOptions options);
    ~HttpFront();

    // Binds; port 0 picks a free one. Returns the bound port; throws on failure.
    int Bind(const std::string& address, int port);
    // Serves until Stop(); call from a thread of its own.
    void Serve();
    void Stop();

  private:
    void Routes();
    std::unique_ptr<httplib::Server> server_;
    // Read by replies held back by the stall option, so that stopping does not wait on them.
    std::shared_ptr<std::atomic<bool>> stopping_ = std::make_shared<std::atomic<bool>>(false);
    Store& store_;
    HttpOptions options_;
};

}  // namespace sarndev
