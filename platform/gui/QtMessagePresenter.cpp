#include "platform/gui/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace sarn {

void QtMessagePresenter::Show(const QString& caption, const QString& text, MessageIcon icon) {
    QPointer<QWidget> previouslyFocused = QApplication::focusWidget();
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (previouslyFocused) {
        previouslyFocused->activateWindow();
        previouslyFocused->setFocus();
    }
}

}  // namespace sarn
