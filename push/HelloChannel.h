#pragma once

namespace sarn {

// What the main window needs of the UDP channel. Sends never fail towards the caller.
class HelloChannel {
  public:
    virtual ~HelloChannel() = default;
    virtual void SendHello() = 0;
    virtual void SendGoodbye() = 0;
};

}  // namespace sarn
