#pragma once

#include "push/HelloChannel.h"

#include <functional>
#include <memory>

namespace sarn {

struct AppContext;

// Creates the UDP channel of a logged-in session: the socket is open and its listener runs when
// this returns. Every datagram that arrives becomes a notification popup with the sound.
// mainWindowFrameHeight gives the main window's outer height minus its client height, which
// places the popups. Errors opening the socket are shown in the general error box; the channel
// then retries at each send.
std::unique_ptr<HelloChannel> CreateSessionClient(AppContext& context,
                                                  std::function<int()> mainWindowFrameHeight);

}  // namespace sarn
