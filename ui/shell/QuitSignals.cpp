#include "ui/shell/QuitSignals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr std::array<int, 3> Watched{SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};
struct sigaction previous[Watched.size()];

void onSignal(int number) {
    const int saved = errno;
    const char byte = char(number);
    // Async-signal-safe; a full socket means an end is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}
} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (pipeEnds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return;
    ::fcntl(pipeEnds[1], F_SETFL, ::fcntl(pipeEnds[1], F_GETFL) | O_NONBLOCK);
    notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &QuitSignals::readPending);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < Watched.size(); ++i)
        ::sigaction(Watched[i], &action, &previous[i]);
}

QuitSignals::~QuitSignals() {
    if (!notifier)
        return;
    for (size_t i = 0; i < Watched.size(); ++i)
        ::sigaction(Watched[i], &previous[i], nullptr);
    notifier.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::readPending() {
    char byte = 0;
    if (::read(pipeEnds[0], &byte, 1) == 1)
        emit received(int(byte));
}
