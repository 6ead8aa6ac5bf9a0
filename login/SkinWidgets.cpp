#include "login/SkinWidgets.h"

#include "platform/Error.h"
#include "platform/image/JpegDecoder.h"

#include <qdrawutil.h>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace sarn {

QImage WithTransparentCorner(const QImage& picture) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) {
        return image;
    }
    const QRgb key = image.pixel(0, image.height() - 1) | 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == key) {
                line[x] = 0;
            }
        }
    }
    return image;
}

QPixmap LoadSkinBitmap(const QString& name) {
    const QImage bitmap(QStringLiteral(":/login/") + name + QStringLiteral(".bmp"));
    if (bitmap.isNull()) {
        throw SarnError(QStringLiteral("Bitmap resource %1 not found").arg(name));
    }
    return QPixmap::fromImage(WithTransparentCorner(bitmap));
}

QPixmap LoadLoginBackground() {
    QFile file(QStringLiteral(":/login/background.jpg"));
    if (!file.open(QIODevice::ReadOnly)) {
        throw SarnError(QStringLiteral("Background picture not found"));
    }
    return QPixmap::fromImage(DecodeJpeg(file.readAll()));
}

LoginPicture::LoginPicture(QWidget* parent, bool stretch) : QWidget(parent), stretch_(stretch) {}

void LoginPicture::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void LoginPicture::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture_);
    } else {
        painter.drawPixmap(0, 0, picture_);
    }
}

void LoginPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftDown_ = true;
    }
    emit mousePressed(event->button(), event->position().toPoint());
}

void LoginPicture::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position().toPoint());
}

void LoginPicture::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    const bool click = event->button() == Qt::LeftButton && leftDown_ && rect().contains(position);
    if (event->button() == Qt::LeftButton) {
        leftDown_ = false;
    }
    emit mouseReleased(event->button(), position);
    if (click) {
        emit clicked();
    }
}

LoginSpeedButton::LoginSpeedButton(QWidget* parent, const QPixmap& glyph, bool flat)
    : QAbstractButton(parent), glyph_(glyph), flat_(flat) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void LoginSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    const int shift = isDown() ? 1 : 0;
    const QPoint corner((width() - glyph_.width()) / 2 + shift,
                        (height() - glyph_.height()) / 2 + shift);
    painter.setClipRect(rect());
    painter.drawPixmap(corner, glyph_);
    if (!flat_ || isDown()) {
        qDrawShadePanel(&painter, rect(), palette(), isDown(), 1);
    }
}

LoginLinkLabel::LoginLinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setCursor(Qt::PointingHandCursor);
}

void LoginLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

}  // namespace sarn
