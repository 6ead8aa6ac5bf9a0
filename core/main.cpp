#include "core/AppContext.h"
#include "core/GeneralErrorBox.h"
#include "core/Settings.h"
#include "core/StartUp.h"
#include "core/Utilities.h"
#include "login/LoginEntry.h"
#include "platform/ExecutablePath.h"
#include "platform/SingleInstanceLock.h"
#include "platform/gui/QtMessagePresenter.h"
#include "platform/http/QtCredentialsPrompt.h"
#include "service/InvokeRegistry.h"
#include "service/ServiceHost.h"
#include "service/SoapClient.h"
#include "session/MainEntry.h"

#include <QApplication>
#include <QWidget>

#include <optional>

namespace {

// The last net under every event handler: an error that a handler let escape is shown in the
// general error box instead of ending the program inside Qt's event loop.
class SarnApplication : public QApplication {
  public:
    using QApplication::QApplication;

    void SetErrorBox(sarn::GeneralErrorBox* errors) { errors_ = errors; }

    bool notify(QObject* receiver, QEvent* event) override {
        bool handled = false;
        if (errors_ == nullptr) {
            try {
                handled = QApplication::notify(receiver, event);
            } catch (...) {  // nothing to show it with yet; the program goes on
            }
            return handled;
        }
        errors_->Guard([&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }

  private:
    sarn::GeneralErrorBox* errors_ = nullptr;
};

int Run(int argc, char* argv[]) {
    using namespace sarn;

    // The embedded browser needs its contexts shared before anything else of Qt starts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    SarnApplication application(argc, argv);
    QtMessagePresenter boxes;
    GeneralErrorBox errors(boxes);
    application.SetErrorBox(&errors);

    // Held until the process ends; the system releases it however the process ends.
    static SingleInstanceLock lock(QStringLiteral("sarnmutex"));

    const ServiceHost& host = ServiceHost::BuiltIn();
    SessionState state;
    const QString iniPath = SettingsFilePath();
    const QString executablePath = ExecutablePath();
    std::optional<TUtilities> utilities;
    std::optional<AppContext> context;

    StartUpSteps steps;
    steps.otherCopyRunning = [] {
        return lock.TryAcquire() == SingleInstanceLock::Result::HeldElsewhere;
    };
    steps.initialiseApplication = [&] {
        QApplication::setApplicationName(QStringLiteral("Sarn资讯终端"));
        RegisterSarnSoap(host.ServiceNamespace());
    };
    // Only HTTPRIO1 asks for credentials: it runs on the main thread. The update thread's own
    // clients get no prompt, so a 401 there fails the download quietly.
    http::QtCredentialsPrompt credentialsPrompt;
    steps.createUtilities = [&] {
        utilities.emplace(state, iniPath,
                          MakeSarnSoapClient(host, SoapClientSeams{&credentialsPrompt, {}}),
                          &errors);
        context.emplace(AppContext{state, boxes, errors, *utilities, host, iniPath, executablePath,
                                   [&host] { return MakeSarnSoapClient(host); }});
    };
    steps.runLoginWindow = [&] { return context ? RunLoginWindow(*context) : 0; };
    steps.runMainWindow = [&] {
        const std::unique_ptr<QWidget> mainWindow = CreateMainWindow(*context);
        mainWindow->show();
        QApplication::exec();
    };
    steps.releaseUtilities = [&] {
        context.reset();
        utilities.reset();
    };
    return RunStartUp(boxes, errors, steps);
}

}  // namespace

int main(int argc, char* argv[]) {
    // The program takes no arguments of its own; Qt gets none either.
    (void)argc;
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    try {
        Run(qtArgc, qtArgv);
    } catch (...) {  // whatever happened, the program ends with code 0
    }
    return 0;
}
