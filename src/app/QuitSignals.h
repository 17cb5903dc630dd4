// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, Ctrl+C) handed to the
// event loop: the handler only writes the signal's number into a pipe, and a
// socket notifier on the pipe's other end calls back in the main thread,
// where anything may be done.
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace canasta {

class TQuitSignals : public QObject {
public:
    // Installs the handlers; onSignal gets the signal's number.
    explicit TQuitSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
    ~TQuitSignals() override;
    bool Installed() const { return Notifier != nullptr; }

private:
    void Drain();

    std::function<void(int)> OnSignal;
    QSocketNotifier* Notifier = nullptr;
};

}  // namespace canasta
