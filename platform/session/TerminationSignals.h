#pragma once

#include <QObject>

class QSocketNotifier;

namespace sarn {

// Turns SIGTERM and SIGINT into a signal of the Qt loop, so that a logout of the desktop or a
// kill ends the program the way closing its window does. One instance per process; while it
// lives, the two signals no longer end the process by themselves.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  signals:
    void Requested();

  private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace sarn
