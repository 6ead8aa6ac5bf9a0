#include "platform/http/QtCredentialsPrompt.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

namespace sarn::http {

// Answers the dialog once it is up: fills both fields and presses the given button.
class QtCredentialsPromptTest : public QObject {
    Q_OBJECT

  private:
    static void AnswerWhenShown(QDialogButtonBox::StandardButton button) {
        QTimer::singleShot(0, [button] {
            QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            // A failed check must not leave the dialog waiting for an answer.
            const auto closeAnyway = qScopeGuard([dialog] {
                if (dialog->isVisible()) {
                    dialog->reject();
                }
            });
            const QList<QLineEdit*> fields = dialog->findChildren<QLineEdit*>();
            QCOMPARE(fields.size(), 2);
            fields[0]->setText(QStringLiteral("ann"));
            fields[1]->setText(QStringLiteral("secret"));
            QCOMPARE(fields[1]->echoMode(), QLineEdit::Password);
            dialog->findChild<QDialogButtonBox*>()->button(button)->click();
        });
    }

  private slots:
    void okGivesTheTypedCredentials() {
        AnswerWhenShown(QDialogButtonBox::Ok);
        QtCredentialsPrompt prompt;
        const std::optional<Credentials> answer =
            prompt.AskCredentials(401, QStringLiteral("http://h/"));
        QVERIFY(answer.has_value());
        QCOMPARE(answer->user, QStringLiteral("ann"));
        QCOMPARE(answer->password, QStringLiteral("secret"));
    }

    void cancelGivesNothing() {
        AnswerWhenShown(QDialogButtonBox::Cancel);
        QtCredentialsPrompt prompt;
        QVERIFY(!prompt.AskCredentials(407, QStringLiteral("http://h/")).has_value());
    }
};

}  // namespace sarn::http

QTEST_MAIN(sarn::http::QtCredentialsPromptTest)
#include "QtCredentialsPromptTest.moc"
