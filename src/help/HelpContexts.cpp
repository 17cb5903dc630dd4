// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/HelpContexts.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include "media/MediaFiles.h"

namespace canasta {

const std::vector<int>& KnownHelpContexts() {
    static const std::vector<int> numbers = {
#define CANASTA_HELP_NUMBER(name, number) number,
        CANASTA_HELP_CONTEXTS(CANASTA_HELP_NUMBER)
#undef CANASTA_HELP_NUMBER
    };
    return numbers;
}

namespace {

// Splits off the first whitespace-separated word of s (from pos on).
QString NextWord(const QString& s, qsizetype& pos) {
    while (pos < s.size() && s[pos].isSpace()) ++pos;
    const qsizetype start = pos;
    while (pos < s.size() && !s[pos].isSpace()) ++pos;
    return s.mid(start, pos - start);
}

}  // namespace

bool THelpContexts::Parse(const QString& text, QString* error) {
    bool ok = true;
    auto fail = [&](int line, const QString& why) {
        if (ok && error) *error = QStringLiteral("contexts.txt line %1: %2").arg(line).arg(why);
        ok = false;
    };
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        qsizetype pos = 0;
        const QString numberText = NextWord(line, pos);
        const QString target = NextWord(line, pos);
        const QString words = line.mid(pos).simplified();
        bool isNumber = false;
        const int number = numberText.toInt(&isNumber);
        if (!isNumber || number <= 0) {
            fail(lineNo, QStringLiteral("\"%1\" is not a help context number").arg(numberText));
            continue;
        }
        if (target.isEmpty() || words.isEmpty()) {
            fail(lineNo, QStringLiteral("%1 needs a page and a text").arg(number));
            continue;
        }
        if (Table.count(number)) {
            fail(lineNo, QStringLiteral("%1 is given twice").arg(number));
            continue;
        }
        THelpContext c;
        c.Number = number;
        const qsizetype hash = target.indexOf(QLatin1Char('#'));
        c.Page = hash < 0 ? target : target.left(hash);
        c.Anchor = hash < 0 ? QString() : target.mid(hash + 1);
        if (c.Page.isEmpty() || c.Page.contains(QLatin1Char('/')) || (hash >= 0 && c.Anchor.isEmpty())) {
            fail(lineNo, QStringLiteral("\"%1\" is not a page of the help folder").arg(target));
            continue;
        }
        c.Text = words;
        c.Line = lineNo;
        Table.emplace(number, std::move(c));
    }
    return ok;
}

bool THelpContexts::Load(const QString& file, QString* error) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot read %1").arg(file);
        return false;
    }
    return Parse(QString::fromUtf8(f.readAll()), error);
}

const THelpContext* THelpContexts::Find(int number) const {
    const auto it = Table.find(number);
    return it == Table.end() ? nullptr : &it->second;
}

QString HelpFolder() { return QDir(QString::fromStdString(ShippedDataFolder())).filePath(QStringLiteral("help")); }

const THelpContexts& HelpContexts() {
    static const THelpContexts table = [] {
        THelpContexts t;
        // A damaged file still gives what it can; the help tests catch the damage.
        t.Load(QDir(HelpFolder()).filePath(QStringLiteral("contexts.txt")));
        return t;
    }();
    return table;
}

}  // namespace canasta
