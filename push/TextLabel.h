#pragma once

#include <QColor>
#include <QWidget>

namespace sarn {

// A label of the popup. Its text is plain: an ampersand marks the next character as a mnemonic
// (drawn underlined; "&&" draws one "&"), and nothing else is interpreted, so markup in a pushed
// text shows as the characters it is. Text beyond the box is clipped, without an ellipsis.
class TextLabel : public QWidget {
    Q_OBJECT

  public:
    enum class Layout { OneLine, OneLineRight, Wrapped, SizedToText };

    TextLabel(QWidget* parent, int pixelSize, QColor colour, Layout layout);

    const QString& text() const { return text_; }
    void setText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString text_;
    QColor colour_;
    Layout layout_;
};

}  // namespace sarn
