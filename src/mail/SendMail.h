// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TSendMail sends one e-mail message to an SMTP server and reports progress
// and failures as events on the GUI thread. It never blocks: the host lookup,
// the connect and every read and write are asynchronous, and each stage has
// a time limit, so a silent or broken server ends in one error and OnDone.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "mail/MailCodec.h"
#include "mail/MailTransport.h"

class QFile;

namespace canasta::mail {

enum class TMailAction { None, Send_Mail, Cancel_SendMail };

class TSendMail : public QObject {
public:
    // With the program's socket component and host lookup (builds with the
    // network only).
    explicit TSendMail(QObject* parent = nullptr);
    TSendMail(std::unique_ptr<IMailTransport> transport, std::unique_ptr<IHostResolver> resolver,
              QObject* parent = nullptr);
    // Closes a connection without any event.
    ~TSendMail() override;

    QString SMTP_Server;  // dotted IPv4 number or host name
    QString FROM_Name;
    QString FROM_Address;
    QString TO_Name;
    QString TO_Address;
    QString Subject;
    quint16 SMTP_Port = 25;
    QStringList MailText;
    // Recipient lists: each entry an address, "|" and a display name (optional).
    QStringList Listcc;
    QStringList ListBcc;
    QStringList ListTo;
    // Files: a path, optionally followed by "|description|content type|disposition|encoding"
    // (encoding "base64", "quoted-printable", "plain" or "uuencode"; empty
    // chooses plain for 7-bit files and base64 for the others).
    QStringList Attachments;
    QStringList Headers;  // extra header lines
    bool KeepConnectionOpen = false;
    int TimeoutConnect = 30;  // seconds for the TCP connect
    int TimeoutArp = 30;      // seconds for the host lookup
    // Seconds the server may stay silent (or not take our data) while we wait
    // for it; without it a server that never answers would hang the send.
    int TimeoutResponse = 60;
    // Seconds for a whole send, from Start to the end, plus one second per
    // kDeadlineRate bytes of the message: a server that trickles its replies
    // a byte at a time cannot hold the send for ever.
    int TimeoutTotal = 180;
    static constexpr int kDeadlineRate = 4096;
    // Name sent with HELO; the machine's host name by default.
    QString LocalHostName;

    // Events. They run on the GUI thread; a handler must not delete the
    // component directly (deleteLater is fine).
    std::function<void(int info, const QString& addinfo)> OnMailInfo;
    std::function<void(int error, const QString& addinfo)> OnMailError;
    // Asked for further body text before MailText; an empty answer ends it.
    std::function<void(QString& data)> OnFeedData;
    // Once per send operation, after success or failure, posted.
    std::function<void()> OnDone;

    // Send_Mail starts sending (info 13 while one runs), Cancel_SendMail
    // cancels a running send with error 14, None does nothing.
    void SetAction(TMailAction action);
    TMailAction Action() const { return CurrentAction; }
    void Start() { SetAction(TMailAction::Send_Mail); }
    void Cancel() { SetAction(TMailAction::Cancel_SendMail); }

    bool Busy() const { return IsBusy; }
    bool Connected() const { return IsConnected; }
    static QString Version();

    // Longest server line we keep waiting for its line end.
    static constexpr int kMaxReplyLine = 64 * 1024;
    // Message bytes we queue ahead of the socket.
    static constexpr int kSendAhead = 64 * 1024;
    // Bytes of body text per block (info 11 after each).
    static constexpr int kBlock = 2048;

private:
    struct TRecipient {
        QString Address, Name;
    };
    enum class TWait { None, Lookup, Connect, Server };
    class TMessageWriter;

    void Wire();
    void StartSend();
    void ConnectTo(const QString& address);
    // Ends the running send with one error report.
    void Abort(int error, const QString& addinfo);
    void Abort(const TMailError& e) { Abort(e.Code, e.Text); }
    void PostDone();
    void Info(int info, const QString& addinfo = {});
    bool Running() const { return IsBusy && !DonePosted; }
    void Arm(TWait wait, int seconds);
    // The overall limit: TimeoutTotal plus the message's share, counted from Start.
    void StartDeadline();
    void ExtendDeadline(qint64 bytes, qint64 baseMs = 0);
    void DeadlineReached();
    void Tick();
    void CloseSocket();

    void Connected_();
    void DataArrived(const QByteArray& bytes);
    void Written();
    void ClosedByServer();
    void SocketError(int wsaCode);

    void HandleLine(const QByteArray& line);
    // The step after a complete positive reply (or a refused recipient).
    void Advance(const QString& reply);
    void SendLine(const QByteArray& line);
    void SendRecipient(int index);
    void Pump();
    void Finished();

    std::unique_ptr<IMailTransport> Transport;
    std::unique_ptr<IHostResolver> Resolver;
    QTimer Countdown;
    QTimer Deadline;
    TWait Waiting = TWait::None;
    int Remaining = 0;

    TMailAction CurrentAction = TMailAction::None;
    bool IsBusy = false;
    bool DonePosted = false;
    bool Cancelled = false;
    bool MailSent = false;
    bool IsConnected = false;
    // Where the SMTP exchange stands: what the next reply answers.
    enum class TSmtpState {
        Greeting,    // the server's greeting; HELO goes next
        Helo,        // the answer to HELO; MAIL FROM next
        MailFrom,    // the answer to MAIL FROM; the first RCPT TO next
        Recipients,  // the answer to an RCPT TO; the next one or DATA
        Data,        // the answer to DATA; the message next
        Message,     // the answer to the end of the message
        Quit,        // the answer to QUIT: the mail was accepted before it
        Done,
    };
    TSmtpState State = TSmtpState::Greeting;
    QString ServerAddress;
    QByteArray Partial;
    int Parsing = 0;  // DataArrived depth: a handler's nested event loop may deliver more

    std::vector<TRecipient> Recipients;  // in RCPT order: To, cc, Bcc
    std::vector<TRecipient> ToHeader, CcHeader;
    int CurrentRecipient = 0;

    std::unique_ptr<TMessageWriter> Writer;
    bool Pumping = false;
};

}  // namespace canasta::mail
