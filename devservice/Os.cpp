#include "devservice/Os.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sarndev {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw OsError(what + ": " + std::strerror(errno));
}

sockaddr_in MakeAddress(const std::string& address, uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    std::string text = strcasecmp(address.c_str(), "localhost") == 0 ? "127.0.0.1" : address;
    if (inet_pton(AF_INET, text.c_str(), &sa.sin_addr) != 1) {
        throw OsError("not an IPv4 address: " + address);
    }
    return sa;
}

}  // namespace

UdpSocket::UdpSocket(const std::string& address, uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        ThrowErrno("cannot create a UDP socket");
    }
    sockaddr_in sa = MakeAddress(address, port);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        int saved = errno;
        ::close(fd_);
        errno = saved;
        ThrowErrno("cannot bind UDP " + address + ":" + std::to_string(port));
    }
    socklen_t len = sizeof sa;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len);
    localPort_ = ntohs(sa.sin_port);
}

UdpSocket::~UdpSocket() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<Datagram> UdpSocket::Receive(std::chrono::milliseconds wait) {
    pollfd pfd{fd_, POLLIN, 0};
    int ready = ::poll(&pfd, 1, static_cast<int>(wait.count()));
    if (ready <= 0) {
        return std::nullopt;
    }
    // Larger than any datagram a client sends; anything longer is cut, which only garbles a name.
    char buffer[65536];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    ssize_t n = ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) {
        return std::nullopt;  // e.g. an ICMP report of an earlier undeliverable push
    }
    Datagram d;
    d.bytes.assign(buffer, static_cast<size_t>(n));
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    d.address = text;
    d.port = ntohs(from.sin_port);
    return d;
}

void UdpSocket::Send(const std::string& bytes, const std::string& address, uint16_t port) {
    sockaddr_in to = MakeAddress(address, port);
    ssize_t n =
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (n < 0) {
        ThrowErrno("cannot send to " + address + ":" + std::to_string(port));
    }
    if (static_cast<size_t>(n) != bytes.size()) {
        throw OsError("datagram was sent only in part");
    }
}

namespace {
sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}
}  // namespace

void BlockStopSignals() {
    // A shell starts background jobs with SIGINT ignored, and an ignored signal never reaches
    // sigwait.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // A client that goes away mid-reply must not kill the service.
    signal(SIGPIPE, SIG_IGN);
}

int WaitForStopSignal() {
    sigset_t set = StopSignals();
    int sig = 0;
    while (sigwait(&set, &sig) != 0) {
    }
    return sig;
}

std::string UserDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    std::string base;
    if (home && *home) {
        base = home;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        base = pw->pw_dir;
    } else {
        base = "/tmp";
    }
    return base + "/.local/share";
}

}  // namespace sarndev
