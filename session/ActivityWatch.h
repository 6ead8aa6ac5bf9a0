#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QEvent;
class QWidget;

namespace sarn {

// The application-wide watch on user input. Every keyboard and mouse event counts once, at its
// first delivery, which is always to a window (the widgets then get translated copies and
// their parents the same event again). Right-button events addressed to the browser or to
// anything inside it are swallowed, so the page never opens its context menu.
class ActivityWatch : public QObject {
    Q_OBJECT

  public:
    ActivityWatch(QWidget* browser, std::function<void()> onActivity, QObject* parent = nullptr);
    ~ActivityWatch() override;

    // Key press or release without Alt, pointer move, left or right button press, release or
    // double click. Not: wheel, middle and extra buttons, Alt-keys (the system keys), F10,
    // title-bar and border events.
    static bool CountsAsActivity(const QEvent& event);

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    bool InsideBrowser(QObject* receiver) const;

    QPointer<QWidget> browser_;
    std::function<void()> onActivity_;
};

}  // namespace sarn
