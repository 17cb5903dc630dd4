// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stand-ins for the socket and the host lookup: the test decides what the
// network does and when.
#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include "mail/MailTransport.h"

namespace canasta::test {

struct TFakeNet {
    QString ConnectedTo;
    quint16 Port = 0;
    int Connects = 0;
    QByteArray Sent;
    bool Open = false;
    int Closes = 0;
    // Pending() reports this much on top of nothing: a socket that takes no data.
    qint64 Backlog = 0;
    QString LookedUp;
    std::function<void(const QString&, int)> LookupDone;
    // Answers the lookup (a copy: the answer may cancel it).
    void Resolve(const QString& address, int code) {
        auto done = LookupDone;
        if (done) done(address, code);
    }
};

class TFakeTransport : public mail::IMailTransport {
public:
    explicit TFakeTransport(TFakeNet& net) : Net(net) {}
    void Connect(const QString& address, quint16 port) override {
        Net.ConnectedTo = address;
        Net.Port = port;
        ++Net.Connects;
        Net.Open = true;
    }
    void Send(const QByteArray& bytes) override {
        if (Net.Open) Net.Sent.append(bytes);
    }
    qint64 Pending() const override { return Net.Backlog; }
    void Close() override {
        if (Net.Open) ++Net.Closes;
        Net.Open = false;
    }
    TFakeNet& Net;
};

class TFakeResolver : public mail::IHostResolver {
public:
    explicit TFakeResolver(TFakeNet& net) : Net(net) {}
    void Lookup(const QString& host, std::function<void(const QString&, int)> done) override {
        Net.LookedUp = host;
        Net.LookupDone = std::move(done);
    }
    void Cancel() override { Net.LookupDone = nullptr; }
    TFakeNet& Net;
};

}  // namespace canasta::test
