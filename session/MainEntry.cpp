#include "session/MainEntry.h"

#include "core/AppContext.h"

#include <QLabel>
#include <QWidget>

namespace sarn {

// Placeholder main window until the real one lands.
std::unique_ptr<QWidget> CreateMainWindow(AppContext& context) {
    auto window =
        std::make_unique<QLabel>(QStringLiteral("Sarn资讯终端: ") + context.state.UserName);
    window->resize(800, 600);
    return window;
}

}  // namespace sarn
