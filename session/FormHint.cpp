#include "session/FormHint.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace sarn {

TFormHint* FormHint = nullptr;

namespace {

QFont SongTi(int pixelHeight) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelHeight);
    return font;
}

}  // namespace

TFormHint::TFormHint(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    FormHint = this;
    setWindowTitle(QStringLiteral("Sarn资讯"));

    const QScreen* display =
        owner != nullptr && owner->screen() != nullptr ? owner->screen() : screen();
    const double scale = display->logicalDotsPerInchY() / kDesignDpi;
    const auto px = [scale](int designed) {
        return static_cast<int>(std::lround(designed * scale));
    };

    setFont(SongTi(px(15)));
    const int width = px(582);
    const int height = px(355);
    const int panelHeight = px(41);
    setFixedSize(width, height);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFont(SongTi(px(20)));
    Memo1->setGeometry(0, 0, width, height - panelHeight);

    Panel1 = new QWidget(this);
    Panel1->setGeometry(0, height - panelHeight, width, panelHeight);

    // Both keep their design distance from the strip's right edge.
    const int designWidth = 582;
    Button1 = new QPushButton(QStringLiteral("关闭"), Panel1);
    Button1->setGeometry(width - px(designWidth - 485), px(8), px(75), px(25));
    CheckBox1 = new QCheckBox(QStringLiteral("今日不再提示"), Panel1);
    CheckBox1->setGeometry(width - px(designWidth - 245), px(12), px(121), px(17));

    setTabOrder(Memo1, Button1);
    setTabOrder(Button1, CheckBox1);
    connect(Button1, &QPushButton::clicked, this, &TFormHint::Button1Click);
}

TFormHint::~TFormHint() {
    if (FormHint == this) {
        FormHint = nullptr;
    }
}

void TFormHint::Button1Click() {
    close();
}

}  // namespace sarn
