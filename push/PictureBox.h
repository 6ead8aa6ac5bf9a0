#pragma once

#include <QPixmap>
#include <QWidget>

namespace sarn {

// A picture of the popup's layout: stretched over its box or drawn unscaled from its top-left
// corner, optionally with the colour of its bottom-left pixel left out. It keeps every mouse
// press on it to itself, so what lies beneath it never sees the press.
class PictureBox : public QWidget {
    Q_OBJECT

  public:
    enum class Fit { Stretch, Unscaled };

    PictureBox(QWidget* parent, const QString& resource, Fit fit, bool transparent);

    const QImage& Picture() const { return picture_; }

  signals:
    void clicked();  // left press and release on this picture
    void pressed(Qt::MouseButton button, QPoint position);
    void moved(QPoint position);
    void released(Qt::MouseButton button, QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
    QPixmap drawn_;
    Fit fit_;
    bool leftDown_ = false;
};

}  // namespace sarn
