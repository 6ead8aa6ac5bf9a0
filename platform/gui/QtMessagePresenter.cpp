#include "platform/gui/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace sarn {

void QtMessagePresenter::Show(const QString& caption, const QString& text, MessageIcon icon) {
    // Application-modal: every other window is disabled while the box is open. Afterwards the
    // window that was active gets the keyboard back, with the focus where it was.
    const QPointer<QWidget> previouslyActive = QApplication::activeWindow();
    const QPointer<QWidget> previouslyFocused = QApplication::focusWidget();
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (previouslyActive) {
        previouslyActive->activateWindow();
    }
    if (previouslyFocused) {
        previouslyFocused->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace sarn
