// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/SendMail.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>

#include <arpa/inet.h>

#include <functional>
#include <limits>

namespace canasta::mail {

namespace {
// The part boundary, unless the content holds it somewhere.
const QByteArray kBoundary = "==============ghyurgtfy573======___";

bool IsDottedIPv4(const QString& s) {
    in_addr a{};
    return inet_pton(AF_INET, s.toLatin1().constData(), &a) == 1;
}

// Another boundary to try: 24 random letters and digits after "=_".
QByteArray RandomBoundary() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray b = "=_";
    for (int i = 0; i < 24; ++i) b += kChars[QRandomGenerator::global()->bounded(62)];
    return b + "_=";
}
}  // namespace

// ---------------------------------------------------------------------------
// The message after DATA, produced piece by piece so a large attachment never
// sits in memory whole and the GUI keeps running between pieces. Everything
// but the final "." passes the dot-stuffer.
//
// Before the header goes out the whole content is looked at once: the body's
// charset and transfer encoding, each attachment's encoding and a boundary
// that occurs nowhere in it all have to be named in the headers.

class TSendMail::TMessageWriter {
public:
    explicit TMessageWriter(TSendMail& m) : M(m) { Multipart = !M.Attachments.isEmpty(); }

    // Appends the next piece; false once the final "." is in out.
    bool Next(QByteArray& out) {
        switch (Step) {
            case TStep::Header:
                if (!Prepare()) return true;  // cancelled meanwhile: Pump ends it
                Header(out);
                Step = TStep::Feed;
                return true;
            case TStep::Feed:
                if (FedAt < Fed.size()) {
                    const QByteArray& raw = Fed[FedAt++];
                    BodyBytes(out, raw);
                    Sent += raw.size();
                    M.Info(miBodyProgress, QString::number(Sent));
                    return true;
                }
                M.Info(miBodyLength, QString::number(Text.size()));
                Step = TStep::Text;
                return true;
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
                while (NextAttachment < static_cast<int>(Parts.size()))
                    if (Open(out)) return true;
                Line(out, "--" + Boundary + "--");
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
    struct TPart {
        QString Path, Description;
        QByteArray Type, Disposition;
        TEncoding Enc = TEncoding::Plain;
    };

    // Gathers the body, looks at every piece of content and picks the
    // encodings and the boundary; false when the send ended meanwhile.
    bool Prepare() {
        QStringList fed;
        while (M.OnFeedData) {
            QString data;
            M.OnFeedData(data);
            if (!M.Running()) return false;
            if (data.isEmpty()) break;
            fed << data;
        }
        const QString text = M.MailText.join(QStringLiteral("\r\n"));
        const QByteArray charset = TextInCharset(fed.join(QString()) + text).Charset;
        TContentCheck check;
        qint64 fedBytes = 0;
        for (const QString& f : fed) {
            Fed << TextInCharset(f, charset).Bytes;
            check.Feed(Fed.back());
            fedBytes += Fed.back().size();
        }
        // Fed text was not known when the send started.
        if (fedBytes) M.ExtendDeadline(fedBytes);
        Text = TextInCharset(text, charset).Bytes;
        check.Feed(Text);
        // Long lines and control bytes are safe only quoted-printable.
        QP = check.NeedsEncoding();
        Charset = check.HighBytes() ? charset : QByteArray("us-ascii");

        for (const QString& entry : M.Attachments) Parts.push_back(Describe(entry));
        Boundary = kBoundary;
        if (Multipart)
            while (Holds(Boundary)) Boundary = RandomBoundary();
        return true;
    }

    TPart Describe(const QString& entry) {
        const QStringList f = entry.split(QLatin1Char('|'));
        TPart p;
        p.Path = f.value(0);
        p.Description = f.value(1);
        p.Type = ToWire(f.value(2).trimmed());
        p.Disposition = ToWire(f.value(3).trimmed());
        const QString how = f.value(4).trimmed().toLower();
        if (how == QLatin1String("base64")) {
            p.Enc = TEncoding::Base64;
        } else if (how == QLatin1String("quoted-printable")) {
            p.Enc = TEncoding::QuotedPrintable;
        } else if (how == QLatin1String("plain")) {
            p.Enc = TEncoding::Plain;
        } else if (how == QLatin1String("uuencode")) {
            p.Enc = TEncoding::Uuencode;
        } else {
            // Plain text lines only where they carry the file unchanged.
            TContentCheck check;
            ReadAll(p.Path, [&check](const QByteArray& chunk) { check.Feed(chunk); });
            p.Enc = check.NeedsEncoding() || check.BareCR() ? TEncoding::Base64 : TEncoding::Plain;
        }
        return p;
    }

    static void ReadAll(const QString& path, const std::function<void(const QByteArray&)>& take) {
        QFile file(path);
        if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return;
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(64 * 1024);
            if (chunk.isEmpty()) break;
            take(chunk);
        }
    }

    // Whether the boundary occurs in the body or in an attachment, as it is
    // or in its name (the uuencode "begin" line carries it).
    bool Holds(const QByteArray& boundary) const {
        TFinder find(boundary);
        for (const QByteArray& f : Fed) find.Feed(f);
        find.Feed(Text);
        for (const TPart& p : Parts) {
            find.Feed("\n" + QFileInfo(p.Path).fileName().toUtf8() + "\n");
            ReadAll(p.Path, [&find](const QByteArray& chunk) { find.Feed(chunk); });
        }
        return find.Found();
    }

    void Line(QByteArray& out, const QByteArray& line) {
        const QByteArray w = WireLine(line);
        M.Info(miSending, QString::fromLatin1(w));
        Dots.Put(w + "\r\n", out);
    }

    // A header field, already folded.
    void Field(QByteArray& out, const QByteArray& field) {
        M.Info(miSending, QString::fromLatin1(field));
        Dots.Put(field + "\r\n", out);
    }

    void BodyBytes(QByteArray& out, const QByteArray& raw) {
        QByteArray encoded;
        if (QP)
            BodyQP.Encode(raw, encoded);
        else
            BodyEnds.Normalize(raw, encoded);
        Dots.Put(encoded, out);
    }

    void TextPartHeader(QByteArray& out) {
        Line(out, "Content-Type: text/plain; charset=\"" + Charset + "\"");
        if (QP) Line(out, "Content-Transfer-Encoding: quoted-printable");
    }

    void Address(QByteArray& out, const char* field, const TRecipient& r, const char* bareSuffix) {
        if (r.Name.isEmpty())
            Field(out, FoldHeader(field, {r.Address.toLatin1() + bareSuffix}));
        else
            Field(out, FoldHeader(field, PhrasePieces(r.Name) << "<" + r.Address.toLatin1() + ">"));
    }

    void Header(QByteArray& out) {
        Field(out, FoldHeader("From:", PhrasePieces(M.FROM_Name) << "<" + M.FROM_Address.toLatin1() + ">"));
        for (const TRecipient& r : M.ToHeader) Address(out, "To:", r, ";");
        for (const TRecipient& r : M.CcHeader) Address(out, "cc:", r, "");
        if (!M.Subject.isEmpty()) Field(out, HeaderLine(QStringLiteral("Subject: ") + M.Subject));
        Line(out, "Mime-Version: 1.0");
        if (Multipart)
            Line(out, "Content-Type: multipart/mixed; boundary=\"" + Boundary + "\"");
        else
            TextPartHeader(out);
        for (const QString& h : M.Headers) Field(out, HeaderLine(h));
        Line(out, {});
        // Fed text needs its part as much as MailText: before the first
        // boundary it would be the preamble, which readers do not show.
        if (Multipart && (!Text.isEmpty() || !Fed.isEmpty())) {
            Line(out, "--" + Boundary);
            TextPartHeader(out);
            Line(out, {});
        }
    }

    // Starts the next attachment's part; false when its file cannot be read.
    bool Open(QByteArray& out) {
        const TPart& p = Parts[static_cast<size_t>(NextAttachment++)];
        auto file = std::make_unique<QFile>(p.Path);
        if (p.Path.isEmpty() || QFileInfo(p.Path).isDir() || !file->open(QIODevice::ReadOnly)) {
            M.Info(miAttachmentUnreadable, p.Path);
            return false;
        }
        Enc = p.Enc;
        QByteArray type = p.Type;
        if (Enc == TEncoding::Uuencode || (type.isEmpty() && Enc != TEncoding::Plain))
            type = "application/octet-stream";
        if (type.isEmpty()) type = "text/plain";
        QByteArray disposition = p.Disposition;
        if (disposition.isEmpty()) disposition = "attachment";
        const QString name = QFileInfo(p.Path).fileName();

        M.Info(miAttachment, p.Path);
        Line(out, "--" + Boundary);
        Field(out, FoldHeader("Content-Type:", QList<QByteArray>{type + ";"} + ParameterPieces("name", name)));
        Field(out, FoldHeader("Content-Disposition:",
                              QList<QByteArray>{disposition + ";"} + ParameterPieces("filename", name)));
        if (!p.Description.isEmpty()) Field(out, FoldHeader("Content-Description:", UnstructuredPieces(p.Description)));
        if (Enc == TEncoding::Base64) Line(out, "Content-Transfer-Encoding: base64");
        if (Enc == TEncoding::QuotedPrintable) Line(out, "Content-Transfer-Encoding: Quoted-Printable");
        Line(out, {});
        if (Enc == TEncoding::Uuencode) Line(out, "begin 666 " + ToWire(name));
        PartQP = {};
        PartEnds = {};
        File = std::move(file);
        return true;
    }

    // The next block of the open file; false (after the part's end) at its end.
    bool Chunk(QByteArray& out) {
        const qint64 size = Enc == TEncoding::Base64     ? kBase64LineBytes * 36
                            : Enc == TEncoding::Uuencode ? kUuLineBytes * 45
                                                         : kBlock;
        const QByteArray data = File->read(size);
        QByteArray encoded;
        if (data.isEmpty()) {
            switch (Enc) {
                case TEncoding::Base64: break;
                case TEncoding::Uuencode:
                    Line(out, "`");
                    Line(out, "end");
                    break;
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
    QByteArray Charset;
    QByteArray Boundary;
    TQuotedPrintable BodyQP;
    TLineEnds BodyEnds;
    QList<QByteArray> Fed;
    qsizetype FedAt = 0;
    QByteArray Text;
    qsizetype TextAt = 0;
    qint64 Sent = 0;
    std::vector<TPart> Parts;
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
    Deadline.setSingleShot(true);
    connect(&Deadline, &QTimer::timeout, this, [this] { DeadlineReached(); });
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
    // An address is sent as it is or not at all: a character dropped or
    // replaced could deliver the mail to a stranger. An empty sender (the
    // null reverse-path) is allowed.
    QStringList addresses;
    if (!FROM_Address.isEmpty()) addresses << FROM_Address;
    for (const TRecipient& r : Recipients) addresses << r.Address;
    for (const QString& a : addresses) {
        if (!IsSendableAddress(a)) {
            Abort(meInvalidAddress,
                  QStringLiteral("Invalid address specified: ") + a +
                      QStringLiteral(" (only plain ASCII addresses without spaces, quotes or brackets can be sent)"));
            return;
        }
    }
    StartDeadline();

    if (IsConnected) {
        // A connection kept open from the last message: straight to MAIL FROM.
        State = TSmtpState::Helo;
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

void TSendMail::StartDeadline() {
    qint64 bytes = 0;
    for (const QString& line : MailText) bytes += line.size() + 2;
    for (const QString& entry : Attachments) bytes += QFileInfo(entry.section(QLatin1Char('|'), 0, 0)).size() * 4 / 3;
    ExtendDeadline(bytes, qMax(1, TimeoutTotal) * qint64(1000));
}

void TSendMail::ExtendDeadline(qint64 bytes, qint64 baseMs) {
    const qint64 left = Deadline.isActive() ? Deadline.remainingTime() : 0;
    const qint64 ms = qMin<qint64>(left + baseMs + bytes * 1000 / kDeadlineRate, std::numeric_limits<int>::max());
    Deadline.start(static_cast<int>(ms));
}

void TSendMail::DeadlineReached() {
    if (!Running()) return;
    if (MailSent) {
        Finished();
        return;
    }
    Abort(TimeoutError());
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
    if (MailSent) {
        // The server has taken the message: whatever goes wrong afterwards
        // (a bad answer to QUIT, a cancel, the deadline) does not unsend it.
        if (!Pumping) Writer.reset();
        Finished();
        return;
    }
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
    Deadline.stop();
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
    State = TSmtpState::Greeting;
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
    if (State == TSmtpState::Quit) {
        // Whatever the answer to QUIT, the message was accepted before it.
        State = TSmtpState::Done;
        Finished();
        return;
    }

    const TReplyKind kind = ClassifyReply(line);
    const bool more = IsContinuation(line);
    if (kind == TReplyKind::Malformed) {
        Abort(meUnexpectedResponse, kUnexpectedResponse + text);
        return;
    }
    if (kind == TReplyKind::Negative) {
        if (State != TSmtpState::Recipients) {
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
        case TSmtpState::Greeting:
            SendLine("HELO " + ToWire(LocalHostName));
            State = TSmtpState::Helo;
            break;
        case TSmtpState::Helo:
            SendLine("MAIL FROM:<" + ToWire(FROM_Address) + ">");
            State = TSmtpState::MailFrom;
            break;
        case TSmtpState::MailFrom:
            SendRecipient(0);
            State = TSmtpState::Recipients;
            break;
        case TSmtpState::Recipients:
            if (CurrentRecipient + 1 < static_cast<int>(Recipients.size())) {
                SendRecipient(CurrentRecipient + 1);
            } else {
                SendLine("DATA");
                State = TSmtpState::Data;
            }
            break;
        case TSmtpState::Data:
            State = TSmtpState::Message;
            Writer = std::make_unique<TMessageWriter>(*this);
            Pump();
            break;
        case TSmtpState::Message:
            if (Writer) {
                // The server answered before the message was complete.
                Abort(meUnexpectedResponse, kUnexpectedResponse + reply);
                return;
            }
            State = TSmtpState::Quit;
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
        case TSmtpState::Quit:
            // The answer to QUIT: the exchange is over, whether or not the server
            // hangs up itself.
            State = TSmtpState::Done;
            Finished();
            break;
        case TSmtpState::Done: break;
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
