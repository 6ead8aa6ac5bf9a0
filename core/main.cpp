#include "core/AppContext.h"
#include "core/GeneralErrorBox.h"
#include "core/Settings.h"
#include "core/Utilities.h"
#include "login/LoginEntry.h"
#include "platform/ExecutablePath.h"
#include "platform/SingleInstanceLock.h"
#include "platform/gui/QtMessagePresenter.h"
#include "service/InvokeRegistry.h"
#include "service/ServiceHost.h"
#include "service/SoapClient.h"
#include "session/MainEntry.h"

#include <QApplication>
#include <QWidget>

#include <optional>

namespace {

int Run(int argc, char* argv[]) {
    using namespace sarn;

    // The embedded browser needs contexts shared before anything else of Qt starts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QtMessagePresenter boxes;

    // Held until the process ends; the system releases it however the process ends.
    static SingleInstanceLock lock(QStringLiteral("sarnmutex"));
    if (lock.TryAcquire() == SingleInstanceLock::Result::HeldElsewhere) {
        boxes.Show(QStringLiteral("Sarn资讯提醒您"), QStringLiteral("已经有一个终端在运行"),
                   MessageIcon::Information);
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("Sarn资讯终端"));
    const ServiceHost& host = ServiceHost::BuiltIn();
    RegisterSarnSoap(host.ServiceNamespace());

    SessionState state;
    GeneralErrorBox errors(boxes);
    const QString iniPath = SettingsFilePath();
    std::optional<TUtilities> utilities;
    utilities.emplace(state, iniPath, MakeSarnSoapClient(host));

    AppContext context{
        state, boxes,   errors,           *utilities,
        host,  iniPath, ExecutablePath(), [&host] { return MakeSarnSoapClient(host); }};

    if (RunLoginWindow(context) != 1) {
        return 0;
    }
    const std::unique_ptr<QWidget> mainWindow = CreateMainWindow(context);
    mainWindow->show();
    QApplication::exec();
    return 0;
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
