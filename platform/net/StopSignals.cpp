#include "platform/net/StopSignals.h"

#include <pthread.h>
#include <signal.h>

namespace sarn::net {

namespace {

sigset_t StopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

void BlockStopSignals() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    const sigset_t set = StopSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int WaitForStopSignal() {
    const sigset_t set = StopSignalSet();
    int number = 0;
    while (sigwait(&set, &number) != 0) {
    }
    return number;
}

void IgnoreBrokenPipes() {
    signal(SIGPIPE, SIG_IGN);
}

}  // namespace sarn::net
