// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte-level pieces of sending a mail: the error table, server reply
// lines, addresses, header words and folding, MIME parameters,
// quoted-printable, line ends, dot-stuffing, base64 and uuencode. No sockets.
#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace canasta::mail {

// Error codes of OnMailError and their texts.
enum : int {
    meNotInitialized = 1,
    meNetworkDown = 2,
    meInvalidAddress = 3,
    meInternal = 4,
    meGeneral = 5,
    meAborted = 6,
    meReset = 7,
    meTimeout = 8,
    meNoSockets = 9,
    meNetUnreachable = 10,
    meAddressNotAvailable = 11,
    meRefused = 12,
    meUnexpectedResponse = 13,
    meCancelled = 14,
    meUnknown = 15,
    meResolution = 16,
    mePrematureDisconnect = 17,
    meNoRecipient = 18,
    meHostUnreachable = 19,
};

// Info codes of OnMailInfo.
enum : int {
    miConnected = 0,
    miResponse = 1,
    miSending = 2,
    miClosed = 3,
    miAccepted = 4,
    miAttachment = 5,
    miRecipientRefused = 8,
    miRecipient = 9,
    miBodyLength = 10,
    miBodyProgress = 11,
    miAttachmentUnreadable = 12,
    miBusy = 13,
    miResolved = 14,
    miResolving = 15,
};

struct TMailError {
    int Code = 0;
    QString Text;
};

// A WinSock error code (10004 ... 11004) as the mail error reported for it.
TMailError MailErrorFromWsa(int wsaCode);
// Our own time limit ran out (lookup, connect or waiting for the server).
TMailError TimeoutError();
inline constexpr const char* kUnexpectedResponse = "Unexpected response: ";

// A server reply line (without its line end).
enum class TReplyKind { Positive, Negative, Malformed };
// 2xx and 3xx are positive, 4xx and 5xx negative. Anything that is not three
// digits followed by nothing, a space or a dash is malformed: a line of
// garbage must not walk the dialogue on as if the server had agreed.
TReplyKind ClassifyReply(const QByteArray& line);
// "250-..." : more lines of the same reply follow.
bool IsContinuation(const QByteArray& line);

// Protocol lines (and the caller's own content types) go on the wire as
// ISO-8859-1; characters outside it become "?". Addresses are checked with
// IsSendableAddress first, and message text goes through TextInCharset.
QByteArray ToWire(const QString& text);

// Where a character set has to be named: ISO-8859-1 when every character of
// the text fits in it, UTF-8 otherwise.
struct TCharsetText {
    QByteArray Bytes;
    QByteArray Charset;
};
TCharsetText TextInCharset(const QString& text);
TCharsetText TextInCharset(const QString& text, const QByteArray& charset);

// Whether an address can go into MAIL FROM, RCPT TO and an address header
// as it is: printable ASCII without spaces, angle brackets, quotes,
// parentheses, commas, semicolons or backslashes, at most 254 bytes.
bool IsSendableAddress(const QString& address);

// Header-word encoding of ISO-8859-1 bytes: unchanged without a byte above
// 126, else one "=?ISO-8859-1?Q?...?=" word.
QByteArray EncodeHeaderWord(const QByteArray& text);

// The longest header line we write where the pieces allow (RFC 5322 wants 78
// at most). Encoded words, quoted names and plain words are kept short
// enough to share the first line with the longest field name we use
// ("Content-Description:"); a longer plain word is encoded instead.
inline constexpr int kFoldAt = 76;
inline constexpr int kLongestPiece = 56;
inline constexpr int kMaxEncodedWord = kLongestPiece;
// A display name follows "From: ", "To: " or "cc: ": its words may be longer,
// so that most names are one word (some readers take the space between two
// words of a name as part of it).
inline constexpr int kMaxPhraseWord = 72;
// Encoded words ("=?charset?Q?...?=") of at most kMaxEncodedWord characters
// (kMaxPhraseWord for a phrase) each, whole characters in each, cut after a
// space where possible. phrase: for display names, where only letters, digits
// and !*+-/ may stay as they are.
QList<QByteArray> EncodedWords(const QString& text, bool phrase);
// Unstructured header text (subject, description, extra header lines) as
// pieces to be joined by single spaces: the words themselves where the text
// is plain ASCII, encoded words otherwise. Line ends become spaces.
QList<QByteArray> UnstructuredPieces(const QString& text);
// A display name as pieces: atoms, one quoted string, or encoded words, so
// that no name can add, hide or change an address. Control characters
// (CR LF among them) become spaces.
QList<QByteArray> PhrasePieces(const QString& name);
// A MIME parameter as one or more pieces: attr="value" with escapes, RFC 2231
// attr*=UTF-8''%XX for text beyond ASCII, continued (attr*0, attr*1, ...)
// when too long for one line. Every piece but the last ends in ";".
QList<QByteArray> ParameterPieces(const QByteArray& attribute, const QString& value);
// "Name:" and the pieces joined by spaces, folded (CR LF and a space) before
// a piece that would take the line past kFoldAt; no CR LF at the end.
QByteArray FoldHeader(const QByteArray& name, const QList<QByteArray>& pieces);
// Subject and extra header lines: the part after the first ": " is
// unstructured text, folded. Lines without ": " are folded as they are.
QByteArray HeaderLine(const QString& line);
QByteArray ApplyHeaderLineRule(const QByteArray& latin1Line);

// A protocol line as sent: line ends inside it become spaces (so no text
// can smuggle in a command), cut to 253 bytes.
QByteArray WireLine(const QByteArray& line);
inline constexpr int kMaxLine = 253;

// What a block of content holds, fed piece by piece: it decides how a body
// or an attachment has to be encoded to arrive unchanged.
class TContentCheck {
public:
    void Feed(const QByteArray& data);
    bool HighBytes() const { return High; }
    // A control byte other than tab, CR and LF (NUL, DEL, ...).
    bool ControlBytes() const { return Control; }
    // A line longer than SMTP's 998 bytes.
    bool LongLines() const { return Long; }
    // A CR not followed by LF: it would come back as a line end.
    bool BareCR() const { return LoneCR; }
    // Plain text lines would not carry it unchanged.
    bool NeedsEncoding() const { return High || Control || Long; }

private:
    bool High = false, Control = false, Long = false, LoneCR = false;
    bool AfterCR = false;
    qint64 LineLength = 0;
};
inline constexpr int kMaxBodyLine = 998;

// Finds a text in content fed piece by piece, also across the cuts.
class TFinder {
public:
    explicit TFinder(QByteArray needle) : Needle(std::move(needle)) {}
    void Feed(const QByteArray& data);
    bool Found() const { return Hit; }

private:
    QByteArray Needle, Tail;
    bool Hit = false;
};

// Quoted-printable with the soft line break after an output line has grown
// beyond 70 characters; the line length carries over between blocks.
class TQuotedPrintable {
public:
    void Encode(const QByteArray& in, QByteArray& out);
    int LineLength() const { return Length; }

private:
    int Length = 0;
};

// Bare CR and bare LF become CR LF, also when a CR LF pair is split between blocks.
class TLineEnds {
public:
    void Normalize(const QByteArray& in, QByteArray& out);

private:
    bool AfterCR = false;
};

// The transparency rule of SMTP: a "." at the start of a line gets a second
// one, wherever the blocks happen to be cut.
class TDotStuffer {
public:
    void Put(const QByteArray& in, QByteArray& out);
    bool AtLineStart() const { return LineStart; }

private:
    bool LineStart = true;
};

// Base64 in lines of 76 characters, each followed by CR LF; feed multiples of
// 57 bytes to keep the lines whole.
inline constexpr int kBase64LineBytes = 57;
QByteArray Base64Lines(const QByteArray& data);

// uuencode lines of up to 45 bytes each, followed by CR LF; "`" for zero.
inline constexpr int kUuLineBytes = 45;
QByteArray UuencodeLines(const QByteArray& data);

// Whether any byte is above 126.
bool HasHighBytes(const QByteArray& data);

}  // namespace canasta::mail
