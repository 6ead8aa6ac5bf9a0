#pragma once

// A main window built on fakes: the service records every call into one log, and the browser
// and the UDP channel append to the same log, so a test sees the order of everything.

#include "core/AppContext.h"
#include "core/GeneralErrorBox.h"
#include "core/Utilities.h"
#include "service/ServiceHost.h"
#include "service/Wrappers.h"
#include "session/FormMain.h"
#include "tests/support/FakeSarnSoap.h"

#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <optional>

namespace sarn::testing {

// Hands out the fake without owning it; TUtilities insists on owning its client.
class BorrowedService : public SarnSoapProvider {
  public:
    explicit BorrowedService(FakeSarnSoap& fake) : fake_(fake) {}
    sarnSoap& GetsarnSoap() override { return fake_; }

  private:
    FakeSarnSoap& fake_;
};

// Remembers the mouse buttons it was pressed with.
class RecordingWidget : public QWidget {
  public:
    using QWidget::QWidget;
    QList<Qt::MouseButton> pressed;
    int contextMenus = 0;

  protected:
    void mousePressEvent(QMouseEvent* event) override { pressed << event->button(); }
    void contextMenuEvent(QContextMenuEvent*) override { ++contextMenus; }
};

class FakeBrowser : public PortalBrowser {
  public:
    FakeBrowser(QWidget* window, QStringList& log, bool refuse) : log_(log), refuse_(refuse) {
        view = new QWidget(window);
        page = new RecordingWidget(view);
        page->setGeometry(0, 0, 4000, 4000);
    }
    void Navigate(const QString& address) override {
        log_ << QStringLiteral("Navigate(") + address + u')';
        if (refuse_) {
            throw SarnError(QStringLiteral("The browser refused"));
        }
    }
    QWidget* Widget() override { return view; }

    QWidget* view = nullptr;
    RecordingWidget* page = nullptr;

  private:
    QStringList& log_;
    bool refuse_;
};

class FakeChannel : public HelloChannel {
  public:
    explicit FakeChannel(QStringList& log) : log_(log) { log_ << QStringLiteral("CreateClient"); }
    void SendHello() override { log_ << QStringLiteral("SendHello"); }
    void SendGoodbye() override { log_ << QStringLiteral("SendGoodbye"); }

  private:
    QStringList& log_;
};

struct SessionFixture {
    QTemporaryDir dir;
    FakeSarnSoap service;
    RecordingPresenter boxes;
    GeneralErrorBox errors{boxes};
    SessionState state;
    ServiceHost host{QStringLiteral("127.0.0.1:9")};
    std::optional<TUtilities> utilities;
    std::optional<AppContext> context;
    FakeBrowser* browser = nullptr;
    bool refuseNavigation = false;
    int loopsEnded = 0;
    QString todayText = QStringLiteral("2026/12/11");
    std::function<QString()> today = [this] { return todayText; };

    SessionFixture() {
        utilities.emplace(state, dir.filePath(QStringLiteral("info.ini")),
                          std::make_unique<BorrowedService>(service));
        context.emplace(AppContext{state,
                                   boxes,
                                   errors,
                                   *utilities,
                                   host,
                                   dir.filePath(QStringLiteral("info.ini")),
                                   dir.filePath(QStringLiteral("sarn-terminal")),
                                   {}});
        state.UserName = QStringLiteral("alice");
        state.Password = QStringLiteral("secret");
        state.CustomerID = 7;
        service.customerProduct = [](qint32) { return QStringLiteral("Sarn 行情专业版"); };
        service.newUrl = [] { return QStringLiteral("http://portal.test/index.aspx"); };
        service.news = [] { return QString(); };
    }

    std::unique_ptr<TFormMain> MakeWindow(SessionTimings timings,
                                          std::function<void(ReplacementStep)> step = {}) {
        service.calls.clear();
        MainWindowParts parts;
        parts.makeBrowser = [this](QWidget* window) {
            auto fake = std::make_unique<FakeBrowser>(window, service.calls, refuseNavigation);
            browser = fake.get();
            return fake;
        };
        parts.makeClient = [this](std::function<int()>) {
            return std::make_unique<FakeChannel>(service.calls);
        };
        parts.today = [this] { return today(); };
        parts.endLoop = [this] { ++loopsEnded; };
        parts.timings = timings;
        parts.installStep = std::move(step);
        return std::make_unique<TFormMain>(*context, std::move(parts));
    }

    // Intervals short enough for a test, the idle close out of the way.
    static SessionTimings Quick() {
        SessionTimings timings;
        timings.helloMs = 20;
        timings.idleMs = 600000;
        timings.updateMs = 20;
        timings.noticeDelayMs = 10;
        return timings;
    }
};

}  // namespace sarn::testing
