#include "platform/gui/QtMessagePresenter.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

namespace sarn {

class QtMessagePresenterTest : public QObject {
    Q_OBJECT

  private slots:
    void showsAModalBoxAndGivesTheFocusBack();
};

void QtMessagePresenterTest::showsAModalBoxAndGivesTheFocusBack() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    second->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), second);

    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool otherWindowBlocked = false;
    // Answers the box from inside its own loop, as a user pressing OK would.
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        otherWindowBlocked = box->windowModality() == Qt::ApplicationModal;
        box->button(QMessageBox::Ok)->click();
    });
    QtMessagePresenter().Show(QStringLiteral("Sarn提示您"), QStringLiteral("请输入用户名"),
                              MessageIcon::Error);

    QCOMPARE(caption, QStringLiteral("Sarn提示您"));
    QCOMPARE(text, QStringLiteral("请输入用户名"));
    QCOMPARE(icon, QMessageBox::Critical);
    QVERIFY(otherWindowBlocked);
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QTRY_COMPARE(QApplication::focusWidget(), second);
}

}  // namespace sarn

QTEST_MAIN(sarn::QtMessagePresenterTest)
#include "QtMessagePresenterTest.moc"
