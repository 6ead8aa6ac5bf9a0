#include "push/ClientFactory.h"

namespace sarn {

namespace {

// Placeholder until the channel lands.
class SilentChannel : public HelloChannel {
public:
    void SendHello() override {}
    void SendGoodbye() override {}
};

}  // namespace

std::unique_ptr<HelloChannel> CreateSessionClient(AppContext&, std::function<int()>) {
    return std::make_unique<SilentChannel>();
}

}  // namespace sarn
