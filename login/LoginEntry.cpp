#include "login/LoginEntry.h"

#include "core/AppContext.h"
#include "core/Helpers.h"
#include "core/Settings.h"
#include "service/Wrappers.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sarn {

// Placeholder login window until the real one lands.
int RunLoginWindow(AppContext& context) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("欢迎使用Sarn产品"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* user = new QLineEdit(context.state.UserName, &dialog);
    auto* password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    auto* login = new QPushButton(QStringLiteral("登录"), &dialog);
    layout->addWidget(user);
    layout->addWidget(password);
    layout->addWidget(login);
    QObject::connect(login, &QPushButton::clicked, &dialog, [&] {
        context.errors.Guard([&] {
            const qint32 id = SvcLogin(user->text(), PasswordDigest(password->text()));
            if (id > 0) {
                context.state.CustomerID = id;
                context.state.UserName = user->text();
                context.state.Password = password->text();
                SaveSettings(context.state, context.iniPath);
                dialog.done(1);
            } else if (id == -1) {
                ShowError(context.boxes, QStringLiteral("错误的用户名或密码"));
            } else if (id == 0) {
                ShowError(context.boxes, QStringLiteral("与服务器的通信失败，请稍后再试"));
            }
        });
    });
    return dialog.exec() == 1 ? 1 : 2;
}

}  // namespace sarn
