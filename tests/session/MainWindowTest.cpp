#include "core/Helpers.h"
#include "platform/session/TerminationSignals.h"
#include "session/ActivityWatch.h"
#include "tests/session/SessionFixture.h"

#include <QAction>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace sarn;
using namespace sarn::testing;

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void creationOrderAndFirstHello();
    void captionAndAddress_data();
    void captionAndAddress();
    void refusedNavigationSkipsTheFirstHelloOnly();
    void noticeStepOncePerProcessStartsTheTimers();
    void closeSendsGoodbyeBeforeLogout_data();
    void closeSendsGoodbyeBeforeLogout();
    void idleTimeClosesTheWindow();
    void endOfSessionReportsAndSilencesTheTimers();
    void terminationSignalClosesTheWindowOnce();
    void editActionsStealNoKeys();
};

void MainWindowTest::creationOrderAndFirstHello() {
    SessionFixture fixture;
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    const QString digest = PasswordDigest(QStringLiteral("secret"));
    QCOMPARE(
        fixture.service.calls,
        (QStringList{QStringLiteral("GetNews()"), QStringLiteral("CreateClient"),
                     QStringLiteral("GetCustomerProduct(7)"), QStringLiteral("GetNewURL()"),
                     QStringLiteral("Navigate(http://portal.test/index.aspx?UserName=alice&Pwd=") +
                         digest + u')',
                     QStringLiteral("SendHello")}));
    QVERIFY(!window->isVisible());  // the first hello goes out before the window shows
    QVERIFY(!window->Timer1.isActive() && !window->Timer2.isActive() &&
            !window->Timer3.isActive() && !window->Timer4.isActive());

    const QScreen* screen = QGuiApplication::primaryScreen();
    QCOMPARE(window->pos(), QPoint(0, 0));
    QCOMPARE(window->width(), std::max(800, screen->geometry().width()));
    QCOMPARE(window->height(), std::max(600, screen->availableGeometry().height()));
    QCOMPARE(window->minimumSize(), QSize(800, 600));
    QVERIFY(fixture.boxes.shown.empty());
}

void MainWindowTest::captionAndAddress_data() {
    QTest::addColumn<QString>("userName");
    QTest::addColumn<bool>("serviceUp");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("addressStart");
    const QString portal = QStringLiteral("http://portal.test/index.aspx?UserName=");
    QTest::newRow("blanks") << QStringLiteral("li ming  x") << true
                            << QStringLiteral("Sarn 行情专业版")
                            << portal + QStringLiteral("li ming  x&Pwd=");
    QTest::newRow("ampersand") << QStringLiteral("a&b=c") << true
                               << QStringLiteral("Sarn 行情专业版")
                               << portal + QStringLiteral("a&b=c&Pwd=");
    QTest::newRow("chinese") << QStringLiteral("张三丰") << true
                             << QStringLiteral("Sarn 行情专业版")
                             << portal + QStringLiteral("张三丰&Pwd=");
    QTest::newRow("service down") << QStringLiteral("alice") << false << QString()
                                  << QStringLiteral("?UserName=alice&Pwd=");
}

void MainWindowTest::captionAndAddress() {
    QFETCH(QString, userName);
    QFETCH(bool, serviceUp);
    QFETCH(QString, caption);
    QFETCH(QString, addressStart);
    SessionFixture fixture;
    fixture.state.UserName = userName;
    if (!serviceUp) {
        fixture.service.customerProduct = {};
        fixture.service.newUrl = {};
        fixture.service.news = {};
    }
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    QCOMPARE(window->windowTitle(), caption);
    const QString expected = QStringLiteral("Navigate(") + addressStart +
                             PasswordDigest(QStringLiteral("secret")) + u')';
    QVERIFY2(fixture.service.calls.contains(expected),
             qPrintable(fixture.service.calls.join(u'|')));
    QCOMPARE(fixture.service.calls.last(), QStringLiteral("SendHello"));
}

void MainWindowTest::refusedNavigationSkipsTheFirstHelloOnly() {
    SessionFixture fixture;
    fixture.refuseNavigation = true;
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    QCOMPARE(fixture.boxes.Texts(), QStringList{QStringLiteral("The browser refused.")});
    QVERIFY(!fixture.service.calls.contains(QStringLiteral("SendHello")));
    window->show();
    QTRY_VERIFY(window->Timer1.isActive());  // the notice step still ran
    QTRY_VERIFY(fixture.service.calls.contains(QStringLiteral("SendHello")));
}

void MainWindowTest::noticeStepOncePerProcessStartsTheTimers() {
    SessionFixture fixture;
    SessionTimings timings = SessionFixture::Quick();
    timings.helloMs = 600000;
    timings.updateMs = 600000;
    timings.noticeDelayMs = 200;
    const auto window = fixture.MakeWindow(timings);
    window->show();
    QVERIFY(window->Timer4.isActive());
    QVERIFY(!window->Timer1.isActive() && !window->Timer3.isActive());

    // Input before the notice step starts only the idle timer.
    QVERIFY(!window->Timer2.isActive());
    QTest::keyClick(window->windowHandle(), Qt::Key_A);
    QVERIFY(window->Timer2.isActive());
    QVERIFY(!window->Timer1.isActive());

    QTRY_VERIFY(window->Timer1.isActive());
    QVERIFY(window->Timer3.isActive());
    QVERIFY(!window->Timer4.isActive());

    // Hiding and showing again runs no second notice step.
    window->showMinimized();
    window->showNormal();
    window->hide();
    window->show();
    QVERIFY(!window->Timer4.isActive());
}

void MainWindowTest::closeSendsGoodbyeBeforeLogout_data() {
    QTest::addColumn<bool>("serviceUp");
    QTest::addColumn<QString>("logout");
    QTest::newRow("service up") << true << QStringLiteral("AddLogOut(7,10.1.2.3)");
    QTest::newRow("service down") << false << QStringLiteral("AddLogOut(7,)");
}

void MainWindowTest::closeSendsGoodbyeBeforeLogout() {
    QFETCH(bool, serviceUp);
    QFETCH(QString, logout);
    SessionFixture fixture;
    if (!serviceUp) {
        fixture.service.remoteIp = {};
    }
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    window->show();
    QTRY_VERIFY(window->Timer1.isActive());
    fixture.service.calls.clear();

    QVERIFY(window->close());
    window->close();  // a second request once closed reports nothing again
    fixture.service.calls.removeAll(QStringLiteral("SendHello"));
    QCOMPARE(fixture.service.calls,
             (QStringList{QStringLiteral("SendGoodbye"), QStringLiteral("GetRemoteIP()"), logout}));
    QVERIFY(window->IsClosing());
    QVERIFY(!window->isVisible());
    QVERIFY(!window->Timer1.isActive() && !window->Timer2.isActive() && !window->Timer3.isActive());
    QTRY_COMPARE(fixture.loopsEnded, 1);
    QTest::qWait(50);
    QCOMPARE(fixture.loopsEnded, 1);
}

void MainWindowTest::idleTimeClosesTheWindow() {
    SessionFixture fixture;
    SessionTimings timings = SessionFixture::Quick();
    timings.idleMs = 150;
    const auto window = fixture.MakeWindow(timings);
    window->show();
    QTRY_VERIFY(window->Timer1.isActive());
    // Scrolling is no activity: the window closes although the wheel keeps turning.
    for (int i = 0; i < 10 && window->isVisible(); ++i) {
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(window->windowHandle(), &wheel);
        QTest::qWait(30);
    }
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(fixture.service.calls.contains(QStringLiteral("SendGoodbye")));
    QVERIFY(fixture.service.calls.contains(QStringLiteral("AddLogOut(7,10.1.2.3)")));
    QTRY_COMPARE(fixture.loopsEnded, 1);
}

void MainWindowTest::endOfSessionReportsAndSilencesTheTimers() {
    SessionFixture fixture;
    fixture.service.versionNumber = [] { return QString(); };
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    window->show();
    QTRY_VERIFY(fixture.service.calls.contains(QStringLiteral("GetNewVersionNumber()")));
    fixture.service.calls.clear();

    window->WMQueryEndSession();
    QCOMPARE(fixture.service.calls,
             (QStringList{QStringLiteral("SendGoodbye"), QStringLiteral("GetRemoteIP()"),
                          QStringLiteral("AddLogOut(7,10.1.2.3)")}));
    // The session may go on: the window stays, its timers run without effect.
    QTest::qWait(120);
    QCOMPARE(fixture.service.calls.size(), 3);
    QVERIFY(window->isVisible() && window->Timer1.isActive() && window->Timer3.isActive());

    window->close();
    QCOMPARE(fixture.service.calls.mid(3),
             (QStringList{QStringLiteral("SendGoodbye"), QStringLiteral("GetRemoteIP()"),
                          QStringLiteral("AddLogOut(7,10.1.2.3)")}));
}

void MainWindowTest::terminationSignalClosesTheWindowOnce() {
    SessionFixture fixture;
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    window->show();
    TerminationSignals termination;
    connect(&termination, &TerminationSignals::Requested, window.get(), &QWidget::close);
    QSignalSpy requested(&termination, &TerminationSignals::Requested);
    std::raise(SIGTERM);
    std::raise(SIGINT);
    QTRY_VERIFY(!requested.isEmpty());
    QTRY_VERIFY(!window->isVisible());
    QTest::qWait(20);
    QCOMPARE(fixture.service.calls.count(QStringLiteral("SendGoodbye")), 1);
    QCOMPARE(fixture.service.calls.count(QStringLiteral("AddLogOut(7,10.1.2.3)")), 1);
}

void MainWindowTest::editActionsStealNoKeys() {
    SessionFixture fixture;
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    const QList<std::pair<QAction*, QString>> actions{
        {window->EditCut1, QStringLiteral("剪切")},
        {window->EditCopy1, QStringLiteral("复制")},
        {window->EditPaste1, QStringLiteral("粘贴")},
        {window->EditSelectAll1, QStringLiteral("全选")},
        {window->EditUndo1, QStringLiteral("撤消")},
        {window->EditDelete1, QStringLiteral("删除")}};
    for (const auto& [action, caption] : actions) {
        QCOMPARE(action->text(), caption);
        QVERIFY(action->associatedObjects().isEmpty());
    }
    QCOMPARE(window->EditSelectAll1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    window->show();
    QSignalSpy triggered(window->EditSelectAll1, &QAction::triggered);
    QTest::keyClick(window->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(triggered.isEmpty());
}

// The watch on its own, over a window with a stand-in browser and one widget beside it.
class ActivityWatchTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void countsEachInputOnce_data();
    void countsEachInputOnce();
    void rightClickInsideBrowserIsSwallowed();

  private:
    std::unique_ptr<QWidget> window_;
    QWidget* browser_ = nullptr;
    RecordingWidget* page_ = nullptr;
    RecordingWidget* beside_ = nullptr;
    std::unique_ptr<ActivityWatch> watch_;
    int counted_ = 0;
};

void ActivityWatchTest::init() {
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 200);
    browser_ = new QWidget(window_.get());
    browser_->setGeometry(0, 0, 200, 200);
    page_ = new RecordingWidget(browser_);
    page_->setGeometry(0, 0, 200, 200);
    beside_ = new RecordingWidget(window_.get());
    beside_->setGeometry(200, 0, 200, 200);
    counted_ = 0;
    watch_ = std::make_unique<ActivityWatch>(browser_, [this] { ++counted_; });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    counted_ = 0;
}

void ActivityWatchTest::cleanup() {
    watch_.reset();
    window_.reset();
}

enum class Input { Key, AltKey, F10, LeftClick, RightClick, MiddleClick, Move, Wheel, DoubleClick };

void ActivityWatchTest::countsEachInputOnce_data() {
    QTest::addColumn<Input>("input");
    QTest::addColumn<int>("counted");
    QTest::newRow("key press and release") << Input::Key << 2;
    QTest::newRow("Alt key") << Input::AltKey << 0;
    QTest::newRow("F10") << Input::F10 << 0;
    QTest::newRow("left click") << Input::LeftClick << 2;
    QTest::newRow("right click") << Input::RightClick << 2;
    QTest::newRow("left double click")
        << Input::DoubleClick << 5;  // press release press dbl release
    QTest::newRow("middle click") << Input::MiddleClick << 0;
    QTest::newRow("move") << Input::Move << 1;
    QTest::newRow("wheel") << Input::Wheel << 0;
}

void ActivityWatchTest::countsEachInputOnce() {
    QFETCH(Input, input);
    QFETCH(int, counted);
    QWindow* handle = window_->windowHandle();
    const QPoint inPage(50, 50);
    // The pointer is already where the clicks go, so they bring no move of their own.
    QTest::mouseMove(handle, input == Input::RightClick ? QPoint(300, 50) : inPage);
    counted_ = 0;
    switch (input) {
        case Input::Key:
            QTest::keyClick(handle, Qt::Key_Q);
            break;
        case Input::AltKey:
            QTest::keyClick(handle, Qt::Key_F, Qt::AltModifier);
            break;
        case Input::F10:
            QTest::keyClick(handle, Qt::Key_F10);
            break;
        case Input::LeftClick:
            QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, inPage);
            break;
        case Input::RightClick:
            QTest::mouseClick(handle, Qt::RightButton, Qt::NoModifier, QPoint(300, 50));
            break;
        case Input::DoubleClick:
            QTest::mouseDClick(handle, Qt::LeftButton, Qt::NoModifier, inPage);
            break;
        case Input::MiddleClick:
            QTest::mouseClick(handle, Qt::MiddleButton, Qt::NoModifier, inPage);
            break;
        case Input::Move:
            QTest::mouseMove(handle, QPoint(60, 70));
            break;
        case Input::Wheel: {
            QWheelEvent wheel(QPointF{inPage}, QPointF{inPage}, QPoint(), QPoint(0, 120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(handle, &wheel);
            break;
        }
    }
    QCOMPARE(counted_, counted);
}

void ActivityWatchTest::rightClickInsideBrowserIsSwallowed() {
    QWindow* handle = window_->windowHandle();
    QTest::mouseMove(handle, QPoint(50, 50));
    counted_ = 0;
    QTest::mouseClick(handle, Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
    QVERIFY(page_->pressed.isEmpty());
    QCOMPARE(page_->contextMenus, 0);
    QCOMPARE(counted_, 2);

    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(page_->pressed, QList<Qt::MouseButton>{Qt::LeftButton});

    QTest::mouseClick(handle, Qt::RightButton, Qt::NoModifier, QPoint(300, 50));
    QCOMPARE(beside_->pressed, QList<Qt::MouseButton>{Qt::RightButton});
    QCOMPARE(beside_->contextMenus, 1);
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failures = 0;
    {
        MainWindowTest test;
        failures += QTest::qExec(&test, argc, argv);
    }
    {
        ActivityWatchTest test;
        failures += QTest::qExec(&test, argc, argv);
    }
    return failures;
}

#include "MainWindowTest.moc"
