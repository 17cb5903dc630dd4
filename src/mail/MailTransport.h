// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the mail component needs from the network: a byte stream to one
// server and a host-name lookup. The real ones sit on sockets; tests and the
// fuzz target put fakes in their place.
#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace canasta::mail {

// One TCP connection. Events arrive on the GUI thread, never from inside a
// call to Connect, Send or Close, and none arrive after Close.
class IMailTransport {
public:
    virtual ~IMailTransport() = default;
    // Starts connecting to a dotted IPv4 address; the outcome is OnConnected or OnError.
    virtual void Connect(const QString& address, quint16 port) = 0;
    // Queues bytes; they go out as the connection accepts them.
    virtual void Send(const QByteArray& bytes) = 0;
    // Bytes queued but not yet handed to the system.
    virtual qint64 Pending() const = 0;
    // Closes at once and drops whatever is queued.
    virtual void Close() = 0;

    std::function<void()> OnConnected;
    std::function<void(const QByteArray& bytes)> OnData;
    // Some queued bytes went out (there may be room for more).
    std::function<void()> OnWritten;
    // The server closed the connection.
    std::function<void()> OnClosed;
    // A socket error as its WinSock code (10061 refused, 10054 reset ...).
    std::function<void(int wsaCode)> OnError;
};

// Asynchronous host-name lookup; the answer arrives on the GUI thread.
class IHostResolver {
public:
    virtual ~IHostResolver() = default;
    // done(address, 0) with a dotted IPv4 address, or done({}, 11001 ... 11004).
    // A new Lookup replaces an unfinished one.
    virtual void Lookup(const QString& host, std::function<void(const QString& address, int wsaCode)> done) = 0;
    // Forgets an unfinished lookup: its answer is never delivered.
    virtual void Cancel() = 0;
};

// The game's socket component and host lookup (mail/NetTransport.cpp).
std::unique_ptr<IMailTransport> MakeSocketTransport();
std::unique_ptr<IHostResolver> MakeHostResolver();

}  // namespace canasta::mail
