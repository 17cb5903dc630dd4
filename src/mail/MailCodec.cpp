// SPDX-License-Identifier: GPL-3.0-or-later
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
        case 10004:
        case 10014:
        case 10022:
        case 10036:
        case 10038:
        case 10040:
        case 10045:
        case 10047:
        case 10048:
        case 10056:
        case 10057:
        case 10058: return {meInternal, QStringLiteral("Unexpected internal error in component")};
        case 10052:
        case 10055: return {meGeneral, QStringLiteral("General Winsock Error")};
        case 10053: return {meAborted, QStringLiteral("Connection aborted due to timeout or other failure")};
        case 10054: return {meReset, QStringLiteral("Connection reset by remote side")};
        case 10060: return {meTimeout, QStringLiteral("timeout")};
        case 10024: return {meNoSockets, QStringLiteral("Out of sockets")};
        case 10051: return {meNetUnreachable, QStringLiteral("Network unreachable")};
        case 10049: return {meAddressNotAvailable, QStringLiteral("Address not available")};
        case 10061: return {meRefused, QStringLiteral("Connection Refused")};
        case 11001:
        case 11002:
        case 11003:
        case 11004: return {meResolution, QStringLiteral("Address resolution error")};
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
        case '2':
        case '3': return TReplyKind::Positive;
        case '4':
        case '5': return TReplyKind::Negative;
        default: return TReplyKind::Malformed;
    }
}

bool IsContinuation(const QByteArray& line) { return line.size() >= 4 && line[3] == '-'; }

QByteArray ToWire(const QString& text) { return text.toLatin1(); }

static bool FitsLatin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 255) return false;
    return true;
}

TCharsetText TextInCharset(const QString& text) {
    return TextInCharset(text, FitsLatin1(text) ? QByteArray("ISO-8859-1") : QByteArray("UTF-8"));
}

TCharsetText TextInCharset(const QString& text, const QByteArray& charset) {
    if (charset == "UTF-8") return {text.toUtf8(), charset};
    return {text.toLatin1(), charset};
}

bool IsSendableAddress(const QString& address) {
    if (address.isEmpty() || address.size() > 254) return false;
    for (QChar ch : address) {
        const char16_t c = ch.unicode();
        if (c <= ' ' || c > '~') return false;
        if (c == '<' || c == '>' || c == '"' || c == '(' || c == ')' || c == ',' || c == ';' || c == '\\') return false;
    }
    return true;
}

bool HasHighBytes(const QByteArray& data) {
    for (char c : data)
        if (static_cast<unsigned char>(c) > 126) return true;
    return false;
}

// Whether a byte may stay as it is inside a Q-encoded word.
static bool QLiteral(unsigned char c, bool phrase) {
    if (phrase)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
               c == '+' || c == '-' || c == '/';
    // "?" would end the word early and "_" would read back as a space.
    return c >= '!' && c <= '~' && c != '=' && c != '?' && c != '_';
}

static void QByte(QByteArray& out, unsigned char c, bool phrase) {
    if (c == ' ')
        out.append('_');
    else if (QLiteral(c, phrase))
        out.append(static_cast<char>(c));
    else
        PutHex(out, c);
}

QByteArray EncodeHeaderWord(const QByteArray& text) {
    if (!HasHighBytes(text)) return text;
    QByteArray out("=?ISO-8859-1?Q?");
    for (char ch : text) QByte(out, static_cast<unsigned char>(ch), false);
    out.append("?=");
    return out;
}

QList<QByteArray> EncodedWords(const QString& text, bool phrase) {
    const QByteArray charset = FitsLatin1(text) ? "ISO-8859-1" : "UTF-8";
    const QByteArray head = "=?" + charset + "?Q?";
    const int longest = phrase ? kMaxPhraseWord : kMaxEncodedWord;
    // The text in runs that end after a space: words are cut there when they
    // can be, with the space inside the earlier word, so the text reads back
    // the same whether or not a reader keeps the space between two words.
    QList<QByteArray> runs{QByteArray()};
    for (qsizetype i = 0; i < text.size();) {
        // One character at a time (a surrogate pair is one): never half of one.
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QByteArray encoded;
        for (char b : TextInCharset(text.mid(i, n), charset).Bytes)
            QByte(encoded, static_cast<unsigned char>(b), phrase);
        const bool space = text.at(i) == QLatin1Char(' ');
        i += n;
        // A run too long for a word of its own is cut between characters.
        if (head.size() + runs.back().size() + encoded.size() + 2 > longest) runs << QByteArray();
        runs.back() += encoded;
        if (space && i < text.size()) runs << QByteArray();
    }
    QList<QByteArray> words;
    QByteArray word;
    for (const QByteArray& run : runs) {
        if (!word.isEmpty() && head.size() + word.size() + run.size() + 2 > longest) {
            words << head + word + "?=";
            word.clear();
        }
        word += run;
    }
    words << head + word + "?=";
    return words;
}

// A line end in a name or a subject becomes one space: a header of its own
// is what it must not start.
static QString ControlsToSpaces(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : t)
        if (c.unicode() < ' ' || c.unicode() == 0x7F) c = QLatin1Char(' ');
    return t;
}

static bool PrintableAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < ' ' || c.unicode() > '~') return false;
    return true;
}

// Plain words fit on a folded line, and nothing in them reads as an encoded word.
static bool PlainWords(const QString& text, int longest) {
    if (!PrintableAscii(text) || text.contains(QLatin1String("=?"))) return false;
    for (const QString& w : text.split(QLatin1Char(' ')))
        if (w.size() > longest) return false;
    return true;
}

static QList<QByteArray> Words(const QString& text) {
    QList<QByteArray> pieces;
    for (const QString& w : text.split(QLatin1Char(' '))) pieces << w.toLatin1();
    return pieces;
}

QList<QByteArray> UnstructuredPieces(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (t.isEmpty()) return {QByteArray()};
    QString tabless = t;
    tabless.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (PlainWords(tabless, kLongestPiece)) return Words(t);
    return EncodedWords(t, false);
}

// Printable ASCII between double quotes, with backslashes before quotes and backslashes.
static QByteArray QuotedString(const QString& text) {
    QByteArray q = "\"";
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) q += '\\';
        q += static_cast<char>(c.unicode());
    }
    return q + '"';
}

static bool IsAtext(char16_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return QByteArrayView("!#$%&'*+-/=?^_`{|}~").contains(static_cast<char>(c));
}

QList<QByteArray> PhrasePieces(const QString& name) {
    const QString t = ControlsToSpaces(name);
    if (t.isEmpty()) return {QByteArray()};
    if (PlainWords(t, kLongestPiece)) {
        bool atoms = true;
        for (QChar c : t) atoms = atoms && (c == QLatin1Char(' ') || IsAtext(c.unicode()));
        if (atoms) return Words(t);
        const QByteArray quoted = QuotedString(t);
        if (quoted.size() <= kLongestPiece) return {quoted};
    }
    return EncodedWords(t, true);
}

// RFC 2231 attribute-char: ASCII printable but space, "*", "'", "%" and the tspecials.
static bool AttributeChar(unsigned char c) {
    return c > ' ' && c < 127 && !QByteArrayView("*'%()<>@,;:\\\"/[]?=").contains(static_cast<char>(c));
}

QList<QByteArray> ParameterPieces(const QByteArray& attribute, const QString& value) {
    constexpr int kPiece = kLongestPiece - 10;  // characters of the value per continued piece
    QList<QByteArray> pieces;
    if (PrintableAscii(value)) {
        if (value.size() <= kPiece) {
            pieces << attribute + '=' + QuotedString(value);
        } else {
            for (qsizetype at = 0, n = 0; at < value.size(); at += kPiece, ++n)
                pieces << attribute + '*' + QByteArray::number(n) + '=' + QuotedString(value.mid(at, kPiece));
        }
    } else {
        // One unit per character: neither a percent triplet nor a character
        // is cut between pieces.
        QList<QByteArray> units;
        for (qsizetype i = 0; i < value.size();) {
            const qsizetype n = value.at(i).isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
            QByteArray u;
            for (char ch : value.mid(i, n).toUtf8()) {
                const auto c = static_cast<unsigned char>(ch);
                if (AttributeChar(c)) {
                    u.append(ch);
                } else {
                    u.append('%');
                    u.append(kHex[c >> 4]);
                    u.append(kHex[c & 15]);
                }
            }
            units << u;
            i += n;
        }
        QByteArray all;
        for (const QByteArray& u : units) all += u;
        if (all.size() <= kPiece) {
            pieces << attribute + "*=UTF-8''" + all;
        } else {
            QByteArray piece = "UTF-8''";
            int n = 0;
            for (const QByteArray& u : units) {
                if (piece.size() + u.size() > kPiece) {
                    pieces << attribute + '*' + QByteArray::number(n++) + "*=" + piece;
                    piece.clear();
                }
                piece += u;
            }
            pieces << attribute + '*' + QByteArray::number(n) + "*=" + piece;
        }
    }
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) pieces[i] += ';';
    return pieces;
}

QByteArray FoldHeader(const QByteArray& name, const QList<QByteArray>& pieces) {
    QByteArray out = name;
    qsizetype line = name.size();
    // Never folded right after the name: a reader may keep that space.
    bool content = false;
    for (const QByteArray& p : pieces) {
        if (!p.isEmpty() && content && line + 1 + p.size() > kFoldAt) {
            out += "\r\n";
            line = 0;
            content = false;
        }
        out += ' ' + p;
        line += 1 + p.size();
        content = content || !p.isEmpty();
    }
    return out;
}

QByteArray HeaderLine(const QString& line) {
    const qsizetype at = line.indexOf(QLatin1String(": "));
    if (at < 0) {
        const QList<QByteArray> words = UnstructuredPieces(line);
        return FoldHeader(words.value(0), words.mid(1));
    }
    return FoldHeader(ToWire(ControlsToSpaces(line.left(at + 1))), UnstructuredPieces(line.mid(at + 2)));
}

QByteArray ApplyHeaderLineRule(const QByteArray& latin1Line) { return HeaderLine(QString::fromLatin1(latin1Line)); }

QByteArray WireLine(const QByteArray& line) {
    QByteArray out = line.left(kMaxLine);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

void TContentCheck::Feed(const QByteArray& data) {
    for (char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        if (AfterCR && c != '\n') LoneCR = true;
        AfterCR = c == '\r';
        if (c == '\r' || c == '\n') {
            LineLength = 0;
            continue;
        }
        if (c > 126) High = true;
        if (c < ' ' && c != '\t') Control = true;
        if (c == 127) Control = true;
        if (++LineLength > kMaxBodyLine) Long = true;
    }
}

void TFinder::Feed(const QByteArray& data) {
    if (Hit || Needle.isEmpty()) return;
    const QByteArray window = Tail + data;
    if (window.contains(Needle)) {
        Hit = true;
        return;
    }
    Tail = window.right(Needle.size() - 1);
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
