// How long a notification takes from its datagram's arrival to a visible popup (the sound left
// out), over 100 datagrams at the real animation pace; then the CPU an idle listener costs.
#include "core/SessionState.h"
#include "platform/sound/SoundPlayer.h"
#include "push/Client.h"
#include "push/FormTips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHostAddress>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace sarn;

namespace {

class NoSound : public SoundPlayer {
  public:
    void PlaySync(const QByteArray&) override {}
};

class ShowClock : public QObject {
  public:
    explicit ShowClock(QElapsedTimer& clock) : clock_(clock) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            shownAt = clock_.nsecsElapsed();
        }
        return false;
    }
    qint64 shownAt = -1;

  private:
    QElapsedTimer& clock_;
};

template <typename Condition>
void Spin(Condition condition) {
    while (!condition()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QElapsedTimer clock;
    clock.start();
    ShowClock shows(clock);
    QPointer<TFormTips> last;
    SessionState state;
    TClient client(state, QStringLiteral("127.0.0.1"), std::make_shared<NoSound>(), [&] {
        last = new TFormTips(PopupPlacement{&PrimaryScreenSize, [] { return 30; }}, PopupTiming{});
        last->installEventFilter(&shows);
        return last.data();
    });
    client.DataModuleCreate();
    QUdpSocket sender;
    sender.bind(QHostAddress::LocalHost, 0);

    std::vector<double> latencies;
    for (int i = 0; i < 100; ++i) {
        shows.shownAt = -1;
        const qint64 sentAt = clock.nsecsElapsed();
        sender.writeDatagram("Title\r\nBody of the notification\r\n12:00", QHostAddress::LocalHost,
                             client.LocalPort());
        Spin([&] { return shows.shownAt >= 0; });
        latencies.push_back(static_cast<double>(shows.shownAt - sentAt) / 1e6);
        Spin([&] { return last && last->Timer1->isActive(); });  // the slide-in has ended
        last->close();
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf(
        "datagram to visible popup over %zu datagrams: median %.3f ms, p90 %.3f ms, "
        "max %.3f ms\n",
        latencies.size(), latencies[latencies.size() / 2], latencies[latencies.size() * 9 / 10],
        latencies.back());

    QCoreApplication::processEvents();
    const std::clock_t cpuBefore = std::clock();
    QElapsedTimer idle;
    idle.start();
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    std::printf("idle with the listener running: %.1f ms of CPU in %lld ms\n", cpuMs,
                static_cast<long long>(idle.elapsed()));
    return 0;
}
