#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace sarn {

// The picture as the skinned window draws it: every pixel of the bottom-left pixel's colour
// becomes fully transparent.
QImage WithTransparentCorner(const QImage& picture);

// One of the window's named bitmaps (":/login/<name>.bmp"), transparent colour applied. A
// missing one is a fault of the build and throws.
QPixmap LoadSkinBitmap(const QString& name);

// The background JPEG of the window, decoded by libjpeg.
QPixmap LoadLoginBackground();

// A picture control: draws its bitmap unscaled at its top-left corner (or stretched over the
// control) and lets what lies beneath show through elsewhere. Reports the pointer to the window,
// which binds the handlers.
class LoginPicture : public QWidget {
    Q_OBJECT
  public:
    explicit LoginPicture(QWidget* parent, bool stretch = false);

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }

  signals:
    void mousePressed(Qt::MouseButton button, QPoint position);
    void mouseMoved(QPoint position);
    void mouseReleased(Qt::MouseButton button, QPoint position);
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
    bool stretch_;
    bool leftDown_ = false;
};

// A button that never takes the focus and shows its picture centred and cut to its size, over
// the button face; a raised one has a bevel, a flat one none.
class LoginSpeedButton : public QAbstractButton {
    Q_OBJECT
  public:
    LoginSpeedButton(QWidget* parent, const QPixmap& glyph, bool flat);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap glyph_;
    bool flat_;
};

// An underlined label that reacts to a click; its web address is kept as its hint.
class LoginLinkLabel : public QLabel {
    Q_OBJECT
  public:
    LoginLinkLabel(const QString& caption, QWidget* parent);

    void SetHint(const QString& hint) { hint_ = hint; }
    const QString& Hint() const { return hint_; }

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QString hint_;
};

}  // namespace sarn
