#include "platform/session/TerminationSignals.h"

#include "platform/Error.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace sarn {

namespace {

// The handler may only write to a descriptor; the pipe is the one thing it can reach.
int g_pipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    (void)::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void Handle(int number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(number, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0) {
        throw SarnError(QStringLiteral("Termination signals are already watched."));
    }
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw SarnError(QStringLiteral("Unable to watch termination signals."));
    }
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Drain);
    Handle(SIGTERM, OnSignal);
    Handle(SIGINT, OnSignal);
}

TerminationSignals::~TerminationSignals() {
    Handle(SIGTERM, SIG_DFL);
    Handle(SIGINT, SIG_DFL);
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::Drain() {
    char bytes[16];
    bool any = false;
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        any = true;
    }
    if (any) {
        emit Requested();
    }
}

}  // namespace sarn
