// SPDX-License-Identifier: GPL-3.0-or-later
// What a mail reader makes of the message: addresses that cannot be sent as
// they are, display names, folded headers, long lines, attachment encodings,
// the part boundary and file names, and the overall time limit of a send.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "MailCheck.h"
#include "MailRun.h"
#include "MailSession.h"
#include "mail/SendMail.h"

using namespace canasta::mail;
using namespace canasta::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QByteArray HeaderSection(const QByteArray& msg) { return msg.left(msg.indexOf("\r\n\r\n") + 2); }

// The header fields with their folds undone, in order.
QList<QByteArray> Fields(const QByteArray& msg) {
    QByteArray head = HeaderSection(msg);
    head.replace("\r\n ", " ");
    head.replace("\r\n\t", "\t");
    QList<QByteArray> fields = head.split('\n');
    for (QByteArray& f : fields) f.chop(f.endsWith('\r') ? 1 : 0);
    fields.removeAll(QByteArray());
    return fields;
}

QByteArray Field(const QByteArray& msg, const QByteArray& name) {
    for (const QByteArray& f : Fields(msg))
        if (f.startsWith(name + ":")) return f.mid(name.size() + 1).trimmed();
    return {};
}

QByteArray UnQ(const QByteArray& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '_')
            out.append(' ');
        else if (text[i] == '=' && i + 2 < text.size() + 1) {
            out.append(static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        } else
            out.append(text[i]);
    }
    return out;
}

// Encoded words back to text; the space between two of them is not part of it.
QString DecodeWords(const QByteArray& value) {
    static const QRegularExpression word(QStringLiteral(R"(=\?([^?]+)\?[Qq]\?([^?]*)\?=)"));
    QString out;
    qsizetype at = 0;
    bool lastWasWord = false;
    auto it = word.globalMatch(QString::fromLatin1(value));
    while (it.hasNext()) {
        const auto m = it.next();
        const QString between = QString::fromLatin1(value.mid(at, m.capturedStart() - at));
        if (!(lastWasWord && between.trimmed().isEmpty())) out += between;
        const QByteArray bytes = UnQ(m.captured(2).toLatin1());
        out += m.captured(1).compare(QStringLiteral("UTF-8"), Qt::CaseInsensitive) == 0 ? QString::fromUtf8(bytes)
                                                                                        : QString::fromLatin1(bytes);
        at = m.capturedEnd();
        lastWasWord = true;
    }
    out += QString::fromLatin1(value.mid(at));
    return out;
}

// The message as the server keeps it: dot-stuffing undone, without the final dot.
QByteArray Unstuffed(const QByteArray& wire) {
    QByteArray msg = wire.left(wire.size() - 3);  // ".\r\n"
    msg.replace("\r\n..", "\r\n.");
    return msg;
}

QByteArray Body(const QByteArray& msg) { return msg.mid(msg.indexOf("\r\n\r\n") + 4); }

bool LinesWithin(const QByteArray& msg, int limit) {
    for (const QByteArray& line : msg.split('\n'))
        if (line.size() - (line.endsWith('\r') ? 1 : 0) > limit) return false;
    return true;
}

QByteArray BoundaryOf(const QByteArray& msg) {
    const QByteArray type = Field(msg, "Content-Type");
    const int at = type.indexOf("boundary=\"");
    if (at < 0) return {};
    const int from = at + 10;
    return type.mid(from, type.indexOf('"', from) - from);
}

// The parts between the boundary lines, each with its own header.
QList<QByteArray> Parts(const QByteArray& msg) {
    const QByteArray boundary = BoundaryOf(msg);
    QList<QByteArray> parts;
    if (boundary.isEmpty()) return parts;
    const QByteArray body = "\r\n" + Body(msg);
    const QByteArray delimiter = "\r\n--" + boundary;
    qsizetype at = body.indexOf(delimiter);
    while (at >= 0) {
        const qsizetype from = body.indexOf("\r\n", at + delimiter.size());
        if (body.mid(at + delimiter.size(), 2) == "--") break;
        const qsizetype next = body.indexOf(delimiter, from);
        if (next < 0) break;
        parts << body.mid(from + 2, next - from - 2);
        at = next;
    }
    return parts;
}

class Files : public TFileTest {};

}  // namespace

// ---- addresses and character sets ----

TEST(Addresses, OnesThatCannotGoOutAsTheyAreAreRefusedBeforeConnecting) {
    const QString bad[] = {U("łukasz@example.pl"), U("jörg@example.de"), "a@b.example\r\nRCPT TO:<evil@x.example>",
                           "two words@x.example", "a@x.example>,<b@x.example"};
    for (const QString& address : bad) {
        for (int where = 0; where < 3; ++where) {
            Session s;
            if (where == 0) s.Mail->TO_Address = address;
            if (where == 1) s.Mail->FROM_Address = address;
            if (where == 2) s.Mail->Listcc = {address + "|Someone"};
            s.Mail->Start();
            ASSERT_EQ(s.Ev.Errors.size(), 1u) << address.toStdString() << " " << where;
            EXPECT_EQ(s.Ev.Errors[0].first, meInvalidAddress);
            EXPECT_TRUE(s.Ev.Errors[0].second.contains(address.trimmed())) << s.Ev.Errors[0].second.toStdString();
            EXPECT_EQ(s.Net.Connects, 0);
            EXPECT_TRUE(s.Net.LookedUp.isEmpty());
            ASSERT_TRUE(s.WaitDone());
        }
    }
    // Nothing outside printable ASCII reaches the envelope of a good one.
    Session s;
    s.Mail->TO_Address = "ok@example.pl";
    s.Mail->Start();
    s.T->OnConnected();
    s.Server("220 a\r\n250 b\r\n250 c\r\n");
    EXPECT_EQ(s.Take(), "HELO client.example\r\nMAIL FROM:<me@here.example>\r\nRCPT TO:<ok@example.pl>\r\n");
}

TEST(Charsets, TextBeyondLatin1GoesOutAsUtf8NeverAsQuestionMarks) {
    Session s;
    s.Mail->FROM_Name = U("Łukasz Żółw");
    s.Mail->TO_Name = U("Иван");
    s.Mail->Subject = U("Zażółć gęślą jaźń €");
    s.Mail->MailText = {U("Привет, мир"), U("second line ✓")};
    const QByteArray msg = Unstuffed(s.ToMessage());
    EXPECT_EQ(DecodeWords(Field(msg, "Subject")).trimmed(), s.Mail->Subject);
    EXPECT_EQ(DecodeWords(Field(msg, "From")), U("Łukasz Żółw <me@here.example>"));
    EXPECT_EQ(DecodeWords(Field(msg, "To")), U("Иван <you@there.example>"));
    EXPECT_EQ(Field(msg, "Content-Type"), "text/plain; charset=\"UTF-8\"");
    EXPECT_EQ(Field(msg, "Content-Transfer-Encoding"), "quoted-printable");
    EXPECT_EQ(QString::fromUtf8(DecodeQP(Body(msg))), s.Mail->MailText.join("\r\n") + "\r\n");
    // Every byte of the message is 7-bit.
    for (char c : msg) EXPECT_LT(static_cast<unsigned char>(c), 128);
}

// ---- display names ----

TEST(DisplayNames, NoNameCanAddHideOrReplaceAnAddress) {
    Session s;
    s.Mail->FROM_Name = "Eve\r\nBcc: evil@x.example";
    s.Mail->TO_Name = "Al \"Bo\" \\ C";
    s.Mail->Listcc = {"cc@x.example|Doe, John <evil@x.example>", "cc2@x.example|Mr. Smith"};
    const QByteArray msg = Unstuffed(s.ToMessage(3));
    const QList<QByteArray> fields = Fields(msg);
    EXPECT_TRUE(fields.contains("From: \"Eve Bcc: evil@x.example\" <me@here.example>")) << msg.constData();
    EXPECT_TRUE(fields.contains("To: \"Al \\\"Bo\\\" \\\\ C\" <you@there.example>")) << msg.constData();
    EXPECT_TRUE(fields.contains("cc: \"Doe, John <evil@x.example>\" <cc@x.example>")) << msg.constData();
    EXPECT_TRUE(fields.contains("cc: \"Mr. Smith\" <cc2@x.example>")) << msg.constData();
    for (const QByteArray& f : fields) EXPECT_FALSE(f.startsWith("Bcc")) << f.constData();
}

// ---- long headers ----

TEST(Folding, LongHeadersAreFoldedWholeWordsAndTheAddressKept) {
    Session s;
    s.Mail->FROM_Name = QString(40, QChar(0x00FC)) + U(" ł ") + QString(40, QChar(0x00E9));
    s.Mail->Subject = QString(30, QChar(0x0142)) + " " + QString(120, 'a') + U(" Grüße");
    s.Mail->Listcc = {"cc@x.example|" + QStringList(40, "word").join(' ')};
    s.Mail->Headers = {"X-Long: " + QStringList(60, "plain").join(' ')};
    const QByteArray msg = Unstuffed(s.ToMessage(2));
    EXPECT_TRUE(LinesWithin(HeaderSection(msg), 78)) << HeaderSection(msg).constData();
    // No fold right after a field name: readers keep that space.
    EXPECT_FALSE(HeaderSection(msg).contains(":\r\n"));
    EXPECT_EQ(DecodeWords(Field(msg, "From")), s.Mail->FROM_Name + " <me@here.example>");
    EXPECT_EQ(DecodeWords(Field(msg, "Subject")).trimmed(), s.Mail->Subject);
    EXPECT_EQ(Field(msg, "cc"), QStringList(40, "word").join(' ').toLatin1() + " <cc@x.example>");
    EXPECT_EQ(Field(msg, "X-Long"), QStringList(60, "plain").join(' ').toLatin1());
    // Every encoded word is whole on its line.
    static const QRegularExpression word(QStringLiteral(R"(=\?[^?]+\?Q\?[^?]*\?=)"));
    for (const QByteArray& line : HeaderSection(msg).split('\n')) {
        qsizetype whole = 0;
        for (auto it = word.globalMatch(QString::fromLatin1(line)); it.hasNext(); it.next()) ++whole;
        EXPECT_EQ(line.count("=?"), whole) << line.constData();
    }
}

// ---- long body lines ----

TEST(BodyLines, LinesOver998BytesAreEncodedAndDecodeBackUnchanged) {
    Session s;
    const QString longLine = QString(3000, 'x') + "=y";
    s.Mail->MailText = {longLine, "short", QString(998, 'z')};
    const QByteArray msg = Unstuffed(s.ToMessage());
    EXPECT_TRUE(LinesWithin(msg, 998));
    EXPECT_EQ(Field(msg, "Content-Transfer-Encoding"), "quoted-printable");
    EXPECT_EQ(DecodeQP(Body(msg)), s.Mail->MailText.join("\r\n").toLatin1() + "\r\n");

    // 998 bytes fit: such a body stays as it is.
    Session fits;
    fits.Mail->MailText = {QString(998, 'z')};
    const QByteArray plain = Unstuffed(fits.ToMessage());
    EXPECT_TRUE(Field(plain, "Content-Transfer-Encoding").isEmpty());
    EXPECT_EQ(Body(plain), QByteArray(998, 'z') + "\r\n");
}

// ---- attachments ----

TEST_F(Files, AttachmentEncodingFollowsTheContentSoEveryFileComesBackWhole) {
    QByteArray nul("ab\0cd\x01\x7f\tend\n", 12);
    const QByteArray longLine = QByteArray(1200, 'L') + "\n";
    const QByteArray bareCr = "one\rtwo\r\n";
    const QByteArray text = "plain text\nsecond line\n";
    Session s;
    s.Mail->MailText = {"see"};
    s.Mail->Attachments = {Write("nul.dat", nul), Write("long.txt", longLine), Write("cr.txt", bareCr),
                           Write("text.txt", text)};
    const QByteArray msg = Unstuffed(s.ToMessage());
    EXPECT_TRUE(LinesWithin(msg, 998));
    const QList<QByteArray> parts = Parts(msg);
    ASSERT_EQ(parts.size(), 5) << msg.constData();
    const QByteArray expected[] = {nul, longLine, bareCr};
    for (int i = 0; i < 3; ++i) {
        const QByteArray part = parts[i + 1];
        EXPECT_TRUE(part.contains("Content-Transfer-Encoding: base64\r\n")) << part.constData();
        EXPECT_EQ(QByteArray::fromBase64(Body(part)), expected[i]) << i;
    }
    EXPECT_FALSE(parts[4].contains("Content-Transfer-Encoding"));
    EXPECT_EQ(Body(parts[4]), "plain text\r\nsecond line\r\n");
}

TEST_F(Files, TheBoundaryOccursNowhereInTheContent) {
    const QByteArray classic = "==============ghyurgtfy573======___";
    Session s;
    s.Mail->MailText = {"before", "--" + QString::fromLatin1(classic) + "--", "after"};
    s.Mail->Attachments = {Write("a.txt", "x\n--" + classic + "\ny\n"), Write("b.txt", "tail\n")};
    const QByteArray msg = Unstuffed(s.ToMessage());
    const QByteArray boundary = BoundaryOf(msg);
    ASSERT_FALSE(boundary.isEmpty());
    EXPECT_FALSE(s.Mail->MailText.join("\n").toLatin1().contains(boundary));
    EXPECT_FALSE(classic.contains(boundary));
    const QList<QByteArray> parts = Parts(msg);
    ASSERT_EQ(parts.size(), 3) << msg.constData();
    EXPECT_EQ(Body(parts[0]), "before\r\n--" + classic + "--\r\nafter");
    EXPECT_EQ(Body(parts[1]), "x\r\n--" + classic + "\r\ny\r\n");
    EXPECT_EQ(Body(parts[2]), "tail\r\n");
}

TEST_F(Files, FedTextWithAttachmentsIsATextPartNotThePreamble) {
    Session s;
    int calls = 0;
    s.Mail->OnFeedData = [&calls](QString& d) {
        if (++calls == 1) d = "fed text";
    };
    s.Mail->Attachments = {Write("a.txt", "a\n")};
    const QByteArray msg = Unstuffed(s.ToMessage());
    const QList<QByteArray> parts = Parts(msg);
    ASSERT_EQ(parts.size(), 2) << msg.constData();
    EXPECT_TRUE(parts[0].startsWith("Content-Type: text/plain")) << msg.constData();
    EXPECT_EQ(Body(parts[0]), "fed text");
}

TEST_F(Files, FileNamesAreQuotedWithEscapesOrEncodedForNonAscii) {
    Session s;
    s.Mail->Attachments = {Write("q\"uote; name=evil.exe.txt", "1\n"), Write(U("żółw \\ back.txt"), "2\n"),
                           Write(QString(90, 'n') + ".txt", "3\n")};
    const QByteArray msg = Unstuffed(s.ToMessage());
    const QList<QByteArray> parts = Parts(msg);
    ASSERT_EQ(parts.size(), 3) << msg.constData();
    const QList<QByteArray> first = Fields(parts[0]);
    EXPECT_TRUE(first.contains("Content-Type: text/plain; name=\"q\\\"uote; name=evil.exe.txt\""))
        << parts[0].constData();
    EXPECT_TRUE(first.contains("Content-Disposition: attachment; filename=\"q\\\"uote; name=evil.exe.txt\""));
    const QList<QByteArray> second = Fields(parts[1]);
    EXPECT_TRUE(
        second.contains("Content-Disposition: attachment; filename*=UTF-8''%C5%BC%C3%B3%C5%82w%20%5C%20back.txt"))
        << parts[1].constData();
    EXPECT_TRUE(LinesWithin(HeaderSection(parts[2]), 78)) << parts[2].constData();
    // A long name is continued: name*0, name*1, ... put back together give it whole.
    QByteArray joined;
    static const QRegularExpression piece(QStringLiteral(R"(filename\*\d+="([^"]*)\")"));
    auto it = piece.globalMatch(QString::fromLatin1(Field(parts[2], "Content-Disposition")));
    while (it.hasNext()) joined += it.next().captured(1).toLatin1();
    EXPECT_EQ(joined, QByteArray(90, 'n') + ".txt");
}

// ---- the end of a send ----

TEST(SmtpEnd, AnyReplyToQuitAfterTheMessageWasAcceptedIsSuccess) {
    for (const QByteArray& reply :
         {QByteArray("500 what?\r\n"), QByteArray("421-closing\r\n"), QByteArray("garbage\r\n")}) {
        Session s;
        s.ToMessage();
        s.Server("250 queued\r\n");
        EXPECT_EQ(s.Take(), "QUIT\r\n");
        s.Server(reply);
        ASSERT_TRUE(s.WaitDone());
        EXPECT_TRUE(s.Ev.Errors.empty()) << reply.constData();
        EXPECT_TRUE(s.Ev.HasInfo(miAccepted, ""));
        EXPECT_TRUE(s.Ev.HasInfo(miClosed, ""));
        EXPECT_FALSE(s.Net.Open);
    }
    // Cancelling after acceptance does not take the success back either.
    Session c;
    c.ToMessage();
    c.Server("250 queued\r\n");
    c.Mail->Cancel();
    ASSERT_TRUE(c.WaitDone());
    EXPECT_TRUE(c.Ev.Errors.empty());
}

TEST(SmtpEnd, AServerTricklingItsRepliesMeetsTheOverallDeadline) {
    // One byte at a time, or endless continuation lines: each keeps the
    // silence timer from running out, but not the whole send.
    for (bool lines : {false, true}) {
        Session s;
        s.Mail->TimeoutResponse = 1;
        s.Mail->TimeoutTotal = 2;
        s.Mail->Start();
        s.T->OnConnected();
        QElapsedTimer t;
        t.start();
        while (s.Ev.Done == 0 && t.elapsed() < 6000) {
            s.Server(lines ? QByteArray("220-still here\r\n") : QByteArray("2"));
            Spin(300);
        }
        ASSERT_EQ(s.Ev.Errors.size(), 1u) << lines;
        EXPECT_EQ(s.Ev.Errors[0], std::make_pair(int(meTimeout), QString("Connection timed out")));
        EXPECT_GE(t.elapsed(), 1500);
        EXPECT_LT(t.elapsed(), 4000);
        EXPECT_FALSE(s.Net.Open);
    }
}

TEST(SmtpEnd, TheOverallDeadlineGrowsWithTheMessage) {
    // 40 KiB of text earn ten more seconds: a server slow to greet for three
    // seconds still gets the whole message.
    Session s;
    s.Mail->TimeoutResponse = 2;
    s.Mail->TimeoutTotal = 1;
    s.Mail->MailText = QStringList(400, QString(100, 'm'));
    s.Mail->Start();
    s.T->OnConnected();
    for (int i = 0; i < 10; ++i) {
        s.Server("220-wait\r\n");
        Spin(300);
    }
    s.Server("220 hi\r\n250 hello\r\n250 sender ok\r\n250 rcpt ok\r\n354 go\r\n");
    EXPECT_TRUE(s.Ev.Errors.empty());
    EXPECT_TRUE(s.Take().endsWith("\r\n.\r\n"));
    s.Server("250 queued\r\n221 bye\r\n");
    ASSERT_TRUE(s.WaitDone());
    EXPECT_TRUE(s.Ev.Errors.empty());
}
