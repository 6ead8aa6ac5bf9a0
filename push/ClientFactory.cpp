#include "push/ClientFactory.h"

#include "core/AppContext.h"
#include "platform/sound/SoundPlayer.h"
#include "push/Client.h"
#include "push/FormTips.h"

namespace sarn {

std::unique_ptr<HelloChannel> CreateSessionClient(AppContext& context,
                                                  std::function<int()> mainWindowFrameHeight) {
    PopupPlacement placement{&PrimaryScreenSize, std::move(mainWindowFrameHeight)};
    auto client = std::make_unique<TClient>(
        context.state, context.host.HostName(), std::make_shared<PulseSoundPlayer>(),
        [placement] { return new TFormTips(placement, PopupTiming{}); });
    // Without a socket the session runs on; each later send tries to open it again.
    context.errors.Guard([&client] { client->DataModuleCreate(); });
    return client;
}

}  // namespace sarn
