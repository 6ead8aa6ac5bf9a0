#include "platform/gui/PictureControl.h"

#include <QMouseEvent>
#include <QPainter>

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

PictureControl::PictureControl(QWidget* parent, Fit fit) : QWidget(parent), fit_(fit) {}

void PictureControl::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureControl::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    if (fit_ == Fit::Stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture_);
    } else {
        painter.drawPixmap(0, 0, picture_);
    }
}

void PictureControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        leftDown_ = true;
    }
    emit pressed(event->button(), event->position().toPoint());
}

void PictureControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit moved(event->position().toPoint());
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint position = event->position().toPoint();
    const bool click = event->button() == Qt::LeftButton && leftDown_ && rect().contains(position);
    if (event->button() == Qt::LeftButton) {
        leftDown_ = false;
    }
    emit released(event->button(), position);
    if (click) {
        emit clicked();
    }
}

}  // namespace sarn
