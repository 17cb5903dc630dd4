// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary server bytes against a mail session over a fake transport: the
// reply parser, the dialogue and the message writer must neither crash nor
// lose track of an operation (at most one error, and OnDone once it ended).
//
// Input: byte 0 chooses options, then records of [length byte][bytes]; a
// length byte of 0xFF instead fires a socket event chosen by the next byte.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "mail/SendMail.h"

using namespace canasta::mail;

namespace {

struct TNet {
    bool Open = false;
    int Connects = 0;
    qint64 SentBytes = 0;
    qint64 Backlog = 0;
};

class TFuzzTransport : public IMailTransport {
public:
    explicit TFuzzTransport(TNet& n) : Net(n) {}
    void Connect(const QString&, quint16) override {
        Net.Open = true;
        ++Net.Connects;
    }
    void Send(const QByteArray& b) override {
        if (Net.Open) Net.SentBytes += b.size();
    }
    qint64 Pending() const override { return Net.Backlog; }
    void Close() override { Net.Open = false; }
    TNet& Net;
};

class TFuzzResolver : public IHostResolver {
public:
    void Lookup(const QString&, std::function<void(const QString&, int)> d) override { Done = std::move(d); }
    void Cancel() override { Done = nullptr; }
    std::function<void(const QString&, int)> Done;
};

QCoreApplication* App() {
    static int argc = 1;
    static char name[] = "fuzz_smtp";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return app;
}

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    App();
    if (size == 0) return 0;
    const uint8_t flags = data[0];
    TNet net;
    auto transport = std::make_unique<TFuzzTransport>(net);
    TFuzzTransport* t = transport.get();
    auto resolver = std::make_unique<TFuzzResolver>();
    TFuzzResolver* r = resolver.get();
    int errors = 0, done = 0, feeds = 0, starts = 1;
    {
        TSendMail mail(std::move(transport), std::move(resolver));
        mail.SMTP_Server = (flags & 1) ? QStringLiteral("mail.example") : QStringLiteral("192.0.2.7");
        mail.FROM_Name =
            QString::fromUtf8("Jörg \"J\" Łukasz\r\nBcc: evil@example.org, ") + QString(size % 90, QChar(0x20AC));
        mail.FROM_Address = QStringLiteral("me@example.org");
        // Now and then an address that must be refused before any connection.
        mail.TO_Address = size % 13 == 0 ? QString::fromUtf8("łukasz@example.org") : QStringLiteral("you@example.org");
        mail.ListTo = {QStringLiteral("two@example.org|Doe, John <x@example.org>")};
        mail.Listcc = {QStringLiteral("cc@example.org")};
        mail.ListBcc = {QStringLiteral("bcc@example.org|B")};
        mail.Subject = QString::fromUtf8("Grüße ✓ ") + QString(size % 200, 's');
        mail.TimeoutTotal = 1;
        mail.KeepConnectionOpen = flags & 2;
        mail.MailText = (flags & 4)
                            ? QStringList{QString::fromUtf8("Käse ✓"), QStringLiteral(".dot"), QString(1200, 'x')}
                            : QStringList{QStringLiteral("plain"), QStringLiteral("."),
                                          QStringLiteral("--==============ghyurgtfy573======___--")};
        if (flags & 8)
            mail.OnFeedData = [&feeds](QString& d) {
                if (feeds++ < 3) d = QStringLiteral("fed\r\n.");
            };
        mail.OnMailError = [&](int, const QString&) { ++errors; };
        // Handlers may cancel at any event, even while the message is written.
        int infos = 0;
        if (flags & 64)
            mail.OnMailInfo = [&](int, const QString&) {
                if (++infos == 4 + (flags >> 7) * 9 + static_cast<int>(size % 7)) mail.Cancel();
            };
        mail.OnDone = [&] { ++done; };
        net.Backlog = (flags & 16) ? TSendMail::kSendAhead : 0;

        mail.Start();
        if (flags & 1) {
            if (flags & 32) {
                auto d = r->Done;
                if (d) d({}, 11001);
            } else if (auto d = r->Done) {
                d(QStringLiteral("10.0.0.1"), 0);
            }
        }
        if (net.Open) t->OnConnected();

        size_t at = 1;
        while (at < size) {
            const uint8_t len = data[at++];
            if (len == 0xFF) {
                const uint8_t what = at < size ? data[at++] : 0;
                if (!net.Open) continue;
                switch (what % 5) {
                    case 0:
                        net.Backlog = 0;
                        t->OnWritten();
                        break;
                    case 1: t->OnClosed(); break;
                    case 2: t->OnError(10000 + what); break;
                    case 3: mail.Cancel(); break;
                    case 4:
                        QCoreApplication::processEvents();
                        if (!mail.Busy()) {
                            ++starts;
                            mail.Start();
                        }
                        break;
                }
                continue;
            }
            const size_t n = std::min<size_t>(len, size - at);
            if (net.Open && t->OnData)
                t->OnData(QByteArray(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(n)));
            at += n;
        }
        QCoreApplication::processEvents();
        const bool busy = mail.Busy();
        // Every ended operation reported OnDone once, and at most one error.
        Check(done == starts - (busy ? 1 : 0));
        Check(errors <= starts);
    }
    QCoreApplication::processEvents();
    return 0;
}
