#include "push/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace sarn {

namespace {

QPixmap WithoutColour(const QImage& picture, QRgb transparent) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])) == transparent) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, const QString& resource, Fit fit, bool transparent)
    : QWidget(parent), picture_(resource), fit_(fit) {
    if (transparent && !picture_.isNull()) {
        const QRgb corner = picture_.pixel(0, picture_.height() - 1);
        drawn_ = WithoutColour(picture_, qRgb(qRed(corner), qGreen(corner), qBlue(corner)));
    } else {
        drawn_ = QPixmap::fromImage(picture_);
    }
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (fit_ == Fit::Stretch) {
        painter.drawPixmap(rect(), drawn_);
    } else {
        painter.drawPixmap(0, 0, drawn_);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        leftDown_ = true;
    }
    emit pressed(event->button(), event->position().toPoint());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit moved(event->position().toPoint());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = event->button() == Qt::LeftButton && leftDown_ &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        leftDown_ = false;
    }
    emit released(event->button(), event->position().toPoint());
    if (click) {
        emit clicked();
    }
}

}  // namespace sarn
