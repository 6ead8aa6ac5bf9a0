#pragma once

#include "platform/session/FileReplacement.h"
#include "push/HelloChannel.h"
#include "session/PortalBrowser.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QCloseEvent;
class QShowEvent;

namespace sarn {

struct AppContext;
class ActivityWatch;
class TUpdateThread;

// How often the session timers fire; tests shorten them.
struct SessionTimings {
    int helloMs = 30000;      // Timer1
    int idleMs = 3540000;     // Timer2: 59 minutes without input
    int updateMs = 300000;    // Timer3
    int noticeDelayMs = 500;  // Timer4, once
};

// What the main window is built with besides the context.
struct MainWindowParts {
    std::function<std::unique_ptr<PortalBrowser>(QWidget* window)> makeBrowser;
    // Opens the UDP channel; the argument gives the window's frame height.
    std::function<std::unique_ptr<HelloChannel>(std::function<int()>)> makeClient;
    std::function<QString()> today;  // the short date text
    std::function<void()> endLoop;   // runs once the window has closed
    SessionTimings timings;
    std::function<void(ReplacementStep)> installStep;  // observes each step of an update
};

// The main window of a logged-in session: the portal browser, the session timers, the daily
// notice, the update check and the logout report.
class TFormMain : public QWidget {
    Q_OBJECT

  public:
    TFormMain(AppContext& context, MainWindowParts parts);
    ~TFormMain() override;

    // Also the reply to the end of the desktop session: the goodbye and the logout report go
    // out, the session may end, the window stays until it is closed.
    void WMQueryEndSession();

    bool IsClosing() const { return Closing; }
    PortalBrowser& WebBrowser1() { return *browser_; }

    QTimer Timer1;
    QTimer Timer2;
    QTimer Timer3;
    QTimer Timer4;

    QAction* EditCut1 = nullptr;
    QAction* EditCopy1 = nullptr;
    QAction* EditPaste1 = nullptr;
    QAction* EditSelectAll1 = nullptr;
    QAction* EditUndo1 = nullptr;
    QAction* EditDelete1 = nullptr;

  signals:
    void UpdateCheckDone();  // after UpdateFinished has run

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateActions();
    void FormCreate();
    void OpenPortal();
    void FormShow();
    void FormClose();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    void ShowDailyNotice();
    void UpdateFinished();
    void ReportLogout();

    AppContext& context_;
    MainWindowParts parts_;
    std::unique_ptr<PortalBrowser> browser_;
    ActivityWatch* ApplicationEvents1 = nullptr;
    std::unique_ptr<HelloChannel> Client;
    QPointer<TUpdateThread> updateThread_;

    QString NoticeText;
    qint32 NoticePending = 0;
    bool Closing = false;
    bool closed_ = false;
};

}  // namespace sarn
