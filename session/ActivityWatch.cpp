#include "session/ActivityWatch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace sarn {

namespace {

bool IsLeftOrRight(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton;
}

bool IsRightButtonEvent(const QEvent& event) {
    switch (event.type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return static_cast<const QMouseEvent&>(event).button() == Qt::RightButton;
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

}  // namespace

ActivityWatch::ActivityWatch(QWidget* browser, std::function<void()> onActivity, QObject* parent)
    : QObject(parent), browser_(browser), onActivity_(std::move(onActivity)) {
    QCoreApplication::instance()->installEventFilter(this);
}

ActivityWatch::~ActivityWatch() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool ActivityWatch::CountsAsActivity(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto& key = static_cast<const QKeyEvent&>(event);
            // Alt held, Alt itself and F10 are the system keys.
            return !key.modifiers().testFlag(Qt::AltModifier) && key.key() != Qt::Key_Alt &&
                   key.key() != Qt::Key_F10;
        }
        case QEvent::MouseMove:
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return IsLeftOrRight(static_cast<const QMouseEvent&>(event).button());
        default:
            return false;
    }
}

bool ActivityWatch::InsideBrowser(QObject* receiver) const {
    if (browser_ == nullptr || !receiver->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(receiver);
    return widget == browser_ || browser_->isAncestorOf(widget);
}

bool ActivityWatch::eventFilter(QObject* receiver, QEvent* event) {
    if (receiver->isWindowType() && CountsAsActivity(*event) && onActivity_) {
        onActivity_();
    }
    if (IsRightButtonEvent(*event) && InsideBrowser(receiver)) {
        return true;
    }
    return false;
}

}  // namespace sarn
