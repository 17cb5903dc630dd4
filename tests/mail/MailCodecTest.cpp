// SPDX-License-Identifier: GPL-3.0-or-later
// The byte rules of a mail: header words, quoted-printable, line ends,
// dot-stuffing, base64 and uuencode, reply lines and the error table.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include "MailCheck.h"
#include "mail/MailCodec.h"

using namespace canasta::mail;
using namespace canasta::test;

namespace {
QByteArray L1(const char* utf8) { return QString::fromUtf8(utf8).toLatin1(); }

}  // namespace

TEST(HeaderWords, SevenBitTextStaysAsItIs) {
    EXPECT_EQ(EncodeHeaderWord("Canasta Player List Request"), "Canasta Player List Request");
    EXPECT_EQ(EncodeHeaderWord(""), "");
}

TEST(HeaderWords, EightBitTextBecomesOneLatin1Word) {
    EXPECT_EQ(EncodeHeaderWord(L1("Grüße")), "=?ISO-8859-1?Q?Gr=FC=DFe?=");
    EXPECT_EQ(EncodeHeaderWord(L1("Jörg Müller")), "=?ISO-8859-1?Q?J=F6rg_M=FCller?=");
    // Control bytes and "=" are hex; "<" and ">" may stay.
    EXPECT_EQ(EncodeHeaderWord(L1("é\t=<>")), "=?ISO-8859-1?Q?=E9=09=3D<>?=");
}

TEST(HeaderWords, QuestionMarkAndUnderscoreAreEncodedSoTheWordReadsBack) {
    // "?=" inside would end the word, "_" would come back as a space.
    EXPECT_EQ(EncodeHeaderWord(L1("ü?=_")), "=?ISO-8859-1?Q?=FC=3F=3D=5F?=");
}

TEST(HeaderWords, HeaderLineRuleEncodesAfterTheFirstColonSpaceAndAddsNothing) {
    // Trailing spaces would read back as part of the subject.
    EXPECT_EQ(ApplyHeaderLineRule("Subject: " + L1("Grüße")), "Subject: =?ISO-8859-1?Q?Gr=FC=DFe?=");
    EXPECT_EQ(ApplyHeaderLineRule("Subject: Hello"), "Subject: Hello");
    EXPECT_EQ(ApplyHeaderLineRule("X-Note: a: " + L1("ä")), "X-Note: =?ISO-8859-1?Q?a:_=E4?=");
    EXPECT_EQ(ApplyHeaderLineRule("X-Flag:yes"), "X-Flag:yes");
    EXPECT_EQ(ApplyHeaderLineRule("Subject: a\r\nBcc: b"), "Subject: a Bcc: b");
}

TEST(HeaderWords, LongTextIsFoldedBetweenWordsAndWordsStayWhole) {
    const QByteArray subject = "Subject: " + QByteArray("twelve chars ").repeated(10).trimmed();
    const QByteArray folded = ApplyHeaderLineRule(subject);
    EXPECT_EQ(QByteArray(folded).replace("\r\n", ""), subject);
    for (const QByteArray& line : folded.split('\n')) EXPECT_LE(line.size(), kFoldAt + 1);
    const QList<QByteArray> words = EncodedWords(QString(100, QChar(0x20AC)), false);
    ASSERT_GT(words.size(), 1);
    for (const QByteArray& w : words) {
        EXPECT_LE(w.size(), kMaxEncodedWord);
        EXPECT_TRUE(w.startsWith("=?UTF-8?Q?") && w.endsWith("?=")) << w.constData();
        EXPECT_EQ((w.size() - 12) % 9, 0) << "a character cut in two: " << w.constData();
    }
}

TEST(Addresses, OnlyPlainAsciiWithoutSpacesOrDelimitersCanBeSent) {
    for (const char* good : {"a@b.example", "first.last+tag@x.example", "postmaster", "u@[192.0.2.1]"})
        EXPECT_TRUE(IsSendableAddress(QString::fromLatin1(good))) << good;
    for (const char* bad : {"", "a b@x", "a@x\r\n", "<a@x>", "a@x,b@y", "a;b@x", "\"q\"@x", "a\\b@x", "(c)a@x"})
        EXPECT_FALSE(IsSendableAddress(QString::fromLatin1(bad))) << bad;
    EXPECT_FALSE(IsSendableAddress(QString::fromUtf8("łukasz@example.pl")));
    EXPECT_FALSE(IsSendableAddress(QString(250, 'a') + "@x.pl"));
}

TEST(Parameters, QuotedWithEscapesRfc2231BeyondAsciiAndContinuedWhenLong) {
    EXPECT_EQ(ParameterPieces("name", "a.txt"), QList<QByteArray>{"name=\"a.txt\""});
    EXPECT_EQ(ParameterPieces("name", "q\"uote;\\x"), QList<QByteArray>{"name=\"q\\\"uote;\\\\x\""});
    EXPECT_EQ(ParameterPieces("filename", QString::fromUtf8("ż.txt")),
              QList<QByteArray>{"filename*=UTF-8''%C5%BC.txt"});
    const QList<QByteArray> pieces = ParameterPieces("filename", QString(60, QChar(0x00E9)));
    ASSERT_GT(pieces.size(), 1);
    EXPECT_TRUE(pieces[0].startsWith("filename*0*=UTF-8''%C3%A9"));
    EXPECT_TRUE(pieces[1].startsWith("filename*1*=%C3%A9"));
    QByteArray joined;
    for (const QByteArray& p : pieces) {
        EXPECT_LE(p.size(), kFoldAt - 1);
        joined += p.mid(p.indexOf('=') + 1);
    }
    joined.replace(";", "");
    EXPECT_EQ(QByteArray::fromPercentEncoding(joined.mid(7)), QString(60, QChar(0x00E9)).toUtf8());
}

TEST(ContentChecks, ControlBytesLongLinesAndBareCarriageReturns) {
    TContentCheck text, nul, lone, longLine, split;
    text.Feed("tab\there\r\nand\n");
    EXPECT_FALSE(text.NeedsEncoding() || text.BareCR());
    nul.Feed(QByteArray("a\0b", 3));
    EXPECT_TRUE(nul.ControlBytes());
    EXPECT_FALSE(nul.HighBytes());
    lone.Feed("a\rb");
    EXPECT_TRUE(lone.BareCR());
    longLine.Feed(QByteArray(998, 'x') + "\n" + QByteArray(998, 'y'));
    EXPECT_FALSE(longLine.LongLines());
    // Counted across the pieces.
    split.Feed(QByteArray(600, 'x'));
    split.Feed(QByteArray(399, 'x'));
    EXPECT_TRUE(split.LongLines());
    TFinder find("--boundary");
    find.Feed("text --boun");
    EXPECT_FALSE(find.Found());
    find.Feed("dary more");
    EXPECT_TRUE(find.Found());
}

TEST(ProtocolLines, AreCutTo253BytesAndCannotCarryLineEnds) {
    const QByteArray longLine(300, 'a');
    EXPECT_EQ(WireLine(longLine).size(), 253);
    EXPECT_EQ(WireLine("MAIL FROM:<a@b>\r\nRCPT TO:<evil@x>"), "MAIL FROM:<a@b>  RCPT TO:<evil@x>");
    EXPECT_EQ(WireLine("x\n.\nQUIT"), "x . QUIT");
}

TEST(QuotedPrintable, EncodesControlBytesEqualsSignAndHighBytes) {
    TQuotedPrintable qp;
    QByteArray out;
    qp.Encode(L1("a b=c\r\nü~!"), out);
    EXPECT_EQ(out, "a=20b=3Dc=0D=0A=FC~!");
}

TEST(QuotedPrintable, SoftBreakOnceALineGrowsBeyond70) {
    TQuotedPrintable qp;
    QByteArray out;
    qp.Encode(QByteArray(71, 'x'), out);
    EXPECT_EQ(out, QByteArray(71, 'x') + "=\r\n");
    EXPECT_EQ(qp.LineLength(), 0);
    out.clear();
    // A triple is never split: 69 + 3 = 72 characters, then the break.
    TQuotedPrintable qp2;
    qp2.Encode(QByteArray(69, 'x') + L1("é") + "y", out);
    EXPECT_EQ(out, QByteArray(69, 'x') + "=E9=\r\ny");
}

TEST(QuotedPrintable, LineLengthCarriesAcrossBlocksAndNothingIsLost) {
    QByteArray text;
    for (int i = 0; i < 3000; ++i) text.append(static_cast<char>(i * 7 % 256));
    QByteArray whole, pieces;
    TQuotedPrintable a, b;
    a.Encode(text, whole);
    for (qsizetype at = 0; at < text.size(); at += 37) b.Encode(text.mid(at, 37), pieces);
    EXPECT_EQ(whole, pieces);
    for (const QByteArray& line : whole.split('\n')) EXPECT_LE(line.size(), 75) << line.constData();
    EXPECT_EQ(DecodeQP(whole), text);
}

TEST(LineEnds, BareCrAndLfBecomeCrLfAlsoAcrossBlocks) {
    TLineEnds e;
    QByteArray out;
    e.Normalize("a\nb\rc\r", out);
    e.Normalize("\nd\r\n", out);
    EXPECT_EQ(out, "a\r\nb\r\nc\r\nd\r\n");
}

TEST(DotStuffing, DoublesALeadingDotOnEveryLineWhereverBlocksAreCut) {
    TDotStuffer d;
    QByteArray out;
    d.Put(".first\r\nsecond.\r", out);
    d.Put("\n", out);
    d.Put(".", out);
    d.Put("third\r\n..\r\n", out);
    EXPECT_EQ(out, "..first\r\nsecond.\r\n..third\r\n...\r\n");
    EXPECT_TRUE(d.AtLineStart());
}

TEST(AttachmentCodecs, Base64LinesAreQtsBase64In76CharacterLines) {
    QByteArray data;
    for (int i = 0; i < kBase64LineBytes * 2 + 5; ++i) data.append(static_cast<char>(i));
    const QByteArray b64 = data.toBase64();
    EXPECT_EQ(Base64Lines(data), b64.left(76) + "\r\n" + b64.mid(76, 76) + "\r\n" + b64.mid(152) + "\r\n");
}

TEST(AttachmentCodecs, UuencodeMatchesTheClassicForm) {
    EXPECT_EQ(UuencodeLines("Cat"), "#0V%T\r\n");
    // A full line is "M" + 60 characters; zero bits are written as "`".
    const QByteArray line = UuencodeLines(QByteArray(45, '\0'));
    EXPECT_EQ(line, "M" + QByteArray(60, '`') + "\r\n");
    EXPECT_EQ(UuencodeLines(QByteArray(46, 'a')).count("\r\n"), 2);
}

TEST(Replies, PositiveNegativeAndMalformed) {
    EXPECT_EQ(ClassifyReply("250 OK"), TReplyKind::Positive);
    EXPECT_EQ(ClassifyReply("354 go"), TReplyKind::Positive);
    EXPECT_EQ(ClassifyReply("250"), TReplyKind::Positive);
    EXPECT_EQ(ClassifyReply("250-more"), TReplyKind::Positive);
    EXPECT_EQ(ClassifyReply("421 closing"), TReplyKind::Negative);
    EXPECT_EQ(ClassifyReply("550-no"), TReplyKind::Negative);
    for (const char* bad : {"", "25", "hello", "250OK", "-ERR", "150 x", "999 x", "2a0 x"})
        EXPECT_EQ(ClassifyReply(bad), TReplyKind::Malformed) << bad;
    EXPECT_TRUE(IsContinuation("250-x"));
    EXPECT_FALSE(IsContinuation("250 x"));
    EXPECT_FALSE(IsContinuation("250"));
}

TEST(ErrorTable, WinSockCodesMapToTheMailErrors) {
    struct Row {
        int wsa, code;
        const char* text;
    };
    const Row rows[] = {
        {10093, 1, "Winsock not initialized"},
        {10050, 2, "Network down"},
        {10013, 3, "Invalid address specified"},
        {10004, 4, "Unexpected internal error in component"},
        {10014, 4, nullptr},
        {10022, 4, nullptr},
        {10036, 4, nullptr},
        {10038, 4, nullptr},
        {10040, 4, nullptr},
        {10045, 4, nullptr},
        {10047, 4, nullptr},
        {10048, 4, nullptr},
        {10056, 4, nullptr},
        {10057, 4, nullptr},
        {10058, 4, nullptr},
        {10052, 5, "General Winsock Error"},
        {10055, 5, "General Winsock Error"},
        {10053, 6, "Connection aborted due to timeout or other failure"},
        {10054, 7, "Connection reset by remote side"},
        {10060, 8, "timeout"},
        {10024, 9, "Out of sockets"},
        {10051, 10, "Network unreachable"},
        {10049, 11, "Address not available"},
        {10061, 12, "Connection Refused"},
        {11001, 16, "Address resolution error"},
        {11002, 16, nullptr},
        {11003, 16, nullptr},
        {11004, 16, nullptr},
        {10065, 19, "Host Unreachable"},
        {10035, 15, "Unknown Error"},
        {0, 15, "Unknown Error"},
    };
    for (const Row& r : rows) {
        const TMailError e = MailErrorFromWsa(r.wsa);
        EXPECT_EQ(e.Code, r.code) << r.wsa;
        if (r.text) {
            EXPECT_EQ(e.Text, QString::fromLatin1(r.text)) << r.wsa;
        }
    }
    EXPECT_EQ(TimeoutError().Code, 8);
    EXPECT_EQ(TimeoutError().Text, "Connection timed out");
}
