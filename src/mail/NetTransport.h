// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mail component's real network: the game's own socket component
// (TSockets) and its host lookup, behind the mail transport interface.
#include <QObject>

#include <cstdint>
#include <memory>

#include "mail/MailTransport.h"
#include "net/Sockets.h"

namespace canasta::mail {

class TNetTransport : public IMailTransport {
public:
    TNetTransport();
    ~TNetTransport() override;

    void Connect(const QString& address, quint16 port) override;
    void Send(const QByteArray& bytes) override;
    qint64 Pending() const override { return static_cast<qint64>(Sock.Queued()); }
    void Close() override;

    // One read takes at most this much.
    static constexpr int kReadSize = 2048;

private:
    // Socket errors can be raised inside SetText or SConnect; they are
    // delivered from the event loop instead, and dropped after Close.
    void PostError(int code);

    TSockets Sock;
    uint32_t Generation = 0;
};

class TNetResolver : public IHostResolver {
public:
    ~TNetResolver() override { Cancel(); }
    void Lookup(const QString& host, std::function<void(const QString&, int)> done) override;
    void Cancel() override { Receiver.reset(); }

private:
    // The lookup answers only while its receiver lives: cancelling deletes it.
    std::unique_ptr<QObject> Receiver;
};

}  // namespace canasta::mail
