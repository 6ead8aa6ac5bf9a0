#pragma once

#include "login/LoginRules.h"

#include <QComboBox>
#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace sarn {

struct AppContext;
class LoginLinkLabel;
class PictureControl;
class LoginSpeedButton;

// What the login window takes from outside besides the context: the automatic-login delay, the
// screen width it aligns to, how web links are opened and how named bitmaps are loaded.
struct LoginWindowSeams {
    std::chrono::milliseconds autoLoginInterval{2000};
    std::function<int()> screenWidth;                   // default: the primary screen's width
    std::function<void(const QUrl&)> openUrl;           // default: the user's browser
    std::function<QPixmap(const QString&)> loadBitmap;  // default: LoadSkinBitmap
};

// The login window: the login panel, the registration panel over it and the skinned chrome.
// Run modally; it ends with result 1 after an accepted login and 2 otherwise. Controls and
// handlers are public, as the window description binds them.
class TFormLogin : public QDialog {
    Q_OBJECT
  public:
    TFormLogin(AppContext& context, LoginWindowSeams seams, QWidget* parent = nullptr);
    ~TFormLogin() override;

    // Login panel.
    QWidget* PanelLogin;
    PictureControl* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* EditUserName;
    QLineEdit* EditPassword;
    QCheckBox* chkPassword;
    QLabel* lblPassword;
    QCheckBox* chkLogin;
    QLabel* lblAuto;
    LoginSpeedButton* btnLogin;
    LoginSpeedButton* btnReg;
    LoginLinkLabel* linkForget;
    LoginLinkLabel* linkAbout;
    PictureControl* ImageTitleBar1;
    PictureControl* ImageClose1;
    PictureControl* ImageMin1;

    // Registration panel.
    QWidget* PanelRegister;
    PictureControl* Image2;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label7;
    QLabel* Label6;
    QLabel* Label8;
    QLabel* Label11;
    QLineEdit* regUserName;
    QLineEdit* regPwd;
    QLineEdit* regConfirm;
    QLineEdit* Mobile;
    QLineEdit* Email;
    QComboBox* Prov;
    QComboBox* City;
    LoginSpeedButton* sbReg;
    QLabel* Label10;
    PictureControl* ImageTitleBar2;
    PictureControl* ImageClose2;
    PictureControl* ImageMin2;

    QTimer* Timer1;
    QStringList CityLists;

    bool CloseHoverArmed = true;
    bool MinHoverArmed = true;
    int DragX = 0;
    int DragY = 0;
    bool Dragging = false;

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormCloseQuery(bool& CanClose);
    void btnLoginClick();
    void btnRegClick();
    void Timer1Timer();
    void chkLoginClick();
    void ProvChange();
    void sbRegClick();
    void ImageTitleBar1MouseDown(Qt::MouseButton Button, int X, int Y);
    void ImageTitleBar1MouseMove(int X, int Y);
    void ImageTitleBar1MouseUp(Qt::MouseButton Button, int X, int Y);
    void ImageClose1MouseMove(PictureControl* Sender);
    void ImageMin1MouseMove(PictureControl* Sender);
    void ImageClose1Click();
    void ImageMin1Click();
    void linkForgetClick(LoginLinkLabel* Sender);
    // The pointer-leave handlers that stand in for the pictures' own message handling.
    void ImageClose1WndProc();
    void ImageClose2WndProc();
    void ImageMin1WndProc();
    void ImageMin2WndProc();

    // The close rule decides every end of the window, this one included.
    void done(int result) override;
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildPanelLogin(const QPixmap& background);
    void BuildPanelRegister();
    void WireHandlers();
    void Guarded(const std::function<void()>& handler);

    bool CheckLoginFields();
    bool DoLogin();
    void ShowLoginPanel(bool loginPanel);
    void OpenRegisterPanel();
    void LoadCityLists();
    bool CheckRegisterFields();
    bool CheckMobile();
    bool CheckEmail();
    void DoRegister();

    void SetTimer1Enabled(bool enabled);
    void CloseLeave(PictureControl* picture);
    void MinLeave(PictureControl* picture);
    RegisterFields CurrentRegisterFields() const;

    AppContext& context_;
    LoginWindowSeams seams_;
};

}  // namespace sarn
