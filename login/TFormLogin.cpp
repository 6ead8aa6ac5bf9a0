#include "login/TFormLogin.h"

#include "core/AppContext.h"
#include "core/Helpers.h"
#include "core/Leftover.h"
#include "core/Settings.h"
#include "login/RegionTable.h"
#include "login/SkinWidgets.h"
#include "platform/CodePage.h"
#include "platform/gui/PictureControl.h"
#include "service/Wrappers.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QRegion>
#include <QScreen>
#include <QTimer>

namespace sarn {

namespace {

constexpr int kClientWidth = 248;
constexpr int kClientHeight = 500;
constexpr int kPanelWidth = 250;  // 2 pixels wider than the window: the rightmost 2 are cut off
constexpr int kTop = 40;
const QColor kLightYellow(255, 255, 128);

// 宋体 at 12 pixels where the system has it; a Debian desktop falls back to WenQuanYi Zen Hei.
QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Zen Hei")});
    font.setPixelSize(12);
    return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* panel, const QString& caption, const QRect& geometry) {
    auto* label = new QLabel(caption, panel);
    label->setGeometry(geometry);
    return label;
}

// Password edits mask with "*" whatever the desktop style would use.
class StarPasswordStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return u'*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QLineEdit* MakeEdit(QWidget* panel, const QRect& geometry, bool password) {
    auto* edit = new QLineEdit(panel);
    edit->setGeometry(geometry);
    edit->setFrame(true);
    SetTextColour(edit, Qt::black);
    if (password) {
        auto* style = new StarPasswordStyle;
        style->setParent(edit);
        edit->setStyle(style);
        edit->setEchoMode(QLineEdit::Password);
    }
    return edit;
}

QComboBox* MakeList(QWidget* panel, const QRect& geometry) {
    auto* list = new QComboBox(panel);
    list->setEditable(false);
    list->setFrame(false);
    list->setGeometry(geometry);
    SetTextColour(list, Qt::black);
    return list;
}

LoginLinkLabel* MakeLink(QWidget* panel, const QString& caption, const QRect& geometry) {
    auto* link = new LoginLinkLabel(caption, panel);
    link->setGeometry(geometry);
    link->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    SetTextColour(link, kLightYellow);
    return link;
}

QCheckBox* MakeCheckBox(QWidget* panel, const QRect& geometry) {
    auto* box = new QCheckBox(panel);
    box->setGeometry(geometry);
    return box;
}

// The hourglass for exactly as long as the object lives.
class WaitCursor {
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TFormLogin::TFormLogin(AppContext& context, LoginWindowSeams seams, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint)
    , context_(context)
    , seams_(std::move(seams)) {
    if (!seams_.screenWidth) {
        seams_.screenWidth = [] {
            const QScreen* screen = QGuiApplication::primaryScreen();
            return screen != nullptr ? screen->geometry().width() : kClientWidth;
        };
    }
    if (!seams_.openUrl) {
        seams_.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    }
    if (!seams_.loadBitmap) {
        seams_.loadBitmap = LoadSkinBitmap;
    }

    setWindowTitle(QStringLiteral("欢迎使用Sarn产品"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(WindowFont());
    SetTextColour(this, Qt::white);

    BuildPanelLogin(LoadLoginBackground());
    BuildPanelRegister();

    Timer1 = new QTimer(this);
    Timer1->setInterval(seams_.autoLoginInterval);
    WireHandlers();

    Guarded([this] { FormCreate(); });
}

TFormLogin::~TFormLogin() = default;

void TFormLogin::BuildPanelLogin(const QPixmap& background) {
    PanelLogin = new QWidget(this);
    PanelLogin->setGeometry(0, 0, kPanelWidth, kClientHeight);
    QWidget* p = PanelLogin;

    // Creation order is stacking order: background, labels and buttons, the drag strip, the
    // close and minimise pictures, then the edits and check boxes on top in tab order.
    Image1 = new PictureControl(p, PictureControl::Fit::Stretch);
    Image1->setGeometry(0, 0, kPanelWidth, kClientHeight);
    Image1->SetPicture(background);

    Label1 = MakeLabel(p, QStringLiteral("用户名："), {32, 184, 48, 12});
    Label2 = MakeLabel(p, QStringLiteral("密  码："), {32, 214, 48, 12});
    lblPassword = MakeLabel(p, QStringLiteral("记住我的密码"), {116, 282, 72, 12});
    lblAuto = MakeLabel(p, QStringLiteral("自动为我登录"), {116, 302, 72, 12});

    btnLogin = new LoginSpeedButton(p, LoadSkinBitmap(QStringLiteral("btnLogin")), false);
    btnLogin->setGeometry(72, 344, 65, 22);
    btnReg = new LoginSpeedButton(p, LoadSkinBitmap(QStringLiteral("btnReg")), true);
    btnReg->setGeometry(152, 344, 65, 22);

    linkForget = MakeLink(p, QStringLiteral("忘记密码"), {169, 402, 48, 12});
    linkForget->SetHint(context_.host.ForgetPasswordAddress());
    linkAbout = MakeLink(p, QStringLiteral("关于我们"), {169, 422, 48, 12});
    linkAbout->SetHint(context_.host.AboutAddress());

    ImageTitleBar1 = new PictureControl(p);
    ImageTitleBar1->setGeometry(0, 0, kPanelWidth, 20);
    ImageClose1 = new PictureControl(p);
    ImageClose1->setGeometry(0, 1, 47, 17);
    ImageMin1 = new PictureControl(p);
    ImageMin1->setGeometry(8, 1, 26, 17);

    EditUserName = MakeEdit(p, {96, 182, 121, 20}, false);
    EditPassword = MakeEdit(p, {96, 212, 121, 20}, true);
    chkPassword = MakeCheckBox(p, {96, 282, 14, 14});
    chkLogin = MakeCheckBox(p, {96, 302, 14, 14});
}

void TFormLogin::BuildPanelRegister() {
    PanelRegister = new QWidget(this);
    PanelRegister->setGeometry(0, 0, kPanelWidth, kClientHeight);
    PanelRegister->hide();
    QWidget* p = PanelRegister;

    Image2 = new PictureControl(p, PictureControl::Fit::Stretch);
    Image2->setGeometry(0, 0, kPanelWidth, kClientHeight);

    Label4 = MakeLabel(p, QStringLiteral("用户名称："), {32, 184, 60, 12});
    Label5 = MakeLabel(p, QStringLiteral("密    码："), {32, 214, 60, 12});
    Label7 = MakeLabel(p, QStringLiteral("确认密码："), {32, 244, 60, 12});
    Label6 = MakeLabel(p, QStringLiteral("手机号码："), {32, 274, 60, 12});
    Label8 = MakeLabel(p, QStringLiteral("EMail："), {32, 304, 42, 12});
    Label11 = MakeLabel(p, QStringLiteral("所在省市："), {32, 334, 60, 12});

    sbReg = new LoginSpeedButton(p, LoadSkinBitmap(QStringLiteral("btnReg")), true);
    sbReg->setGeometry(96, 376, 65, 22);
    Label10 = MakeLabel(p, QStringLiteral("！不通过手机收取任何费用"), {32, 446, 144, 12});
    SetTextColour(Label10, kLightYellow);

    ImageTitleBar2 = new PictureControl(p);
    ImageTitleBar2->setGeometry(0, 0, kPanelWidth, 20);
    ImageClose2 = new PictureControl(p);
    ImageClose2->setGeometry(0, 1, 47, 17);
    ImageMin2 = new PictureControl(p);
    ImageMin2->setGeometry(8, 1, 26, 17);

    regUserName = MakeEdit(p, {96, 182, 121, 20}, false);
    regPwd = MakeEdit(p, {96, 212, 121, 20}, true);
    regConfirm = MakeEdit(p, {96, 242, 121, 20}, true);
    Mobile = MakeEdit(p, {96, 272, 121, 20}, false);
    Email = MakeEdit(p, {96, 302, 121, 20}, false);
    Prov = MakeList(p, {96, 332, 50, 18});
    Prov->addItems(ProvinceNames());
    Prov->setCurrentIndex(-1);
    City = MakeList(p, {156, 332, 60, 18});
}

void TFormLogin::WireHandlers() {
    const QList<QWidget*> tabOrder{EditUserName, EditPassword, chkPassword, chkLogin,
                                   regUserName,  regPwd,       regConfirm,  Mobile,
                                   Email,        Prov,         City};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    for (PictureControl* strip : {ImageTitleBar1, ImageTitleBar2}) {
        strip->setCursor(Qt::SizeAllCursor);
        strip->setMouseTracking(true);
        connect(strip, &PictureControl::pressed, this, [this](Qt::MouseButton button, QPoint at) {
            Guarded([&] { ImageTitleBar1MouseDown(button, at.x(), at.y()); });
        });
        connect(strip, &PictureControl::moved, this,
                [this](QPoint at) { Guarded([&] { ImageTitleBar1MouseMove(at.x(), at.y()); }); });
        connect(strip, &PictureControl::released, this, [this](Qt::MouseButton button, QPoint at) {
            Guarded([&] { ImageTitleBar1MouseUp(button, at.x(), at.y()); });
        });
    }
    for (PictureControl* close : {ImageClose1, ImageClose2}) {
        close->setMouseTracking(true);
        connect(close, &PictureControl::moved, this,
                [this, close] { Guarded([&] { ImageClose1MouseMove(close); }); });
        connect(close, &PictureControl::clicked, this,
                [this] { Guarded([&] { ImageClose1Click(); }); });
    }
    for (PictureControl* min : {ImageMin1, ImageMin2}) {
        min->setMouseTracking(true);
        connect(min, &PictureControl::moved, this,
                [this, min] { Guarded([&] { ImageMin1MouseMove(min); }); });
        connect(min, &PictureControl::clicked, this,
                [this] { Guarded([&] { ImageMin1Click(); }); });
    }
    for (LoginLinkLabel* link : {linkForget, linkAbout}) {
        connect(link, &LoginLinkLabel::clicked, this,
                [this, link] { Guarded([&] { linkForgetClick(link); }); });
    }
    connect(btnLogin, &QAbstractButton::clicked, this,
            [this] { Guarded([&] { btnLoginClick(); }); });
    connect(btnReg, &QAbstractButton::clicked, this, [this] { Guarded([&] { btnRegClick(); }); });
    connect(sbReg, &QAbstractButton::clicked, this, [this] { Guarded([&] { sbRegClick(); }); });
    connect(chkLogin, &QAbstractButton::clicked, this,
            [this] { Guarded([&] { chkLoginClick(); }); });
    connect(Prov, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([&] { ProvChange(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([&] { Timer1Timer(); }); });
}

void TFormLogin::Guarded(const std::function<void()>& handler) {
    context_.errors.Guard(handler);
}

// --- Window -------------------------------------------------------------------------------

void TFormLogin::FormCreate() {
    move(seams_.screenWidth() - width(), kTop);
    DeleteLeftoverUpdate(context_.executablePath);
    for (QWidget* picture : {ImageClose1, ImageClose2, ImageMin1, ImageMin2}) {
        picture->installEventFilter(this);
    }
    CityLists.clear();
    EditUserName->setText(context_.state.UserName);
    if (context_.state.savePassword) {
        EditPassword->setText(context_.state.Password);
    }
    chkPassword->setChecked(context_.state.savePassword);
    chkLogin->setChecked(context_.state.autoLogin);
    // Both panels paint through Qt's backing store, which is double-buffered already.
    FormResize();
}

void TFormLogin::FormShow() {
    SetTimer1Enabled(chkLogin->isChecked());

    Image2->SetPicture(Image1->Picture());
    CloseHoverArmed = true;
    MinHoverArmed = true;
    ImageClose1->move(width() - ImageClose1->width() - 2, ImageClose1->y());
    ImageClose1->SetPicture(seams_.loadBitmap(QStringLiteral("closeLeaveBmp")));
    ImageMin1->move(width() - ImageMin1->width() - ImageClose1->width() - 2, ImageMin1->y());
    ImageMin1->SetPicture(seams_.loadBitmap(QStringLiteral("minLeaveBmp")));
    ImageClose2->move(ImageClose1->x(), ImageClose2->y());
    ImageMin2->move(ImageMin1->x(), ImageMin2->y());
    ImageClose2->SetPicture(ImageClose1->Picture());
    ImageMin2->SetPicture(ImageMin1->Picture());
}

void TFormLogin::FormResize() {
    // A rounded rectangle with a 2 x 2 corner ellipse: only the four corner pixels fall outside.
    QRegion outline(0, 0, width(), height());
    const int right = width() - 1;
    const int bottom = height() - 1;
    for (const QPoint& corner :
         {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)}) {
        outline -= QRegion(corner.x(), corner.y(), 1, 1);
    }
    setMask(outline);
    update();
}

void TFormLogin::FormCloseQuery(bool& CanClose) {
    CanClose = PanelRegister->isHidden();
    if (!CanClose) {
        ShowLoginPanel(true);
    }
}

void TFormLogin::done(int result) {
    bool canClose = true;
    if (!context_.errors.Guard([&] { FormCloseQuery(canClose); })) {
        canClose = false;
    }
    if (!canClose) {
        setResult(0);
        return;
    }
    QDialog::done(result);
}

void TFormLogin::reject() {
    done(2);
}

void TFormLogin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A restore from the taskbar is no new show.
    if (!event->spontaneous()) {
        Guarded([this] { FormShow(); });
    }
}

void TFormLogin::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Guarded([this] { FormResize(); });
}

void TFormLogin::closeEvent(QCloseEvent* event) {
    done(2);
    event->setAccepted(isHidden());
}

void TFormLogin::keyPressEvent(QKeyEvent* event) {
    // The window has no cancel button: Escape closes nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// --- Login panel ------------------------------------------------------------------------------

void TFormLogin::btnLoginClick() {
    DoLogin();
}

void TFormLogin::Timer1Timer() {
    SetTimer1Enabled(false);
    DoLogin();
}

void TFormLogin::chkLoginClick() {
    SetTimer1Enabled(chkLogin->isChecked());
}

void TFormLogin::btnRegClick() {
    OpenRegisterPanel();
}

void TFormLogin::SetTimer1Enabled(bool enabled) {
    // Enabling a running timer leaves its countdown alone; only a stopped one starts afresh.
    if (!enabled) {
        Timer1->stop();
    } else if (!Timer1->isActive()) {
        Timer1->start();
    }
}

bool TFormLogin::CheckLoginFields() {
    const auto problem = FirstLoginProblem(EditUserName->text(), EditPassword->text());
    if (!problem) {
        return true;
    }
    ShowError(context_.boxes, problem->message);
    (problem->focus == LoginField::UserName ? EditUserName : EditPassword)->setFocus();
    return false;
}

bool TFormLogin::DoLogin() {
    if (!CheckLoginFields()) {
        return false;
    }
    const QString userName = AnsiRoundTrip(EditUserName->text());
    const QString password = AnsiRoundTrip(EditPassword->text());
    qint32 result = 0;
    {
        WaitCursor hourglass;
        result = SvcLogin(userName, PasswordDigest(password));
    }
    if (result > 0) {
        SessionState& state = context_.state;
        state.CustomerID = result;
        SvcAddLogin(state.CustomerID, SvcGetRemoteIP());
        state.UserName = userName;
        state.Password = password;
        state.savePassword = chkPassword->isChecked();
        state.autoLogin = chkLogin->isChecked();
        SaveSettings(state, context_.iniPath);
        done(1);
        return true;
    }
    const QString message = LoginFailureMessage(result);
    if (!message.isEmpty()) {
        ShowError(context_.boxes, message);
    }
    return false;
}

void TFormLogin::ShowLoginPanel(bool loginPanel) {
    PanelRegister->setVisible(!loginPanel);
    if (!PanelRegister->isHidden()) {
        regUserName->setFocus();
        return;
    }
    EditUserName->setFocus();
    SetTimer1Enabled(chkLogin->isChecked());
}

// --- Registration panel --------------------------------------------------------------------

void TFormLogin::OpenRegisterPanel() {
    LoadCityLists();
    ShowLoginPanel(false);
}

void TFormLogin::LoadCityLists() {
    CityLists.clear();
    for (const RegionRow& row : RegionTable()) {
        CityLists << CommaToLines(QString::fromUtf16(row.cities));
    }
}

void TFormLogin::ProvChange() {
    City->clear();
    const int index = Prov->currentIndex();
    if (index >= 0 && index < CityLists.size()) {
        City->addItems(CityLists[index].split(QStringLiteral("\r\n")));
    }
    City->setCurrentIndex(-1);
}

void TFormLogin::sbRegClick() {
    if (CheckRegisterFields()) {
        DoRegister();
    }
}

RegisterFields TFormLogin::CurrentRegisterFields() const {
    return {AnsiRoundTrip(regUserName->text()),
            AnsiRoundTrip(regPwd->text()),
            AnsiRoundTrip(regConfirm->text()),
            AnsiRoundTrip(Mobile->text()),
            AnsiRoundTrip(Email->text()),
            Prov->currentText(),
            City->currentText()};
}

bool TFormLogin::CheckMobile() {
    return IsValidMobile(Mobile->text());
}

bool TFormLogin::CheckEmail() {
    return IsValidEmail(Email->text());
}

bool TFormLogin::CheckRegisterFields() {
    const auto problem = FirstRegisterProblem(CurrentRegisterFields());
    if (!problem) {
        return true;
    }
    ShowError(context_.boxes, problem->message);
    QWidget* const targets[] = {regUserName, regPwd, regConfirm, Mobile, Email, Prov, City};
    targets[static_cast<int>(problem->focus)]->setFocus();
    return false;
}

void TFormLogin::DoRegister() {
    const RegisterFields fields = CurrentRegisterFields();
    const qint32 result = SvcRegister(fields.userName, PasswordDigest(fields.pwd), fields.mobile,
                                      fields.email, fields.prov, fields.city);
    const RegisterReaction reaction = ReactToRegisterResult(result, fields);
    if (!reaction.success) {
        ShowError(context_.boxes, reaction.message);
        return;
    }
    ShowInfo(context_.boxes, reaction.message);
    ShowLoginPanel(true);
}

// --- Chrome ----------------------------------------------------------------------------------

void TFormLogin::ImageTitleBar1MouseDown(Qt::MouseButton Button, int X, int Y) {
    if (Button != Qt::LeftButton) {
        return;
    }
    DragX = X;
    DragY = Y;
    Dragging = true;
}

void TFormLogin::ImageTitleBar1MouseMove(int X, int Y) {
    // The strip keeps the pointer from press to release, so this follows it anywhere, even
    // partly off the screen.
    if (Dragging) {
        move(x() + X - DragX, y() + Y - DragY);
    }
}

void TFormLogin::ImageTitleBar1MouseUp(Qt::MouseButton Button, int, int) {
    if (Button == Qt::LeftButton) {
        Dragging = false;
    }
}

void TFormLogin::ImageClose1MouseMove(PictureControl* Sender) {
    if (CloseHoverArmed) {
        CloseHoverArmed = false;
        Sender->SetPicture(seams_.loadBitmap(QStringLiteral("closeBmp")));
    }
}

void TFormLogin::ImageMin1MouseMove(PictureControl* Sender) {
    if (MinHoverArmed) {
        MinHoverArmed = false;
        Sender->SetPicture(seams_.loadBitmap(QStringLiteral("minBmp")));
    }
}

void TFormLogin::CloseLeave(PictureControl* picture) {
    CloseHoverArmed = true;
    picture->SetPicture(seams_.loadBitmap(QStringLiteral("closeLeaveBmp")));
}

void TFormLogin::MinLeave(PictureControl* picture) {
    MinHoverArmed = true;
    picture->SetPicture(seams_.loadBitmap(QStringLiteral("minLeaveBmp")));
}

void TFormLogin::ImageClose1WndProc() {
    CloseLeave(ImageClose1);
}
void TFormLogin::ImageClose2WndProc() {
    CloseLeave(ImageClose2);
}
void TFormLogin::ImageMin1WndProc() {
    MinLeave(ImageMin1);
}
void TFormLogin::ImageMin2WndProc() {
    MinLeave(ImageMin2);
}

bool TFormLogin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Leave) {
        Guarded([&] {
            if (watched == ImageClose1) {
                ImageClose1WndProc();
            } else if (watched == ImageClose2) {
                ImageClose2WndProc();
            } else if (watched == ImageMin1) {
                ImageMin1WndProc();
            } else if (watched == ImageMin2) {
                ImageMin2WndProc();
            }
        });
    }
    // Every message, the leave notification included, goes on to the picture itself.
    return QDialog::eventFilter(watched, event);
}

void TFormLogin::ImageClose1Click() {
    close();
}

void TFormLogin::ImageMin1Click() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            window->showMinimized();
        }
    }
}

void TFormLogin::linkForgetClick(LoginLinkLabel* Sender) {
    seams_.openUrl(QUrl(Sender->Hint()));
}

}  // namespace sarn
