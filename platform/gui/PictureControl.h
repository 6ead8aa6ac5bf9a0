#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace sarn {

// The bitmap with every pixel of its bottom-left pixel's colour made transparent: how the
// skinned windows' transparent pictures draw.
QImage WithTransparentCorner(const QImage& picture);

// A picture control of the skinned windows: draws its picture stretched over the control or
// unscaled at its top-left corner, lets what lies beneath show through elsewhere, and reports
// the pointer so the window can bind its handlers. A click is a left press and release on it.
class PictureControl : public QWidget {
    Q_OBJECT
  public:
    enum class Fit { Unscaled, Stretch };

    explicit PictureControl(QWidget* parent, Fit fit = Fit::Unscaled);

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }

  signals:
    void pressed(Qt::MouseButton button, QPoint position);
    void moved(QPoint position);
    void released(Qt::MouseButton button, QPoint position);
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
    Fit fit_;
    bool leftDown_ = false;
};

}  // namespace sarn
