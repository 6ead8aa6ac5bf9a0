// Draws both panels of the login window as a fresh Debian desktop shows them and saves them as
// PNG files, for the documentation. Run under Xvfb:
//   xvfb-run -a build/tests/login/login_screenshot docs/login-panel.png docs/register-panel.png
#include "core/AppContext.h"
#include "core/GeneralErrorBox.h"
#include "core/Utilities.h"
#include "login/SkinWidgets.h"
#include "login/TFormLogin.h"
#include "service/ServiceHost.h"
#include "tests/support/FakeSarnSoap.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char* argv[]) {
    using namespace sarn;
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LOGIN.png REGISTER.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    SessionState state;
    testing::RecordingPresenter boxes;
    GeneralErrorBox errors(boxes);
    const QString iniPath = dir.filePath(QStringLiteral("info.ini"));
    TUtilities utilities(state, iniPath, std::make_unique<testing::FakeSarnSoap>());
    const ServiceHost host(QStringLiteral("sarn.test"));
    state.UserName = QStringLiteral("zhangsan");
    state.Password = QStringLiteral("secret");
    state.savePassword = true;
    AppContext context{state,
                       boxes,
                       errors,
                       utilities,
                       host,
                       iniPath,
                       dir.filePath(QStringLiteral("sarn-terminal")),
                       {}};

    TFormLogin form(context, LoginWindowSeams{});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        return 1;
    }
    QTest::qWait(200);
    // What X shows at the window's place, the outline included.
    const auto shoot = [&](const char* path) {
        QTest::qWait(100);
        const QPixmap shot =
            form.screen()->grabWindow(0, form.x(), form.y(), form.width(), form.height());
        return shot.save(QString::fromLocal8Bit(path));
    };
    if (!shoot(argv[1])) {
        return 1;
    }
    form.btnReg->click();
    form.regUserName->setText(QStringLiteral("lisi"));
    form.regPwd->setText(QStringLiteral("secret"));
    form.regConfirm->setText(QStringLiteral("secret"));
    form.Mobile->setText(QStringLiteral("13812345678"));
    form.Email->setText(QStringLiteral("lisi@example.cn"));
    form.Prov->setCurrentIndex(form.Prov->findText(QStringLiteral("浙江")));
    form.City->setCurrentIndex(0);
    return shoot(argv[2]) ? 0 : 1;
}
