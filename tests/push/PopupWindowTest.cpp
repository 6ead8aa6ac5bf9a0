#include "platform/gui/PictureControl.h"
#include "push/FormTips.h"
#include "push/TextLabel.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>

using namespace sarn;
using namespace std::chrono_literals;

namespace {

// Records where a popup was when it closed.
class CloseWatch : public QObject {
  public:
    explicit CloseWatch(QWidget* popup) { popup->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* popup = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Move && firstMoveDown != nullptr && !movedDown &&
            popup->y() > topmostY && topmostY != 0) {
            movedDown = true;
            firstMoveDown->append(popup->objectName());
        }
        if (event->type() == QEvent::Move && (topmostY == 0 || popup->y() < topmostY)) {
            topmostY = popup->y();
        }
        if (event->type() == QEvent::Close) {
            closedAt = static_cast<QWidget*>(watched)->pos();
            closed = true;
        }
        return false;
    }
    QPoint closedAt;
    bool closed = false;
    QStringList* firstMoveDown = nullptr;  // gets the popup's name when it first moves down

  private:
    int topmostY = 0;
    bool movedDown = false;
};

QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

}  // namespace

class PopupWindowTest : public QObject {
    Q_OBJECT

  private:
    // 1024 x 768 screen, a main window whose frame is 30 pixels high, quick steps.
    TFormTips* MakePopup(std::chrono::milliseconds wait = 50ms) {
        return new TFormTips(PopupPlacement{[] { return QSize(1024, 768); }, [] { return 30; }},
                             PopupTiming{1ms, wait});
    }

  private slots:
    void isPlacedLowAtTheRightEdgeAndShapedButHidden() {
        QPointer<TFormTips> popup = MakePopup();
        QCOMPARE(popup->pos(), QPoint(732, 738));
        QCOMPARE(popup->size(), QSize(290, 160));
        QCOMPARE(popup->Tag, 160);
        QVERIFY(!popup->isVisible());
        QVERIFY(!popup->Timer1->isActive());
        const Qt::WindowFlags flags = popup->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        const QRegion shape = popup->mask();
        QCOMPARE(shape.boundingRect(), QRect(0, 0, 290, 160));
        QVERIFY(!shape.contains(QPoint(0, 0)));
        QVERIFY(!shape.contains(QPoint(289, 159)));
        QVERIFY(shape.contains(QPoint(2, 0)));
        QVERIFY(shape.contains(QPoint(145, 80)));
        delete popup;
    }

    void slidesInWaitsSlidesOutAndFreesItself() {
        QPointer<TFormTips> popup = MakePopup();
        CloseWatch watch(popup);
        popup->ShowTips();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->pos(), QPoint(732, 578));
        QVERIFY(popup->Tag <= 0);
        QVERIFY(popup->Timer1->isActive());
        QTRY_VERIFY(popup.isNull());
        QVERIFY(watch.closed);
        QCOMPARE(watch.closedAt, QPoint(732, 738));
    }

    void aClickOnTheCloseGlyphOrTheEmblemClosesAtOnce_data() {
        QTest::addColumn<bool>("emblem");
        QTest::newRow("close glyph") << false;
        QTest::newRow("emblem") << true;
    }
    void aClickOnTheCloseGlyphOrTheEmblemClosesAtOnce() {
        QFETCH(bool, emblem);
        QPointer<TFormTips> popup = MakePopup(60s);
        CloseWatch watch(popup);
        TFormTips* formTipsBefore = popup;
        FormTips = formTipsBefore;
        popup->ShowTips();
        QTest::mouseClick(emblem ? popup->Image1 : popup->ImageClose1, Qt::LeftButton);
        QVERIFY(watch.closed);
        QCOMPARE(watch.closedAt, QPoint(732, 578));  // no slide-out
        QCOMPARE(FormTips, nullptr);
        QTRY_VERIFY(popup.isNull());
    }

    void aCloseDuringTheSlideInEndsItAndFreesThePopupAfterwards() {
        QPointer<TFormTips> popup = MakePopup(60s);
        // Runs from the first animation step's event processing, inside the slide loop.
        QTimer::singleShot(0, popup, [&popup] { popup->close(); });
        popup->ShowTips();
        QVERIFY(!popup.isNull());  // still alive when its loop returned
        QVERIFY(popup->IsClosed());
        QVERIFY(popup->y() > 578);
        QVERIFY(!popup->Timer1->isActive());
        QTRY_VERIFY(popup.isNull());
    }

    void aDraggedPopupSlidesOutFromWhereItWasDropped() {
        QPointer<TFormTips> popup = MakePopup(300ms);
        CloseWatch watch(popup);
        popup->ShowTips();
        QTest::mousePress(popup->ImageTitle, Qt::LeftButton, {}, QPoint(100, 10));
        QTest::mouseMove(popup->ImageTitle, QPoint(60, -40));
        QTest::mouseRelease(popup->ImageTitle, Qt::LeftButton, {}, QPoint(60, -40));
        const QPoint dropped = popup->pos();
        QCOMPARE(dropped, QPoint(732 - 40, 578 - 50));
        // A press on the content panel is not the background's: it drags nothing.
        QTest::mousePress(popup->Image2, Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseMove(popup->Image2, QPoint(10, 10));
        QTest::mouseRelease(popup->Image2, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(popup->pos(), dropped);
        QVERIFY(!popup->Dragging);
        QTRY_VERIFY(popup.isNull());
        QCOMPARE(watch.closedAt, dropped + QPoint(0, 160));
    }

    void twoPopupsSlideOutEachOnItsOwnTimerTheOlderFirst() {
        QPointer<TFormTips> older = MakePopup(150ms);
        QPointer<TFormTips> newer = MakePopup(150ms);
        older->setObjectName(QStringLiteral("older"));
        newer->setObjectName(QStringLiteral("newer"));
        CloseWatch olderWatch(older), newerWatch(newer);
        QStringList slidingDown;
        olderWatch.firstMoveDown = newerWatch.firstMoveDown = &slidingDown;
        older->ShowTips();
        newer->ShowTips();
        QCOMPARE(newer->pos(), older->pos());
        QTRY_VERIFY(older.isNull() && newer.isNull());
        QCOMPARE(slidingDown, QStringList({QStringLiteral("older"), QStringLiteral("newer")}));
        // The newer one's slide-out may run nested inside the older one's; both go all the way.
        QCOMPARE(olderWatch.closedAt, QPoint(732, 738));
        QCOMPARE(newerWatch.closedAt, QPoint(732, 738));
    }

    void takingTheFocusAgainWhileWaitingNeitherMovesNorDelays() {
        QPointer<TFormTips> popup = MakePopup(60s);
        popup->ShowTips();
        QTest::qWait(20);
        const int left = popup->Timer1->remainingTime();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(popup, &activate);
        QCOMPARE(popup->pos(), QPoint(732, 578));
        QVERIFY(popup->Timer1->remainingTime() <= left);
        delete popup;
    }

    void takingTheFocusDuringTheSlideOutSlidesBackUpAndThenCloses() {
        QPointer<TFormTips> popup = MakePopup(10ms);
        CloseWatch watch(popup);
        popup->ShowTips();
        // 20 steps into the slide-out the popup is activated again: it slides up on the count
        // that is left, and the slide-out then closes it at once.
        int activatedAtY = 0;
        int tagLeft = 0;
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, popup, [&] {
            if (popup->y() >= 578 + 20) {
                probe.stop();
                activatedAtY = popup->y();
                tagLeft = popup->Tag;
                QEvent activate(QEvent::WindowActivate);
                QApplication::sendEvent(popup, &activate);
                // The popup takes the activation up at the next event processing, before the
                // slide-out's next step.
                QCoreApplication::processEvents();
            }
        });
        probe.start();
        QTRY_VERIFY(popup.isNull());
        QVERIFY(watch.closed);
        QCOMPARE(watch.closedAt.y(), activatedAtY - 5 * ((tagLeft + 4) / 5));
    }

    // Labels draw their text as plain characters: markup stays characters, an ampersand marks
    // an underlined mnemonic, and a doubled one draws one ampersand.
    void labelsDrawPlainTextWithMnemonics_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("underlined");
        QTest::newRow("markup") << QStringLiteral("<b>bold</b> <img src=x> <a href=\"y\">z</a>")
                                << QStringLiteral("<b>bold</b> <img src=x> <a href=\"y\">z</a>")
                                << -1;
        QTest::newRow("mnemonic") << QStringLiteral("&Save") << QStringLiteral("Save") << 0;
        QTest::newRow("doubled") << QStringLiteral("R&&D") << QStringLiteral("R&D") << -1;
    }
    void labelsDrawPlainTextWithMnemonics() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(int, underlined);
        TextLabel label(nullptr, 13, Qt::black, TextLabel::Layout::OneLine);
        label.resize(400, 16);
        label.setText(text);

        QImage expected(label.size(), QImage::Format_ARGB32);
        expected.fill(Qt::transparent);
        {
            QTextLayout layout(shown, label.font());
            if (underlined >= 0) {
                QTextLayout::FormatRange range;
                range.start = underlined;
                range.length = 1;
                range.format.setFontUnderline(true);
                layout.setFormats({range});
            }
            layout.beginLayout();
            layout.createLine().setLineWidth(1e6);
            layout.endLayout();
            QPainter painter(&expected);
            painter.setPen(Qt::black);
            layout.draw(&painter, QPointF(0, 0));
        }
        QCOMPARE(Render(label), expected);
    }
};

QTEST_MAIN(PopupWindowTest)
#include "PopupWindowTest.moc"
