#include "core/AppContext.h"
#include "core/GeneralErrorBox.h"
#include "core/Helpers.h"
#include "core/Utilities.h"
#include "login/SkinWidgets.h"
#include "login/TFormLogin.h"
#include "platform/PrivateProfile.h"
#include "service/ServiceHost.h"
#include "tests/support/FakeSarnSoap.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using namespace sarn;
using sarn::testing::FakeSarnSoap;
using sarn::testing::RecordingPresenter;

namespace {

constexpr std::chrono::milliseconds kInterval{60};

// One run's worth of context around a login window: a fake service, captured boxes and a
// temporary directory for info.ini and the executable.
struct Fixture {
    QTemporaryDir dir;
    SessionState state;
    RecordingPresenter boxes;
    GeneralErrorBox errors{boxes};
    FakeSarnSoap* service = nullptr;
    std::optional<TUtilities> utilities;
    ServiceHost host{QStringLiteral("sarn.test:8088")};
    QString iniPath;
    QList<QUrl> opened;
    QStringList loads;  // named bitmaps, in load order
    std::chrono::milliseconds interval = kInterval;
    std::optional<AppContext> context;
    std::unique_ptr<TFormLogin> form;

    Fixture() {
        auto fake = std::make_unique<FakeSarnSoap>();
        service = fake.get();
        iniPath = dir.filePath(QStringLiteral("info.ini"));
        utilities.emplace(state, iniPath, std::move(fake));
        service->calls.clear();
    }

    // The state is as LoadSettings left it; tests set it before the window is created.
    TFormLogin& Create(int screenWidth = 1024) {
        context.emplace(AppContext{state,
                                   boxes,
                                   errors,
                                   *utilities,
                                   host,
                                   iniPath,
                                   dir.filePath(QStringLiteral("sarn-terminal")),
                                   {}});
        LoginWindowSeams seams;
        seams.autoLoginInterval = interval;
        seams.screenWidth = [screenWidth] { return screenWidth; };
        seams.openUrl = [this](const QUrl& url) { opened << url; };
        seams.loadBitmap = [this](const QString& name) {
            loads << name;
            return LoadSkinBitmap(name);
        };
        form = std::make_unique<TFormLogin>(*context, std::move(seams));
        return *form;
    }

    TFormLogin& Shown(int screenWidth = 1024) {
        TFormLogin& f = Create(screenWidth);
        f.show();
        f.activateWindow();
        if (!QTest::qWaitForWindowActive(&f)) {
            qWarning("login window not activated");
        }
        loads.clear();
        return f;
    }

    QStringList Calls(const QString& operation) const {
        QStringList matching;
        for (const QString& call : service->calls) {
            if (call.startsWith(operation + u'(')) {
                matching << call;
            }
        }
        return matching;
    }
    QStringList Logins() const { return Calls(QStringLiteral("Login")); }
    QStringList Registers() const { return Calls(QStringLiteral("Register")); }
};

void Move(QWidget* widget, QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

void FillRegistration(TFormLogin& f) {
    f.regUserName->setText(QStringLiteral("bob"));
    f.regPwd->setText(QStringLiteral("pw1"));
    f.regConfirm->setText(QStringLiteral("pw1"));
    f.Mobile->setText(QStringLiteral("13812345678"));
    f.Email->setText(QStringLiteral("bob@example.cn"));
    f.Prov->setCurrentIndex(f.Prov->findText(QStringLiteral("香港")));
    f.City->setCurrentIndex(1);
}

}  // namespace

class LoginWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // --- login ---------------------------------------------------------------------------
    void fieldChecksStopBeforeTheService_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusOnUser");
        QTest::newRow("both empty")
            << QString() << QString() << QStringLiteral("请输入用户名") << true;
        QTest::newRow("password empty")
            << QStringLiteral("alice") << QString() << QStringLiteral("请输入密码") << false;
    }
    void fieldChecksStopBeforeTheService() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(bool, focusOnUser);
        Fixture fx;
        TFormLogin& f = fx.Shown();
        f.EditUserName->setText(user);
        f.EditPassword->setText(password);
        f.EditPassword->setFocus();
        if (focusOnUser) {
            f.chkPassword->setFocus();
        }
        f.btnLogin->click();
        QCOMPARE(fx.boxes.Texts(), QStringList{message});
        QCOMPARE(fx.boxes.shown[0].caption, QStringLiteral("Sarn提示您"));
        QCOMPARE(f.focusWidget(), focusOnUser ? f.EditUserName : f.EditPassword);
        QVERIFY(fx.Logins().isEmpty());
    }

    void resultTableLeavesEverythingAsItWas_data() {
        QTest::addColumn<int>("result");  // 1000 = the call fails
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("-1") << -1 << QStringList{QStringLiteral("错误的用户名或密码")};
        QTest::newRow("0") << 0 << QStringList{QStringLiteral("与服务器的通信失败，请稍后再试")};
        QTest::newRow("unreachable")
            << 1000 << QStringList{QStringLiteral("与服务器的通信失败，请稍后再试")};
        QTest::newRow("-7") << -7 << QStringList{};
    }
    void resultTableLeavesEverythingAsItWas() {
        QFETCH(int, result);
        QFETCH(QStringList, messages);
        Fixture fx;
        if (result != 1000) {
            fx.service->login = [result](const QString&, const QString&) { return result; };
        }
        TFormLogin& f = fx.Shown();
        f.EditUserName->setText(QStringLiteral("  "));  // blanks pass and are sent as they are
        f.EditPassword->setText(QStringLiteral("pw"));
        f.btnLogin->click();
        QCOMPARE(
            fx.Logins(),
            QStringList{QStringLiteral("Login(  ,%1)").arg(PasswordDigest(QStringLiteral("pw")))});
        QCOMPARE(fx.boxes.Texts(), messages);
        QVERIFY(f.isVisible());
        QCOMPARE(fx.state.CustomerID, 0);
        QVERIFY(fx.state.UserName.isEmpty());
        QVERIFY(!QFile::exists(fx.iniPath));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void successReportsSavesAndEndsWithOne() {
        Fixture fx;
        bool hourglassDuringLogin = false;
        fx.service->login = [&](const QString&, const QString&) {
            hourglassDuringLogin = QGuiApplication::overrideCursor() != nullptr &&
                                   QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            return 42;
        };
        bool hourglassDuringReport = true;
        fx.service->remoteIp = [&] {
            hourglassDuringReport = QGuiApplication::overrideCursor() != nullptr;
            return QStringLiteral("10.1.2.3");
        };
        TFormLogin& f = fx.Shown();
        f.EditUserName->setText(QStringLiteral("alice"));
        f.EditPassword->setText(QStringLiteral("密码x"));
        f.chkPassword->setChecked(false);
        f.chkLogin->setChecked(true);
        f.btnLogin->click();

        const QString digest = PasswordDigest(QStringLiteral("密码x"));
        QCOMPARE(fx.service->calls.mid(0, 3),
                 (QStringList{QStringLiteral("Login(alice,%1)").arg(digest),
                              QStringLiteral("GetRemoteIP()"),
                              QStringLiteral("AddLogin(42,10.1.2.3)")}));
        QVERIFY(hourglassDuringLogin);
        QVERIFY(!hourglassDuringReport);
        QCOMPARE(fx.state.CustomerID, 42);
        QCOMPARE(fx.state.UserName, QStringLiteral("alice"));
        QCOMPARE(fx.state.Password, QStringLiteral("密码x"));  // clear text, box unchecked or not
        QVERIFY(!fx.state.savePassword);
        QVERIFY(fx.state.autoLogin);
        const PrivateProfile saved(fx.iniPath);
        QCOMPARE(saved.ReadString(QStringLiteral("UserInfo"), QStringLiteral("UserName"), {}),
                 QStringLiteral("enc:alice"));
        QCOMPARE(saved.ReadString(QStringLiteral("UserInfo"), QStringLiteral("Password"), {}),
                 QStringLiteral("enc:密码x"));
        QCOMPARE(saved.ReadString(QStringLiteral("UserInfo"), QStringLiteral("autoLogin"), {}),
                 QStringLiteral("1"));
        QVERIFY(fx.boxes.shown.empty());
        QCOMPARE(f.result(), 1);
        QVERIFY(!f.isVisible());
    }

    void failingSaveKeepsTheWindowOpen() {
        Fixture fx;
        fx.iniPath = fx.dir.path();  // a directory cannot be written as a file
        fx.service->login = [](const QString&, const QString&) { return 5; };
        TFormLogin& f = fx.Shown();
        f.EditUserName->setText(QStringLiteral("alice"));
        f.EditPassword->setText(QStringLiteral("pw"));
        f.btnLogin->click();
        QCOMPARE(fx.boxes.shown.size(), size_t(1));
        QCOMPARE(fx.boxes.shown[0].caption, QStringLiteral("Sarn资讯终端"));
        QCOMPARE(fx.boxes.shown[0].text, QStringLiteral("Unable to write to %1.").arg(fx.iniPath));
        QVERIFY(f.isVisible());
        QCOMPARE(f.result(), 0);
        QVERIFY(fx.service->calls.contains(QStringLiteral("AddLogin(5,10.1.2.3)")));
        QCOMPARE(fx.state.CustomerID, 5);
        QVERIFY(f.PanelRegister->isHidden());
    }

    void closeOnTheLoginPanelEndsWithTwo() {
        Fixture fx;
        TFormLogin& f = fx.Shown();
        QTest::mouseClick(f.ImageClose1, Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), 2);
    }

    // --- automatic login ------------------------------------------------------------------
    void rememberedAutoLoginRunsAfterTheInterval() {
        Fixture fx;
        fx.state.UserName = QStringLiteral("alice");
        fx.state.Password = QStringLiteral("pw");
        fx.state.savePassword = true;
        fx.state.autoLogin = true;
        fx.service->login = [](const QString&, const QString&) { return 3; };
        TFormLogin& f = fx.Create();
        QCOMPARE(f.EditPassword->text(), QStringLiteral("pw"));
        QVERIFY(!f.Timer1->isActive());  // armed by the show, not the creation
        f.show();
        QVERIFY(f.Timer1->isActive());
        QTRY_COMPARE(f.result(), 1);
        QCOMPARE(fx.Logins().size(), 1);
    }

    void autoLoginWithoutStoredPasswordStopsAtThePassword() {
        Fixture fx;
        fx.state.UserName = QStringLiteral("alice");
        fx.state.Password = QStringLiteral("pw");  // loaded, but not to be shown
        fx.state.autoLogin = true;
        TFormLogin& f = fx.Shown();
        QVERIFY(f.EditPassword->text().isEmpty());
        QTRY_COMPARE(fx.boxes.Texts(), QStringList{QStringLiteral("请输入密码")});
        QCOMPARE(f.focusWidget(), f.EditPassword);
        QVERIFY(!f.Timer1->isActive());
        QTest::qWait(3 * int(kInterval.count()));
        QCOMPARE(fx.boxes.shown.size(), size_t(1));
        QVERIFY(fx.Logins().isEmpty());
    }

    void checkingTheBoxArmsAndUncheckingCancels() {
        Fixture fx;
        fx.interval = std::chrono::milliseconds(300);  // room for two clicks inside it
        fx.service->login = [](const QString&, const QString&) { return -1; };
        TFormLogin& f = fx.Shown();
        f.EditUserName->setText(QStringLiteral("alice"));
        f.EditPassword->setText(QStringLiteral("pw"));
        QVERIFY(!f.Timer1->isActive());
        QTest::mouseClick(f.chkLogin, Qt::LeftButton);
        QVERIFY(f.chkLogin->isChecked());
        QVERIFY(f.Timer1->isActive());
        QTest::mouseClick(f.chkLogin, Qt::LeftButton);
        QVERIFY(!f.Timer1->isActive());
        QTest::qWait(2 * int(fx.interval.count()));
        QVERIFY(fx.Logins().isEmpty());

        QTest::mouseClick(f.chkLogin, Qt::LeftButton);
        QTRY_COMPARE(fx.Logins().size(), 1);
        QVERIFY(!f.Timer1->isActive());  // one attempt per arming
    }

    void pendingAttemptSurvivesAFailedManualOne() {
        Fixture fx;
        fx.state.UserName = QStringLiteral("alice");
        fx.state.Password = QStringLiteral("pw");
        fx.state.savePassword = true;
        fx.state.autoLogin = true;
        int attempts = 0;
        fx.service->login = [&](const QString&, const QString&) {
            return ++attempts == 1 ? -1 : 8;
        };
        TFormLogin& f = fx.Shown();
        f.btnLogin->click();
        QCOMPARE(fx.boxes.Texts(), QStringList{QStringLiteral("错误的用户名或密码")});
        QVERIFY(f.Timer1->isActive());
        QTRY_COMPARE(f.result(), 1);
        QCOMPARE(attempts, 2);
    }

    void timerFiringWhileRegisteringLogsInAfterReturning() {
        Fixture fx;
        fx.state.UserName = QStringLiteral("alice");
        fx.state.Password = QStringLiteral("pw");
        fx.state.savePassword = true;
        fx.state.autoLogin = true;
        struct {
            bool taken = false, registering = false, loginPanelBack = false, open = false,
                 saved = false, rearmed = false;
            int result = -1;
        } first;
        TFormLogin* form = nullptr;
        fx.service->login = [&](const QString&, const QString&) {
            if (!first.taken) {
                first.taken = true;
                first.registering = !form->PanelRegister->isHidden();
                // Looked at once the timer's handler has returned, before the next attempt.
                QTimer::singleShot(0, form, [&] {
                    first.loginPanelBack = form->PanelRegister->isHidden();
                    first.open = form->isVisible();
                    first.result = form->result();
                    first.saved = QFile::exists(fx.iniPath);
                    first.rearmed = form->Timer1->isActive();
                });
            }
            return 9;
        };
        TFormLogin& f = fx.Shown();
        form = &f;
        f.btnReg->click();
        QVERIFY(!f.PanelRegister->isHidden());
        QVERIFY(f.Timer1->isActive());  // opening the panel does not stop it

        // The first attempt runs with the covered fields and is saved, but its close is
        // refused: the login panel comes back and the timer is armed again for a second one.
        QTRY_COMPARE(f.result(), 1);
        QVERIFY(first.registering);
        QVERIFY(first.loginPanelBack);
        QVERIFY(first.open);
        QCOMPARE(first.result, 0);
        QVERIFY(first.saved);
        QVERIFY(first.rearmed);
        QCOMPARE(fx.Logins().size(), 2);
        QCOMPARE(fx.Calls(QStringLiteral("AddLogin")).size(), 2);
        QVERIFY(!f.isVisible());
    }

    // --- registration ---------------------------------------------------------------------
    void registrationChecksAndFocus_data() {
        QTest::addColumn<int>("filled");  // how many fields, in tab order, are filled in
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all empty") << 0 << QStringLiteral("请输入用户名称") << "regUserName";
        QTest::newRow("no password") << 1 << QStringLiteral("请输入密码") << "regPwd";
        QTest::newRow("no confirmation") << 2 << QStringLiteral("请再次输入密码") << "regConfirm";
        QTest::newRow("no mobile") << 3 << QStringLiteral("请输入手机号码") << "Mobile";
        QTest::newRow("no email") << 4 << QStringLiteral("请输入EMail") << "Email";
        QTest::newRow("no province") << 5 << QStringLiteral("请选择省") << "Prov";
        QTest::newRow("no city") << 6 << QStringLiteral("请选择市") << "City";
    }
    void registrationChecksAndFocus() {
        QFETCH(int, filled);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Fixture fx;
        TFormLogin& f = fx.Shown();
        f.btnReg->click();
        QCOMPARE(f.focusWidget(), f.regUserName);
        const QList<std::function<void()>> fill{
            [&] { f.regUserName->setText(QStringLiteral("bob")); },
            [&] { f.regPwd->setText(QStringLiteral("Pw")); },
            [&] { f.regConfirm->setText(QStringLiteral("Pw")); },
            [&] { f.Mobile->setText(QStringLiteral("13812345678")); },
            [&] { f.Email->setText(QStringLiteral("b@c.cn")); },
            [&] { f.Prov->setCurrentIndex(0); },
        };
        for (int i = 0; i < filled; ++i) {
            fill[i]();
        }
        f.sbReg->click();
        QCOMPARE(fx.boxes.Texts(), QStringList{message});
        const QMap<QString, QWidget*> widgets{{"regUserName", f.regUserName},
                                              {"regPwd", f.regPwd},
                                              {"regConfirm", f.regConfirm},
                                              {"Mobile", f.Mobile},
                                              {"Email", f.Email},
                                              {"Prov", f.Prov},
                                              {"City", f.City}};
        QCOMPARE(f.focusWidget(), widgets.value(focus));
        QVERIFY(fx.Registers().isEmpty());
    }

    void provinceChangeRefillsTheCities() {
        Fixture fx;
        TFormLogin& f = fx.Shown();
        f.btnReg->click();
        QCOMPARE(f.Prov->count(), 35);
        QCOMPARE(f.Prov->currentIndex(), -1);
        QCOMPARE(f.City->count(), 0);
        FillRegistration(f);  // 香港, second city
        QCOMPARE(f.City->count(), 2);
        QCOMPARE(f.City->itemText(0), QStringLiteral("九龙"));
        QCOMPARE(f.City->currentText(), QStringLiteral("新界"));

        for (const QString& single : {QStringLiteral("澳门"), QStringLiteral("其他")}) {
            f.Prov->setCurrentIndex(f.Prov->findText(single));
            QCOMPARE(f.City->count(), 1);
            QCOMPARE(f.City->itemText(0), single);
            QCOMPARE(f.City->currentIndex(), -1);
        }
        f.sbReg->click();
        QCOMPARE(fx.boxes.Texts(), QStringList{QStringLiteral("请选择市")});
    }

    void registerResultTable_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("success");
        QTest::newRow("-3") << -3 << QStringLiteral("对不起，电子邮箱 bob@example.cn 已经注册")
                            << false;
        QTest::newRow("-2") << -2 << QStringLiteral("对不起，移动电话 13812345678 已经注册")
                            << false;
        QTest::newRow("-1") << -1 << QStringLiteral("对不起，用户 bob 已经注册") << false;
        QTest::newRow("0") << 0 << QStringLiteral("与服务器的通信失败，请稍后再试") << false;
        QTest::newRow("-4") << -4 << QStringLiteral("恭喜，您注册成功") << true;
        QTest::newRow("positive") << 17 << QStringLiteral("恭喜，您注册成功") << true;
    }
    void registerResultTable() {
        QFETCH(int, result);
        QFETCH(QString, message);
        QFETCH(bool, success);
        Fixture fx;
        fx.service->registerAccount = [result](const QStringList&) { return result; };
        TFormLogin& f = fx.Shown();
        f.chkLogin->setChecked(true);
        f.btnReg->click();
        FillRegistration(f);
        f.sbReg->click();
        QCOMPARE(fx.Registers(),
                 QStringList{QStringLiteral("Register(bob,%1,13812345678,bob@example.cn,香港,新界)")
                                 .arg(PasswordDigest(QStringLiteral("pw1")))});
        QCOMPARE(fx.boxes.Texts(), QStringList{message});
        QCOMPARE(fx.boxes.shown[0].icon, success ? MessageIcon::Information : MessageIcon::Error);
        QCOMPARE(f.PanelRegister->isHidden(), success);
        QCOMPARE(f.Timer1->isActive(), success);  // the return re-arms the automatic login
        QCOMPARE(f.regUserName->text(), QStringLiteral("bob"));
        QVERIFY(f.EditUserName->text().isEmpty());  // the new account is not filled in
        f.Timer1->stop();
    }

    void closeWhileRegisteringReturnsAndKeepsTheFields() {
        Fixture fx;
        TFormLogin& f = fx.Shown();
        f.btnReg->click();
        FillRegistration(f);
        f.chkLogin->setChecked(true);
        QTest::mouseClick(f.ImageClose2, Qt::LeftButton);
        QVERIFY(f.isVisible());
        QVERIFY(f.PanelRegister->isHidden());
        QCOMPARE(f.focusWidget(), f.EditUserName);
        QVERIFY(f.Timer1->isActive());
        f.Timer1->stop();

        // The system close command obeys the same rule.
        f.btnReg->click();
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QVERIFY(f.PanelRegister->isHidden());

        f.btnReg->click();
        QCOMPARE(f.regUserName->text(), QStringLiteral("bob"));
        QCOMPARE(f.Mobile->text(), QStringLiteral("13812345678"));
        QCOMPARE(f.Prov->currentText(), QStringLiteral("香港"));
        QCOMPARE(f.City->currentText(), QStringLiteral("新界"));
        f.Timer1->stop();
    }

    // --- chrome ---------------------------------------------------------------------------
    void placementOutlineAndPicturesAfterShow() {
        Fixture fx;
        QFile leftover(fx.dir.filePath(QStringLiteral("sarn-terminal.old")));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        TFormLogin& f = fx.Create(1024);
        QVERIFY(!leftover.exists());
        QCOMPARE(f.pos(), QPoint(776, 40));
        QCOMPARE(f.size(), QSize(248, 500));
        QCOMPARE(f.PanelLogin->geometry(), QRect(0, 0, 250, 500));
        QVERIFY(!f.mask().contains(QPoint(0, 0)));
        QVERIFY(!f.mask().contains(QPoint(247, 499)));
        QVERIFY(f.mask().contains(QPoint(1, 0)));
        QVERIFY(f.mask().contains(QPoint(247, 1)));
        QCOMPARE(f.ImageClose1->x(), 0);
        QCOMPARE(f.ImageMin1->x(), 8);
        QVERIFY(f.Image2->Picture().isNull());
        for (QLineEdit* edit : {f.EditPassword, f.regPwd, f.regConfirm}) {
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            QCOMPARE(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit),
                     int(u'*'));
        }

        f.show();
        QCOMPARE(f.ImageClose1->x(), 199);
        QCOMPARE(f.ImageMin1->x(), 173);
        QCOMPARE(f.ImageClose2->x(), 199);
        QCOMPARE(f.ImageMin2->x(), 173);
        QCOMPARE(fx.loads,
                 (QStringList{QStringLiteral("closeLeaveBmp"), QStringLiteral("minLeaveBmp")}));
        QCOMPARE(f.Image2->Picture().cacheKey(), f.Image1->Picture().cacheKey());
        QCOMPARE(f.ImageClose2->Picture().size(), QSize(43, 17));
        // The corner colour is not drawn.
        QCOMPARE(qAlpha(f.ImageClose1->Picture().toImage().pixel(0, 16)), 0);
    }

    void hoverPicturesLoadOncePerVisit() {
        Fixture fx;
        TFormLogin& f = fx.Shown();
        Move(f.ImageClose1, {5, 5});
        Move(f.ImageClose1, {6, 6});
        QCOMPARE(fx.loads, QStringList{QStringLiteral("closeBmp")});
        QCOMPARE(f.ImageClose1->Picture().size(), QSize(42, 17));
        Leave(f.ImageClose1);
        Move(f.ImageClose1, {7, 7});
        Move(f.ImageMin1, {3, 3});
        Leave(f.ImageMin1);
        QCOMPARE(fx.loads, (QStringList{QStringLiteral("closeBmp"), QStringLiteral("closeLeaveBmp"),
                                        QStringLiteral("closeBmp"), QStringLiteral("minBmp"),
                                        QStringLiteral("minLeaveBmp")}));
        QCOMPARE(f.ImageMin1->Picture().size(), QSize(26, 17));

        // The registration panel's pictures change under the pointer too, each its own.
        fx.loads.clear();
        Leave(f.ImageClose1);
        f.btnReg->click();
        Move(f.ImageClose2, {5, 5});
        QCOMPARE(f.ImageClose2->Picture().size(), QSize(42, 17));
        QCOMPARE(f.ImageClose1->Picture().size(), QSize(43, 17));
    }

    void dragFollowsTheLeftButtonOnly() {
        Fixture fx;
        TFormLogin& f = fx.Shown();
        const QPoint start = f.pos();
        QTest::mousePress(f.ImageTitleBar1, Qt::RightButton, {}, {50, 10});
        Move(f.ImageTitleBar1, {80, 15}, Qt::RightButton);
        QCOMPARE(f.pos(), start);
        QTest::mouseRelease(f.ImageTitleBar1, Qt::RightButton, {}, {80, 15});

        QTest::mousePress(f.ImageTitleBar1, Qt::LeftButton, {}, {50, 10});
        Move(f.ImageTitleBar1, {20, 40}, Qt::LeftButton);  // outside the strip: still followed
        QCOMPARE(f.pos(), start + QPoint(-30, 30));
        QTest::mouseRelease(f.ImageTitleBar1, Qt::LeftButton, {}, {50, 10});
        Move(f.ImageTitleBar1, {90, 12});
        QCOMPARE(f.pos(), start + QPoint(-30, 30));
        QVERIFY(!f.Dragging);
    }

    void linksOpenAndMinimiseMinimises() {
        Fixture fx;
        TFormLogin& f = fx.Shown();
        QTest::mouseClick(f.linkForget, Qt::LeftButton);
        QTest::mouseClick(f.linkAbout, Qt::LeftButton);
        QCOMPARE(
            fx.opened,
            (QList<QUrl>{QUrl(QStringLiteral("http://sarn.test:8088/qkHome/servicezhmm.aspx")),
                         QUrl(QStringLiteral("http://sarn.test:8088/qkHome/aboutgsjs.html"))}));
        QVERIFY(f.isVisible());
        QTest::mouseClick(f.ImageMin1, Qt::LeftButton);
        QTRY_VERIFY(f.isMinimized());
        QVERIFY(f.isVisible());
    }

    void tabOrderRunsThroughBothPanels() {
        Fixture fx;
        TFormLogin& f = fx.Shown();
        QCOMPARE(f.focusWidget(), f.EditUserName);
        const QList<QWidget*> order{f.EditUserName, f.EditPassword, f.chkPassword, f.chkLogin};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order[i]);
        }
        QVERIFY(f.btnLogin->focusPolicy() == Qt::NoFocus);
        QTest::keyClick(f.EditUserName, Qt::Key_Escape);  // no cancel button
        QVERIFY(f.isVisible());
    }
};

QTEST_MAIN(LoginWindowTest)
#include "LoginWindowTest.moc"
