#include "login/SkinWidgets.h"

#include "platform/Error.h"
#include "platform/gui/PictureControl.h"
#include "platform/image/JpegDecoder.h"

#include <qdrawutil.h>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace sarn {

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
