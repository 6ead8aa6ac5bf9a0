#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace sarn {

// The daily notice dialog: the notice as plain text above a strip with "今日不再提示" and
// "关闭". Laid out at 120 pixels per inch and scaled by the screen's logical dots per inch.
class TFormHint : public QDialog {
    Q_OBJECT

  public:
    explicit TFormHint(QWidget* owner);
    ~TFormHint() override;

    QPlainTextEdit* Memo1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

    void Button1Click();

  private:
    static constexpr double kDesignDpi = 120.0;
};

// The dialog while one exists.
extern TFormHint* FormHint;

}  // namespace sarn
