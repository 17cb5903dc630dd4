#include "mail/MailCodec.h"

namespace canasta::mail {

namespace {
const char kHex[] = "0123456789ABCDEF";

void PutHex(QByteArray& out, unsigned char c) {
    out.append('=');
    out.append(kHex[c >> 4]);
    out.append(kHex[c & 15]);
}
}  // namespace

TMailError MailErrorFromWsa(int code) {
    switch (code) {
    case 10093: return {meNotInitialized, QStringLiteral("Winsock not initialized")};
    case 10050: return {meNetworkDown, QStringLiteral("Network down")};
    case 10013: return {meInvalidAddress, QStringLiteral("Invalid address specified")};
    case 10004: case 10014: case 10022: case 10036: case 10038: case 10040:
    case 10045: case 10047: case 10048: case 10056: case 10057: case 10058:
        return {meInternal, QStringLiteral("Unexpected internal error in component")};
    case 10052: case 10055: return {meGeneral, QStringLiteral("General Winsock Error")};
    case 10053: return {meAborted, QStringLiteral("Connection aborted due to timeout or other failure")};
    case 10054: return {meReset, QStringLiteral("Connection reset by remote side")};
    case 10060: return {meTimeout, QStringLiteral("timeout")};
    case 10024: return {meNoSockets, QStringLiteral("Out of sockets")};
    case 10051: return {meNetUnreachable, QStringLiteral("Network unreachable")};
    case 10049: return {meAddressNotAvailable, QStringLiteral("Address not available")};
    case 10061: return {meRefused, QStringLiteral("Connection Refused")};
    case 11001: case 11002: case 11003: case 11004:
        return {meResolution, QStringLiteral("Address resolution error")};
    case 10065: return {meHostUnreachable, QStringLiteral("Host Unreachable")};
    default: return {meUnknown, QStringLiteral("Unknown Error")};
    }
}

TMailError TimeoutError() { return {meTimeout, QStringLiteral("Connection timed out")}; }

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

TReplyKind ClassifyReply(const QByteArray& line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return TReplyKind::Malformed;
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-') return TReplyKind::Malformed;
    switch (line[0]) {
    case '2': case '3': return TReplyKind::Positive;
    case '4': case '5': return TReplyKind::Negative;
    default: return TReplyKind::Malformed;
    }
}

bool IsContinuation(const QByteArray& line) { return line.size() >= 4 && line[3] == '-'; }

QByteArray ToWire(const QString& text) { return text.toLatin1(); }

bool HasHighBytes(const QByteArray& data) {
    for (char c : data)
        if (static_cast<unsigned char>(c) > 126) return true;
    return false;
}

QByteArray EncodeHeaderWord(const QByteArray& text) {
    if (!HasHighBytes(text)) return text;
    QByteArray out("=?ISO-8859-1?Q?");
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ' ')
            out.append('_');
        // "?" would end the word early and "_" would read back as a space.
        else if (c >= '!' && c <= '~' && c != '=' && c != '?' && c != '_')
            out.append(ch);
        else
            PutHex(out, c);
    }
    out.append("?=");
    return out;
}

QByteArray ApplyHeaderLineRule(const QByteArray& line) {
    const int at = line.indexOf(": ");
    if (at < 0) return line;
    return line.left(at + 2) + EncodeHeaderWord(line.mid(at + 2)) + "  ";
}

QByteArray WireLine(const QByteArray& line) {
    QByteArray out = line.left(kMaxLine);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

void TQuotedPrintable::Encode(const QByteArray& in, QByteArray& out) {
    for (char ch : in) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 33 || c == '=' || c > 126) {
            PutHex(out, c);
            Length += 3;
        } else {
            out.append(ch);
            ++Length;
        }
        if (Length > 70) {
            out.append("=\r\n");
            Length = 0;
        }
    }
}

void TLineEnds::Normalize(const QByteArray& in, QByteArray& out) {
    for (char c : in) {
        if (c == '\r') {
            out.append("\r\n");
            AfterCR = true;
        } else if (c == '\n') {
            if (!AfterCR) out.append("\r\n");
            AfterCR = false;
        } else {
            out.append(c);
            AfterCR = false;
        }
    }
}

void TDotStuffer::Put(const QByteArray& in, QByteArray& out) {
    for (char c : in) {
        if (LineStart && c == '.') out.append('.');
        out.append(c);
        LineStart = c == '\n';
    }
}

QByteArray Base64Lines(const QByteArray& data) {
    const QByteArray b = data.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < b.size(); i += 76) {
        out.append(b.mid(i, 76));
        out.append("\r\n");
    }
    return out;
}

QByteArray UuencodeLines(const QByteArray& data) {
    auto ch = [](int v) { return v ? char(32 + v) : '`'; };
    QByteArray out;
    for (qsizetype at = 0; at < data.size(); at += kUuLineBytes) {
        const int n = static_cast<int>(qMin<qsizetype>(kUuLineBytes, data.size() - at));
        out.append(ch(n));
        for (int i = 0; i < n; i += 3) {
            unsigned b[3] = {0, 0, 0};
            for (int k = 0; k < 3 && i + k < n; ++k) b[k] = static_cast<unsigned char>(data[at + i + k]);
            out.append(ch(b[0] >> 2));
            out.append(ch(((b[0] & 3) << 4) | (b[1] >> 4)));
            out.append(ch(((b[1] & 15) << 2) | (b[2] >> 6)));
            out.append(ch(b[2] & 63));
        }
        out.append("\r\n");
    }
    return out;
}

}  // namespace canasta::mail
