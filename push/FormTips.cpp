#include "push/FormTips.h"

#include "platform/gui/PictureControl.h"
#include "push/TextLabel.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <thread>

namespace sarn {

TFormTips* FormTips = nullptr;

namespace {

constexpr int kClientWidth = 290;
constexpr int kClientHeight = 160;

// A rounded rectangle with 4 x 4 corner ellipses, as a window region.
QBitmap RoundedRegion() {
    QBitmap shape(kClientWidth, kClientHeight);
    shape.fill(Qt::color0);
    QPainter painter(&shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRect(0, 0, kClientWidth, kClientHeight), 2, 2);
    return shape;
}

PictureControl* MakePicture(QWidget* parent, const QString& resource, PictureControl::Fit fit,
                            bool transparent) {
    const QImage bitmap(resource);
    auto* picture = new PictureControl(parent, fit);
    picture->SetPicture(QPixmap::fromImage(transparent ? WithTransparentCorner(bitmap) : bitmap));
    return picture;
}

}  // namespace

QSize PrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize();
}

TFormTips::TFormTips(PopupPlacement placement, PopupTiming timing)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , placement_(std::move(placement))
    , timing_(timing) {
    setWindowTitle(QStringLiteral("Sarn资讯"));
    setFixedSize(kClientWidth, kClientHeight);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    using Fit = PictureControl::Fit;
    ImageTitle = MakePicture(this, QStringLiteral(":/push/background.bmp"), Fit::Stretch, false);
    ImageTitle->setGeometry(0, 0, kClientWidth, kClientHeight);
    ImageTitle->setCursor(Qt::SizeAllCursor);
    Image2 = MakePicture(this, QStringLiteral(":/push/panel.bmp"), Fit::Stretch, false);
    Image2->setGeometry(6, 24, 278, 130);
    ImageClose1 = MakePicture(this, QStringLiteral(":/push/close.bmp"), Fit::Unscaled, true);
    ImageClose1->setGeometry(258, 0, 27, 17);

    txtBody =
        new TextLabel(this, 13, palette().color(QPalette::WindowText), TextLabel::Layout::Wrapped);
    txtBody->setGeometry(16, 60, 258, 60);
    txtTitle = new TextLabel(this, 13, Qt::red, TextLabel::Layout::OneLine);
    txtTitle->setGeometry(16, 34, 258, 16);
    Image1 = MakePicture(this, QStringLiteral(":/push/emblem.bmp"), Fit::Unscaled, true);
    Image1->setGeometry(QRect(QPoint(4, 2), Image1->Picture().size()));
    Label1 = new TextLabel(this, 12, Qt::white, TextLabel::Layout::SizedToText);
    Label1->move(26, 4);
    Label1->setText(QStringLiteral("Sarn资讯终端"));
    txtTime = new TextLabel(this, 13, QColor(0, 0, 128), TextLabel::Layout::OneLineRight);
    txtTime->setGeometry(16, 130, 258, 16);

    Timer1 = new QTimer(this);
    Timer1->setInterval(timing_.wait);
    connect(Timer1, &QTimer::timeout, this, &TFormTips::Timer1Timer);
    connect(ImageClose1, &PictureControl::clicked, this, &TFormTips::ImageClose1Click);
    connect(Image1, &PictureControl::clicked, this, &TFormTips::ImageClose1Click);
    connect(ImageTitle, &PictureControl::pressed, this, [this](Qt::MouseButton button, QPoint at) {
        ImageTitleMouseDown(button, at.x(), at.y());
    });
    connect(ImageTitle, &PictureControl::moved, this,
            [this](QPoint at) { ImageTitleMouseMove(at.x(), at.y()); });
    connect(ImageTitle, &PictureControl::released, this,
            [this](Qt::MouseButton button, QPoint) { ImageTitleMouseUp(button); });

    FormCreate();
}

TFormTips::~TFormTips() {
    if (FormTips == this) {
        FormTips = nullptr;
    }
}

void TFormTips::FormCreate() {
    Tag = kClientHeight;
    const QSize screen = placement_.screenSize();
    const int top = screen.height() - placement_.mainFrameHeight();
    const int left = screen.width() - kClientWidth - 2;
    move(left, top);
    setMask(RoundedRegion());
    update();
}

void TFormTips::ShowTips() {
    show();
    raise();
    activateWindow();
    // The platform reports the activation later, if at all; the slide-in belongs to the show.
    FormActivate();
}

bool TFormTips::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate) {
        // Not from inside the activation itself: Qt is walking its windows to tell them of the
        // change, and the slide's nested event processing may free some of them meanwhile.
        QMetaObject::invokeMethod(this, &TFormTips::FormActivate, Qt::QueuedConnection);
    }
    return handled;
}

void TFormTips::FormActivate() {
    if (closed_) {
        return;
    }
    ++sliding_;
    while (Tag > 0 && !closed_) {
        Tag -= 5;
        move(x(), y() - 5);
        Step();
    }
    --sliding_;
    if (closed_) {
        FreeWhenIdle();
        return;
    }
    if (!Timer1->isActive()) {
        Timer1->start();
    }
}

void TFormTips::Timer1Timer() {
    Timer1->stop();
    Tag = kClientHeight;
    ++sliding_;
    while (Tag > 0 && !closed_) {
        Tag -= 1;
        move(x(), y() + 1);
        Step();
    }
    --sliding_;
    if (!closed_) {
        close();
    }
    FreeWhenIdle();
}

void TFormTips::closeEvent(QCloseEvent* event) {
    event->accept();
    FormClose();
}

void TFormTips::FormClose() {
    FormTips = nullptr;
    closed_ = true;
    Timer1->stop();
    FreeWhenIdle();
}

void TFormTips::FreeWhenIdle() {
    if (closed_ && sliding_ == 0) {
        deleteLater();
    }
}

void TFormTips::ImageClose1Click() {
    close();
}

void TFormTips::ImageTitleMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton) {
        return;
    }
    DownX = x;
    DownY = y;
    Dragging = true;
}

void TFormTips::ImageTitleMouseMove(int x, int y) {
    if (Dragging) {
        move(this->x() + x - DownX, this->y() + y - DownY);
    }
}

void TFormTips::ImageTitleMouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        Dragging = false;
    }
}

void TFormTips::Step() {
    repaint();
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(timing_.step);
}

}  // namespace sarn
