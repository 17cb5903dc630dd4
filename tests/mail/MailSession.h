// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mail component over the fake transport, with the server's side driven by
// the test: the dialogue up to the message, and what was sent.
#include <QByteArray>

#include <memory>

#include "FakeTransport.h"
#include "MailRun.h"
#include "mail/SendMail.h"

namespace canasta::test {

struct Session {
    TFakeNet Net;
    TFakeTransport* T;
    TMailEvents Ev;
    std::unique_ptr<mail::TSendMail> Mail;

    Session() {
        auto t = std::make_unique<TFakeTransport>(Net);
        T = t.get();
        Mail = std::make_unique<mail::TSendMail>(std::move(t), std::make_unique<TFakeResolver>(Net));
        Ev.Attach(*Mail);
        Mail->SMTP_Server = "192.0.2.1";
        Mail->FROM_Address = "me@here.example";
        Mail->TO_Address = "you@there.example";
        Mail->LocalHostName = "client.example";
    }
    void Server(const QByteArray& bytes) { T->OnData(bytes); }
    QByteArray Take() {
        const QByteArray s = Net.Sent;
        Net.Sent.clear();
        return s;
    }
    // Start, connect and answer up to the message; returns the message as sent.
    QByteArray ToMessage(int recipients = 1) {
        Mail->Start();
        T->OnConnected();
        Server("220 hi\r\n250 hello\r\n250 sender ok\r\n");
        for (int i = 0; i < recipients; ++i) Server("250 rcpt ok\r\n");
        Take();
        Server("354 go\r\n");
        return Take();
    }
    bool WaitDone() {
        return SpinUntil([this] { return Ev.Done > 0; }, 5000);
    }
};

}  // namespace canasta::test
