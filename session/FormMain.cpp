#include "session/FormMain.h"

#include "core/AppContext.h"
#include "core/Helpers.h"
#include "core/Settings.h"
#include "platform/CodePage.h"
#include "service/Wrappers.h"
#include "session/ActivityWatch.h"
#include "session/FormHint.h"
#include "session/UpdateThread.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSessionManager>
#include <QVBoxLayout>

namespace sarn {

TFormMain::TFormMain(AppContext& context, MainWindowParts parts)
    : context_(context), parts_(std::move(parts)) {
    resize(1010, 800);
    setMinimumSize(800, 600);

    browser_ = parts_.makeBrowser(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_->Widget());

    ApplicationEvents1 = new ActivityWatch(
        browser_->Widget(), [this] { Timer2.start(); }, this);
    CreateActions();

    const SessionTimings& timings = parts_.timings;
    Timer1.setInterval(timings.helloMs);
    Timer2.setInterval(timings.idleMs);
    Timer3.setInterval(timings.updateMs);
    Timer4.setInterval(timings.noticeDelayMs);
    Timer4.setSingleShot(true);
    const auto guarded = [this](void (TFormMain::*handler)()) {
        return [this, handler] { context_.errors.Guard([&] { (this->*handler)(); }); };
    };
    connect(&Timer1, &QTimer::timeout, this, guarded(&TFormMain::Timer1Timer));
    connect(&Timer2, &QTimer::timeout, this, guarded(&TFormMain::Timer2Timer));
    connect(&Timer3, &QTimer::timeout, this, guarded(&TFormMain::Timer3Timer));
    connect(&Timer4, &QTimer::timeout, this, guarded(&TFormMain::Timer4Timer));
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { context_.errors.Guard([this] { WMQueryEndSession(); }); });

    context_.errors.Guard([this] { FormCreate(); });
}

TFormMain::~TFormMain() {
    // The process does not wait for a download; the thread owns all it uses and goes with the
    // process.
    if (updateThread_ != nullptr && updateThread_->isRunning()) {
        updateThread_->disconnect(this);
        updateThread_->setParent(nullptr);
        updateThread_ = nullptr;
    }
}

void TFormMain::CreateActions() {
    // The window has no text control of its own for these to act on. They are attached to no
    // widget, so their shortcuts never fire here and the keys reach the portal page unchanged.
    const auto make = [this](const char16_t* caption, const QKeySequence& shortcut) {
        auto* action = new QAction(QString::fromUtf16(caption), this);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setProperty("category", QStringLiteral("Edit"));
        return action;
    };
    EditCut1 = make(u"剪切", QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCopy1 = make(u"复制", QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = make(u"粘贴", QKeySequence(Qt::CTRL | Qt::Key_V));
    EditSelectAll1 = make(u"全选", QKeySequence(Qt::CTRL | Qt::Key_A));
    EditUndo1 = make(u"撤消", QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditDelete1 = make(u"删除", QKeySequence(Qt::Key_Delete));
}

void TFormMain::FormCreate() {
    Closing = false;
    NoticeText = SvcGetNews();
    Client = parts_.makeClient([this] { return frameGeometry().height() - height(); });

    const QScreen* primary = QGuiApplication::primaryScreen();
    move(0, 0);
    resize(primary->geometry().width(), primary->availableGeometry().height());

    NoticePending = 1;
    OpenPortal();
    Client->SendHello();
}

void TFormMain::OpenPortal() {
    // Qt widgets paint double-buffered already.
    const QString title = AnsiRoundTrip(SvcGetCustomerProduct(context_.state.CustomerID));
    setWindowTitle(title);

    const SessionState& state = context_.state;
    const QString address = SvcGetNewURL() + QStringLiteral("?UserName=") + state.UserName +
                            QStringLiteral("&Pwd=") + PasswordDigest(state.Password);
    browser_->Navigate(address);
}

void TFormMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    context_.errors.Guard([this] { FormShow(); });
}

void TFormMain::FormShow() {
    if (NoticePending > 0) {
        Timer4.start();
    }
}

void TFormMain::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closed_) {
        return;
    }
    closed_ = true;
    context_.errors.Guard([this] { FormClose(); });
    if (parts_.endLoop) {
        QTimer::singleShot(0, this, parts_.endLoop);
    }
}

void TFormMain::FormClose() {
    Closing = true;
    Timer3.stop();
    Timer2.stop();
    Timer1.stop();
    if (Client) {
        Client->SendGoodbye();
    }
    ReportLogout();
}

void TFormMain::WMQueryEndSession() {
    Closing = true;
    if (Client) {
        Client->SendGoodbye();
    }
    ReportLogout();
}

void TFormMain::ReportLogout() {
    const QString ip = SvcGetRemoteIP();
    SvcAddLogOut(context_.state.CustomerID, ip);
}

void TFormMain::Timer1Timer() {
    if (!Closing && Client) {
        Client->SendHello();
    }
}

void TFormMain::Timer2Timer() {
    close();
}

void TFormMain::Timer4Timer() {
    Timer4.stop();
    --NoticePending;
    ShowDailyNotice();
}

void TFormMain::ShowDailyNotice() {
    SessionState& state = context_.state;
    if (!NoticeText.isEmpty() && !(state.Today == parts_.today() && state.Hint)) {
        auto* hint = new TFormHint(this);
        hint->CheckBox1->setChecked(state.Hint);
        // An undecodable notice leaves the dialog hidden with the window that owns it.
        QString notice = FromAnsi(DecodeBase64Text(ToAnsi(NoticeText)));
        notice.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        hint->Memo1->setPlainText(notice);
        hint->exec();
        state.Hint = hint->CheckBox1->isChecked();
        state.Today = parts_.today();
        delete hint;
        SaveSettings(state, context_.iniPath);
    }
    Timer1.start();
    Timer2.start();
    Timer3.start();
}

void TFormMain::Timer3Timer() {
    if (Closing) {
        return;
    }
    Timer3.stop();
    SessionState& state = context_.state;
    state.OfferedVersionNo = AnsiRoundTrip(SvcGetNewVersionNumber());
    if (state.OfferedVersionNo.isEmpty() || state.OfferedVersionNo == state.VersionNo) {
        Timer3.start();
        emit UpdateCheckDone();
        return;
    }
    auto* thread = new TUpdateThread(context_.makeServiceClient, context_.executablePath,
                                     context_.utilities.IdDecoderMIME1(), parts_.installStep, this);
    // Attached before the start, so it runs however fast the thread ends.
    connect(thread, &QThread::finished, this,
            [this] { context_.errors.Guard([this] { UpdateFinished(); }); });
    updateThread_ = thread;
    thread->start();
}

void TFormMain::UpdateFinished() {
    SessionState& state = context_.state;
    TUpdateThread* thread = updateThread_;
    updateThread_ = nullptr;
    const bool installed = thread != nullptr && thread->Installed();
    if (thread != nullptr) {
        thread->deleteLater();
    }
    if (installed) {
        state.VersionNo = state.OfferedVersionNo;
        try {
            SaveSettings(state, context_.iniPath);
        } catch (const SarnError&) {
            // Nothing of an update is shown; the next start finds the old number and the
            // check offers the same image again.
        }
    }
    Timer3.start();
    emit UpdateCheckDone();
}

}  // namespace sarn
