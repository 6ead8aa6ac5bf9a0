#include "session/MainEntry.h"

#include "core/AppContext.h"
#include "platform/session/ShortDate.h"
#include "platform/session/TerminationSignals.h"
#include "push/ClientFactory.h"
#include "session/FormMain.h"

#include <QCoreApplication>

namespace sarn {

std::unique_ptr<QWidget> CreateMainWindow(AppContext& context) {
    MainWindowParts parts;
    parts.makeBrowser = MakeWebEngineBrowser;
    parts.makeClient = [&context](std::function<int()> frameHeight) {
        return CreateSessionClient(context, std::move(frameHeight));
    };
    parts.today = TodayShortDateText;
    parts.endLoop = [] { QCoreApplication::quit(); };
    auto window = std::make_unique<TFormMain>(context, std::move(parts));

    // A kill or the end of the desktop session closes the window as the user would, so the
    // goodbye and the logout report always go out.
    context.errors.Guard([&window] {
        auto* termination = new TerminationSignals(window.get());
        QObject::connect(termination, &TerminationSignals::Requested, window.get(),
                         &QWidget::close);
    });
    return window;
}

}  // namespace sarn
