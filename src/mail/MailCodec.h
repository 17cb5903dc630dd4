#pragma once
// The byte-level pieces of sending a mail: the error table, server reply
// lines, header words, quoted-printable, line ends, dot-stuffing, base64 and
// uuencode. All work on ISO-8859-1 bytes as they go on the wire; no sockets.
#include <QByteArray>
#include <QString>

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

// Texts go on the wire as ISO-8859-1; characters outside it become "?".
QByteArray ToWire(const QString& text);

// Header-word encoding: unchanged without a byte above 126, else one
// "=?ISO-8859-1?Q?...?=" word.
QByteArray EncodeHeaderWord(const QByteArray& text);
// Subject and extra header lines: the part after the first ": " is
// header-word encoded and two spaces follow it. Lines without ": " stay.
QByteArray ApplyHeaderLineRule(const QByteArray& line);
// A protocol or header line as sent: line ends inside it become spaces (so
// no text can smuggle in a command or a header), cut to 253 bytes.
QByteArray WireLine(const QByteArray& line);
inline constexpr int kMaxLine = 253;

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

// Whether any byte is above 126 (the body then goes quoted-printable).
bool HasHighBytes(const QByteArray& data);

}  // namespace canasta::mail
