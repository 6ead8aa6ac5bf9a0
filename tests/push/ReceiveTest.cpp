#include "core/SessionState.h"
#include "platform/sound/SoundPlayer.h"
#include "push/Client.h"
#include "push/FormTips.h"
#include "push/TextLabel.h"

#include <QHostAddress>
#include <QPointer>
#include <QUdpSocket>
#include <QtTest>

#include <stdexcept>

using namespace sarn;
using namespace std::chrono_literals;

namespace {

class RecordingPlayer : public SoundPlayer {
  public:
    void PlaySync(const QByteArray& wave) override {
        ++plays;
        lastWave = wave;
        popupAtPlay = FormTips;
        popupVisibleAtPlay = FormTips != nullptr && FormTips->isVisible();
    }
    int plays = 0;
    QByteArray lastWave;
    TFormTips* popupAtPlay = nullptr;
    bool popupVisibleAtPlay = false;
};

struct Created {
    QPointer<TFormTips> popup;
    int playsBefore = 0;
    bool previousSlideInDone = true;  // the popup made before it had finished sliding in
};

}  // namespace

class ReceiveTest : public QObject {
    Q_OBJECT

  private:
    SessionState state_;
    std::shared_ptr<RecordingPlayer> player_;
    std::unique_ptr<TClient> client_;
    QList<Created> created_;
    bool failCreation_ = false;
    int failedCreations_ = 0;
    std::chrono::milliseconds popupWait_ = 60s;
    QUdpSocket sender_;

    void Send(const QByteArray& bytes) {
        QCOMPARE(sender_.writeDatagram(bytes, QHostAddress::LocalHost, client_->LocalPort()),
                 bytes.size());
    }

  private slots:
    void init() {
        player_ = std::make_shared<RecordingPlayer>();
        created_.clear();
        failCreation_ = false;
        failedCreations_ = 0;
        popupWait_ = 60s;
        FormTips = nullptr;
        auto factory = [this]() -> TFormTips* {
            if (failCreation_) {
                ++failedCreations_;
                throw std::runtime_error("no more windows");
            }
            Created made;
            if (!created_.isEmpty() && created_.last().popup) {
                const TFormTips* previous = created_.last().popup;
                made.previousSlideInDone = previous->Tag <= 0 && previous->Timer1->isActive();
            }
            made.playsBefore = player_->plays;
            made.popup =
                new TFormTips(PopupPlacement{[] { return QSize(1024, 768); }, [] { return 30; }},
                              PopupTiming{1ms, popupWait_});
            created_.append(made);
            return made.popup;
        };
        client_ = std::make_unique<TClient>(state_, QStringLiteral("127.0.0.1"), player_, factory);
        client_->DataModuleCreate();
        QVERIFY(sender_.bind(QHostAddress::LocalHost, 0));
    }

    void cleanup() {
        client_.reset();
        sender_.close();
        QTest::qWait(0);
    }

    void eachDatagramBecomesAPopupAfterTheSound_data() {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("time");
        QTest::newRow("crlf") << QByteArray("Title\r\nBody\r\n2026-12-11 12:00")
                              << QStringLiteral("Title") << QStringLiteral("Body")
                              << QStringLiteral("2026-12-11 12:00");
        QTest::newRow("gbk") << QByteArray("\xcd\xa8\xd6\xaa\n\xc4\xda\xc8\xdd\n12:00")
                             << QStringLiteral("通知") << QStringLiteral("内容")
                             << QStringLiteral("12:00");
        QTest::newRow("invalid gbk") << QByteArray("A\xff\n\x81\nC") << QStringLiteral("A\uFFFD")
                                     << QStringLiteral("\uFFFD") << QStringLiteral("C");
        QTest::newRow("markup") << QByteArray("<b>T</b>\n<img src=x>\n<a href=y>z</a>")
                                << QStringLiteral("<b>T</b>") << QStringLiteral("<img src=x>")
                                << QStringLiteral("<a href=y>z</a>");
        QTest::newRow("full 8192")
            << QByteArray("T\nB\nC") + QByteArray(8192 - 5, 'c') << QStringLiteral("T")
            << QStringLiteral("B") << QStringLiteral("C") + QString(8192 - 5, u'c');
    }
    void eachDatagramBecomesAPopupAfterTheSound() {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, title);
        QFETCH(QString, body);
        QFETCH(QString, time);
        Send(datagram);
        QTRY_COMPARE(created_.size(), 1);
        QTRY_VERIFY(created_[0].popup && created_[0].popup->isVisible());
        TFormTips* popup = created_[0].popup;
        QCOMPARE(popup->txtTitle->text(), title);
        QCOMPARE(popup->txtBody->text(), body);
        QCOMPARE(popup->txtTime->text(), time);
        QCOMPARE(popup->pos(), QPoint(732, 578));
        // Made first, then the sound, then shown.
        QCOMPARE(created_[0].playsBefore, 0);
        QCOMPARE(player_->plays, 1);
        QCOMPARE(player_->popupAtPlay, popup);
        QVERIFY(!player_->popupVisibleAtPlay);
        QCOMPARE(player_->lastWave.size(), 44 + 51252);
    }

    void fewerThanThreeLinesOrTooLongGiveNoPopup_data() {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("plays");
        QTest::newRow("two lines") << QByteArray("A\nB") << 1;
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("zero byte") << QByteArray("A\nB\0\nC", 6) << 1;
        QTest::newRow("8193 bytes") << QByteArray("T\nB\nC") + QByteArray(8193 - 5, 'c') << 0;
    }
    void fewerThanThreeLinesOrTooLongGiveNoPopup() {
        QFETCH(QByteArray, datagram);
        QFETCH(int, plays);
        Send(datagram);
        Send("sentinel\nthat shows\nthe listener moved on");
        QTRY_COMPARE(player_->plays, plays + 1);
        QTRY_VERIFY(created_.last().popup && created_.last().popup->isVisible());
        QCOMPARE(created_.size(), plays + 1);
        if (plays == 1) {
            QVERIFY(created_.first().popup.isNull());  // made, never shown, discarded
        }
        QCOMPARE(created_.last().popup->txtTitle->text(), QStringLiteral("sentinel"));
    }

    void twoDatagramsTogetherAreHandledOneAfterTheOther() {
        Send("first\nb\nt");
        Send("second\nb\nt");
        QTRY_COMPARE(created_.size(), 2);
        QTRY_VERIFY(created_[1].popup && created_[1].popup->Timer1->isActive());
        QCOMPARE(created_[0].popup->txtTitle->text(), QStringLiteral("first"));
        QCOMPARE(created_[1].popup->txtTitle->text(), QStringLiteral("second"));
        // The second was made only after the first handler's sound and slide-in.
        QCOMPARE(created_[1].playsBefore, 1);
        QVERIFY(created_[1].previousSlideInDone);
        QCOMPARE(created_[1].popup->pos(), created_[0].popup->pos());
        QCOMPARE(FormTips, created_[1].popup.data());
    }

    void aPopupThatCannotBeMadeDropsTheDatagramBeforeTheSound() {
        failCreation_ = true;
        Send("lost\nb\nt");
        QTRY_COMPARE(failedCreations_, 1);
        QCOMPARE(player_->plays, 0);
        failCreation_ = false;
        Send("kept\nb\nt");
        QTRY_COMPARE(player_->plays, 1);
        QTRY_COMPARE(created_.size(), 1);
        QCOMPARE(created_[0].popup->txtTitle->text(), QStringLiteral("kept"));
    }

    // A burst: popups slide in, wait and slide out nested inside each other's animation loops,
    // and every one of them must close and be freed without touching a freed popup.
    void aBurstOfDatagramsGivesEveryPopupAndFreesThemAll() {
        popupWait_ = 20ms;
        constexpr int kBurst = 12;
        for (int i = 0; i < kBurst; ++i) {
            Send(QByteArray::number(i) + "\nbody\ntime");
        }
        QTRY_COMPARE_WITH_TIMEOUT(created_.size(), kBurst, 20000);
        for (int i = 0; i < kBurst; ++i) {
            QTRY_VERIFY_WITH_TIMEOUT(created_[i].popup.isNull(), 20000);
        }
        QCOMPARE(player_->plays, kBurst);
        QCOMPARE(FormTips, nullptr);
    }
};

QTEST_MAIN(ReceiveTest)
#include "ReceiveTest.moc"
