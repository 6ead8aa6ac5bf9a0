#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <thread>

namespace sarn::test {

// Processes events until the condition holds or the time is up; returns the condition.
template <typename Condition>
bool ProcessEventsUntil(Condition condition, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace sarn::test
