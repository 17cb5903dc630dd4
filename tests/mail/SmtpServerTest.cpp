// SPDX-License-Identifier: GPL-3.0-or-later
// The mail component over real sockets against a scripted SMTP server on
// 127.0.0.1: the exact bytes it sends, and every way a bad server can end it.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

#include "MailRun.h"
#include "ScriptedServer.h"
#include "mail/SendMail.h"

using namespace canasta::mail;
using namespace canasta::test;

namespace {

struct Live {
    TMailEvents Ev;
    TSendMail Mail;
    explicit Live(uint16_t port) {
        Ev.Attach(Mail);
        Mail.SMTP_Server = "127.0.0.1";
        Mail.SMTP_Port = port;
        Mail.FROM_Address = "me@here.example";
        Mail.TO_Address = "you@there.example";
        Mail.LocalHostName = "client.example";
    }
    bool Run(int ms = 10000) {
        Mail.Start();
        return SpinUntil([this] { return Ev.Done > 0; }, ms);
    }
};

// The server has seen everything the client will send.
std::string Settled(TScriptedServer& server) {
    SpinUntil([&] { return server.Finished(); }, 5000);
    return server.Received();
}

// The message between the DATA line and the final dot.
std::string Message(const std::string& received) {
    const size_t start = received.find("DATA\r\n");
    const size_t end = received.find("\r\n.\r\n", start);
    if (start == std::string::npos || end == std::string::npos) return {};
    return received.substr(start + 6, end + 2 - (start + 6));
}

std::string Lat(const char* utf8) { return QString::fromUtf8(utf8).toLatin1().toStdString(); }

const std::string kHead =
    "HELO client.example\r\nMAIL FROM:<me@here.example>\r\nRCPT TO:<you@there.example>\r\nDATA\r\n";

}  // namespace

// ---- what goes on the wire ----

TEST(SmtpWire, GreetingRefusedWith554EndsInError13AndNothingIsSent) {
    TScriptedServer server({Say("554 mx.example no service for you\r\n"), Hang()});
    Live c(server.Port());
    ASSERT_TRUE(c.Run());
    ASSERT_EQ(c.Ev.Errors.size(), 1u);
    EXPECT_EQ(c.Ev.Errors[0], std::make_pair(13, QString("Unexpected response: 554 mx.example no service for you")));
    EXPECT_EQ(Settled(server), "");
    Spin(50);
    EXPECT_EQ(c.Ev.Done, 1);
    EXPECT_FALSE(c.Ev.HasInfo(miClosed, ""));
}

TEST(SmtpWire, MultiLineReplyIsAnsweredOnlyAfterItsLastLine) {
    TScriptedServer server({Say("220-mx.example first greeting line\r\n"),
                            Pause(300),
                            Mark(),
                            Say("220 mx.example ready\r\n"),
                            AwaitLine(),
                            Say("250-mx.example\r\n"),
                            Pause(300),
                            Mark(),
                            Say("250-SIZE 1000000\r\n250 HELP\r\n"),
                            AwaitLine(),
                            Say("250 OK\r\n"),
                            AwaitLine(),
                            Say("250 OK\r\n"),
                            AwaitLine(),
                            Say("354 go\r\n"),
                            AwaitData(),
                            Say("250 queued\r\n"),
                            AwaitLine(),
                            Say("221 bye\r\n"),
                            Close()});
    Live c(server.Port());
    c.Mail.MailText = {"hi"};
    ASSERT_TRUE(c.Run());
    EXPECT_TRUE(c.Ev.Errors.empty());
    const std::string got = Settled(server);
    ASSERT_EQ(server.Marks().size(), 2u);
    EXPECT_EQ(server.Marks()[0], 0u);                                             // nothing after "220-"
    EXPECT_EQ(server.Marks()[1], std::string("HELO client.example\r\n").size());  // only HELO after "250-"
    EXPECT_EQ(got, kHead +
                       "From:  <me@here.example>\r\nTo: you@there.example;\r\nMime-Version: 1.0\r\n"
                       "Content-Type: text/plain; charset=\"us-ascii\"\r\n\r\nhi\r\n.\r\nQUIT\r\n");
    EXPECT_TRUE(c.Ev.HasInfo(miAccepted, ""));
    EXPECT_TRUE(c.Ev.HasInfo(miClosed, ""));
}

TEST(SmtpWire, RefusedRecipientGivesInfo8AndTheOthersStillGetTheMail) {
    TScriptedServer server({Say("220 hi\r\n"), AwaitLine(), Say("250 hi\r\n"), AwaitLine(), Say("250 ok\r\n"),
                            AwaitLine(), Say("250 ok\r\n"), AwaitLine(), Say("550 5.1.1 no such user\r\n"), AwaitLine(),
                            Say("250 ok\r\n"), AwaitLine(), Say("354 go\r\n"), AwaitData(), Say("250 queued\r\n"),
                            AwaitLine(), Say("221 bye\r\n"), Close()});
    Live c(server.Port());
    c.Mail.ListTo = {"nobody@there.example"};
    c.Mail.Listcc = {"friend@there.example|Friend"};
    c.Mail.MailText = {"hi"};
    ASSERT_TRUE(c.Run());
    EXPECT_TRUE(c.Ev.Errors.empty());
    EXPECT_EQ(c.Ev.InfoTexts(miRecipientRefused), std::vector<QString>{"nobody@there.example"});
    EXPECT_TRUE(c.Ev.HasInfo(miAccepted, ""));
    const std::string got = Settled(server);
    EXPECT_EQ(got.substr(0, got.find("From:")),
              "HELO client.example\r\nMAIL FROM:<me@here.example>\r\nRCPT TO:<you@there.example>\r\n"
              "RCPT TO:<nobody@there.example>\r\nRCPT TO:<friend@there.example>\r\nDATA\r\n");
    EXPECT_NE(got.find("\r\nhi\r\n.\r\nQUIT\r\n"), std::string::npos);
}

TEST(SmtpWire, Latin1SubjectIsOneEncodedWord) {
    TScriptedServer server(AcceptingScript());
    Live c(server.Port());
    c.Mail.Subject = QString::fromUtf8("Grüße");
    c.Mail.MailText = {"Hallo"};
    ASSERT_TRUE(c.Run());
    EXPECT_EQ(Settled(server), kHead +
                                   "From:  <me@here.example>\r\nTo: you@there.example;\r\n"
                                   "Subject: =?ISO-8859-1?Q?Gr=FC=DFe?=\r\n"
                                   "Mime-Version: 1.0\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\n\r\n"
                                   "Hallo\r\n.\r\nQUIT\r\n");
}

TEST(SmtpWire, LongBodyLineIsSentWholeAndLongHeadersAreFoldedNotCut) {
    TScriptedServer server(AcceptingScript());
    Live c(server.Port());
    const QString line(400, 'w');
    c.Mail.Subject = QString(300, 's');
    c.Mail.MailText = {line};
    ASSERT_TRUE(c.Run());
    const std::string msg = Message(Settled(server));
    EXPECT_NE(msg.find("\r\n\r\n" + line.toStdString() + "\r\n"), std::string::npos);
    const size_t from = msg.find("Subject:"), to = msg.find("\r\nMime-Version");
    ASSERT_LT(from, to);
    QByteArray subject = QByteArray::fromStdString(msg.substr(from + 8, to - from - 8));
    for (const QByteArray& piece : subject.split('\n')) EXPECT_LE(piece.size(), 78);
    // Encoded words of plain letters: what is left without their frames is the subject.
    for (const char* frame : {"\r\n", " ", "=?ISO-8859-1?Q?", "?="}) subject.replace(frame, "");
    EXPECT_EQ(subject, QByteArray(300, 's'));
}

TEST(SmtpWire, LinesStartingWithADotAreDoubled) {
    TScriptedServer server(AcceptingScript());
    Live c(server.Port());
    c.Mail.MailText = {"before", ".", ".leading dot", "mid.dot", "..two"};
    ASSERT_TRUE(c.Run());
    EXPECT_TRUE(c.Ev.Errors.empty());
    const std::string msg = Message(Settled(server));
    EXPECT_NE(msg.find("\r\n\r\nbefore\r\n..\r\n..leading dot\r\nmid.dot\r\n...two\r\n"), std::string::npos) << msg;
}

TEST(SmtpWire, EightBitBodyIsQuotedPrintableWithSoftBreaks) {
    TScriptedServer server(AcceptingScript());
    Live c(server.Port());
    c.Mail.MailText = {QString::fromUtf8("Grüße aus Köln"), QString(60, 'k')};
    ASSERT_TRUE(c.Run());
    const std::string msg = Message(Settled(server));
    EXPECT_NE(msg.find("Content-Type: text/plain; charset=\"ISO-8859-1\"\r\n"
                       "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                       "Gr=FC=DFe=20aus=20K=F6ln=0D=0A" +
                       std::string(41, 'k') + "=\r\n" + std::string(19, 'k') + "\r\n"),
              std::string::npos)
        << msg;
}

TEST(SmtpWire, AttachmentPartWithItsHeaders) {
    QTemporaryDir dir;
    const QString path = dir.filePath("scores.bin");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Lat("höchste Punktzahl").c_str());
    f.close();
    TScriptedServer server(AcceptingScript());
    Live c(server.Port());
    c.Mail.MailText = {"See the file."};
    c.Mail.Attachments = {path + "|High scores"};
    ASSERT_TRUE(c.Run());
    const std::string b = "--==============ghyurgtfy573======___";
    const std::string b64 = QByteArray::fromStdString(Lat("höchste Punktzahl")).toBase64().toStdString();
    EXPECT_EQ(Message(Settled(server)),
              "From:  <me@here.example>\r\nTo: you@there.example;\r\nMime-Version: 1.0\r\n"
              "Content-Type: multipart/mixed; boundary=\"==============ghyurgtfy573======___\"\r\n\r\n" +
                  b + "\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\n\r\nSee the file.\r\n" + b +
                  "\r\n"
                  "Content-Type: application/octet-stream; name=\"scores.bin\"\r\n"
                  "Content-Disposition: attachment; filename=\"scores.bin\"\r\n"
                  "Content-Description: High scores\r\n"
                  "Content-Transfer-Encoding: base64\r\n\r\n" +
                  b64 + "\r\n" + b + "--\r\n\r\n");
    EXPECT_TRUE(c.Ev.HasInfo(miAttachment, path));
}

// ---- bad servers: one error, then OnDone ----

TEST(SmtpBadServer, ClosingMidMessageIsPrematureDisconnect) {
    TScriptedServer server({Say("220 hi\r\n"), AwaitLine(), Say("250 hi\r\n"), AwaitLine(), Say("250 ok\r\n"),
                            AwaitLine(), Say("250 ok\r\n"), AwaitLine(), Say("354 go\r\n"), Pause(50), Close()});
    Live c(server.Port());
    c.Mail.MailText = QStringList(20000, QString(60, 'm'));  // more than the socket buffers take at once
    ASSERT_TRUE(c.Run());
    ASSERT_EQ(c.Ev.Errors.size(), 1u);
    // Depending on timing the close is seen as an end of stream or as a reset.
    EXPECT_TRUE(c.Ev.Errors[0] == std::make_pair(17, QString("Prematurely Disconnected")) ||
                c.Ev.Errors[0] == std::make_pair(7, QString("Connection reset by remote side")))
        << c.Ev.Errors[0].first;
    Spin(50);
    EXPECT_EQ(c.Ev.Done, 1);
}

TEST(SmtpBadServer, ServerThatNeverAnswersTimesOut) {
    TScriptedServer server({Hang()});
    Live c(server.Port());
    c.Mail.TimeoutResponse = 1;
    ASSERT_TRUE(c.Run(5000));
    ASSERT_EQ(c.Ev.Errors.size(), 1u);
    EXPECT_EQ(c.Ev.Errors[0], std::make_pair(8, QString("Connection timed out")));
    EXPECT_TRUE(c.Ev.HasInfo(miConnected, "127.0.0.1"));
}

TEST(SmtpBadServer, GarbageIsAnUnexpectedResponse) {
    TScriptedServer server({Say(std::string("\x00\x01\xfe\r\n", 5)), Hang()});
    Live c(server.Port());
    ASSERT_TRUE(c.Run());
    ASSERT_EQ(c.Ev.Errors.size(), 1u);
    EXPECT_EQ(c.Ev.Errors[0].first, 13);
    EXPECT_EQ(Settled(server), "");
}

TEST(SmtpBadServer, EndlessLineWithoutLineEndIsCutOff) {
    TScriptedServer server({Say(std::string(200 * 1024, 'z')), Hang()});
    Live c(server.Port());
    ASSERT_TRUE(c.Run());
    ASSERT_EQ(c.Ev.Errors.size(), 1u);
    EXPECT_EQ(c.Ev.Errors[0].second, "Unexpected response: " + QString(253, 'z'));
    Spin(50);
    EXPECT_EQ(c.Ev.Done, 1);
}

TEST(SmtpBadServer, NothingListeningIsConnectionRefused) {
    Live c(UnusedPort());
    ASSERT_TRUE(c.Run());
    ASSERT_EQ(c.Ev.Errors.size(), 1u);
    EXPECT_EQ(c.Ev.Errors[0], std::make_pair(12, QString("Connection Refused")));
}

// ---- host names ----

TEST(SmtpLookup, HostNameIsResolvedWithoutBlockingAndThenUsed) {
    TScriptedServer server(AcceptingScript());
    Live c(server.Port());
    c.Mail.SMTP_Server = "localhost";
    c.Mail.MailText = {"x"};
    ASSERT_TRUE(c.Run());
    EXPECT_TRUE(c.Ev.HasInfo(miResolving, "localhost"));
    EXPECT_TRUE(c.Ev.HasInfo(miResolved, "127.0.0.1"));
    EXPECT_TRUE(c.Ev.HasInfo(miAccepted, ""));
}

TEST(SmtpLookup, UnknownHostIsAddressResolutionError) {
    Live c(25);
    c.Mail.SMTP_Server = "no-such-host.invalid";
    ASSERT_TRUE(c.Run(40000));
    ASSERT_EQ(c.Ev.Errors.size(), 1u);
    EXPECT_EQ(c.Ev.Errors[0], std::make_pair(16, QString("Address resolution error")));
}

// ---- the command-line tool ----
#ifdef CANASTA_MAIL_TOOL

TEST(CanastaMailTool, SendsStandardInputAndExitsNonZeroOnError) {
    TScriptedServer server(AcceptingScript(2));
    QProcess p;
    p.start(CANASTA_MAIL_TOOL,
            {"--server", "127.0.0.1", "--port", QString::number(server.Port()), "--from", "me@here.example", "--to",
             "you@there.example", "--cc", "c@there.example", "--subject", QString::fromUtf8("Grüße")});
    ASSERT_TRUE(p.waitForStarted());
    p.write(".dot\nzwei\n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_TRUE(out.contains("info 0: 127.0.0.1\n"));
    EXPECT_TRUE(out.contains("info 4: \n"));
    const std::string msg = Message(Settled(server));
    EXPECT_NE(msg.find("cc: c@there.example\r\nSubject: =?ISO-8859-1?Q?Gr=FC=DFe?=\r\n"), std::string::npos);
    EXPECT_NE(msg.find("\r\n\r\n..dot\r\nzwei\r\n"), std::string::npos) << msg;

    TScriptedServer refusing({Say("554 go away\r\n"), Hang()});
    QProcess q;
    q.start(CANASTA_MAIL_TOOL, {"--server", "127.0.0.1", "--port", QString::number(refusing.Port()), "--from",
                                "me@here.example", "--to", "you@there.example"});
    q.closeWriteChannel();
    ASSERT_TRUE(q.waitForFinished(10000));
    EXPECT_EQ(q.exitCode(), 1);
    EXPECT_TRUE(q.readAllStandardError().contains("error 13: Unexpected response: 554 go away\n"));
}
#endif
