// SPDX-License-Identifier: GPL-3.0-or-later
// The SMTP dialogue, the message and every way a send can end, over a fake
// transport the test drives byte by byte.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include "MailCheck.h"
#include "MailRun.h"
#include "MailSession.h"
#include "mail/SendMail.h"

using namespace canasta::mail;
using namespace canasta::test;

namespace {

QString Latin(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

// ---- the dialogue ----

TEST(SmtpDialogue, RunsGreetingHeloMailRcptDataQuitInOrder) {
    Session s;
    s.Mail->Start();
    EXPECT_TRUE(s.Mail->Busy());
    EXPECT_EQ(s.Net.ConnectedTo, "192.0.2.1");
    EXPECT_EQ(s.Net.Port, 25);
    s.T->OnConnected();
    EXPECT_TRUE(s.Ev.HasInfo(miConnected, "192.0.2.1"));
    s.Server("220 mx ready\r\n");
    EXPECT_EQ(s.Take(), "HELO client.example\r\n");
    EXPECT_TRUE(s.Ev.HasInfo(miResponse, "220 mx ready"));
    EXPECT_TRUE(s.Ev.HasInfo(miSending, "HELO client.example"));
    s.Server("250 mx\r\n");
    EXPECT_EQ(s.Take(), "MAIL FROM:<me@here.example>\r\n");
    s.Server("250 ok\r\n");
    EXPECT_EQ(s.Take(), "RCPT TO:<you@there.example>\r\n");
    EXPECT_TRUE(s.Ev.HasInfo(miRecipient, "you@there.example"));
    s.Server("250 ok\r\n");
    EXPECT_EQ(s.Take(), "DATA\r\n");
    s.Server("354 go ahead\r\n");
    EXPECT_TRUE(s.Take().endsWith("\r\n.\r\n"));
    s.Server("250 queued\r\n");
    EXPECT_TRUE(s.Ev.HasInfo(miAccepted, ""));
    EXPECT_EQ(s.Take(), "QUIT\r\n");
    s.Server("221 bye\r\n");
    EXPECT_TRUE(s.Ev.HasInfo(miClosed, ""));
    EXPECT_FALSE(s.Net.Open);
    ASSERT_TRUE(s.WaitDone());
    s.T->OnClosed();  // a late hang-up after our own close changes nothing
    Spin(50);
    EXPECT_EQ(s.Ev.Done, 1);
    EXPECT_TRUE(s.Ev.Errors.empty());
    EXPECT_FALSE(s.Mail->Busy());
}

TEST(SmtpDialogue, ServerLinesMaySplitAnywhereAndMayEndInABareLineFeed) {
    Session s;
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("22");
    s.Server("0 hi\r");
    EXPECT_EQ(s.Take(), "");
    s.Server("\n250 a\n");
    EXPECT_EQ(s.Take(), "HELO client.example\r\nMAIL FROM:<me@here.example>\r\n");
}

TEST(SmtpDialogue, RecipientsGoToThenCcThenBccWithHeadersOnlyForToAndCc) {
    Session s;
    s.Mail->TO_Name = "You";
    s.Mail->ListTo = {"two@x.example|Two", "three@x.example"};
    s.Mail->Listcc = {"cc@x.example|See Sea", "cc2@x.example"};
    s.Mail->ListBcc = {"hidden@x.example|Hidden"};
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("220 a\r\n250 b\r\n250 c\r\n");
    QByteArray rcpts = s.Take();
    rcpts = rcpts.mid(rcpts.indexOf("RCPT"));
    for (int i = 0; i < 6; ++i) {
        s.Server("250 ok\r\n");
        rcpts += s.Take();
    }
    EXPECT_EQ(rcpts,
              "RCPT TO:<you@there.example>\r\nRCPT TO:<two@x.example>\r\nRCPT TO:<three@x.example>\r\n"
              "RCPT TO:<cc@x.example>\r\nRCPT TO:<cc2@x.example>\r\nRCPT TO:<hidden@x.example>\r\nDATA\r\n");
    s.Server("354 go\r\n");
    const QByteArray msg = s.Take();
    EXPECT_TRUE(
        msg.contains("To: You <you@there.example>\r\nTo: Two <two@x.example>\r\nTo: three@x.example;\r\n"
                     "cc: See Sea <cc@x.example>\r\ncc: cc2@x.example\r\n"));
    EXPECT_FALSE(msg.contains("hidden"));
    // The caller's lists are left as they were.
    EXPECT_EQ(s.Mail->ListTo.size(), 2);
}

TEST(SmtpDialogue, FirstRecipientComesFromTheListsWhenNoToAddressIsSet) {
    Session s;
    s.Mail->TO_Address.clear();
    s.Mail->Listcc = {"|nobody", "cc@x.example|Cc"};
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("220 a\r\n250 b\r\n250 c\r\n");
    EXPECT_EQ(s.Take(), "HELO client.example\r\nMAIL FROM:<me@here.example>\r\nRCPT TO:<cc@x.example>\r\n");
}

TEST(SmtpDialogue, MultiLineRefusalOfARecipientIsReportedOnce) {
    Session s;
    s.Mail->ListTo = {"b@x.example"};
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("220 a\r\n250 b\r\n250 c\r\n550-no such user\r\n550-really\r\n");
    s.Take();
    EXPECT_EQ(s.Ev.CountInfo(miRecipientRefused), 0);
    s.Server("550 gone\r\n");
    EXPECT_EQ(s.Ev.InfoTexts(miRecipientRefused), std::vector<QString>{"you@there.example"});
    EXPECT_EQ(s.Take(), "RCPT TO:<b@x.example>\r\n");
    s.Server("250 ok\r\n");
    EXPECT_EQ(s.Take(), "DATA\r\n");
    EXPECT_TRUE(s.Ev.Errors.empty());
}

TEST(SmtpDialogue, KeptOpenConnectionGoesStraightToMailFromForTheNextMessage) {
    Session s;
    s.Mail->KeepConnectionOpen = true;
    s.ToMessage();
    s.Server("250 queued\r\n");
    EXPECT_EQ(s.Take(), "");  // no QUIT
    ASSERT_TRUE(s.WaitDone());
    EXPECT_TRUE(s.Net.Open);
    EXPECT_TRUE(s.Mail->Connected());
    s.Mail->Start();
    EXPECT_EQ(s.Net.Connects, 1);
    EXPECT_EQ(s.Take(), "MAIL FROM:<me@here.example>\r\n");
    EXPECT_EQ(s.Ev.CountInfo(miResponse), 6);  // no made-up server line
    s.Server("250 ok\r\n");
    EXPECT_EQ(s.Take(), "RCPT TO:<you@there.example>\r\n");
}

TEST(SmtpDialogue, KeptOpenConnectionClosedBetweenMessagesIsNoOperation) {
    Session s;
    s.Mail->KeepConnectionOpen = true;
    s.ToMessage();
    s.Server("250 queued\r\n");
    ASSERT_TRUE(s.WaitDone());
    s.T->OnClosed();
    Spin(30);
    EXPECT_EQ(s.Ev.Done, 1);
    EXPECT_TRUE(s.Ev.Errors.empty());
    EXPECT_FALSE(s.Mail->Connected());
    s.Mail->Start();
    EXPECT_EQ(s.Net.Connects, 2);  // a fresh connection
}

// ---- host lookup ----

TEST(HostLookup, NamesAreResolvedFirstAndNumbersAreNot) {
    Session s;
    s.Mail->SMTP_Server = "mail.example";
    s.Mail->Start();
    EXPECT_TRUE(s.Ev.HasInfo(miResolving, "mail.example"));
    EXPECT_EQ(s.Net.LookedUp, "mail.example");
    EXPECT_EQ(s.Net.Connects, 0);
    s.Net.Resolve("10.1.2.3", 0);
    EXPECT_TRUE(s.Ev.HasInfo(miResolved, "10.1.2.3"));
    EXPECT_EQ(s.Net.ConnectedTo, "10.1.2.3");

    Session n;
    n.Mail->SMTP_Server = "1host.example";  // a digit first is not yet a number
    n.Mail->Start();
    EXPECT_EQ(n.Net.LookedUp, "1host.example");
}

TEST(HostLookup, FailedLookupIsAddressResolutionError) {
    Session s;
    s.Mail->SMTP_Server = "nowhere.example";
    s.Mail->Start();
    s.Net.Resolve({}, 11001);
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0], std::make_pair(16, QString("Address resolution error")));
    ASSERT_TRUE(s.WaitDone());
    EXPECT_EQ(s.Net.Connects, 0);
}

// ---- failures: one error, then OnDone once ----

TEST(SmtpFailures, NoRecipientAtAll) {
    Session s;
    s.Mail->TO_Address.clear();
    s.Mail->Start();
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0], std::make_pair(18, QString("Mail Destination Error")));
    ASSERT_TRUE(s.WaitDone());
    EXPECT_EQ(s.Net.Connects, 0);
}

TEST(SmtpFailures, AFailedSendCanBeTriedAgainWithTheSameRecipient) {
    Session s;
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("hello?\r\n");
    ASSERT_TRUE(s.WaitDone());
    s.Take();
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("220 a\r\n250 b\r\n250 c\r\n");
    EXPECT_TRUE(s.Take().endsWith("RCPT TO:<you@there.example>\r\n"));
    EXPECT_EQ(s.Ev.Errors.size(), 1u);
}

TEST(SmtpFailures, StartWhileBusyOnlyReportsInfo13) {
    Session s;
    s.Mail->Start();
    s.Mail->Start();
    EXPECT_EQ(s.Ev.CountInfo(miBusy), 1);
    EXPECT_EQ(s.Net.Connects, 1);
}

TEST(SmtpFailures, CancelEndsARunningSendAndIsIgnoredWhenIdle) {
    Session s;
    s.Mail->Cancel();
    Spin(20);
    EXPECT_TRUE(s.Ev.Errors.empty());
    EXPECT_EQ(s.Ev.Done, 0);
    s.Mail->Start();
    s.T->OnConnected();
    s.Mail->SetAction(TMailAction::Cancel_SendMail);
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0], std::make_pair(14, QString()));
    EXPECT_FALSE(s.Net.Open);
    ASSERT_TRUE(s.WaitDone());
    Spin(30);
    EXPECT_EQ(s.Ev.Done, 1);
    EXPECT_EQ(s.Mail->Action(), TMailAction::Cancel_SendMail);
}

TEST(SmtpFailures, NegativeReplyOutsideTheRecipientsIsUnexpectedResponse) {
    Session s;
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("220 a\r\n450-busy\r\n450 later\r\n");
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0], std::make_pair(13, QString("Unexpected response: 450-busy")));
    EXPECT_EQ(s.Take(), "HELO client.example\r\n");
    ASSERT_TRUE(s.WaitDone());
}

TEST(SmtpFailures, GarbageFromTheServerDoesNotWalkTheDialogueOn) {
    Session s;
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("\x01\xff garbage\r\nOK\r\nOK\r\n");
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0].first, 13);
    EXPECT_EQ(s.Ev.Errors[0].second, QString::fromLatin1("Unexpected response: \x01\xff garbage"));
    EXPECT_EQ(s.Take(), "");
    ASSERT_TRUE(s.WaitDone());
    EXPECT_EQ(s.Ev.CountInfo(miResponse), 1);
}

TEST(SmtpFailures, AnEndlessLineIsCutOffAtTheBufferLimit) {
    Session s;
    s.Mail->Start();
    s.T->OnConnected();
    const QByteArray chunk(2048, 'x');
    int fed = 0;
    while (s.Ev.Errors.empty() && fed < 200) {
        s.Server(chunk);
        ++fed;
    }
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(fed, TSendMail::kMaxReplyLine / 2048 + 1);
    EXPECT_EQ(s.Ev.Errors[0].first, 13);
    EXPECT_EQ(s.Ev.Errors[0].second, "Unexpected response: " + QString(253, 'x'));
    EXPECT_FALSE(s.Net.Open);
    ASSERT_TRUE(s.WaitDone());
}

TEST(SmtpFailures, ServerClosingBeforeAcceptanceIsPrematureDisconnect) {
    Session s;
    s.ToMessage();
    s.T->OnClosed();
    EXPECT_TRUE(s.Ev.HasInfo(miClosed, ""));
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0], std::make_pair(17, QString("Prematurely Disconnected")));
    ASSERT_TRUE(s.WaitDone());
    Spin(20);
    EXPECT_EQ(s.Ev.Done, 1);
}

TEST(SmtpFailures, AnswerBeforeTheMessageIsCompleteIsUnexpected) {
    Session s;
    s.Net.Backlog = TSendMail::kSendAhead;  // the socket takes nothing: the message stays unfinished
    s.ToMessage();
    s.Server("250 too early\r\n");
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0].second, "Unexpected response: 250 too early");
    EXPECT_FALSE(s.Ev.HasInfo(miAccepted, ""));
}

TEST(SmtpFailures, SocketErrorsAreMappedAndEndTheSend) {
    Session s;
    s.Mail->Start();
    s.T->OnError(10061);
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0], std::make_pair(12, QString("Connection Refused")));
    ASSERT_TRUE(s.WaitDone());

    Session r;
    r.ToMessage();
    r.T->OnError(10054);
    ASSERT_EQ(r.Ev.Errors.size(), 1u);
    EXPECT_EQ(r.Ev.Errors[0], std::make_pair(7, QString("Connection reset by remote side")));
}

TEST(SmtpFailures, ConnectionTroubleAfterAcceptanceIsNoError) {
    Session s;
    s.ToMessage();
    s.Server("250 queued\r\n");
    s.T->OnError(10054);
    EXPECT_TRUE(s.Ev.Errors.empty());
    EXPECT_TRUE(s.Ev.HasInfo(miClosed, ""));
    ASSERT_TRUE(s.WaitDone());
}

// ---- time limits (whole seconds) ----

TEST(SmtpTimeouts, LookupConnectAndSilentServerEachEndInConnectionTimedOut) {
    Session lookup, connect, silent;
    lookup.Mail->SMTP_Server = "slow.example";
    lookup.Mail->TimeoutArp = 1;
    connect.Mail->TimeoutConnect = 1;
    silent.Mail->TimeoutResponse = 1;
    lookup.Mail->Start();
    connect.Mail->Start();
    silent.Mail->Start();
    silent.T->OnConnected();
    silent.Server("220 hi\r\n");  // then nothing
    ASSERT_TRUE(SpinUntil([&] { return lookup.Ev.Done && connect.Ev.Done && silent.Ev.Done; }, 4000));
    for (Session* s : {&lookup, &connect, &silent}) {
        ASSERT_EQ(s->Ev.Errors.size(), 1u);
        EXPECT_EQ(s->Ev.Errors[0], std::make_pair(8, QString("Connection timed out")));
        EXPECT_FALSE(s->Net.Open);
    }
    EXPECT_FALSE(lookup.Net.LookupDone);  // the late answer is not wanted
}

TEST(SmtpTimeouts, AServerThatNeverAnswersQuitOnlyDelaysTheEnd) {
    Session s;
    s.Mail->TimeoutResponse = 1;
    s.ToMessage();
    s.Server("250 queued\r\n");
    ASSERT_TRUE(s.WaitDone());
    EXPECT_TRUE(s.Ev.Errors.empty());
    EXPECT_TRUE(s.Ev.HasInfo(miClosed, ""));
}

TEST(SmtpTimeouts, DataGoingOutKeepsTheSendAlive) {
    Session s;
    s.Mail->TimeoutResponse = 1;
    s.Net.Backlog = TSendMail::kSendAhead;
    s.Mail->MailText = QStringList(2000, QString(100, 'a'));
    s.ToMessage();
    // The socket drains slowly, a little every 300 ms, for longer than the limit.
    for (int i = 0; i < 8; ++i) {
        Spin(300);
        s.T->OnWritten();
    }
    EXPECT_TRUE(s.Ev.Errors.empty());
    s.Net.Backlog = 0;
    s.T->OnWritten();
    EXPECT_TRUE(s.Take().endsWith("\r\n.\r\n"));
}

// ---- the message ----

TEST(Message, HeaderLinesInOrderWithSubjectRuleAndSevenBitBody) {
    Session s;
    s.Mail->FROM_Name = "Me";
    s.Mail->TO_Name = "You";
    s.Mail->Subject = "Hello";
    s.Mail->Headers = {"X-Game: Canasta", "X-Raw"};
    s.Mail->MailText = {"line one", "line two"};
    EXPECT_EQ(s.ToMessage(),
              "From: Me <me@here.example>\r\n"
              "To: You <you@there.example>\r\n"
              "Subject: Hello\r\n"
              "Mime-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
              "X-Game: Canasta\r\n"
              "X-Raw\r\n"
              "\r\n"
              "line one\r\nline two\r\n"
              ".\r\n");
    EXPECT_TRUE(s.Ev.HasInfo(miBodyLength, "18"));
    EXPECT_TRUE(s.Ev.HasInfo(miBodyProgress, "18"));
}

TEST(Message, EightBitBodyGoesQuotedPrintableAndSaysItsCharset) {
    Session s;
    s.Mail->FROM_Name = Latin("Jörg");
    s.Mail->MailText = {Latin("Grüße")};
    const QByteArray msg = s.ToMessage();
    EXPECT_TRUE(msg.startsWith("From: =?ISO-8859-1?Q?J=F6rg?= <me@here.example>\r\n"));
    EXPECT_TRUE(
        msg.contains("Content-Type: text/plain; charset=\"ISO-8859-1\"\r\n"
                     "Content-Transfer-Encoding: quoted-printable\r\n\r\nGr=FC=DFe\r\n.\r\n"));
}

TEST(Message, LongLinesAreSentWholeAndLeadingDotsDoubled) {
    Session s;
    const QString longLine(300, 'b');
    s.Mail->MailText = {longLine, ".hidden", "..", "."};
    const QByteArray msg = s.ToMessage();
    EXPECT_TRUE(msg.contains("\r\n\r\n" + longLine.toLatin1() + "\r\n..hidden\r\n...\r\n..\r\n.\r\n"));
}

TEST(Message, BodyBlocksReportProgressAndBareLineEndsBecomeCrLf) {
    Session s;
    // Lines up to 998 bytes go as they are; longer ones are for quoted-printable.
    const QString line(990, 'c');
    s.Mail->MailText = {line + "\n" + line + "\n" + line + "\n.x"};
    const QByteArray msg = s.ToMessage();
    const QByteArray wire(990, 'c');
    EXPECT_TRUE(msg.contains(wire + "\r\n" + wire + "\r\n" + wire + "\r\n..x\r\n.\r\n"));
    EXPECT_EQ(s.Ev.InfoTexts(miBodyProgress), (std::vector<QString>{"2048", "2975"}));
}

TEST(Message, FedTextComesBeforeMailText) {
    Session s;
    int calls = 0;
    s.Mail->OnFeedData = [&calls](QString& d) {
        if (++calls <= 2) d = QString("fed%1\r\n").arg(calls);
    };
    s.Mail->MailText = {"text"};
    const QByteArray msg = s.ToMessage();
    EXPECT_TRUE(msg.contains("\r\n\r\nfed1\r\nfed2\r\ntext\r\n.\r\n"));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(s.Ev.InfoTexts(miBodyProgress), (std::vector<QString>{"6", "12", "16"}));
}

TEST(Message, SendingWaitsForTheSocketToTakeTheData) {
    Session s;
    s.Net.Backlog = TSendMail::kSendAhead;
    s.Mail->MailText = {"x"};
    EXPECT_EQ(s.ToMessage(), "");
    s.Net.Backlog = 0;
    s.T->OnWritten();
    EXPECT_TRUE(s.Take().endsWith("x\r\n.\r\n"));
}

TEST(Message, ServerDataArrivingInsideAnEventIsHandledInOrder) {
    Session s;
    bool fed = false;
    s.Mail->OnMailInfo = [&](int info, const QString& text) {
        s.Ev.Infos.emplace_back(info, text);
        // As if a message box's event loop delivered the next reply meanwhile:
        // it must wait until the greeting has been answered.
        if (info == miResponse && text == "220 hi" && !fed) {
            fed = true;
            s.Server("554 no\r\n");
        }
    };
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("220 hi\r\n");
    EXPECT_EQ(s.Take(), "HELO client.example\r\n");
    ASSERT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Errors[0].second, "Unexpected response: 554 no");
}

TEST(SmtpFailures, AnErrorHandlerThatCancelsOrRestartsMeetsAnEndedSend) {
    Session s;
    s.Mail->OnMailError = [&](int e, const QString& text) {
        s.Ev.Errors.emplace_back(e, text);
        s.Mail->Cancel();
        s.Mail->Start();  // still busy until OnDone: only info 13
    };
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("500 what\r\n");
    ASSERT_TRUE(s.WaitDone());
    Spin(30);
    EXPECT_EQ(s.Ev.Errors.size(), 1u);
    EXPECT_EQ(s.Ev.Done, 1);
    EXPECT_EQ(s.Ev.CountInfo(miBusy), 1);
    EXPECT_EQ(s.Net.Connects, 1);
}

TEST(Message, CancellingFromAnEventWhileTheMessageIsWrittenStopsIt) {
    for (int when : {0, 5, 7}) {  // a header line, the body length, the final dot
        Session s;
        int seen = 0;
        s.Mail->MailText = {"body"};
        s.Mail->OnMailInfo = [&](int info, const QString&) {
            if (info != miSending && info != miBodyLength) return;
            if (seen++ == when + 4) s.Mail->Cancel();  // after HELO, MAIL, RCPT, DATA
        };
        s.ToMessage();
        EXPECT_EQ(s.Ev.Errors.size(), 1u) << when;
        EXPECT_FALSE(s.Net.Open);
        ASSERT_TRUE(s.WaitDone());
    }
}

class Attachments : public TFileTest {};

TEST_F(Attachments, EachEncodingWithItsPartHeaders) {
    QByteArray binary;
    for (int i = 0; i < 100; ++i) binary.append(static_cast<char>(200 + i % 50));
    const QString text = Write("notes.txt", "first\n.second\n");
    const QString bin = Write("pic.bin", binary);
    const QString qp = Write("q.txt", "a=b");
    const QString uu = Write("cat.dat", "Cat");
    Session s;
    s.Mail->MailText = {"See attached."};
    s.Mail->Attachments = {text, bin + "|A picture|image/png|inline", qp + "||||quoted-printable",
                           uu + "|||attachment|uuencode", Dir.filePath("missing.txt")};
    const QByteArray msg = s.ToMessage();
    const QByteArray b = "--==============ghyurgtfy573======___";
    const QByteArray expected =
        "Mime-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"==============ghyurgtfy573======___\"\r\n"
        "\r\n" +
        b +
        "\r\n"
        "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
        "\r\n"
        "See attached.\r\n" +
        b +
        "\r\n"
        "Content-Type: text/plain; name=\"notes.txt\"\r\n"
        "Content-Disposition: attachment; filename=\"notes.txt\"\r\n"
        "\r\n"
        "first\r\n..second\r\n\r\n" +
        b +
        "\r\n"
        "Content-Type: image/png; name=\"pic.bin\"\r\n"
        "Content-Disposition: inline; filename=\"pic.bin\"\r\n"
        "Content-Description: A picture\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "\r\n" +
        binary.toBase64().left(76) + "\r\n" + binary.toBase64().mid(76) + "\r\n" + b +
        "\r\n"
        "Content-Type: application/octet-stream; name=\"q.txt\"\r\n"
        "Content-Disposition: attachment; filename=\"q.txt\"\r\n"
        "Content-Transfer-Encoding: Quoted-Printable\r\n"
        "\r\n"
        "a=3Db\r\n" +
        b +
        "\r\n"
        "Content-Type: application/octet-stream; name=\"cat.dat\"\r\n"
        "Content-Disposition: attachment; filename=\"cat.dat\"\r\n"
        "\r\n"
        "begin 666 cat.dat\r\n#0V%T\r\n`\r\nend\r\n" +
        b +
        "--\r\n"
        "\r\n"
        ".\r\n";
    EXPECT_TRUE(msg.endsWith(expected)) << msg.constData();
    EXPECT_TRUE(s.Ev.HasInfo(miAttachmentUnreadable, Dir.filePath("missing.txt")));
    EXPECT_EQ(s.Ev.CountInfo(miAttachment), 4);
}

TEST_F(Attachments, AFolderOrUnreadableFileIsSkippedAndAnEmptyTextHasNoTextPart) {
    Session s;
    s.Mail->Attachments = {Dir.path(), Write("a.txt", "x")};
    const QByteArray msg = s.ToMessage();
    EXPECT_TRUE(s.Ev.HasInfo(miAttachmentUnreadable, Dir.path()));
    EXPECT_FALSE(msg.contains("charset"));
    EXPECT_TRUE(msg.contains("name=\"a.txt\""));
}

TEST_F(Attachments, LargeFileIsReadInPiecesAsTheSocketDrains) {
    QByteArray big(300 * 1024, '\xee');
    Session s;
    s.Mail->Attachments = {Write("big.bin", big)};
    s.Net.Backlog = 0;
    QByteArray msg = s.ToMessage();
    const int b64Start = msg.indexOf("base64\r\n\r\n") + 10;
    const int b64End = msg.indexOf("\r\n--=====", b64Start);
    EXPECT_EQ(QByteArray::fromBase64(msg.mid(b64Start, b64End - b64Start)), big);
    for (const QByteArray& line : msg.mid(b64Start, b64End - b64Start).split('\n')) EXPECT_LE(line.size(), 77);
}
