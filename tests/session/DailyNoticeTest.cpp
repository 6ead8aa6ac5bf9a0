#include "platform/CodePage.h"
#include "session/FormHint.h"
#include "tests/session/SessionFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <cmath>

using namespace sarn;
using namespace sarn::testing;

namespace {

QString NoticeOf(const QString& text) {
    return QString::fromLatin1(ToAnsi(text).toBase64());
}

// What the user does in the dialog; runs inside its modal loop.
struct Reaction {
    bool clearBox = false;
    std::function<void(TFormHint&)> look;
};

// Polls for the dialog and, once it shows, reacts and closes it.
void WhenNoticeShows(QObject* context, Reaction reaction, bool* shown) {
    auto* poll = new QTimer(context);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, context, [poll, reaction, shown] {
        if (FormHint == nullptr || !FormHint->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        *shown = true;
        if (reaction.look) {
            reaction.look(*FormHint);
        }
        if (reaction.clearBox) {
            FormHint->CheckBox1->setChecked(false);
        }
        QTest::mouseClick(FormHint->Button1, Qt::LeftButton);
    });
    poll->start();
}

QByteArray IniBytes(const SessionFixture& fixture) {
    QFile file(fixture.context->iniPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class DailyNoticeTest : public QObject {
    Q_OBJECT

  private slots:
    void firstRunShowsThePlainNoticeAndStoresTheDay();
    void dateRule_data();
    void dateRule();
    void dateIsTakenAgainWhenTheDialogCloses();
    void emptyNoticeStartsTheTimersAtOnce();
    void unevenNoticeShowsTheErrorAndStartsNoTimer();
};

void DailyNoticeTest::firstRunShowsThePlainNoticeAndStoresTheDay() {
    SessionFixture fixture;
    const QString notice = QStringLiteral("今日公告 <b>不是标记</b>\r\n第二行");
    fixture.service.news = [notice] { return NoticeOf(notice); };
    SessionTimings timings = SessionFixture::Quick();
    timings.helloMs = 15;
    const auto window = fixture.MakeWindow(timings);
    bool shown = false;
    int hellosWhileOpen = -1;
    Reaction reaction;
    reaction.look = [&](TFormHint& hint) {
        QCOMPARE(hint.windowTitle(), QStringLiteral("Sarn资讯"));
        QVERIFY(hint.CheckBox1->isChecked());
        QCOMPARE(hint.CheckBox1->text(), QStringLiteral("今日不再提示"));
        QCOMPARE(hint.Memo1->toPlainText(), QStringLiteral("今日公告 <b>不是标记</b>\n第二行"));
        QVERIFY(hint.Memo1->isReadOnly());
        const double scale = hint.screen()->logicalDotsPerInchY() / 120.0;
        QCOMPARE(hint.size(), QSize(std::lround(582 * scale), std::lround(355 * scale)));
        QCOMPARE(hint.Memo1->font().pixelSize(), std::lround(20 * scale));
        QVERIFY(!window->isEnabled() || hint.isModal());
        QTest::qWait(80);  // several hello intervals pass while the dialog is open
        hellosWhileOpen =
            static_cast<int>(fixture.service.calls.count(QStringLiteral("SendHello")));
    };
    WhenNoticeShows(window.get(), reaction, &shown);
    window->show();
    QTRY_VERIFY(window->Timer1.isActive());
    QVERIFY(shown);
    QCOMPARE(hellosWhileOpen, 1);  // only the one sent at creation
    QVERIFY(window->Timer2.isActive() && window->Timer3.isActive());
    QVERIFY(FormHint == nullptr);
    QVERIFY(fixture.state.Hint);
    QCOMPARE(fixture.state.Today, QStringLiteral("2026/12/11"));
    const QByteArray ini = IniBytes(fixture);
    QVERIFY2(ini.contains("Hint=1") && ini.contains("Today=2026/12/11"), ini.constData());
}

void DailyNoticeTest::dateRule_data() {
    QTest::addColumn<bool>("hint");
    QTest::addColumn<QString>("storedDay");
    QTest::addColumn<bool>("clearBox");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("hintAfter");
    const QString day = QStringLiteral("2026/12/11");
    QTest::newRow("same day, not again") << true << day << false << false << true;
    QTest::newRow("same day, box was cleared") << false << day << false << true << false;
    QTest::newRow("new day, box as left")
        << true << QStringLiteral("2026/12/10") << false << true << true;
    QTest::newRow("other date format")
        << true << QStringLiteral("11.12.2026") << false << true << true;
    QTest::newRow("user clears the box") << true << QString() << true << true << false;
}

void DailyNoticeTest::dateRule() {
    QFETCH(bool, hint);
    QFETCH(QString, storedDay);
    QFETCH(bool, clearBox);
    QFETCH(bool, shown);
    QFETCH(bool, hintAfter);
    SessionFixture fixture;
    fixture.state.Hint = hint;
    fixture.state.Today = storedDay;
    fixture.service.news = [] { return NoticeOf(QStringLiteral("公告")); };
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    bool wasShown = false;
    bool boxChecked = false;
    Reaction reaction;
    reaction.clearBox = clearBox;
    reaction.look = [&](TFormHint& dialog) { boxChecked = dialog.CheckBox1->isChecked(); };
    WhenNoticeShows(window.get(), reaction, &wasShown);
    window->show();
    QTRY_VERIFY(window->Timer1.isActive());
    QCOMPARE(wasShown, shown);
    QCOMPARE(fixture.state.Hint, hintAfter);
    if (shown) {
        QCOMPARE(boxChecked, hint);
        QCOMPARE(fixture.state.Today, QStringLiteral("2026/12/11"));
        QVERIFY(fixture.service.calls.contains(QStringLiteral("EncryptDES(alice)")));
    } else {
        QCOMPARE(fixture.state.Today, storedDay);
        QVERIFY(!fixture.service.calls.contains(QStringLiteral("EncryptDES(alice)")));
    }
}

void DailyNoticeTest::dateIsTakenAgainWhenTheDialogCloses() {
    SessionFixture fixture;
    fixture.service.news = [] { return NoticeOf(QStringLiteral("公告")); };
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    bool shown = false;
    Reaction reaction;
    reaction.look = [&](TFormHint&) { fixture.todayText = QStringLiteral("2026/12/12"); };
    WhenNoticeShows(window.get(), reaction, &shown);
    window->show();
    QTRY_VERIFY(window->Timer1.isActive());
    QVERIFY(shown);
    QCOMPARE(fixture.state.Today, QStringLiteral("2026/12/12"));
}

void DailyNoticeTest::emptyNoticeStartsTheTimersAtOnce() {
    SessionFixture fixture;
    fixture.service.news = {};  // the call fails
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    window->show();
    QTRY_VERIFY(window->Timer1.isActive());
    QVERIFY(window->Timer2.isActive() && window->Timer3.isActive());
    QVERIFY(FormHint == nullptr);
    QVERIFY(!QFile::exists(fixture.context->iniPath));  // nothing saved
}

void DailyNoticeTest::unevenNoticeShowsTheErrorAndStartsNoTimer() {
    SessionFixture fixture;
    fixture.state.Hint = false;
    fixture.state.Today = QStringLiteral("2026/01/01");
    fixture.service.news = [] { return QStringLiteral("5YWs5"); };
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    window->show();
    QTRY_COMPARE(fixture.boxes.Texts(),
                 QStringList{QStringLiteral("Uneven size in DecodeToStream.")});
    QCOMPARE(fixture.boxes.shown.front().caption, QStringLiteral("Sarn资讯终端"));
    QTest::qWait(50);
    QVERIFY(!window->Timer1.isActive() && !window->Timer2.isActive() && !window->Timer3.isActive());
    QVERIFY(FormHint != nullptr && !FormHint->isVisible());
    QVERIFY(!fixture.state.Hint);
    QCOMPARE(fixture.state.Today, QStringLiteral("2026/01/01"));
    QVERIFY(!QFile::exists(fixture.context->iniPath));
}

QTEST_MAIN(DailyNoticeTest)
#include "DailyNoticeTest.moc"
