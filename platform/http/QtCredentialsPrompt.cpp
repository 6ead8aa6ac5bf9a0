#include "platform/http/QtCredentialsPrompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace sarn::http {

std::optional<Credentials> QtCredentialsPrompt::AskCredentials(int status, const QString& url) {
    QDialog dialog;
    dialog.setWindowTitle(status == 407 ? QStringLiteral("Proxy authentication")
                                        : QStringLiteral("Authentication"));
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(new QLabel(url.toHtmlEscaped(), &dialog));
    auto* user = new QLineEdit(&dialog);
    auto* password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("User name:"), user);
    layout->addRow(QStringLiteral("Password:"), password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return Credentials{user->text(), password->text()};
}

}  // namespace sarn::http
