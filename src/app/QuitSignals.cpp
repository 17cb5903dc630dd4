// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuitSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <utility>

namespace canasta {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int Pipe[2] = {-1, -1};

void Handler(int signal) {
    const int saved = errno;
    const char number = static_cast<char>(signal);
    // A full pipe already holds a wake-up; nothing is lost by dropping this one.
    (void)!::write(Pipe[1], &number, 1);
    errno = saved;
}

}  // namespace

TQuitSignals::TQuitSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), OnSignal(std::move(onSignal)) {
    if (Pipe[0] < 0 && ::pipe2(Pipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    Notifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, [this] { Drain(); });
    struct sigaction sa {};
    sa.sa_handler = &Handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
}

TQuitSignals::~TQuitSignals() {
    // From here on a signal ends the program the ordinary way.
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
}

void TQuitSignals::Drain() {
    char numbers[16];
    ssize_t n;
    while ((n = ::read(Pipe[0], numbers, sizeof numbers)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            if (OnSignal) OnSignal(numbers[i]);
}

}  // namespace canasta
