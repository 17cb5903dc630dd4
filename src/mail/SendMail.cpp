#include "mail/SendMail.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <arpa/inet.h>

namespace canasta::mail {

namespace {
const QByteArray kBoundary = "==============ghyurgtfy573======___";

bool IsDottedIPv4(const QString& s) {
    in_addr a{};
    return inet_pton(AF_INET, s.toLatin1().constData(), &a) == 1;
}
}  // namespace

// ---------------------------------------------------------------------------
// The message after DATA, produced piece by piece so a long body or a large
// attachment never sits in memory whole and the GUI keeps running between
// pieces. Everything but the final "." passes the dot-stuffer.

class TSendMail::TMessageWriter {
public:
    explicit TMessageWriter(TSendMail& m) : M(m) {
        Text = ToWire(M.MailText.join(QStringLiteral("\r\n")));
        QP = HasHighBytes(Text);
        Multipart = !M.Attachments.isEmpty();
    }

    // Appends the next piece; false once the final "." is in out.
    bool Next(QByteArray& out) {
        switch (Step) {
        case TStep::Header: Header(out); Step = TStep::Feed; return true;
        case TStep::Feed: {
            if (M.OnFeedData) {
                QString data;
                M.OnFeedData(data);
                if (!data.isEmpty()) {
                    const QByteArray raw = ToWire(data);
                    BodyBytes(out, raw);
                    Sent += raw.size();
                    M.Info(miBodyProgress, QString::number(Sent));
                    return true;
                }
            }
            M.Info(miBodyLength, QString::number(Text.size()));
            Step = TStep::Text;
            return true;
        }
        case TStep::Text:
            if (TextAt < Text.size()) {
                const QByteArray block = Text.mid(TextAt, kBlock);
                TextAt += block.size();
                BodyBytes(out, block);
                Sent += block.size();
                M.Info(miBodyProgress, QString::number(Sent));
            } else {
                Line(out, {});
                Step = Multipart ? TStep::Attachments : TStep::Final;
            }
            return true;
        case TStep::Attachments:
            if (File) {
                if (!Chunk(out)) File.reset();
                return true;
            }
            while (NextAttachment < M.Attachments.size())
                if (Open(out)) return true;
            Line(out, "--" + kBoundary + "--");
            Line(out, {});
            Step = TStep::Final;
            return true;
        case TStep::Final:
            if (!Dots.AtLineStart()) out.append("\r\n");
            out.append(".\r\n");
            M.Info(miSending, QStringLiteral("."));
            Step = TStep::Done;
            return false;
        case TStep::Done: return false;
        }
        return false;
    }

private:
    enum class TStep { Header, Feed, Text, Attachments, Final, Done };
    enum class TEncoding { Base64, QuotedPrintable, Plain, Uuencode };

    void Line(QByteArray& out, const QByteArray& line) {
        const QByteArray w = WireLine(line);
        M.Info(miSending, QString::fromLatin1(w));
        Dots.Put(w + "\r\n", out);
    }

    void BodyBytes(QByteArray& out, const QByteArray& raw) {
        QByteArray encoded;
        if (QP)
            BodyQP.Encode(raw, encoded);
        else
            BodyEnds.Normalize(raw, encoded);
        Dots.Put(encoded, out);
    }

    QByteArray TextContentType() const {
        // A body with 8-bit bytes is Latin-1, and must say so to be read right.
        return QP ? R"(Content-Type: text/plain; charset="ISO-8859-1")" : R"(Content-Type: text/plain; charset="us-ascii")";
    }

    static QByteArray Mailbox(const char* field, const TRecipient& r, const char* bareSuffix) {
        if (r.Name.isEmpty()) return field + ToWire(r.Address) + bareSuffix;
        return field + EncodeHeaderWord(ToWire(r.Name)) + " <" + ToWire(r.Address) + ">";
    }

    void Header(QByteArray& out) {
        Line(out, "From: " + EncodeHeaderWord(ToWire(M.FROM_Name)) + " <" + ToWire(M.FROM_Address) + ">");
        for (const TRecipient& r : M.ToHeader) Line(out, Mailbox("To: ", r, ";"));
        for (const TRecipient& r : M.CcHeader) Line(out, Mailbox("cc: ", r, ""));
        if (!M.Subject.isEmpty()) Line(out, ApplyHeaderLineRule("Subject: " + ToWire(M.Subject)));
        Line(out, "Mime-Version: 1.0");
        if (Multipart) {
            Line(out, "Content-Type: multipart/mixed; boundary=\"" + kBoundary + "\"");
        } else {
            Line(out, TextContentType());
            if (QP) Line(out, "Content-Transfer-Encoding: quoted-printable");
        }
        for (const QString& h : M.Headers) Line(out, ApplyHeaderLineRule(ToWire(h)));
        Line(out, {});
        if (Multipart && !Text.isEmpty()) {
            Line(out, "--" + kBoundary);
            Line(out, TextContentType());
            if (QP) Line(out, "Content-Transfer-Encoding: quoted-printable");
            Line(out, {});
        }
    }

    // Starts the next attachment's part; false when its file cannot be read.
    bool Open(QByteArray& out) {
        const QString entry = M.Attachments[NextAttachment++];
        const QStringList f = entry.split(QLatin1Char('|'));
        const QString path = f.value(0);
        auto file = std::make_unique<QFile>(path);
        if (path.isEmpty() || QFileInfo(path).isDir() || !file->open(QIODevice::ReadOnly)) {
            M.Info(miAttachmentUnreadable, path);
            return false;
        }
        const QString how = f.value(4).trimmed().toLower();
        if (how == QLatin1String("base64"))
            Enc = TEncoding::Base64;
        else if (how == QLatin1String("quoted-printable"))
            Enc = TEncoding::QuotedPrintable;
        else if (how == QLatin1String("plain"))
            Enc = TEncoding::Plain;
        else if (how == QLatin1String("uuencode"))
            Enc = TEncoding::Uuencode;
        else {
            bool high = false;
            while (!high && !file->atEnd()) {
                const QByteArray chunk = file->read(64 * 1024);
                if (chunk.isEmpty()) break;
                high = HasHighBytes(chunk);
            }
            if (!file->seek(0)) {
                M.Info(miAttachmentUnreadable, path);
                return false;
            }
            Enc = high ? TEncoding::Base64 : TEncoding::Plain;
        }
        QByteArray type = ToWire(f.value(2).trimmed());
        if (Enc == TEncoding::Uuencode || (type.isEmpty() && Enc != TEncoding::Plain)) type = "application/octet-stream";
        if (type.isEmpty()) type = "text/plain";
        QByteArray disposition = ToWire(f.value(3).trimmed());
        if (disposition.isEmpty()) disposition = "attachment";
        const QByteArray name = EncodeHeaderWord(ToWire(QFileInfo(path).fileName()));

        M.Info(miAttachment, path);
        Line(out, "--" + kBoundary);
        Line(out, "Content-Type: " + type + "; name=\"" + name + "\"");
        Line(out, "Content-Disposition: " + disposition + "; filename=\"" + name + "\"");
        const QString description = f.value(1);
        if (!description.isEmpty()) Line(out, "Content-Description: " + EncodeHeaderWord(ToWire(description)));
        if (Enc == TEncoding::Base64) Line(out, "Content-Transfer-Encoding: base64");
        if (Enc == TEncoding::QuotedPrintable) Line(out, "Content-Transfer-Encoding: Quoted-Printable");
        Line(out, {});
        if (Enc == TEncoding::Uuencode) Line(out, "begin 666 " + ToWire(QFileInfo(path).fileName()));
        PartQP = {};
        PartEnds = {};
        File = std::move(file);
        return true;
    }

    // The next block of the open file; false (after the part's end) at its end.
    bool Chunk(QByteArray& out) {
        const qint64 size = Enc == TEncoding::Base64   ? kBase64LineBytes * 36
                            : Enc == TEncoding::Uuencode ? kUuLineBytes * 45
                                                         : kBlock;
        const QByteArray data = File->read(size);
        QByteArray encoded;
        if (data.isEmpty()) {
            switch (Enc) {
            case TEncoding::Base64: break;
            case TEncoding::Uuencode: Line(out, "`"); Line(out, "end"); break;
            // The line end before the next boundary belongs to the boundary:
            // this one keeps the file's own last line end.
            case TEncoding::QuotedPrintable:
            case TEncoding::Plain: Dots.Put("\r\n", out); break;
            }
            return false;
        }
        switch (Enc) {
        case TEncoding::Base64: encoded = Base64Lines(data); break;
        case TEncoding::Uuencode: encoded = UuencodeLines(data); break;
        case TEncoding::QuotedPrintable: PartQP.Encode(data, encoded); break;
        case TEncoding::Plain: PartEnds.Normalize(data, encoded); break;
        }
        Dots.Put(encoded, out);
        return true;
    }

    TSendMail& M;
    TStep Step = TStep::Header;
    TDotStuffer Dots;
    bool QP = false;
    bool Multipart = false;
    TQuotedPrintable BodyQP;
    TLineEnds BodyEnds;
    QByteArray Text;
    qsizetype TextAt = 0;
    qint64 Sent = 0;
    int NextAttachment = 0;
    std::unique_ptr<QFile> File;
    TEncoding Enc = TEncoding::Plain;
    TQuotedPrintable PartQP;
    TLineEnds PartEnds;
};

// ---------------------------------------------------------------------------

TSendMail::TSendMail(std::unique_ptr<IMailTransport> transport, std::unique_ptr<IHostResolver> resolver,
                     QObject* parent)
    : QObject(parent), Transport(std::move(transport)), Resolver(std::move(resolver)) {
    LocalHostName = QSysInfo::machineHostName();
    if (LocalHostName.isEmpty()) LocalHostName = QStringLiteral("localhost");
    Countdown.setInterval(1000);
    connect(&Countdown, &QTimer::timeout, this, [this] { Tick(); });
    Wire();
}

TSendMail::~TSendMail() {
    Writer.reset();
    if (Resolver) Resolver->Cancel();
    if (Transport) {
        Transport->OnConnected = nullptr;
        Transport->OnData = nullptr;
        Transport->OnWritten = nullptr;
        Transport->OnClosed = nullptr;
        Transport->OnError = nullptr;
        Transport->Close();
    }
}

QString TSendMail::Version() { return QStringLiteral("Canasta SendMail 1.0"); }

void TSendMail::Wire() {
    Transport->OnConnected = [this] { Connected_(); };
    Transport->OnData = [this](const QByteArray& b) { DataArrived(b); };
    Transport->OnWritten = [this] { Written(); };
    Transport->OnClosed = [this] { ClosedByServer(); };
    Transport->OnError = [this](int code) { SocketError(code); };
}

void TSendMail::Info(int info, const QString& addinfo) {
    if (OnMailInfo) OnMailInfo(info, addinfo);
}

void TSendMail::SetAction(TMailAction action) {
    CurrentAction = action;
    switch (action) {
    case TMailAction::None: break;
    case TMailAction::Send_Mail: StartSend(); break;
    case TMailAction::Cancel_SendMail:
        // Only a running send can be cancelled: an error and OnDone without
        // any send would confuse the owner.
        if (Running()) Abort(meCancelled, {});
        break;
    }
}

void TSendMail::StartSend() {
    if (IsBusy) {
        Info(miBusy);
        return;
    }
    IsBusy = true;
    MailSent = false;
    Partial.clear();

    // The recipients are copied, so a failed send can simply be tried again.
    auto split = [](const QString& entry) {
        const int bar = entry.indexOf(QLatin1Char('|'));
        return bar < 0 ? TRecipient{entry.trimmed(), {}} : TRecipient{entry.left(bar).trimmed(), entry.mid(bar + 1)};
    };
    auto take = [&](const QStringList& list, std::vector<TRecipient>* header) {
        for (const QString& e : list) {
            const TRecipient r = split(e);
            if (r.Address.isEmpty()) continue;
            Recipients.push_back(r);
            if (header) header->push_back(r);
        }
    };
    Recipients.clear();
    ToHeader.clear();
    CcHeader.clear();
    CurrentRecipient = 0;
    if (!TO_Address.trimmed().isEmpty()) {
        const TRecipient first{TO_Address.trimmed(), TO_Name};
        Recipients.push_back(first);
        ToHeader.push_back(first);
    }
    take(ListTo, &ToHeader);
    take(Listcc, &CcHeader);
    take(ListBcc, nullptr);
    if (Recipients.empty()) {
        Abort(meNoRecipient, QStringLiteral("Mail Destination Error"));
        return;
    }

    if (IsConnected) {
        // A connection kept open from the last message: straight to MAIL FROM.
        State = 1;
        Arm(TWait::Server, TimeoutResponse);
        Advance({});
        return;
    }

    const QString server = SMTP_Server.trimmed();
    if (IsDottedIPv4(server)) {
        ConnectTo(server);
        return;
    }
    Info(miResolving, server);
    Arm(TWait::Lookup, TimeoutArp);
    Resolver->Lookup(server, [this](const QString& address, int code) {
        if (!Running() || Waiting != TWait::Lookup) return;
        if (code != 0 || address.isEmpty()) {
            Abort(MailErrorFromWsa(code ? code : 11001));
            return;
        }
        Info(miResolved, address);
        if (Running()) ConnectTo(address);
    });
}

void TSendMail::ConnectTo(const QString& address) {
    ServerAddress = address;
    Arm(TWait::Connect, TimeoutConnect);
    Transport->Connect(address, SMTP_Port);
}

void TSendMail::Arm(TWait wait, int seconds) {
    Waiting = wait;
    Remaining = qMax(1, seconds);
    Countdown.start();
}

void TSendMail::Tick() {
    if (--Remaining > 0) return;
    Countdown.stop();
    if (!Running()) return;
    if (MailSent) {
        // The message was accepted; a server that does not answer QUIT only
        // delays the end.
        CloseSocket();
        Info(miClosed);
        PostDone();
        return;
    }
    Abort(TimeoutError());
}

void TSendMail::CloseSocket() {
    Countdown.stop();
    Waiting = TWait::None;
    Resolver->Cancel();
    Transport->Close();
    IsConnected = false;
    Partial.clear();
}

void TSendMail::Abort(int error, const QString& addinfo) {
    if (!Running()) return;
    // The writer may be the one reporting (an event handler cancelled): Pump
    // drops it once it has returned.
    if (!Pumping) Writer.reset();
    CloseSocket();
    // Ended before the report: whatever the handler does (cancel, start
    // again) meets a finished operation, so there is only one error.
    PostDone();
    if (OnMailError) OnMailError(error, addinfo);
}

void TSendMail::PostDone() {
    if (DonePosted) return;
    DonePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            DonePosted = false;
            IsBusy = false;
            if (OnDone) OnDone();
        },
        Qt::QueuedConnection);
}

void TSendMail::Connected_() {
    if (!Running()) return;
    IsConnected = true;
    State = 0;
    Partial.clear();
    Arm(TWait::Server, TimeoutResponse);
    Info(miConnected, ServerAddress);
}

void TSendMail::DataArrived(const QByteArray& bytes) {
    if (Running() && IsConnected) Arm(TWait::Server, TimeoutResponse);
    Partial.append(bytes);
    // A handler's nested event loop can bring more data; the outer call takes it.
    if (Parsing) return;
    ++Parsing;
    while (IsConnected) {
        const qsizetype lf = Partial.indexOf('\n');
        if (lf < 0) {
            if (Partial.size() > kMaxReplyLine) {
                const QByteArray head = Partial.left(kMaxLine);
                Partial.clear();
                if (Running()) {
                    Abort(meUnexpectedResponse, kUnexpectedResponse + QString::fromLatin1(head));
                } else {
                    CloseSocket();
                }
            }
            break;
        }
        // CR LF ends a line; a bare LF is taken as one too.
        QByteArray line = Partial.left(lf);
        Partial.remove(0, lf + 1);
        if (line.endsWith('\r')) line.chop(1);
        HandleLine(line);
    }
    --Parsing;
}

void TSendMail::HandleLine(const QByteArray& line) {
    const QString text = QString::fromLatin1(line);
    Info(miResponse, text);
    if (!Running()) return;

    const TReplyKind kind = ClassifyReply(line);
    const bool more = IsContinuation(line);
    if (kind == TReplyKind::Malformed) {
        Abort(meUnexpectedResponse, kUnexpectedResponse + text);
        return;
    }
    if (kind == TReplyKind::Negative) {
        if (State != 3) {
            Abort(meUnexpectedResponse, kUnexpectedResponse + text);
            return;
        }
        // A refused recipient: the others still get the message. Reported
        // once per reply, on its last line.
        if (!more) Info(miRecipientRefused, Recipients[static_cast<size_t>(CurrentRecipient)].Address);
        if (!Running()) return;
    }
    if (more) return;
    Advance(text);
}

void TSendMail::Advance(const QString& reply) {
    switch (State) {
    case 0:
        SendLine("HELO " + ToWire(LocalHostName));
        State = 1;
        break;
    case 1:
        SendLine("MAIL FROM:<" + ToWire(FROM_Address) + ">");
        State = 2;
        break;
    case 2:
        SendRecipient(0);
        State = 3;
        break;
    case 3:
        if (CurrentRecipient + 1 < static_cast<int>(Recipients.size())) {
            SendRecipient(CurrentRecipient + 1);
        } else {
            SendLine("DATA");
            State = 5;
        }
        break;
    case 5:
        State = 6;
        Writer = std::make_unique<TMessageWriter>(*this);
        Pump();
        break;
    case 6:
        if (Writer) {
            // The server answered before the message was complete.
            Abort(meUnexpectedResponse, kUnexpectedResponse + reply);
            return;
        }
        State = 7;
        MailSent = true;
        Info(miAccepted);
        if (!Running()) return;
        if (KeepConnectionOpen) {
            Countdown.stop();
            Waiting = TWait::None;
            PostDone();
        } else {
            SendLine("QUIT");
        }
        break;
    case 7:
        // The answer to QUIT: the exchange is over, whether or not the server
        // hangs up itself.
        State = 8;
        Finished();
        break;
    default: break;
    }
}

void TSendMail::Finished() {
    CloseSocket();
    Info(miClosed);
    PostDone();
}

void TSendMail::SendLine(const QByteArray& line) {
    const QByteArray w = WireLine(line);
    Info(miSending, QString::fromLatin1(w));
    if (!Running()) return;
    Transport->Send(w + "\r\n");
}

void TSendMail::SendRecipient(int index) {
    CurrentRecipient = index;
    const QString address = Recipients[static_cast<size_t>(index)].Address;
    SendLine("RCPT TO:<" + ToWire(address) + ">");
    if (Running()) Info(miRecipient, address);
}

void TSendMail::Pump() {
    if (Pumping) return;
    Pumping = true;
    while (Writer && Running() && Transport->Pending() < kSendAhead) {
        QByteArray out;
        const bool more = Writer->Next(out);
        if (!Running()) break;
        if (!out.isEmpty()) Transport->Send(out);
        if (!more) Writer.reset();
    }
    if (!Running()) Writer.reset();
    Pumping = false;
}

void TSendMail::Written() {
    if (!Running()) return;
    // Bytes going out count as a sign of life while a long message is sent.
    if (Waiting == TWait::Server) Arm(TWait::Server, TimeoutResponse);
    Pump();
}

void TSendMail::ClosedByServer() {
    const bool running = Running();
    CloseSocket();
    Info(miClosed);
    if (!running) return;
    if (MailSent)
        PostDone();
    else
        Abort(mePrematureDisconnect, QStringLiteral("Prematurely Disconnected"));
}

void TSendMail::SocketError(int wsaCode) {
    const bool running = Running();
    CloseSocket();
    if (!running) {
        // A kept-open connection broke between messages.
        Info(miClosed);
        return;
    }
    if (MailSent) {
        // Accepted is accepted, whatever happens to the connection afterwards.
        Info(miClosed);
        PostDone();
        return;
    }
    Abort(MailErrorFromWsa(wsaCode));
}

}  // namespace canasta::mail
