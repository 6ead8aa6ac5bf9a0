#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>

// The picture controls themselves (and WithTransparentCorner) are shared with the popup.
#include "platform/gui/PictureControl.h"

namespace sarn {

// One of the window's named bitmaps (":/login/<name>.bmp"), transparent colour applied. A
// missing one is a fault of the build and throws.
QPixmap LoadSkinBitmap(const QString& name);

// The background JPEG of the window, decoded by libjpeg.
QPixmap LoadLoginBackground();

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
