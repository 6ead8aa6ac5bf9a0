#include "devservice/HelloListener.h"

#include "devservice/Store.h"
#include "devservice/Text.h"
#include "platform/net/BlockingUdpSocket.h"

#include <iostream>

namespace sarndev {

HelloListener::HelloListener(sarn::net::BlockingUdpSocket& socket, Store& store)
    : socket_(socket), store_(store), thread_([this] { Run(); }) {}

HelloListener::~HelloListener() {
    stop_ = true;
    thread_.join();
}

void HelloListener::Run() {
    while (!stop_) {
        try {
            auto d = socket_.Receive(std::chrono::milliseconds(200));
            if (!d || d->bytes.size() < 5) {
                continue;
            }
            const std::string prefix = d->bytes.substr(0, 5);
            const std::string name = GbkToUtf8(std::string_view(d->bytes).substr(5));
            if (prefix == "sarn1") {
                store_.SetOnline({name, d->address, d->port, NowText()});
            } else if (prefix == "sarn3") {
                store_.SetOffline(name);
            }
        } catch (const std::exception& e) {
            std::cerr << "sarn-service: datagram: " << e.what() << "\n";
        }
    }
}

}  // namespace sarndev
