#include "push/TextLabel.h"

#include "push/MnemonicText.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace sarn {

TextLabel::TextLabel(QWidget* parent, int pixelSize, QColor colour, Layout layout)
    : QWidget(parent), colour_(colour), layout_(layout) {
    QFont face;
    face.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Zen Hei")});
    face.setPixelSize(pixelSize);
    setFont(face);
}

void TextLabel::setText(const QString& text) {
    text_ = text;
    if (layout_ == Layout::SizedToText) {
        const QFontMetrics metrics(font());
        resize(metrics.horizontalAdvance(ParseMnemonic(text_).shown), metrics.height());
    }
    update();
}

void TextLabel::paintEvent(QPaintEvent*) {
    const MnemonicText parsed = ParseMnemonic(text_);
    QTextLayout layout(parsed.shown, font());
    QTextOption option;
    option.setWrapMode(layout_ == Layout::Wrapped ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(option);
    QList<QTextLayout::FormatRange> underlines;
    for (const int at : parsed.underlined) {
        QTextLayout::FormatRange range;
        range.start = at;
        range.length = parsed.shown[at].isHighSurrogate() ? 2 : 1;
        range.format.setFontUnderline(true);
        underlines.append(range);
    }
    layout.setFormats(underlines);

    layout.beginLayout();
    qreal y = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(layout_ == Layout::Wrapped ? width() : 1e6);
        qreal x = 0;
        if (layout_ == Layout::OneLineRight && line.naturalTextWidth() <= width()) {
            x = width() - line.naturalTextWidth();
        }
        line.setPosition(QPointF(x, y));
        y += line.height();
        if (y >= height() + line.height()) {
            break;  // the rest lies wholly below the box
        }
    }
    layout.endLayout();

    QPainter painter(this);
    painter.setClipRect(rect());
    painter.setPen(colour_);
    layout.draw(&painter, QPointF(0, 0));
}

void TextLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();  // a press on a label is the label's, not the background's
}

}  // namespace sarn
