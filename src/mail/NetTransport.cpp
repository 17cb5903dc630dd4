// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/NetTransport.h"

#include <QTimer>

#include "mail/SendMail.h"

namespace canasta::mail {

std::unique_ptr<IMailTransport> MakeSocketTransport() { return std::make_unique<TNetTransport>(); }
std::unique_ptr<IHostResolver> MakeHostResolver() { return std::make_unique<TNetResolver>(); }

// Here rather than beside the other constructor: only builds with the socket
// component have a real network.
TSendMail::TSendMail(QObject* parent) : TSendMail(MakeSocketTransport(), MakeHostResolver(), parent) {}

TNetTransport::TNetTransport() {
    Sock.OnSessionConnected = [this](TSockets&, int) {
        if (OnConnected) OnConnected();
    };
    Sock.OnDataAvailable = [this](TSockets& s, int socket) {
        char buf[kReadSize];
        const int n = s.SReceive(socket, buf, sizeof buf);
        if (n > 0 && OnData) OnData(QByteArray(buf, n));
    };
    Sock.OnDataNeeded = [this](TSockets&, int) {
        if (OnWritten) OnWritten();
    };
    Sock.OnSessionClosed = [this](TSockets&, int) {
        ++Generation;
        Sock.Disconnect();
        if (OnClosed) OnClosed();
    };
    Sock.OnErrorOccurred = [this](TSockets&, int, int code, const std::string&) { PostError(code); };
    // Missing address or port: cannot happen with the dotted address we pass.
    Sock.OnMessage = [this](const std::string&, const std::string&) { PostError(10049); };
}

TNetTransport::~TNetTransport() {
    ++Generation;
    Sock.OnErrorOccurred = nullptr;
    Sock.Disconnect();
}

void TNetTransport::PostError(int code) {
    const uint32_t generation = Generation;
    QTimer::singleShot(0, &Sock, [this, generation, code] {
        if (generation != Generation) return;
        ++Generation;
        Sock.Disconnect();
        if (OnError) OnError(code);
    });
}

void TNetTransport::Connect(const QString& address, quint16 port) {
    Close();
    Sock.IPAddr = address.toStdString();
    Sock.Port = std::to_string(port);
    Sock.SConnect();
}

void TNetTransport::Send(const QByteArray& bytes) {
    if (Sock.ConnectedSocket() < 0 || bytes.isEmpty()) return;
    Sock.SetText(bytes.toStdString());
}

void TNetTransport::Close() {
    ++Generation;
    Sock.Disconnect();
}

void TNetResolver::Lookup(const QString& host, std::function<void(const QString&, int)> done) {
    Receiver = std::make_unique<QObject>();
    ResolveHostAsync(host.toStdString(), Receiver.get(),
                     [done = std::move(done)](const std::string& address, int code) {
                         done(QString::fromStdString(address), code);
                     });
}

}  // namespace canasta::mail
